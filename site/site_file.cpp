#include "site/site_file.h"

#include <cmath>
#include <filesystem>
#include <set>

#include "casefile/input_help.h"
#include "common/json_document.h"
#include "common/number_read.h"
#include "input/model_parameters.h"
#include "platform/files.h"
#include "site/site_json.h"

namespace vmk {

using platform::PathFromUtf8;
using platform::PathToUtf8;
using Json = nlohmann::json;

const Json& SiteJsonObject(const Json& v, const std::string& where) {
  if (!v.is_object()) FailJsonValue(where, "must be an object, not " + JsonTypeName(v));
  return v;
}

double SiteJsonNumber(const Json& v, const std::string& where) {
  if (!v.is_number()) FailJsonValue(where, "must be a number, not " + JsonTypeName(v));
  const double d = v.get<double>();
  if (!std::isfinite(d)) FailJsonValue(where, "must be a finite number");
  return d;
}

std::string SiteJsonName(const Json& v, const std::string& where) {
  std::string name = JsonStringValue(v, where);
  if (name.empty()) FailJsonValue(where, "must not be empty");
  if (name.size() > kMaxSiteNameBytes) {
    FailJsonValue(where, "is longer than " + std::to_string(kMaxSiteNameBytes) + " bytes");
  }
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7f) FailJsonValue(where, "must not hold control characters");
  }
  return name;
}

CaseStep SiteJsonControls(const Json& v, const std::string& where, bool forStack) {
  SiteJsonObject(v, where);
  for (const auto& [key, value] : v.items()) {
    for (std::string_view owned : kSiteOwnedControls) {
      if (key == owned) {
        FailJsonValue(where, QuoteForMessage(key) +
                                 " cannot be set here: the met file and the receptors give it");
      }
    }
    if (forStack && key == "HrpEdit") {
      FailJsonValue(where,
                    "\"HrpEdit\" cannot be set for one stack: the receptor height is \"common\" "
                    "(the default) or a point's \"z\"");
    }
  }
  try {
    CaseFile file = ParseCaseFile(v.dump());
    return file.Steps.empty() ? CaseStep{} : std::move(file.Steps.front());
  } catch (const CaseFileError& e) {
    FailJsonValue(where, e.what());
  }
}

std::vector<double> SiteJsonLevels(const Json& v, const std::string& where) {
  if (!v.is_array() || v.empty()) {
    FailJsonValue(where, "must be a list of isopleth levels, lowest first");
  }
  if (v.size() > kMaxSiteLevels) FailJsonValue(where, "holds more than " + std::to_string(kMaxSiteLevels) + " levels");
  std::vector<double> levels;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const double d = SiteJsonNumber(v[i], where + "[" + std::to_string(i + 1) + "]");
    if (!levels.empty() && !(d > levels.back())) {
      FailJsonValue(where, "must rise from each level to the next");
    }
    levels.push_back(d);
  }
  return levels;
}

namespace {

double Coordinate(const Json& v, const std::string& where) {
  const double d = SiteJsonNumber(v, where);
  if (std::fabs(d) > kMaxSiteCoordinate) {
    FailJsonValue(where, "lies beyond 1e9 m: not a coordinate");
  }
  return d;
}

MetStats Met(const Json& v, const std::string& baseDir, std::string& source) {
  if (v.is_string()) {
    const std::string written = v.get<std::string>();
    if (written.empty()) FailJsonValue("met", "must name the met statistics file");
    const std::filesystem::path full = PathFromUtf8(baseDir) / PathFromUtf8(written);
    source = written;
    std::string bytes;
    try {
      bytes = ReadFileBytes(PathToUtf8(full));
    } catch (const JsonFileError& e) {
      FailJsonValue("met file " + QuoteForMessage(written), e.what());
    }
    try {
      return ParseMetStats(bytes);
    } catch (const MetStatsError& e) {
      FailJsonValue("met file " + QuoteForMessage(written), e.what());
    }
  }
  if (v.is_object()) {
    source = "(in the site file)";
    try {
      return ParseMetStats(v.dump());
    } catch (const MetStatsError& e) {
      FailJsonValue("met", e.what());
    }
  }
  FailJsonValue("met", "must be the path of a met statistics file or the object itself, not " +
                           JsonTypeName(v));
}

AxisSteps Axis(std::string_view text, const std::string& where) {
  RangeSteps<double> steps;
  if (ReadRangeSteps(text, steps)) {
    FailJsonValue(where, "must be \"FROM:TO:N\", such as \"-5000:5000:201\", not " +
                             QuoteForMessage(text));
  }
  if (steps.N < 1 || steps.N > static_cast<long long>(kMaxSiteReceptors)) {
    FailJsonValue(where, "N must be from 1 to " + std::to_string(kMaxSiteReceptors));
  }
  return AxisSteps{steps.From, steps.To, static_cast<int>(steps.N)};
}

GridDefinition Grid(const Json& v, const std::string& where) {
  SiteJsonObject(v, where);
  CheckJsonKeys(v, {"x", "y"}, where, true);
  GridDefinition g;
  const std::string xw = JsonMemberPlace(where, "x");
  const std::string yw = JsonMemberPlace(where, "y");
  g.X = Axis(JsonStringValue(RequiredJsonMember(v, "x", where), xw), xw);
  g.Y = Axis(JsonStringValue(RequiredJsonMember(v, "y", where), yw), yw);
  for (const auto& [axis, name] : {std::pair{g.X, "x"}, std::pair{g.Y, "y"}}) {
    const std::string w = JsonMemberPlace(where, name);
    if (axis.N < 2) FailJsonValue(w, "needs at least 2 values");
    if (!(axis.From < axis.To)) FailJsonValue(w, "FROM must be less than TO");
    if (std::fabs(axis.From) > kMaxSiteCoordinate || std::fabs(axis.To) > kMaxSiteCoordinate) {
      FailJsonValue(w, "lies beyond 1e9 m: not a coordinate");
    }
  }
  const std::size_t count = static_cast<std::size_t>(g.X.N) * static_cast<std::size_t>(g.Y.N);
  if (count > kMaxSiteReceptors) {
    FailJsonValue(where, std::to_string(g.X.N) + " x " + std::to_string(g.Y.N) +
                             " receptors are more than " + std::to_string(kMaxSiteReceptors));
  }
  return g;
}

PolarDefinition Polar(const Json& v, const std::string& where) {
  SiteJsonObject(v, where);
  CheckJsonKeys(v, {"center", "distances", "log"}, where, true);
  PolarDefinition p;
  const Json& center = RequiredJsonMember(v, "center", where);
  const std::string cw = JsonMemberPlace(where, "center");
  if (!center.is_array() || center.size() != 2) FailJsonValue(cw, "must be [x, y] (m)");
  p.CenterX = Coordinate(center[0], cw + "[1]");
  p.CenterY = Coordinate(center[1], cw + "[2]");
  const std::string dw = JsonMemberPlace(where, "distances");
  p.Distances = Axis(JsonStringValue(RequiredJsonMember(v, "distances", where), dw), dw);
  if (const Json* log = FindJsonMember(v, "log")) {
    if (!log->is_boolean()) FailJsonValue(JsonMemberPlace(where, "log"), "must be true or false");
    p.Log = log->get<bool>();
  }
  const AxisSteps& d = p.Distances;
  // Compared as the window compares them: the distances are single-precision values.
  if (!(static_cast<float>(d.From) >= RLowerLimit && static_cast<float>(d.To) <= RUpperLimit)) {
    const DistanceRangeText range = ReceptorDistanceRange();
    FailJsonValue(dw, "must lie from " + range.From + " to " + range.To +
                          " m, the receptor distances the window accepts");
  }
  if (d.N == 1 ? d.From != d.To : !(d.From < d.To)) {
    FailJsonValue(dw, "FROM must be less than TO (or equal to it for one distance)");
  }
  if (d.N > static_cast<int>(kMaxSiteReceptors / kDirections)) {
    FailJsonValue(dw, std::to_string(kDirections) + " x " + std::to_string(d.N) + " receptors are more than " +
                          std::to_string(kMaxSiteReceptors));
  }
  return p;
}

std::vector<PointDefinition> Points(const Json& v, const std::string& where) {
  if (!v.is_array()) {
    FailJsonValue(where, "must be a list of {\"name\", \"x\", \"y\"}, not " + JsonTypeName(v));
  }
  if (v.size() > kMaxSiteReceptors) FailJsonValue(where, "holds more than " + std::to_string(kMaxSiteReceptors) + " points");
  std::vector<PointDefinition> points;
  std::set<std::string> names;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = where + "[" + std::to_string(i + 1) + "]";
    const Json& p = SiteJsonObject(v[i], w);
    CheckJsonKeys(p, {"name", "x", "y", "z"}, w, true);
    PointDefinition s;
    s.Name = SiteJsonName(RequiredJsonMember(p, "name", w), JsonMemberPlace(w, "name"));
    if (!names.insert(s.Name).second) {
      FailJsonValue(w, "a second point named " + QuoteForMessage(s.Name));
    }
    s.X = Coordinate(RequiredJsonMember(p, "x", w), JsonMemberPlace(w, "x"));
    s.Y = Coordinate(RequiredJsonMember(p, "y", w), JsonMemberPlace(w, "y"));
    if (const Json* z = FindJsonMember(p, "z")) s.Z = SiteJsonNumber(*z, JsonMemberPlace(w, "z"));
    points.push_back(std::move(s));
  }
  return points;
}

std::vector<StackDefinition> Stacks(const Json& v) {
  const std::string where = "sources";
  if (!v.is_array()) FailJsonValue(where, "must be a list of stacks, not " + JsonTypeName(v));
  if (v.empty()) FailJsonValue(where, "names no stack");
  if (v.size() > kMaxSiteStacks) FailJsonValue(where, "holds more than " + std::to_string(kMaxSiteStacks) + " stacks");
  std::vector<StackDefinition> stacks;
  std::set<std::string> names;
  for (std::size_t i = 0; i < v.size(); ++i) {
    std::string w = where + "[" + std::to_string(i + 1) + "]";
    const Json& s = SiteJsonObject(v[i], w);
    CheckJsonKeys(s, {"name", "x", "y", "controls"}, w, true);
    StackDefinition stack;
    stack.Name = SiteJsonName(RequiredJsonMember(s, "name", w), JsonMemberPlace(w, "name"));
    if (!names.insert(stack.Name).second) {
      FailJsonValue(w, "a second stack named " + QuoteForMessage(stack.Name));
    }
    w = "stack " + QuoteForMessage(stack.Name);
    stack.X = Coordinate(RequiredJsonMember(s, "x", w), JsonMemberPlace(w, "x"));
    stack.Y = Coordinate(RequiredJsonMember(s, "y", w), JsonMemberPlace(w, "y"));
    if (const Json* c = FindJsonMember(s, "controls")) {
      stack.Controls = SiteJsonControls(*c, JsonMemberPlace(w, "controls"), true);
    }
    stacks.push_back(std::move(stack));
  }
  return stacks;
}

// A basemap file: "PATH" or {"path": "PATH", "crs": "EPSG:..."}. Only the name is checked
// here; the map reads the file.
BasemapLayerDefinition BasemapLayer(const Json& v, const std::string& where, const std::string& baseDir) {
  BasemapLayerDefinition layer;
  std::string pathWhere = where;
  const Json* path = &v;
  if (v.is_object()) {
    CheckJsonKeys(v, {"path", "crs"}, where, true);
    pathWhere = JsonMemberPlace(where, "path");
    path = &RequiredJsonMember(v, "path", where);
    if (const Json* crs = FindJsonMember(v, "crs")) {
      const std::string crsWhere = JsonMemberPlace(where, "crs");
      layer.Crs = JsonStringValue(*crs, crsWhere);
      if (layer.Crs.empty()) FailJsonValue(crsWhere, "must name a coordinate system, such as \"EPSG:6677\"");
    }
  } else if (!v.is_string()) {
    FailJsonValue(where, "must be a file's path or {\"path\", \"crs\"}, not " + JsonTypeName(v));
  }
  layer.Path = JsonStringValue(*path, pathWhere);
  if (layer.Path.empty()) FailJsonValue(pathWhere, "must name a file");
  for (unsigned char c : layer.Path) {
    if (c < 0x20 || c == 0x7f) FailJsonValue(pathWhere, "must not hold control characters");
  }
  const std::filesystem::path full = PathFromUtf8(baseDir) / PathFromUtf8(layer.Path);
  layer.FullPath = PathToUtf8(full);
  // GDAL would read "/vsi..." names from archives or the network: only plain files are taken.
  if (layer.FullPath.rfind("/vsi", 0) == 0 || layer.Path.rfind("/vsi", 0) == 0) {
    FailJsonValue(pathWhere, "must be a plain file's path, not " + QuoteForMessage(layer.Path));
  }
  return layer;
}

BasemapDefinition Basemap(const Json& v, const std::string& baseDir) {
  const std::string where = "basemap";
  SiteJsonObject(v, where);
  CheckJsonKeys(v, {"raster", "vectors"}, where, true);
  BasemapDefinition b;
  if (const Json* r = FindJsonMember(v, "raster")) {
    b.Raster = BasemapLayer(*r, JsonMemberPlace(where, "raster"), baseDir);
  }
  if (const Json* vs = FindJsonMember(v, "vectors")) {
    const std::string vw = JsonMemberPlace(where, "vectors");
    if (!vs->is_array()) FailJsonValue(vw, "must be a list of files, not " + JsonTypeName(*vs));
    if (vs->size() > kMaxBasemapVectors) {
      FailJsonValue(vw, "holds more than " + std::to_string(kMaxBasemapVectors) + " files");
    }
    for (std::size_t i = 0; i < vs->size(); ++i) {
      b.Vectors.push_back(BasemapLayer((*vs)[i], vw + "[" + std::to_string(i + 1) + "]", baseDir));
    }
  }
  if (!b.Raster && b.Vectors.empty()) FailJsonValue(where, "names no file: give a \"raster\" or \"vectors\"");
  return b;
}

// The site file's problems raise JsonFileError; ParseSiteFile makes them SiteError.
SiteDefinition Site(std::string_view text, const std::string& baseDir) {
  const Json doc = ParseJsonDocument(text, "a site file");
  if (!doc.is_object()) {
    FailJsonValue("", "a site file holds one object, not " + JsonTypeName(doc));
  }
  const Json* format = FindJsonMember(doc, "format");
  if (format == nullptr || !format->is_string() || format->get<std::string>() != kSiteFormat) {
    FailJsonValue("", "not a site file: \"format\" must be \"" + std::string(kSiteFormat) + "\"");
  }
  CheckJsonKeys(doc,
                {"format", "met", "common", "sources", "receptors", "sectors", "levels", "crs", "basemap",
                 "pollutants"},
                "", true);

  SiteDefinition site;
  site.Met = Met(RequiredJsonMember(doc, "met", ""), baseDir, site.MetSource);
  if (const Json* common = FindJsonMember(doc, "common")) {
    site.Common = SiteJsonControls(*common, "common", false);
  }
  site.Stacks = Stacks(RequiredJsonMember(doc, "sources", ""));

  const Json& receptors = SiteJsonObject(RequiredJsonMember(doc, "receptors", ""), "receptors");
  CheckJsonKeys(receptors, {"grid", "polar", "points"}, "receptors", true);
  if (const Json* g = FindJsonMember(receptors, "grid")) site.Grid = Grid(*g, "receptors.grid");
  if (const Json* p = FindJsonMember(receptors, "polar")) site.Polar = Polar(*p, "receptors.polar");
  if (const Json* p = FindJsonMember(receptors, "points")) {
    site.Points = Points(*p, "receptors.points");
  }
  if (!site.Grid && !site.Polar && site.Points.empty()) {
    FailJsonValue("receptors",
                  "names no receptor: give a \"grid\", a \"polar\" set or \"points\"");
  }
  std::size_t count = site.Points.size();
  if (site.Grid) count += static_cast<std::size_t>(site.Grid->X.N) * static_cast<std::size_t>(site.Grid->Y.N);
  if (site.Polar) count += static_cast<std::size_t>(kDirections) * static_cast<std::size_t>(site.Polar->Distances.N);
  if (count > kMaxSiteReceptors) {
    FailJsonValue("receptors", std::to_string(count) + " receptors are more than " +
                                   std::to_string(kMaxSiteReceptors));
  }
  if (const Json* p = FindJsonMember(doc, "pollutants")) {
    std::vector<std::string> names;
    for (const StackDefinition& s : site.Stacks) names.push_back(s.Name);
    site.Pollutants = ReadPollutants(*p, names, baseDir);
  }
  // Every pollutant is a run of its own, kept for the tables, the maps and the window.
  std::size_t values = count * (site.Stacks.size() + 1);
  for (const PollutantDefinition& p : site.Pollutants) {
    std::size_t emitting = 0;
    for (const PollutantStack& s : p.Stacks) emitting += s.Emits ? 1 : 0;
    values += count * (emitting + 1);
  }
  if (values > kMaxSiteValues) {
    FailJsonValue("receptors",
                  std::to_string(count) + " receptors for " + std::to_string(site.Stacks.size()) +
                      " stacks" +
                      (site.Pollutants.empty() ? std::string()
                                               : " and " + std::to_string(site.Pollutants.size()) + " pollutants") +
                      " need more than " + std::to_string(kMaxSiteValues) +
                      " values: use fewer receptors or stacks");
  }

  if (const Json* s = FindJsonMember(doc, "sectors")) {
    const std::string mode = JsonStringValue(*s, "sectors");
    if (mode == "sector") {
      site.Sectors = SectorMode::Sector;
    } else if (mode == "smooth") {
      site.Sectors = SectorMode::Smooth;
    } else {
      FailJsonValue("sectors", "must be \"sector\" or \"smooth\", not " + QuoteForMessage(mode));
    }
  }
  if (const Json* l = FindJsonMember(doc, "levels")) site.Levels = SiteJsonLevels(*l, "levels");
  if (const Json* c = FindJsonMember(doc, "crs")) {
    site.Crs = JsonStringValue(*c, "crs");
    if (site.Crs.empty()) {
      FailJsonValue("crs", "must name a coordinate system, such as \"EPSG:6677\"");
    }
  }
  if (const Json* b = FindJsonMember(doc, "basemap")) site.Basemap = Basemap(*b, baseDir);
  return site;
}

}  // namespace

std::vector<double> AxisValues(const AxisSteps& axis) {
  std::vector<double> v;
  if (axis.N < 1) return v;
  v.reserve(static_cast<std::size_t>(axis.N));
  if (axis.N == 1) {
    v.push_back(axis.From);
    return v;
  }
  for (int i = 0; i < axis.N; ++i) {
    const long double t = static_cast<long double>(i) / (axis.N - 1);
    v.push_back(static_cast<double>(axis.From + (static_cast<long double>(axis.To) - axis.From) * t));
  }
  v.front() = axis.From;
  v.back() = axis.To;
  return v;
}

DistanceRangeText ReceptorDistanceRange() {
  return {LimitText(RLowerLimit, InputKind::Real), LimitText(RUpperLimit, InputKind::Real)};
}

namespace {

// The place a line of the reader starts with ("sources[2].x: ..."): a key of the site file or
// a named stack, point or met file, up to the first ": " outside a quoted name; or nothing for
// a line about the whole file ("not valid JSON: ...").
std::size_t PlaceLength(std::string_view line) {
  static constexpr std::string_view kHeads[] = {"format", "met", "common", "sources", "receptors", "levels",
                                                "sectors", "crs", "basemap", "pollutants", "stack \"", "point \"",
                                                "pollutant \""};
  bool known = false;
  for (std::string_view head : kHeads) {
    if (!line.starts_with(head)) continue;
    const char next = line.size() > head.size() ? line[head.size()] : '\0';
    known = known || head.back() == '"' || next == ':' || next == '.' || next == '[' || next == ' ';
  }
  if (!known) return 0;
  bool quoted = false;
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    if (quoted && line[i] == '\\') {
      ++i;
    } else if (line[i] == '"') {
      quoted = !quoted;
    } else if (!quoted && line[i] == ':' && line[i + 1] == ' ') {
      return i;
    }
  }
  return 0;
}

// A value of the file by its place, or the whole file.
SiteProblem FileProblem(const JsonFileError& e) {
  const std::string_view line = e.what();
  SiteProblem p;
  p.What = SiteProblem::Kind::FileValue;
  const std::size_t n = PlaceLength(line);
  p.Place = std::string(line.substr(0, n));
  p.Detail = std::string(n == 0 ? line : line.substr(n + 2));
  return p;
}

}  // namespace

SiteDefinition ParseSiteFile(std::string_view text, const std::string& baseDir) {
  try {
    return Site(text, baseDir);
  } catch (const JsonFileError& e) {
    throw SiteError(e.what(), FileProblem(e));
  }
}

BasemapDefinition ParseBasemapBlock(std::string_view text, const std::string& baseDir) {
  try {
    return Basemap(ParseJsonDocument(text, "a basemap"), baseDir);
  } catch (const JsonFileError& e) {
    throw SiteError(e.what(), FileProblem(e));
  }
}

SiteDefinition ReadSiteFile(const std::string& path) {
  std::string bytes;
  try {
    bytes = ReadFileBytes(path);
  } catch (const JsonFileError& e) {
    throw SiteError(e.what(), FileProblem(e));
  }
  const std::filesystem::path p = PathFromUtf8(path);
  return ParseSiteFile(bytes, PathToUtf8(p.parent_path()));
}

}  // namespace vmk
