// Number texts: rounding half away from zero on the exact binary value, the switch between
// fixed and scientific forms, and the texts the window, grid and report show.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "common/numtext.h"

namespace vmk {
namespace {

struct GeneralCase {
  long double x;
  int p;
  const char* text;
};

TEST(FormatGeneral, Texts) {
  const GeneralCase cases[] = {
      // The window's texts, of floats as the program holds them (the report's texts are
      // checked byte for byte in its rows).
      {574092.0f, 4, "5.741E5"}, {0.00005f, 4, "5E-5"}, {0.0005f, 4, "0.0005"},
      {12.5f, 4, "12.5"}, {1234.4f, 4, "1234"}, {0.00123456f, 4, "0.001235"},
      {0.00123456L, 4, "0.001235"}, {0.001f, 4, "0.001"}, {0.000005f, 4, "5E-6"},
      // Switch to scientific above p digits before the point and below 0.0001.
      {9999.4f, 4, "9999"}, {9999.5f, 4, "1E4"}, {1000.0f, 4, "1000"}, {10000.0f, 4, "1E4"},
      {99999.0f, 5, "99999"}, {123456.0f, 5, "1.2346E5"}, {0.00009999f, 4, "9.999E-5"},
      {0.0001f, 4, "0.0001"},  // the float lies just below 0.0001 and rounds up to it
      {0.0001L, 4, "0.0001"},
      {0.000099996L, 4, "0.0001"},  // rounding carries back into the fixed range
      // Carry into a new leading digit.
      {9.9996f, 4, "10"}, {0.99996L, 4, "1"}, {99.99999L, 5, "100"},
      // Exactly on a tie rounds away from zero; just below a tie rounds down.
      {0.125L, 2, "0.13"}, {2.5L, 1, "3"}, {1.0625L, 4, "1.063"},
      {1.0005f, 4, "1"},      // float 1.00049996...
      {1.0005, 4, "1"},       // double 1.000499999...
      {1.0005L, 4, "1.001"},  // long double 1.0005000...01
      {2.675f, 3, "2.67"},    // float 2.67499995...
      // Negatives and zero.
      {-574092.0f, 4, "-5.741E5"}, {-0.0005f, 4, "-0.0005"}, {-2.5L, 1, "-3"},
      {-0.125L, 2, "-0.13"}, {0.0L, 4, "0"}, {-0.0L, 4, "0"},
      // Whole numbers keep their zeros before the point.
      {1200.0f, 4, "1200"}, {1200.0f, 2, "1.2E3"}, {7.0f, 1, "7"},
      // Extremes do not break the exact expansion.
      {FLT_MAX, 4, "3.403E38"}, {FLT_MIN, 4, "1.175E-38"}, {LDBL_MAX, 4, "1.19E4932"},
      {std::numeric_limits<long double>::denorm_min(), 4, "3.645E-4951"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatGeneral(c.x, c.p), c.text) << static_cast<double>(c.x) << " p " << c.p;
  }
  EXPECT_EQ(FormatGeneral(std::numeric_limits<float>::quiet_NaN(), 4), "NAN");
  EXPECT_EQ(FormatGeneral(std::numeric_limits<long double>::infinity(), 4), "INF");
  EXPECT_EQ(FormatGeneral(-std::numeric_limits<long double>::infinity(), 4), "-INF");
  EXPECT_EQ(FormatGeneral(12.5f, 4, ","), "12,5");
  EXPECT_EQ(FormatGeneral(0.0005f, 4, ","), "0,0005");
  EXPECT_EQ(FormatGeneral(574092.0f, 4, ","), "5,741E5");
}

struct ExponentCase {
  long double x;
  int p;
  int d;
  const char* text;
};

TEST(FormatExponent, Texts) {
  const ExponentCase cases[] = {
      {0.0005f, 4, 1, "5.000E-4"}, {0.000123456f, 4, 1, "1.235E-4"},
      {0.00099999f, 4, 1, "1.000E-3"},  // the window's lower range of small results
      {574092.0f, 4, 1, "5.741E+5"}, {9.9996f, 4, 1, "1.000E+1"}, {1.0f, 4, 1, "1.000E+0"},
      {0.0625L, 2, 1, "6.3E-2"}, {1.0005f, 4, 1, "1.000E+0"}, {0.0005f, 4, 3, "5.000E-004"},
      {1e12f, 3, 0, "1.00E+12"}, {0.0005f, 1, 1, "5E-4"}, {-0.0005f, 4, 1, "-5.000E-4"},
      {0.0L, 4, 1, "0.000E+0"}, {-0.0L, 4, 1, "0.000E+0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatExponent(c.x, c.p, c.d), c.text) << static_cast<double>(c.x);
  }
  EXPECT_EQ(FormatExponent(0.0005f, 4, 1, ","), "5,000E-4");
  EXPECT_EQ(FormatExponent(std::numeric_limits<float>::quiet_NaN(), 4, 1), "NAN");
  EXPECT_EQ(FormatExponent(-std::numeric_limits<float>::infinity(), 4, 1), "-INF");
}

TEST(FormatExponent, AgreesWithLibraryAwayFromTies) {
  std::mt19937 gen(12345);
  std::uniform_real_distribution<float> mantissa(1.0f, 10.0f);
  std::uniform_int_distribution<int> exponent(-30, 30);
  char exact[80];
  char rounded[40];
  for (int i = 0; i < 2000; ++i) {
    const long double x = static_cast<float>(mantissa(gen) * std::pow(10.0f, exponent(gen)));
    std::snprintf(exact, sizeof exact, "%.40Le", x);
    const std::string tail(exact + 7, exact + 42);  // digits after the sixth
    if (tail.find_first_not_of('0', 1) == std::string::npos && tail[0] == '5') continue;
    std::snprintf(rounded, sizeof rounded, "%.5Le", x);
    std::string expect(rounded);
    const auto e = expect.find('e');
    const int exp10 = std::stoi(expect.substr(e + 1));
    expect = expect.substr(0, e) + (exp10 < 0 ? "E-" : "E+") + std::to_string(std::abs(exp10));
    ASSERT_EQ(FormatExponent(x, 6, 1), expect) << exact;
  }
}

TEST(FormatFixed, Texts) {
  const ExponentCase cases[] = {
      {12.5f, 8, 3, "12.500"}, {0.0f, 8, 3, "0.000"}, {0.25f + 0.5f, 8, 3, "0.750"},
      {0.0625L, 8, 3, "0.063"},  // exact tie
      {0.0005f, 8, 3, "0.001"},  // float just above 0.0005
      {0.9996f, 8, 3, "1.000"}, {8760.0f, 8, 3, "8760.000"}, {-1.5L, 8, 0, "-2"},
      {-0.0004f, 8, 3, "0.000"},  // rounds to zero: no minus sign
      {-0.0L, 8, 3, "0.000"}, {-12.3456f, 8, 2, "-12.35"}, {12345678.0f, 8, 3, "12345678.000"},
      // More than p digits before the point: the scientific general form.
      {123456789.0L, 8, 3, "1.2345679E8"}, {99999999.9996L, 8, 3, "1E8"},
      {12345.0f, 4, 1, "1.235E4"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.x, c.p, c.d), c.text) << static_cast<double>(c.x);
  }
  EXPECT_EQ(FormatFixed(12.5f, 8, 3, ","), "12,500");
  EXPECT_EQ(FormatFixed(std::numeric_limits<float>::quiet_NaN(), 8, 3), "NAN");
}

}  // namespace
}  // namespace vmk

namespace vmk {
namespace {

TEST(ShortestDoubleText, PlainDigitsForCoordinatesAndReadsBack) {
  EXPECT_EQ(ShortestDoubleText(300000), "300000");
  EXPECT_EQ(ShortestDoubleText(-5000.5), "-5000.5");
  EXPECT_EQ(ShortestDoubleText(0.1), "0.1");
  EXPECT_EQ(ShortestDoubleText(0), "0");
  EXPECT_EQ(ShortestDoubleText(1e20), "1e+20");
  for (double v : {300.5, 0.09999, 123456789.123, -1e-5, 2.5e14, 1.0 / 3}) {
    EXPECT_EQ(std::strtod(ShortestDoubleText(v).c_str(), nullptr), v) << v;
  }
}

}  // namespace
}  // namespace vmk
