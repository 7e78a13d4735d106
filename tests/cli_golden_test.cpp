// Golden runs of vmk-calc: each case file is run with --json and a report folder of its own,
// and both the printed results and the report bytes must match the expected files exactly.
//
// Files: tests/golden/<name>.expected.json holds the --json output and, when the case writes a
// report, tests/golden/<name>.expected.csv the bytes of VMKIO1.csv (code page 932, CR LF).
// The report folder is a fresh temporary folder holding an empty VMKIO1.csv; since its name
// differs per run, every occurrence of it in the output is replaced by "$REPORT_DIR" before
// the comparison (so "report": "$REPORT_DIR/VMKIO1.csv" in the expected files).
//
// The expected files were produced by the program and then checked against the model's worked
// values and an independent recomputation; after a deliberate change, regenerate one with
//   vmk-calc --json --report-dir DIR CASE | sed "s|DIR|\$REPORT_DIR|g" > NAME.expected.json
// and check the differences by hand before committing them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "cli_process.h"

namespace vmk::clitest {
namespace {

struct GoldenCase {
  const char* Name;
  const char* CaseFile;  // relative to the source tree
  int ExitCode;
  const char* Err;       // standard error, "$REPORT_DIR" for the report folder
};

// Every golden run names a report folder: the runs that write no report warn about it.
#define NO_REPORT_WARNING                                                                   \
  "vmk-calc: warning: no calculation wrote a report into $REPORT_DIR/ (--report-dir); a memo " \
  "beginning \"@WA:1@\" asks for one\n"

// The examples a new user runs are golden cases too, so that what they print stays checked.
const GoldenCase kGoldenCases[] = {
    // Start-up defaults: Qh " 5.741E5", C " 0", every total zero.
    {"defaults", "tests/golden/defaults.json", 0, NO_REPORT_WARNING},
    // The plume model's worked case: sigma-z 4.69, F 0.20675, C1 298.32, Cw 3.4055.
    {"plume-worked", "tests/golden/plume-worked.json", 0, ""},
    {"site", "examples/site.json", 0, NO_REPORT_WARNING},
    {"site-no2-report", "examples/site-no2-report.json", 0, ""},
    // "@WA:2@" with no VMKIO2.csv: the message box, no results.
    {"missing-report", "tests/golden/missing-report.json", 1,
     "vmk-calc: message box \"ﾌｧｲﾙが見つかりません.\" for the report file "
     "$REPORT_DIR/VMKIO2.csv\n" NO_REPORT_WARNING},
    // Six presses on one window: report, added cells, bad input, file-read request, version
    // query, NOx conversion with a second report appended to the same file.
    {"sequence", "tests/golden/sequence.json", 1,
     "vmk-calc: calculation 3: HoEdit \" 0.4\": a number from 0.499 to 301 is accepted\n"},
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t p = text.find(from); p != std::string::npos;
       p = text.find(from, p + to.size())) {
    text.replace(p, from.size(), to);
  }
  return text;
}

class GoldenTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, OutputAndReportMatchExactly) {
  const GoldenCase& g = GetParam();
  const auto golden = kSourceDir / "tests" / "golden";
  const auto expectedJson = golden / (std::string(g.Name) + ".expected.json");
  const auto expectedCsv = golden / (std::string(g.Name) + ".expected.csv");
  ASSERT_TRUE(std::filesystem::exists(expectedJson)) << expectedJson;

  TempDir reportDir;
  WriteBytes(reportDir / "VMKIO1.csv", "");
  // With "/" for every separator and at the end, the report path is written the same on every
  // system (and needs no escapes in JSON).
  const std::string dirText = reportDir.Path().generic_string();
  const RunResult r = RunVmkCalc(
      {"--json", "--report-dir", dirText + "/", (kSourceDir / g.CaseFile).string()});

  EXPECT_EQ(r.ExitCode, g.ExitCode);
  EXPECT_EQ(ReplaceAll(r.Err, dirText, "$REPORT_DIR"), g.Err);
  EXPECT_EQ(ReplaceAll(r.Out, dirText, "$REPORT_DIR"), ReadBytes(expectedJson));
  const std::string report = ReadBytes(reportDir / "VMKIO1.csv");
  if (std::filesystem::exists(expectedCsv)) {
    EXPECT_EQ(report, ReadBytes(expectedCsv));
  } else {
    EXPECT_EQ(report, "") << "a report was written although no expected report exists";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTest, ::testing::ValuesIn(kGoldenCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                           std::string name = info.param.Name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// A case file or expected file added to tests/golden without an entry above would never run.
TEST(GoldenFiles, EveryFileBelongsToATableEntry) {
  std::set<std::string> known;
  for (const GoldenCase& g : kGoldenCases) {
    known.insert(std::string(g.Name) + ".expected.json");
    known.insert(std::string(g.Name) + ".expected.csv");
    if (std::string(g.CaseFile).starts_with("tests/golden/")) {
      known.insert(std::filesystem::path(g.CaseFile).filename().string());
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator(kSourceDir / "tests" / "golden")) {
    if (entry.path().filename().string().ends_with(".profile.csv")) continue;  // profile tests
    EXPECT_TRUE(known.count(entry.path().filename().string()))
        << entry.path().filename() << " is not used by any golden case";
  }
}

// Every example runs to a normal result (the report example needs its VMKIO1.csv).
TEST(Examples, EveryExampleRunsNormally) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kSourceDir / "examples")) {
    if (entry.path().extension() != ".json") continue;
    ++count;
    TempDir reportDir;
    WriteBytes(reportDir / "VMKIO1.csv", "");
    const RunResult r =
        RunVmkCalc({"--report-dir", reportDir.Path().string(), entry.path().string()});
    EXPECT_EQ(r.ExitCode, 0) << entry.path() << "\n" << r.Out << r.Err;
  }
  EXPECT_GE(count, 3);
}

}  // namespace
}  // namespace vmk::clitest
