// The abnormal-year chart: one range, mean and mark per item, the rejected items in red and
// named, Japanese labels.
#include <gtest/gtest.h>

#include <algorithm>

#include "plot/abnormal_year_chart.h"

namespace vmk {
namespace {

TEST(AbnormalYearChart, EveryItemWithItsRangeAndMark) {
  AbnormalYearResult r;
  r.Reference.resize(10);
  for (int i = 0; i < kAbnormalItems; ++i) {
    FTestRow& row = r.Rows[static_cast<std::size_t>(i)];
    row.Mean = 5 + i % 3;
    row.Lower = row.Mean - 2;
    row.Upper = row.Mean + 2;
    row.Tested = i == 3 || i == 20 ? row.Upper + 1 : row.Mean;
    row.Rejected = i == 3 || i == 20;
  }
  const PlotScene s = BuildAbnormalYearChart(r);
  const auto texts = [&](const std::string& t) {
    return std::count_if(s.Texts.begin(), s.Texts.end(), [&](const PlotText& x) { return x.Text == t; });
  };
  EXPECT_EQ(texts("東北東"), 1);
  EXPECT_EQ(texts("静穏"), 1);
  EXPECT_EQ(texts("1.0-1.9"), 1);
  EXPECT_EQ(texts("棄却"), 3);  // two items and the legend
  // The marks: one per item and two in the legend; the rejected ones red.
  ASSERT_EQ(s.Circles.size(), static_cast<std::size_t>(kAbnormalItems + 2));
  const auto red = std::count_if(s.Circles.begin(), s.Circles.end(),
                                 [](const PlotCircle& c) { return c.Fill.R == 215; });
  EXPECT_EQ(red, 3);
  // A rejected mark above its range: higher on the picture than the range's top.
  const PlotCircle& ene = s.Circles[3];
  const double top = std::min_element(s.Polygons.begin(), s.Polygons.end(),
                                      [&](const PlotPolygon& a, const PlotPolygon& b) {
                                        return std::abs(a.Points[0].first - ene.X + 13) <
                                               std::abs(b.Points[0].first - ene.X + 13);
                                      })->Points[0].second;
  EXPECT_LT(ene.Y, top);
}

}  // namespace
}  // namespace vmk
