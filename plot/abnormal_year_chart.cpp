#include "plot/abnormal_year_chart.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "plot/number_text.h"
#include "plot/ticks.h"

namespace vmk {
namespace {

constexpr PlotColor kBlack{0, 0, 0};
constexpr PlotColor kGrey{110, 110, 110};
constexpr PlotColor kGridColor{217, 217, 217};
constexpr PlotColor kRangeFill{198, 219, 239};
constexpr PlotColor kRangeEdge{107, 174, 214};
constexpr PlotColor kMeanColor{33, 113, 181};
constexpr PlotColor kAcceptedColor{35, 139, 69};
constexpr PlotColor kRejectedColor{215, 48, 31};

constexpr double kLeft = 70;
constexpr double kRight = 940;

// One panel: items first .. first + count - 1 between the heights top and bottom.
void Panel(PlotScene& scene, const AbnormalYearResult& r, int first, int count, double top,
           double bottom, const std::string& title, bool japaneseDirections) {
  double hi = 0;
  for (int i = first; i < first + count; ++i) {
    const FTestRow& row = r.Rows[static_cast<std::size_t>(i)];
    hi = std::max({hi, static_cast<double>(row.Upper), static_cast<double>(row.Tested)});
  }
  double lo = 0;
  if (!(hi > 0) || !std::isfinite(hi)) hi = 1;
  const std::vector<AxisTick> ticks = LinearTicks(lo, hi, 4, true);
  const auto py = [&](double v) { return bottom - (bottom - top) * std::clamp(v, lo, hi) / hi; };
  for (const AxisTick& t : ticks) {
    const double y = py(t.Value);
    PlotPolygon grid;
    grid.Points = {{kLeft, y - 0.5}, {kRight, y - 0.5}, {kRight, y + 0.5}, {kLeft, y + 0.5}};
    grid.Fill = kGridColor;
    scene.Polygons.push_back(std::move(grid));
    scene.Texts.push_back({kLeft - 8, y + 4, t.Label, 11, TextAnchor::End, false, kBlack});
  }
  const PlotStroke frame{kBlack, 1, false};
  scene.Segments.push_back({kLeft, bottom, kRight, bottom, frame});
  scene.Segments.push_back({kLeft, top, kLeft, bottom, frame});
  scene.Texts.push_back({kLeft, top - 10, title, 14, TextAnchor::Start, true, kBlack});
  scene.Texts.push_back({kLeft - 52, top - 10, "(%)", 11, TextAnchor::Start, false, kBlack});

  const double slot = (kRight - kLeft) / count;
  const double bar = std::min(slot * 0.45, 26.0);
  for (int k = 0; k < count; ++k) {
    const int i = first + k;
    const FTestRow& row = r.Rows[static_cast<std::size_t>(i)];
    const double x = kLeft + slot * (k + 0.5);
    PlotPolygon range;
    const double yUpper = py(static_cast<double>(row.Upper));
    const double yLower = py(static_cast<double>(row.Lower));
    range.Points = {{x - bar / 2, yUpper}, {x + bar / 2, yUpper}, {x + bar / 2, yLower},
                    {x - bar / 2, yLower}};
    range.Fill = kRangeFill;
    range.Outline = PlotStroke{kRangeEdge, 1, false};
    scene.Polygons.push_back(std::move(range));
    const double yMean = py(static_cast<double>(row.Mean));
    scene.Segments.push_back({x - bar / 2, yMean, x + bar / 2, yMean, PlotStroke{kMeanColor, 2, false}});
    const PlotColor mark = row.Rejected ? kRejectedColor : kAcceptedColor;
    scene.Circles.push_back({x, py(static_cast<double>(row.Tested)), 4.5, mark, kBlack, 1});
    std::string label = i < kDirections && japaneseDirections
                            ? std::string(kDirectionNamesJa[static_cast<std::size_t>(i)])
                        : i == kDirections ? std::string("静穏")
                                           : std::string(AbnormalItemName(i));
    scene.Texts.push_back({x, bottom + 16, label, count > 10 ? 10.0 : 11.0, TextAnchor::Middle, false,
                           kBlack});
    if (row.Rejected) {
      scene.Texts.push_back({x, bottom + 30, "棄却", 10, TextAnchor::Middle, true, kRejectedColor});
    }
  }
}

}  // namespace

PlotScene BuildAbnormalYearChart(const AbnormalYearResult& r) {
  PlotScene scene;
  scene.Width = 960;
  scene.Height = 640;
  const int n = static_cast<int>(r.Reference.size());
  const std::string level = r.Alpha < 0.05 ? "1" : "5";
  scene.Texts.push_back({20, 30, "異常年検定 (F分布棄却検定, 有意水準 " + level + "%)", 19,
                         TextAnchor::Start, true, kBlack});
  std::string period = "検定年 " + HourText(r.Tested.First) + " - " + HourText(r.Tested.Last) +
                       "   参照年 " + std::to_string(n) + " 年";
  if (!r.Reference.empty()) {
    period += " (" + HourText(r.Reference.front().First).substr(0, 10) + " - " +
              HourText(r.Reference.back().Last).substr(0, 10) + ")";
  }
  scene.Texts.push_back({20, 52, period, 12, TextAnchor::Start, false, kBlack});
  Panel(scene, r, 0, kDirectionItems, 100, 320, "風向別出現率", true);
  Panel(scene, r, kDirectionItems, kSpeedItems, 390, 570, "風速階級別出現率 (m/s)", false);
  // The legend.
  double lx = 560;
  const double ly = 70;
  PlotPolygon box;
  box.Points = {{lx, ly - 10}, {lx + 16, ly - 10}, {lx + 16, ly + 2}, {lx, ly + 2}};
  box.Fill = kRangeFill;
  box.Outline = PlotStroke{kRangeEdge, 1, false};
  scene.Polygons.push_back(std::move(box));
  scene.Texts.push_back({lx + 22, ly, "採択域", 12, TextAnchor::Start, false, kBlack});
  lx += 80;
  scene.Segments.push_back({lx, ly - 4, lx + 16, ly - 4, PlotStroke{kMeanColor, 2, false}});
  scene.Texts.push_back({lx + 22, ly, "平均", 12, TextAnchor::Start, false, kBlack});
  lx += 70;
  scene.Circles.push_back({lx + 6, ly - 4, 4.5, kAcceptedColor, kBlack, 1});
  scene.Texts.push_back({lx + 16, ly, "検定年 (採択)", 12, TextAnchor::Start, false, kBlack});
  lx += 110;
  scene.Circles.push_back({lx + 6, ly - 4, 4.5, kRejectedColor, kBlack, 1});
  scene.Texts.push_back({lx + 16, ly, "棄却", 12, TextAnchor::Start, false, kBlack});
  scene.Texts.push_back({20, scene.Height - 14.0,
                         "出現率は各年の有効時間に対する割合。採択域は 平均 ± S√((n+1)F/(n-1))。",
                         11, TextAnchor::Start, false, kGrey});
  return scene;
}

}  // namespace vmk
