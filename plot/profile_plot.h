// The chart of a distance profile as a scene of plain shapes in pixel coordinates (origin at the
// top left, y downwards): the axes with their ticks, labels and titles, the curve, and the
// marks of the maximum and the receptor. Computed once; the SVG and PNG writers only draw it.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/profile.h"

namespace vmk {

struct PlotColor {
  unsigned char R = 0;
  unsigned char G = 0;
  unsigned char B = 0;
};

struct PlotStroke {
  PlotColor Color;
  double Width = 1;
  bool Dashed = false;  // dashes of 6 px, gaps of 4 px
};

struct PlotSegment {
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  PlotStroke Stroke;
};

struct PlotPolyline {
  std::vector<std::pair<double, double>> Points;
  PlotStroke Stroke;
};

struct PlotCircle {
  double X = 0, Y = 0, Radius = 0;
  PlotColor Fill;
  PlotColor Outline;  // 1.5 px
};

// A closed shape: filled, outlined, or both.
struct PlotPolygon {
  std::vector<std::pair<double, double>> Points;
  std::optional<PlotColor> Fill;
  std::optional<PlotStroke> Outline;
};

// The fonts of the texts, first choice first (a CSS font-family list): the gothic fonts the
// window uses, which draw Japanese texts as well.
inline constexpr const char* kPlotFontFamilies = "IPAPGothic, IPAGothic, sans-serif";

enum class TextAnchor { Start, Middle, End };

struct PlotText {
  double X = 0, Y = 0;  // the anchor point on the baseline
  std::string Text;     // UTF-8; Japanese texts need the gothic fonts of kPlotFontFamilies
  double Size = 12;     // font height, px
  TextAnchor Anchor = TextAnchor::Start;
  bool Bold = false;
  PlotColor Color;
};

// Drawn in this order: background, polygons, segments, polylines, circles, texts.
struct PlotScene {
  int Width = 800;
  int Height = 500;
  PlotColor Background{255, 255, 255};
  std::vector<PlotPolygon> Polygons;
  std::vector<PlotSegment> Segments;
  std::vector<PlotPolyline> Polylines;
  std::vector<PlotCircle> Circles;
  std::vector<PlotText> Texts;
};

struct ProfilePlotInput {
  const Profile* Data = nullptr;  // points ascending in R, from `From` to `To`
  float From = 0;
  float To = 0;
  bool LogScale = false;  // a log distance axis (the points evenly spaced on it)
  // The receptor of the calculation: its distance and concentration, marked when within the
  // distance range.
  std::optional<std::pair<float, float>> Receptor;
};

// The chart: title "Maximum C = <C> at R = <R> m", axis titles "R (m)" and "C (ppb, ng/m3)",
// a linear concentration axis from zero, the curve of C over every finite point. A maximum on
// the first or last distance gets a line under the title saying that the peak may lie beyond.
PlotScene BuildProfilePlot(const ProfilePlotInput& in);

// The scene as an SVG document (UTF-8 text).
std::string PlotSvg(const PlotScene& scene);

// The tick labels of an axis: value and text.
struct AxisTick {
  double Value = 0;
  std::string Label;  // empty for an unlabelled (minor) tick
};

// Ticks at 1, 2 or 5 times a power of ten covering [lo, hi] (lo and hi widened outwards to
// whole steps when `widen`), about `target` of them.
std::vector<AxisTick> LinearTicks(double& lo, double& hi, int target, bool widen);

// Ticks of a log axis over [lo, hi] (lo > 0): every power of ten labelled and its multiples 2
// to 9 unlabelled; over a short range 2 and 5 times the powers are labelled too, or all of them,
// and over a range too short for two of those, linear ticks.
std::vector<AxisTick> LogTicks(double lo, double hi);

// A number as a picture writes it in titles, marks and legends: up to 4 significant digits,
// the exponent without padding ("0.0125", "1.5e-5", "2e7").
std::string ShortNumberText(double v);

// One number through a printf format ("%g km").
std::string PrintfNumber(const char* format, double v);

}  // namespace vmk
