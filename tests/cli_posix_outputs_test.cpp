// The programs' named outputs on POSIX systems, as a user meets them: a report that a full disk
// or the file-size limit stops is not written at all and not said to be; vmk-met's outputs
// refuse what is no file and stop at the file-size limit with one line. The limit is set with
// the signal as the system gives it: the programs must not die of it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli_process.h"
#include "file_size_limit.h"
#include "output_files_support.h"
#include "small_tmpfs.h"

namespace vmk::clitest {
namespace {

const std::string kReportCase = (kSourceDir / "examples" / "site-no2-report.json").string();
const std::string kSample = (kSourceDir / "examples" / "met" / "hourly-sample.csv").string();

// The report as it was (its end-of-file mark too), the message box and the file named as not
// written, nothing saying it was; the next report follows the old bytes, not a broken row.
TEST(CliReportPosix, FileSizeLimitOrFullDiskLeavesTheReportAsItWas) {
  for (const bool fullDisk : {false, true}) {
    TempDir dir;
    std::optional<scratch::SmallTmpfs> disk;
    if (fullDisk) {
      disk.emplace(dir / "io", 64 * 1024);
      if (!disk->Problem().empty()) GTEST_SKIP() << "the full disk: " << disk->Problem();
    }
    std::filesystem::create_directories(dir / "io");
    const std::string before(5000, 'a');
    const std::string report = dir.NewFile("io/VMKIO1.csv", before + "\x1A");
    RunResult r;
    if (fullDisk) {
      disk->Fill();
      r = RunVmkCalc({"--report-dir", dir.File("io"), kReportCase});
    } else {
      const scratch::FileSizeLimit limit(8192, scratch::FileSizeLimit::ForChildren);
      ASSERT_TRUE(limit.Active());
      r = RunVmkCalc({"--report-dir", dir.File("io"), kReportCase});
    }
    const std::string box = fullDisk ? "ﾃﾞｨｽｸがいっぱいです." : "I/O ｴﾗｰ (" + std::to_string(EFBIG) + ").";
    EXPECT_EQ(r.ExitCode, 1) << r.Out << r.Err;
    EXPECT_NE(r.Out.find("message box    : " + box + "\nreport file    : " + report + " (not written)\n"),
              std::string::npos)
        << r.Out;
    EXPECT_EQ(r.Out.find("report         :"), std::string::npos) << r.Out;
    EXPECT_EQ(ReadBytes(report), before + "\x1A");
    if (fullDisk) continue;
    EXPECT_EQ(RunVmkCalc({"--report-dir", dir.File("io"), kReportCase}).ExitCode, 0);
    EXPECT_EQ(ReadBytes(report).rfind(before + "\r\npuff ", 0), 0u);
  }
}

// One line and exit 3 for a target that is no file (a named pipe, for the met file and for a
// picture) and for the file-size limit; the old file as it was, no temporary file left.
TEST(CliMetPosix, RefusedOrStoppedOutputsAreOneLine) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(dir.File("rose.svg").c_str(), 0644), 0);
  const std::string met = dir.NewFile("met.json", "old");
  const struct {
    std::vector<std::string> Args;
    rlim_t Limit;  // 0: none
    std::string Line;
  } cases[] = {
      {{"-o", dir.File("fifo")}, 0, dir.File("fifo") + ": refused: a named pipe (FIFO), not a file"},
      {{"--rose", dir.File("rose.svg")}, 0, dir.File("rose.svg") + ": a named pipe (FIFO), not a file"},
      {{"-o", met}, 1000, met + ": cannot write: File too large"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {kSample};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    RunResult r;
    if (c.Limit > 0) {
      const scratch::FileSizeLimit limit(c.Limit, scratch::FileSizeLimit::ForChildren);
      ASSERT_TRUE(limit.Active());
      r = RunProgram(kVmkMet, args);
    } else {
      r = RunProgram(kVmkMet, args);
    }
    EXPECT_EQ(r.ExitCode, 3) << c.Line;
    EXPECT_EQ(r.Err, "vmk-met: cannot write " + c.Line + "\n");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo"));
  EXPECT_EQ(ReadBytes(met), "old");
  EXPECT_EQ(scratch::CountTemporaryFiles(dir.Path()), 0);
}

}  // namespace
}  // namespace vmk::clitest
