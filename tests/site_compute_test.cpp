// The site's numbers: each stack's value is the window's calculation bit for bit, the stacks
// add up, the sector weights, the turn of the map with the tables, the maximum along a
// direction, and the receptors without a value.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "model/profile.h"
#include "site/site_levels.h"
#include "site/site_summary.h"
#include "site/site_tables.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using namespace site_test;

struct Place {
  double X;
  double Y;
  const char* WindFrom;  // the wind that carries the plume of stack 0 (at the origin) there
};

// Places on the centre lines of stack 0, near and far: north of it the wind from the south.
const std::vector<Place> kCenterLines = {
    {0, 800, "S"},    {600, 0, "W"},   {0, -1500, "N"},   {-250, 0, "E"},       {400, 400, "SW"},
    {-70, -70, "NE"}, {3, 0, "W"},     {0, 12000, "S"},   {5000, -5000, "NW"},  {-0.05, 0, "E"},
};

int Wind(const char* name) { return *DirectionIndex(name); }

Json WithPoints(Json site, const std::vector<Place>& places, const char* sectors) {
  Json points = Json::array();
  for (std::size_t i = 0; i < places.size(); ++i) {
    Json p = {{"name", "P" + std::to_string(i)}, {"x", places[i].X}, {"y", places[i].Y}};
    if (i % 3 == 1) p["z"] = 3.5 * static_cast<double>(i % 7);
    points.push_back(p);
  }
  site["receptors"]["points"] = points;
  site["sectors"] = sectors;
  return site;
}

// The height of point `point` as the site file gives it: its own "z", else the common HrpEdit.
float ZOf(const Json& site, std::size_t point) {
  const Json& p = site["receptors"]["points"].at(point);
  if (p.contains("z")) return static_cast<float>(p["z"].get<double>());
  return std::stof(site["common"]["HrpEdit"].get<std::string>());
}

TEST(SiteExactness, CenterLineEqualsTheWindowBitForBit) {
  for (const char* mode : {"sector", "smooth"}) {
    const Json site = WithPoints(TwoStackSite(VariedMet()), kCenterLines, mode);
    const SitePlan plan = PlanOf(site);
    const SiteResult result = RunOf(plan);
    for (std::size_t i = 0; i < kCenterLines.size(); ++i) {
      const Place& p = kCenterLines[i];
      const float r = static_cast<float>(std::sqrt(p.X * p.X + p.Y * p.Y));
      const float z = ZOf(site, i);
      std::string status;
      const float window = WindowConc(site, 0, Wind(p.WindFrom), r, z, &status);
      const float got = result.StackC[0][plan.Receptors.PointBegin() + i];
      if (r < RLowerLimit) {
        EXPECT_TRUE(std::isnan(got)) << i;
        EXPECT_EQ(status, "Error: 予測点 R: ") << i;  // the window refuses that distance too
        continue;
      }
      EXPECT_EQ(status, " 入力・条件 : O.K.") << i;
      EXPECT_GT(window, 0.0f) << mode << " " << i;
      EXPECT_EQ(Bits(got), Bits(window)) << mode << " point " << i << ": " << got << " vs " << window;
    }
  }
}

// Far from the origin the coordinates place a receptor only to a few nanometres: a polar ring
// around a stack there, near and far, still lies on the centre lines, and each of its
// receptors is the window's value of its direction.
TEST(SiteExactness, CenterLinesFarFromTheOriginEqualTheWindow) {
  const std::array<std::array<double, 2>, 2> centres = {{{3e7, 4e7}, {-2.5e5, 1.2e5}}};
  for (const auto& [cx, cy] : centres) {
    Json site = TwoStackSite(VariedMet());
    site["sources"].erase(1);
    site["sources"][0]["x"] = cx;
    site["sources"][0]["y"] = cy;
    site["sectors"] = "smooth";
    site["receptors"]["polar"] = {{"center", {cx, cy}}, {"distances", "0.1:90000:24"}, {"log", true}};
    const SitePlan plan = PlanOf(site);
    const SiteResult result = RunOf(plan);
    const ReceptorSet& rs = plan.Receptors;
    const std::size_t n = rs.PolarDistances.size();
    for (std::size_t q = rs.PolarBegin(); q < rs.PointBegin(); ++q) {
      const int j = static_cast<int>((q - rs.PolarBegin()) / n);
      const double dx = rs.All[q].X - cx;
      const double dy = rs.All[q].Y - cy;
      const float r = static_cast<float>(std::sqrt(dx * dx + dy * dy));
      const float window = WindowConc(site, 0, (j + 8) % 16, r, plan.DefaultZ);
      ASSERT_GT(window, 0.0f) << cx << " " << j << " " << r;
      EXPECT_EQ(Bits(result.StackC[0][q]), Bits(window))
          << "centre " << cx << ", " << cy << ", direction " << j << ", R " << r << ": "
          << result.StackC[0][q] << " vs " << window;
    }
  }
}

// In "sector" mode every receptor takes one direction's value: any place, not only the centre
// lines, is the window's number.
TEST(SiteExactness, SectorModeEqualsTheWindowAnywhere) {
  std::mt19937 gen(3);
  std::uniform_real_distribution<double> coord(-4000, 4000);
  std::vector<Place> places;
  for (int i = 0; i < 40; ++i) places.push_back({coord(gen), coord(gen), ""});
  const Json site = WithPoints(TwoStackSite(VariedMet(2)), places, "sector");
  const SitePlan plan = PlanOf(site);
  const SiteResult result = RunOf(plan);
  for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
    for (std::size_t i = 0; i < places.size(); ++i) {
      const StackView v = ViewFrom(plan.Stacks[s].X, plan.Stacks[s].Y, places[i].X, places[i].Y);
      // The sector of the bearing, and the wind from the opposite side.
      const double degrees = std::atan2(places[i].X - plan.Stacks[s].X, places[i].Y - plan.Stacks[s].Y) * 180 / std::numbers::pi;
      const int toward = static_cast<int>(std::floor((degrees + 360 + 11.25) / 22.5)) % 16;
      const float window = WindowConc(site, static_cast<int>(s), (toward + 8) % 16, v.R, ZOf(site, i));
      EXPECT_EQ(Bits(result.StackC[s][plan.Receptors.PointBegin() + i]), Bits(window)) << s << " " << i;
    }
  }
}

TEST(SiteExactness, TwoStacksAddUp) {
  const Json site = WithPoints(TwoStackSite(VariedMet()), kCenterLines, "smooth");
  const SitePlan plan = PlanOf(site);
  const SiteResult result = RunOf(plan);
  int both = 0;
  for (std::size_t q = 0; q < plan.Receptors.All.size(); ++q) {
    const float a = result.StackC[0][q];
    const float b = result.StackC[1][q];
    if (std::isnan(a) || std::isnan(b)) {
      EXPECT_TRUE(std::isnan(result.Total[q]));
      continue;
    }
    EXPECT_EQ(Bits(result.Total[q]), Bits(static_cast<float>(static_cast<long double>(a) + b))) << q;
    if (a > 0 && b > 0) ++both;
  }
  EXPECT_GT(both, 5);
}

// The window's value of each receptor direction j at one distance from stack 0.
std::vector<float> DirectionValuesAt(const Json& site, float r, float z) {
  std::vector<float> c;
  for (int j = 0; j < kDirections; ++j) c.push_back(WindowConc(site, 0, (j + 8) % 16, r, z));
  return c;
}

TEST(SiteSectors, WeightsAtCenterLinesAndEdges) {
  struct Case {
    double Degrees;
    SectorWeights Sector;
    SectorWeights Smooth;
  };
  const Case cases[] = {
      {0, {0, 0, 0}, {0, 1, 0}},
      {90, {4, 4, 0}, {4, 5, 0}},
      {11.25, {1, 1, 0}, {0, 1, 0.5}},        // an edge belongs to the clockwise sector
      {11.2499, {0, 0, 0}, {0, 1, 0.499996}},
      {348.75, {0, 0, 0}, {15, 0, 0.5}},      // the edge between NNW and N
      {354.375, {0, 0, 0}, {15, 0, 0.75}},
      {200, {9, 9, 0}, {8, 9, 0.888889}},
  };
  for (const Case& c : cases) {
    const double u = c.Degrees / 22.5;
    const SectorWeights a = WeightsAt(SectorMode::Sector, u);
    const SectorWeights b = WeightsAt(SectorMode::Smooth, u);
    EXPECT_EQ(a.J0, c.Sector.J0) << c.Degrees;
    EXPECT_EQ(a.W, 0) << c.Degrees;
    EXPECT_EQ(b.J0, c.Smooth.J0) << c.Degrees;
    EXPECT_EQ(b.J1, c.Smooth.J1) << c.Degrees;
    EXPECT_NEAR(b.W, c.Smooth.W, 1e-6) << c.Degrees;
  }
  EXPECT_EQ(Weighted({3, 4, 0}, 1.25f, 9.0f), 1.25f);
  EXPECT_EQ(Weighted({3, 4, 0.5}, 1.0f, 2.0f), 1.5f);
}

// At a sector edge "sector" takes the clockwise sector's value and "smooth" the mean of the
// two; on a centre line both take the line's value.
TEST(SiteSectors, EdgeAndCenterValuesFromTheWindowsNumbers) {
  const double r = 900;
  const double edge = 11.25 * std::numbers::pi / 180;  // between N and NNE
  const std::vector<Place> places = {{r * std::sin(edge), r * std::cos(edge), ""}, {0, r, "S"}};
  for (const char* mode : {"sector", "smooth"}) {
    const Json site = WithPoints(TwoStackSite(VariedMet()), places, mode);
    const SitePlan plan = PlanOf(site);
    const SiteResult result = RunOf(plan);
    const StackView v = ViewFrom(0, 0, places[0].X, places[0].Y);
    ASSERT_NEAR(v.Sectors, 0.5, 1e-12);
    const std::vector<float> c = DirectionValuesAt(site, v.R, plan.DefaultZ);
    const float atEdge = result.StackC[0][plan.Receptors.PointBegin()];
    const float atCenter = result.StackC[0][plan.Receptors.PointBegin() + 1];
    ASSERT_NE(c[0], c[1]);
    const SectorWeights w = WeightsAt(std::string(mode) == "smooth" ? SectorMode::Smooth : SectorMode::Sector, v.Sectors);
    if (std::string(mode) == "sector") {
      EXPECT_EQ(Bits(atEdge), Bits(c[v.Sectors >= 0.5 ? 1 : 0]));
    } else {
      EXPECT_EQ(Bits(atEdge), Bits(Weighted(w, c[0], c[1])));
      EXPECT_NEAR(atEdge, (c[0] + c[1]) / 2, 1e-6 * (c[0] + c[1]));
    }
    EXPECT_EQ(Bits(atCenter), Bits(WindowConc(site, 0, Wind("S"), static_cast<float>(r), ZOf(site, 1))));
  }
}

// Turning every direction's table by one direction turns the map by 22.5 degrees; with the
// same table in every direction the map is the same after the turn.
TEST(SiteSectors, MapTurnsWithTheTables) {
  const MetStats met = VariedMet(9);
  MetStats turned = met;
  for (int d = 0; d < kDirections; ++d) turned.Directions[(d + 1) % kDirections] = met.Directions[d];
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> dist(30, 9000);
  std::uniform_real_distribution<double> angle(0, 360);
  for (const char* mode : {"sector", "smooth"}) {
    Json a = TwoStackSite(met);
    a["sources"].erase(1);
    a["sectors"] = mode;
    a["receptors"]["points"] = Json::array({{{"name", "p"}, {"x", 1}, {"y", 1}}});
    Json b = a;
    b["met"] = Json::parse(MetStatsJson(turned));
    Json u = a;
    u["met"] = Json::parse(MetStatsJson(UniformMet()));
    const SitePlan pa = PlanOf(a);
    const SitePlan pb = PlanOf(b);
    const SitePlan pu = PlanOf(u);
    for (int i = 0; i < 200; ++i) {
      const double r = dist(gen);
      const double t = angle(gen) * std::numbers::pi / 180;
      const double t2 = t + std::numbers::pi / 8;
      const float z = pa.DefaultZ;
      // The same distance on both sides: the turned place is put at the distance of the first.
      const double x = r * std::sin(t), y = r * std::cos(t);
      const double rr = std::sqrt(x * x + y * y);
      const double x2 = rr * std::sin(t2), y2 = rr * std::cos(t2);
      const StackView v1 = ViewFrom(0, 0, x, y);
      const StackView v2 = ViewFrom(0, 0, x2, y2);
      if (v1.R != v2.R) continue;  // rounding moved the turned place: not the same distance
      EXPECT_EQ(Bits(StackValueAt(pb, 0, x2, y2, z)), Bits(StackValueAt(pa, 0, x, y, z))) << mode << i;
      EXPECT_EQ(Bits(StackValueAt(pu, 0, x2, y2, z)), Bits(StackValueAt(pu, 0, x, y, z))) << mode << i;
    }
    // The polar rings turn exactly: direction j of the uniform site equals direction j + 1.
    u["receptors"] = {{"polar", {{"center", {0, 0}}, {"distances", "50:8000:30"}, {"log", true}}}};
    const SitePlan pp = PlanOf(u);
    const SiteResult rp = RunOf(pp);
    const std::size_t n = pp.Receptors.PolarDistances.size();
    for (std::size_t j = 0; j < 16; ++j) {
      for (std::size_t k = 0; k < n; ++k) {
        EXPECT_EQ(Bits(rp.Total[((j + 1) % 16) * n + k]), Bits(rp.Total[j * n + k])) << j << " " << k;
      }
    }
  }
}

TEST(SiteAlong, MaximumAlongEachDirectionIsTheDistanceProfiles) {
  const Json site = WithPoints(TwoStackSite(VariedMet()), {{100, 100, ""}}, "smooth");
  const SitePlan plan = PlanOf(site);
  const SiteResult result = RunOf(plan, 2);
  const std::vector<float> distances = ProfileDistances(kProfileFrom, kProfileTo, kProfilePoints, true);
  for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
    for (int j = 0; j < kDirections; ++j) {
      // The window's parameters of that wind direction, as a calculation reads them.
      FormRecord form = MakeStartupForm();
      ApplyCaseStep(StepOf(site["common"]), form);
      ApplyCaseStep(StepOf(site["sources"][s]["controls"]), form);
      ApplyMetDirection(plan.Site.Met, (j + 8) % 16, form);  // toward j, the wind from j + 8
      CalcState st;
      ASSERT_TRUE(RunCalculation(form, st, {}).NormalResult);
      const Profile want = ComputeProfile(st.Params, distances);
      const ProfilePoint& got = result.AlongMax[s][static_cast<std::size_t>(j)];
      EXPECT_EQ(Bits(got.R), Bits(want.Max.R)) << s << " " << j;
      EXPECT_EQ(Bits(got.C), Bits(want.Max.C)) << s << " " << j;
      EXPECT_GT(got.C, 0) << s << " " << j;
    }
  }
}

TEST(SiteReceptors, TooNearOrTooFarHasNoValueAndIsCounted) {
  Json site = TwoStackSite(VariedMet());
  site["receptors"]["points"] = Json::array({{{"name", "on A"}, {"x", 0}, {"y", 0}},
                                             {{"name", "far"}, {"x", 0}, {"y", 100002}},
                                             {{"name", "near"}, {"x", 0.09999}, {"y", 0}},
                                             {{"name", "fine"}, {"x", 10}, {"y", 10}}});
  site["receptors"]["grid"] = {{"x", "-100:100:5"}, {"y", "-100:100:5"}};  // (0, 0) is on A
  const SitePlan plan = PlanOf(site);
  const SiteResult result = RunOf(plan);
  const std::size_t p = plan.Receptors.PointBegin();
  EXPECT_TRUE(std::isnan(result.StackC[0][p]));
  EXPECT_FALSE(std::isnan(result.StackC[1][p]));  // the other stack has its value
  EXPECT_TRUE(std::isnan(result.Total[p]));
  EXPECT_TRUE(std::isnan(result.Total[p + 1]));
  EXPECT_FALSE(std::isnan(result.Total[p + 2]));  // 0.09999 m is accepted, as in the window
  EXPECT_FALSE(std::isnan(result.Total[p + 3]));
  EXPECT_EQ(result.MissingPoints, 2u);
  EXPECT_EQ(result.MissingGrid, 1u);
  ASSERT_TRUE(result.MaxIndex.has_value());
  EXPECT_NE(*result.MaxIndex, 12u);  // the grid node on the stack is left out
  const std::string summary = SummaryText(plan, result, {});
  EXPECT_NE(summary.find("no value   : 3 of 29 receptors"), std::string::npos) << summary;
  const std::string csv = PointsCsv(plan, result);
  EXPECT_NE(csv.find("\non A,0,0,1.5,,,"), std::string::npos) << csv;
}

TEST(SiteRun, ThreadsGiveTheSameNumbers) {
  Json site = TwoStackSite(VariedMet());
  site["sectors"] = "smooth";
  site["receptors"]["grid"] = {{"x", "-1000:1000:41"}, {"y", "-1000:1000:41"}};
  site["receptors"]["polar"] = {{"center", {300.5, -200}}, {"distances", "100:5000:10"}};
  const SitePlan plan = PlanOf(site);
  const SiteResult one = RunOf(plan, 1);
  const SiteResult two = RunOf(plan, 2);
  const SiteResult five = RunOf(plan, 5);
  for (std::size_t q = 0; q < one.Total.size(); ++q) {
    EXPECT_EQ(Bits(one.Total[q]), Bits(two.Total[q])) << q;
    EXPECT_EQ(Bits(one.Total[q]), Bits(five.Total[q])) << q;
  }
  EXPECT_EQ(one.MaxIndex, two.MaxIndex);
  // Each grid value is the exact value at its place.
  for (std::size_t q = 0; q < plan.Receptors.GridCount; q += 37) {
    const Receptor& r = plan.Receptors.All[q];
    EXPECT_EQ(Bits(one.StackC[1][q]), Bits(StackValueAt(plan, 1, r.X, r.Y, r.Z))) << q;
  }
}

// The progress grows while a stack's grid is computed, not only after it. On one thread the
// reports come at the same points of the work every time.
TEST(SiteRun, ProgressIsReportedWhileTheGridIsComputed) {
  Json site = TwoStackSite(VariedMet());
  site["sources"].erase(1);
  site["sectors"] = "smooth";
  site["receptors"]["grid"] = {{"x", "-1003:997:101"}, {"y", "-998:1002:101"}};
  const SitePlan plan = PlanOf(site);
  ASSERT_EQ(plan.Receptors.All.size(), 10201u);
  std::vector<double> shares;
  RunOptions options;
  options.Threads = 1;
  options.Progress = [&shares](double share) { shares.push_back(share); };
  RunSite(plan, options);
  // The profiles along the 16 directions are a few hundred model runs against 10201
  // receptors: every share below 90 % is reported during the grid.
  const auto duringGrid = std::count_if(shares.begin(), shares.end(), [](double s) { return s < 0.9; });
  EXPECT_GE(duringGrid, 10);
  for (std::size_t i = 1; i < shares.size(); ++i) EXPECT_GT(shares[i], shares[i - 1]) << i;
  ASSERT_FALSE(shares.empty());
  EXPECT_EQ(shares.back(), 1.0);
}

TEST(SiteLevels, OneTwoFiveSteps) {
  // Three decades below the largest value.
  EXPECT_EQ(ChooseLevels(0.0001, 0.37),
            (std::vector<double>{0.0005, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2}));
  // Less than a decade: even steps instead.
  const std::vector<double> even = ChooseLevels(0.05, 0.37);
  ASSERT_EQ(even.size(), 3u);
  EXPECT_DOUBLE_EQ(even[0], 0.1);
  EXPECT_DOUBLE_EQ(even[2], 0.3);
  EXPECT_EQ(ChooseLevels(1e-9, 5.0).size(), 10u);
  EXPECT_EQ(ChooseLevels(1e-9, 5.0).back(), 5.0);
  EXPECT_TRUE(ChooseLevels(0, 0).empty());
}

// The isopleths lie over the grid: a site's own levels give none without one, so that the
// window's legend and the saved map agree.
TEST(SiteLevels, TheSitesLevelsOnlyWithAGrid) {
  Json site = WithPoints(TwoStackSite(VariedMet()), kCenterLines, "sector");
  site["levels"] = {0.01, 0.1};
  EXPECT_TRUE(SiteLevels(PlanOf(site), RunOf(PlanOf(site))).empty());
  site["receptors"]["grid"] = {{"x", "-1000:1000:5"}, {"y", "-1000:1000:5"}};
  const SitePlan plan = PlanOf(site);
  EXPECT_EQ(SiteLevels(plan, RunOf(plan)), (std::vector<double>{0.01, 0.1}));
}

}  // namespace
}  // namespace vmk
