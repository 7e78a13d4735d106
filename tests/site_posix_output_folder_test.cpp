// A failed or killed run of vmk-site leaves the output folder's previous set as it was and no
// temporary file behind (POSIX signals and the file-size limit).
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
#include "site_output_folder_support.h"

extern char** environ;

namespace vmk {
namespace {

using namespace site_output_folder;

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

// A run that fails (the file-size limit, with the signal as the
// system gives it: one line, exit 3) leaves the earlier run's set as it was. SIGTERM or SIGINT
// at any moment: the folder holds the earlier run's set or the new one, whole, and no temporary
// file. SIGKILL cannot be handled: what it leaves goes with the next write into the folder (here
// another program's file), and then the same holds.
TEST(SiteOutputFolder, StoppedRunsLeaveOneWholeSet) {
  scratch::ScratchDir dir;
  const TwoSets two = PrepareTwoSets(dir);
  const auto& [siteA, siteB, setA, setB, out, runTime] = two;
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
