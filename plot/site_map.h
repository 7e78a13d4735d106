// The map of a site as a scene (map_scene.h): the filled isopleth bands with their colour
// legend, the stacks and named points with their names, the maximum with its value and place,
// a north arrow, a scale bar and the coordinates along the frame. Computed for a view (the
// part of the ground shown) and a picture size; a painter draws it into PNG, SVG or the
// window.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "plot/map_basemap.h"
#include "plot/map_scene.h"

namespace vmk {

// The ground where the value lies between Lower and Upper. Band 0 lies below the first
// level, band i between levels i - 1 and i, the last band above the last level.
struct MapBand {
  int Index = 0;
  double Lower = 0;
  double Upper = 0;
  std::vector<MapPolygon> Polygons;
};

// The grid's values at its nodes, for the bands drawn pixel by pixel where no polygons were made
// (a build without GDAL): each pixel of the frame within the grid's extent takes the band of the
// value interpolated bilinearly between the four nodes around its centre.
struct MapGrid {
  std::vector<double> X;      // node coordinates, ascending, at least 2
  std::vector<double> Y;      // the same northwards
  std::vector<float> Values;  // X.size() * Y.size(): x fastest, then y ascending; NaN: none
};

// The value at (x, y) interpolated bilinearly between the four nodes around it; nothing outside
// the grid's extent, where a node without a value weighs in, or for a grid that is not
// X.size() * Y.size().
std::optional<double> GridValueAt(const MapGrid& grid, double x, double y);

// The band of a value among the ascending levels: 0 below the first, i from level i - 1 (on
// it included) to level i.
int BandOfValue(const std::vector<double>& levels, double value);

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
  // Without Bands: the bands classed pixel by pixel from the grid, as one image of the frame.
  std::optional<MapGrid> BandGrid;
  std::vector<MapMark> Stacks;
  std::vector<MapMark> Points;
  std::optional<MapMark> Maximum;  // Name holds the value's text
  std::vector<MapPoint> PolarReceptors;
  bool ShowPolar = false;          // the polar receptors drawn as small dots
  // The ground under the bands (none: white). Over it the bands are drawn at kBandOpacity,
  // and the band below the first level not at all, so that the ground shows through.
  std::shared_ptr<const MapBasemap> Basemap;
  std::string Title;               // UTF-8, the first line
  std::string Subtitle;            // the second line
  std::string LegendTitle = "C (ppb, ng/m3)";  // over the colour legend
};

// The cover of the bands over a basemap.
inline constexpr double kBandOpacity = 0.6;

// The fill colour of band i of n bands (band 0 below the first level is left white), from a
// light but saturated yellow to dark red.
PlotColor BandColor(int band, int bands);

// The view that shows the whole grid extent in a picture of that size.
MapView FitView(const SiteMapInput& in, int width, int height);

// The scene for the view; `view` empty means FitView.
MapScene BuildSiteMap(const SiteMapInput& in, int width, int height,
                      std::optional<MapView> view = std::nullopt);

}  // namespace vmk
