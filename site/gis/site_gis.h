// The site's GIS files, made with GDAL: the grid as a GeoTIFF, the filled isopleth bands of the
// grid (GDAL's contour generator, polygonized) as a GeoPackage and as GeoJSON, and the check
// of the coordinate system. Files are made in memory and returned as bytes, so that the caller
// writes them whole or not at all. And the basemap of the map, read from the user's files and
// reprojected to the site's coordinate system.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "plot/map_basemap.h"
#include "plot/site_map.h"

namespace vmk {

// GDAL could not make a file; what() is one line.
class GisError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr double kGridNoData = -9999.0;

struct GridRaster {
  std::vector<double> X;      // node coordinates, ascending, evenly spaced, at least 2
  std::vector<double> Y;      // the same northwards
  std::vector<float> Values;  // X.size() * Y.size(): x fastest, then y ascending; NaN: none
  std::string Crs;            // empty, or a coordinate system CrsProblem accepts
};

// Why GDAL cannot use `crs` as the coordinate system of x and y in metres, or nothing when it
// can. Files and the network are not consulted.
std::optional<std::string> CrsProblem(std::string_view crs);

// The grid as a GeoTIFF: float32, one pixel centred on each node, north up, no-data -9999 for
// the nodes without a value, the coordinate system when given.
std::string GeoTiffBytes(const GridRaster& grid);

// The filled bands between `levels` (ascending). The band below the first level runs from the
// smallest grid value, the band above the last to the largest; bands without ground are left
// out. Lowest first.
std::vector<MapBand> IsoplethBands(const GridRaster& grid, const std::vector<double>& levels);

// The bands as a layer "isopleths" of multipolygons with the fields band, lower and upper.
std::string GeoPackageBytes(const std::vector<MapBand>& bands, const std::string& crs);
std::string GeoJsonBytes(const std::vector<MapBand>& bands, const std::string& crs);

// A file of the basemap: its path for GDAL (UTF-8), its name for the messages, and the
// coordinate system of its coordinates when the file names none or a wrong one (empty: the
// file's own).
struct BasemapSource {
  std::string Path;
  std::string Name;
  std::string Crs;
};

// The longest side of the basemap's raster once reprojected, pixels: a larger picture is read
// at a coarser resolution.
inline constexpr int kMaxBasemapRasterSide = 4096;
// The vertices of all vector layers together.
inline constexpr std::size_t kMaxBasemapVertices = 2'000'000;

// Reads the raster (GeoTIFF, or PNG or JPEG placed by its world file; 8-bit grey, palette, RGB
// or RGBA) and the lines and polygons of every layer of the vector files (GeoPackage,
// shapefile, GeoJSON; points are left out) into the site's coordinate system `siteCrs`:
//  - the site without a system: the layers' coordinates are taken as they are, and a layer
//    that names a system is refused (the site's "crs" is needed to place it);
//  - the site with a system: a layer in another system is reprojected, one in the same taken
//    as it is, and one without a system refused (unless its entry gives it).
// Raises GisError with one line naming the file at the first problem.
MapBasemap ReadBasemap(const std::optional<BasemapSource>& raster,
                       const std::vector<BasemapSource>& vectors, const std::string& siteCrs);

}  // namespace vmk
