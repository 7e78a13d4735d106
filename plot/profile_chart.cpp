#include "plot/profile_chart.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "plot/number_text.h"
#include "plot/ticks.h"

namespace vmk {
namespace {

// The chart's frame within the 800 x 500 picture: room on the left for the concentration
// labels and the turned axis title, below for the distance labels and title, above for the
// title line.
constexpr double kLeft = 92;
constexpr double kRight = 772;
constexpr double kTop = 52;
constexpr double kBottom = 424;

constexpr PlotColor kBlack{0, 0, 0};
constexpr PlotColor kWhite{255, 255, 255};
constexpr PlotColor kMajorGrid{217, 217, 217};
constexpr PlotColor kMinorGrid{239, 239, 239};
constexpr PlotColor kCurve{31, 95, 191};
constexpr PlotColor kMaximum{214, 39, 40};
constexpr PlotColor kReceptor{44, 140, 44};

// A distance for the title and the marks: whole metres from 10 km on, else 4 digits.
std::string ChartDistanceText(double r) {
  return r >= 1e4 ? PrintfNumber("%.0f", r) : ShortNumberText(r);
}

}  // namespace

PlotScene BuildProfilePlot(const ProfilePlotInput& in) {
  PlotScene scene;
  const Profile& profile = *in.Data;
  const bool logScale = in.LogScale;
  const double xLo = in.From;
  const double xHi = in.To;

  double yLo = 0;
  double yHi = 0;
  const auto take = [&](float c) {
    if (std::isfinite(c)) {
      yLo = std::min<double>(yLo, c);
      yHi = std::max<double>(yHi, c);
    }
  };
  for (const ProfilePoint& p : profile.Points) take(p.C);
  take(profile.Max.C);
  if (!(yHi > yLo)) yHi = yLo + 1;
  const std::vector<AxisTick> yTicks = LinearTicks(yLo, yHi, 5, true);
  const std::vector<AxisTick> xTicks =
      logScale ? LogTicks(xLo, xHi) : [&] {
        double a = xLo;
        double b = xHi;
        return LinearTicks(a, b, 7, false);
      }();

  const auto px = [&](double r) {
    const double t = logScale ? std::log(r / xLo) / std::log(xHi / xLo) : (r - xLo) / (xHi - xLo);
    return kLeft + t * (kRight - kLeft);
  };
  const auto py = [&](double c) { return kBottom - (c - yLo) / (yHi - yLo) * (kBottom - kTop); };
  const double xMid = (kLeft + kRight) / 2;

  // Grid lines, then the receptor's line, then the frame and the tick marks above them.
  for (const AxisTick& t : xTicks) {
    const double x = px(t.Value);
    scene.Segments.push_back(
        {x, kTop, x, kBottom, {t.Label.empty() ? kMinorGrid : kMajorGrid, 1, false}});
  }
  for (const AxisTick& t : yTicks) {
    const double y = py(t.Value);
    scene.Segments.push_back({kLeft, y, kRight, y, {kMajorGrid, 1, false}});
  }
  // The receptor's label stands at the foot of its line, where the curve seldom is (C is
  // small only far from the stack) and clear of the maximum's label at the top.
  if (in.Receptor && in.Receptor->first >= in.From && in.Receptor->first <= in.To) {
    const auto [r, c] = *in.Receptor;
    const double x = px(r);
    scene.Segments.push_back({x, kTop, x, kBottom, {kReceptor, 1.5, true}});
    if (std::isfinite(c)) scene.Circles.push_back({x, py(c), 4, kReceptor, kWhite});
    const bool nearRight = x > kRight - 160;
    scene.Texts.push_back({nearRight ? x - 6 : x + 6, kBottom - 8,
                           "予測点 R = " + ChartDistanceText(r) + " m", 12,
                           nearRight ? TextAnchor::End : TextAnchor::Start, false, kReceptor});
  }
  const PlotStroke frame{kBlack, 1, false};
  scene.Segments.push_back({kLeft, kTop, kRight, kTop, frame});
  scene.Segments.push_back({kRight, kTop, kRight, kBottom, frame});
  scene.Segments.push_back({kRight, kBottom, kLeft, kBottom, frame});
  scene.Segments.push_back({kLeft, kBottom, kLeft, kTop, frame});
  for (const AxisTick& t : xTicks) {
    const double x = px(t.Value);
    scene.Segments.push_back({x, kBottom, x, kBottom + (t.Label.empty() ? 3 : 6), frame});
    if (!t.Label.empty()) {
      scene.Texts.push_back({x, kBottom + 21, t.Label, 12, TextAnchor::Middle, false, kBlack});
    }
  }
  for (const AxisTick& t : yTicks) {
    const double y = py(t.Value);
    scene.Segments.push_back({kLeft - 6, y, kLeft, y, frame});
    scene.Texts.push_back({kLeft - 10, y + 4, t.Label, 12, TextAnchor::End, false, kBlack});
  }

  PlotPolyline curve;
  curve.Stroke = {kCurve, 2, false};
  curve.Points.reserve(profile.Points.size());
  for (const ProfilePoint& p : profile.Points) {
    if (std::isfinite(p.C)) curve.Points.emplace_back(px(p.R), py(p.C));
  }
  scene.Polylines.push_back(std::move(curve));

  const ProfilePoint& max = profile.Max;
  std::string title;
  if (std::isfinite(max.C) && max.C > 0) {
    title = "最大濃度 C = " + ShortNumberText(max.C) + " (R = " + ChartDistanceText(max.R) + " m)";
    const double x = px(max.R);
    const double y = py(max.C);
    scene.Circles.push_back({x, y, 5, kMaximum, kWhite});
    const bool nearRight = x > kRight - 60;
    scene.Texts.push_back({nearRight ? x - 8 : x + 8, y - 8, "最大", 12,
                           nearRight ? TextAnchor::End : TextAnchor::Start, true, kMaximum});
  } else {
    title = "最大濃度 C = " + ShortNumberText(max.C) + " (範囲内に 0 より大きい濃度がありません)";
  }
  scene.Texts.push_back({xMid, 24, title, 16, TextAnchor::Middle, true, kBlack});
  // A maximum on the first or last distance is only the largest value inside the range: the
  // concentration may still rise outside it.
  if (std::isfinite(max.C) && max.C > 0 && !profile.Points.empty() &&
      (max.R == profile.Points.front().R || max.R == profile.Points.back().R)) {
    const bool atStart = max.R == profile.Points.front().R;
    scene.Texts.push_back({xMid, 42,
                           std::string("最大は範囲の") + (atStart ? "始め" : "終わり") + " (R = " +
                               ChartDistanceText(max.R) + " m): さらに外に高い値があり得ます",
                           12, TextAnchor::Middle, false, kMaximum});
  }
  scene.Texts.push_back({xMid, kBottom + 52, "風下距離 R (m)", 14, TextAnchor::Middle, false, kBlack});
  // Level above the concentration axis rather than turned along it: every SVG viewer draws
  // it the same way.
  scene.Texts.push_back({14, kTop - 12, "濃度 C (ppb, ng/m3)", 14, TextAnchor::Start, false, kBlack});
  return scene;
}

}  // namespace vmk
