// The programs' named outputs on POSIX systems, as a user meets them: a report that a full disk
// or the file-size limit stops is not written at all and not said to be; vmk-met's outputs
// refuse pipes, devices, folders and read-only files, and stop at the file-size limit with one
// line.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_process.h"
#include "output_files_support.h"
#include "file_size_limit.h"
#include "small_tmpfs.h"

namespace vmk::clitest {
namespace {

namespace fs = std::filesystem;
using scratch::CountTemporaryFiles;

const std::string kReportCase = (kSourceDir / "examples" / "site-no2-report.json").string();
const std::string kSample = (kSourceDir / "examples" / "met" / "hourly-sample.csv").string();

// The lines of a calculation whose report could not be written: the message box, the file named
// as not written, and nothing that says it was.
void ExpectReportNotWritten(const RunResult& r, const std::string& report, const std::string& box) {
  EXPECT_EQ(r.ExitCode, 1) << r.Out << r.Err;
  EXPECT_NE(r.Out.find("message box    : " + box + "\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("report file    : " + report + " (not written)\n"), std::string::npos) << r.Out;
  EXPECT_EQ(r.Out.find("report         :"), std::string::npos) << r.Out;
}

// The file-size limit with the signal as the system gives it: the program must not die of it.
TEST(CliReportPosix, FileSizeLimitLeavesTheReportAsItWas) {
  TempDir dir;
  const std::string before = std::string(5000, 'a') + "\x1A";
  const std::string report = dir.NewFile("VMKIO1.csv", before);
  RunResult r;
  {
    const scratch::FileSizeLimit limit(8192, scratch::FileSizeLimit::ForChildren);
    ASSERT_TRUE(limit.Active());
    r = RunVmkCalc({"--report-dir", dir.Path().string(), kReportCase});
  }
  ExpectReportNotWritten(r, report, "I/O ｴﾗｰ (" + std::to_string(EFBIG) + ").");
  EXPECT_EQ(ReadBytes(report), before);
  const RunResult next = RunVmkCalc({"--report-dir", dir.Path().string(), kReportCase});
  EXPECT_EQ(next.ExitCode, 0) << next.Out;
  EXPECT_EQ(ReadBytes(report).rfind(std::string(5000, 'a') + "\r\npuff ", 0), 0u);
}

TEST(CliReportPosix, FullDiskLeavesTheReportAsItWas) {
  TempDir dir;
  const scratch::SmallTmpfs disk(dir / "io", 64 * 1024);
  if (!disk.Problem().empty()) GTEST_SKIP() << disk.Problem();
  const std::string before(5000, 'a');
  const std::string report = dir.NewFile("io/VMKIO1.csv", before);
  disk.Fill();
  const RunResult r = RunVmkCalc({"--report-dir", dir.File("io"), kReportCase});
  ExpectReportNotWritten(r, report, "ﾃﾞｨｽｸがいっぱいです.");
  EXPECT_EQ(ReadBytes(report), before);
}

RunResult Met(const std::vector<std::string>& args) { return RunProgram(kVmkMet, args); }

// Each target refused with one line and exit 3, left as it was; the pictures' options too.
TEST(CliMetPosix, TargetsThatAreNoFilesAreRefused) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(dir.File("rose.svg").c_str(), 0644), 0);
  fs::create_directory(dir / "folder");
  const std::string readOnly = dir.NewFile("read-only.json", "kept");
  ::chmod(readOnly.c_str(), 0444);
  const struct {
    std::vector<std::string> Args;
    std::string Line;
  } cases[] = {
      {{"-o", dir.File("fifo")}, dir.File("fifo") + ": refused: a named pipe (FIFO), not a file"},
      {{"-o", "/dev/null"}, "/dev/null: refused: a device, not a file"},
      {{"-o", dir.File("folder")}, dir.File("folder") + ": refused: a folder, not a file"},
      {{"--case", readOnly, "--direction", "N"}, readOnly + ": refused: the file is read-only"},
      {{"--rose", dir.File("rose.svg")}, dir.File("rose.svg") + ": a named pipe (FIFO), not a file"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {kSample};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const RunResult r = Met(args);
    EXPECT_EQ(r.ExitCode, 3) << c.Line;
    EXPECT_EQ(r.Err, "vmk-met: cannot write " + c.Line + "\n");
  }
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_EQ(ReadBytes(readOnly), "kept");
  EXPECT_EQ(CountTemporaryFiles(dir.Path()), 0);
}

// The file-size limit stops the met file: one line, exit 3, the old file as it was, no
// temporary file left.
TEST(CliMetPosix, FileSizeLimitIsAWriteError) {
  TempDir dir;
  const std::string out = dir.NewFile("met.json", "old");
  RunResult r;
  {
    const scratch::FileSizeLimit limit(1000, scratch::FileSizeLimit::ForChildren);
    ASSERT_TRUE(limit.Active());
    r = Met({kSample, "-o", out});
  }
  EXPECT_EQ(r.ExitCode, 3) << r.Err;
  EXPECT_EQ(r.Err, "vmk-met: cannot write " + out + ": cannot write: File too large\n");
  EXPECT_EQ(ReadBytes(out), "old");
  EXPECT_EQ(CountTemporaryFiles(dir.Path()), 0);
}

}  // namespace
}  // namespace vmk::clitest
