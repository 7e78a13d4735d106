// vmk-calc's command line: options, case-file checking, hostile inputs, exit statuses, and
// the state that successive calculations of one case file share.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "input/frequency_grid.h"
#include "form/form_layout.h"
#include "cli_process.h"
#include "common/cp932.h"

namespace vmk::clitest {
namespace {

using Json = nlohmann::json;

// A windy case with hours: the plume worked case, so that results are not zero.
constexpr const char* kWindyCase = R"("QpEdit": " 0.001", "MetStringGrid": {"4,8": " 100"})";

// Runs the case with --json; standard error must hold exactly `expectedErr` (the accepted range
// of a rejected input, the notes on report files).
Json RunJson(const std::string& caseText, int expectedExit = 0,
             const std::vector<std::string>& extra = {}, const std::string& expectedErr = "") {
  std::vector<std::string> args{"--json"};
  args.insert(args.end(), extra.begin(), extra.end());
  args.push_back("-");
  const RunResult r = RunVmkCalc(args, caseText);
  EXPECT_EQ(r.ExitCode, expectedExit) << r.Err;
  EXPECT_EQ(r.Err, expectedErr);
  return Json::parse(r.Out);
}

TEST(CliOptions, HelpAndUsageErrors) {
  for (const char* opt : {"--help", "-h"}) {
    const RunResult r = RunVmkCalc({opt});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_TRUE(r.Out.starts_with("Usage: vmk-calc [--json] [--report-dir DIR] CASE\n"));
    for (const char* topic : {"--template", "Exit status", "null", "rows 1 to 10"}) {
      EXPECT_NE(r.Out.find(topic), std::string::npos) << topic;
    }
  }
  // The rules every program shares are in cli_options_test.cpp.
  struct Bad {
    std::vector<std::string> Args;
    const char* Line;
  };
  const Bad bad[] = {
      {{"--bogus", "x.json"}, "vmk-calc: unknown option --bogus"},
      {{}, "vmk-calc: no case file given"},
      {{"a.json", "b.json"}, "vmk-calc: more than one case file given"},
      {{"--template", "x.json"}, "vmk-calc: --template takes no case file or other option"},
  };
  for (const Bad& b : bad) ExpectUsageRefusal(RunVmkCalc(b.Args), b.Line);
}

TEST(CliTemplate, HoldsEveryInputAtStartupAndRunsAsTheDefaults) {
  const RunResult t = RunVmkCalc({"--template"});
  ASSERT_EQ(t.ExitCode, 0);
  const Json tmpl = Json::parse(t.Out);

  const FormRecord startup = MakeStartupForm();
  std::size_t inputs = 0;
  for (const ControlDef& def : FormLayout()) {
    const std::string name(def.Name);
    if (def.Kind == ControlKind::Edit) {
      ++inputs;
      EXPECT_EQ(tmpl.at(name), Cp932ToUtf8(startup.Text(name))) << name;
    } else if (def.Kind == ControlKind::CheckBox) {
      ++inputs;
      EXPECT_EQ(tmpl.at(name), false) << name;
    }
  }
  const Json& grid = tmpl.at("MetStringGrid");
  EXPECT_EQ(tmpl.size(), inputs + 1);
  EXPECT_EQ(grid.size(), 9u * 12u);
  EXPECT_EQ(grid.at("1,1"), " 0.4");
  EXPECT_EQ(grid.at("2,5"), " 0.00");
  EXPECT_EQ(grid.at("9,12"), "   0");

  const RunResult fromTemplate = RunVmkCalc({"--json", "-"}, t.Out);
  const RunResult fromEmpty = RunVmkCalc({"--json", "-"}, "{}");
  EXPECT_EQ(fromTemplate.ExitCode, 0);
  EXPECT_EQ(fromTemplate.Out, fromEmpty.Out);
}

TEST(CliCaseFile, UnusableFilesAreRejectedWithOneLineSayingWhy) {
  struct Bad {
    std::string Text;
    const char* Fragment;
  };
  const Bad bad[] = {
      {R"({"Foo": " 1"})", R"(unknown key "Foo")"},
      {R"({"messageLabel": "x"})", R"(key "messageLabel" names a label)"},
      {R"({"CalcGoButton": "x"})", R"(key "CalcGoButton" names a button)"},
      {R"({"QgEdit": 50})", R"("QgEdit" must be a string (the field's text), not a number)"},
      {R"({"memoOption": null})", R"("memoOption" must be a string (the field's text), not null)"},
      {R"({"NOxTrnCheckBox": "yes"})",
       R"("NOxTrnCheckBox" must be true or false (a check box), not a string)"},
      {R"({"PHrHmCheckBox": 1})", R"("PHrHmCheckBox" must be true or false)"},
      {R"({"MetStringGrid": []})", R"("MetStringGrid" must be an object)"},
      {R"({"MetStringGrid": {"4,8": 100}})", R"(MetStringGrid "4,8" must be a string)"},
      {R"({"MetStringGrid": {"11,2": "1"}})", R"(key "11,2" is not an editable cell)"},
      {R"({"MetStringGrid": {"0,0": "1"}})", R"(key "0,0" is not an editable cell)"},
      {R"({"MetStringGrid": {"0,5": "1"}})", R"(key "0,5" is not an editable cell)"},
      {R"({"MetStringGrid": {"4,0": "1"}})", R"(key "4,0" is not an editable cell)"},
      {R"({"MetStringGrid": {"1,14": "1"}})", R"(key "1,14" is not an editable cell)"},
      {R"({"MetStringGrid": {"a,b": "1"}})", R"(key "a,b" is not "row,col")"},
      {R"({"MetStringGrid": {"4": "1"}})", R"(key "4" is not "row,col")"},
      {R"({"MetStringGrid": {"4,8,1": "1"}})", R"(key "4,8,1" is not "row,col")"},
      {R"({"MetStringGrid": {" 4,8": "1"}})", R"(key " 4,8" is not "row,col")"},
      {R"({"MetStringGrid": {"-1,8": "1"}})", R"(key "-1,8" is not "row,col")"},
      {R"([{}, {"Bar": "1"}])", R"(calculation 2: unknown key "Bar")"},
      {R"([{}, 3])", "calculation 2: must be an object, not a number"},
      {R"("text")", "must hold one object or an array of objects, not a string"},
      {R"({"QgEdit": " 1", "QgEdit": " 2"})", R"(key "QgEdit" appears twice)"},
      {R"([{"MetStringGrid": {"4,8": "1", "4,8": "2"}}])",
       R"(calculation 1: key "4,8" appears twice)"},
      {R"({"QgEdit": })", "not valid JSON at line 1, column 12 (byte 12): syntax error"},
      {"{\n  \"QgEdit\": \" 1\",\n}", "not valid JSON at line 3, column 1 (byte 21)"},
      {"", "not valid JSON at line 1, column 1 (byte 1)"},
      {R"({"QgEdit": 8e4888})",
       "not valid JSON (byte 17): a number beyond the range the program can hold"},
      {std::string(100000, '['), "nested deeper than 64 levels at byte 65"},
      {"{\"memoOption\": \"\xff\xfe\"}", "ill-formed UTF-8 byte (a case file is UTF-8 text)"},
      // A memo saved as Shift-JIS rather than UTF-8.
      {"{\"memoOption\": \"\x93\xfa\x96\x7b\"}",
       "byte 17): syntax error while parsing value - invalid string: ill-formed UTF-8"},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.Text.substr(0, 80));
    const RunResult r = RunVmkCalc({"-"}, b.Text);
    ExpectUnusable(r, b.Fragment);
    EXPECT_TRUE(r.Err.starts_with("vmk-calc: standard input: ")) << r.Err;
  }
  // Exactly 64 levels pass the nesting check (and then fail as a case file).
  ExpectUnusable(RunVmkCalc({"-"}, std::string(64, '[') + std::string(64, ']')),
                 "calculation 1: must be an object, not an array");
  // Long keys are cut in the message.
  ExpectUnusable(RunVmkCalc({"-"}, "{\"" + std::string(5000, 'K') + "\": 1}"),
                 "unknown key \"" + std::string(40, 'K') + "\"...:");
}

TEST(CliCaseFile, FilesThatCannotBeReadOrAreTooLarge) {
  ExpectUnusable(RunVmkCalc({"no-such-case.json"}), "vmk-calc: no-such-case.json: cannot open");
  TempDir dir;
  ExpectUnusable(RunVmkCalc({dir.Path().string()}), "cannot read");
  const std::string huge = "{\"memoOption\": \"" + std::string(17u << 20, 'x') + "\"}";
  ExpectUnusable(RunVmkCalc({"-"}, huge), "larger than 16777216 bytes");
}

TEST(CliCaseFile, NothingRunsWhenALaterCalculationIsBad) {
  TempDir dir;
  WriteBytes(dir / "VMKIO1.csv", "");
  const RunResult r = RunVmkCalc({"--report-dir", dir.Path().string(), "-"},
                                 R"([{"memoOption": "@WA:1@"}, {"QgEdit": 1}])");
  ExpectUnusable(r, "calculation 2:");
  EXPECT_EQ(ReadBytes(dir / "VMKIO1.csv"), "");
}

TEST(CliCaseFile, RowTenAndColumnThirteenAreAcceptedAndOverwritten) {
  const Json res = RunJson(R"({"MetStringGrid": {"10,13": "999", "3,1": "junk", "10,2": "x"}})");
  EXPECT_EQ(res["totals"]["10,13"], "    0");
  EXPECT_EQ(res["totals"]["10,2"], "   0");
}

TEST(CliLargeInput, TenMegabyteFileAndTenThousandCharacterTexts) {
  TempDir dir;
  const std::string memo = "@x@ " + std::string(10u << 20, 'm');
  WriteBytes(dir / "big.json", "{\"memoOption\": \"" + memo + "\"}");
  const RunResult big = RunVmkCalc({"--json", (dir / "big.json").string()});
  EXPECT_EQ(big.ExitCode, 0);
  EXPECT_EQ(Json::parse(big.Out)["memoOption"], memo);

  // The field takes the whole text; its parser judges the first 20 bytes.
  const Json qg = RunJson(R"({"QgEdit": ")" + std::string(10000, '1') + R"("})", 1, {},
                          "vmk-calc: QgEdit \"" + std::string(40, '1') +
                              "\"...: a number from 0 to 10001 is accepted\n");
  EXPECT_EQ(qg["messageLabel"], "Error: Qg: ");
  EXPECT_EQ(qg["QhResultLabel"], " Error ");

  std::string japanese;
  for (int i = 0; i < 10000; ++i) japanese += "風";
  const Json memoRes = RunJson(R"({"memoOption": ")" + japanese + R"("})");
  EXPECT_EQ(memoRes["memoOption"], japanese);
}

// The missing file in --json form is a golden case.
TEST(CliReport, MissingReportFileOrFolderShowsTheMessageBoxAndTheFile) {
  TempDir dir;  // empty: no VMKIO1.csv
  const std::string memo = R"({"memoOption": "@WA:1@"})";
  const std::string noFolder = (dir / "no-folder").string();
  const Json folder =
      RunJson(memo, 1, {"--report-dir", noFolder},
              "vmk-calc: message box \"不正なﾌｧｲﾙ名です.\" for the report file " +
                  (dir / "no-folder" / "VMKIO1.csv").string() + "\nvmk-calc: warning: no calculation wrote a report into " +
                  noFolder + " (--report-dir); a memo beginning \"@WA:1@\" asks for one\n");
  EXPECT_EQ(folder["messageBox"], "不正なﾌｧｲﾙ名です.");
  EXPECT_FALSE(folder.contains("report"));

  // Lower-case mode and name character: the file's name character is upper case.
  const RunResult text =
      RunVmkCalc({"--report-dir", dir.Path().string(), "-"}, R"({"memoOption": "@wa:z@"})");
  EXPECT_EQ(text.ExitCode, 1);
  EXPECT_NE(text.Out.find("message box    : ﾌｧｲﾙが見つかりません.\nreport file    : " +
                          (dir / "VMKIOZ.csv").string() + " (not written)\n"),
            std::string::npos)
      << text.Out;
  EXPECT_TRUE(text.Err.starts_with("vmk-calc: warning: no calculation wrote a report")) << text.Err;

  // Once the file exists the same memo appends to the same path, and nothing is said on
  // standard error.
  WriteBytes(dir / "VMKIOZ.csv", "");
  const RunResult written =
      RunVmkCalc({"--report-dir", dir.Path().string(), "-"}, R"({"memoOption": "@wa:z@"})");
  EXPECT_EQ(written.ExitCode, 0);
  EXPECT_NE(written.Out.find("report         : " + (dir / "VMKIOZ.csv").string() + "\n"),
            std::string::npos)
      << written.Out;
  EXPECT_EQ(written.Out.find("report file"), std::string::npos);
  EXPECT_EQ(written.Err, "");
}

TEST(CliReport, ReportFolderWithoutAReportIsAWarning) {
  TempDir dir;
  WriteBytes(dir / "VMKIO1.csv", "");
  const std::string warning = "vmk-calc: warning: no calculation wrote a report into " +
                              dir.Path().string() +
                              " (--report-dir); a memo beginning \"@WA:1@\" asks for one\n";
  for (const char* text : {"{}", "[]", R"({"memoOption": "@WA:1"})", R"({"memoOption": "@RA:1@"})",
                           R"({"memoOption": "@WA:1@", "QgEdit": "x"})"}) {
    SCOPED_TRACE(text);
    const RunResult r = RunVmkCalc({"--report-dir", dir.Path().string(), "-"}, text);
    EXPECT_TRUE(r.Err.ends_with(warning)) << r.Err;
  }
  // One report in a sequence is enough; without --report-dir nothing is said.
  EXPECT_EQ(RunVmkCalc({"--report-dir", dir.Path().string(), "-"},
                       R"([{}, {"memoOption": "@WA:1@"}, {}])")
                .Err,
            "");
  EXPECT_EQ(RunVmkCalc({"-"}, "{}").Err, "");
}

TEST(CliOutput, RejectedInputsNameWhatTheyAcceptOnStandardError) {
  struct Row {
    const char* Case;
    const char* Err;
  };
  const Row rows[] = {
      {R"({"XrpEdit": " 0"})",
       "vmk-calc: XrpEdit \" 0\": a number from 0.09999 to 100001 is accepted\n"},
      {R"({"dHformulaWWEdit": "1.0"})",
       "vmk-calc: dHformulaWWEdit \"1.0\": a whole number from 0 to 4 is accepted\n"},
      {R"({"MetStringGrid": {"2,1": "25"}})",
       "vmk-calc: MetStringGrid \"2,1\" \"25\": a number from 0.099 to 20.001 is accepted\n"},
      {R"({"TempGEdit": " 14.9"})",
       "vmk-calc: TempGEdit \" 14.9\": T must not be below Ta (TempAmbEdit \" 15.0\")\n"},
      {R"([{"QgEdit": "x"}, {"QgEdit": " 10"}, {"MetStringGrid": {"5,4": "1.5"}}])",
       "vmk-calc: calculation 1: QgEdit \"x\": a number from 0 to 10001 is accepted\n"
       "vmk-calc: calculation 3: MetStringGrid \"5,4\" \"1.5\": a whole number from 0 to 8784 "
       "is accepted\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Case);
    const RunResult text = RunVmkCalc({"-"}, row.Case);
    EXPECT_EQ(text.ExitCode, 1);
    EXPECT_EQ(text.Err, row.Err);
    EXPECT_EQ(text.Out.find("accepted"), std::string::npos);  // the results stay as they were
    const RunResult json = RunVmkCalc({"--json", "-"}, row.Case);
    EXPECT_EQ(json.Err, row.Err);
  }
}

// 全方位有効頻度 below the hours of the grid: a warning, and the results as without it.
TEST(CliOutput, TotalBelowTheGridsHoursWarnsOnStandardError) {
  constexpr char kWarning[] =
      "warning: FreqTotalEdit 100 is less than the 1990 hours the grid counts for all directions (calm and "
      "weak wind of all directions, windy of this one): the concentration comes out too high\n";
  const std::string grid = R"("MetStringGrid": {"1,2": "40", "2,3": "2.5", "3,4": "150", "4,8": "1700", "9,12": "100"})";
  const struct {
    std::string Case;
    std::string Err;
  } rows[] = {
      {"{" + grid + R"(, "FreqTotalEdit": "100"})", std::string("vmk-calc: ") + kWarning},
      {"{" + grid + R"(, "FreqTotalEdit": "1990"})", ""},
      {"[{" + grid + R"(, "FreqTotalEdit": "100"}, {"FreqTotalEdit": "1990"}, {"FreqTotalEdit": "100"}])",
       std::string("vmk-calc: calculation 1: ") + kWarning + "vmk-calc: calculation 3: " + kWarning},
      // An input that stops the calculation is what standard error names.
      {"{" + grid + R"(, "FreqTotalEdit": "100", "QgEdit": "x"})",
       "vmk-calc: QgEdit \"x\": a number from 0 to 10001 is accepted\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Case);
    const RunResult r = RunVmkCalc({"-"}, row.Case);
    EXPECT_EQ(r.Err, row.Err);
    EXPECT_EQ(RunVmkCalc({"--json", "-"}, row.Case).Err, row.Err);
  }
  // The calculation runs as always: the concentration is FreqTotal's weighting, 19.9 times the
  // one over 1990 hours, and the exit status normal.
  const Json low = RunJson("{" + grid + R"(, "FreqTotalEdit": "100"})", 0, {}, std::string("vmk-calc: ") + kWarning);
  const Json full = RunJson("{" + grid + R"(, "FreqTotalEdit": "1990"})");
  EXPECT_NEAR(low["TotalConc"].get<double>() / full["TotalConc"].get<double>(), 19.9, 1e-4);
}

TEST(CliOutput, TextFormIsTheWindowsLabels) {
  const RunResult r = RunVmkCalc({"-"}, "{}");
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Out, " 入力・条件 : O.K.\nQh (cal/s)     : 5.741E5\nC (ppb, ng/m3) : 0\n");
}

TEST(CliOutput, ExitStatusFollowsTheResultDisplay) {
  struct Row {
    const char* Case;
    int Exit;
    const char* Status;
    const char* Err;
  };
  const Row rows[] = {
      {R"({"memoOption": "@ver@"})", 0, " 入力・条件 : O.K.", ""},
      {R"({"FreqTotalEdit": " 0"})", 1, "Error: 全方位有効頻度 fall: ",
       "vmk-calc: FreqTotalEdit \" 0\": a whole number from 1 to 8784 is accepted\n"},
      {R"({"TempGEdit": " 14.9"})", 1, "T<Ta: ",
       "vmk-calc: TempGEdit \" 14.9\": T must not be below Ta (TempAmbEdit \" 15.0\")\n"},
      {R"({"memoOption": "@RA:1@"})", 1, " proc. fileRead called ", ""},
      {R"([{}, {"QgEdit": " x"}, {"QgEdit": " 10"}])", 1, " 入力・条件 : O.K.",
       "vmk-calc: calculation 2: QgEdit \" x\": a number from 0 to 10001 is accepted\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Case);
    Json res = RunJson(row.Case, row.Exit, {}, row.Err);
    if (res.is_array()) res = res.back();
    EXPECT_EQ(res["messageLabel"], row.Status);
  }
}

TEST(CliSequence, CheckBoxesActAsClicksOnlyWhenTheyChange) {
  const Json res = RunJson(std::string("[{") + kWindyCase + R"(, "NOxTrnCheckBox": true},
      {"NOxTrnCheckBox": true}, {"NOxTrnCheckBox": false}])");
  const float on = res[0]["TotalConc"].get<float>();
  EXPECT_EQ(res[1]["TotalConc"].get<float>(), on);
  EXPECT_LT(on, res[2]["TotalConc"].get<float>());

  // The check box decides which P(Hr->Hm) field is read: a bad constant does not matter
  // while the stability-dependent multiplier is selected.
  const Json ph = RunJson(R"([{"Phr_HmEdit": " x", "PHrHmCheckBox": true},
      {"PHrHmCheckBox": false}])",
                          1, {},
                          "vmk-calc: calculation 2: Phr_HmEdit \" x\": a number from 0 to "
                          "1.001 is accepted\n");
  EXPECT_EQ(ph[0]["messageLabel"], " 入力・条件 : O.K.");
  EXPECT_EQ(ph[1]["messageLabel"], "Error: P(Hr->Hm 定数): ");
}

}  // namespace
}  // namespace vmk::clitest
