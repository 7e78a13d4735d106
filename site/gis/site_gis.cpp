#include "site/gis/site_gis.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <mutex>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal_alg.h>
#include <gdal_priv.h>
#include <gdal_utils.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include "common/json_document.h"

namespace vmk {
namespace {

void Register() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

// GDAL's messages go to the exceptions raised here, not to standard error.
class QuietGdal {
 public:
  QuietGdal() {
    Register();
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
  }
  ~QuietGdal() { CPLPopErrorHandler(); }
  QuietGdal(const QuietGdal&) = delete;
  QuietGdal& operator=(const QuietGdal&) = delete;
};

[[noreturn]] void Fail(const std::string& what) {
  std::string detail = CPLGetLastErrorMsg();
  for (char& c : detail) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  throw GisError(detail.empty() ? what : what + ": " + detail);
}

// A folder of its own in GDAL's memory file system, removed with its files.
class MemFolder {
 public:
  MemFolder() {
    static std::atomic<unsigned long> counter{0};
    path_ = "/vsimem/vmk-site-" + std::to_string(++counter) + "-" +
            std::to_string(reinterpret_cast<std::uintptr_t>(this));
    VSIMkdir(path_.c_str(), 0755);
  }
  ~MemFolder() { VSIRmdirRecursive(path_.c_str()); }
  MemFolder(const MemFolder&) = delete;
  MemFolder& operator=(const MemFolder&) = delete;

  std::string File(const std::string& name) const { return path_ + "/" + name; }

  // The bytes of a closed file.
  std::string Take(const std::string& file) const {
    vsi_l_offset length = 0;
    GByte* data = VSIGetMemFileBuffer(file.c_str(), &length, TRUE);
    if (data == nullptr) Fail("the file was not made");
    std::string bytes(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
    CPLFree(data);
    return bytes;
  }

 private:
  std::string path_;
};

std::unique_ptr<OGRSpatialReference> SpatialReference(std::string_view crs) {
  if (crs.empty()) return nullptr;
  auto srs = std::make_unique<OGRSpatialReference>();
  const char* options[] = {"ALLOW_NETWORK_ACCESS=NO", "ALLOW_FILE_ACCESS=NO", nullptr};
  const std::string text(crs);
  if (srs->SetFromUserInput(text.c_str(), options) != OGRERR_NONE) return nullptr;
  // x east, y north, whatever order the system's definition names its axes in.
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

GDALDriver* Driver(const char* name) {
  GDALDriver* d = GetGDALDriverManager()->GetDriverByName(name);
  if (d == nullptr) throw GisError(std::string("GDAL has no ") + name + " driver");
  return d;
}

double Step(const std::vector<double>& v) {
  return (v.back() - v.front()) / static_cast<double>(v.size() - 1);
}

void CheckGrid(const GridRaster& g) {
  if (g.X.size() < 2 || g.Y.size() < 2 || g.Values.size() != g.X.size() * g.Y.size()) {
    throw GisError("the grid needs at least 2 x 2 nodes and one value per node");
  }
}

// A one-band float32 raster of the grid, pixels centred on the nodes, north up.
void FillRaster(GDALDataset& ds, const GridRaster& g, const OGRSpatialReference* srs) {
  const double dx = Step(g.X);
  const double dy = Step(g.Y);
  double transform[6] = {g.X.front() - dx / 2, dx, 0, g.Y.back() + dy / 2, 0, -dy};
  if (ds.SetGeoTransform(transform) != CE_None) Fail("cannot place the grid");
  if (srs != nullptr && ds.SetSpatialRef(srs) != CE_None) Fail("cannot set the coordinate system");
  GDALRasterBand* band = ds.GetRasterBand(1);
  band->SetNoDataValue(kGridNoData);
  band->SetDescription("C");
  const int nx = static_cast<int>(g.X.size());
  const int ny = static_cast<int>(g.Y.size());
  std::vector<float> row(static_cast<std::size_t>(nx));
  for (int r = 0; r < ny; ++r) {
    const std::size_t j = static_cast<std::size_t>(ny - 1 - r);  // the top row is the northmost
    for (int i = 0; i < nx; ++i) {
      const float v = g.Values[j * static_cast<std::size_t>(nx) + static_cast<std::size_t>(i)];
      row[static_cast<std::size_t>(i)] = std::isnan(v) ? static_cast<float>(kGridNoData) : v;
    }
    if (band->RasterIO(GF_Write, 0, r, nx, 1, row.data(), nx, 1, GDT_Float32, 0, 0) != CE_None) {
      Fail("cannot write the grid");
    }
  }
}

MapRing RingOf(const OGRLinearRing& ring) {
  MapRing out;
  out.reserve(static_cast<std::size_t>(ring.getNumPoints()));
  for (int i = 0; i < ring.getNumPoints(); ++i) out.emplace_back(ring.getX(i), ring.getY(i));
  return out;
}

void AddPolygons(const OGRGeometry* geometry, std::vector<MapPolygon>& out) {
  if (geometry == nullptr) return;
  const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
  if (type == wkbPolygon) {
    const auto* polygon = geometry->toPolygon();
    MapPolygon p;
    if (polygon->getExteriorRing() == nullptr) return;
    p.Rings.push_back(RingOf(*polygon->getExteriorRing()));
    for (int i = 0; i < polygon->getNumInteriorRings(); ++i) {
      p.Rings.push_back(RingOf(*polygon->getInteriorRing(i)));
    }
    out.push_back(std::move(p));
  } else if (type == wkbMultiPolygon || type == wkbGeometryCollection) {
    const auto* collection = geometry->toGeometryCollection();
    for (int i = 0; i < collection->getNumGeometries(); ++i) AddPolygons(collection->getGeometryRef(i), out);
  }
}

std::unique_ptr<OGRMultiPolygon> GeometryOf(const MapBand& band) {
  auto multi = std::make_unique<OGRMultiPolygon>();
  for (const MapPolygon& p : band.Polygons) {
    OGRPolygon polygon;
    for (const MapRing& r : p.Rings) {
      OGRLinearRing ring;
      for (const auto& [x, y] : r) ring.addPoint(x, y);
      polygon.addRing(&ring);
    }
    multi->addGeometry(&polygon);
  }
  return multi;
}

// While it lives, a GeoPackage made on this thread records a fixed time of its last change
// (the driver stores the time of writing otherwise): the same bands give the same bytes, so an
// assessment's files can be checked by their checksums. A time the user gives GDAL
// (OGR_CURRENT_DATE) is kept.
class FixedChangeTime {
 public:
  FixedChangeTime() : set_(CPLGetConfigOption(kOption, nullptr) == nullptr) {
    if (set_) CPLSetThreadLocalConfigOption(kOption, kFixedTime);
  }
  ~FixedChangeTime() {
    if (set_) CPLSetThreadLocalConfigOption(kOption, nullptr);
  }
  FixedChangeTime(const FixedChangeTime&) = delete;
  FixedChangeTime& operator=(const FixedChangeTime&) = delete;

 private:
  static constexpr const char* kOption = "OGR_CURRENT_DATE";
  static constexpr const char* kFixedTime = "2000-01-01T00:00:00.000Z";
  bool set_;
};

// The bands as a vector file of the driver, made in memory.
std::string BandsFile(const std::vector<MapBand>& bands, const std::string& crs, const char* driver,
                      const char* name) {
  QuietGdal quiet;
  const FixedChangeTime sameBytes;
  const std::unique_ptr<OGRSpatialReference> srs = SpatialReference(crs);
  if (!crs.empty() && srs == nullptr) Fail("unknown coordinate system");
  MemFolder folder;
  const std::string path = folder.File(name);
  GDALDatasetUniquePtr ds(Driver(driver)->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  if (!ds) Fail(std::string("cannot make the ") + driver + " file");
  OGRLayer* layer = ds->CreateLayer("isopleths", srs.get(), wkbMultiPolygon, nullptr);
  if (layer == nullptr) Fail("cannot make the layer");
  OGRFieldDefn band("band", OFTInteger);
  OGRFieldDefn lower("lower", OFTReal);
  OGRFieldDefn upper("upper", OFTReal);
  if (layer->CreateField(&band) != OGRERR_NONE || layer->CreateField(&lower) != OGRERR_NONE ||
      layer->CreateField(&upper) != OGRERR_NONE) {
    Fail("cannot make the fields");
  }
  for (const MapBand& b : bands) {
    OGRFeature feature(layer->GetLayerDefn());
    feature.SetField("band", b.Index);
    feature.SetField("lower", b.Lower);
    feature.SetField("upper", b.Upper);
    feature.SetGeometryDirectly(GeometryOf(b).release());
    if (layer->CreateFeature(&feature) != OGRERR_NONE) Fail("cannot write a band");
  }
  ds.reset();  // closes and completes the file
  if (CPLGetLastErrorType() >= CE_Failure) Fail(std::string("cannot complete the ") + driver + " file");
  return folder.Take(path);
}

void AddLines(const OGRGeometry* geometry, std::vector<MapRing>& out) {
  if (geometry == nullptr) return;
  const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
  if (type == wkbLineString || type == wkbLinearRing) {
    const auto* line = geometry->toSimpleCurve();
    MapRing points;
    points.reserve(static_cast<std::size_t>(line->getNumPoints()));
    for (int i = 0; i < line->getNumPoints(); ++i) points.emplace_back(line->getX(i), line->getY(i));
    out.push_back(std::move(points));
  } else if (type == wkbMultiLineString || type == wkbGeometryCollection) {
    const auto* collection = geometry->toGeometryCollection();
    for (int i = 0; i < collection->getNumGeometries(); ++i) AddLines(collection->getGeometryRef(i), out);
  }
}

// ---- the basemap ----------------------------------------------------------------------------

// `shown`: the file's name quoted, and a layer's of a file that holds several
// (`"roads.gpkg" layer "roads"`).
[[noreturn]] void FailLayer(const std::string& shown, const std::string& what) {
  throw GisError("basemap " + shown + ": " + what);
}

// GDAL's last message, on one line, after what went wrong.
std::string WithDetail(const std::string& what) {
  std::string detail = CPLGetLastErrorMsg();
  for (char& c : detail) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return detail.empty() ? what : what + " (" + detail + ")";
}

void CheckExists(const BasemapSource& s) {
  VSIStatBufL stat;
  if (VSIStatL(s.Path.c_str(), &stat) != 0) FailLayer(QuoteForMessage(s.Name), "no such file");
  if (VSI_ISDIR(stat.st_mode)) FailLayer(QuoteForMessage(s.Name), "is a folder, not a file");
}

// The coordinate system of a layer: its entry's, else the file's, else none.
std::unique_ptr<OGRSpatialReference> LayerSystem(const std::string& name, const BasemapSource& s,
                                                 const OGRSpatialReference* fromFile) {
  if (!s.Crs.empty()) {
    std::unique_ptr<OGRSpatialReference> srs = SpatialReference(s.Crs);
    if (srs == nullptr) FailLayer(name, "GDAL does not know the coordinate system " + QuoteForMessage(s.Crs));
    return srs;
  }
  if (fromFile == nullptr || fromFile->IsEmpty()) return nullptr;
  auto srs = std::make_unique<OGRSpatialReference>(*fromFile);
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

// Whether the layer must be reprojected to the site's system; refuses a layer that cannot be
// placed: one with a system when the site has none, one without when the site has one.
bool NeedsReprojection(const std::string& name, const OGRSpatialReference* layer,
                       const OGRSpatialReference* site) {
  if (site == nullptr) {
    if (layer != nullptr) {
      FailLayer(name, "has a coordinate system, but the site has no \"crs\" to place it in: give "
                      "the site's \"crs\"");
    }
    return false;
  }
  if (layer == nullptr) {
    FailLayer(name, "has no coordinate system: give it in the site file as {\"path\": ..., "
                    "\"crs\": \"EPSG:...\"}");
  }
  const char* options[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES", nullptr};
  return !layer->IsSame(site, options);
}

std::string WktOf(const OGRSpatialReference& srs) {
  char* wkt = nullptr;
  const char* options[] = {"FORMAT=WKT2_2018", nullptr};
  srs.exportToWkt(&wkt, options);
  std::string text = wkt != nullptr ? wkt : "";
  CPLFree(wkt);
  return text;
}

// A dataset made by one of GDAL's programs (gdal_translate, gdalwarp) with these arguments.
template <typename Options, typename New, typename Free, typename Run>
GDALDatasetUniquePtr RunGdalProgram(const std::vector<std::string>& arguments, New make, Free release,
                                    Run run) {
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  Options* options = make(argv.data(), nullptr);
  if (options == nullptr) return nullptr;
  GDALDatasetUniquePtr out(GDALDataset::FromHandle(run(options)));
  release(options);
  return out;
}

BasemapRaster ReadRaster(const BasemapSource& s, const OGRSpatialReference* site) {
  CheckExists(s);
  const char* drivers[] = {"GTiff", "PNG", "JPEG", nullptr};
  GDALDatasetUniquePtr source(
      GDALDataset::Open(s.Path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, drivers, nullptr, nullptr));
  if (!source) FailLayer(QuoteForMessage(s.Name), WithDetail("cannot be read as a GeoTIFF, PNG or JPEG picture"));
  double t[6];
  if (source->GetGeoTransform(t) != CE_None) {
    FailLayer(QuoteForMessage(s.Name), "has no place on the ground: give a GeoTIFF, or a PNG or JPEG with its world "
                      "file (.pgw, .jgw)");
  }
  const int bands = source->GetRasterCount();
  if (bands < 1 || bands > 4) {
    FailLayer(QuoteForMessage(s.Name), "has " + std::to_string(bands) + " bands: a basemap raster is a grey, palette, "
                      "RGB or RGBA picture");
  }
  for (int b = 1; b <= bands; ++b) {
    const GDALDataType type = source->GetRasterBand(b)->GetRasterDataType();
    if (type != GDT_Byte) {
      FailLayer(QuoteForMessage(s.Name), std::string("holds ") + GDALGetDataTypeName(type) + " values: a basemap "
                        "raster is a picture of 8-bit colours (grey, palette, RGB or RGBA)");
    }
  }
  const std::unique_ptr<OGRSpatialReference> own = LayerSystem(QuoteForMessage(s.Name), s, source->GetSpatialRef());
  const bool reproject = NeedsReprojection(QuoteForMessage(s.Name), own.get(), site);

  // A palette's colours first, then the warp: north up, in the site's system, the no-data
  // pixels and the ground beyond the picture transparent. Both are virtual: the pixels are made
  // when read, at the size read.
  GDALDatasetUniquePtr expanded;
  GDALDataset* input = source.get();
  if (bands == 1 && source->GetRasterBand(1)->GetColorTable() != nullptr) {
    GDALDatasetH in = source.get();
    expanded = RunGdalProgram<GDALTranslateOptions>(
        {"-of", "VRT", "-expand", "rgba"}, GDALTranslateOptionsNew, GDALTranslateOptionsFree,
        [&](GDALTranslateOptions* o) { return GDALTranslate("", in, o, nullptr); });
    if (!expanded) FailLayer(QuoteForMessage(s.Name), WithDetail("cannot read its palette"));
    input = expanded.get();
  }
  const int inputBands = input->GetRasterCount();
  std::vector<std::string> args = {"-of", "VRT", "-r", "bilinear"};
  if (input->GetRasterBand(inputBands)->GetColorInterpretation() != GCI_AlphaBand) {
    args.push_back("-dstalpha");
  }
  if (!s.Crs.empty()) args.insert(args.end(), {"-s_srs", WktOf(*own)});
  if (reproject) args.insert(args.end(), {"-t_srs", WktOf(*site)});
  GDALDatasetH in = input;
  GDALDatasetUniquePtr warped = RunGdalProgram<GDALWarpAppOptions>(
      args, GDALWarpAppOptionsNew, GDALWarpAppOptionsFree,
      [&](GDALWarpAppOptions* o) { return GDALWarp("", nullptr, 1, &in, o, nullptr); });
  if (!warped) FailLayer(QuoteForMessage(s.Name), WithDetail("cannot be placed in the site's coordinate system"));

  double w[6];
  warped->GetGeoTransform(w);
  const int columns = warped->GetRasterXSize();
  const int rows = warped->GetRasterYSize();
  const double shrink = std::max(1.0, static_cast<double>(std::max(columns, rows)) / kMaxBasemapRasterSide);
  BasemapRaster r;
  r.Columns = std::max(1, static_cast<int>(std::ceil(columns / shrink)));
  r.Rows = std::max(1, static_cast<int>(std::ceil(rows / shrink)));
  r.Left = w[0];
  r.Top = w[3];
  r.PixelWidth = w[1] * columns / r.Columns;
  r.PixelHeight = -w[5] * rows / r.Rows;
  const std::size_t count = static_cast<std::size_t>(r.Columns) * static_cast<std::size_t>(r.Rows);
  std::vector<unsigned char> channel(count);
  r.Rgba.assign(count * 4, 255);
  const int outBands = warped->GetRasterCount();  // grey + alpha, or RGB + alpha
  GDALRasterIOExtraArg extra;
  INIT_RASTERIO_EXTRA_ARG(extra);
  extra.eResampleAlg = shrink > 1 ? GRIORA_Average : GRIORA_NearestNeighbour;
  for (int b = 1; b <= outBands; ++b) {
    GDALRasterBand* band = warped->GetRasterBand(b);
    if (band->RasterIO(GF_Read, 0, 0, columns, rows, channel.data(), r.Columns, r.Rows, GDT_Byte, 0, 0,
                       &extra) != CE_None) {
      FailLayer(QuoteForMessage(s.Name), WithDetail("cannot be read"));
    }
    std::vector<int> targets;  // the RGBA channels the band fills
    if (band->GetColorInterpretation() == GCI_AlphaBand) {
      targets = {3};
    } else if (outBands <= 2) {
      targets = {0, 1, 2};
    } else if (b <= 3) {
      targets = {b - 1};
    }
    for (int target : targets) {
      for (std::size_t i = 0; i < count; ++i) r.Rgba[i * 4 + static_cast<std::size_t>(target)] = channel[i];
    }
  }
  return r;
}

// Moves the points into the site's system; false when one cannot be.
bool Reproject(MapRing& ring, OGRCoordinateTransformation& ct) {
  std::vector<double> x, y;
  x.reserve(ring.size());
  y.reserve(ring.size());
  for (const auto& [px, py] : ring) {
    x.push_back(px);
    y.push_back(py);
  }
  std::vector<int> ok(ring.size(), 0);
  if (!ct.Transform(ring.size(), x.data(), y.data(), nullptr, ok.data())) return false;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    if (!ok[i] || !std::isfinite(x[i]) || !std::isfinite(y[i])) return false;
    ring[i] = {x[i], y[i]};
  }
  return true;
}

void ReadVectors(const BasemapSource& s, const OGRSpatialReference* site, std::vector<MapRing>& lines,
                 std::vector<MapPolygon>& polygons, std::size_t& vertices) {
  CheckExists(s);
  const char* drivers[] = {"GPKG", "ESRI Shapefile", "GeoJSON", nullptr};
  GDALDatasetUniquePtr ds(
      GDALDataset::Open(s.Path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, nullptr, nullptr));
  if (!ds) FailLayer(QuoteForMessage(s.Name), WithDetail("cannot be read as a GeoPackage, shapefile or GeoJSON file"));
  const bool severalLayers = ds->GetLayerCount() > 1;
  for (OGRLayer* layer : ds->GetLayers()) {
    const std::string name =
        QuoteForMessage(s.Name) + (severalLayers ? " layer " + QuoteForMessage(layer->GetName()) : std::string());
    const std::unique_ptr<OGRSpatialReference> own = LayerSystem(name, s, layer->GetSpatialRef());
    std::unique_ptr<OGRCoordinateTransformation> ct;
    if (NeedsReprojection(name, own.get(), site)) {
      ct.reset(OGRCreateCoordinateTransformation(own.get(), site));
      if (!ct) FailLayer(name, WithDetail("cannot be reprojected to the site's coordinate system"));
    }
    std::vector<MapRing> layerLines;
    std::vector<MapPolygon> layerPolygons;
    layer->ResetReading();
    for (auto& feature : *layer) {
      const OGRGeometry* g = feature->GetGeometryRef();
      if (g == nullptr) continue;
      std::unique_ptr<OGRGeometry> linear(g->hasCurveGeometry() ? g->getLinearGeometry() : nullptr);
      if (linear) g = linear.get();
      AddLines(g, layerLines);
      AddPolygons(g, layerPolygons);
      for (const MapRing& l : layerLines) vertices += l.size();
      for (const MapPolygon& p : layerPolygons) {
        for (const MapRing& r : p.Rings) vertices += r.size();
      }
      if (vertices > kMaxBasemapVertices) {
        FailLayer(name, "the basemap has more than " + std::to_string(kMaxBasemapVertices) +
                            " vertices: cut the layers to the site's ground");
      }
      // A shape with a point the site's system cannot hold (beyond its zone) is left out.
      for (MapRing& l : layerLines) {
        if (!ct || Reproject(l, *ct)) lines.push_back(std::move(l));
      }
      for (MapPolygon& p : layerPolygons) {
        bool placed = true;
        for (MapRing& r : p.Rings) placed = placed && (!ct || Reproject(r, *ct));
        if (placed) polygons.push_back(std::move(p));
      }
      layerLines.clear();
      layerPolygons.clear();
    }
  }
}

}  // namespace

MapBasemap ReadBasemap(const std::optional<BasemapSource>& raster,
                       const std::vector<BasemapSource>& vectors, const std::string& siteCrs) {
  QuietGdal quiet;
  const std::unique_ptr<OGRSpatialReference> site = SpatialReference(siteCrs);
  if (!siteCrs.empty() && site == nullptr) Fail("unknown coordinate system");
  BasemapRaster r;
  if (raster) r = ReadRaster(*raster, site.get());
  std::vector<MapRing> lines;
  std::vector<MapPolygon> polygons;
  std::size_t vertices = 0;
  for (const BasemapSource& v : vectors) ReadVectors(v, site.get(), lines, polygons, vertices);
  return MakeBasemap(std::move(r), std::move(lines), std::move(polygons));
}

std::optional<std::string> CrsProblem(std::string_view crs) {
  QuietGdal quiet;
  const std::unique_ptr<OGRSpatialReference> srs = SpatialReference(crs);
  if (srs == nullptr) {
    return "GDAL does not know the coordinate system " + QuoteForMessage(crs) +
           " (give it as \"EPSG:6677\" or as WKT)";
  }
  if (srs->IsGeographic()) {
    return QuoteForMessage(crs) + " is geographic (degrees), but x and y are metres: give a "
           "projected system such as EPSG:6677";
  }
  if (srs->IsProjected() && std::fabs(srs->GetLinearUnits() - 1.0) > 1e-12) {
    return QuoteForMessage(crs) + " does not count in metres, but x and y are metres";
  }
  return std::nullopt;
}

std::string GeoTiffBytes(const GridRaster& grid) {
  CheckGrid(grid);
  QuietGdal quiet;
  const std::unique_ptr<OGRSpatialReference> srs = SpatialReference(grid.Crs);
  if (!grid.Crs.empty() && srs == nullptr) Fail("unknown coordinate system");
  MemFolder folder;
  const std::string path = folder.File("grid.tif");
  char** options = nullptr;
  options = CSLSetNameValue(options, "COMPRESS", "DEFLATE");
  options = CSLSetNameValue(options, "PREDICTOR", "3");
  GDALDatasetUniquePtr ds(Driver("GTiff")->Create(path.c_str(), static_cast<int>(grid.X.size()),
                                                  static_cast<int>(grid.Y.size()), 1, GDT_Float32,
                                                  options));
  CSLDestroy(options);
  if (!ds) Fail("cannot make the GeoTIFF file");
  FillRaster(*ds, grid, srs.get());
  ds.reset();
  if (CPLGetLastErrorType() >= CE_Failure) Fail("cannot complete the GeoTIFF file");
  return folder.Take(path);
}

std::vector<MapBand> IsoplethBands(const GridRaster& grid, const std::vector<double>& levels) {
  CheckGrid(grid);
  std::vector<MapBand> bands;
  float lo = std::numeric_limits<float>::quiet_NaN();
  float hi = lo;
  for (float v : grid.Values) {
    if (std::isnan(v)) continue;
    if (std::isnan(lo) || v < lo) lo = v;
    if (std::isnan(hi) || v > hi) hi = v;
  }
  if (levels.empty() || std::isnan(lo)) return bands;

  QuietGdal quiet;
  GDALDatasetUniquePtr raster(Driver("MEM")->Create("", static_cast<int>(grid.X.size()),
                                                    static_cast<int>(grid.Y.size()), 1, GDT_Float32, nullptr));
  if (!raster) Fail("cannot hold the grid");
  FillRaster(*raster, grid, nullptr);

  GDALDatasetUniquePtr vectors(Driver("Memory")->Create("", 0, 0, 0, GDT_Unknown, nullptr));
  if (!vectors) Fail("cannot hold the bands");
  OGRLayer* layer = vectors->CreateLayer("bands", nullptr, wkbMultiPolygon, nullptr);
  OGRFieldDefn id("id", OFTInteger);
  OGRFieldDefn lower("lower", OFTReal);
  OGRFieldDefn upper("upper", OFTReal);
  if (layer == nullptr || layer->CreateField(&id) != OGRERR_NONE ||
      layer->CreateField(&lower) != OGRERR_NONE || layer->CreateField(&upper) != OGRERR_NONE) {
    Fail("cannot hold the bands");
  }

  std::string fixed = "FIXED_LEVELS=";
  for (std::size_t i = 0; i < levels.size(); ++i) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", levels[i]);
    fixed += (i ? "," : "") + std::string(buf);
  }
  char nodata[64];
  std::snprintf(nodata, sizeof nodata, "NODATA=%.17g", kGridNoData);
  const char* options[] = {fixed.c_str(), "POLYGONIZE=YES", "ID_FIELD=0", "ELEV_FIELD_MIN=1",
                           "ELEV_FIELD_MAX=2", nodata, nullptr};
  if (GDALContourGenerateEx(raster->GetRasterBand(1), layer, options, nullptr, nullptr) != CE_None) {
    Fail("cannot draw the isopleths");
  }

  const int n = static_cast<int>(levels.size());
  std::vector<MapBand> byIndex(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) {
    MapBand& b = byIndex[static_cast<std::size_t>(i)];
    b.Index = i;
    b.Lower = i == 0 ? static_cast<double>(lo) : levels[static_cast<std::size_t>(i - 1)];
    b.Upper = i == n ? static_cast<double>(hi) : levels[static_cast<std::size_t>(i)];
  }
  layer->ResetReading();
  for (auto& feature : *layer) {
    // A band is known by its upper level; the band above the last level has none of them.
    const double upperLevel = feature->GetFieldAsDouble(2);
    int index = n;
    for (int i = 0; i < n; ++i) {
      if (levels[static_cast<std::size_t>(i)] == upperLevel) index = i;
    }
    AddPolygons(feature->GetGeometryRef(), byIndex[static_cast<std::size_t>(index)].Polygons);
  }
  for (MapBand& b : byIndex) {
    if (!b.Polygons.empty()) bands.push_back(std::move(b));
  }
  return bands;
}

std::string GeoPackageBytes(const std::vector<MapBand>& bands, const std::string& crs) {
  return BandsFile(bands, crs, "GPKG", "isopleths.gpkg");
}

std::string GeoJsonBytes(const std::vector<MapBand>& bands, const std::string& crs) {
  return BandsFile(bands, crs, "GeoJSON", "isopleths.geojson");
}

}  // namespace vmk
