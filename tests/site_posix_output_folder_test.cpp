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
#include "common/file_set.h"
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

const std::string kExample = (fs::path(VMK_SOURCE_DIR) / "examples" / "two-stacks" / "site.json").string();

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

// Every file of a folder but the lock file and the names in `besides`.
Snapshot Files(const fs::path& folder, const std::vector<std::string>& besides = {}) {
  Snapshot s;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name == kSiteFolderLock || std::find(besides.begin(), besides.end(), name) != besides.end()) continue;
    s[name] = scratch::ReadBytes(e.path());
  }
  return s;
}

std::vector<std::string> Names(const Snapshot& s) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : s) names.push_back(name);
  return names;
}

// A complete run into a folder of its own: the set of files a run of `site` makes.
Snapshot ReferenceSet(const scratch::ScratchDir& dir, const std::string& site, const std::string& folder) {
  const RunResult r = Site({site, "--out", dir.File(folder)});
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  return Files(dir / folder);
}

// A run without a grid after one with: the grid's files go, the user's files stay; a file with
// a name of the program that no record says it made is kept, and the summary says so.
TEST(SiteOutputFolder, EarlierRunsFilesThatTheNewRunDoesNotMakeAreRemoved) {
  scratch::ScratchDir dir;
  const std::string withGrid = SmallSite(dir, "grid.json", true);
  const std::string noGrid = SmallSite(dir, "nogrid.json", false);
  const fs::path out = dir / "out";
  ASSERT_EQ(Site({withGrid, "--out", out.string()}).ExitCode, 0);
  scratch::WriteBytes(out / "notes.txt", "the user's");

  const RunResult r = Site({noGrid, "--out", out.string()});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  Snapshot expected = ReferenceSet(dir, noGrid, "reference");
  expected["notes.txt"] = "the user's";
  EXPECT_EQ(Files(out), expected);
  EXPECT_FALSE(fs::exists(out / kSiteFolderLock));
  EXPECT_EQ(r.Out.find("is not of this run"), std::string::npos) << r.Out;

  // Without the record, an earlier grid.csv (of an earlier version, or the user's) is kept.
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

// A run stopped by the file-size limit (the signal as the system gives it): one line, exit 3,
// and the previous run's files as they were.
TEST(SiteOutputFolder, FailedRunLeavesThePreviousSet) {
  scratch::ScratchDir dir;
  const fs::path out = dir / "out";
  ASSERT_EQ(Site({SmallSite(dir, "a.json", true), "--out", out.string()}).ExitCode, 0);
  const Snapshot before = Files(out);
  const std::string other = SmallSite(dir, "b.json", true, "45");
  RunResult r;
  {
    const scratch::FileSizeLimit limit(20000, scratch::FileSizeLimit::ForChildren);
    ASSERT_TRUE(limit.Active());
    r = Site({other, "--out", out.string()});
  }
  EXPECT_EQ(r.ExitCode, 3);
  EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
  EXPECT_NE(r.Err.find(": cannot write: File too large\n"), std::string::npos) << r.Err;
  EXPECT_EQ(Files(out), before);
  EXPECT_EQ(CountTemporaryFiles(out), 0);
}

// While one run holds the folder (here this test, as the site window would), another is refused
// before it computes anything; once free, the folder takes the next run.
TEST(SiteOutputFolder, SecondRunIsRefusedWhileOneWrites) {
  scratch::ScratchDir dir;
  const std::string site = SmallSite(dir, "a.json", false);
  const fs::path out = dir / "out";
  {
    const OutputFolder held = PrepareOutputFolder(out.string());
    const RunResult r = Site({site, "--out", out.string()});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(r.Err.find("another run of vmk-site (or the site window) is writing into this folder"),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(Names(Files(out)), std::vector<std::string>{});
    EXPECT_THROW(PrepareOutputFolder(out.string()), SiteError);
  }
  EXPECT_EQ(Site({site, "--out", out.string()}).ExitCode, 0);
}

// What stopped runs left, of this version (a process that no longer runs) and of earlier ones,
// goes with the next run; files of other names stay.
TEST(SiteOutputFolder, LeftoversOfStoppedRunsAreCleared) {
  scratch::ScratchDir dir;
  const fs::path out = dir / "out";
  fs::create_directory(out);
  const std::vector<std::string> leftovers = {".vmk-tmp-999999999-0123456789ab", "grid.csv.tmp-0123456789ab",
                                              ".vmk-site-check", ".vmk-site-check.tmp-abcdef012345"};
  for (const std::string& name : leftovers) scratch::WriteBytes(out / name, std::string(1000, 'x'));
  scratch::WriteBytes(out / "grid.csv.tmp-mine", "the user's");
  ASSERT_EQ(Site({SmallSite(dir, "a.json", true), "--out", out.string()}).ExitCode, 0);
  for (const std::string& name : leftovers) EXPECT_FALSE(fs::exists(out / name)) << name;
  EXPECT_EQ(scratch::ReadBytes(out / "grid.csv.tmp-mine"), "the user's");
}

// Two runs of the same inputs give the same bytes in every file, the GeoPackage included, so
// that an assessment's files can be checked by their checksums.
TEST(SiteOutputFolder, SameInputsGiveTheSameBytes) {
  scratch::ScratchDir dir;
  const Snapshot first = ReferenceSet(dir, kExample, "first");
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  const Snapshot second = ReferenceSet(dir, kExample, "second");
  ASSERT_GE(first.size(), 4u);
  EXPECT_EQ(Names(first), Names(second));
  for (const auto& [name, bytes] : first) EXPECT_TRUE(second.at(name) == bytes) << name << " differs";
}

// ---- Runs ended from outside, at moments spread over a whole run.

pid_t Start(const std::vector<std::string>& args) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> strings = {clitest::kVmkSite};
  strings.insert(strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, clitest::kVmkSite.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
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

// SIGTERM or SIGINT at any moment: the folder holds the earlier run's set or the new one, whole,
// and no temporary file. SIGKILL cannot be handled: what it leaves goes with the next write
// into the folder (here another program's file), and then the same holds.
TEST(SiteOutputFolder, KilledRunsLeaveOneWholeSet) {
  scratch::ScratchDir dir;
  const std::string siteA = SmallSite(dir, "a.json", true, "30");
  const std::string siteB = SmallSite(dir, "b.json", true, "45");
  const Snapshot setA = ReferenceSet(dir, siteA, "a");
  const Snapshot setB = ReferenceSet(dir, siteB, "b");
  const fs::path out = dir / "out";
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Site({siteA, "--out", out.string()}).ExitCode, 0);
  const auto runTime = std::chrono::steady_clock::now() - started;

  constexpr int kRuns = 12;
  int signalled = 0;
  for (int i = 0; i < kRuns; ++i) {
    const int sig = i % 3 == 0 ? SIGKILL : (i % 3 == 1 ? SIGTERM : SIGINT);
    const pid_t pid = Start({i % 2 == 0 ? siteB : siteA, "--out", out.string()});
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(runTime * (i + 1) / kRuns);
    ::kill(pid, sig);
    signalled += EndedBy(pid) != 0;
    if (sig == SIGKILL) WriteFileAtomically((out / "met.json").string(), "another program's file");
    const Snapshot now = Files(out, {"met.json"});
    EXPECT_TRUE(now == setA || now == setB) << "run " << i << " ended by signal " << sig;
    EXPECT_EQ(CountTemporaryFiles(out), 0) << "run " << i << " ended by signal " << sig;
  }
  EXPECT_GT(signalled, 0) << "no run was stopped: the moments are all after the end";
  ASSERT_EQ(Site({siteB, "--out", out.string()}).ExitCode, 0);
  EXPECT_EQ(Files(out, {"met.json"}), setB);
  EXPECT_FALSE(fs::exists(out / kSiteFolderLock));
}

}  // namespace
}  // namespace vmk
