// vmk-calc and the files around it, as every system must give them: the report kept from a
// second writer, file names in any script, standard input and output as plain bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_process.h"
#include "common/cp932.h"
#include "platform/files.h"

namespace vmk::clitest {
namespace {

// While another program writes the report, a calculation that would append to it shows the
// denied access and leaves the file alone; once it is closed, the next run appends.
TEST(CliReport, SecondWriterIsDeniedWhileTheReportIsOpen) {
  TempDir dir;
  const std::string report = dir.NewFile("VMKIO1.csv", "theirs\r\n");
  const std::string caseText = R"({"memoOption": "@WA:1@ second"})";
  {
    platform::AppendFile other;
    ASSERT_EQ(other.OpenExisting(report), 0);
    const RunResult denied = RunVmkCalc({"--report-dir", dir.Path().string(), "-"}, caseText);
    EXPECT_EQ(denied.ExitCode, 1);
    EXPECT_NE(denied.Out.find("message box    : ﾌｧｲﾙへのｱｸｾｽが拒否されました.\n"),
              std::string::npos)
        << denied.Out;
    // The only line on standard error: no calculation could write the report asked for.
    EXPECT_EQ(denied.Err, "vmk-calc: warning: no calculation wrote a report into " +
                              dir.Path().string() +
                              " (--report-dir); a memo beginning \"@WA:1@\" asks for one\n");
  }
  EXPECT_EQ(ReadBytes(dir / "VMKIO1.csv"), "theirs\r\n");
  const RunResult appended = RunVmkCalc({"--report-dir", dir.Path().string(), "-"}, caseText);
  EXPECT_EQ(appended.ExitCode, 0) << appended.Out << appended.Err;
  EXPECT_NE(ReadBytes(dir / "VMKIO1.csv").find("puff      @WA:1@ second"), std::string::npos);
}

// A series in which one calculation's report file is held by another writer: that calculation
// says its report is not written, and only the others say theirs are.
TEST(CliReport, ReportRefusedPartWayThroughASeriesIsNotSaidToBeWritten) {
  TempDir dir;
  const std::string one = dir.NewFile("VMKIO1.csv");
  const std::string two = dir.NewFile("VMKIO2.csv", "theirs\r\n");
  platform::AppendFile other;
  ASSERT_EQ(other.OpenExisting(two), 0);
  const RunResult r = RunVmkCalc({"--report-dir", dir.Path().string(), "-"},
                                 R"([{"memoOption": "@WA:1@"}, {"memoOption": "@WA:2@"},)"
                                 R"( {"memoOption": "@WA:1@ again"}])");
  EXPECT_EQ(r.ExitCode, 1);
  const std::size_t second = r.Out.find("calculation 2\n");
  const std::size_t third = r.Out.find("calculation 3\n");
  ASSERT_NE(third, std::string::npos) << r.Out;
  const std::string written = "report         : " + one + "\n";
  EXPECT_NE(r.Out.substr(0, second).find(written), std::string::npos) << r.Out;
  const std::string refused = r.Out.substr(second, third - second);
  EXPECT_NE(refused.find("message box    : ﾌｧｲﾙへのｱｸｾｽが拒否されました.\n"
                         "report file    : " + two + " (not written)\n"),
            std::string::npos)
      << refused;
  EXPECT_EQ(refused.find("report         :"), std::string::npos) << refused;
  EXPECT_NE(r.Out.substr(third).find(written), std::string::npos) << r.Out;
  other.CloseQuietly();
  EXPECT_EQ(ReadBytes(dir / "VMKIO2.csv"), "theirs\r\n");
}

// A case file, a report folder and a plot whose names are Japanese and hold blanks.
TEST(CliFiles, NamesInAnyScript) {
  TempDir dir;
  const std::filesystem::path cases = dir / "濃度 データ";
  const std::filesystem::path io = dir / "報告 IO";
  std::filesystem::create_directory(cases);
  std::filesystem::create_directory(io);
  WriteBytes(cases / "ケース 1.json",
             R"({"memoOption": "@WA:1@ 日本語のメモ", "QpEdit": " 0.001",)"
             R"( "MetStringGrid": {"4,8": " 100"}})");
  WriteBytes(io / "VMKIO1.csv", "");
  const std::string caseFile = scratch::TextOf(cases / "ケース 1.json");
  const std::string ioFolder = scratch::TextOf(io);

  const RunResult r = RunVmkCalc({"--report-dir", ioFolder, caseFile});
  EXPECT_EQ(r.ExitCode, 0) << r.Out << r.Err;
  EXPECT_NE(r.Out.find("report         : " + platform::JoinPath(ioFolder, "VMKIO1.csv") + "\n"),
            std::string::npos)
      << r.Out;
  EXPECT_NE(ReadBytes(io / "VMKIO1.csv").find(Sj("日本語のメモ")), std::string::npos);

  const std::string plot = scratch::TextOf(cases / "分布 図.svg");
  const RunResult p =
      RunVmkCalc({"--profile", "10:1000:5", "--plot", plot, "--report-dir", ioFolder, caseFile});
  EXPECT_EQ(p.ExitCode, 0) << p.Err;
  EXPECT_NE(ReadBytes(cases / "分布 図.svg").find("<svg"), std::string::npos) << p.Err;

  ExpectUnusable(RunVmkCalc({scratch::TextOf(cases / "無い.json")}),
                 "vmk-calc: " + scratch::TextOf(cases / "無い.json") +
                     ": cannot open: No such file or directory\n");
}

// Input is read to its last byte: a 0x1A after the JSON is a byte the parser sees (and
// refuses), not the end of the text; CR LF line ends are blanks to JSON. Output lines end in
// LF alone.
TEST(CliStreams, StandardInputAndOutputArePlainBytes) {
  ExpectUnusable(RunVmkCalc({"-"}, "{\"memoOption\": \"x\"}\x1A more"), "not valid JSON");

  const RunResult crlf = RunVmkCalc({"--json", "-"}, "{\r\n  \"memoOption\": \"x\"\r\n}\r\n");
  EXPECT_EQ(crlf.ExitCode, 0) << crlf.Err;
  EXPECT_EQ(crlf.Out.find('\r'), std::string::npos);

  const RunResult tmpl = RunVmkCalc({"--template"});
  EXPECT_EQ(tmpl.ExitCode, 0);
  EXPECT_GT(tmpl.Out.size(), 1000u);
  EXPECT_EQ(tmpl.Out.find('\r'), std::string::npos);
  const RunResult help = RunVmkCalc({"--help"});
  EXPECT_EQ(help.Out.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace vmk::clitest
