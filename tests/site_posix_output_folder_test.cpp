// The output folder of vmk-site holds one run's files only: an earlier run's files that the new
// run does not make are removed (the user's own files stay), a failed or killed run leaves the
// previous set as it was and no temporary file behind, a second run is refused while one writes,
// and the same inputs give the same bytes in every file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "cli_process.h"
#include "common/atomic_file.h"
#include "file_size_limit.h"
#include "output_files_support.h"
#include "scratch_files.h"
#include "site/export/output_folder.h"
#include "site/site_file.h"
#include "site_test_support.h"

extern char** environ;

namespace vmk {
namespace {

using namespace site_test;
namespace fs = std::filesystem;
using scratch::CountTemporaryFiles;
using clitest::RunResult;
using Snapshot = std::map<std::string, std::string>;  // file name -> bytes

RunResult Site(const std::vector<std::string>& args) { return clitest::RunProgram(clitest::kVmkSite, args); }

// A small site of its own: the two stacks, a grid, a polar set and a point; `qg` tells runs apart.
std::string SmallSite(const scratch::ScratchDir& dir, const std::string& name, bool grid, const char* qg = "30") {
  Json site = TwoStackSite(VariedMet());
  site["sources"][0]["controls"]["QgEdit"] = qg;
  if (grid) site["receptors"]["grid"] = {{"x", "-2000:2000:21"}, {"y", "-2000:2000:21"}};
  site["receptors"]["polar"] = {{"center", {0, 0}}, {"distances", "100:5000:8"}};
  site["receptors"]["points"] = Json::array({{{"name", "p"}, {"x", 900}, {"y", 300}}});
  return dir.NewFile(name, site.dump());
}

// Every file of a folder but the lock file (which a killed run leaves).
Snapshot Files(const fs::path& folder) {
  Snapshot s;
  for (const auto& e : fs::directory_iterator(folder)) {
    if (e.path().filename() != kSiteFolderLock) s[e.path().filename().string()] = scratch::ReadBytes(e.path());
  }
  return s;
}

// A complete run into a folder of its own: the set of files a run of `site` makes.
Snapshot ReferenceSet(const scratch::ScratchDir& dir, const std::string& site, const std::string& folder) {
  const RunResult r = Site({site, "--out", dir.File(folder)});
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  return Files(dir / folder);
}

// A folder of earlier runs: what stopped runs left there goes (of this version, by a dead
// process, and of earlier ones), a run without a grid removes the grid's files of the run
// before, the user's files stay, and the same inputs give the same bytes in every file, the
// GeoPackage too, at any time (so that an assessment's files can be checked by checksums).
// Without the record, a file with a name of the program (of an earlier version, or the user's)
// is kept and the summary says so.
TEST(SiteOutputFolder, EachRunLeavesItsOwnFilesOnly) {
  scratch::ScratchDir dir;
  const std::string withGrid = SmallSite(dir, "grid.json", true);
  const std::string noGrid = SmallSite(dir, "nogrid.json", false);
  const fs::path out = dir / "out";
  const Snapshot gridSet = ReferenceSet(dir, withGrid, "reference-grid");
  const Snapshot noGridSet = ReferenceSet(dir, noGrid, "reference-nogrid");
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // a later time of writing
  ASSERT_EQ(Site({withGrid, "--out", out.string()}).ExitCode, 0);
  EXPECT_EQ(Files(out), gridSet);
  const std::vector<std::string> leftovers = {".vmk-tmp-999999999-0123456789ab", "grid.csv.tmp-0123456789ab",
                                              ".vmk-site-check", ".vmk-site-check.tmp-abcdef012345"};
  for (const std::string& name : leftovers) scratch::WriteBytes(out / name, std::string(1000, 'x'));
  scratch::WriteBytes(out / "grid.csv.tmp-mine", "the user's");

  const RunResult r = Site({noGrid, "--out", out.string()});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  Snapshot expected = noGridSet;
  expected["grid.csv.tmp-mine"] = "the user's";
  EXPECT_EQ(Files(out), expected);
  EXPECT_FALSE(fs::exists(out / kSiteFolderLock));
  EXPECT_EQ(r.Out.find("is not of this run"), std::string::npos) << r.Out;

  fs::remove(out / kSiteFileRecord);
  scratch::WriteBytes(out / "grid.csv", "x,y\n");
  const RunResult kept = Site({noGrid, "--out", out.string()});
  ASSERT_EQ(kept.ExitCode, 0) << kept.Err;
  EXPECT_EQ(scratch::ReadBytes(out / "grid.csv"), "x,y\n");
  EXPECT_NE(kept.Out.find("note       : grid.csv is not of this run but kept: no record says that "
                          "vmk-site made it\n"),
            std::string::npos)
      << kept.Out;
}

// ---- Runs ended from outside, at moments spread over a whole run.

// Starts vmk-site, its output thrown away; -1 when it cannot be started.
pid_t Start(std::vector<std::string> args) {
  args.insert(args.begin(), clitest::kVmkSite);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (const int fd : {1, 2}) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The signal that ended the child, or 0 when it exited.
int EndedBy(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

// A second run while one holds the folder (here this test, as the site window would) is refused
// before it computes anything. A run that fails (the file-size limit, with the signal as the
// system gives it: one line, exit 3) leaves the earlier run's set as it was. SIGTERM or SIGINT
// at any moment: the folder holds the earlier run's set or the new one, whole, and no temporary
// file. SIGKILL cannot be handled: what it leaves goes with the next write into the folder (here
// another program's file), and then the same holds.
TEST(SiteOutputFolder, StoppedRunsLeaveOneWholeSet) {
  scratch::ScratchDir dir;
  const std::string siteA = SmallSite(dir, "a.json", true, "30");
  const std::string siteB = SmallSite(dir, "b.json", true, "45");
  const Snapshot setA = ReferenceSet(dir, siteA, "a");
  const Snapshot setB = ReferenceSet(dir, siteB, "b");
  const fs::path out = dir / "out";
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Site({siteA, "--out", out.string()}).ExitCode, 0);
  const auto runTime = std::chrono::steady_clock::now() - started;
  {
    const OutputFolder held = PrepareOutputFolder(out.string());
    clitest::ExpectUnusable(Site({siteB, "--out", out.string()}),
                            "another run of vmk-site (or the site window) is writing into this folder");
    EXPECT_THROW(PrepareOutputFolder(out.string()), SiteError);
  }
  EXPECT_EQ(Files(out), setA);
  RunResult failed;
  {
    const scratch::FileSizeLimit limit(20000, scratch::FileSizeLimit::ForChildren);
    ASSERT_TRUE(limit.Active());
    failed = Site({siteB, "--out", out.string()});
  }
  EXPECT_EQ(failed.ExitCode, 3);
  EXPECT_TRUE(failed.Err.starts_with("vmk-site: ") && failed.Err.ends_with(": cannot write: File too large\n") &&
              std::count(failed.Err.begin(), failed.Err.end(), '\n') == 1)
      << failed.Err;
  EXPECT_EQ(Files(out), setA);
  EXPECT_EQ(CountTemporaryFiles(out), 0);

  constexpr int kRuns = 12;
  int signalled = 0;
  for (int i = 0; i < kRuns; ++i) {
    const int sig = i % 3 == 0 ? SIGKILL : (i % 3 == 1 ? SIGTERM : SIGINT);
    const pid_t pid = Start({i % 2 == 0 ? siteB : siteA, "--out", out.string()});
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(runTime * (i + 1) / kRuns);
    ::kill(pid, sig);
    signalled += EndedBy(pid) != 0;
    if (sig == SIGKILL) {
      WriteFileAtomically((out / "met.json").string(), "another program's file");
      fs::remove(out / "met.json");
    }
    const Snapshot now = Files(out);
    EXPECT_TRUE(now == setA || now == setB) << "run " << i << " ended by signal " << sig;
    EXPECT_EQ(CountTemporaryFiles(out), 0) << "run " << i << " ended by signal " << sig;
  }
  EXPECT_GT(signalled, 0) << "no run was stopped: the moments are all after the end";
  ASSERT_EQ(Site({siteB, "--out", out.string()}).ExitCode, 0);
  EXPECT_EQ(Files(out), setB);
  EXPECT_FALSE(fs::exists(out / kSiteFolderLock));
}

}  // namespace
}  // namespace vmk
