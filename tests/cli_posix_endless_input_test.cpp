// Every file a command line reads may be endless (a device, a pipe from a program that never
// stops): each reader stops at its limit as the bytes arrive, with one line and exit status 2.
// The hourly file's: a line of 64 KiB (the first, one after the header or in the agency's header
// rows: NUL bytes, an endless line) and 256 MiB (blank lines before the header, rejected lines).
#include <gtest/gtest.h>

#include <string>

#include "cli_process.h"

namespace vmk::clitest {
namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

TEST(CliEndlessInput, EachReaderStopsAtItsLimit) {
  TempDir dir;
  std::string site = ReadBytes(kSourceDir / "examples" / "two-stacks" / "site.json");
  site.replace(site.find("\"met.json\""), 10, "\"/dev/zero\"");
  WriteBytes(dir / "site.json", site);
  const std::string met = Quoted(kVmkMet);
  const std::string header = "printf 'time,wd,ws,stability\\n2025-04-01 01:00,N,2,F\\n'; ";
  const std::string tooLong = " is longer than 65536 bytes";
  const struct {
    std::string Command;  // a shell's
    std::string Line;     // the whole line on standard error, or its start
  } cases[] = {
      {met + " /dev/zero", "vmk-met: /dev/zero: line 1" + tooLong + ": expected a plain CSV"},
      {"cat /dev/zero | " + met + " -", "vmk-met: standard input: line 1" + tooLong + ": expected"},
      {"yes \"$(printf '%999s' '')\" | " + met + " -", "vmk-met: standard input: larger than 268435456 bytes: expected"},
      {"{ printf 'ダウンロードした時刻：2025/05/10 10:20:30\\n'; cat /dev/zero; } | " + met + " -",
       "vmk-met: standard input: line 2" + tooLong + ": expected"},
      {"{ " + header + "cat /dev/zero; } | " + met + " -", "vmk-met: standard input: line 3" + tooLong + "\n"},
      {"{ " + header + "tr '\\0' 1 < /dev/zero; } | " + met + " -",
       "vmk-met: standard input: line 3" + tooLong + "\n"},
      {"{ " + header + "yes \"no time $(printf '%0999d' 0)\"; } | " + met + " -",
       "vmk-met: standard input: larger than 268435456 bytes\n"},
      {met + " " + Quoted((kSourceDir / "examples" / "met" / "hourly-sample.csv").string()) +
           " --stability-table /dev/zero",
       "vmk-met: --stability-table /dev/zero: cannot be read (larger than 1048576 bytes)\n"},
      {"cat /dev/zero | " + Quoted(kVmkCalc) + " -", "vmk-calc: standard input: larger than 16777216 bytes\n"},
      {Quoted(kVmkSite) + " - --out " + Quoted(dir.File("out")) + " < /dev/zero",
       "vmk-site: -: larger than 16777216 bytes\n"},
      {Quoted(kVmkSite) + " " + Quoted(dir.File("site.json")) + " --out " + Quoted(dir.File("out")),
       "vmk-site: " + dir.File("site.json") + ": met file \"/dev/zero\": larger than 16777216 bytes\n"},
  };
  for (const auto& c : cases) {
    const RunResult r = RunProgram("/bin/sh", {"-c", c.Command});
    ExpectUnusable(r, c.Line);
    EXPECT_TRUE(r.Err.starts_with(c.Line)) << c.Command << "\n" << r.Err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

}  // namespace
}  // namespace vmk::clitest
