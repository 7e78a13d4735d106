// vmk-site with pollutants as a user runs it: the worked example's table checked column by
// column from the points' C with arithmetic of its own, the site's own files unchanged by the
// pollutants, the standards table printed and replaced, and a bad pollutant block refused with
// nothing written.
#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_dec_float.hpp>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "cli_process.h"
#include "met/hourly_text.h"
#include "scratch_files.h"
#include "site/assessment.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using namespace site_test;
namespace fs = std::filesystem;
using Dec50 = boost::multiprecision::cpp_dec_float_50;

// Absolute on every system (on Windows with the drive), so that a site file elsewhere can name
// the example's files.
const fs::path kExampleDir = fs::absolute(fs::path(VMK_SOURCE_DIR) / "examples" / "assessment");
const fs::path kExample = kExampleDir / "site.json";

clitest::RunResult RunSiteProgram(const std::vector<std::string>& args) {
  return clitest::RunProgram(clitest::kVmkSite, args);
}

// The example's site file with its met file named absolutely, to be saved elsewhere.
Json ExampleSite() {
  Json site = Json::parse(scratch::ReadBytes(kExample));
  site["met"] = (kExampleDir / site["met"].get<std::string>()).string();
  return site;
}

// The rows of a CSV text (after its byte order mark, when it must have one), each split into
// its fields.
std::vector<std::vector<std::string>> CsvRows(std::string text, bool bom = true) {
  if (bom) {
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF"));
    text.erase(0, 3);
  }
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  std::string line;
  std::vector<std::string_view> fields;
  std::string scratch;
  while (std::getline(in, line)) {
    SplitCsvLine(line, fields, scratch);
    rows.emplace_back(fields.begin(), fields.end());
  }
  return rows;
}

const std::vector<std::string>& RowOf(const std::vector<std::vector<std::string>>& rows, const std::string& pollutant,
                                      const std::string& place) {
  for (const auto& r : rows) {
    if (r.size() > 1 && r[0] == pollutant && r[1] == place) return r;
  }
  static const std::vector<std::string> none;
  ADD_FAILURE() << "no row " << pollutant << " " << place;
  return none;
}

Dec50 N(const std::string& text) { return Dec50(text); }

// 寄与率 as shown: the exact share rounded half up to two decimals.
std::string TwoDecimals(const Dec50& v) {
  const long long hundredths = static_cast<long long>(boost::multiprecision::floor(v * 100 + Dec50("0.5")));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld.%02lld", hundredths / 100, hundredths % 100);
  return buf;
}

// Columns: 物質,地点,x,y,C,C の単位,単位,寄与濃度,バックグラウンド濃度,将来濃度,寄与率 (%),評価の統計値,換算値,環境基準,適否,換算式
enum Column { kC = 4, kCUnit, kUnit, kContribution, kBackground, kFuture, kShare, kStatistic, kValue, kStandard, kVerdict, kConversion };

// Checks one row from its C: contribution = C / 1000 (ppb to ppm), the future, 寄与率 (15
// digits, the rest dropped), y = a x + b with the a and b given, the verdict against 0.04.
void CheckRow(const std::vector<std::string>& row, const Dec50& a, const Dec50& b, const Dec50& background,
              const Dec50& standard, const std::string& summary) {
  ASSERT_EQ(row.size(), 16u);
  const Dec50 r = N(row[kC]) / 1000;
  EXPECT_EQ(N(row[kContribution]), r) << row[kContribution];
  EXPECT_EQ(N(row[kBackground]), background);
  const Dec50 t = background + r;
  EXPECT_EQ(N(row[kFuture]), t);
  const Dec50 share = r * 100 / t, shown = N(row[kShare]);
  EXPECT_LE(shown, share);
  EXPECT_LT(share - shown, share * Dec50("1e-14"));
  const Dec50 y = a * t + b;
  EXPECT_EQ(N(row[kValue]), y) << row[kValue];
  EXPECT_EQ(N(row[kStandard]), standard);
  EXPECT_EQ(row[kVerdict], y <= standard ? "適合" : "不適合");
  EXPECT_NE(summary.find("future " + row[kFuture] + " ppm, 寄与率 " + TwoDecimals(share) + " %"), std::string::npos)
      << row[kFuture];
}

TEST(SiteAssessmentCli, WorkedExampleEveryColumnFromThePointsC) {
  scratch::ScratchDir dir;
  const fs::path out = dir / "out";
  const clitest::RunResult run = RunSiteProgram({kExample.string(), "--out", out.string()});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::vector<std::string> files = {"assessment.csv"
#ifdef VMK_HAVE_MAP_PNG
                                          , "map-NO2.png", "map-NO2.svg", "map-SO2.png", "map-SPM.svg",
                                          "map-ダイオキシン類.png", "map-ダイオキシン類.svg"
#endif
  };
  for (const std::string& f : files) EXPECT_TRUE(fs::exists(out / scratch::PathOf(f))) << f;
  const auto rows = CsvRows(scratch::ReadBytes(out / "assessment.csv"));
  ASSERT_EQ(rows.size(), 1u + 4 * 4);  // the header; 4 pollutants, each the maximum and 3 points

  // The points' C: each pollutant's own run at the point, the window's numbers (see
  // AssessmentRuns), through the library.
  const SiteDefinition site = ReadSiteFile(kExample.string());
  std::vector<PollutantRun> runs = PlanPollutants(site, ResolveAssessments(site, DefaultStandardsTable()));
  for (PollutantRun& p : runs) p.Result = RunOf(p.Plan, 2);
  for (const PollutantRun& p : runs) {
    for (std::size_t i = 0; i < site.Points.size(); ++i) {
      EXPECT_EQ(RowOf(rows, p.Terms.Pollutant.Name, site.Points[i].Name).at(kC),
                ShortestFloatText(p.Result.Total[p.Plan.Receptors.PointBegin() + i]));
    }
  }

  // SO2 at the school, y = 1.8 x + 0.001 from the site file, against 0.04 ppm.
  const auto& so2 = RowOf(rows, "SO2", "みなと小学校");
  CheckRow(so2, N("1.8"), N("0.001"), N("0.002"), N("0.04"), run.Out);
  EXPECT_EQ(so2[kStatistic], "日平均値の2%除外値");

  // NO2 at the hospital, with the fit over the made-up stations computed here.
  std::vector<std::pair<long double, long double>> xy;
  for (const auto& f : CsvRows(scratch::ReadBytes(kExampleDir / "no2-stations.csv"), false)) {
    if (f.empty() || f[0].empty() || f[0][0] == '#' || f[0].starts_with("station")) continue;
    xy.push_back({std::stold(f[2]), std::stold(f[3])});
  }
  ASSERT_EQ(xy.size(), 12u);
  long double mx = 0, my = 0;
  for (const auto& [x, y] : xy) mx += x / 12, my += y / 12;
  long double sxx = 0, sxy = 0;
  for (const auto& [x, y] : xy) sxx += (x - mx) * (x - mx), sxy += (x - mx) * (y - my);
  const auto& no2 = RowOf(rows, "NO2", "市民病院");
  char a[40] = {}, b[40] = {};
  ASSERT_EQ(std::sscanf(no2.at(kConversion).c_str(), "y = %39s x + %39s", a, b), 2) << no2.at(kConversion);
  EXPECT_NEAR(std::stod(a), static_cast<double>(sxy / sxx), 1e-9);
  EXPECT_NEAR(std::stod(b), static_cast<double>(my - sxy / sxx * mx), 1e-10);
  EXPECT_NE(no2[kConversion].find("n = 12"), std::string::npos);
  CheckRow(no2, N(a), N(b), N("0.012"), N("0.06"), run.Out);

  // The dioxins compare the future annual mean itself, from ag-TEQ/m3 in pg-TEQ/m3.
  const auto& dxn = RowOf(rows, "ダイオキシン類", "東町住宅地");
  EXPECT_EQ(N(dxn.at(kContribution)), N(dxn[kC]) / 1000000);
  EXPECT_EQ(N(dxn[kValue]), N(dxn[kFuture]));
  EXPECT_EQ(std::tuple(dxn[kCUnit], dxn[kUnit], dxn[kStatistic]), std::tuple("ag-TEQ/m3", "pg-TEQ/m3", "年平均値"));
}

// The pollutants add files and a section; the site's own files stay byte for byte.
TEST(SiteAssessmentCli, PollutantsLeaveTheSitesOwnFilesUnchanged) {
  scratch::ScratchDir dir;
  Json site = ExampleSite();
  site["receptors"]["grid"] = {{"x", "-2000:2000:21"}, {"y", "-2000:2000:21"}};
  site["pollutants"][0]["conversion"] = {{"linear", {{"a", 1.5}, {"b", 0.01}}}};
  const std::string with = dir.NewFile("with.json", site.dump());
  site.erase("pollutants");
  const std::string without = dir.NewFile("without.json", site.dump());
  const clitest::RunResult a = RunSiteProgram({with, "--out", (dir / "a").string()});
  const clitest::RunResult b = RunSiteProgram({without, "--out", (dir / "b").string()});
  ASSERT_EQ(a.ExitCode, 0) << a.Err;
  ASSERT_EQ(b.ExitCode, 0) << b.Err;
  std::size_t compared = 0;
  for (const auto& entry : fs::directory_iterator(dir / "b")) {
    const fs::path name = entry.path().filename();
    if (name.string().starts_with(".") || name == "isopleths.gpkg") continue;  // the GeoPackage records a time
    EXPECT_EQ(scratch::ReadBytes(dir / "a" / name), scratch::ReadBytes(entry.path())) << name;
    ++compared;
  }
  EXPECT_GE(compared, 2u);
  // The summary: the same up to the assessment, which only the pollutants add.
  const std::size_t at = a.Out.find("\nassessment (");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(a.Out.substr(0, at), b.Out.substr(0, at));
  EXPECT_EQ(b.Out.find("\nassessment ("), std::string::npos);
  EXPECT_FALSE(Json::parse(RunSiteProgram({without, "--out", (dir / "c").string(), "--json"}).Out)
                   .contains("assessment"));
  const Json doc = Json::parse(RunSiteProgram({with, "--out", (dir / "d").string(), "--json"}).Out);
  ASSERT_EQ(doc["assessment"].size(), 4u);
  EXPECT_EQ(std::tuple(doc["assessment"][1]["pollutant"], doc["assessment"][1]["rows"][1]["place"]),
            std::tuple("SO2", "みなと小学校"));
}

TEST(SiteAssessmentCli, StandardsTableIsPrintedAndReplaced) {
  const clitest::RunResult printed = RunSiteProgram({"--print-standards-table"});
  ASSERT_EQ(printed.ExitCode, 0);
  EXPECT_EQ(printed.Out, std::string(DefaultStandardsTableText()));
  clitest::ExpectUsageRefusal(RunSiteProgram({"--print-standards-table", kExample.string()}),
                              "vmk-site: --print-standards-table takes no site file");

  scratch::ScratchDir dir;
  // A table whose SO2 is stricter than any row: every SO2 row fails it; a bad table writes nothing.
  const std::string strict = dir.NewFile(
      "strict.csv",
      "name,substance,value,unit,statistic,decimals,source\n"
      "NO2,二酸化窒素,0.06,ppm,日平均値の年間98%値,,a\nSO2,二酸化硫黄,0.001,ppm,日平均値の2%除外値,,b\n"
      "SPM,浮遊粒子状物質,0.10,mg/m3,日平均値の2%除外値,,c\nダイオキシン類,ダイオキシン類,0.6,pg-TEQ/m3,年平均値,,d\n");
  const clitest::RunResult r = RunSiteProgram({kExample.string(), "--out", (dir / "out").string(), "--standards-table", strict});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const auto rows = CsvRows(scratch::ReadBytes(dir / "out" / "assessment.csv"));
  EXPECT_EQ(std::tuple(RowOf(rows, "SO2", "市民病院")[kVerdict], RowOf(rows, "NO2", "市民病院")[kVerdict]),
            std::tuple("不適合", "適合"));

  const std::string bad = dir.NewFile("bad.csv", "name,substance,value,unit,statistic,decimals,source\nSO2,x,0.04,ppm,日平均値,,b\n");
  clitest::ExpectUnusable(RunSiteProgram({kExample.string(), "--out", (dir / "none").string(), "--standards-table", bad}),
                          "vmk-site: --standards-table " + bad + ": line 2: \"日平均値\" is not a statistic");
  EXPECT_FALSE(fs::exists(dir / "none"));
}

TEST(SiteAssessmentCli, BadPollutantBlockIsOneLineAndNothingWritten) {
  scratch::ScratchDir dir;
  Json site = ExampleSite();
  site["pollutants"][0]["conversion"]["fit"] = (kExampleDir / "no2-stations.csv").string();
  site["pollutants"][2]["background"]["unit"] = "ppm";  // SPM from g/s
  const std::string path = dir.NewFile("bad.json", site.dump());
  clitest::ExpectUnusable(RunSiteProgram({path, "--out", (dir / "out").string()}), "vmk-site: " + path +
                                 ": pollutant \"SPM\": the background's unit ppm cannot be converted to the "
                                 "standard's unit mg/m3: ppm is a volume ratio, mg/m3 a mass per volume");
  EXPECT_FALSE(fs::exists(dir / "out"));
}

}  // namespace
}  // namespace vmk
