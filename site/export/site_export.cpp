#include "site/export/site_export.h"

#include "site/site_levels.h"
#include "site/site_map_input.h"
#include "site/site_tables.h"
#ifdef VMK_HAVE_GDAL
#include "site/gis/site_gis.h"
#endif
#ifdef VMK_HAVE_PLOT_QT
#include "plot/qt/map_files.h"
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

SiteExport MakeSiteFiles(const SitePlan& plan, const SiteResult& result,
                         std::shared_ptr<const MapBasemap> basemap) {
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
    if (levels.empty()) out.Notes.push_back("no isopleths: the grid has no positive value");
#else
    out.Notes.push_back("this build has no GDAL: grid.tif and the isopleths are not written");
#endif
  } else {
    out.Notes.push_back("no grid: no grid.tif, no isopleths");
  }

#ifndef VMK_HAVE_GDAL
  if (!plan.Site.Crs.empty()) out.Notes.push_back("this build has no GDAL: \"crs\" is not checked");
  if (plan.Site.Basemap) out.Notes.push_back("this build has no GDAL: the basemap is not drawn");
#endif

  SiteMapInput map = MapInputOf(plan, result, levels, std::move(bands));
  map.Basemap = std::move(basemap);
#ifdef VMK_HAVE_PLOT_QT
  try {
    const MapScene scene = BuildSiteMap(map, kMapWidth, kMapHeight);
    out.Files.push_back({"map.png", MapPngBytes(scene)});
    out.Files.push_back({"map.svg", MapSvgBytes(scene, map.Title)});
  } catch (const MapPictureError& e) {
    throw SiteError(std::string("map: ") + e.what());
  }
#else
  out.Notes.push_back("this build has no Qt: map.png and map.svg are not drawn");
#endif
  return out;
}

}  // namespace vmk
