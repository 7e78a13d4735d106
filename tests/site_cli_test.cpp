// vmk-site as a user runs it: the example's files and summary, the JSON summary, and bad
// input or an unusable output folder: one line, exit 2, nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli_process.h"
#include "scratch_files.h"
#include "site/export/site_export.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using namespace site_test;
namespace fs = std::filesystem;

const fs::path kExample = fs::path(VMK_SOURCE_DIR) / "examples" / "two-stacks" / "site.json";

using clitest::RunResult;

RunResult RunSiteProgram(const std::vector<std::string>& args) {
  return clitest::RunProgram(clitest::kVmkSite, args);
}

std::size_t Lines(const std::string& s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n')); }

TEST(SiteCli, ExampleWritesEveryFileAndTheSummary) {
  scratch::ScratchDir dir;
  const fs::path out = dir / "out" / "nested";  // made when missing
  const RunResult r = RunSiteProgram({kExample.string(), "--out", out.string(), "--threads", "2"});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  for (const char* name : {"points.csv", "grid.csv", "polar.csv"}) EXPECT_TRUE(fs::exists(out / name)) << name;
#ifdef VMK_HAVE_GDAL
  EXPECT_EQ(r.Err, "");
  for (const char* name : {"grid.tif", "isopleths.gpkg", "isopleths.geojson"}) EXPECT_TRUE(fs::exists(out / name)) << name;
#else
  // What the build leaves out, once on standard error and once in the summary.
  const std::string left = "grid.tif, isopleths.gpkg, isopleths.geojson, the basemap and the check of \"crs\" "
                           "not made: this build has no GDAL\n";
  EXPECT_EQ(r.Err, "vmk-site: " + left);
  EXPECT_NE(r.Out.find("\nnote       : " + left), std::string::npos) << r.Out;
  for (const char* name : {"grid.tif", "isopleths.gpkg", "isopleths.geojson"}) EXPECT_FALSE(fs::exists(out / name)) << name;
#endif
#ifdef VMK_HAVE_MAP_PNG
  for (const char* name : {"map.png", "map.svg"}) EXPECT_TRUE(fs::exists(out / name)) << name;
#endif
  EXPECT_NE(r.Out.find("maximum over the grid:\n  C = "), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("from \"1号ボイラ\": R = "), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("\"みなと小学校\" at x = 1800 m, y = 900 m, z = 1.5 m: C = "), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("toward NNW (wind from SSE): C = "), std::string::npos) << r.Out;
  const std::string points = scratch::ReadBytes(out / "points.csv");
  EXPECT_EQ(points.rfind("\xEF\xBB\xBFname,x (m),y (m),z (m),C,C 1号ボイラ,C 2号焼却炉\n", 0), 0u) << points;
  EXPECT_EQ(Lines(points), 4u);
  EXPECT_EQ(Lines(scratch::ReadBytes(out / "grid.csv")), 1u + 101 * 101);
  EXPECT_EQ(Lines(scratch::ReadBytes(out / "polar.csv")), 1u + 16 * 40);
}

// The JSON summary holds the numbers of the files, and each is the computation's float.
TEST(SiteCli, JsonSummaryMatchesTheComputation) {
  scratch::ScratchDir dir;
  const RunResult r = RunSiteProgram({kExample.string(), "--out", dir.Path().string(), "--json"});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const Json doc = Json::parse(r.Out);
  const SitePlan plan = PlanSite(ReadSiteFile(kExample.string()));
  const SiteResult result = RunOf(plan, 2);
  ASSERT_TRUE(result.MaxIndex.has_value());
  EXPECT_EQ(doc["maximum"]["C"].get<float>(), result.Total[*result.MaxIndex]);
  EXPECT_EQ(doc["maximum"]["x"].get<double>(), plan.Receptors.All[*result.MaxIndex].X);
  ASSERT_EQ(doc["points"].size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t q = plan.Receptors.PointBegin() + i;
    EXPECT_EQ(doc["points"][i]["C"].get<float>(), result.Total[q]) << i;
    EXPECT_EQ(doc["points"][i]["stacks"]["2号焼却炉"].get<float>(), result.StackC[1][q]) << i;
  }
  EXPECT_EQ(doc["alongDirections"][1]["maxima"][7]["C"].get<float>(), result.AlongMax[1][7].C);
  EXPECT_EQ(doc["receptors"]["withoutValue"]["grid"], 1);  // the node on 1号ボイラ
}

TEST(SiteCli, BadInputIsOneLineExitTwoAndNothingWritten) {
  scratch::ScratchDir dir;
  Json bad = TwoStackSite(VariedMet());
  bad["receptors"]["points"] = Json::array({{{"name", "p"}, {"x", 10}, {"y", 10}}});
  bad["sources"][1]["controls"]["HoEdit"] = "400";
  const std::string badSite = dir.NewFile("bad.json", bad.dump());
  Json crs = bad;
  crs["sources"][1]["controls"]["HoEdit"] = "40";
  crs["crs"] = "EPSG:999999";
  const std::string crsSite = dir.NewFile("crs.json", crs.dump());
  const std::string aFile = dir.NewFile("a-file", "x");
  struct Case {
    std::vector<std::string> Args;
    std::string Message;
  };
  const fs::path out = dir / "out";
  const std::vector<Case> cases = {
      {{badSite, "--out", out.string()}, "vmk-site: " + badSite + ": stack \"No.2\": Error: Ho"},
      {{dir.File("none.json"), "--out", out.string()}, "cannot open"},
#ifdef VMK_HAVE_GDAL
      {{crsSite, "--out", out.string()}, "crs: GDAL does not know the coordinate system \"EPSG:999999\""},
#endif
      {{kExample.string(), "--out", aFile}, "not a folder"},
      {{kExample.string(), "--out", aFile + "/sub"}, "cannot make the folder"},
      {{kExample.string(), "--out", out.string(), "--threads", "0"},
       "vmk-site: --threads 0: not a whole number from 1 to 256"},
      {{kExample.string(), "--out=" + out.string(), "--threads=257"},
       "vmk-site: --threads 257: not a whole number from 1 to 256"},
      {{kExample.string(), "--out", out.string(), "--threads", "2.0"},
       "vmk-site: --threads 2.0: not a whole number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Message);
    const RunResult r = RunSiteProgram(c.Args);
    clitest::ExpectUnusable(r, c.Message);
    EXPECT_EQ(r.Err.rfind("vmk-site: ", 0), 0u) << r.Err;
    EXPECT_FALSE(fs::exists(out));
  }
  // The command line's form: refused with the usage lines.
  const std::vector<Case> usage = {
      {{kExample.string()}, "--out DIR is needed: the folder of the output files"},
      {{"--out", out.string()}, "no site file given"},
      {{kExample.string(), kExample.string(), "--out", out.string()},
       "more than one site file given"},
      {{kExample.string(), "--out", out.string(), "--colour"}, "unknown option --colour"},
      {{kExample.string(), "--out", out.string(), "--threads"},
       "--threads needs a whole number from 1 to 256"},
  };
  for (const Case& c : usage) {
    clitest::ExpectUsageRefusal(RunSiteProgram(c.Args), "vmk-site: " + c.Message);
    EXPECT_FALSE(fs::exists(out));
  }
}

// A build without GDAL says in one line what of the site it cannot make; one with GDAL makes it all.
TEST(SiteCli, OneLineSaysWhatABuildWithoutGdalLeavesOut) {
  const struct {
    std::size_t GridCount;
    bool Basemap;
    const char* Crs;
    std::optional<std::string> Line;
  } cases[] = {
      {0, false, "", std::nullopt},
      {4, false, "", "grid.tif, isopleths.gpkg and isopleths.geojson not made: this build has no GDAL"},
      {0, true, "", "the basemap not made: this build has no GDAL"},
      {0, false, "EPSG:6677", "the check of \"crs\" not made: this build has no GDAL"},
      {0, true, "EPSG:6677", "the basemap and the check of \"crs\" not made: this build has no GDAL"},
  };
  for (const auto& c : cases) {
    SitePlan plan;
    plan.Receptors.GridCount = c.GridCount;
    if (c.Basemap) plan.Site.Basemap = BasemapDefinition{};
    plan.Site.Crs = c.Crs;
#ifdef VMK_HAVE_GDAL
    EXPECT_EQ(WithoutGdalNote(plan), std::nullopt);
#else
    EXPECT_EQ(WithoutGdalNote(plan), c.Line) << c.GridCount << c.Basemap << c.Crs;
#endif
  }
}

TEST(SiteCli, HelpExplainsTheFiles) {
  const RunResult r = RunSiteProgram({"--help"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_NE(r.Out.find("Usage: vmk-site SITE --out DIR"), std::string::npos);
  EXPECT_NE(r.Out.find("isopleths.gpkg"), std::string::npos);
}

// The help's distances are written out: they must be the limits the program checks.
TEST(SiteCli, HelpNamesTheDistancesWithoutValue) {
  const RunResult r = RunSiteProgram({"--help"});
  ASSERT_EQ(r.ExitCode, 0);
  std::string help = r.Out;
  std::replace(help.begin(), help.end(), '\n', ' ');
  const DistanceRangeText range = ReceptorDistanceRange();
  const std::string said = "nearer to a stack than " + range.From + " m or farther than " + range.To + " m has no value";
  EXPECT_NE(help.find(said), std::string::npos) << said;
}

}  // namespace
}  // namespace vmk
