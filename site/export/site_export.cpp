#include "site/export/site_export.h"

#include "plot/map_picture.h"

#include "site/site_levels.h"
#include "site/site_map_input.h"
#include "site/site_tables.h"
#ifdef VMK_HAVE_GDAL
#include "site/gis/site_gis.h"
#endif

namespace vmk {
namespace {

#ifdef VMK_HAVE_GDAL
GridRaster RasterOf(const SitePlan& plan, const SiteResult& result) {
  GridRaster g;
  g.X = plan.Receptors.GridX;
  g.Y = plan.Receptors.GridY;
  g.Values.assign(result.Total.begin(), result.Total.begin() + static_cast<std::ptrdiff_t>(plan.Receptors.GridCount));
  g.Crs = plan.Site.Crs;
  return g;
}
#endif

}  // namespace

void CheckSiteForExport(const SiteDefinition& site) {
#ifdef VMK_HAVE_GDAL
  if (!site.Crs.empty()) {
    if (const auto problem = CrsProblem(site.Crs)) throw SiteError("crs: " + *problem);
  }
#else
  (void)site;
#endif
}

std::shared_ptr<const MapBasemap> ReadSiteBasemap(const SiteDefinition& site) {
  if (!site.Basemap) return nullptr;
#ifdef VMK_HAVE_GDAL
  const auto source = [](const BasemapLayerDefinition& d) {
    return BasemapSource{d.FullPath, d.Path, d.Crs};
  };
  std::optional<BasemapSource> raster;
  if (site.Basemap->Raster) raster = source(*site.Basemap->Raster);
  std::vector<BasemapSource> vectors;
  for (const BasemapLayerDefinition& v : site.Basemap->Vectors) vectors.push_back(source(v));
  try {
    return std::make_shared<const MapBasemap>(ReadBasemap(raster, vectors, site.Crs));
  } catch (const GisError& e) {
    throw SiteError(e.what());
  }
#else
  return nullptr;
#endif
}

std::vector<MapBand> SiteBands(const SitePlan& plan, const SiteResult& result,
                               const std::vector<double>& levels) {
#ifdef VMK_HAVE_GDAL
  if (plan.Receptors.GridCount == 0 || levels.empty()) return {};
  try {
    return IsoplethBands(RasterOf(plan, result), levels);
  } catch (const GisError& e) {
    throw SiteError(std::string("isopleths: ") + e.what());
  }
#else
  (void)plan;
  (void)result;
  (void)levels;
  return {};
#endif
}

std::string PollutantMapName(const PollutantDefinition& pollutant, std::string_view extension) {
  return "map-" + pollutant.FileName + "." + std::string(extension);
}

namespace {

// The grid's values for the map's bands classed pixel by pixel (no polygons without GDAL).
MapGrid BandGridOf(const SitePlan& plan, const SiteResult& result) {
  MapGrid g;
  g.X = plan.Receptors.GridX;
  g.Y = plan.Receptors.GridY;
  g.Values.assign(result.Total.begin(), result.Total.begin() + static_cast<std::ptrdiff_t>(plan.Receptors.GridCount));
  return g;
}

// The map's picture files `png` and `svg`, each drawn by the build's own painter.
void AddMapFiles(SiteExport& out, const SiteMapInput& map, const std::string& png, const std::string& svg,
                 const std::string& place) {
  const MapScene scene = BuildSiteMap(map, kMapWidth, kMapHeight);
  for (const PictureKind kind : {PictureKind::Png, PictureKind::Svg}) {
    if (kind == PictureKind::Png && !MapPngBuiltIn()) continue;
    SiteFile file{kind == PictureKind::Png ? png : svg, {}};
    if (const auto problem = MapPictureBytes(scene, map.Title, kind, file.Bytes)) {
      throw SiteError(place + "map: " + *problem);
    }
    out.Files.push_back(std::move(file));
  }
}

}  // namespace

std::optional<std::string> WithoutGdalNote(const SitePlan& plan) {
#ifdef VMK_HAVE_GDAL
  (void)plan;
  return std::nullopt;
#else
  std::vector<std::string> parts;
  if (plan.Receptors.GridCount > 0) parts = {"grid.tif", "isopleths.gpkg", "isopleths.geojson"};
  if (plan.Site.Basemap) parts.push_back("the basemap");
  if (!plan.Site.Crs.empty()) parts.push_back("the check of \"crs\"");
  if (parts.empty()) return std::nullopt;
  std::string line;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    line += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  }
  return line + " not made: this build has no GDAL";
#endif
}

SiteExport MakeSiteFiles(const SitePlan& plan, const SiteResult& result,
                         std::shared_ptr<const MapBasemap> basemap, const std::vector<PollutantRun>& pollutants) {
  SiteExport out;
  const ReceptorSet& rs = plan.Receptors;
  if (rs.PointCount > 0) out.Files.push_back({"points.csv", PointsCsv(plan, result)});
  if (rs.GridCount > 0) out.Files.push_back({"grid.csv", GridCsv(plan, result)});
  if (rs.PolarCount > 0) out.Files.push_back({"polar.csv", PolarCsv(plan, result)});
  const std::vector<double> levels = SiteLevels(plan, result);

  std::vector<MapBand> bands;
  if (rs.GridCount > 0) {
#ifdef VMK_HAVE_GDAL
    try {
      out.Files.push_back({"grid.tif", GeoTiffBytes(RasterOf(plan, result))});
      bands = SiteBands(plan, result, levels);
      out.Files.push_back({"isopleths.gpkg", GeoPackageBytes(bands, plan.Site.Crs)});
      out.Files.push_back({"isopleths.geojson", GeoJsonBytes(bands, plan.Site.Crs)});
    } catch (const GisError& e) {
      throw SiteError(std::string("GIS files: ") + e.what());
    }
#endif
    if (levels.empty()) out.Notes.push_back("no isopleths: the grid has no positive value");
  } else {
    out.Notes.push_back("no grid: no grid.tif, no isopleths");
  }
  if (const auto note = WithoutGdalNote(plan)) {
    out.Notes.push_back(*note);
    out.Warnings.push_back(*note);
  }
  if (!MapPngBuiltIn()) out.Notes.push_back("this build cannot draw PNG: map.png is not drawn");

  SiteMapInput map = MapInputOf(plan, result, levels, std::move(bands));
  map.Basemap = basemap;
#ifndef VMK_HAVE_GDAL
  if (rs.GridCount > 0) map.BandGrid = BandGridOf(plan, result);
#endif
  AddMapFiles(out, map, "map.png", "map.svg", "");

  if (pollutants.empty()) return out;
  out.Files.push_back({"assessment.csv", AssessmentCsv(pollutants)});
  for (const PollutantRun& run : pollutants) {
    const std::vector<double> runLevels = SiteLevels(run.Plan, run.Result);
    SiteMapInput runMap = AssessmentMapInput(run, runLevels, SiteBands(run.Plan, run.Result, runLevels));
    runMap.Basemap = basemap;
#ifndef VMK_HAVE_GDAL
    if (run.Plan.Receptors.GridCount > 0) runMap.BandGrid = BandGridOf(run.Plan, run.Result);
#endif
    AddMapFiles(out, runMap, PollutantMapName(run.Terms.Pollutant, "png"), PollutantMapName(run.Terms.Pollutant, "svg"),
                PollutantPlace(run.Terms.Pollutant.Name) + ": ");
  }
  return out;
}

}  // namespace vmk
