// The field parsers: the real and integer syntax, the 20-byte cut of the text, the 30-byte cut
// of the label, the single-precision limits, and the right-aligned integer text.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/cp932.h"
#include "input/field_parse.h"

namespace vmk {
namespace {

constexpr float kWideLow = -FLT_MAX;
constexpr float kWideHigh = FLT_MAX;
const std::string kUntouched = "untouched";

struct RealCase {
  std::string text;
  bool ok;
  float value;  // checked only when ok
};

std::string NineDigits(float x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(x));
  return buf;
}

class RealSyntax : public testing::TestWithParam<RealCase> {};

TEST_P(RealSyntax, AcceptsOnlyTheNumberForm) {
  const RealCase& c = GetParam();
  float target = 12345.0f;
  Cp932 status = kUntouched;
  bool ok = ParseRealField(c.text, target, "X", kWideLow, kWideHigh, status);
  EXPECT_EQ(ok, c.ok);
  if (c.ok) {
    EXPECT_EQ(target, c.value);
    EXPECT_EQ(std::signbit(target), std::signbit(c.value));
    EXPECT_EQ(status, kUntouched);
  } else {
    EXPECT_EQ(status, "Error: X");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RealSyntax,
    testing::Values(
        // Leading blanks are the window's default form; nothing may trail.
        RealCase{" 10", true, 10.0f}, RealCase{"10", true, 10.0f},
        RealCase{"     10", true, 10.0f}, RealCase{"10 ", false, 0},
        RealCase{"\t10", false, 0}, RealCase{"10\t", false, 0},
        // Exponents.
        RealCase{"1.0E-3", true, 0.001f}, RealCase{"1.0e-3", true, 0.001f},
        RealCase{"1e+05", true, 1e5f}, RealCase{"1E00000000000000005", true, 1e5f},
        RealCase{"1.0E", false, 0}, RealCase{"1.0E+", false, 0}, RealCase{"1.0E-", false, 0},
        RealCase{"1E5E5", false, 0}, RealCase{"1E 5", false, 0}, RealCase{"1E5.0", false, 0},
        // The point.
        RealCase{"-.5", true, -0.5f}, RealCase{".5", true, 0.5f}, RealCase{"+.5", true, 0.5f},
        RealCase{"1.E3", true, 1000.0f}, RealCase{"1.e3", true, 1000.0f},
        RealCase{"10.", false, 0}, RealCase{".", false, 0}, RealCase{"-.", false, 0},
        RealCase{"1..5", false, 0}, RealCase{"1.5.", false, 0}, RealCase{"1,5", false, 0},
        // Empty, blank and sign-only texts.
        RealCase{"", false, 0}, RealCase{"   ", false, 0}, RealCase{"+", false, 0},
        RealCase{"-", false, 0}, RealCase{"+ 5", false, 0}, RealCase{"--5", false, 0},
        RealCase{"+-5", false, 0}, RealCase{" +5", true, 5.0f},
        // A mantissa without digits is refused, not read as 0.
        RealCase{"E5", false, 0}, RealCase{".E5", false, 0}, RealCase{"e-3", false, 0},
        RealCase{"-E5", false, 0}, RealCase{"+.e1", false, 0},
        // Forms other number readers know.
        RealCase{"0x10", false, 0}, RealCase{"NaN", false, 0}, RealCase{"nan", false, 0},
        RealCase{"inf", false, 0}, RealCase{"-Infinity", false, 0}, RealCase{"1d3", false, 0},
        RealCase{"1f", false, 0}, RealCase{"1_000", false, 0},
        // Full-width digits and control characters.
        RealCase{"\x82\x54", false, 0}, RealCase{"1\x82\x4F", false, 0},
        RealCase{std::string("1\0", 2), false, 0}, RealCase{std::string("\0 1", 3), false, 0},
        RealCase{"1\r", false, 0}, RealCase{"\n1", false, 0},
        // Invalid code page 932 bytes.
        RealCase{"\x81", false, 0}, RealCase{"1\xFF", false, 0}, RealCase{"\xA0" "1", false, 0},
        // Zero and its sign; the sign is applied last.
        RealCase{"0", true, 0.0f}, RealCase{"-0", true, -0.0f}, RealCase{"-0.0E5", true, -0.0f},
        RealCase{"000.000", true, 0.0f},
        // Rounding to the nearest single-precision number, ties to even.
        RealCase{"0.1", true, 0.1f}, RealCase{"16777217", true, 16777216.0f},
        RealCase{"16777219", true, 16777220.0f}, RealCase{"99999999999999999999", true, 1e20f},
        RealCase{"3.4028235E38", true, FLT_MAX}, RealCase{"3.40282356E38", true, FLT_MAX},
        // Too small for single precision: the nearest value, possibly zero.
        RealCase{"1e-45", true, 1.40129846e-45f}, RealCase{"1e-46", true, 0.0f},
        RealCase{"-1e-999", true, -0.0f}, RealCase{"1e-99999999", true, 0.0f},
        RealCase{"0.00000000000000000001", true, 0.0f},  // cut to "0.000000000000000000"
        // Only the first 20 bytes count.
        RealCase{std::string(20, ' ') + "5", false, 0},
        RealCase{std::string(19, ' ') + "5", true, 5.0f},
        RealCase{"12345678901234567890123", true, 12345678901234567890.0f},
        RealCase{"123456789012345678.95", true, 123456789012345678.9f},
        RealCase{"1.000000000000000000E9", true, 1.0f},  // the exponent lies beyond the cut
        RealCase{"1E0000000000000000005", true, 1.0f},
        RealCase{"1" + std::string(1023, '0'), true, 1e19f},
        RealCase{std::string(1024, 'x'), false, 0},
        RealCase{"5" + std::string(1023, ' '), false, 0}));

TEST(RealField, BeyondTheSingleRangeIsRejectedWhateverTheLimits) {
  for (const char* text : {"1e999", "3.4028236E38", "-1e39", "1E99999999"}) {
    float target = 0.0f;
    Cp932 status;
    EXPECT_FALSE(ParseRealField(text, target, "Big", kWideLow, kWideHigh, status)) << text;
    EXPECT_TRUE(std::isinf(target)) << text;
    EXPECT_EQ(status, "Error: Big") << text;
  }
}

TEST(RealField, StoresTheValueBeforeTheLimitTest) {
  float target = 0.0f;
  Cp932 status;
  EXPECT_FALSE(ParseRealField(" 20", target, "Qg", 0.0f, 10.0f, status));
  EXPECT_EQ(target, 20.0f);
  EXPECT_EQ(status, "Error: Qg");
}

TEST(RealField, LimitsAreInclusiveSinglePrecisionNumbers) {
  struct Limit {
    std::string text;
    float low, high;
  };
  for (const Limit& l : {Limit{"1.001", 0.0f, 1.001f}, Limit{"9.99E-16", 9.99E-16f, 1.0f},
                         Limit{"0.000099", 0.000099f, 1.001f}, Limit{"10.01", 0.0f, 10.01f},
                         Limit{"0.09999", 0.09999f, 100001.0f}, Limit{"-11", -11.0f, 41.0f}}) {
    const bool atLow = l.text == "9.99E-16" || l.text == "0.000099" || l.text == "0.09999" ||
                       l.text == "-11";
    float target = 0.0f;
    Cp932 status = kUntouched;
    EXPECT_TRUE(ParseRealField(l.text, target, "L", l.low, l.high, status)) << l.text;
    EXPECT_EQ(status, kUntouched);
    // The neighbouring single-precision number outside the limit fails.
    const float limit = atLow ? l.low : l.high;
    const float outside = std::nextafterf(limit, atLow ? -INFINITY : INFINITY);
    EXPECT_FALSE(ParseRealField(NineDigits(outside), target, "L", l.low, l.high, status))
        << NineDigits(outside);
    EXPECT_EQ(target, outside);
    EXPECT_EQ(status, "Error: L");
  }
}

TEST(RealField, LabelIsCutToThirtyBytes) {
  const std::string label30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
  float target = 0.0f;
  Cp932 status;
  ParseRealField("x", target, label30, 0.0f, 1.0f, status);
  EXPECT_EQ(status, "Error: " + label30);
  ParseRealField("x", target, label30 + "4567", 0.0f, 1.0f, status);
  EXPECT_EQ(status, "Error: " + label30);
  // A plain byte cut: a double-byte character across byte 30 loses its second byte.
  const Cp932 label = std::string(29, 'a') + Sj("風");
  ASSERT_EQ(label.size(), 31u);
  ParseRealField("x", target, label, 0.0f, 1.0f, status);
  EXPECT_EQ(status, "Error: " + label.substr(0, 30));
  EXPECT_EQ(status.size(), 37u);
}

struct IntCase {
  std::string text;
  bool ok;
  std::int16_t value;  // checked only when ok
};

class IntSyntax : public testing::TestWithParam<IntCase> {};

TEST_P(IntSyntax, AcceptsOnlyTheIntegerForms) {
  const IntCase& c = GetParam();
  std::int16_t target = 999;
  Cp932 status = kUntouched;
  bool ok = ParseIntField(c.text, target, "N", INT16_MIN, INT16_MAX, status);
  EXPECT_EQ(ok, c.ok);
  if (c.ok) {
    EXPECT_EQ(target, c.value);
    EXPECT_EQ(status, kUntouched);
  } else {
    EXPECT_EQ(status, "Error: N");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntSyntax,
    testing::Values(
        IntCase{" 0", true, 0}, IntCase{"007", true, 7}, IntCase{"+7", true, 7},
        IntCase{"-0", true, 0}, IntCase{"  -12", true, -12}, IntCase{"10 ", false, 0},
        IntCase{"\t10", false, 0}, IntCase{"", false, 0}, IntCase{"  ", false, 0},
        IntCase{"+", false, 0}, IntCase{"-", false, 0}, IntCase{"- 1", false, 0},
        IntCase{"1.0", false, 0}, IntCase{"1E2", false, 0}, IntCase{"1.", false, 0},
        IntCase{"0x10", false, 0}, IntCase{"\x82\x50", false, 0},
        IntCase{std::string("1\0", 2), false, 0},
        // Hexadecimal after "$", no sign, read as a signed 32-bit number.
        IntCase{"$A", true, 10}, IntCase{"$a", true, 10}, IntCase{" $7FFF", true, 32767},
        IntCase{"$FFFFFFFF", true, -1}, IntCase{"$FFFF8000", true, -32768},
        IntCase{"$00000000000000000A", true, 10}, IntCase{"-$A", false, 0},
        IntCase{"+$A", false, 0}, IntCase{"$", false, 0}, IntCase{"$ A", false, 0},
        IntCase{"$A ", false, 0}, IntCase{"$G", false, 0}, IntCase{"$8000", false, 0},
        IntCase{"$100000000", false, 0}, IntCase{"$$1", false, 0},
        // The 16-bit range, and the 32-bit range of the conversion.
        IntCase{"32767", true, 32767}, IntCase{"-32768", true, -32768},
        IntCase{"32768", false, 0}, IntCase{"-32769", false, 0}, IntCase{"70000", false, 0},
        IntCase{"2147483647", false, 0}, IntCase{"2147483648", false, 0},
        IntCase{"-2147483648", false, 0}, IntCase{"99999999999999999999", false, 0},
        // Only the first 20 bytes count.
        IntCase{std::string(20, ' ') + "5", false, 0}, IntCase{std::string(19, ' ') + "5", true, 5},
        IntCase{std::string(18, '0') + "12345", true, 12}));

TEST(IntField, StoresTheValueBeforeTheLimitTest) {
  std::int16_t target = 0;
  Cp932 status;
  EXPECT_FALSE(ParseIntField(" 5", target, "F", 0, 4, status));
  EXPECT_EQ(target, 5);
  EXPECT_EQ(status, "Error: F");
  EXPECT_TRUE(ParseIntField(" 4", target, "F", 0, 4, status));
  EXPECT_TRUE(ParseIntField(" 0", target, "F", 0, 4, status));
  EXPECT_FALSE(ParseIntField("-1", target, "F", 0, 4, status));
  EXPECT_EQ(target, -1);
}

TEST(IntField, LabelIsCutToThirtyBytes) {
  std::int16_t target = 0;
  Cp932 status;
  ParseIntField("x", target, std::string(40, 'L'), 0, 1, status);
  EXPECT_EQ(status, "Error: " + std::string(30, 'L'));
}

TEST(FormatIntRight, PadsToTheWidthAndNeverCuts) {
  struct Case {
    std::int32_t value;
    int width;
    std::string text;
  };
  for (const Case& c : {Case{12, 5, "   12"}, Case{0, 4, "   0"}, Case{123456, 4, "123456"},
                        Case{-5, 3, " -5"}, Case{-5, 2, "-5"}, Case{12345, 4, "12345"},
                        Case{7, 0, "7"}, Case{7, -3, "7"}, Case{7, 40, std::string(29, ' ') + "7"},
                        Case{INT32_MIN, 5, "-2147483648"},
                        Case{INT32_MIN, 30, std::string(19, ' ') + "-2147483648"}}) {
    EXPECT_EQ(FormatIntRight(c.value, c.width), c.text) << c.value << " w" << c.width;
  }
}

}  // namespace
}  // namespace vmk
