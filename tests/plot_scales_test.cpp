// The 1-2-5 steps, the axes' ticks and the number texts of the pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "plot/number_text.h"
#include "plot/ticks.h"

namespace vmk {
namespace {

std::vector<std::string> Labels(const std::vector<AxisTick>& ticks, bool labelledOnly) {
  std::vector<std::string> out;
  for (const AxisTick& t : ticks) {
    if (!labelledOnly || !t.Label.empty()) out.push_back(t.Label);
  }
  return out;
}

// Every 1-2-5 step from 1e-12 to 5e12 read from its decimal text, against which the steps
// worked out by powers are checked.
std::vector<double> DecimalSteps() {
  std::vector<double> steps;
  for (int k = -12; k <= 12; ++k) {
    for (const char* m : {"1", "2", "5"}) steps.push_back(std::stod(m + ("e" + std::to_string(k))));
  }
  return steps;
}

TEST(OneTwoFive, NearestStepsAboveAndBelowAnyValue) {
  struct Case {
    double V, AtLeast, AtMost;
  };
  for (const Case& c : {Case{0.2, 0.2, 0.2}, Case{1000, 1000, 1000}, Case{7, 10, 5},
                        Case{0.003, 0.005, 0.002}, Case{0.19999999999, 0.2, 0.1},
                        Case{2855.7, 5000, 2000}, Case{1e-7 * 1.5, 2e-7, 1e-7}}) {
    EXPECT_DOUBLE_EQ(OneTwoFiveAtLeast(c.V), c.AtLeast) << c.V;
    EXPECT_DOUBLE_EQ(OneTwoFiveAtMost(c.V), c.AtMost) << c.V;
  }
  const std::vector<double> steps = DecimalSteps();
  std::mt19937_64 random(18);
  std::uniform_real_distribution<double> exponent(-11, 11);
  for (int i = 0; i < 2000; ++i) {
    const double v = std::pow(10.0, exponent(random));
    const double above = *std::lower_bound(steps.begin(), steps.end(), v);
    const double below = *(std::upper_bound(steps.begin(), steps.end(), v) - 1);
    EXPECT_NEAR(OneTwoFiveAtLeast(v), above, above * 1e-12) << v;
    EXPECT_NEAR(OneTwoFiveAtMost(v), below, below * 1e-12) << v;
  }
}

TEST(AxisTicks, LinearStepsAndTheirLabels) {
  struct Case {
    double Lo, Hi;
    int Target;
    bool Widen;
    std::vector<std::string> Labels;
    double WidenedHi;
  };
  const Case cases[] = {
      {0, 0.37, 5, true, {"0", "0.1", "0.2", "0.3", "0.4"}, 0.4},
      {10, 20000, 7, false, {"5000", "10000", "15000", "20000"}, 20000},
      {-3, 7, 5, false, {"-2", "0", "2", "4", "6"}, 7},
      // Steps under 1e-3 and values from 1e7 on take the exponent form.
      {0, 0.0025, 5, false, {"0", "5e-4", "1e-3", "1.5e-3", "2e-3", "2.5e-3"}, 0.0025},
      {0, 2.6e7, 3, true, {"0", "1e7", "2e7", "3e7"}, 3e7},
  };
  for (const Case& c : cases) {
    double lo = c.Lo;
    double hi = c.Hi;
    EXPECT_EQ(Labels(LinearTicks(lo, hi, c.Target, c.Widen), false), c.Labels) << c.Hi;
    EXPECT_DOUBLE_EQ(hi, c.WidenedHi);
  }
}

TEST(AxisTicks, LogAxisLabelsFewestThatGiveThree) {
  struct Case {
    double Lo, Hi;
    std::size_t Ticks;
    std::vector<std::string> Labelled;
  };
  const Case cases[] = {
      {10, 20000, 29, {"10", "100", "1000", "10000"}},  // the powers of ten
      {100, 500, 5, {"100", "200", "500"}},             // 1-2-5
      {100, 250, 2, {"100", "200"}},                    // every multiple
      {100, 150, 3, {"100", "120", "140"}},             // linear ticks
  };
  for (const Case& c : cases) {
    const std::vector<AxisTick> ticks = LogTicks(c.Lo, c.Hi);
    EXPECT_EQ(ticks.size(), c.Ticks) << c.Hi;
    EXPECT_EQ(Labels(ticks, true), c.Labelled) << c.Hi;
  }
}

TEST(NumberTexts, ShortFixedAndExponentForms) {
  const std::pair<double, const char*> shortForms[] = {
      {0.0125, "0.0125"}, {1.5e-5, "1.5e-5"}, {2e7, "2e7"}, {123456, "1.235e5"},
      {0, "0"},           {-0.5, "-0.5"},     {979.5, "979.5"}};
  for (const auto& [v, text] : shortForms) EXPECT_EQ(ShortNumberText(v), text) << v;
  EXPECT_EQ(ExponentNumberText(1.5e-5, 2), "1.5e-5");
  EXPECT_EQ(ExponentNumberText(-2.5e10, 1), "-2.5e10");
  EXPECT_EQ(ExponentNumberText(3e-300, 0), "3e-300");
  EXPECT_EQ(FixedNumberText(1234.5678, 2), "1234.57");
  EXPECT_EQ(FixedNumberText(5, 0), "5");
  EXPECT_EQ(PrintfNumber("%g km", 2.5), "2.5 km");
}

}  // namespace
}  // namespace vmk
