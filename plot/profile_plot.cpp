#include "plot/profile_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

std::string Printf(const char* format, int digits, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, digits, v);
  return buf;
}

// "1.50e-05" -> "1.5e-5", "2e+07" -> "2e7": the exponent form without its padding.
std::string TidyExponent(std::string s) {
  const auto e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exponent = s.substr(e + 1);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  std::string sign;
  if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-')) {
    if (exponent.front() == '-') sign = "-";
    exponent.erase(0, 1);
  }
  while (exponent.size() > 1 && exponent.front() == '0') exponent.erase(0, 1);
  return mantissa + "e" + sign + exponent;
}

int Decade(double v) { return static_cast<int>(std::floor(std::log10(v) + 1e-9)); }

// A tick label: as many decimals as the step needs, or the exponent form for very small or
// very large values.
std::string TickLabel(double v, double step, double largest) {
  if (std::fabs(v) < step * 1e-6) return "0";
  if (step < 1e-3 || largest >= 1e7) {
    const int digits = std::max(0, Decade(std::fabs(v)) - Decade(step));
    return TidyExponent(Printf("%.*e", digits, v));
  }
  return Printf("%.*f", std::max(0, -Decade(step)), v);
}

// A distance for the title and the marks: whole metres from 10 km on, else 4 digits.
std::string Distance(double r) { return r >= 1e4 ? PrintfNumber("%.0f", r) : ShortNumberText(r); }

// 10^k as the double nearest to the decimal value (0.1, not 10^-1 by repeated products).
double PowerOfTen(int k) { return k >= 0 ? std::pow(10.0, k) : 1.0 / std::pow(10.0, -k); }

}  // namespace

std::string PrintfNumber(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string ShortNumberText(double v) { return TidyExponent(PrintfNumber("%.4g", v)); }

std::vector<AxisTick> LinearTicks(double& lo, double& hi, int target, bool widen) {
  if (!(hi > lo)) hi = lo + 1;
  const double raw = (hi - lo) / std::max(1, target);
  const double mag = PowerOfTen(Decade(raw));
  double step = 10 * mag;
  for (double m : {1.0, 2.0, 5.0}) {
    if (m * mag >= raw * (1 - 1e-9)) {
      step = m * mag;
      break;
    }
  }
  if (widen) {
    lo = std::floor(lo / step + 1e-9) * step;
    hi = std::ceil(hi / step - 1e-9) * step;
  }
  const double largest = std::max(std::fabs(lo), std::fabs(hi));
  std::vector<AxisTick> ticks;
  const long long first = static_cast<long long>(std::ceil(lo / step - 1e-9));
  const long long last = static_cast<long long>(std::floor(hi / step + 1e-9));
  for (long long i = first; i <= last; ++i) {
    const double v = static_cast<double>(i) * step;
    ticks.push_back({v, TickLabel(v, step, largest)});
  }
  return ticks;
}

std::vector<AxisTick> LogTicks(double lo, double hi) {
  struct Candidate {
    double Value;
    int Multiple;
  };
  std::vector<Candidate> inRange;
  for (int k = Decade(lo); k <= Decade(hi); ++k) {
    for (int m = 1; m <= 9; ++m) {
      const double v = m * PowerOfTen(k);
      if (v >= lo * (1 - 1e-9) && v <= hi * (1 + 1e-9)) inRange.push_back({v, m});
    }
  }
  // The fewest labels that still give three: powers of ten, then 1-2-5, then every multiple.
  const auto labelledAt = [](int level, int m) {
    return m == 1 || (level >= 1 && (m == 2 || m == 5)) || level >= 2;
  };
  for (int level = 0; level < 3; ++level) {
    const auto count = std::count_if(inRange.begin(), inRange.end(), [&](const Candidate& c) {
      return labelledAt(level, c.Multiple);
    });
    if (count < 3 && level < 2) continue;
    if (count < 2) break;
    std::vector<AxisTick> ticks;
    for (const Candidate& c : inRange) {
      const double step = PowerOfTen(Decade(c.Value));
      ticks.push_back({c.Value, labelledAt(level, c.Multiple) ? TickLabel(c.Value, step, hi) : ""});
    }
    return ticks;
  }
  double a = lo;
  double b = hi;
  return LinearTicks(a, b, 4, false);
}

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
                           "receptor R = " + Distance(r) + " m", 12,
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
    title = "Maximum C = " + ShortNumberText(max.C) + " at R = " + Distance(max.R) + " m";
    const double x = px(max.R);
    const double y = py(max.C);
    scene.Circles.push_back({x, y, 5, kMaximum, kWhite});
    const bool nearRight = x > kRight - 60;
    scene.Texts.push_back({nearRight ? x - 8 : x + 8, y - 8, "max", 12,
                           nearRight ? TextAnchor::End : TextAnchor::Start, true, kMaximum});
  } else {
    title = "Maximum C = " + ShortNumberText(max.C) + " (no concentration above zero in the range)";
  }
  scene.Texts.push_back({xMid, 24, title, 16, TextAnchor::Middle, true, kBlack});
  // A maximum on the first or last distance is only the largest value inside the range: the
  // concentration may still rise outside it.
  if (std::isfinite(max.C) && max.C > 0 && !profile.Points.empty() &&
      (max.R == profile.Points.front().R || max.R == profile.Points.back().R)) {
    const bool atStart = max.R == profile.Points.front().R;
    scene.Texts.push_back({xMid, 42,
                           std::string("Maximum at the ") + (atStart ? "start" : "end") +
                               " of the range (R = " + Distance(max.R) +
                               " m): the peak may lie beyond",
                           12, TextAnchor::Middle, false, kMaximum});
  }
  scene.Texts.push_back({xMid, kBottom + 52, "R (m)", 14, TextAnchor::Middle, false, kBlack});
  // Level above the concentration axis rather than turned along it: every SVG viewer draws
  // it the same way.
  scene.Texts.push_back({14, kTop - 12, "C (ppb, ng/m3)", 14, TextAnchor::Start, false, kBlack});
  return scene;
}

namespace {

// Pixel coordinates with at most two decimals ("92", "423.5", "101.27").
std::string Num(double v) {
  std::string s = PrintfNumber("%.2f", v);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

std::string Color(PlotColor c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.R, c.G, c.B);
  return buf;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string StrokeAttributes(const PlotStroke& s) {
  std::string a = " stroke=\"" + Color(s.Color) + "\" stroke-width=\"" + Num(s.Width) + "\"";
  if (s.Dashed) a += " stroke-dasharray=\"6,4\"";
  return a;
}

}  // namespace

std::string PlotSvg(const PlotScene& scene) {
  const std::string w = std::to_string(scene.Width);
  const std::string h = std::to_string(scene.Height);
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
       "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
  s += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"" + Color(scene.Background) +
       "\" stroke=\"none\"/>\n";
  for (const PlotPolygon& g : scene.Polygons) {
    s += "<polygon points=\"";
    for (std::size_t i = 0; i < g.Points.size(); ++i) {
      if (i > 0) s += ' ';
      s += Num(g.Points[i].first) + "," + Num(g.Points[i].second);
    }
    s += "\" fill=\"" + (g.Fill ? Color(*g.Fill) : std::string("none")) + "\"";
    s += g.Outline ? " stroke-linejoin=\"round\"" + StrokeAttributes(*g.Outline)
                   : std::string(" stroke=\"none\"");
    s += "/>\n";
  }
  for (const PlotSegment& g : scene.Segments) {
    s += "<line x1=\"" + Num(g.X1) + "\" y1=\"" + Num(g.Y1) + "\" x2=\"" + Num(g.X2) + "\" y2=\"" +
         Num(g.Y2) + "\"" + StrokeAttributes(g.Stroke) + "/>\n";
  }
  for (const PlotPolyline& line : scene.Polylines) {
    s += "<polyline fill=\"none\" stroke-linejoin=\"round\"" + StrokeAttributes(line.Stroke) +
         " points=\"";
    for (std::size_t i = 0; i < line.Points.size(); ++i) {
      if (i > 0) s += ' ';
      s += Num(line.Points[i].first) + "," + Num(line.Points[i].second);
    }
    s += "\"/>\n";
  }
  for (const PlotCircle& c : scene.Circles) {
    s += "<circle cx=\"" + Num(c.X) + "\" cy=\"" + Num(c.Y) + "\" r=\"" + Num(c.Radius) +
         "\" fill=\"" + Color(c.Fill) + "\" stroke=\"" + Color(c.Outline) +
         "\" stroke-width=\"1.5\"/>\n";
  }
  for (const PlotText& t : scene.Texts) {
    static constexpr const char* kAnchors[] = {"start", "middle", "end"};
    s += "<text x=\"" + Num(t.X) + "\" y=\"" + Num(t.Y) + "\"";
    s += " font-family=\"" + Escaped(kPlotFontFamilies) + "\" font-size=\"" + Num(t.Size) +
         "\" text-anchor=\"" + kAnchors[static_cast<int>(t.Anchor)] + "\"";
    if (t.Bold) s += " font-weight=\"bold\"";
    s += " fill=\"" + Color(t.Color) + "\" stroke=\"none\">" + Escaped(t.Text) + "</text>\n";
  }
  s += "</svg>\n";
  return s;
}

}  // namespace vmk
