// Every output file of a computed site, made in memory first and then written whole: the CSV
// tables, the GeoTIFF, the isopleths as GeoPackage and GeoJSON, and the map as PNG and SVG.
// The GIS files need GDAL and the pictures Qt; a build without them leaves those files out
// and says so.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "plot/site_map.h"
#include "site/export/output_folder.h"
#include "site/site_run.h"

namespace vmk {

struct SiteExport {
  std::vector<SiteFile> Files;
  std::vector<std::string> Notes;  // files left out, and why
};

// Raises SiteError for what only the output files need checked: a coordinate system that GDAL
// does not know. Call it with the other checks, before anything is computed.
void CheckSiteForExport(const SiteDefinition& site);

// The ground under the site's map, read from the files of its "basemap" and reprojected to its
// "crs"; nothing when it names none or when the build has no GDAL (MakeSiteFiles says so).
// Raises SiteError with one line naming the file at the first problem.
std::shared_ptr<const MapBasemap> ReadSiteBasemap(const SiteDefinition& site);

// Every file of the site in memory, the map over `basemap` (see ReadSiteBasemap). Raises
// SiteError when GDAL or Qt fails to make one.
SiteExport MakeSiteFiles(const SitePlan& plan, const SiteResult& result,
                         std::shared_ptr<const MapBasemap> basemap = nullptr);

// The isopleth bands of the site's grid for its levels (empty without a grid or GDAL).
std::vector<MapBand> SiteBands(const SitePlan& plan, const SiteResult& result,
                               const std::vector<double>& levels);

}  // namespace vmk
