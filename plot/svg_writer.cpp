#include "plot/svg_writer.h"

#include <algorithm>
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

// The text as XML character data. A control character, which XML cannot hold, becomes U+FFFD.
std::string XmlEscaped(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (static_cast<unsigned char>(ch) < 0x20) {
      out += "\xEF\xBF\xBD";
      continue;
    }
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

constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// The root element; `keepBlanks` keeps the texts' runs of blanks, which XML would collapse.
std::string SvgElementStart(int width, int height, bool keepBlanks = false) {
  const std::string w = std::to_string(width);
  const std::string h = std::to_string(height);
  return "<svg xmlns=\"http://www.w3.org/2000/svg\"" +
         std::string(keepBlanks ? " xml:space=\"preserve\"" : "") + " width=\"" + w +
         "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
}

std::string BackgroundRect(int width, int height, PlotColor color) {
  return "<rect width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
         "\" fill=\"" + ColorText(color) + "\" stroke=\"none\"/>\n";
}

// The polygons, segments, polylines, circles and texts, in that order.
void AppendShapes(std::string& s, const PlotShapes& shapes) {
  for (const PlotPolygon& g : shapes.Polygons) {
    s += "<polygon points=\"" + PointsText(g.Points) + "\"";
    s += " fill=\"" + (g.Fill ? ColorText(*g.Fill) : std::string("none")) + "\"";
    s += g.Outline ? " stroke-linejoin=\"round\"" + StrokeAttributes(*g.Outline)
                   : std::string(" stroke=\"none\"");
    s += "/>\n";
  }
  for (const PlotSegment& g : shapes.Segments) {
    s += "<line x1=\"" + CoordinateText(g.X1) + "\" y1=\"" + CoordinateText(g.Y1) + "\" x2=\"" +
         CoordinateText(g.X2) + "\" y2=\"" + CoordinateText(g.Y2) + "\"" +
         StrokeAttributes(g.Stroke) + "/>\n";
  }
  for (const PlotPolyline& line : shapes.Polylines) {
    s += "<polyline fill=\"none\" stroke-linejoin=\"round\"" + StrokeAttributes(line.Stroke) +
         " points=\"" + PointsText(line.Points) + "\"/>\n";
  }
  for (const PlotCircle& c : shapes.Circles) {
    s += "<circle cx=\"" + CoordinateText(c.X) + "\" cy=\"" + CoordinateText(c.Y) + "\" r=\"" +
         CoordinateText(c.Radius) + "\" fill=\"" + ColorText(c.Fill) + "\" stroke=\"" +
         ColorText(c.Outline) + "\" stroke-width=\"" + CoordinateText(c.OutlineWidth) + "\"/>\n";
  }
  const std::string fontFamily = XmlEscaped(FontFamilyText());
  for (const PlotText& t : shapes.Texts) {
    static constexpr const char* kAnchors[] = {"start", "middle", "end"};
    std::string start = "<text x=\"" + CoordinateText(t.X) + "\" y=\"" + CoordinateText(t.Y) + "\"";
    start += " font-family=\"" + fontFamily + "\" font-size=\"" + CoordinateText(t.Size) +
             "\" text-anchor=\"" + kAnchors[static_cast<int>(t.Anchor)] + "\"";
    if (t.Bold) start += " font-weight=\"bold\"";
    const std::string text = XmlEscaped(t.Text);
    // The halo: the same text stroked, under it.
    if (t.Halo) {
      s += start + " fill=\"none\" stroke=\"" + ColorText(*t.Halo) + "\" stroke-width=\"" +
           CoordinateText(kHaloWidth) + "\" stroke-linejoin=\"round\">" + text + "</text>\n";
    }
    s += start + " fill=\"" + ColorText(t.Color) + "\" stroke=\"none\">" + text + "</text>\n";
  }
}

// A map's filled area: one path of its closed rings, filled by the odd-even rule, then
// outlined along every ring.
void AppendFill(std::string& s, const PlotFill& f) {
  std::string d;
  for (const auto& ring : f.Rings) {
    if (ring.empty()) continue;
    if (!d.empty()) d += ' ';
    d += "M" + PointsText({ring.front()});
    if (ring.size() > 1) d += " L" + PointsText({ring.begin() + 1, ring.end()});
    d += " Z";
  }
  if (d.empty()) return;
  s += "<path d=\"" + d + "\" fill=\"" + ColorText(f.Color) + "\" fill-rule=\"evenodd\"";
  if (f.Opacity < 1) s += " fill-opacity=\"" + CoordinateText(std::max(f.Opacity, 0.0)) + "\"";
  s += f.Outline ? " stroke-linejoin=\"round\"" + StrokeAttributes(*f.Outline)
                 : std::string(" stroke=\"none\"");
  s += "/>\n";
}

// The bytes in base64 (RFC 4648, with padding).
std::string Base64(const std::string& bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    unsigned long v = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 63] : '=';
    }
  }
  return out;
}

// An image as a PNG in a data address, or a comment saying why it is left out.
void AppendImage(std::string& s, const PlotImage& image, const ImagePngEncoder& png) {
  std::string bytes;
  std::optional<std::string> problem = "this build has no PNG encoder for the SVG picture";
  if (png) problem = png(image, bytes);
  if (problem) {
    std::string why = XmlEscaped(*problem);
    for (std::size_t at = why.find("--"); at != std::string::npos; at = why.find("--")) why.replace(at, 2, "- ");
    s += "<!-- an image is left out: " + why + " -->\n";
    return;
  }
  s += "<image x=\"" + CoordinateText(image.Left) + "\" y=\"" + CoordinateText(image.Top) +
       "\" width=\"" + CoordinateText(image.Width) + "\" height=\"" + CoordinateText(image.Height) +
       "\" preserveAspectRatio=\"none\" style=\"image-rendering:pixelated\" href=\"data:image/png;base64," +
       Base64(bytes) + "\"/>\n";
}

}  // namespace

std::string PlotSvg(const PlotScene& scene) {
  std::string s = kXmlDeclaration + SvgElementStart(scene.Width, scene.Height) +
                  BackgroundRect(scene.Width, scene.Height, scene.Background);
  AppendShapes(s, scene);
  s += "</svg>\n";
  return s;
}

std::string MapSvg(const MapScene& scene, const std::string& title, const ImagePngEncoder& png) {
  std::string s = kXmlDeclaration + SvgElementStart(scene.Width, scene.Height, true);
  if (!title.empty()) s += "<title>" + XmlEscaped(title) + "</title>\n";
  s += "<defs><clipPath id=\"frame\"><rect x=\"" + CoordinateText(scene.FrameLeft) + "\" y=\"" +
       CoordinateText(scene.FrameTop) + "\" width=\"" + CoordinateText(scene.FrameWidth) +
       "\" height=\"" + CoordinateText(scene.FrameHeight) + "\"/></clipPath></defs>\n";
  s += BackgroundRect(scene.Width, scene.Height, scene.Background);
  s += "<g clip-path=\"url(#frame)\">\n";
  for (const PlotImage& image : scene.Images) AppendImage(s, image, png);
  for (const PlotFill& f : scene.GroundFills) AppendFill(s, f);
  AppendShapes(s, scene.Ground);
  for (const PlotFill& f : scene.Fills) AppendFill(s, f);
  AppendShapes(s, scene.Inside);
  for (const PlotFill& f : scene.Marks) AppendFill(s, f);
  s += "</g>\n";
  for (const PlotFill& f : scene.OutsideFills) AppendFill(s, f);
  AppendShapes(s, scene.Outside);
  s += "</svg>\n";
  return s;
}

}  // namespace vmk
