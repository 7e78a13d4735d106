// NO2/NOx fraction: worked values, limits and the day/night selection.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "model/no2.h"
#include "model_test_support.h"

namespace vmk {
namespace {

using model_test::ShowsAs;

ModelParameters Conversion(float alpha, float beta, float k, float o3) {
  ModelParameters p;
  p.Alpha = alpha;
  p.BetaDay = beta;
  p.BetaNight = beta;
  p.K = k;
  p.O3Day = o3;
  p.O3Night = o3;
  return p;
}

TEST(No2Ratio, WorkedValues) {
  const ModelParameters p = Conversion(0.9f, 0.5f, 0.01f, 0.04f);
  EXPECT_TRUE(ShowsAs(No2Ratio(p, 1, 250.0f, 0.0f), "0.157098"));
  EXPECT_TRUE(ShowsAs(No2Ratio(p, 1, 250.0f, 50.0f), "0.167848"));
  EXPECT_TRUE(ShowsAs(No2Ratio(Conversion(0.9f, 0.5f, 0.0f, 0.04f), 1, 250.0f, 0.0f), "0.1"));
}

TEST(No2Ratio, Limits) {
  // No conversion rate or no ozone: 1 - Alpha whatever beta is.
  for (float beta : {0.0f, 0.5f, 3.0f}) {
    EXPECT_FLOAT_EQ(No2Ratio(Conversion(0.83f, beta, 0.0f, 0.02f), 1, 300.0f, 0.0f), 0.17f);
    EXPECT_FLOAT_EQ(No2Ratio(Conversion(0.83f, beta, 0.0062f, 0.0f), 2, 300.0f, 9.0f), 0.17f);
  }
  EXPECT_EQ(No2Ratio(Conversion(0.0f, 0.3f, 0.0062f, 0.02f), 1, 300.0f, 0.0f), 1.0f);
  // beta 0: 1 - Alpha * exp(-x).
  EXPECT_FLOAT_EQ(No2Ratio(Conversion(0.9f, 0.0f, 0.01f, 0.04f), 1, 250.0f, 0.0f),
                  static_cast<float>(1.0 - 0.9 * std::exp(-0.1)));
  // Far away: 1 - Alpha * beta / (1 + beta).
  EXPECT_FLOAT_EQ(No2Ratio(Conversion(0.9f, 0.5f, 0.01f, 0.04f), 1, 1e5f, 0.0f), 0.7f);
}

TEST(No2Ratio, DayAndNightParameters) {
  ModelParameters p = Conversion(0.9f, 0.5f, 0.01f, 0.04f);
  p.BetaNight = 0.0f;
  p.O3Night = 0.0f;
  EXPECT_TRUE(ShowsAs(No2Ratio(p, 1, 250.0f, 0.0f), "0.157098"));
  EXPECT_FLOAT_EQ(No2Ratio(p, 2, 250.0f, 0.0f), 0.1f);  // no ozone at night
  EXPECT_THROW(No2Ratio(p, 0, 250.0f, 0.0f), std::out_of_range);
  EXPECT_THROW(No2Ratio(p, 3, 250.0f, 0.0f), std::out_of_range);
}

}  // namespace
}  // namespace vmk
