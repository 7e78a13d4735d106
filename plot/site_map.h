// The map of a site as a scene of plain shapes: the filled isopleth bands with their colour
// legend, the stacks and named points with their names, the maximum with its value and place,
// a north arrow, a scale bar and the coordinates along the frame. Computed for a view (the
// part of the ground shown) and a picture size; a Qt painter draws it into PNG, SVG or the
// window.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "plot/profile_plot.h"

namespace vmk {

// Ground coordinates, m: x east, y north.
using MapPoint = std::pair<double, double>;
using MapRing = std::vector<MapPoint>;

// One polygon: its outer ring, then its holes.
struct MapPolygon {
  std::vector<MapRing> Rings;
};

// The ground where the value lies between Lower and Upper. Band 0 lies below the first
// level, band i between levels i - 1 and i, the last band above the last level.
struct MapBand {
  int Index = 0;
  double Lower = 0;
  double Upper = 0;
  std::vector<MapPolygon> Polygons;
};

struct MapMark {
  std::string Name;  // UTF-8
  double X = 0;
  double Y = 0;
};

struct SiteMapInput {
  // The grid's extent (its outer nodes) and the ground the picture shows at first.
  double XMin = 0, XMax = 0, YMin = 0, YMax = 0;
  std::vector<double> Levels;  // ascending
  std::vector<MapBand> Bands;
  std::vector<MapMark> Stacks;
  std::vector<MapMark> Points;
  std::optional<MapMark> Maximum;  // Name holds the value's text
  std::string Title;               // UTF-8, the first line
  std::string Subtitle;            // the second line
};

// The part of the ground to show: its centre and metres per pixel.
struct MapView {
  double CenterX = 0;
  double CenterY = 0;
  double MetresPerPixel = 1;
};

// A filled area: its rings filled by the odd-even rule.
struct PlotFill {
  std::vector<std::vector<std::pair<double, double>>> Rings;  // pixel coordinates
  PlotColor Color;
  std::optional<PlotStroke> Outline;
};

struct MapScene {
  int Width = 1000;
  int Height = 800;
  PlotColor Background{255, 255, 255};
  // The map's frame in pixels: the fills and `Inside` are clipped to it.
  double FrameLeft = 0, FrameTop = 0, FrameWidth = 0, FrameHeight = 0;
  // Drawn in this order: the first three clipped to the frame, the last two not.
  std::vector<PlotFill> Fills;         // the bands, lowest first
  PlotScene Inside;                    // grid lines, points, the maximum, names
  std::vector<PlotFill> Marks;         // the stacks' triangles, the north arrow, the scale bar
  std::vector<PlotFill> OutsideFills;  // the legend's boxes
  PlotScene Outside;                   // frame, coordinates, title, legend texts
  MapView View;

  // Ground coordinates of a pixel of the frame, and back.
  MapPoint ToGround(double px, double py) const;
  std::pair<double, double> ToPixel(double x, double y) const;
};

// The fill colour of band i of n bands (band 0 below the first level is left white).
PlotColor BandColor(int band, int bands);

// The view that shows the whole grid extent in a picture of that size.
MapView FitView(const SiteMapInput& in, int width, int height);

// The scene for the view; `view` empty means FitView.
MapScene BuildSiteMap(const SiteMapInput& in, int width, int height,
                      std::optional<MapView> view = std::nullopt);

}  // namespace vmk
