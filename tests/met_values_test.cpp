// The values of an hourly line read from their text: speeds rounded on the decimal text, the
// speed classes, every direction form, stability names and radiation.
#include <gtest/gtest.h>

#include <string>

#include "common/cp932.h"
#include "met/met_stats.h"
#include "met/met_values.h"

namespace vmk {
namespace {

TEST(MetValues, DecimalsAreReadExactly) {
  struct Case {
    const char* Text;
    long long Nano;
    bool Inexact;
  };
  const Case cases[] = {
      {"0.45", 450000000, false},     {"0.6", 600000000, false},  {"-0.020", -20000000, false},
      {"+.5", 500000000, false},      {"3.", 3000000000, false},  {"000012", 12000000000, false},
      {"0.1234567891", 123456789, true},
      // Below zero the floor is one unit lower: -1e-10 lies between -1e-9 and 0.
      {"-0.0000000001", -1, true},    {"999999999.5", 999999999500000000, false},
  };
  for (const Case& c : cases) {
    const auto v = ParseExactDecimal(c.Text);
    ASSERT_TRUE(v) << c.Text;
    EXPECT_EQ(v->Nano, c.Nano) << c.Text;
    EXPECT_EQ(v->Inexact, c.Inexact) << c.Text;
  }
  for (const char* bad : {"", "-", ".", "1e3", "1,5", "0x10", "1.2.3", " 1", "1 ", "1000000000",
                          "nan", "inf", "１"}) {
    EXPECT_FALSE(ParseExactDecimal(bad)) << bad;
  }
  const ExactDecimal justAbove = *ParseExactDecimal("0.6000000001");
  EXPECT_TRUE(justAbove.Above(600000000));
  EXPECT_FALSE(ParseExactDecimal("0.6")->Above(600000000));
  EXPECT_TRUE(ParseExactDecimal("0.6")->AtLeast(600000000));
}

// The shortest text of a value, as messages give the limits; it reads back as the same value.
TEST(MetValues, DecimalTextIsTheShortest) {
  const std::pair<long long, const char*> cases[] = {
      {0, "0"},           {2000000000, "2"},   {-1000000000, "-1"},   {-3600000000, "-3.6"},
      {450000000, "0.45"}, {1, "0.000000001"}, {-1, "-0.000000001"}, {100000000000, "100"},
      {999999999500000000, "999999999.5"},
  };
  for (const auto& [nano, text] : cases) {
    EXPECT_EQ(DecimalText(nano), text);
    EXPECT_EQ(ParseExactDecimal(text)->Nano, nano) << text;
  }
}

// Every boundary of the speed classes, on the speed rounded half up to 0.1 m/s. The decimal
// 0.45 is just below 0.45 as a binary double: rounding the double would give 0.4 (calm).
TEST(MetValues, SpeedClassBoundaries) {
  struct Case {
    const char* Text;
    int Tenths;
    SpeedClass Class;
  };
  const Case cases[] = {
      {"0", 0, SpeedClass::Calm},         {"0.4", 4, SpeedClass::Calm},
      {"0.449", 4, SpeedClass::Calm},     {"0.4499999999999", 4, SpeedClass::Calm},
      {"0.45", 5, SpeedClass::Weak},      {"0.5", 5, SpeedClass::Weak},
      {"0.94", 9, SpeedClass::Weak},      {"0.95", 10, SpeedClass::Windy1},
      {"1.0", 10, SpeedClass::Windy1},    {"1.94", 19, SpeedClass::Windy1},
      {"1.95", 20, SpeedClass::Windy2},   {"2.94", 29, SpeedClass::Windy2},
      {"2.95", 30, SpeedClass::Windy3},   {"3.94", 39, SpeedClass::Windy3},
      {"3.95", 40, SpeedClass::Windy4},   {"5.94", 59, SpeedClass::Windy4},
      {"5.95", 60, SpeedClass::Windy5},   {"7.94", 79, SpeedClass::Windy5},
      {"7.95", 80, SpeedClass::Windy6},   {"8", 80, SpeedClass::Windy6},
      {"100", 1000, SpeedClass::Windy6},  {"100.04", 1000, SpeedClass::Windy6},
      {" 2.5 ", 25, SpeedClass::Windy2},  {"-0.0", 0, SpeedClass::Calm},
      {"-0.05", 0, SpeedClass::Calm},
  };
  for (const Case& c : cases) {
    ValueProblem problem = ValueProblem::None;
    const auto tenths = ParseSpeedTenths(c.Text, problem);
    ASSERT_TRUE(tenths) << c.Text;
    EXPECT_EQ(*tenths, c.Tenths) << c.Text;
    EXPECT_EQ(SpeedClassOf(*tenths), c.Class) << c.Text;
  }
  struct Bad {
    const char* Text;
    ValueProblem Problem;
  };
  const Bad bad[] = {{"", ValueProblem::Blank},           {"  ", ValueProblem::Blank},
                     {"abc", ValueProblem::Unreadable},   {"1e1", ValueProblem::Unreadable},
                     {"-0.06", ValueProblem::OutOfRange}, {"-9.9", ValueProblem::OutOfRange},
                     {"100.05", ValueProblem::OutOfRange}, {"999", ValueProblem::OutOfRange}};
  for (const Bad& b : bad) {
    ValueProblem problem = ValueProblem::None;
    EXPECT_FALSE(ParseSpeedTenths(b.Text, problem)) << b.Text;
    EXPECT_EQ(problem, b.Problem) << b.Text;
  }
}

TEST(MetValues, EveryDirectionForm) {
  for (int d = 0; d < kDirections; ++d) {
    const std::size_t k = static_cast<std::size_t>(d);
    ValueProblem p = ValueProblem::None;
    EXPECT_EQ(ParseDirection(kDirectionNames[k], false, p), d) << kDirectionNames[k];
    std::string lower(kDirectionNames[k]);
    for (char& c : lower) c = static_cast<char>(c - 'A' + 'a');
    EXPECT_EQ(ParseDirection(lower, false, p), d) << lower;
    EXPECT_EQ(ParseDirection(kDirectionNamesJa[k], false, p), d) << kDirectionNamesJa[k];
    EXPECT_EQ(ParseDirection(Utf8ToCp932(kDirectionNamesJa[k]), false, p), d) << d;
    // Codes: 1 = NNE clockwise, 16 = N.
    EXPECT_EQ(ParseDirection(std::to_string(d == 0 ? 16 : d), false, p), d) << d;
    // Degrees: the centre of each sector and both its edges.
    const double centre = d * 22.5;
    EXPECT_EQ(ParseDirection(std::to_string(centre), true, p), d) << centre;
    if (d > 0) {
      EXPECT_EQ(ParseDirection(std::to_string(centre - 11.25), true, p), d) << d;
    }
    EXPECT_EQ(ParseDirection(std::to_string(centre + 11.2499), true, p), d) << d;
  }
  ValueProblem p = ValueProblem::None;
  EXPECT_EQ(ParseDirection("348.75", true, p), 0);       // the lower edge of N
  EXPECT_EQ(ParseDirection("348.7499999", true, p), 15);  // still NNW
  EXPECT_EQ(ParseDirection("11.25", true, p), 1);         // a boundary goes clockwise
  EXPECT_EQ(ParseDirection("360", true, p), 0);
  EXPECT_EQ(ParseDirection("0", true, p), 0);  // with --degrees, 0 is north, not calm
  EXPECT_EQ(ParseDirection("北", true, p), 0);  // names stay names with --degrees
  for (const std::string calm : {"静穏", "CALM", "calm", "C", "c", "0", "00"}) {
    EXPECT_EQ(ParseDirection(calm, false, p), kCalmDirection) << calm;
  }
  EXPECT_EQ(ParseDirection(Utf8ToCp932("静穏"), false, p), kCalmDirection);
  EXPECT_EQ(ParseDirection("静穏", true, p), kCalmDirection);

  struct Bad {
    std::string Text;
    bool Degrees;
    ValueProblem Problem;
  };
  const Bad bad[] = {
      {"", false, ValueProblem::Blank},          {"17", false, ValueProblem::OutOfRange},
      {"22.5", false, ValueProblem::Unreadable}, {"-1", false, ValueProblem::Unreadable},
      {"NEE", false, ValueProblem::Unreadable},  {"北北", false, ValueProblem::Unreadable},
      {"360.01", true, ValueProblem::OutOfRange}, {"-0.5", true, ValueProblem::OutOfRange},
      {"x", true, ValueProblem::Unreadable},     {"\x96", false, ValueProblem::Unreadable},
  };
  for (const Bad& b : bad) {
    ValueProblem problem = ValueProblem::None;
    EXPECT_FALSE(ParseDirection(b.Text, b.Degrees, problem)) << b.Text;
    EXPECT_EQ(problem, b.Problem) << b.Text;
  }
}

TEST(MetValues, StabilityNames) {
  const char* names[] = {"A", "A-B", "B", "B-C", "C", "C-D", "Dd", "Dn", "E", "F", "G"};
  for (int c = 0; c < 11; ++c) EXPECT_EQ(ParseStabilityName(names[c]), c) << names[c];
  EXPECT_EQ(ParseStabilityName("ab"), 1);
  EXPECT_EQ(ParseStabilityName(" c-d "), 5);
  EXPECT_EQ(ParseStabilityName("D"), kStabilityD);
  EXPECT_EQ(ParseStabilityName("d"), kStabilityD);
  for (const char* bad : {"", "H", "A-C", "DD D", "Ｄ"}) EXPECT_FALSE(ParseStabilityName(bad)) << bad;
}

TEST(MetValues, RadiationRangeAndUnit) {
  ValueProblem p = ValueProblem::None;
  // 2.16 MJ/m2 in the hour is exactly 0.6 kW/m2; 2.159 is below it.
  EXPECT_TRUE(ParseRadiation("2.16", true, p)->AtLeastKw(600000000));
  EXPECT_FALSE(ParseRadiation("2.159", true, p)->AtLeastKw(600000000));
  EXPECT_TRUE(ParseRadiation("-0.072", true, p)->AtLeastKw(-20000000));
  EXPECT_FALSE(ParseRadiation("-0.0721", true, p)->AtLeastKw(-20000000));
  EXPECT_TRUE(ParseRadiation("0.6", false, p)->AtLeastKw(600000000));
  EXPECT_FALSE(ParseRadiation("0", false, p)->Positive());
  EXPECT_TRUE(ParseRadiation("0.000000001", false, p)->Positive());
  EXPECT_TRUE(ParseRadiation("2", false, p));
  EXPECT_TRUE(ParseRadiation("-1", false, p));
  EXPECT_TRUE(ParseRadiation("7.2", true, p));
  // W/m2 written where kW/m2 belongs is out of range.
  EXPECT_FALSE(ParseRadiation("523", false, p));
  EXPECT_EQ(p, ValueProblem::OutOfRange);
  EXPECT_FALSE(ParseRadiation("2.0001", false, p));
  EXPECT_FALSE(ParseRadiation("7.21", true, p));
  EXPECT_FALSE(ParseRadiation("-3.61", true, p));
  EXPECT_FALSE(ParseRadiation("--", false, p));
  EXPECT_EQ(p, ValueProblem::Unreadable);
}

}  // namespace
}  // namespace vmk
