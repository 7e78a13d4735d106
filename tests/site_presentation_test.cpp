// What the summary, the map and the site window show: the maximum as each stack sees it, the
// points' values, the values at any place, and the receptor distances that have a value.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "casefile/input_help.h"
#include "site/site_presentation.h"
#include "site/site_summary.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using namespace site_test;

Json PointsSite(const char* sectors) {
  Json site = TwoStackSite(VariedMet());
  site["sectors"] = sectors;
  site["receptors"]["points"] = Json::array({{{"name", "a"}, {"x", 120}, {"y", -800}},
                                             {{"name", "on A"}, {"x", 0}, {"y", 0}, {"z", 4}},
                                             {{"name", "b"}, {"x", -2500}, {"y", 40}}});
  return site;
}

// The bearing from (x0, y0) to (x, y) in degrees from north, clockwise.
double Degrees(double x0, double y0, double x, double y) {
  const double d = std::atan2(x - x0, y - y0) * 180 / std::numbers::pi;
  return d < 0 ? d + 360 : d;
}

TEST(SitePresentation, MaximumAsEachStackSeesIt) {
  Json site = PointsSite("smooth");
  site["receptors"]["grid"] = {{"x", "-3000:3000:13"}, {"y", "-3000:3000:13"}};
  const SitePlan plan = PlanOf(site);
  const SiteResult result = RunOf(plan, 2);
  ASSERT_EQ(MaximumScopeOf(plan.Receptors), MaximumScope::Grid);
  const auto max = MaximumOf(plan, result);
  ASSERT_TRUE(max.has_value());
  const std::size_t q = *result.MaxIndex;
  const Receptor& m = plan.Receptors.All[q];
  EXPECT_EQ(Bits(max->C.C), Bits(result.Total[q]));
  EXPECT_EQ(std::stof(max->C.Text), result.Total[q]);
  EXPECT_EQ(max->X, m.X);
  EXPECT_EQ(std::stod(max->YText), m.Y);
  ASSERT_EQ(max->FromStacks.size(), 2u);
  for (std::size_t s = 0; s < 2; ++s) {
    const MaximumFromStack& from = max->FromStacks[s];
    const StackPlan& st = plan.Stacks[s];
    const double degrees = Degrees(st.X, st.Y, m.X, m.Y);
    EXPECT_EQ(from.Name, st.Name);
    EXPECT_FLOAT_EQ(from.R, static_cast<float>(std::hypot(m.X - st.X, m.Y - st.Y)));
    EXPECT_EQ(std::stof(from.RText), from.R);
    EXPECT_NEAR(from.Bearing, degrees, 0.05 + 1e-9) << s;
    EXPECT_EQ(std::stod(from.BearingText), from.Bearing) << from.BearingText;
    const int sector = static_cast<int>(std::floor(degrees / 22.5 + 0.5)) % 16;
    EXPECT_EQ(from.Toward, kDirectionNames[static_cast<std::size_t>(sector)]) << degrees;
    EXPECT_EQ(Bits(from.C.C), Bits(result.StackC[s][q]));
  }
}

TEST(SitePresentation, ScopeOfTheMaximum) {
  Json site = PointsSite("sector");
  const SitePlan points = PlanOf(site);
  EXPECT_EQ(MaximumScopeOf(points.Receptors), MaximumScope::None);
  EXPECT_FALSE(MaximumOf(points, RunOf(points)).has_value());
  site["receptors"]["polar"] = {{"center", {50, 50}}, {"distances", "100:1000:3"}};
  const SitePlan polar = PlanOf(site);
  const SiteResult result = RunOf(polar);
  EXPECT_EQ(MaximumScopeOf(polar.Receptors), MaximumScope::Polar);
  const auto max = MaximumOf(polar, result);
  ASSERT_TRUE(max.has_value());
  EXPECT_GE(*result.MaxIndex, polar.Receptors.PolarBegin());
  EXPECT_LT(*result.MaxIndex, polar.Receptors.PointBegin());
}

// A point's values, and the values at a place near it: the place is the point's own once
// rounded to whole metres, at the common height.
TEST(SitePresentation, PointsAndPlacesShowTheComputedValues) {
  for (const char* mode : {"sector", "smooth"}) {
    const SitePlan plan = PlanOf(PointsSite(mode));
    const SiteResult result = RunOf(plan);
    const std::size_t first = plan.Receptors.PointBegin();
    const PointValues a = PointValuesOf(plan, result, 0);
    EXPECT_EQ(a.Name, "a");
    EXPECT_EQ(a.XText, "120");
    EXPECT_EQ(a.YText, "-800");
    EXPECT_EQ(a.ZText, "1.5");
    EXPECT_EQ(Bits(a.C.C), Bits(result.Total[first]));
    ASSERT_EQ(a.Stacks.size(), 2u);
    EXPECT_EQ(std::stof(a.Stacks[1].Text), result.StackC[1][first]);

    const PlaceValues near = ValuesAtPlace(plan, 119.6, -800.4);
    EXPECT_EQ(near.XText, "120");
    EXPECT_EQ(near.YText, "-800");
    EXPECT_EQ(Bits(near.C.C), Bits(a.C.C)) << mode;
    EXPECT_EQ(Bits(near.Stacks[0].C), Bits(a.Stacks[0].C)) << mode;

    // On stack A: no value of A, so no total; stack No.2 still has its own.
    const PointValues onA = PointValuesOf(plan, result, 1);
    EXPECT_EQ(onA.ZText, "4");
    EXPECT_TRUE(onA.C.Missing());
    EXPECT_TRUE(std::isnan(onA.C.C));
    EXPECT_TRUE(onA.Stacks[0].Missing());
    EXPECT_FALSE(onA.Stacks[1].Missing());
    const PlaceValues place = ValuesAtPlace(plan, 0.3, -0.2);
    EXPECT_TRUE(place.C.Missing());
    EXPECT_EQ(place.XText, "0");
    EXPECT_EQ(ReceptorsWithoutValue(result), 1u);
  }
}

// The texts name the limits the window checks the distance against.
TEST(SitePresentation, DistancesWithoutValueAreTheWindowsLimits) {
  const DistanceRangeText range = ReceptorDistanceRange();
  EXPECT_EQ(range.From, LimitText(RLowerLimit, InputKind::Real));
  EXPECT_EQ(range.To, LimitText(RUpperLimit, InputKind::Real));
  EXPECT_EQ(std::stof(range.From), RLowerLimit);
  EXPECT_EQ(std::stof(range.To), RUpperLimit);
  const SitePlan plan = PlanOf(PointsSite("sector"));
  const std::string summary = SummaryText(plan, RunOf(plan), {});
  EXPECT_NE(summary.find("no value   : 1 of 3 receptors (nearer to a stack than " + range.From +
                         " m or farther than " + range.To + " m): 0 grid, 0 polar, 1 points\n"),
            std::string::npos)
      << summary;
}

}  // namespace
}  // namespace vmk
