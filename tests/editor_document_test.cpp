// The site editor's document: saved and read back unchanged, run bit for bit as vmk-site runs
// the saved file, spreadsheet paste, and every class of problem with its cell.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "cli_process.h"
#include "common/json_document.h"
#include "scratch_files.h"
#include "app/site_editor/site_document.h"
#include "site/export/output_folder.h"
#include "site/export/site_job.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using scratch::ReadBytes;
using scratch::ScratchDir;
using scratch::WriteBytes;

int Col(const std::vector<SiteColumn>& columns, std::string_view control) {
  const int c = ColumnOfControl(columns, control);
  EXPECT_GE(c, 0) << control;
  return c;
}

// A site built as a user builds it in the editor: the met file chosen, the common values, two
// stacks with their own values (one with the NO2 conversion), three points, a grid and a polar
// set, smooth sectors and levels.
SiteDocument BuiltSite(const ScratchDir& dir) {
  WriteBytes(dir / "met.json", MetStatsJson(site_test::VariedMet(3)));
  SiteDocument doc = NewSiteDocument();
  EXPECT_EQ(SetMetFile(doc, scratch::TextOf(dir / "met.json")), std::nullopt);
  doc.Common[static_cast<std::size_t>(Col(CommonColumns(), "HrpEdit"))] = "1.5";
  doc.Common[static_cast<std::size_t>(Col(CommonColumns(), "dHformulaWindyEdit"))] = "2";
  doc.Common[static_cast<std::size_t>(Col(CommonColumns(), "WDdistributeCheckBox"))] = "1";
  const auto stack = [](std::string name, std::string x, std::string y,
                        std::vector<std::pair<std::string_view, std::string>> controls) {
    SiteRow row(StackColumns().size());
    row[0] = std::move(name);
    row[1] = std::move(x);
    row[2] = std::move(y);
    for (auto& [control, text] : controls) row[static_cast<std::size_t>(Col(StackColumns(), control))] = text;
    return row;
  };
  doc.Stacks.push_back(stack("1号ボイラ", "0", "0", {{"QgEdit", "45"}, {"QpEdit", "0.012"}, {"HoEdit", "59"}}));
  doc.Stacks.push_back(stack("2号焼却炉", "350.5", "-120",
                             {{"QgEdit", "12"}, {"HoEdit", "35"}, {"TempGEdit", " 160.0"}, {"NOxTrnCheckBox", "1"}}));
  doc.Points = {{"みなと小学校", "1800", "900", "1.5"}, {"東町", "-1200", "-2500", ""}, {"病院", "3000", "-800", "10"}};
  doc.GridX = "-3000:3000:31";
  doc.GridY = "-2000:2000:21";
  doc.PolarOn = true;
  doc.PolarX = "100";
  doc.PolarY = "-50";
  doc.PolarDistances = "200:10000:12";
  doc.Sectors = SectorMode::Smooth;
  doc.Levels = "0.01 0.02 0.05";
  return doc;
}

TEST(SiteEditorTest, SavedSiteReadsBackAsTheSameDocument) {
  ScratchDir dir;
  SiteDocument doc = BuiltSite(dir);
  // The kept blocks go along as they are.
  doc.Crs = "EPSG:6677";
  doc.Pollutants = R"([{"name": "SO2", "unit": "m3N/s", "stacks": {"1号ボイラ": "0.004", "2号焼却炉": "0"},
    "background": {"value": 0.002, "unit": "ppm"}, "conversion": {"linear": {"a": 1.8, "b": 0.001}},
    "standard": "SO2"}])";
  const std::string path = scratch::TextOf(dir / "site.json");
  SiteDocument typed = doc;
  typed.GridX = "－３０００:３０００:３１";
  ASSERT_EQ(SaveSiteDocument(typed, path), std::nullopt);
  EXPECT_EQ(OpenSiteDocument(path).GridX, doc.GridX);
  ASSERT_EQ(SaveSiteDocument(doc, path), std::nullopt);
  EXPECT_FALSE(doc.Modified);
  EXPECT_EQ(SiteEditorTitle(doc), "サイトの編集 - site.json");
  SiteDocument back = OpenSiteDocument(path);
  // The kept blocks come back in the reader's layout.
  SiteDocument expected = doc;
  expected.Pollutants = back.Pollutants;
  EXPECT_EQ(back, expected);
  EXPECT_EQ(nlohmann::json::parse(back.Pollutants), nlohmann::json::parse(doc.Pollutants));
  // Saved again, the same bytes.
  const std::string first = ReadBytes(dir / "site.json");
  ASSERT_EQ(SaveSiteDocument(back, path), std::nullopt);
  EXPECT_EQ(ReadBytes(dir / "site.json"), first);
  // A met written inside the site file stays there.
  nlohmann::json inFile = nlohmann::json::parse(first);
  inFile["met"] = nlohmann::json::parse(MetStatsJson(*doc.Met));
  WriteBytes(dir / "inside.json", inFile.dump());
  SiteDocument inside = OpenSiteDocument(scratch::TextOf(dir / "inside.json"));
  EXPECT_TRUE(inside.MetInFile);
  ASSERT_EQ(SaveSiteDocument(inside, scratch::TextOf(dir / "inside2.json")), std::nullopt);
  EXPECT_EQ(OpenSiteDocument(scratch::TextOf(dir / "inside2.json")).Met->Directions[5].Windy[2],
            doc.Met->Directions[5].Windy[2]);
}

#ifdef VMK_SITE_PROGRAM
// The files of the saved site as the editor's run makes them, and as vmk-site makes them.
void ExpectSameRun(const std::string& site, const std::vector<std::string>& files) {
  ScratchDir out;
  SiteSteps steps;
  steps.Threads = 2;
  const ComputedSite computed = ComputeSiteFile(site, steps);
  WriteSiteFilesOf(PrepareOutputFolder(scratch::TextOf(out / "editor")), computed);
  const clitest::RunResult r = clitest::RunProgram(clitest::kVmkSite, {site, "--out", scratch::TextOf(out / "cli")});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  for (const std::string& f : files) {
    const std::string bytes = ReadBytes(out / "cli" / f);
    EXPECT_GT(bytes.size(), 100u) << f;
    EXPECT_EQ(ReadBytes(out / "editor" / f), bytes) << f;
  }
}

TEST(SiteEditorTest, SavedSiteRunsAsVmkSiteRunsIt) {
  ScratchDir dir;
  SiteDocument doc = BuiltSite(dir);
  const std::string path = scratch::TextOf(dir / "site.json");
  ASSERT_EQ(SaveSiteDocument(doc, path), std::nullopt);
  ExpectSameRun(path, {"points.csv", "grid.csv", "polar.csv"});
}

// The examples opened and saved into another folder: the met file, the basemap and the
// station-year file are still found, and every number is the original file's.
TEST(SiteEditorTest, ExampleSavedElsewhereKeepsItsNumbers) {
  for (const char* example : {"examples/two-stacks/site.json", "examples/assessment/site.json"}) {
    SCOPED_TRACE(example);
    ScratchDir dir;
    const std::string original = scratch::TextOf(clitest::kSourceDir / example);
    SiteDocument doc = OpenSiteDocument(original);
    const std::string copy = scratch::TextOf(dir / "sub" / "copy.json");
    std::filesystem::create_directories(dir / "sub");
    ASSERT_EQ(SaveSiteDocument(doc, copy), std::nullopt);
    ScratchDir out;
    for (const auto& [site, folder] : {std::pair{original, "a"}, std::pair{copy, "b"}}) {
      const clitest::RunResult r = clitest::RunProgram(clitest::kVmkSite, {site, "--out", scratch::TextOf(out / folder)});
      ASSERT_EQ(r.ExitCode, 0) << r.Err;
    }
    for (const char* f : {"points.csv", "grid.csv"}) EXPECT_EQ(ReadBytes(out / "b" / f), ReadBytes(out / "a" / f)) << f;
    if (std::string(example).find("assessment") != std::string::npos) {
      // The fit's line names the station-year file as the site file names it.
      const auto numbers = [](std::string csv) {
        for (std::size_t at; (at = csv.find("least squares over ")) != std::string::npos;) {
          csv.erase(at, csv.find(':', at) - at);
        }
        return csv;
      };
      const std::string a = ReadBytes(out / "a" / "assessment.csv");
      EXPECT_NE(a.find("least squares over no2-stations.csv"), std::string::npos);
      EXPECT_NE(ReadBytes(out / "b" / "assessment.csv").find("over ../"), std::string::npos);
      EXPECT_EQ(numbers(ReadBytes(out / "b" / "assessment.csv")), numbers(a));
    }
  }
}
#endif

// The basemap chosen through the editor's controls: a new site names the chosen files by their
// absolute paths, its saved file by paths relative to it; read back, the controls show the
// same files and systems, and the map reads the files the user chose.
TEST(SiteEditorTest, ChosenBasemapRoundTrips) {
  ScratchDir dir;
  SiteDocument doc = BuiltSite(dir);
  doc.Crs = "EPSG:6677";
  const std::filesystem::path example = clitest::kSourceDir / "examples" / "two-stacks";
  const auto abs = [&](const char* f) { return scratch::TextOf(example / f); };
  BasemapChoice chosen;
  chosen.Raster = BasemapFileChoice{PathInSiteFile(doc, scratch::TextOf(example / "ground.png")), "EPSG:6677"};
  for (const char* f : {"coast.gpkg", "roads.geojson"}) chosen.Vectors.push_back({PathInSiteFile(doc, scratch::TextOf(example / f)), ""});
  chosen.Vectors[1].Crs = "EPSG:4326";
  SetBasemapChoice(doc, chosen);
  EXPECT_TRUE(doc.Modified);
  const auto same = [](const std::optional<BasemapChoice>& a, const BasemapChoice& b) {
    ASSERT_TRUE(a.has_value());
    ASSERT_EQ(a->Raster.has_value(), b.Raster.has_value());
    if (b.Raster) {
      EXPECT_EQ(std::tie(a->Raster->Path, a->Raster->Crs), std::tie(b.Raster->Path, b.Raster->Crs));
    }
    ASSERT_EQ(a->Vectors.size(), b.Vectors.size());
    for (std::size_t i = 0; i < b.Vectors.size(); ++i) {
      EXPECT_EQ(std::tie(a->Vectors[i].Path, a->Vectors[i].Crs), std::tie(b.Vectors[i].Path, b.Vectors[i].Crs)) << i;
    }
  };
  same(BasemapChoiceOf(doc), chosen);
  EXPECT_TRUE(std::filesystem::path(chosen.Raster->Path).is_absolute());

  std::filesystem::create_directories(dir / "sub");
  const std::string path = scratch::TextOf(dir / "sub" / "site.json");
  ASSERT_EQ(SaveSiteDocument(doc, path), std::nullopt);
  const nlohmann::json saved = nlohmann::json::parse(ReadBytes(dir / "sub" / "site.json"))["basemap"];
  const std::string rel = std::filesystem::path(abs("ground.png")).lexically_relative(dir / "sub").generic_string();
  EXPECT_EQ(saved["raster"]["path"], rel);
  EXPECT_EQ(saved["raster"]["crs"], "EPSG:6677");
  EXPECT_TRUE(saved["vectors"][0].is_string());  // no system: the path alone
  EXPECT_EQ(saved["vectors"][1]["crs"], "EPSG:4326");

  const SiteDocument reopened = OpenSiteDocument(path);
  BasemapChoice relative = chosen;
  relative.Raster->Path = rel;
  for (std::size_t i = 0; i < 2; ++i) {
    relative.Vectors[i].Path = std::filesystem::path(abs(i == 0 ? "coast.gpkg" : "roads.geojson"))
                                   .lexically_relative(dir / "sub").generic_string();
  }
  same(BasemapChoiceOf(reopened), relative);
  same(BasemapChoiceOf(doc), relative);  // the saved document names them as its file does
  const std::optional<BasemapDefinition> read = EditorBasemapOf(reopened);
  ASSERT_TRUE(read && read->Raster);
  EXPECT_TRUE(std::filesystem::equivalent(read->Raster->FullPath, abs("ground.png")));
  EXPECT_TRUE(std::filesystem::equivalent(read->Vectors.at(1).FullPath, abs("roads.geojson")));

  // Nothing chosen: no block. A block the controls cannot show, and one the reader refuses.
  SiteDocument none = reopened;
  SetBasemapChoice(none, BasemapChoice{});
  EXPECT_EQ(none.Basemap, "");
  EXPECT_EQ(EditorBasemapOf(none), std::nullopt);
  for (const char* text : {R"({"raster": "a.tif", "extra": 1})", R"({"vectors": [{"path": "a.shp", "crs": 1}]})", "[1"}) {
    none.Basemap = text;
    EXPECT_EQ(BasemapChoiceOf(none), std::nullopt) << text;
  }
  none.Basemap = R"({"raster": "/vsicurl/http://example.com/a.tif"})";
  EXPECT_THROW(EditorBasemapOf(none), SiteError);
}

// The pollutants' tables: the example's block read into rows and written back is the same
// block; rows typed in the editor are what the reader takes; every bad cell is refused naming
// the pollutant and the column, and the block is kept.
TEST(SiteEditorTest, PollutantRowsRoundTripAndRefuse) {
  SiteDocument example = OpenSiteDocument(scratch::TextOf(clitest::kSourceDir / "examples" / "assessment" / "site.json"));
  const std::optional<std::vector<PollutantChoice>> read = PollutantChoicesOf(example);
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->size(), 4u);
  EXPECT_EQ((*read)[0].Conversion, PollutantConversion::Fit);
  EXPECT_TRUE((*read)[0].Stacks.at(1).No2);
  const nlohmann::json before = nlohmann::json::parse(example.Pollutants);
  ASSERT_EQ(SetPollutantChoices(example, *read), std::nullopt);
  EXPECT_EQ(nlohmann::json::parse(example.Pollutants), before);

  ScratchDir dir;
  SiteDocument doc = BuiltSite(dir);
  PollutantChoice so2{"SO2", "m3N/s", "0.002", "ppm", PollutantConversion::Linear, "1.8", "0.001", "", "SO2",
                      {{"0.004", false}, {"０.０００６", false}}};
  PollutantChoice no2{"NO2", "m3N/s", "0.012", "ppm", PollutantConversion::Linear, "1.5", "0.004", "", "NO2",
                      {{"0.012", true}, {"0", false}}};
  ASSERT_EQ(SetPollutantChoices(doc, {so2, no2}), std::nullopt);
  EXPECT_EQ(CheckSiteDocument(doc), std::nullopt);
  const std::optional<std::vector<PollutantChoice>> back = PollutantChoicesOf(doc);
  ASSERT_TRUE(back && back->size() == 2);
  EXPECT_EQ((*back)[0].Stacks[1].Qp, "0.0006");
  EXPECT_EQ(std::tie((*back)[1].A, (*back)[1].B, (*back)[1].Stacks[0].Qp), std::tie(no2.A, no2.B, no2.Stacks[0].Qp));
  EXPECT_TRUE((*back)[1].Stacks[0].No2);

  const struct {
    std::function<void(PollutantChoice&)> Change;
    const char* Text;
    int Stack = -1;  // an emission's cell: the stack's row of the emission table
    int Col = -1;    // else the pollutant table's column
  } bad[] = {
      {[](PollutantChoice& p) { p.Name = ""; }, "汚染物質 2 行目 の「名前」 が空です", -1, 0},
      {[](PollutantChoice& p) { p.Name = "SO2"; }, "汚染物質 \"SO2\" の「名前」 \"SO2\"\n同じ名前", -1, 0},
      {[](PollutantChoice& p) { p.Unit = " "; }, "汚染物質 \"NO2\" の「排出量の単位」 が空です", -1, 1},
      {[](PollutantChoice& p) { p.Stacks[1].Qp = "abc"; }, "汚染物質 \"NO2\" の「排出量 2号焼却炉」 \"abc\"", 1},
      {[](PollutantChoice& p) { p.Stacks[0].Qp = "-1"; }, "の「排出量 1号ボイラ」 \"-1\"\n0 以上", 0},
      {[](PollutantChoice& p) { p.Background = "x"; }, "の「バックグラウンド濃度」 \"x\"", -1, 2},
      {[](PollutantChoice& p) { p.BackgroundUnit = ""; }, "の「バックグラウンド濃度の単位」 が空です", -1, 3},
      {[](PollutantChoice& p) { p.B = "1,5"; }, "の「換算の b」 \"1,5\"", -1, 6},
      {[](PollutantChoice& p) { p.Conversion = PollutantConversion::Fit; }, "の「換算ファイル」 が空です", -1, 7},
      {[](PollutantChoice& p) { p.Standard = ""; }, "汚染物質 \"NO2\" の「環境基準」 が空です", -1, 8},
  };
  for (const auto& row : bad) {
    SCOPED_TRACE(row.Text);
    PollutantChoice changed = no2;
    row.Change(changed);
    const std::string kept = doc.Pollutants;
    const std::optional<EditorProblem> p = SetPollutantChoices(doc, {so2, changed});
    ASSERT_TRUE(p.has_value());
    EXPECT_NE(p->Text.find(row.Text), std::string::npos) << p->Text;
    // The pollutant's row, or the emission's cell (NO2 is the second pollutant: its Qp column is 2).
    EXPECT_EQ(p->Place, row.Stack >= 0 ? SitePlace::Emissions : SitePlace::Pollutants);
    EXPECT_EQ(std::tie(p->Row, p->Col), row.Stack >= 0 ? std::tuple(row.Stack, 2) : std::tuple(1, row.Col));
    EXPECT_EQ(doc.Pollutants, kept);
  }
  // What the tables cannot show is left to the JSON text.
  for (const char* text : {R"([{"name": "A", "levels": [1]}])", R"([{"name": "A", "stacks": {"無い煙突": "1"}}])",
                           R"([{"name": "A", "standard": {"value": "1"}}])", "{}"}) {
    doc.Pollutants = text;
    EXPECT_EQ(PollutantChoicesOf(doc), std::nullopt) << text;
  }
}

TEST(SiteEditorTest, RunStopsWhenCancelled) {
  ScratchDir dir;
  SiteDocument doc = BuiltSite(dir);
  const std::string path = scratch::TextOf(dir / "site.json");
  ASSERT_EQ(SaveSiteDocument(doc, path), std::nullopt);
  std::atomic<bool> cancel{false};
  SiteSteps steps;
  steps.Cancel = &cancel;
  int reports = 0;
  steps.Progress = [&](double) {
    if (++reports == 2) cancel = true;
  };
  EXPECT_THROW(ComputeSiteFile(path, steps), SiteCancelled);
  EXPECT_GE(reports, 2);
}

// Spreadsheet cells pasted into the stacks' table.
TEST(SiteEditorTest, PasteFromSpreadsheet) {
  const int qg = Col(StackColumns(), "QgEdit");
  const int nox = Col(StackColumns(), "NOxTrnCheckBox");
  struct Case {
    std::string Text;
    int Row, Col;
    std::size_t Rows;            // the table's rows afterwards (one row before)
    std::vector<std::string> Cells;  // row 0 and 1 from column 0, joined by "|", when pasted
    std::string Problem;         // a part of the message; empty when pasted
    int ProblemRow = -1, ProblemCol = -1;
  };
  const std::vector<Case> cases = {
      {"A\t10\t20\r\nB\t30\t-40\r\n", 0, 0, 2, {"A|10|20", "B|30|-40"}, ""},
      {"A\t10\t20\nB\t30\t-40", 0, 0, 2, {"A|10|20", "B|30|-40"}, ""},
      {"C\t１２．５\t－３", 1, 0, 2, {"old|1|2", "C|12.5|-3"}, ""},  // full-width digits
      {"\"煙突\t1\"\t5", 0, 0, 1, {"煙突\t1|5|2"}, ""},             // a quoted cell holds a tab
      {"7\n8\n9\n", 0, 2, 3, {"old|1|7", "||8"}, ""},               // a column grows the table
      {"", 0, 0, 1, {}, "貼り付ける値がありません", 0, 0},
      {"A\t1\tx", 0, 0, 1, {}, "「y (m)」に貼り付ける値 \"x\" は数値ではありません", 0, 2},
      {"1\n2\nabc", 0, 1, 1, {}, "3 行目の「x (m)」", 2, 1},
      {"1\t2", 0, static_cast<int>(StackColumns().size()) - 1, 1, {}, "表の右端を越えます", 0,
       static_cast<int>(StackColumns().size()) - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    std::vector<SiteRow> rows = {SiteRow(StackColumns().size())};
    rows[0][0] = "old";
    rows[0][1] = "1";
    rows[0][2] = "2";
    const std::vector<SiteRow> before = rows;
    const SitePaste p = PasteIntoTable(rows, StackColumns(), SitePlace::Stacks, c.Text, c.Row, c.Col);
    if (!c.Problem.empty()) {
      ASSERT_TRUE(p.Problem);
      EXPECT_NE(p.Problem->Text.find(c.Problem), std::string::npos) << p.Problem->Text;
      EXPECT_EQ(p.Problem->Row, c.ProblemRow);
      EXPECT_EQ(p.Problem->Col, c.ProblemCol);
      EXPECT_EQ(rows, before);  // nothing pasted
      continue;
    }
    ASSERT_FALSE(p.Problem) << p.Problem->Text;
    ASSERT_EQ(rows.size(), c.Rows);
    for (std::size_t r = 0; r < c.Cells.size(); ++r) {
      EXPECT_EQ(rows[r][0] + "|" + rows[r][1] + "|" + rows[r][2], c.Cells[r]);
    }
  }
  // Check boxes and controls take what a spreadsheet gives them.
  std::vector<SiteRow> rows;
  const std::string text = "TRUE\n0\non\nFALSE";
  ASSERT_FALSE(PasteIntoTable(rows, StackColumns(), SitePlace::Stacks, text, 0, nox).Problem);
  EXPECT_EQ(rows[0][static_cast<std::size_t>(nox)] + rows[1][static_cast<std::size_t>(nox)] +
                rows[2][static_cast<std::size_t>(nox)] + rows[3][static_cast<std::size_t>(nox)],
            "1010");
  const SitePaste bad = PasteIntoTable(rows, StackColumns(), SitePlace::Stacks, "yes", 1, nox);
  ASSERT_TRUE(bad.Problem);
  EXPECT_NE(bad.Problem->Text.find("「NOx変換を行う」"), std::string::npos);
  ASSERT_FALSE(PasteIntoTable(rows, StackColumns(), SitePlace::Stacks, " 1.0E-3 ", 0, qg).Problem);
  EXPECT_EQ(rows[0][static_cast<std::size_t>(qg)], "1.0E-3");
}

// Spreadsheet cells pasted into the pollutant table (rows added, each stack emitting "0") and
// the emission table (a row per stack, Qp and NOx変換 per pollutant), and then written as the
// block the site file holds.
TEST(SiteEditorTest, PastePollutantsAndEmissions) {
  const PollutantChoice no2{"NO2", "m3N/s", "0.012", "ppm", PollutantConversion::Linear, "1.5", "0.004", "", "NO2",
                            {{"0.012", true}, {"0", false}}};
  const auto line = [](const PollutantChoice& p) {
    std::string t = p.Name + "|" + p.Unit + "|" + p.Background + "|" + p.BackgroundUnit + "|" +
                    std::to_string(static_cast<int>(p.Conversion)) + "|" + p.A + "|" + p.B + "|" + p.Fit + "|" + p.Standard;
    for (const PollutantEmission& e : p.Stacks) t += "|" + e.Qp + (e.No2 ? "+" : "");
    return t;
  };
  const struct {
    bool Emissions;
    std::string Text;
    int Row, Col;
    std::vector<std::string> Lines;  // every pollutant afterwards; empty: refused
    std::string Problem;
    int ProblemRow = -1, ProblemCol = -1;
  } cases[] = {
      {false, "SPM\tg/s\t１８\tµg/m3\t一次式\t1.9\t0.012\t\tSPM\r\n", 1, 0,
       {line(no2), "SPM|g/s|18|µg/m3|1|1.9|0.012||SPM|0|0"}, ""},
      {false, "fit\t\t\tstations.csv", 0, 4, {"NO2|m3N/s|0.012|ppm|2|||stations.csv|NO2|0.012+|0"}, ""},
      {false, "なし\nNONE", 0, 4, {"NO2|m3N/s|0.012|ppm|0|1.5|0.004||NO2|0.012+|0", "||||0|||||0|0"}, ""},
      {false, "回帰", 0, 4, {}, "1 行目の「換算」に貼り付ける値 \"回帰\" は なし、一次式、測定局の回帰 のどれでもありません", 0, 4},
      {false, "x", 0, 2, {}, "「バックグラウンド濃度」に貼り付ける値 \"x\" は数値ではありません", 0, 2},
      {true, "0.5\t0\n０．２\tTRUE", 0, 0, {"NO2|m3N/s|0.012|ppm|1|1.5|0.004||NO2|0.5|0.2+"}, ""},
      {true, "1\n2", 1, 0, {}, "表の下端を越えます: 煙突は 2 本です", 1, 0},
      {true, "1\t1\t1", 0, 0, {}, "表の右端を越えます", 0, 0},
      {true, "1\tyes", 0, 0, {}, "「NO2 NOx変換」に貼り付ける値 \"yes\" は 1 (する) か 0 (しない) ではありません", 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    std::vector<PollutantChoice> rows = {no2};
    const SitePaste p = c.Emissions ? PasteEmissions(rows, 2, c.Text, c.Row, c.Col) : PastePollutants(rows, 2, c.Text, c.Row, c.Col);
    std::vector<std::string> lines;
    for (const PollutantChoice& r : rows) lines.push_back(line(r));
    if (!c.Problem.empty()) {
      ASSERT_TRUE(p.Problem);
      EXPECT_NE(p.Problem->Text.find(c.Problem), std::string::npos) << p.Problem->Text;
      EXPECT_EQ(std::tie(p.Problem->Row, p.Problem->Col), std::tie(c.ProblemRow, c.ProblemCol));
      EXPECT_EQ(lines, std::vector<std::string>{line(no2)});  // nothing pasted
      continue;
    }
    ASSERT_FALSE(p.Problem) << p.Problem->Text;
    EXPECT_EQ(lines, c.Lines);
  }
  // A pasted table is the block a typed one makes.
  ScratchDir dir;
  SiteDocument doc = BuiltSite(dir);
  std::vector<PollutantChoice> rows;
  ASSERT_FALSE(PastePollutants(rows, doc.Stacks.size(), "SO2\tm3N/s\t0.002\tppm\tlinear\t1.8\t0.001\t\tSO2", 0, 0).Problem);
  ASSERT_FALSE(PasteEmissions(rows, doc.Stacks.size(), "0.004\t0\n0.0006\t0", 0, 0).Problem);
  ASSERT_EQ(SetPollutantChoices(doc, rows), std::nullopt);
  EXPECT_EQ(CheckSiteDocument(doc), std::nullopt);
  const nlohmann::json block = nlohmann::json::parse(doc.Pollutants);
  EXPECT_EQ(block[0]["stacks"]["2号焼却炉"], "0.0006");
  EXPECT_EQ(block[0]["conversion"]["linear"]["a"], 1.8);
}

// Each class of problem: its message names the place and the field by the window's label with
// the accepted range, and gives the cell.
TEST(SiteEditorTest, EachProblemNamesItsCell) {
  const int ho = Col(StackColumns(), "HoEdit");
  const int tempG = Col(StackColumns(), "TempGEdit");
  const int commonHm = Col(CommonColumns(), "HmEdit");
  const int commonZ = Col(CommonColumns(), "HrpEdit");
  const int nox = Col(StackColumns(), "NOxTrnCheckBox");
  const int alpha = Col(StackColumns(), "AlphaEdit");
  struct Case {
    std::string Name;
    std::function<void(SiteDocument&)> Change;
    SitePlace Place;
    int Row, Col;
    std::vector<std::string> Parts;  // each in the message
  };
  const std::vector<Case> cases = {
      {"no met", [](SiteDocument& d) { d.Met.reset(); }, SitePlace::Met, -1, -1, {"気象ファイルを選んでください"}},
      {"common out of range", [&](SiteDocument& d) { d.Common[static_cast<std::size_t>(commonHm)] = "400"; },
       SitePlace::Common, 0, commonHm, {"共通の値の「風速測定高さ Hm (m)」 \"400\"", "入力できる範囲: 4.99 ～ 301"}},
      {"common height", [&](SiteDocument& d) { d.Common[static_cast<std::size_t>(commonZ)] = "-1"; },
       SitePlace::Common, 0, commonZ, {"「予測点の高さ z (m)」", "0 ～ 301"}},
      {"stack out of range", [&](SiteDocument& d) { d.Stacks[1][static_cast<std::size_t>(ho)] = "400"; },
       SitePlace::Stacks, 1, ho, {"煙突 \"2号焼却炉\" の「実煙突高さ Ho (m)」 \"400\"", "入力できる範囲: 0.499 ～ 301 の数値"}},
      {"stack not a number", [&](SiteDocument& d) { d.Stacks[0][static_cast<std::size_t>(ho)] = "abc"; },
       SitePlace::Stacks, 0, ho, {"煙突 \"1号ボイラ\" の「実煙突高さ Ho (m)」 \"abc\"", "0.499 ～ 301"}},
      {"T below Ta", [&](SiteDocument& d) { d.Stacks[0][static_cast<std::size_t>(tempG)] = "5"; },
       SitePlace::Stacks, 0, tempG, {"排ガス温度 T は気温 Ta 以上にしてください"}},
      {"NOx field while off", [&](SiteDocument& d) { d.Stacks[0][static_cast<std::size_t>(alpha)] = "2"; },
       SitePlace::Stacks, 0, alpha, {"「NOx変換 α」", "0 ～ 1.001", "NOx変換を行わないときも検査されます"}},
      {"bad check box", [&](SiteDocument& d) { d.Stacks[0][static_cast<std::size_t>(nox)] = "maybe"; },
       SitePlace::Stacks, 0, nox, {"「NOx変換を行う」 \"maybe\"", "1 (する) か 0 (しない)"}},
      {"no stack", [](SiteDocument& d) { d.Stacks.clear(); }, SitePlace::Stacks, 0, 0, {"煙突がありません"}},
      {"empty name", [](SiteDocument& d) { d.Stacks[1][0].clear(); }, SitePlace::Stacks, 1, 0,
       {"煙突 (2 行目) の「名前」を入力してください"}},
      {"same name", [](SiteDocument& d) { d.Points[2][0] = d.Points[0][0]; }, SitePlace::Points, 2, 0,
       {"地点 \"みなと小学校\" と同じ名前がもう一つあります"}},
      {"stack x", [](SiteDocument& d) { d.Stacks[1][1] = "東"; }, SitePlace::Stacks, 1, 1,
       {"煙突 \"2号焼却炉\" の「x (m)」 \"東\" は数値ではありません", "-1E9 ～ 1E9"}},
      {"point y far", [](SiteDocument& d) { d.Points[1][2] = "2e9"; }, SitePlace::Points, 1, 2, {"地点 \"東町\" の「y (m)」"}},
      {"point z", [](SiteDocument& d) { d.Points[2][3] = "500"; }, SitePlace::Points, 2, 3,
       {"地点 \"病院\" の「z (m)」 \"500\"", "入力できる範囲: 0 ～ 301"}},
      {"grid form", [](SiteDocument& d) { d.GridX = "-3000:3000"; }, SitePlace::GridX, -1, -1,
       {"格子の x \"-3000:3000\"", "「始め:終わり:個数」"}},
      {"grid order", [](SiteDocument& d) { d.GridY = "10:-10:5"; }, SitePlace::GridY, -1, -1, {"始めは終わりより小さく"}},
      {"polar distances", [](SiteDocument& d) { d.PolarDistances = "0:100:5"; }, SitePlace::PolarDistances, -1, -1,
       {"極座標の距離", "0.09999 ～ 100001"}},
      {"no receptor",
       [](SiteDocument& d) {
         d.GridOn = d.PolarOn = false;
         d.Points.clear();
       },
       SitePlace::GridX, -1, -1, {"受容点がありません"}},
      {"levels", [](SiteDocument& d) { d.Levels = "0.2 0.1"; }, SitePlace::Levels, -1, -1, {"小さい順に"}},
      {"pollutants not JSON", [](SiteDocument& d) { d.Pollutants = "[{"; }, SitePlace::Pollutants, -1, -1,
       {"汚染物質 (pollutants): JSON として読めません (1 行"}},
      {"pollutant stack missing",
       [](SiteDocument& d) {
         d.Pollutants = R"([{"name": "SO2", "unit": "m3N/s", "stacks": {"1号ボイラ": "0.004"},
           "background": {"value": 0.002, "unit": "ppm"}, "standard": "SO2", "conversion": {"linear": {"a": 1, "b": 0}}}])";
       },
       SitePlace::Pollutants, 0, 0, {"このサイトは計算できません:\nサイトファイルの誤り: 汚染物質 \"SO2\"", "発生源 \"2号焼却炉\" の排出量がありません"}},
      {"pollutant emission",
       [](SiteDocument& d) {
         d.Pollutants = R"([{"name": "SO2", "unit": "m3N/s", "stacks": {"1号ボイラ": "0.004", "2号焼却炉": "2e9"},
           "background": {"value": 0.002, "unit": "ppm"}, "standard": "SO2", "conversion": {"linear": {"a": 1, "b": 0}}}])";
       },
       SitePlace::Emissions, 1, 0, {"汚染物質 \"SO2\" の計算で: 発生源 \"2号焼却炉\" の「汚染質排出量", "入力できる範囲"}},
  };
  ScratchDir dir;
  const SiteDocument valid = BuiltSite(dir);
  ASSERT_EQ(CheckSiteDocument(valid), std::nullopt);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SiteDocument doc = valid;
    c.Change(doc);
    const std::optional<EditorProblem> p = CheckSiteDocument(doc);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Place, c.Place) << p->Text;
    EXPECT_EQ(p->Row, c.Row) << p->Text;
    EXPECT_EQ(p->Col, c.Col) << p->Text;
    for (const std::string& part : c.Parts) EXPECT_NE(p->Text.find(part), std::string::npos) << p->Text;
    // Never saved: the file stays as it was.
    const std::string path = scratch::TextOf(dir / "refused.json");
    WriteBytes(dir / "refused.json", "old");
    EXPECT_TRUE(SaveSiteDocument(doc, path));
    EXPECT_EQ(ReadBytes(dir / "refused.json"), "old");
  }
}

TEST(SiteEditorTest, MetFileShownAndRefused) {
  ScratchDir dir;
  SiteDocument doc = BuiltSite(dir);
  const std::string shown = MetFileText(doc);
  EXPECT_NE(shown.find("met.json"), std::string::npos) << shown;
  EXPECT_NE(shown.find("観測所: テスト局"), std::string::npos) << shown;
  EXPECT_NE(shown.find("有効 8760 時間"), std::string::npos) << shown;
  WriteBytes(dir / "bad.json", "{\"format\": \"vmk-met/1\"}");
  const SiteDocument before = doc;
  const std::optional<std::string> problem = SetMetFile(doc, scratch::TextOf(dir / "bad.json"));
  ASSERT_TRUE(problem);
  EXPECT_NE(problem->find("bad.json を気象ファイルとして読めません"), std::string::npos) << *problem;
  EXPECT_EQ(doc, before);
  EXPECT_EQ(UnusedName(doc.Stacks, "煙突"), "煙突1");
  doc.Stacks[0][0] = "煙突1";
  EXPECT_EQ(UnusedName(doc.Stacks, "煙突"), "煙突2");
  EXPECT_EQ(PlacedCoordinateText(1234.5678), "1234.57");
  EXPECT_EQ(PlacedCoordinateText(-0.001), "0");
  // A row made short reads as empty cells: the stack takes the common values.
  SiteDocument shortRow = BuiltSite(dir);
  shortRow.Stacks[0].resize(3);
  shortRow.Common.clear();
  EXPECT_EQ(CheckSiteDocument(shortRow), std::nullopt);
  std::vector<SiteRow> rows = {{"a"}};
  ASSERT_FALSE(PasteIntoTable(rows, PointColumns(), SitePlace::Points, "1\t2\t3", 0, 1).Problem);
  EXPECT_EQ(rows[0], (SiteRow{"a", "1", "2", "3"}));
}

}  // namespace
}  // namespace vmk
