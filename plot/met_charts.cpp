#include "plot/met_charts.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "plot/number_text.h"
#include "plot/ticks.h"

namespace vmk {
namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr PlotColor kBlack{0, 0, 0};
constexpr PlotColor kWhite{255, 255, 255};
constexpr PlotColor kGrey{110, 110, 110};
constexpr PlotColor kRing{200, 200, 200};
constexpr PlotColor kPetalEdge{90, 90, 90};

// Weak wind and windy classes 1 to 6, light to dark.
constexpr std::array<PlotColor, 7> kClassColors = {{{255, 255, 204},
                                                    {199, 233, 180},
                                                    {127, 205, 187},
                                                    {65, 182, 196},
                                                    {29, 145, 192},
                                                    {34, 94, 168},
                                                    {12, 44, 132}}};
constexpr std::array<const char*, 7> kClassLabels = {"0.5-0.9 (弱風)", "1.0-1.9", "2.0-2.9",
                                                     "3.0-3.9",        "4.0-5.9", "6.0-7.9",
                                                     "8.0 以上"};

constexpr PlotColor kDayColor{244, 165, 130};
constexpr PlotColor kNightColor{67, 147, 195};

std::string Percent(double v) { return FixedNumberText(v, 1); }

std::string PeriodLine(const MetStats& stats) {
  std::string line;
  if (!stats.From.empty()) line = stats.From + " - " + stats.To + "   ";
  return line + "有効 " + std::to_string(stats.ValidHours) + " 時間";
}

std::string TitleLine(const char* what, const MetStats& stats) {
  std::string t = what;
  if (!stats.Station.empty()) t += "  " + stats.Station;
  return t;
}

PlotPolygon BoxPolygon(double x, double y, double w, double h, PlotColor fill, PlotColor edge) {
  PlotPolygon p;
  p.Points = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
  p.Fill = fill;
  p.Outline = PlotStroke{edge, 0.8, false};
  return p;
}

}  // namespace

std::array<double, 7> DirectionShares(const MetStats& stats, int direction) {
  std::array<double, 7> out{};
  if (stats.ValidHours <= 0) return out;
  const MetDirection& d = stats.Directions.at(static_cast<std::size_t>(direction));
  out[0] = TotalHours(d.Weak);
  for (std::size_t k = 0; k < d.Windy.size(); ++k) out[k + 1] = TotalHours(d.Windy[k]);
  for (double& v : out) v = v * 100.0 / stats.ValidHours;
  return out;
}

PlotScene BuildWindRose(const MetStats& stats) {
  PlotScene scene;
  scene.Width = 760;
  scene.Height = 720;
  const double cx = 320;
  const double cy = 390;
  const double outer = 250;  // the radius of the largest ring
  const double calmRadius = 34;

  double largest = 0;
  for (int d = 0; d < kDirections; ++d) {
    const auto shares = DirectionShares(stats, d);
    double total = 0;
    for (double v : shares) total += v;
    largest = std::max(largest, total);
  }
  double lo = 0;
  double hi = largest > 0 ? largest : 1;
  const std::vector<AxisTick> ticks = LinearTicks(lo, hi, 4, true);
  const auto radius = [&](double share) { return calmRadius + (outer - calmRadius) * share / hi; };
  const auto at = [&](double r, double bearingDegrees) {
    const double a = bearingDegrees * kPi / 180;
    return std::make_pair(cx + r * std::sin(a), cy - r * std::cos(a));
  };

  // The rings of the scale, behind the petals.
  for (const AxisTick& t : ticks) {
    if (t.Value <= 0) continue;
    PlotPolygon ring;
    for (int i = 0; i < 96; ++i) ring.Points.push_back(at(radius(t.Value), i * 3.75));
    ring.Outline = PlotStroke{kRing, 1, true};
    scene.Polygons.push_back(std::move(ring));
  }
  // The petals: parts stacked outwards from the calm circle, weak wind first.
  const double halfWidth = 22.5 / 2 * 0.8;
  for (int d = 0; d < kDirections; ++d) {
    const auto shares = DirectionShares(stats, d);
    const double bearing = d * 22.5;
    double inner = 0;
    for (std::size_t k = 0; k < shares.size(); ++k) {
      if (shares[k] <= 0) continue;
      const double outerShare = inner + shares[k];
      PlotPolygon part;
      constexpr int kSteps = 8;
      for (int i = 0; i <= kSteps; ++i) {
        part.Points.push_back(at(radius(outerShare), bearing - halfWidth + 2 * halfWidth * i / kSteps));
      }
      for (int i = kSteps; i >= 0; --i) {
        part.Points.push_back(at(radius(inner), bearing - halfWidth + 2 * halfWidth * i / kSteps));
      }
      part.Fill = kClassColors[k];
      part.Outline = PlotStroke{kPetalEdge, 0.6, false};
      scene.Polygons.push_back(std::move(part));
      inner = outerShare;
    }
  }

  // The calm share in the centre.
  const int calm = TotalHours(stats.CalmAll);
  const double calmShare = stats.ValidHours > 0 ? calm * 100.0 / stats.ValidHours : 0;
  scene.Circles.push_back({cx, cy, calmRadius, kWhite, kGrey});
  scene.Texts.push_back({cx, cy - 3, "静穏", 13, TextAnchor::Middle, true, kBlack});
  scene.Texts.push_back({cx, cy + 14, Percent(calmShare) + "%", 12, TextAnchor::Middle, false, kBlack});

  // Ring labels along the bearing between N and NNE, where petals leave room.
  for (const AxisTick& t : ticks) {
    if (t.Value <= 0) continue;
    const auto [x, y] = at(radius(t.Value), 11.25);
    scene.Texts.push_back({x + 3, y, t.Label + "%", 11, TextAnchor::Start, false, kGrey});
  }
  // The direction names around the rose: the four cardinal points larger.
  for (int d = 0; d < kDirections; ++d) {
    const bool cardinal = d % 4 == 0;
    const double size = cardinal ? 17 : 12;
    const auto [x, y] = at(outer + (cardinal ? 24 : 22), d * 22.5);
    scene.Texts.push_back({x, y + size * 0.36, std::string(kDirectionNamesJa[static_cast<std::size_t>(d)]),
                           size, TextAnchor::Middle, cardinal, kBlack});
  }

  scene.Texts.push_back({20, 34, TitleLine("風配図", stats), 20, TextAnchor::Start, true, kBlack});
  scene.Texts.push_back({20, 60,
                         PeriodLine(stats) + "   静穏 " + Percent(calmShare) + "% (0.0-0.4 m/s)",
                         13, TextAnchor::Start, false, kBlack});
  scene.Texts.push_back({20, scene.Height - 14.0,
                         "風向は風の吹いてくる方向。花弁の長さは有効時間に対する出現率 (%)。", 12,
                         TextAnchor::Start, false, kGrey});

  // The legend of the speed classes.
  const double lx = 606;
  double ly = 170;
  scene.Texts.push_back({lx, ly, "風速 (m/s)", 14, TextAnchor::Start, true, kBlack});
  ly += 14;
  for (std::size_t k = kClassColors.size(); k-- > 0;) {
    scene.Polygons.push_back(BoxPolygon(lx, ly, 22, 16, kClassColors[k], kPetalEdge));
    scene.Texts.push_back({lx + 30, ly + 13, kClassLabels[k], 12, TextAnchor::Start, false, kBlack});
    ly += 24;
  }
  return scene;
}

PlotScene BuildStabilityChart(const MetStats& stats, const ClassCounts& dayHours,
                              const ClassCounts& nightHours) {
  PlotScene scene;
  scene.Width = 800;
  scene.Height = 480;
  constexpr double kLeft = 80;
  constexpr double kRight = 770;
  constexpr double kTop = 100;
  constexpr double kBottom = 410;

  int largest = 0;
  for (int s = 0; s < kStabilityClasses; ++s) {
    largest = std::max({largest, dayHours[static_cast<std::size_t>(s)],
                        nightHours[static_cast<std::size_t>(s)]});
  }
  double lo = 0;
  double hi = largest > 0 ? largest : 1;
  std::vector<AxisTick> ticks = LinearTicks(lo, hi, 5, true);
  if (hi < 5) {
    // Hours are whole: a scale of fractions would be nonsense.
    hi = 5;
    ticks.clear();
    for (int v = 0; v <= 5; ++v) ticks.push_back({static_cast<double>(v), std::to_string(v)});
  }
  const auto py = [&](double v) { return kBottom - (kBottom - kTop) * v / hi; };
  const PlotStroke frame{kBlack, 1, false};
  for (const AxisTick& t : ticks) {
    const double y = py(t.Value);
    // The grid line as a thin filled box, so that it stays behind the bars.
    PlotPolygon grid;
    grid.Points = {{kLeft, y - 0.5}, {kRight, y - 0.5}, {kRight, y + 0.5}, {kLeft, y + 0.5}};
    grid.Fill = PlotColor{217, 217, 217};
    scene.Polygons.push_back(std::move(grid));
    scene.Segments.push_back({kLeft - 6, y, kLeft, y, frame});
    scene.Texts.push_back({kLeft - 10, y + 4, t.Label, 12, TextAnchor::End, false, kBlack});
  }
  scene.Segments.push_back({kLeft, kBottom, kRight, kBottom, frame});
  scene.Segments.push_back({kLeft, kTop, kLeft, kBottom, frame});

  const double group = (kRight - kLeft) / kStabilityClasses;
  const double bar = group * 0.34;
  for (int s = 0; s < kStabilityClasses; ++s) {
    const std::size_t i = static_cast<std::size_t>(s);
    const double x0 = kLeft + group * s + group / 2;
    for (int side = 0; side < 2; ++side) {
      const int hours = side == 0 ? dayHours[i] : nightHours[i];
      const double x = side == 0 ? x0 - bar - 1 : x0 + 1;
      if (hours > 0) {
        scene.Polygons.push_back(BoxPolygon(x, py(hours), bar, kBottom - py(hours),
                                     side == 0 ? kDayColor : kNightColor, kGrey));
        scene.Texts.push_back({x + bar / 2, py(hours) - 4, std::to_string(hours), 10,
                               TextAnchor::Middle, false, kBlack});
      }
    }
    scene.Texts.push_back({x0, kBottom + 20, std::string(kMetStabilityNames[i]), 13,
                           TextAnchor::Middle, false, kBlack});
  }
  scene.Texts.push_back({(kLeft + kRight) / 2, kBottom + 46, "大気安定度", 14, TextAnchor::Middle,
                         false, kBlack});
  scene.Texts.push_back({14, kTop - 14, "時間", 14, TextAnchor::Start, false, kBlack});
  scene.Texts.push_back({20, 32, TitleLine("大気安定度の出現頻度 (昼・夜)", stats), 20,
                         TextAnchor::Start, true, kBlack});
  scene.Texts.push_back({20, 56, PeriodLine(stats), 13, TextAnchor::Start, false, kBlack});
  // The legend, top right: each side with its hours.
  double lx = kRight - 230;
  for (int side = 0; side < 2; ++side) {
    scene.Polygons.push_back(BoxPolygon(lx, 44, 18, 14, side == 0 ? kDayColor : kNightColor, kGrey));
    const int total = TotalHours(side == 0 ? dayHours : nightHours);
    scene.Texts.push_back({lx + 24, 56,
                           std::string(side == 0 ? "昼 " : "夜 ") + std::to_string(total) + " 時間",
                           13, TextAnchor::Start, false, kBlack});
    lx += 115;
  }
  return scene;
}

}  // namespace vmk
