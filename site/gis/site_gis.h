// The site's GIS files, made with GDAL: the grid as a GeoTIFF, the filled isopleth bands of the
// grid (GDAL's contour generator, polygonized) as a GeoPackage and as GeoJSON, and the check
// of the coordinate system. Files are made in memory and returned as bytes, so that the caller
// writes them whole or not at all.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

}  // namespace vmk
