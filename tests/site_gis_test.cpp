// The site's files read back: the GeoTIFF through GDAL gives the grid, the isopleth bands
// cover every value of the grid where it lies, the coordinate system is checked, and the map
// pictures are made.
#ifdef VMK_HAVE_GDAL

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>

#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include "site/export/site_export.h"
#include "site/gis/site_gis.h"
#include "site/site_levels.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using namespace site_test;

// A grid wider than high with a node on stack "煙突A": the no-data value and the orientation
// both show when wrong.
Json GridSite() {
  Json site = TwoStackSite(VariedMet());
  site["receptors"] = {{"grid", {{"x", "-1000:1000:21"}, {"y", "-600:1400:11"}}}};
  site["crs"] = "EPSG:6677";
  site["sectors"] = "smooth";
  return site;
}

const std::string& FileOf(const SiteExport& e, const std::string& name) {
  for (const SiteFile& f : e.Files) {
    if (f.Name == name) return f.Bytes;
  }
  throw std::runtime_error("no file " + name);
}

// Opens bytes as a dataset of GDAL's memory file system.
class MemDataset {
 public:
  MemDataset(const std::string& bytes, const std::string& name, unsigned flags) : path_("/vsimem/site-test-" + name) {
    GDALAllRegister();
    VSILFILE* f = VSIFileFromMemBuffer(path_.c_str(), reinterpret_cast<GByte*>(const_cast<char*>(bytes.data())),
                                       bytes.size(), FALSE);
    VSIFCloseL(f);
    ds_.reset(GDALDataset::Open(path_.c_str(), flags));
  }
  ~MemDataset() {
    ds_.reset();
    VSIUnlink(path_.c_str());
  }
  GDALDataset* operator->() const { return ds_.get(); }
  explicit operator bool() const { return ds_ != nullptr; }

 private:
  std::string path_;
  GDALDatasetUniquePtr ds_;
};

class SiteFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    plan_ = std::make_unique<SitePlan>(PlanOf(GridSite()));
    result_ = std::make_unique<SiteResult>(RunOf(*plan_, 2));
    export_ = std::make_unique<SiteExport>(MakeSiteFiles(*plan_, *result_));
  }
  static void TearDownTestSuite() {
    export_.reset();
    result_.reset();
    plan_.reset();
  }
  static std::unique_ptr<SitePlan> plan_;
  static std::unique_ptr<SiteResult> result_;
  static std::unique_ptr<SiteExport> export_;
};
std::unique_ptr<SitePlan> SiteFiles::plan_;
std::unique_ptr<SiteResult> SiteFiles::result_;
std::unique_ptr<SiteExport> SiteFiles::export_;

TEST_F(SiteFiles, GeoTiffReadsBackAsTheGrid) {
  MemDataset tif(FileOf(*export_, "grid.tif"), "grid.tif", GDAL_OF_RASTER | GDAL_OF_READONLY);
  ASSERT_TRUE(tif);
  const ReceptorSet& rs = plan_->Receptors;
  const int nx = static_cast<int>(rs.GridX.size());
  const int ny = static_cast<int>(rs.GridY.size());
  ASSERT_EQ(tif->GetRasterXSize(), 21);
  ASSERT_EQ(tif->GetRasterYSize(), 11);
  double t[6];
  ASSERT_EQ(tif->GetGeoTransform(t), CE_None);
  EXPECT_DOUBLE_EQ(t[0], -1050);  // pixels centred on the nodes, 100 m x 200 m
  EXPECT_DOUBLE_EQ(t[1], 100);
  EXPECT_DOUBLE_EQ(t[3], 1500);
  EXPECT_DOUBLE_EQ(t[5], -200);
  EXPECT_EQ(t[2], 0);
  EXPECT_EQ(t[4], 0);
  const OGRSpatialReference* srs = tif->GetSpatialRef();
  ASSERT_NE(srs, nullptr);
  EXPECT_STREQ(srs->GetAuthorityName(nullptr), "EPSG");
  EXPECT_STREQ(srs->GetAuthorityCode(nullptr), "6677");

  GDALRasterBand* band = tif->GetRasterBand(1);
  EXPECT_EQ(band->GetRasterDataType(), GDT_Float32);
  int hasNoData = 0;
  EXPECT_EQ(band->GetNoDataValue(&hasNoData), kGridNoData);
  EXPECT_TRUE(hasNoData);
  std::vector<float> pixels(static_cast<std::size_t>(nx * ny));
  ASSERT_EQ(band->RasterIO(GF_Read, 0, 0, nx, ny, pixels.data(), nx, ny, GDT_Float32, 0, 0), CE_None);
  int noData = 0;
  for (int row = 0; row < ny; ++row) {
    for (int i = 0; i < nx; ++i) {
      // Row 0 is the northmost line of nodes.
      const std::size_t q = static_cast<std::size_t>((ny - 1 - row) * nx + i);
      const float pixel = pixels[static_cast<std::size_t>(row * nx + i)];
      // The pixel centre is the node.
      EXPECT_DOUBLE_EQ(t[0] + (i + 0.5) * t[1], rs.All[q].X);
      EXPECT_DOUBLE_EQ(t[3] + (row + 0.5) * t[5], rs.All[q].Y);
      if (std::isnan(result_->Total[q])) {
        EXPECT_EQ(pixel, static_cast<float>(kGridNoData)) << q;
        ++noData;
      } else {
        EXPECT_EQ(Bits(pixel), Bits(result_->Total[q])) << q;
      }
    }
  }
  EXPECT_EQ(noData, 1);  // the node on the stack
}

struct Band {
  int Index;
  double Lower;
  double Upper;
  std::unique_ptr<OGRGeometry> Geometry;
};

std::vector<Band> ReadBands(const std::string& bytes, const std::string& name) {
  MemDataset ds(bytes, name, GDAL_OF_VECTOR | GDAL_OF_READONLY);
  std::vector<Band> bands;
  if (!ds) return bands;
  OGRLayer* layer = ds->GetLayerByName("isopleths");
  if (layer == nullptr) return bands;
  for (auto& f : *layer) {
    bands.push_back({f->GetFieldAsInteger("band"), f->GetFieldAsDouble("lower"), f->GetFieldAsDouble("upper"),
                     std::unique_ptr<OGRGeometry>(f->GetGeometryRef()->clone())});
  }
  return bands;
}

TEST_F(SiteFiles, BandsCoverEveryValueOfTheGrid) {
  const std::vector<Band> bands = ReadBands(FileOf(*export_, "isopleths.gpkg"), "isopleths.gpkg");
  ASSERT_GE(bands.size(), 3u);
  const auto [lo, hi] = GridRange(*result_, plan_->Receptors);
  const std::vector<double> levels = SiteLevels(*plan_, *result_);
  EXPECT_EQ(bands.front().Lower, lo);
  EXPECT_EQ(bands.back().Upper, hi);
  for (std::size_t i = 0; i + 1 < bands.size(); ++i) {
    EXPECT_EQ(bands[i].Upper, bands[i + 1].Lower) << i;  // no gap, no overlap between values
    EXPECT_EQ(bands[i].Index + 1, bands[i + 1].Index) << i;
    EXPECT_EQ(bands[i].Upper, levels[static_cast<std::size_t>(bands[i].Index)]) << i;
  }
  // Every node with a value lies in a band whose range holds its value.
  const ReceptorSet& rs = plan_->Receptors;
  int checked = 0;
  for (std::size_t q = 0; q < rs.GridCount; ++q) {
    const float v = result_->Total[q];
    if (std::isnan(v)) continue;
    OGRPoint node(rs.All[q].X, rs.All[q].Y);
    bool inRightBand = false;
    for (const Band& b : bands) {
      if (b.Geometry->Intersects(&node) && b.Lower <= v && v <= b.Upper) inRightBand = true;
    }
    EXPECT_TRUE(inRightBand) << "node " << q << " value " << v;
    ++checked;
  }
  EXPECT_EQ(checked, 21 * 11 - 1);
  // The bands tile the ground of the grid: their areas add up to the cells' area but for
  // the no-data node's.
  double area = 0;
  for (const Band& b : bands) area += b.Geometry->toMultiPolygon()->get_Area();
  EXPECT_LT(area, 2100.0 * 2200.0 + 1);
  EXPECT_GT(area, 2100.0 * 2200.0 - 4 * 100 * 200);
}

TEST_F(SiteFiles, GeoJsonHoldsTheSameBands) {
  const std::vector<Band> gpkg = ReadBands(FileOf(*export_, "isopleths.gpkg"), "a.gpkg");
  const std::vector<Band> geojson = ReadBands(FileOf(*export_, "isopleths.geojson"), "a.geojson");
  ASSERT_EQ(gpkg.size(), geojson.size());
  for (std::size_t i = 0; i < gpkg.size(); ++i) {
    EXPECT_EQ(gpkg[i].Index, geojson[i].Index);
    EXPECT_EQ(gpkg[i].Lower, geojson[i].Lower);
    EXPECT_EQ(gpkg[i].Upper, geojson[i].Upper);
    EXPECT_NEAR(gpkg[i].Geometry->toMultiPolygon()->get_Area(), geojson[i].Geometry->toMultiPolygon()->get_Area(), 1e-3);
  }
  const Json doc = Json::parse(FileOf(*export_, "isopleths.geojson"));
  EXPECT_EQ(doc["crs"]["properties"]["name"], "urn:ogc:def:crs:EPSG::6677");
}

TEST_F(SiteFiles, EveryFileIsMade) {
  std::vector<std::string> names;
  for (const SiteFile& f : export_->Files) names.push_back(f.Name);
  std::vector<std::string> want = {"grid.csv", "grid.tif", "isopleths.gpkg", "isopleths.geojson"};
#ifdef VMK_HAVE_MAP_PNG
  want.push_back("map.png");
  want.push_back("map.svg");
  EXPECT_EQ(FileOf(*export_, "map.png").substr(0, 4), "\x89PNG");
  const std::string& svg = FileOf(*export_, "map.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("最大濃度"), std::string::npos);  // Japanese text as text
#endif
  EXPECT_EQ(names, want);
  EXPECT_TRUE(export_->Notes.empty());
}

TEST(SiteCrs, OnlySystemsGdalKnowsInMetres) {
  EXPECT_FALSE(CrsProblem("EPSG:6677").has_value());
  EXPECT_FALSE(CrsProblem("EPSG:32654").has_value());  // UTM 54N
  const auto unknown = CrsProblem("EPSG:999999");
  ASSERT_TRUE(unknown.has_value());
  EXPECT_NE(unknown->find("GDAL does not know the coordinate system \"EPSG:999999\""), std::string::npos);
  EXPECT_NE(CrsProblem("EPSG:4326").value_or("").find("is geographic"), std::string::npos);
  EXPECT_NE(CrsProblem("EPSG:2236").value_or("").find("does not count in metres"), std::string::npos);
  EXPECT_TRUE(CrsProblem("/etc/hostname").has_value());  // no files are read
  EXPECT_TRUE(CrsProblem("not a system").has_value());

  Json site = GridSite();
  site["crs"] = "EPSG:999999";
  const SitePlan plan = PlanOf(site);
  try {
    CheckSiteForExport(plan.Site);
    ADD_FAILURE() << "an unknown system passed";
  } catch (const SiteError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("crs: GDAL does not know", 0), 0u) << e.what();
  }
}

// Levels all above or below the grid's values leave one band or none; a flat grid too.
TEST(SiteBands, LevelsOutsideTheValues) {
  GridRaster g;
  g.X = {0, 10, 20};
  g.Y = {0, 10};
  g.Values = {1, 2, 3, 4, 5, 6};
  const std::vector<MapBand> below = IsoplethBands(g, {0.5});
  ASSERT_EQ(below.size(), 1u);
  EXPECT_EQ(below[0].Index, 1);
  EXPECT_EQ(below[0].Lower, 0.5);
  EXPECT_EQ(below[0].Upper, 6);
  const std::vector<MapBand> above = IsoplethBands(g, {10, 20});
  ASSERT_EQ(above.size(), 1u);
  EXPECT_EQ(above[0].Index, 0);
  EXPECT_EQ(above[0].Lower, 1);
  EXPECT_EQ(above[0].Upper, 10);
  g.Values.assign(6, std::numeric_limits<float>::quiet_NaN());
  EXPECT_TRUE(IsoplethBands(g, {1}).empty());
  EXPECT_FALSE(GeoTiffBytes(g).empty());
}

}  // namespace
}  // namespace vmk

#endif  // VMK_HAVE_GDAL
