// Runs the built programs (vmk-calc, vmk-met, vmk-site) as child processes for the tests:
// arguments in, exit status and the bytes of standard output and standard error out.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

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

// Runs `program` with `args`, feeding `stdinBytes` on its standard input. Output goes through
// files, so that megabytes of it cannot block the child.
inline RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& stdinBytes = "") {
  TempDir io;
  const std::string inPath = io.File("stdin");
  const std::string outPath = io.File("stdout");
  const std::string errPath = io.File("stderr");
  WriteBytes(io / "stdin", stdinBytes);

  RunResult r;
  r.ExitCode = platform::testing::RunProcess(program, args, inPath, outPath, errPath);
  r.Out = ReadBytes(io / "stdout");
  r.Err = ReadBytes(io / "stderr");
  return r;
}

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
