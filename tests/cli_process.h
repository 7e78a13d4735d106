// Runs the built programs (vmk-calc, vmk-met, vmk-site) as child processes for the tests:
// arguments in, exit status and the bytes of standard output and standard error out.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <thread>
#endif

#include "platform/testing.h"
#include "scratch_files.h"

namespace vmk::clitest {

#ifdef VMK_CALC_PROGRAM
inline const std::string kVmkCalc = VMK_CALC_PROGRAM;
#endif
#ifdef VMK_MET_PROGRAM
inline const std::string kVmkMet = VMK_MET_PROGRAM;
#endif
#ifdef VMK_SITE_PROGRAM
inline const std::string kVmkSite = VMK_SITE_PROGRAM;
#endif
inline const std::filesystem::path kSourceDir = VMK_SOURCE_DIR;

using scratch::ReadBytes;
using scratch::WriteBytes;
using TempDir = scratch::ScratchDir;

struct RunResult {
  int ExitCode = -1;  // -1 when the program did not exit normally (a crash)
  std::string Out;
  std::string Err;
};

// Runs `program` with `args` and standard input from the file `stdinPath` (a device or a named
// pipe too). Output goes through files, so that megabytes of it cannot block the child.
inline RunResult RunProgramOn(const std::string& program, const std::vector<std::string>& args,
                              const std::string& stdinPath) {
  TempDir io;
  const std::string outPath = io.File("stdout");
  const std::string errPath = io.File("stderr");
  RunResult r;
  r.ExitCode = platform::testing::RunProcess(program, args, stdinPath, outPath, errPath);
  r.Out = ReadBytes(io / "stdout");
  r.Err = ReadBytes(io / "stderr");
  return r;
}

// Runs `program` with `args`, feeding `stdinBytes` on its standard input.
inline RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& stdinBytes = "") {
  TempDir in;
  WriteBytes(in / "stdin", stdinBytes);
  return RunProgramOn(program, args, in.File("stdin"));
}

#ifndef _WIN32
// A named pipe at `path` that a thread of the test feeds with `head`, then with `repeated` over
// and over, until the program reading it closes it: an endless input, as a program that writes
// for ever gives one. The program opens it once, as standard input or by its path.
class EndlessPipe {
 public:
  EndlessPipe(std::string path, std::string head, const std::string& repeated)
      : path_(std::move(path)) {
    ::signal(SIGPIPE, SIG_IGN);  // the writer learns that the reader is gone by EPIPE
    if (::mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + path_);
    std::string block;
    while (block.size() < 65536) block += repeated;
    writer_ = std::thread([this, head = std::move(head), block = std::move(block)] {
      const int fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);  // waits for a reader
      opened_ = true;
      if (fd < 0) return;
      for (bool more = WriteAll(fd, head); more;) more = WriteAll(fd, block);
      ::close(fd);
    });
  }
  // A reader of its own, held until the writer has opened the pipe, frees a writer that the
  // program never came to read, and once closed ends the writing.
  ~EndlessPipe() {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    while (!opened_) std::this_thread::yield();
    if (fd >= 0) ::close(fd);
    writer_.join();
  }
  EndlessPipe(const EndlessPipe&) = delete;
  EndlessPipe& operator=(const EndlessPipe&) = delete;

  const std::string& Path() const { return path_; }

 private:
  static bool WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  std::string path_;
  std::atomic<bool> opened_{false};
  std::thread writer_;
};
#endif

// One line on standard error, nothing on standard output, exit status 2.
inline void ExpectUnusable(const RunResult& r, const std::string& fragment) {
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
  EXPECT_TRUE(r.Err.ends_with("\n")) << r.Err;
  EXPECT_NE(r.Err.find(fragment), std::string::npos) << "stderr: " << r.Err;
}

// A refused command line: the line "<program>: <problem>" (`line`, whole), then the program's
// usage lines ("Usage: <program> ..." and lines that go on with blanks), nothing on standard
// output, exit status 2.
inline void ExpectUsageRefusal(const RunResult& r, const std::string& line) {
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_EQ(r.Out, "");
  const std::string program = line.substr(0, line.find(':'));
  ASSERT_TRUE(r.Err.starts_with(line + "\nUsage: " + program + " ")) << line << "\n" << r.Err;
  for (auto at = r.Err.find('\n', line.size() + 1);
       at != std::string::npos && at + 1 < r.Err.size(); at = r.Err.find('\n', at + 1)) {
    EXPECT_TRUE(r.Err.compare(at + 1, 7, "       ") == 0) << r.Err;
  }
  EXPECT_TRUE(r.Err.ends_with("\n"));
}

#ifdef VMK_CALC_PROGRAM
inline RunResult RunVmkCalc(const std::vector<std::string>& args,
                            const std::string& stdinBytes = "") {
  return RunProgram(kVmkCalc, args, stdinBytes);
}
#endif

}  // namespace vmk::clitest
