// The rules of the options that vmk-calc, vmk-met and vmk-site share, as one table run on each
// program: a value after a blank or an equals sign, an empty value, an option given twice, a
// flag given a value, "--", arguments that begin with "-", --help and --version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command/calculation.h"
#include "cli_process.h"

namespace vmk::clitest {
namespace {

// What a program's rows need: an option with a text value and what it needs, a flag, the
// words of a file that cannot be opened, and a run whose options may be written either way.
struct Program {
  std::string Path;
  std::string Name;
  std::string Value;  // an option whose value is not checked before the file is read
  std::string Needs;
  std::string Flag;
  std::string CannotOpen;  // after "<file>"
};

std::vector<Program> Programs() {
  std::vector<Program> programs{
      {kVmkCalc, "vmk-calc", "--report-dir", "a folder", "--json", ": cannot open"},
#ifdef VMK_MET_PROGRAM
      {kVmkMet, "vmk-met", "--station", "a name", "--degrees", ": cannot be opened"},
#endif
#ifdef VMK_SITE_PROGRAM
      {kVmkSite, "vmk-site", "--out", "a folder", "--json", ": cannot open"},
#endif
  };
  return programs;
}

TEST(CliOptionRules, EveryProgramReadsItsCommandLineAlike) {
  TempDir dir;
  const std::string none = dir.File("none");  // no such file
  const std::string folder = dir.File("out");
  for (const Program& p : Programs()) {
    SCOPED_TRACE(p.Name);
    const std::string needs = p.Name + ": " + p.Value + " needs " + p.Needs;
    const std::string unknown = p.Name + ": unknown option ";
    struct Refused {
      std::vector<std::string> Args;
      std::string Line;
    };
    const Refused withUsage[] = {
        {{p.Value, folder, p.Value + "=" + folder, none},
         p.Name + ": " + p.Value + " given more than once"},
        {{none, p.Value}, needs},
        {{p.Value + "=", none}, needs},
        {{p.Value, "", none}, needs},
        {{p.Flag + "=x", none}, unknown + p.Flag + "=x"},
        {{p.Flag + "=", none}, unknown + p.Flag + "="},
        {{none, "--bogus=1"}, unknown + "--bogus=1"},
        {{"-x", none}, unknown + "-x"},
        {{"-5", none}, unknown + "-5"},
        {{"---x", none}, unknown + "---x"},
        {{"-hx", none}, unknown + "-hx"},  // a short option stands alone
        {{"--HELP", none}, unknown + "--HELP"},
        {{"--hel", none}, unknown + "--hel"},
    };
    for (const Refused& r : withUsage) {
      SCOPED_TRACE(r.Args.front());
      ExpectUsageRefusal(RunProgram(p.Path, r.Args), r.Line);
    }
    // After "--" every argument is a file; an option's value is taken whatever it is; a flag
    // may be repeated. Each line is then refused for its file.
    const Refused files[] = {
        {{p.Value, folder, p.Flag, p.Flag, "--", "-x"}, "-x"},
        {{p.Value, folder, "--", p.Flag}, p.Flag},
        {{p.Value, folder, "--", "--"}, "--"},
        {{p.Value, "--", "--", "-x"}, "-x"},
        {{p.Value, "-y", none}, none},
        {{p.Value + "=-y=z", none}, none},
    };
    for (const Refused& r : files) {
      SCOPED_TRACE(r.Args.back());
      ExpectUnusable(RunProgram(p.Path, r.Args), p.Name + ": " + r.Line + p.CannotOpen);
    }
    EXPECT_FALSE(std::filesystem::exists(folder));

    for (const char* help : {"--help", "-h"}) {
      const RunResult r = RunProgram(p.Path, {help, "--", "-x"});
      EXPECT_EQ(r.ExitCode, 0);
      EXPECT_TRUE(r.Out.starts_with("Usage: " + p.Name + " ")) << r.Out;
      EXPECT_NE(r.Out.find("\n  --version "), std::string::npos);
      EXPECT_NE(r.Out.find("(--name VALUE, --name=VALUE)"), std::string::npos);
      EXPECT_EQ(r.Err, "");
    }
    const RunResult version = RunProgram(p.Path, {"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, std::string(VersionStamp) + "\n");
  }
}

// A value after an equals sign is the value after a blank, however it is written.
TEST(CliOptionRules, ValueAfterAnEqualsSignIsTheValueAfterABlank) {
  TempDir dir;
  WriteBytes(dir / "VMKIO1.csv", "");
  const std::string io = dir.Path().string();
  struct Pair {
    std::string Path;
    std::vector<std::string> Blank;
    std::vector<std::string> Equals;
    std::string Stdin;
  };
  std::vector<Pair> pairs{
      {kVmkCalc, {"--report-dir", io, "--profile", "10:1000:5", "-"},
       {"--report-dir=" + io, "--profile=10:1000:5", "--", "-"}, R"({"memoOption": "@WA:1@"})"},
  };
#ifdef VMK_MET_PROGRAM
  const std::string sample = (kSourceDir / "examples" / "met" / "hourly-sample.csv").string();
  const std::string met = dir.File("m=1.json");
  pairs.push_back({kVmkMet, {sample, "-o", met, "--lat", "-35.5", "--lon", "139"},
                   {"--output=" + met, "--lat=-35.5", "--lon=139", sample}, ""});
#endif
#ifdef VMK_SITE_PROGRAM
  const std::string site = (kSourceDir / "examples" / "two-stacks" / "site.json").string();
  pairs.push_back({kVmkSite, {site, "--out", dir.File("site"), "--threads", "2", "--json"},
                   {"--threads=2", site, "--out=" + dir.File("site"), "--json"}, ""});
#endif
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.Path);
    const RunResult blank = RunProgram(p.Path, p.Blank, p.Stdin);
    const RunResult equals = RunProgram(p.Path, p.Equals, p.Stdin);
    EXPECT_EQ(blank.ExitCode, 0) << blank.Err;
    EXPECT_EQ(equals.ExitCode, 0) << equals.Err;
    EXPECT_EQ(equals.Out, blank.Out);
    EXPECT_EQ(equals.Err, blank.Err);
  }
  // The report was appended to, the met file written under its name with "=".
  EXPECT_NE(ReadBytes(dir / "VMKIO1.csv"), "");
#ifdef VMK_MET_PROGRAM
  EXPECT_NE(ReadBytes(met), "");
#endif
}

}  // namespace
}  // namespace vmk::clitest
