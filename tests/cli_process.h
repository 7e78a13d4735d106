// Runs the built programs (vmk-calc, vmk-met) as child processes for the command-line tests:
// arguments in, exit status and the bytes of standard output and standard error out.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "scratch_files.h"

namespace vmk::clitest {

inline const std::string kVmkCalc = VMK_BINARY_DIR "/bin/vmk-calc";
inline const std::string kVmkMet = VMK_BINARY_DIR "/bin/vmk-met";
inline const std::filesystem::path kSourceDir = VMK_SOURCE_DIR;

using scratch::ReadBytes;
using scratch::WriteBytes;
using TempDir = scratch::ScratchDir;

struct RunResult {
  int ExitCode = -1;  // -1 when the program did not exit normally (a crash)
  std::string Out;
  std::string Err;
};

// Runs `program` with `args`, feeding `stdinBytes` on its standard input. Output goes through
// files, so that megabytes of it cannot block the child.
inline RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& stdinBytes = "") {
  TempDir io;
  const std::string inPath = (io / "stdin").string();
  const std::string outPath = (io / "stdout").string();
  const std::string errPath = (io / "stderr").string();
  WriteBytes(inPath, stdinBytes);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);

  std::vector<std::string> argStrings{program};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + program);
  int status = 0;
  waitpid(pid, &status, 0);

  RunResult r;
  r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.Out = ReadBytes(outPath);
  r.Err = ReadBytes(errPath);
  return r;
}

inline RunResult RunVmkCalc(const std::vector<std::string>& args,
                            const std::string& stdinBytes = "") {
  return RunProgram(kVmkCalc, args, stdinBytes);
}

}  // namespace vmk::clitest
