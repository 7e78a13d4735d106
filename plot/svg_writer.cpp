#include "plot/svg_writer.h"

#include <cstddef>
#include <cstdio>

#include "plot/number_text.h"

namespace vmk {
namespace {

// Pixel coordinates with at most two decimals ("92", "423.5", "101.27").
std::string CoordinateText(double v) {
  std::string s = PrintfNumber("%.2f", v);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

std::string ColorText(PlotColor c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.R, c.G, c.B);
  return buf;
}

std::string XmlEscaped(const std::string& text) {
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

// The CSS font-family list of kPlotFontFamilyList ("IPAPGothic, IPAGothic, sans-serif").
std::string FontFamilyText() {
  std::string s;
  for (const char* family : kPlotFontFamilyList) {
    if (!s.empty()) s += ", ";
    s += family;
  }
  return s;
}

// SVG strokes have flat (butt) caps by default; the shapes that join set round joins.
std::string StrokeAttributes(const PlotStroke& s) {
  std::string a =
      " stroke=\"" + ColorText(s.Color) + "\" stroke-width=\"" + CoordinateText(s.Width) + "\"";
  if (s.Dashed) {
    a += " stroke-dasharray=\"" + CoordinateText(kDashLength) + "," + CoordinateText(kDashGap) +
         "\"";
  }
  return a;
}

std::string PointsText(const std::vector<std::pair<double, double>>& points) {
  std::string s;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) s += ' ';
    s += CoordinateText(points[i].first) + "," + CoordinateText(points[i].second);
  }
  return s;
}

}  // namespace

std::string PlotSvg(const PlotScene& scene) {
  const std::string w = std::to_string(scene.Width);
  const std::string h = std::to_string(scene.Height);
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
       "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
  s += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"" + ColorText(scene.Background) +
       "\" stroke=\"none\"/>\n";
  for (const PlotPolygon& g : scene.Polygons) {
    s += "<polygon points=\"" + PointsText(g.Points) + "\"";
    s += " fill=\"" + (g.Fill ? ColorText(*g.Fill) : std::string("none")) + "\"";
    s += g.Outline ? " stroke-linejoin=\"round\"" + StrokeAttributes(*g.Outline)
                   : std::string(" stroke=\"none\"");
    s += "/>\n";
  }
  for (const PlotSegment& g : scene.Segments) {
    s += "<line x1=\"" + CoordinateText(g.X1) + "\" y1=\"" + CoordinateText(g.Y1) + "\" x2=\"" +
         CoordinateText(g.X2) + "\" y2=\"" + CoordinateText(g.Y2) + "\"" +
         StrokeAttributes(g.Stroke) + "/>\n";
  }
  for (const PlotPolyline& line : scene.Polylines) {
    s += "<polyline fill=\"none\" stroke-linejoin=\"round\"" + StrokeAttributes(line.Stroke) +
         " points=\"" + PointsText(line.Points) + "\"/>\n";
  }
  for (const PlotCircle& c : scene.Circles) {
    s += "<circle cx=\"" + CoordinateText(c.X) + "\" cy=\"" + CoordinateText(c.Y) + "\" r=\"" +
         CoordinateText(c.Radius) + "\" fill=\"" + ColorText(c.Fill) + "\" stroke=\"" +
         ColorText(c.Outline) + "\" stroke-width=\"" + CoordinateText(c.OutlineWidth) + "\"/>\n";
  }
  const std::string fontFamily = XmlEscaped(FontFamilyText());
  for (const PlotText& t : scene.Texts) {
    static constexpr const char* kAnchors[] = {"start", "middle", "end"};
    s += "<text x=\"" + CoordinateText(t.X) + "\" y=\"" + CoordinateText(t.Y) + "\"";
    s += " font-family=\"" + fontFamily + "\" font-size=\"" + CoordinateText(t.Size) +
         "\" text-anchor=\"" + kAnchors[static_cast<int>(t.Anchor)] + "\"";
    if (t.Bold) s += " font-weight=\"bold\"";
    s += " fill=\"" + ColorText(t.Color) + "\" stroke=\"none\">" + XmlEscaped(t.Text) +
         "</text>\n";
  }
  s += "</svg>\n";
  return s;
}

}  // namespace vmk
