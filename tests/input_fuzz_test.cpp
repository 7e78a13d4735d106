// Random texts through both parsers, judged against an independent reading of the syntax
// (a regular expression for the form, the C library for the value). A fixed seed keeps every
// run the same.

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "input/field_parse.h"

namespace vmk {
namespace {

// Blanks, sign, then a mantissa with at least one digit (a point needs a digit or the
// exponent after it), then an optional exponent.
const std::regex kRealForm(
    R"(^ *[+-]?(?:(?:[0-9]+(?:\.[0-9]+)?|\.[0-9]+)(?:[eE][+-]?[0-9]+)?|[0-9]+\.[eE][+-]?[0-9]+)$)");
const std::regex kIntForm(R"(^ *(?:[+-]?[0-9]+|\$[0-9A-Fa-f]+)$)");

class TextSource {
 public:
  explicit TextSource(std::uint32_t seed) : rng_(seed) {}

  std::string Next() {
    static const std::string kAlphabets[] = {
        "0123456789",
        "0123456789 +-.eE",
        " +-.eE0123456789$",
        "0123456789ABCDEFabcdef$+- ",
        "0.5E-",
        " 1.",
    };
    const int mode = Pick(10);
    std::size_t length = mode == 0 && Pick(50) == 0 ? 20 + Pick(2000) : Pick(mode < 4 ? 41 : 13);
    std::string s;
    s.reserve(length);
    if (mode < 3) {
      for (std::size_t i = 0; i < length; ++i) s.push_back(static_cast<char>(Pick(256)));
    } else {
      const std::string& a = kAlphabets[Pick(std::size(kAlphabets))];
      for (std::size_t i = 0; i < length; ++i) s.push_back(a[Pick(a.size())]);
      // Now and then a stray byte in an otherwise plausible text.
      if (!s.empty() && Pick(8) == 0) s[Pick(s.size())] = static_cast<char>(Pick(256));
    }
    return s;
  }

 private:
  std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
  std::mt19937 rng_;
};

bool Matches(const std::string& s, const std::regex& re) {
  return std::regex_match(s.begin(), s.end(), re);
}

TEST(ParserFuzz, RealFieldAgreesWithAnIndependentReading) {
  struct Limits {
    float low, high;
  };
  const Limits limits[] = {{0.0f, 10001.0f}, {-11.0f, 41.0f}, {9.99E-16f, 10001.0f},
                           {-FLT_MAX, FLT_MAX}};
  const std::string label = "Real label longer than thirty bytes";
  const std::string message = "Error: " + label.substr(0, 30);
  TextSource source(20240601u);
  int accepted = 0, wellFormed = 0;
  const int kRuns = 300000;
  for (int n = 0; n < kRuns; ++n) {
    const std::string text = source.Next();
    const Limits& l = limits[n % std::size(limits)];
    float target = 0.0f;
    std::string status = "before";
    const bool ok = ParseRealField(text, target, label, l.low, l.high, status);

    const std::string cut = text.substr(0, 20);
    const bool formOk = Matches(cut, kRealForm);
    wellFormed += formOk;
    bool expectOk = false;
    if (formOk) {
      const float expected = static_cast<float>(std::strtold(cut.c_str(), nullptr));
      ASSERT_EQ(std::bit_cast<std::uint32_t>(target), std::bit_cast<std::uint32_t>(expected))
          << "text [" << text << "]";
      expectOk = std::isfinite(expected) && l.low <= expected && expected <= l.high;
    }
    ASSERT_EQ(ok, expectOk) << "text [" << text << "]";
    if (ok) {
      ++accepted;
      ASSERT_TRUE(std::isfinite(target));
      ASSERT_TRUE(l.low <= target && target <= l.high);
      ASSERT_EQ(status, "before");
    } else {
      ASSERT_EQ(status, message) << "text [" << text << "]";
    }
  }
  // The texts must reach the interesting paths often enough to mean something.
  EXPECT_GT(wellFormed, kRuns / 20);
  EXPECT_GT(accepted, kRuns / 40);
}

TEST(ParserFuzz, IntFieldAgreesWithAnIndependentReading) {
  struct Limits {
    std::int16_t low, high;
  };
  const Limits limits[] = {{0, 4}, {1, 8784}, {INT16_MIN, INT16_MAX}, {0, 8784}};
  const std::string label = "N";
  TextSource source(19700101u);
  int accepted = 0, wellFormed = 0;
  const int kRuns = 300000;
  for (int n = 0; n < kRuns; ++n) {
    const std::string text = source.Next();
    const Limits& l = limits[n % std::size(limits)];
    std::int16_t target = 0;
    std::string status = "before";
    const bool ok = ParseIntField(text, target, label, l.low, l.high, status);

    const std::string cut = text.substr(0, 20);
    const bool formOk = Matches(cut, kIntForm);
    wellFormed += formOk;
    bool expectOk = false;
    long long value = 0;
    if (formOk) {
      errno = 0;
      const std::size_t dollar = cut.find('$');
      if (dollar != std::string::npos) {
        const unsigned long long bits = std::strtoull(cut.c_str() + dollar + 1, nullptr, 16);
        if (errno == 0 && bits <= 0xFFFFFFFFull) {
          value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
          expectOk = true;
        }
      } else {
        value = std::strtoll(cut.c_str(), nullptr, 10);
        expectOk = errno == 0 && value >= INT32_MIN && value <= INT32_MAX;
      }
      expectOk = expectOk && value >= l.low && value <= l.high;
    }
    ASSERT_EQ(ok, expectOk) << "text [" << text << "]";
    if (ok) {
      ++accepted;
      ASSERT_EQ(target, value);
      ASSERT_EQ(status, "before");
    } else {
      ASSERT_EQ(status, "Error: N") << "text [" << text << "]";
    }
  }
  EXPECT_GT(wellFormed, kRuns / 20);
  EXPECT_GT(accepted, kRuns / 100);
}

}  // namespace
}  // namespace vmk
