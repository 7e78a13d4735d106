// The basemap read from the user's GIS files: a lon/lat vertex lands on the pixel of its plane
// coordinates, a picture with a world file is placed at its corners, a GeoTIFF in another
// system is reprojected, and every bad entry is one line naming the file, before anything is
// computed or written.
#ifdef VMK_HAVE_GDAL

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include "cli_process.h"
#include "plot/site_map.h"
#include "scratch_files.h"
#include "site/export/site_export.h"
#include "site/export/site_job.h"
#include "site/gis/site_gis.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using namespace site_test;
namespace fs = std::filesystem;
using Rgba = std::array<unsigned char, 4>;

// The plane coordinates (EPSG:6677, Japan zone IX) of two places: the zone's origin (139°50'E,
// 36°N) by its definition, and 140°E 36.1°N as `gdaltransform -s_srs EPSG:4326 -t_srs
// EPSG:6677` gives it.
constexpr double kLon1 = 139.0 + 50.0 / 60, kLat1 = 36.0, kX1 = 0, kY1 = 0;
constexpr double kLon2 = 140.0, kLat2 = 36.1, kX2 = 15006.7923212783, kY2 = 11107.7433040683;

Rgba PixelOf(const PlotImage& image, int column, int row) {
  const std::size_t i = (static_cast<std::size_t>(row) * image.Columns + column) * 4;
  return {image.Rgba[i], image.Rgba[i + 1], image.Rgba[i + 2], image.Rgba[i + 3]};
}

// A picture file of GDAL's driver made from RGB pixels (`colour(column, row)`), placed by the
// geotransform `t` in the system `crs` (none when empty).
template <typename Colour>
void WritePicture(const std::string& path, const char* driver, int columns, int rows, const double* t,
                  const std::string& crs, Colour colour) {
  GDALAllRegister();
  GDALDatasetUniquePtr mem(GetGDALDriverManager()->GetDriverByName("MEM")->Create("", columns, rows, 3, GDT_Byte, nullptr));
  if (t != nullptr) mem->SetGeoTransform(const_cast<double*>(t));
  if (!crs.empty()) {
    OGRSpatialReference srs;
    srs.SetFromUserInput(crs.c_str());
    mem->SetSpatialRef(&srs);
  }
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const Rgba c = colour(column, row);
      for (int b = 0; b < 3; ++b) {
        unsigned char v = c[static_cast<std::size_t>(b)];
        ASSERT_EQ(mem->GetRasterBand(b + 1)->RasterIO(GF_Write, column, row, 1, 1, &v, 1, 1, GDT_Byte, 0, 0), CE_None);
      }
    }
  }
  GDALDatasetUniquePtr out(GetGDALDriverManager()->GetDriverByName(driver)->CreateCopy(path.c_str(), mem.get(), FALSE, nullptr, nullptr, nullptr));
  ASSERT_TRUE(out) << path;
}

std::string LineText(double lon1, double lat1, double lon2, double lat2) {
  return R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},"geometry":)"
         R"({"type":"LineString","coordinates":[[)" + std::to_string(lon1) + "," + std::to_string(lat1) + "],[" +
         std::to_string(lon2) + "," + std::to_string(lat2) + "]]}}]}";
}

// A small site whose file lies in `dir`, with the basemap entry given.
std::string SiteFileWith(const scratch::ScratchDir& dir, const Json& basemap, const std::string& crs) {
  Json site = TwoStackSite(VariedMet());
  site["receptors"] = {{"grid", {{"x", "-500:500:3"}, {"y", "-500:500:3"}}}};
  if (!crs.empty()) site["crs"] = crs;
  site["basemap"] = basemap;
  return dir.NewFile("site.json", site.dump());
}

// A road of two vertices in lon/lat (GeoJSON's WGS 84): each vertex at its plane coordinates,
// and on the map at the pixel of those coordinates.
TEST(SiteBasemap, LonLatVertexLandsOnItsPixel) {
  scratch::ScratchDir dir;
  // The coordinates written with all their digits.
  const std::string text = R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},"geometry":)"
                           R"({"type":"LineString","coordinates":[[139.83333333333333,36.0],[140.0,36.1]]}}]})";
  dir.NewFile("roads.geojson", text);
  const ComputedSite site = ComputeSiteFile(SiteFileWith(dir, {{"vectors", {"roads.geojson"}}}, "EPSG:6677"), {});
  ASSERT_NE(site.Basemap, nullptr);
  ASSERT_EQ(site.Basemap->Lines.size(), 1u);
  const MapRing& road = site.Basemap->Lines[0].Points;
  ASSERT_EQ(road.size(), 2u);
  EXPECT_NEAR(road[0].first, kX1, 1e-3);
  EXPECT_NEAR(road[0].second, kY1, 1e-3);
  EXPECT_NEAR(road[1].first, kX2, 1e-3);
  EXPECT_NEAR(road[1].second, kY2, 1e-3);

  SiteMapInput in;
  in.XMax = in.YMax = 20000;
  in.Basemap = site.Basemap;
  const MapScene m = BuildSiteMap(in, 1000, 800, MapView{7000, 5000, 25});
  ASSERT_EQ(m.Ground.Polylines.size(), 1u);
  const auto& px = m.Ground.Polylines[0].Points;
  const std::pair<double, double> want[] = {
      {m.FrameLeft + m.FrameWidth / 2 + (kX1 - 7000) / 25, m.FrameTop + m.FrameHeight / 2 - (kY1 - 5000) / 25},
      {m.FrameLeft + m.FrameWidth / 2 + (kX2 - 7000) / 25, m.FrameTop + m.FrameHeight / 2 - (kY2 - 5000) / 25}};
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_NEAR(px[i].first, want[i].first, 1e-4) << i;
    EXPECT_NEAR(px[i].second, want[i].second, 1e-4) << i;
  }
}

// A PNG of 4 x 3 pixels of 10 m with its world file (the centre of the top left pixel at
// (1005, 2995)): the raster covers (1000, 2970) to (1040, 3000), each pixel its own colour, and
// the map's picture has each corner's colour at its corner.
TEST(SiteBasemap, PictureWithWorldFilePlacedAtItsCorners) {
  scratch::ScratchDir dir;
  const auto colour = [](int column, int row) {
    return Rgba{static_cast<unsigned char>(60 * column), static_cast<unsigned char>(100 * row), 33, 255};
  };
  WritePicture(dir.File("ground.png"), "PNG", 4, 3, nullptr, "", colour);
  dir.NewFile("ground.pgw", "10\n0\n0\n-10\n1005\n2995\n");
  for (const std::string crs : {"", "EPSG:6677"}) {
    SCOPED_TRACE(crs);
    const Json entry = crs.empty() ? Json("ground.png") : Json{{"path", "ground.png"}, {"crs", crs}};
    const ComputedSite site = ComputeSiteFile(SiteFileWith(dir, {{"raster", entry}}, crs), {});
    ASSERT_NE(site.Basemap, nullptr);
    const BasemapRaster& r = site.Basemap->Levels.at(0);
    EXPECT_EQ(r.Columns, 4);
    EXPECT_EQ(r.Rows, 3);
    EXPECT_DOUBLE_EQ(r.Left, 1000);
    EXPECT_DOUBLE_EQ(r.Top, 3000);
    EXPECT_DOUBLE_EQ(r.PixelWidth, 10);
    EXPECT_DOUBLE_EQ(r.PixelHeight, 10);

    SiteMapInput in;
    in.XMax = in.YMax = 100;
    in.Basemap = site.Basemap;
    const MapScene m = BuildSiteMap(in, 1000, 800, MapView{1020, 2985, 0.5});
    ASSERT_EQ(m.Images.size(), 1u);
    const PlotImage& image = m.Images[0];
    EXPECT_EQ(std::make_pair(image.Left, image.Top), m.ToPixel(1000, 3000));
    EXPECT_EQ(std::make_pair(image.Left + image.Width, image.Top + image.Height), m.ToPixel(1040, 2970));
    EXPECT_EQ(PixelOf(image, 0, 0), colour(0, 0));
    EXPECT_EQ(PixelOf(image, image.Columns - 1, 0), colour(3, 0));
    EXPECT_EQ(PixelOf(image, 0, image.Rows - 1), colour(0, 2));
    EXPECT_EQ(PixelOf(image, image.Columns - 1, image.Rows - 1), colour(3, 2));
  }
}

// A GeoTIFF in lon/lat, red around the zone's origin and blue at its edge: in the site's
// plane system the origin is red, and the ground beyond the picture transparent.
TEST(SiteBasemap, GeoTiffReprojectedToTheSite) {
  scratch::ScratchDir dir;
  const double d = 0.002;  // degrees a pixel
  const double t[6] = {kLon1 - 2.5 * d, d, 0, kLat1 + 2.5 * d, 0, -d};
  WritePicture(dir.File("ground.tif"), "GTiff", 5, 5, t, "EPSG:4326", [](int column, int row) {
    const bool middle = column >= 1 && column <= 3 && row >= 1 && row <= 3;
    return middle ? Rgba{255, 0, 0, 255} : Rgba{0, 0, 255, 255};
  });
  const ComputedSite site = ComputeSiteFile(SiteFileWith(dir, {{"raster", "ground.tif"}}, "EPSG:6677"), {});
  ASSERT_NE(site.Basemap, nullptr);
  SiteMapInput in;
  in.XMax = in.YMax = 100;
  in.Basemap = site.Basemap;
  const MapScene m = BuildSiteMap(in, 1000, 800, MapView{0, 0, 5});
  ASSERT_EQ(m.Images.size(), 1u);
  const PlotImage& image = m.Images[0];
  const auto [ox, oy] = m.ToPixel(0, 0);
  EXPECT_EQ(PixelOf(image, static_cast<int>(ox - image.Left), static_cast<int>(oy - image.Top)), (Rgba{255, 0, 0, 255}));
  // 0.005 degrees of latitude (about 555 m) north of the origin: the blue edge.
  const auto [nx, ny] = m.ToPixel(0, 540);
  EXPECT_EQ(PixelOf(image, static_cast<int>(nx - image.Left), static_cast<int>(ny - image.Top)), (Rgba{0, 0, 255, 255}));
  // Lon/lat lines are not the plane's: the picture's box reaches beyond the raster at a corner,
  // which stays transparent.
  const int corners = PixelOf(image, 0, 0)[3] + PixelOf(image, image.Columns - 1, 0)[3] +
                      PixelOf(image, 0, image.Rows - 1)[3] + PixelOf(image, image.Columns - 1, image.Rows - 1)[3];
  EXPECT_LT(corners, 4 * 255);
}

struct BadBasemap {
  const char* What;
  Json Entry;
  const char* Crs;
  const char* Message;
};

// Each bad entry: one line naming the file, from ComputeSiteFile before anything is computed,
// and from vmk-site with exit status 2 and nothing written.
TEST(SiteBasemap, EveryBadEntryIsOneLine) {
  scratch::ScratchDir dir;
  dir.NewFile("roads.geojson", LineText(kLon1, kLat1, kLon2, kLat2));
  dir.NewFile("broken.tif", "II*\0 not a TIFF at all");
  dir.NewFile("broken.geojson", "{\"type\": \"FeatureCollection\", \"features\": [");
  dir.NewFile("notes.txt", "roads");
  const double t[6] = {0, 1, 0, 10, 0, -1};
  WritePicture(dir.File("local.png"), "PNG", 2, 2, nullptr, "", [](int, int) { return Rgba{1, 2, 3, 255}; });
  dir.NewFile("local.pgw", "1\n0\n0\n-1\n0.5\n9.5\n");
  WritePicture(dir.File("loose.png"), "PNG", 2, 2, nullptr, "", [](int, int) { return Rgba{1, 2, 3, 255}; });
  WritePicture(dir.File("plane.tif"), "GTiff", 2, 2, t, "EPSG:6677", [](int, int) { return Rgba{1, 2, 3, 255}; });
  {
    GDALDatasetUniquePtr f(GetGDALDriverManager()->GetDriverByName("GTiff")->Create(dir.File("heights.tif").c_str(), 2, 2, 1, GDT_Float32, nullptr));
    f->SetGeoTransform(const_cast<double*>(t));
  }
  fs::create_directory(dir / "folder.gpkg");
  const std::vector<BadBasemap> cases = {
      {"missing", {{"raster", "nowhere.tif"}}, "", "basemap \"nowhere.tif\": no such file"},
      {"missing vector", {{"vectors", {"roads.geojson", "coast.gpkg"}}}, "EPSG:6677", "basemap \"coast.gpkg\": no such file"},
      {"folder", {{"vectors", {"folder.gpkg"}}}, "", "basemap \"folder.gpkg\": is a folder, not a file"},
      {"unreadable raster", {{"raster", "broken.tif"}}, "", "basemap \"broken.tif\": cannot be read as a GeoTIFF, PNG or JPEG picture"},
      {"unreadable vector", {{"vectors", {"broken.geojson"}}}, "", "basemap \"broken.geojson\": cannot be read as a GeoPackage, shapefile or GeoJSON file"},
      {"not GIS", {{"vectors", {"notes.txt"}}}, "", "basemap \"notes.txt\": cannot be read as a GeoPackage"},
      {"no place", {{"raster", "loose.png"}}, "", "basemap \"loose.png\": has no place on the ground: give a GeoTIFF, or a PNG or JPEG with its world file"},
      {"no system", {{"raster", "local.png"}}, "EPSG:6677", "basemap \"local.png\": has no coordinate system: give it in the site file as {\"path\""},
      {"site has none", {{"vectors", {"roads.geojson"}}}, "", "basemap \"roads.geojson\": has a coordinate system, but the site has no \"crs\""},
      {"raster site has none", {{"raster", "plane.tif"}}, "", "basemap \"plane.tif\": has a coordinate system, but the site has no \"crs\""},
      {"unknown system", {{"raster", {{"path", "local.png"}, {"crs", "EPSG:999999"}}}}, "EPSG:6677",
       "basemap \"local.png\": GDAL does not know the coordinate system \"EPSG:999999\""},
      {"heights", {{"raster", "heights.tif"}}, "", "basemap \"heights.tif\": holds Float32 values: a basemap raster is a picture of 8-bit colours"},
  };
  for (const BadBasemap& c : cases) {
    SCOPED_TRACE(c.What);
    const std::string site = SiteFileWith(dir, c.Entry, c.Crs);
    bool computed = false;
    SiteSteps steps;
    steps.Checked = [&](const SitePlan&) { computed = true; };
    try {
      ComputeSiteFile(site, steps);
      ADD_FAILURE() << "accepted";
    } catch (const SiteError& e) {
      const std::string what = e.what();
      EXPECT_EQ(what.rfind(c.Message, 0), 0u) << what;
      EXPECT_EQ(what.find('\n'), std::string::npos) << what;
    }
    EXPECT_FALSE(computed) << "computed with a bad basemap";
  }
#ifdef VMK_SITE_PROGRAM
  const fs::path out = dir / "out";
  const std::string site = SiteFileWith(dir, cases[1].Entry, cases[1].Crs);
  const clitest::RunResult r = clitest::RunProgram(clitest::kVmkSite, {site, "--out", out.string()});
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_EQ(r.Err, "vmk-site: " + site + ": " + cases[1].Message + "\n");
  EXPECT_FALSE(fs::exists(out));
#endif
}

}  // namespace
}  // namespace vmk

#endif  // VMK_HAVE_GDAL
