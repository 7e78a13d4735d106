// A run of vmk-site ended from outside on Windows (TerminateProcess, as the task manager ends
// it) at moments spread over a whole run: the output folder then holds the earlier run's set or
// the new one, whole; the lock goes with the process, and what the run left goes with the next
// write into the folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "common/atomic_file.h"
#include "output_files_support.h"
#include "platform/wide_text.h"
#include "site_output_folder_support.h"

namespace vmk {
namespace {

using namespace site_output_folder;

// vmk-site started with its output thrown away and its process handle; null when it could not
// be started.
HANDLE Start(const std::vector<std::string>& args) {
  std::wstring line = L"\"" + platform::WidePath(clitest::kVmkSite) + L"\"";
  for (const std::string& a : args) line += L" \"" + platform::Widen(a) + L"\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(nul);
  if (!started) return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

TEST(SiteOutputFolderWindows, TerminatedRunsLeaveOneWholeSet) {
  scratch::ScratchDir dir;
  const TwoSets two = PrepareTwoSets(dir);
  const auto& [siteA, siteB, setA, setB, out, runTime] = two;

  constexpr int kRuns = 8;
  int terminated = 0;
  for (int i = 0; i < kRuns; ++i) {
    const HANDLE process = Start({i % 2 == 0 ? siteB : siteA, "--out", out.string()});
    ASSERT_NE(process, nullptr);
    std::this_thread::sleep_for(runTime * (i + 1) / kRuns);
    terminated += TerminateProcess(process, 9) ? 1 : 0;
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
    WriteFileAtomically((out / "met.json").string(), "another program's file");
    fs::remove(out / "met.json");
    const Snapshot now = Files(out);
    EXPECT_TRUE(now == setA || now == setB) << "run " << i;
    EXPECT_EQ(CountTemporaryFiles(out), 0) << "run " << i;
  }
  EXPECT_GT(terminated, 0) << "no run was ended: the moments are all after the end";
  ASSERT_EQ(Site({siteB, "--out", out.string()}).ExitCode, 0);  // the lock went with the process
  EXPECT_EQ(Files(out), setB);
  EXPECT_FALSE(fs::exists(out / kSiteFolderLock));
}

}  // namespace
}  // namespace vmk
