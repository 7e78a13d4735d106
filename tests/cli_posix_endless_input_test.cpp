// Every file a command line reads may be endless (a device, a pipe from a program that never
// stops): each reader stops at its limit as the bytes arrive, with one line and exit status 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_process.h"

namespace vmk::clitest {
namespace {

namespace fs = std::filesystem;

TEST(CliEndlessInput, EachReaderStopsAtItsLimit) {
  const std::string sample = (kSourceDir / "examples" / "met" / "hourly-sample.csv").string();
  const std::string header = "time,wd,ws,stability\n2025-04-01 01:00,N,2,F\n";
  const std::string tooLong = " is longer than 65536 bytes";
  const struct {
    std::string Program;
    std::vector<std::string> Args;  // "PIPE": the pipe's path; without it, the pipe is stdin
    std::string Head;
    std::string Repeated;
    std::string Line;  // the whole line on standard error, PIPE for the pipe's path
  } cases[] = {
      {kVmkMet, {"-"}, "", std::string(1, '\0'),
       "vmk-met: standard input: line 1" + tooLong + ": expected a plain CSV"},
      {kVmkMet, {"PIPE"}, "time,wd,ws,stability\n", std::string(1, '\0'),
       "vmk-met: PIPE: line 2" + tooLong + "\n"},
      {kVmkMet, {"-"}, header, "2025-04-01 02:00,N,", "vmk-met: standard input: line 3" + tooLong + "\n"},
      {kVmkMet, {"-"}, header, std::string(100, 'x') + "\n",
       "vmk-met: standard input: larger than 268435456 bytes\n"},
      {kVmkMet, {sample, "--stability-table", "PIPE"}, "", "0,",
       "vmk-met: --stability-table PIPE: cannot be read (larger than 1048576 bytes)\n"},
      {kVmkCalc, {"-"}, "[", "{}, ", "vmk-calc: standard input: larger than 16777216 bytes\n"},
      {kVmkSite, {"-", "--out", "out"}, "{", " ", "vmk-site: -: larger than 16777216 bytes\n"},
      {kVmkSite, {"site.json", "--out", "out"}, "{", " ",
       "vmk-site: site.json: met file \"met.json\": larger than 16777216 bytes\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    fs::copy_file(kSourceDir / "examples" / "two-stacks" / "site.json", dir / "site.json");
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.Path());  // the site file's met file is the pipe
    const EndlessPipe pipe(dir.File("met.json"), c.Head, c.Repeated);
    std::vector<std::string> args;
    bool named = false;
    for (const std::string& a : c.Args) {
      named = named || a == "PIPE";
      args.push_back(a == "PIPE" ? pipe.Path() : a);
    }
    const bool fromStdin = !named && c.Args.front() == "-";
    const RunResult r = RunProgramOn(c.Program, args, fromStdin ? pipe.Path() : "/dev/null");
    fs::current_path(cwd);
    std::string line = c.Line;
    if (const auto at = line.find("PIPE"); at != std::string::npos) line.replace(at, 4, pipe.Path());
    ExpectUnusable(r, line);
    EXPECT_TRUE(r.Err.starts_with(line)) << r.Err;
    EXPECT_FALSE(fs::exists(dir / "out")) << c.Line;
  }
}

}  // namespace
}  // namespace vmk::clitest
