// The site file: every bad input is one clear line naming its place, and random site files
// never crash the reader, the checks or the computation.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "scratch_files.h"
#include "site/site_summary.h"
#include "site/site_tables.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using namespace site_test;

// The message of the first problem of the site file (text or document), or "" when it is
// fine.
std::string ProblemOfText(const std::string& text) {
  try {
    PlanSite(ParseSiteFile(text, "."));
  } catch (const SiteError& e) {
    return e.what();
  }
  return "";
}

std::string Problem(const Json& site) { return ProblemOfText(site.dump()); }

struct BadCase {
  const char* What;
  std::function<void(Json&)> Change;
  const char* Message;  // a part of the one line
};

TEST(SiteFile, EveryBadInputIsOneClearLine) {
  const std::vector<BadCase> cases = {
      {"format", [](Json& s) { s["format"] = "vmk-site/2"; }, "not a site file: \"format\" must be \"vmk-site/1\""},
      {"unknown key", [](Json& s) { s["colour"] = "red"; }, "unknown key \"colour\""},
      {"no met", [](Json& s) { s.erase("met"); }, "the key \"met\" is missing"},
      {"met file missing", [](Json& s) { s["met"] = "no-such-met.json"; }, "met file \"no-such-met.json\": cannot open"},
      {"met malformed", [](Json& s) { s["met"]["validHours"] = 0; }, "met: validHours: 0 is not from 1 to 8784 hours"},
      {"met wrong type", [](Json& s) { s["met"] = 5; }, "met: must be the path of a met statistics file or the object itself"},
      {"no stacks", [](Json& s) { s["sources"] = Json::array(); }, "sources: names no stack"},
      {"stacks not a list", [](Json& s) { s["sources"] = Json::object(); }, "sources: must be a list of stacks, not an object"},
      {"same name", [](Json& s) { s["sources"][1]["name"] = "煙突A"; }, "sources[2]: a second stack named \"煙突A\""},
      {"empty name", [](Json& s) { s["sources"][0]["name"] = ""; }, "sources[1].name: must not be empty"},
      {"x a string", [](Json& s) { s["sources"][1]["x"] = "300"; }, "stack \"No.2\".x: must be a number, not a string"},
      {"far away", [](Json& s) { s["sources"][1]["y"] = 2e9; }, "stack \"No.2\".y: lies beyond 1e9 m"},
      {"stack key", [](Json& s) { s["sources"][0]["height"] = 3; }, "sources[1]: unknown key \"height\""},
      {"XrpEdit", [](Json& s) { s["common"]["XrpEdit"] = "100"; }, "common: \"XrpEdit\" cannot be set here"},
      {"FreqTotalEdit", [](Json& s) { s["sources"][0]["controls"]["FreqTotalEdit"] = "8760"; },
       "stack \"煙突A\".controls: \"FreqTotalEdit\" cannot be set here"},
      {"MetStringGrid", [](Json& s) { s["common"]["MetStringGrid"] = {{"4,8", "100"}}; }, "\"MetStringGrid\" cannot be set here"},
      {"WDEdit", [](Json& s) { s["common"]["WDEdit"] = "N"; }, "\"WDEdit\" cannot be set here"},
      {"memoOption", [](Json& s) { s["common"]["memoOption"] = "@WA:1@"; }, "\"memoOption\" cannot be set here"},
      {"stack height", [](Json& s) { s["sources"][1]["controls"]["HrpEdit"] = "3"; }, "\"HrpEdit\" cannot be set for one stack"},
      {"unknown control", [](Json& s) { s["common"]["FooEdit"] = "1"; }, "common: unknown key \"FooEdit\": not a control of the window"},
      {"control type", [](Json& s) { s["sources"][0]["controls"]["QgEdit"] = 30; }, "\"QgEdit\" must be a string (the field's text), not a number"},
      {"window rule", [](Json& s) { s["sources"][1]["controls"]["QgEdit"] = "10001.1"; }, "stack \"No.2\": Error: Qg"},
      {"window rule common", [](Json& s) { s["common"]["kEdit"] = "x"; }, "stack \"煙突A\": Error: NOx変換 k"},
      {"T<Ta", [](Json& s) { s["sources"][0]["controls"]["TempGEdit"] = "10"; }, "stack \"煙突A\": T<Ta"},
      {"speed", [](Json& s) { s["met"]["representativeSpeeds"][2] = 25; }, "stack \"煙突A\": Error: 代表風速(有風 1)"},
      {"no receptors", [](Json& s) { s["receptors"] = Json::object(); }, "receptors: names no receptor"},
      {"receptor key", [](Json& s) { s["receptors"]["line"] = 1; }, "receptors: unknown key \"line\""},
      {"axis text", [](Json& s) { s["receptors"]["grid"]["x"] = "1:2"; }, "receptors.grid.x: must be \"FROM:TO:N\""},
      {"axis number", [](Json& s) { s["receptors"]["grid"]["y"] = 5; }, "receptors.grid.y: must be a string, not a number"},
      {"axis one", [](Json& s) { s["receptors"]["grid"]["x"] = "0:0:1"; }, "receptors.grid.x: needs at least 2 values"},
      {"axis reversed", [](Json& s) { s["receptors"]["grid"]["x"] = "500:-500:5"; }, "receptors.grid.x: FROM must be less than TO"},
      {"big grid", [](Json& s) { s["receptors"]["grid"] = {{"x", "0:2000:2001"}, {"y", "0:2000:2000"}}; },
       "receptors.grid: 2001 x 2000 receptors are more than 4000000"},
      {"big site", [](Json& s) {
         s["receptors"]["grid"] = {{"x", "0:2000:2000"}, {"y", "0:2000:2000"}};
         s["receptors"]["polar"] = {{"center", {0, 0}}, {"distances", "1:100:10"}};
       }, "receptors: 4000161 receptors are more than 4000000"},
      {"many values", [](Json& s) {
         s["receptors"]["grid"] = {{"x", "0:2000:1000"}, {"y", "0:2000:1000"}};
         for (int i = 0; i < 70; ++i) s["sources"].push_back({{"name", "s" + std::to_string(i)}, {"x", 0}, {"y", 0}});
       }, "need more than 64000000 values"},
      {"polar near", [](Json& s) { s["receptors"]["polar"] = {{"center", {0, 0}}, {"distances", "0.05:100:3"}}; },
       "receptors.polar.distances: must lie from 0.09999 to 100001 m"},
      {"polar centre", [](Json& s) { s["receptors"]["polar"] = {{"center", {0}}, {"distances", "1:100:3"}}; },
       "receptors.polar.center: must be [x, y] (m)"},
      {"polar log", [](Json& s) { s["receptors"]["polar"] = {{"center", {0, 0}}, {"distances", "1:100:3"}, {"log", "yes"}}; },
       "receptors.polar.log: must be true or false"},
      {"same point", [](Json& s) { s["receptors"]["points"].push_back({{"name", "p"}, {"x", 0}, {"y", 1}}); },
       "receptors.points[2]: a second point named \"p\""},
      {"point key", [](Json& s) { s["receptors"]["points"][0]["h"] = 1; }, "receptors.points[1]: unknown key \"h\""},
      {"point height", [](Json& s) { s["receptors"]["points"][0]["z"] = 400; }, "point \"p\": Error: 予測点 z"},
      {"point name", [](Json& s) { s["receptors"]["points"][0]["name"] = "a\nb"; }, "must not hold control characters"},
      {"sectors", [](Json& s) { s["sectors"] = "wedge"; }, "sectors: must be \"sector\" or \"smooth\", not \"wedge\""},
      {"levels order", [](Json& s) { s["levels"] = {0.1, 0.05}; }, "levels: must rise from each level to the next"},
      {"levels type", [](Json& s) { s["levels"] = {0.1, "0.2"}; }, "levels[2]: must be a number, not a string"},
      {"levels empty", [](Json& s) { s["levels"] = Json::array(); }, "levels: must be a list of isopleth levels"},
      {"crs empty", [](Json& s) { s["crs"] = ""; }, "crs: must name a coordinate system"},
      {"crs type", [](Json& s) { s["crs"] = 6677; }, "crs: must be a string, not a number"},
      {"basemap type", [](Json& s) { s["basemap"] = "roads.geojson"; }, "basemap: must be an object, not a string"},
      {"basemap empty", [](Json& s) { s["basemap"] = Json::object(); }, "basemap: names no file: give a \"raster\" or \"vectors\""},
      {"basemap key", [](Json& s) { s["basemap"] = {{"image", "a.png"}}; }, "basemap: unknown key \"image\""},
      {"basemap vectors", [](Json& s) { s["basemap"] = {{"vectors", "a.gpkg"}}; }, "basemap.vectors: must be a list of files, not a string"},
      {"basemap path", [](Json& s) { s["basemap"] = {{"raster", ""}}; }, "basemap.raster: must name a file"},
      {"basemap number", [](Json& s) { s["basemap"] = {{"vectors", {5}}}; }, "basemap.vectors[1]: must be a file's path or {\"path\", \"crs\"}, not a number"},
      {"basemap entry key", [](Json& s) { s["basemap"] = {{"vectors", {{{"path", "a.shp"}, {"srs", "x"}}}}}; },
       "basemap.vectors[1]: unknown key \"srs\""},
      {"basemap no path", [](Json& s) { s["basemap"] = {{"raster", {{"crs", "EPSG:6677"}}}}; }, "basemap.raster: the key \"path\" is missing"},
      {"basemap crs", [](Json& s) { s["basemap"] = {{"raster", {{"path", "a.tif"}, {"crs", ""}}}}; },
       "basemap.raster.crs: must name a coordinate system"},
      {"basemap network", [](Json& s) { s["basemap"] = {{"raster", "/vsicurl/http://example.org/a.tif"}}; },
       "basemap.raster: must be a plain file's path, not \"/vsicurl/http://example.org/a.tif\""},
      {"basemap control", [](Json& s) { s["basemap"] = {{"vectors", {"a\nb.shp"}}}; }, "basemap.vectors[1]: must not hold control characters"},
  };
  ASSERT_EQ(Problem(SmallSite()), "");
  for (const BadCase& c : cases) {
    Json site = SmallSite();
    c.Change(site);
    const std::string message = Problem(site);
    EXPECT_NE(message.find(c.Message), std::string::npos) << c.What << ": " << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << c.What << ": " << message;
  }
}

TEST(SiteFile, BrokenTextIsOneClearLine) {
  const std::string good = SmallSite().dump();
  EXPECT_NE(ProblemOfText(good.substr(0, good.size() / 2)).find("not valid JSON"), std::string::npos);
  EXPECT_NE(ProblemOfText("[1, 2]").find("a site file holds one object, not an array"), std::string::npos);
  EXPECT_NE(ProblemOfText(R"({"format": "vmk-site/1", "format": "vmk-site/1"})").find("appears twice"), std::string::npos);
  EXPECT_NE(ProblemOfText(std::string(100, '[') + std::string(100, ']')).find("nested deeper than 64"), std::string::npos);
  EXPECT_NE(ProblemOfText("\xff\xfe").find("not valid JSON"), std::string::npos);
}

TEST(SiteFile, MetPathIsReadBesideTheSiteFile) {
  scratch::ScratchDir dir;
  std::filesystem::create_directories(dir / "site");
  scratch::WriteBytes(dir / "site" / "met.json", MetStatsJson(VariedMet()));
  Json site = SmallSite();
  site["met"] = "met.json";
  const std::string path = dir.NewFile("site/site.json", site.dump());
  const SiteDefinition read = ReadSiteFile(path);
  EXPECT_EQ(read.MetSource, "met.json");
  EXPECT_EQ(read.Met.Station, "テスト局");
  EXPECT_THROW(ReadSiteFile(dir.File("site/none.json")), SiteError);
}

// Random changes of a good site file: every one is read, checked and, when it passes and is
// small, computed, without a crash; a failure is always one SiteError line.
TEST(SiteFile, RandomSiteFilesNeverCrash) {
  std::mt19937 gen(4242);
  const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(gen); };
  const std::vector<Json> values = {
      nullptr, true, 0, -1, 1e300, -1e-300, 3.5, "", "x", "0:0:0", "-1:1:3", "1e9:2e9:2",
      "0.1:100001:3", "a:b:c", Json::array(), Json::array({1, 2}), Json::object(), "  12", "$FF",
      "NaN", "1e39", "-0", "20000", Json::array({Json::object()}), 4000001};
  // Every value of the document, by its path, so that a change can land anywhere.
  std::function<void(const Json&, const Json::json_pointer&, std::vector<Json::json_pointer>&)> walk =
      [&](const Json& v, const Json::json_pointer& at, std::vector<Json::json_pointer>& out) {
        out.push_back(at);
        if (v.is_object()) {
          for (const auto& [k, child] : v.items()) walk(child, at / k, out);
        } else if (v.is_array()) {
          for (std::size_t i = 0; i < v.size(); ++i) walk(v[i], at / i, out);
        }
      };
  int passed = 0;
  for (int round = 0; round < 400; ++round) {
    Json site = SmallSite();
    site["met"]["directions"]["N"]["weak"][3] = static_cast<int>(pick(40));
    for (int change = 0, n = 1 + static_cast<int>(pick(3)); change < n; ++change) {
      // Half of the changes go into the met table, which holds most of the values.
      std::vector<Json::json_pointer> paths;
      walk(site, Json::json_pointer(), paths);
      if (pick(2) == 0) {
        std::erase_if(paths, [](const Json::json_pointer& p) { return p.to_string().starts_with("/met/"); });
      }
      const Json::json_pointer at = paths[pick(paths.size())];
      if (at.empty()) continue;
      const std::size_t how = pick(6);
      if (how >= 4) {
        // A milder change: a number or a field's text to another plausible one.
        Json& v = site[at];
        if (v.is_number()) {
          v = v.get<double>() * std::uniform_real_distribution<double>(-2, 3)(gen);
        } else if (v.is_string() && !at.parent_pointer().empty() && at.parent_pointer().back() != "receptors") {
          v = std::to_string(std::uniform_real_distribution<double>(-5, 300)(gen));
        }
      } else if (how == 0) {
        site[at] = values[pick(values.size())];
      } else if (how == 1 && site[at.parent_pointer()].is_object()) {
        site[at.parent_pointer()].erase(at.back());
      } else if (how == 2 && site[at].is_object()) {
        site[at]["extra"] = values[pick(values.size())];
      } else {
        site[at] = values[pick(values.size())];
      }
    }
    std::string text = site.dump();
    if (pick(5) == 0) text[pick(text.size())] = static_cast<char>(pick(256));  // a broken byte
    try {
      const SitePlan plan = PlanSite(ParseSiteFile(text, "."));
      if (plan.Receptors.All.size() * plan.Stacks.size() <= 5000) {
        const SiteResult result = RunOf(plan, 2);
        SummaryText(plan, result, {});
        SummaryJson(plan, result, {});
        PointsCsv(plan, result);
        GridCsv(plan, result);
        PolarCsv(plan, result);
        ++passed;
      }
    } catch (const SiteError& e) {
      const std::string what = e.what();
      EXPECT_FALSE(what.empty());
      EXPECT_EQ(what.find('\n'), std::string::npos) << what;
    }
  }
  EXPECT_GT(passed, 20);  // some changes leave a usable site, and those are computed
}

}  // namespace
}  // namespace vmk
