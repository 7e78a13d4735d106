// Every output file of a computed site, made in memory first and then written whole: the CSV
// tables, the GeoTIFF, the isopleths as GeoPackage and GeoJSON, and the map as PNG and SVG.
// The GIS files and the basemap need GDAL: a build without it (Windows) leaves them out, says
// so, and draws the map's bands pixel by pixel from the grid. The map's PNG is drawn by the
// build's painter (Qt's or GDI+) and left out, with a note, where there is none.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plot/site_map.h"
#include "site/assessment.h"
#include "site/export/output_folder.h"
#include "site/site_run.h"

namespace vmk {

struct SiteExport {
  std::vector<SiteFile> Files;
  std::vector<std::string> Notes;  // files left out, and why
  // The notes the user is also told on standard error: what this build cannot make.
  std::vector<std::string> Warnings;
};

// The one line saying what the site would have but this build cannot make without GDAL (its
// GIS files, its basemap, the check of its "crs"); nothing with GDAL or when the site has none.
std::optional<std::string> WithoutGdalNote(const SitePlan& plan);

// Raises SiteError for what only the output files need checked: a coordinate system that GDAL
// does not know. Call it with the other checks, before anything is computed.
void CheckSiteForExport(const SiteDefinition& site);

// The ground under the site's map, read from the files of its "basemap" and reprojected to its
// "crs"; nothing when it names none or when the build has no GDAL (MakeSiteFiles says so).
// Raises SiteError with one line naming the file at the first problem.
std::shared_ptr<const MapBasemap> ReadSiteBasemap(const SiteDefinition& site);

// Every file of the site in memory, the maps over `basemap` (see ReadSiteBasemap): the site's
// own, then with pollutants assessment.csv and each pollutant's map-<name>.png and .svg. Raises
// SiteError when GDAL or a painter fails to make one.
SiteExport MakeSiteFiles(const SitePlan& plan, const SiteResult& result,
                         std::shared_ptr<const MapBasemap> basemap = nullptr,
                         const std::vector<PollutantRun>& pollutants = {});

// The file names of a pollutant's map: "map-<name>.png" and ".svg", the name made safe.
std::string PollutantMapName(const PollutantDefinition& pollutant, std::string_view extension);

// The isopleth bands of the site's grid for its levels (empty without a grid or GDAL).
std::vector<MapBand> SiteBands(const SitePlan& plan, const SiteResult& result,
                               const std::vector<double>& levels);

}  // namespace vmk
