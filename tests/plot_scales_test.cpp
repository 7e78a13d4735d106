// The 1-2-5 steps of the pictures' scales and the linear ticks standing on them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "plot/ticks.h"

namespace vmk {
namespace {

// Against every 1-2-5 step from 1e-12 to 5e12 read from its decimal text.
TEST(OneTwoFive, NearestStepsAboveAndBelowAnyValue) {
  std::vector<double> steps;
  for (int k = -12; k <= 12; ++k) {
    for (const char* m : {"1", "2", "5"}) steps.push_back(std::stod(m + ("e" + std::to_string(k))));
  }
  std::mt19937_64 random(18);
  std::uniform_real_distribution<double> exponent(-11, 11);
  for (int i = 0; i < 2000; ++i) {
    const double v = std::pow(10.0, exponent(random));
    const double above = *std::lower_bound(steps.begin(), steps.end(), v);
    const double below = *(std::upper_bound(steps.begin(), steps.end(), v) - 1);
    EXPECT_NEAR(OneTwoFiveAtLeast(v), above, above * 1e-12) << v;
    EXPECT_NEAR(OneTwoFiveAtMost(v), below, below * 1e-12) << v;
  }
  EXPECT_EQ(OneTwoFiveAtMost(0.2), 0.2);  // a step is its own nearest
  EXPECT_EQ(OneTwoFiveAtLeast(1000), 1000);
  EXPECT_EQ(OneTwoFiveAtLeast(0.19999999999), 0.2);  // a rounding error below a step
}

TEST(AxisTicks, LinearStepsAndTheirLabels) {
  struct Case {
    double Lo, Hi;
    int Target;
    bool Widen;
    std::vector<std::string> Labels;
  };
  const Case cases[] = {
      {0, 0.37, 5, true, {"0", "0.1", "0.2", "0.3", "0.4"}},
      {10, 20000, 7, false, {"5000", "10000", "15000", "20000"}},
      {-3, 7, 5, false, {"-2", "0", "2", "4", "6"}},
      // Steps under 1e-3 and values from 1e7 on take the exponent form.
      {0, 0.0025, 5, false, {"0", "5e-4", "1e-3", "1.5e-3", "2e-3", "2.5e-3"}},
      {0, 2.6e7, 3, true, {"0", "1e7", "2e7", "3e7"}},
  };
  for (const Case& c : cases) {
    double lo = c.Lo;
    double hi = c.Hi;
    std::vector<std::string> labels;
    for (const AxisTick& t : LinearTicks(lo, hi, c.Target, c.Widen)) labels.push_back(t.Label);
    EXPECT_EQ(labels, c.Labels) << c.Hi;
  }
}

}  // namespace
}  // namespace vmk
