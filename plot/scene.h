// The scene of a picture: plain shapes and texts in pixel coordinates (origin at the top left,
// y downwards), computed once by the charts and the map and drawn as they are by every painter
// (the SVG writer, Qt's painter, a GDI+ painter). A scene holds every drawing decision; a
// painter only has to follow these rules:
//  - Order: the background over the whole Width x Height, then the polygons, the segments, the
//    polylines, the circles and the texts, each list in its order. Nothing is clipped.
//  - Antialiased shapes and texts.
//  - Strokes: flat (butt) caps, round joins; dashed strokes dash 6 px, gap 4 px (kDashLength,
//    kDashGap), starting with a dash at the first point; a polyline stays open.
//  - Polygons: closed back to the first point, filled when they have a Fill, then outlined
//    when they have an Outline. They never cross themselves, so any fill rule will do.
//  - Circles: filled, then outlined OutlineWidth px wide.
//  - Texts: UTF-8, one line; Size is the font's em size in pixels (whole pixels in every
//    scene), regular or bold. The font is the first of kPlotFontFamilyList that is installed,
//    the last ("sans-serif") standing for the system's sans-serif font that draws Japanese. The
//    anchor point (X, Y) is on the baseline: Start puts the text's left end there, Middle its
//    centre, End its right end, measured by the advance width of the whole text in that font.
//    A text with a Halo is first stroked along its glyphs' outlines in the halo colour,
//    kHaloWidth px wide with round joins, and then drawn as any other, so that it reads on any
//    ground.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vmk {

struct PlotColor {
  unsigned char R = 0;
  unsigned char G = 0;
  unsigned char B = 0;
};

// The width of a text's halo stroke, pixels (half of it stands outside the glyphs).
inline constexpr double kHaloWidth = 3;

// The dashes of a dashed stroke, pixels.
inline constexpr double kDashLength = 6;
inline constexpr double kDashGap = 4;

struct PlotStroke {
  PlotColor Color;
  double Width = 1;
  bool Dashed = false;  // kDashLength dashes, kDashGap gaps
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
  PlotColor Outline;
  double OutlineWidth = 1.5;
};

// A closed shape: filled, outlined, or both.
struct PlotPolygon {
  std::vector<std::pair<double, double>> Points;
  std::optional<PlotColor> Fill;
  std::optional<PlotStroke> Outline;
};

// The fonts of the texts, first choice first: the gothic fonts the window uses, which draw
// Japanese texts as well, then the generic family.
inline constexpr std::array<const char*, 3> kPlotFontFamilyList = {"IPAPGothic", "IPAGothic",
                                                                   "sans-serif"};

enum class TextAnchor { Start, Middle, End };

struct PlotText {
  double X = 0, Y = 0;  // the anchor point on the baseline
  std::string Text;     // UTF-8; Japanese texts need the gothic fonts of kPlotFontFamilyList
  double Size = 12;     // em size, px
  TextAnchor Anchor = TextAnchor::Start;
  bool Bold = false;
  PlotColor Color;
  std::optional<PlotColor> Halo = std::nullopt;  // the outline stroked behind the text
};

// The shapes of a scene, drawn in this order: polygons, segments, polylines, circles, texts.
struct PlotShapes {
  std::vector<PlotPolygon> Polygons;
  std::vector<PlotSegment> Segments;
  std::vector<PlotPolyline> Polylines;
  std::vector<PlotCircle> Circles;
  std::vector<PlotText> Texts;
};

// A whole picture: its size, the background over all of it, then the shapes.
struct PlotScene : PlotShapes {
  int Width = 800;
  int Height = 500;
  PlotColor Background{255, 255, 255};
};

}  // namespace vmk
