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

constexpr int kRuns = 300000;
const std::string kBefore = "before";

// One parse of a random text: whether its first 20 bytes have the field's form, whether the
// parser accepted it and whether it should have, and the status line it left.
struct Outcome {
  bool formOk = false, ok = false, expectOk = false;
  std::string status = kBefore;
};

// Runs `parse(text, first 20 bytes, run number, outcome)` over kRuns random texts.
template <class Parse>
void Fuzz(std::uint32_t seed, const std::string& message, int acceptedShare, Parse parse) {
  TextSource source(seed);
  int accepted = 0, wellFormed = 0;
  for (int n = 0; n < kRuns; ++n) {
    const std::string text = source.Next();
    Outcome o;
    parse(text, text.substr(0, 20), n, o);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_EQ(o.ok, o.expectOk) << "text [" << text << "]";
    ASSERT_EQ(o.status, o.ok ? kBefore : message) << "text [" << text << "]";
    wellFormed += o.formOk;
    accepted += o.ok;
  }
  // The texts must reach the interesting paths often enough to mean something.
  EXPECT_GT(wellFormed, kRuns / 20);
  EXPECT_GT(accepted, kRuns / acceptedShare);
}

TEST(ParserFuzz, RealFieldAgreesWithAnIndependentReading) {
  const float limits[][2] = {{0.0f, 10001.0f}, {-11.0f, 41.0f}, {9.99E-16f, 10001.0f},
                             {-FLT_MAX, FLT_MAX}};
  const std::string label = "Real label longer than thirty bytes";
  Fuzz(20240601u, "Error: " + label.substr(0, 30), 40,
       [&](const std::string& text, const std::string& cut, int n, Outcome& o) {
         const auto [low, high] = limits[n % std::size(limits)];
         float target = 0.0f;
         o.ok = ParseRealField(text, target, label, low, high, o.status);
         if (o.ok) {
           ASSERT_TRUE(std::isfinite(target) && low <= target && target <= high);
         }
         o.formOk = std::regex_match(cut, kRealForm);
         if (!o.formOk) return;
         const float expected = static_cast<float>(std::strtold(cut.c_str(), nullptr));
         ASSERT_EQ(std::bit_cast<std::uint32_t>(target), std::bit_cast<std::uint32_t>(expected))
             << "text [" << text << "]";
         o.expectOk = std::isfinite(expected) && low <= expected && expected <= high;
       });
}

TEST(ParserFuzz, IntFieldAgreesWithAnIndependentReading) {
  const std::int16_t limits[][2] = {{0, 4}, {1, 8784}, {INT16_MIN, INT16_MAX}, {0, 8784}};
  Fuzz(19700101u, "Error: N", 100,
       [&](const std::string& text, const std::string& cut, int n, Outcome& o) {
         const auto [low, high] = limits[n % std::size(limits)];
         std::int16_t target = 0;
         o.ok = ParseIntField(text, target, "N", low, high, o.status);
         o.formOk = std::regex_match(cut, kIntForm);
         if (!o.formOk) return;
         errno = 0;
         long long value = 0;
         const std::size_t dollar = cut.find('$');
         if (dollar != std::string::npos) {
           const unsigned long long bits = std::strtoull(cut.c_str() + dollar + 1, nullptr, 16);
           o.expectOk = errno == 0 && bits <= 0xFFFFFFFFull;
           value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
         } else {
           value = std::strtoll(cut.c_str(), nullptr, 10);
           o.expectOk = errno == 0 && value >= INT32_MIN && value <= INT32_MAX;
         }
         o.expectOk = o.expectOk && value >= low && value <= high;
         if (o.ok) {
           ASSERT_EQ(target, value) << "text [" << text << "]";
         }
       });
}

}  // namespace
}  // namespace vmk
