// The wind rose and the stability chart as scenes, and the filled shapes in SVG.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "plot/met_charts.h"
#include "plot/svg_writer.h"
#include "plot_samples.h"

namespace vmk {
namespace {

bool HasText(const PlotScene& s, const std::string& text) {
  return std::any_of(s.Texts.begin(), s.Texts.end(),
                     [&](const PlotText& t) { return t.Text == text; });
}

TEST(WindRose, SharesLabelsAndPetals) {
  const MetStats m = samples::SampleMetStats();
  const auto n = DirectionShares(m, 0);
  EXPECT_DOUBLE_EQ(n[0], 10);
  EXPECT_DOUBLE_EQ(n[1], 20);
  EXPECT_DOUBLE_EQ(DirectionShares(m, 4)[6], 20);
  EXPECT_DOUBLE_EQ(DirectionShares(m, 8)[0], 0);

  const PlotScene s = BuildWindRose(m);
  for (std::string_view name : kDirectionNamesJa) EXPECT_TRUE(HasText(s, std::string(name))) << name;
  EXPECT_TRUE(HasText(s, "静穏"));
  EXPECT_TRUE(HasText(s, "50.0%"));
  EXPECT_TRUE(HasText(s, "風配図  東京"));
  // Three petal parts (N weak, N windy 1, E windy 6) among the rings and legend boxes: the
  // parts are the polygons with a dark edge that are not the legend's boxes.
  const auto parts = std::count_if(s.Polygons.begin(), s.Polygons.end(), [](const PlotPolygon& p) {
    return p.Fill && p.Points.size() == 18;
  });
  EXPECT_EQ(parts, 3);
  // The N petal ends where its 30 % reaches; the E petal (20 %) is shorter by a third of
  // the scale from the calm circle.
  double northTop = 1e9;
  double eastRight = 0;
  for (const PlotPolygon& p : s.Polygons) {
    if (!p.Fill || p.Points.size() != 18) continue;
    for (const auto& [x, y] : p.Points) {
      if (std::abs(x - 320) < 40) northTop = std::min(northTop, y);
      if (std::abs(y - 390) < 40) eastRight = std::max(eastRight, x);
    }
  }
  const double northLength = 390 - northTop;
  const double eastLength = eastRight - 320;
  EXPECT_NEAR((eastLength - 34) / (northLength - 34), 2.0 / 3.0, 0.02);

  // All hours calm: no petal, and the scale still draws.
  MetStats calm;
  calm.ValidHours = 5;
  calm.CalmAll[0] = 5;
  const PlotScene c = BuildWindRose(calm);
  EXPECT_TRUE(HasText(c, "100.0%"));
  EXPECT_EQ(std::count_if(c.Polygons.begin(), c.Polygons.end(),
                          [](const PlotPolygon& p) { return p.Points.size() == 18; }),
            0);
}

TEST(StabilityChart, BarsByDayAndNight) {
  ClassCounts day{};
  ClassCounts night{};
  day[0] = 40;
  day[6] = 10;
  night[7] = 20;
  night[10] = 30;
  const PlotScene s = BuildStabilityChart(samples::SampleMetStats(), day, night);
  EXPECT_TRUE(HasText(s, "昼 50 時間"));
  EXPECT_TRUE(HasText(s, "夜 50 時間"));
  for (std::string_view name : kMetStabilityNames) EXPECT_TRUE(HasText(s, std::string(name)));
  for (const char* count : {"40", "10", "20", "30"}) EXPECT_TRUE(HasText(s, count)) << count;
  // Bar heights in proportion: the A bar (40 h) twice the Dn bar (20 h).
  std::vector<double> heights;
  for (const PlotPolygon& p : s.Polygons) {
    if (p.Fill && p.Outline && p.Points.size() == 4 && p.Points[2].second > 400) {
      heights.push_back(p.Points[2].second - p.Points[0].second);
    }
  }
  ASSERT_EQ(heights.size(), 4u);
  EXPECT_NEAR(heights[0] / heights[2], 2.0, 1e-9);
}

TEST(PlotSvg, PolygonsFilledOutlinedOrBoth) {
  PlotScene s;
  s.Width = 10;
  s.Height = 10;
  PlotPolygon filled;
  filled.Points = {{0, 0}, {4, 0}, {4, 2.5}};
  filled.Fill = PlotColor{255, 0, 16};
  s.Polygons.push_back(filled);
  PlotPolygon outlined;
  outlined.Points = {{1, 1}, {2, 2}};
  outlined.Outline = PlotStroke{{0, 0, 0}, 1.5, true};
  s.Polygons.push_back(outlined);
  s.Texts.push_back({1, 2, "静穏 <%>", 12, TextAnchor::Middle, false, {}, {}});
  const std::string svg = PlotSvg(s);
  EXPECT_NE(svg.find("<polygon points=\"0,0 4,0 4,2.5\" fill=\"#ff0010\" stroke=\"none\"/>"),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find("<polygon points=\"1,1 2,2\" fill=\"none\" stroke-linejoin=\"round\" "
                     "stroke=\"#000000\" stroke-width=\"1.5\" stroke-dasharray=\"6,4\"/>"),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find(">静穏 &lt;%&gt;</text>"), std::string::npos);
  // Polygons come first, behind everything else.
  EXPECT_LT(svg.find("<polygon"), svg.find("<text"));
}

}  // namespace
}  // namespace vmk
