// The one reader of numbers typed in command lines and files, and of "FROM:TO:N": the texts it
// accepts with their values, and the texts it refuses with the reason.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "common/number_read.h"

namespace vmk {
namespace {

using R = NumberReading;

TEST(ReadNumber, AcceptedAndRefusedTexts) {
  struct Row {
    const char* Text;
    R Double;
    R Float;
    double Value;  // when accepted
  };
  const Row rows[] = {
      {"12", R::Finite, R::Finite, 12}, {"-0.5", R::Finite, R::Finite, -0.5},
      {"+1e3", R::Finite, R::Finite, 1000}, {".5", R::Finite, R::Finite, 0.5},
      {"5.", R::Finite, R::Finite, 5}, {"2.5E-3", R::Finite, R::Finite, 0.0025},
      {"-0", R::Finite, R::Finite, 0},
      // Beyond the largest float, below the smallest float, beyond the largest double.
      {"1e39", R::Finite, R::NotFinite, 1e39}, {"1e-50", R::Finite, R::NotFinite, 1e-50},
      {"1e999", R::NotFinite, R::NotFinite, 0}, {"inf", R::NotFinite, R::NotFinite, 0},
      {"-Infinity", R::NotFinite, R::NotFinite, 0}, {"nan", R::NotFinite, R::NotFinite, 0},
      {"+nan", R::NotFinite, R::NotFinite, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Text);
    double d = -7;
    EXPECT_EQ(ReadNumber(row.Text, d), row.Double);
    EXPECT_EQ(d, row.Double == R::Finite ? row.Value : -7);  // untouched when refused
    float f = -7;
    EXPECT_EQ(ReadNumber(row.Text, f), row.Float);
    if (row.Float == R::Finite) {
      EXPECT_EQ(f, std::strtof(row.Text, nullptr));
    }
  }
  // Texts that are no number written in full (the last a full-width digit).
  for (const char* text : {"", "+", "-", "+-5", "++5", " 5", "5 ", "5m", "1,5", "0x10", "1e",
                           "５"}) {
    double d = -7;
    float f = -7;
    EXPECT_EQ(ReadNumber(text, d), R::NotANumber) << text;
    EXPECT_EQ(ReadNumber(text, f), R::NotANumber) << text;
    EXPECT_EQ(d, -7);  // untouched when refused
    EXPECT_EQ(f, -7);
  }
}

// A float is the float nearest to the text, not the float nearest to the double nearest to it.
TEST(ReadNumber, AFloatIsReadAsAFloat) {
  // A hair above 1 + 2^-24, the midpoint of two floats: its double is the midpoint itself,
  // which rounds to the even float 1.
  const char* text = "1.00000005960464477539930";
  float f = 0;
  ASSERT_EQ(ReadNumber(text, f), R::Finite);
  EXPECT_EQ(f, std::nextafter(1.0f, 2.0f));
  double d = 0;
  ASSERT_EQ(ReadNumber(text, d), R::Finite);
  EXPECT_EQ(static_cast<float>(d), 1.0f);
}

TEST(ReadWholeNumber, AcceptedAndRefusedTexts) {
  struct Row {
    const char* Text;
    bool Accepted;
    long long Value;
  };
  const Row rows[] = {
      {"201", true, 201}, {"+5", true, 5}, {"-3", true, -3}, {"0", true, 0},
      {"9223372036854775807", true, std::numeric_limits<long long>::max()},
      {"9223372036854775808", false, 0}, {"", false, 0}, {"+", false, 0}, {"+-3", false, 0},
      {"1e3", false, 0}, {"2.0", false, 0}, {" 4", false, 0}, {"4 ", false, 0}, {"0x1", false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Text);
    long long v = -7;
    EXPECT_EQ(ReadWholeNumber(row.Text, v), row.Accepted);
    EXPECT_EQ(v, row.Accepted ? row.Value : -7);
  }
}

TEST(ReadRangeSteps, AcceptedAndRefusedTexts) {
  using Part = RangeStepsProblem::Part;
  struct Row {
    const char* Text;
    std::optional<Part> Problem;  // nothing: accepted
    R Reading = R::NotANumber;    // for a FROM or TO problem
  };
  const Row rows[] = {
      {"-5000:5000:201", std::nullopt}, {"+10:1e3:+2", std::nullopt},
      {"20:10:0", std::nullopt},  // order and range are the caller's
      {"10:20", Part::Form}, {"10:20:5:6", Part::Form}, {"", Part::Form}, {"10;20;5", Part::Form},
      {":20:5", Part::From}, {"a:20:5", Part::From}, {" 10:20:5", Part::From},
      {"inf:20:5", Part::From, R::NotFinite}, {"10:20m:5", Part::To},
      {"10:nan:5", Part::To, R::NotFinite}, {"10:20:", Part::N}, {"10:20:2.5", Part::N},
      {"10:20:1e3", Part::N}, {"10:20:99999999999999999999", Part::N},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Text);
    RangeSteps<double> d;
    const auto problem = ReadRangeSteps(row.Text, d);
    ASSERT_EQ(problem.has_value(), row.Problem.has_value());
    if (problem) {
      EXPECT_EQ(problem->Where, *row.Problem);
      if (*row.Problem == Part::From || *row.Problem == Part::To) {
        EXPECT_EQ(problem->Reading, row.Reading);
      }
    }
  }
  RangeSteps<double> d;
  ASSERT_FALSE(ReadRangeSteps("-5000:+1e3:201", d));
  EXPECT_EQ(d.From, -5000);
  EXPECT_EQ(d.To, 1000);
  EXPECT_EQ(d.N, 201);
  // As floats: a distance beyond the float range is no finite number.
  RangeSteps<float> f;
  const auto problem = ReadRangeSteps("10:1e39:5", f);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->Where, Part::To);
  EXPECT_EQ(problem->Reading, R::NotFinite);
  ASSERT_FALSE(ReadRangeSteps("0.1:100001:7", f));
  EXPECT_EQ(f.From, 0.1f);
  EXPECT_EQ(f.To, 100001.0f);
  EXPECT_EQ(f.N, 7);
}

}  // namespace
}  // namespace vmk
