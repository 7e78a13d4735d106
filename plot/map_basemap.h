// The ground under a site's map, from the user's GIS files: a raster picture and grey lines and
// polygons, already in the site's coordinates (site/gis reads and reprojects them once). Each
// view of the map takes from it the pixels and shapes it shows: the raster resampled to the
// view's pixels, the shapes cut to the frame.
#pragma once

#include <memory>
#include <vector>

#include "plot/map_scene.h"

namespace vmk {

// RGBA pixels (rows from the top, 4 bytes each, alpha not premultiplied) covering the ground
// from (Left, Top) eastwards and southwards, PixelWidth by PixelHeight metres a pixel.
struct BasemapRaster {
  int Columns = 0;
  int Rows = 0;
  std::vector<unsigned char> Rgba;
  double Left = 0;  // the ground x of the west edge of the first column, m
  double Top = 0;   // the ground y of the north edge of the first row, m
  double PixelWidth = 1;
  double PixelHeight = 1;
};

// A line or a polygon with the ground box around it, so that a view skips what it cannot see.
struct BasemapLine {
  MapRing Points;
  double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};
struct BasemapPolygon {
  MapPolygon Polygon;
  double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};

struct MapBasemap {
  // The raster and its halvings, finest first; empty without a raster.
  std::vector<BasemapRaster> Levels;
  std::vector<BasemapLine> Lines;
  std::vector<BasemapPolygon> Polygons;

  bool Empty() const { return Levels.empty() && Lines.empty() && Polygons.empty(); }
};

// The basemap's parts in ground coordinates, read once: the raster (or none: Columns 0) with
// its halvings made for the views far out, and the boxes of the lines and polygons.
MapBasemap MakeBasemap(BasemapRaster raster, std::vector<MapRing> lines,
                       std::vector<MapPolygon> polygons);

// What of the basemap the scene's view shows: the raster resampled (bilinear, from the finest
// halving no coarser than the view) to the scene's pixels over the part of the frame it
// covers, into scene.Images; the polygons into scene.GroundFills and the lines into
// scene.Ground, in grey, each cut to a little more than the frame.
void AddBasemap(MapScene& scene, const MapBasemap& basemap);

}  // namespace vmk
