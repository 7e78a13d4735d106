// The field parsers: the real and integer syntax, the 20-byte cut of the text, the 30-byte cut
// of the label, the single-precision range, and the right-aligned integer text. The limits of
// every input are tested where the form is read.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
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

const RealCase kRealCases[] = {
    // Leading blanks are the window's default form; nothing may trail.
    {" 10", true, 10.0f}, {"10", true, 10.0f}, {"     10", true, 10.0f}, {"10 ", false, 0},
    {"\t10", false, 0}, {"10\t", false, 0},
    // Exponents.
    {"1.0E-3", true, 0.001f}, {"1.0e-3", true, 0.001f}, {"1e+05", true, 1e5f},
    {"1E00000000000000005", true, 1e5f}, {"1.0E", false, 0}, {"1.0E+", false, 0},
    {"1.0E-", false, 0}, {"1E5E5", false, 0}, {"1E 5", false, 0}, {"1E5.0", false, 0},
    // The point.
    {"-.5", true, -0.5f}, {".5", true, 0.5f}, {"+.5", true, 0.5f}, {"1.E3", true, 1000.0f},
    {"1.e3", true, 1000.0f}, {"10.", false, 0}, {".", false, 0}, {"-.", false, 0},
    {"1..5", false, 0}, {"1.5.", false, 0}, {"1,5", false, 0},
    // Empty, blank and sign-only texts.
    {"", false, 0}, {"   ", false, 0}, {"+", false, 0}, {"-", false, 0}, {"+ 5", false, 0},
    {"--5", false, 0}, {"+-5", false, 0}, {" +5", true, 5.0f},
    // A mantissa without digits is refused, not read as 0.
    {"E5", false, 0}, {".E5", false, 0}, {"e-3", false, 0}, {"-E5", false, 0}, {"+.e1", false, 0},
    // Forms other number readers know.
    {"0x10", false, 0}, {"NaN", false, 0}, {"nan", false, 0}, {"inf", false, 0},
    {"-Infinity", false, 0}, {"1d3", false, 0}, {"1f", false, 0}, {"1_000", false, 0},
    // Full-width digits, control characters and invalid code page 932 bytes.
    {"\x82\x54", false, 0}, {"1\x82\x4F", false, 0}, {std::string("1\0", 2), false, 0},
    {std::string("\0 1", 3), false, 0}, {"1\r", false, 0}, {"\n1", false, 0}, {"\x81", false, 0},
    {"1\xFF", false, 0}, {"\xA0" "1", false, 0},
    // Zero and its sign; the sign is applied last.
    {"0", true, 0.0f}, {"-0", true, -0.0f}, {"-0.0E5", true, -0.0f}, {"000.000", true, 0.0f},
    // Rounding to the nearest single-precision number, ties to even.
    {"0.1", true, 0.1f}, {"16777217", true, 16777216.0f}, {"16777219", true, 16777220.0f},
    {"99999999999999999999", true, 1e20f}, {"3.4028235E38", true, FLT_MAX},
    {"3.40282356E38", true, FLT_MAX},
    // Too small for single precision: the nearest value, possibly zero.
    {"1e-45", true, 1.40129846e-45f}, {"1e-46", true, 0.0f}, {"-1e-999", true, -0.0f},
    {"1e-99999999", true, 0.0f},
    {"0.00000000000000000001", true, 0.0f},  // cut to "0.000000000000000000"
    // Only the first 20 bytes count.
    {std::string(20, ' ') + "5", false, 0}, {std::string(19, ' ') + "5", true, 5.0f},
    {"12345678901234567890123", true, 12345678901234567890.0f},
    {"123456789012345678.95", true, 123456789012345678.9f},
    {"1.000000000000000000E9", true, 1.0f},  // the exponent lies beyond the cut
    {"1E0000000000000000005", true, 1.0f}, {"1" + std::string(1023, '0'), true, 1e19f},
    {std::string(1024, 'x'), false, 0}, {"5" + std::string(1023, ' '), false, 0},
};
INSTANTIATE_TEST_SUITE_P(Cases, RealSyntax, testing::ValuesIn(kRealCases));

TEST(RealField, BeyondTheSingleRangeIsRejectedWhateverTheLimits) {
  for (const char* text : {"1e999", "3.4028236E38", "-1e39", "1E99999999"}) {
    float target = 0.0f;
    Cp932 status;
    EXPECT_FALSE(ParseRealField(text, target, "Big", kWideLow, kWideHigh, status)) << text;
    EXPECT_TRUE(std::isinf(target)) << text;
    EXPECT_EQ(status, "Error: Big") << text;
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

const IntCase kIntCases[] = {
    {" 0", true, 0}, {"007", true, 7}, {"+7", true, 7}, {"-0", true, 0}, {"  -12", true, -12},
    {"10 ", false, 0}, {"\t10", false, 0}, {"", false, 0}, {"  ", false, 0}, {"+", false, 0},
    {"-", false, 0}, {"- 1", false, 0}, {"1.0", false, 0}, {"1E2", false, 0}, {"1.", false, 0},
    {"0x10", false, 0}, {"\x82\x50", false, 0}, {std::string("1\0", 2), false, 0},
    // Hexadecimal after "$", no sign, read as a signed 32-bit number.
    {"$A", true, 10}, {"$a", true, 10}, {" $7FFF", true, 32767}, {"$FFFFFFFF", true, -1},
    {"$FFFF8000", true, -32768}, {"$00000000000000000A", true, 10}, {"-$A", false, 0},
    {"+$A", false, 0}, {"$", false, 0}, {"$ A", false, 0}, {"$A ", false, 0}, {"$G", false, 0},
    {"$8000", false, 0}, {"$100000000", false, 0}, {"$$1", false, 0},
    // The 16-bit range, and the 32-bit range of the conversion.
    {"32767", true, 32767}, {"-32768", true, -32768}, {"32768", false, 0}, {"-32769", false, 0},
    {"70000", false, 0}, {"2147483647", false, 0}, {"2147483648", false, 0},
    {"-2147483648", false, 0}, {"99999999999999999999", false, 0},
    // Only the first 20 bytes count.
    {std::string(20, ' ') + "5", false, 0}, {std::string(19, ' ') + "5", true, 5},
    {std::string(18, '0') + "12345", true, 12},
};
INSTANTIATE_TEST_SUITE_P(Cases, IntSyntax, testing::ValuesIn(kIntCases));

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
