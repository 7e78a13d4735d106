// vmk-met's command line: the sample files, its outputs (met statistics, case file, pictures),
// the case file computed by vmk-calc, bad files and bad options with their exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli_process.h"
#include "met/met_stats.h"

namespace vmk::clitest {
namespace {

const std::string kSample = (kSourceDir / "examples" / "met" / "hourly-sample.csv").string();
const std::string kAgency = (kSourceDir / "tests" / "met" / "agency-sample.csv").string();

RunResult Met(const std::vector<std::string>& args, const std::string& stdinBytes = "") {
  return RunProgram(kVmkMet, args, stdinBytes);
}

TEST(CliMet, SampleFileGivesTheExampleMetFile) {
  TempDir dir;
  const std::string out = dir.File("met.json");
  const RunResult r = Met({kSample, "-o", out});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  EXPECT_NE(r.Out.find("(plain CSV, UTF-8)\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("period        : 2025-04-01 01:00 to 2025-04-15 00:00 (336 hours)\n"),
            std::string::npos);
  EXPECT_NE(r.Out.find("valid hours   : 335 (99.7 %)\n"), std::string::npos);
  EXPECT_NE(r.Out.find("written       : " + out + " (met statistics)\n"), std::string::npos);
  EXPECT_EQ(ReadBytes(out), ReadBytes(kSourceDir / "examples" / "met" / "hourly-sample.met.json"));
  const MetStats m = ParseMetStats(ReadBytes(out));
  EXPECT_EQ(m.ValidHours, 335);
}

// The case file of one direction computes in vmk-calc, with the direction's hours.
TEST(CliMet, CaseFileComputesInVmkCalc) {
  TempDir dir;
  const std::string met = dir.File("met.json");
  const std::string caseFile = dir.File("case.json");
  const RunResult r = Met({kSample, "-o", met, "--case", caseFile, "--direction", "S"});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_NE(r.Out.find("written       : " + caseFile + " (case file, direction S)\n"),
            std::string::npos);
  const std::string text = ReadBytes(caseFile);
  EXPECT_NE(text.find("\"WDEdit\": \" S\""), std::string::npos);
  EXPECT_NE(text.find("\"FreqTotalEdit\": \" 335\""), std::string::npos);
  const RunResult calc = RunVmkCalc({"--json", caseFile});
  ASSERT_EQ(calc.ExitCode, 0) << calc.Out << calc.Err;
  EXPECT_NE(calc.Out.find("\"messageLabel\": \" 入力・条件 : O.K.\""), std::string::npos) << calc.Out;
  // Row 10 of the grid holds the windy totals of S: the 60 windy hours of the summary.
  EXPECT_NE(calc.Out.find("\"10,13\": \"   60\""), std::string::npos) << calc.Out;
  // A Japanese direction name does as well.
  EXPECT_EQ(Met({kSample, "--case", caseFile, "--direction", "南"}).ExitCode, 0);
  EXPECT_NE(ReadBytes(caseFile).find("\"WDEdit\": \" S\""), std::string::npos);
}

TEST(CliMet, AgencyFileAndItsSummary) {
  const RunResult r = Met({kAgency});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  for (const char* line :
       {"(Japan Meteorological Agency CSV, code page 932)\n", "station       : 東京\n",
        "valid hours   : 6 (37.5 %)\n", "  no net radiation         3\n",
        "  line 19: speed \"abc\" is not a number (0 to 100 m/s)\n",
        "note          : the file has no net radiation (放射収支量)"}) {
    EXPECT_NE(r.Out.find(line), std::string::npos) << line << "\n" << r.Out;
  }
  // --station names the station over the file's own.
  EXPECT_NE(Met({kAgency, "--station", "大手町"}).Out.find("station       : 大手町\n"),
            std::string::npos);
}

TEST(CliMet, Pictures) {
  TempDir dir;
  const std::string rose = dir.File("rose.svg");
  const std::string chart = dir.File("chart.svg");
  const RunResult r = Met({kSample, "--rose", rose, "--stability-chart", chart});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const std::string svg = ReadBytes(rose);
  for (const char* label : {"<svg", "風配図", "北北東", "静穏", "6.9%", "<polygon"}) {
    EXPECT_NE(svg.find(label), std::string::npos) << label;
  }
  EXPECT_NE(ReadBytes(chart).find("大気安定度"), std::string::npos);
#ifdef VMK_HAVE_PLOT_PNG
  const std::string png = dir.File("rose.PNG");
  ASSERT_EQ(Met({kSample, "--rose", png}).ExitCode, 0);
  EXPECT_TRUE(ReadBytes(png).starts_with("\x89PNG\r\n\x1a\n"));
#endif
}

TEST(CliMet, FilesThatCannotBeCounted) {
  TempDir dir;
  ExpectUnusable(Met({dir.NewFile("empty.csv")}), "the file is empty");
  ExpectUnusable(Met({dir.NewFile("random.csv", "\x89PNG\r\n\x1a\n\x01\x02,\xff\xfe")}),
                 "neither a header naming the columns nor the first line of an agency file");
  ExpectUnusable(Met({dir.File("missing.csv")}), "missing.csv: cannot be opened");
  ExpectUnusable(Met({dir.Path().string()}), "is a folder");
  ExpectUnusable(Met({dir.NewFile("twice.csv", "time,wd,ws,stability\n2025/4/1 1:00,N,1,F\n"
                                               "2025/4/1 2:00,N,1,F\n2025-04-01 01:00,N,1,F\n")}),
                 "lines 2 and 4 are both for the hour ending 2025-04-01 01:00");
  std::string twoYears = "time,wd,ws,stability\n";
  for (int d = 1; d <= 2; ++d) twoYears += "202" + std::to_string(3 + d) + "-01-01 01:00,N,2,F\n";
  const std::string longFile = dir.NewFile("long.csv", twoYears);
  ExpectUnusable(Met({longFile}), "more than one year (8784 hours): choose at most a year with --from and --to");
  const RunResult chosen = Met({longFile, "--from", "2025-01-01", "--to", "2025-12-31"});
  EXPECT_EQ(chosen.ExitCode, 0) << chosen.Err;
  EXPECT_NE(chosen.Out.find("2025-01-01 01:00 to 2026-01-01 00:00 (8760 hours)"), std::string::npos);
  EXPECT_NE(chosen.Out.find("1 outside --from/--to"), std::string::npos);
}

TEST(CliMet, NoValidHourWritesNothing) {
  TempDir dir;
  const std::string out = dir.File("met.json");
  const RunResult r = Met({dir.NewFile("x.csv", "time,wd,ws,stability\n2025/4/1 1:00,N,,F\n"), "-o", out});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Out.find("  no speed                 1\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Err.find("no valid hour in the period: nothing written"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliMet, FirstTwentyRejectedLinesArePrinted) {
  std::string text = "time,wd,ws,stability\n";
  for (int h = 1; h <= 25; ++h) text += "2025/4/1 " + std::to_string(h - 1) + ":00,N,?,F\n";
  const RunResult r = Met({"-"}, text);
  ASSERT_EQ(r.ExitCode, 1) << r.Err;  // every hour rejected: no valid hour
  EXPECT_NE(r.Out.find("read          : standard input (plain CSV, ASCII)\n"), std::string::npos);
  EXPECT_NE(r.Out.find("  line 2: speed \"?\" is not a number (0 to 100 m/s)\n"), std::string::npos);
  EXPECT_NE(r.Out.find("  line 21: "), std::string::npos);
  EXPECT_EQ(r.Out.find("  line 22: "), std::string::npos);
  EXPECT_NE(r.Out.find("  (the first 20 of 25 rejected lines shown)\n"), std::string::npos);
}

TEST(CliMet, StabilityTableFile) {
  TempDir dir;
  const RunResult shown = Met({"--print-stability-table"});
  ASSERT_EQ(shown.ExitCode, 0);
  EXPECT_NE(shown.Out.find("speed,T>=0.60,T>=0.30,T>=0.15,T<0.15,Q>=-0.020,Q>=-0.040,Q<-0.040,C>=8,C>=5,C<5\n"),
            std::string::npos);
  // Everything F by night: the night hours move to F.
  const std::string table = dir.NewFile(
      "t.csv", "speed,T>=0.6,T<0.6,Q>=0,Q<0\n0,A,B,F,F\n");
  const RunResult r = Met({kSample, "--stability-table", table});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_NE(r.Out.find("night        0     0     0     0     0     0     0     0     0   158     0"),
            std::string::npos)
      << r.Out;
  ExpectUnusable(Met({kSample, "--stability-table", dir.NewFile("bad.csv", "speed,T>=1\n")}),
                 "bad.csv: line 1: the columns must be T>=");
  ExpectUnusable(Met({kSample, "--stability-table", dir.File("none.csv")}), "cannot be read");
}

TEST(CliMet, SiteGivesDayAndNightBySun) {
  // The same file with the site: the day/night split follows the sun, not the solar column.
  const RunResult bySolar = Met({kSample});
  const RunResult bySun = Met({kSample, "--lat", "35.69", "--lon", "139.75"});
  ASSERT_EQ(bySun.ExitCode, 0) << bySun.Err;
  EXPECT_NE(bySolar.Out, bySun.Out);
  EXPECT_EQ(Met({kSample, "--lat", "35.69", "--lon", "139.75", "--utc-offset", "9"}).Out, bySun.Out);
}

TEST(CliMet, OptionsAndHelp) {
  const RunResult help = Met({"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_TRUE(help.Out.starts_with("Usage: vmk-met HOURLY.csv"));
  for (const char* topic : {"only 8 (正常値) counts as normal", "5 (準正常値)", "divided by 3.6",
                            "0.45 is", "8784", "Exit status", "静穏, CALM or C"}) {
    EXPECT_NE(help.Out.find(topic), std::string::npos) << topic;
  }
  struct Bad {
    std::vector<std::string> Args;
    std::string Line;
  };
  // The command line's form: refused with the usage lines.
  const Bad usage[] = {
      {{}, "no file of hourly observations given"},
      {{kSample, kSample}, "more than one input file given"},
      {{kSample, "--bogus"}, "unknown option --bogus"},
      {{kSample, "-o"}, "-o needs a file name for the met statistics (MET.json)"},
      {{kSample, "-o", "a.json", "--output=b.json"}, "--output given more than once"},
      {{kSample, "--lat="}, "--lat needs a latitude from -90 to 90 degrees"},
      {{kSample, "--print-stability-table"}, "--print-stability-table takes no input file"},
      {{"--abnormal-year", kSample}, "--abnormal-year needs --reference FILE"},
      {{"--abnormal-year", kSample, "--reference", kSample, "--rose", "r.svg"},
       "--rose does not go with --abnormal-year"},
      {{kSample, "--reference", kSample}, "--reference needs --abnormal-year"},
  };
  for (const Bad& b : usage) ExpectUsageRefusal(Met(b.Args), "vmk-met: " + b.Line);
  // The values and how they go together: one line.
  const Bad values[] = {
      {{kSample, "--case", "c.json"}, "--case needs --direction (N, NNE, ..., NNW)"},
      {{kSample, "--direction", "N"}, "--direction needs --case CASE.json"},
      {{kSample, "--case", "c.json", "--direction", "NEE"},
       "--direction NEE: not a direction N, NNE, ..., NNW"},
      {{kSample, "--rose", "r.gif"}, "--rose r.gif: the file name must end in .png or .svg"},
      {{kSample, "--lat", "35"}, "--lat and --lon go together"},
      {{kSample, "--lat", "95", "--lon", "0"}, "--lat 95: not a latitude from -90 to 90 degrees"},
      {{kSample, "--lat", "x", "--lon", "0"}, "--lat x: not a latitude"},
      {{kSample, "--lat", "nan", "--lon", "0"}, "--lat nan: not a latitude"},
      {{kSample, "--lat", "35", "--lon", "inf"}, "--lon inf: not a longitude"},
      {{kSample, "--lat", "35", "--lon", "1e999"}, "--lon 1e999: not a longitude"},
      {{kSample, "--lat", "35", "--lon", "0", "--utc-offset", "-15"},
       "--utc-offset -15: not an offset from -14 to 14 hours"},
      {{kSample, "--utc-offset", "9"}, "--utc-offset needs --lat and --lon"},
      {{kSample, "--from", "April"}, "--from April: not a time"},
      {{kSample, "--from", "2025-04-10", "--to", "2025-04-01"}, "comes before --from"},
      {{kSample, "--from", "2024-01-01", "--to", "2025-01-01"}, "8808 hours, more than one year"},
  };
  for (const Bad& b : values) ExpectUnusable(Met(b.Args), b.Line);
}

TEST(CliMet, OutputThatCannotBeWritten) {
  TempDir dir;
  const RunResult r = Met({kSample, "-o", dir.File("no/such/folder/met.json")});
  EXPECT_EQ(r.ExitCode, 3);
  EXPECT_NE(r.Err.find("vmk-met: cannot write"), std::string::npos) << r.Err;
}

}  // namespace
}  // namespace vmk::clitest

namespace vmk::clitest {
namespace {

// A wind file joined with a station's file, the nights by cloud amount and by the wind, as the
// summary and the met file say them; a bad second file is named in the refusal.
TEST(CliMet, JoinedFilesAndNightMethods) {
  TempDir dir;
  const std::string wind = dir.NewFile("wind.csv",
                                       "time,wd,ws\n2025/4/1 1:00,N,2.5\n2025/4/1 2:00,N,2.5\n"
                                       "2025/4/1 12:00,S,2.5\n");
  const std::string station = dir.NewFile("station.csv",
                                          "time,solar,雲量\n2025/4/1 1:00,0,\n2025/4/1 2:00,0,\n"
                                          "2025/4/1 3:00,0,10-\n2025/4/1 12:00,0.7,\n"
                                          "2025/4/1 13:00,0.7,\n");
  const std::string out = dir.File("met.json");
  const RunResult r = Met({wind, "--radiation", station, "-o", out});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  for (const std::string& line :
       {std::string("radiation     : ") + station + " (plain CSV, UTF-8)\n",
        std::string("radiation lines: 5 data lines, 1 outside the period, 0 rejected\n"),
        "joined        : 0 hours with a line in " + wind + " only, 1 in " + station + " only\n",
        std::string("night classes : 0 by net radiation, 2 by cloud amount, 0 by wind speed\n"),
        std::string("cloud amount  : an hour without its own takes the nearest observation of the same day, ")
            + "at most 3 hours away, the earlier on a tie (hour 24 belongs to its day)\n"}) {
    EXPECT_NE(r.Out.find(line), std::string::npos) << line << r.Out;
  }
  const MetStats m = ParseMetStats(ReadBytes(out));
  EXPECT_EQ(m.ValidHours, 3);
  EXPECT_EQ(m.NightMethods, (NightMethodCounts{0, 2, 0}));
  // The wind alone, only when asked for.
  const std::string windOnly = dir.NewFile("w.csv", "time,wd,ws,solar\n2025/4/1 1:00,N,2.5,0\n");
  ExpectUnusable(Met({windOnly}), "or give --night-by-wind");
  const RunResult byWind = Met({windOnly, "--night-by-wind", "-o", out});
  ASSERT_EQ(byWind.ExitCode, 0) << byWind.Err;
  EXPECT_NE(byWind.Out.find("1 by wind speed\n"), std::string::npos) << byWind.Out;
  EXPECT_EQ(ParseMetStats(ReadBytes(out)).NightMethods, (NightMethodCounts{0, 0, 1}));
  const std::string twice = dir.NewFile("twice.csv", "time,cloud\n2025/4/1 1:00,1\n2025/4/1 1:00,2\n");
  ExpectUnusable(Met({wind, "--radiation", twice}),
                 twice + ": lines 2 and 3 are both for the hour ending 2025-04-01 01:00");
  ExpectUnusable(Met({wind, "--radiation", dir.File("none.csv")}), "--radiation ");
}

}  // namespace
}  // namespace vmk::clitest

namespace vmk::clitest {
namespace {

std::string WeekOfWind(int year, int shift) {
  std::string text = "time,wd,ws\n";
  for (int d = 1; d <= 7; ++d) {
    for (int h = 1; h <= 24; ++h) {
      text += std::to_string(year) + "/4/" + std::to_string(d) + " " + std::to_string(h) + ":00," +
              std::to_string((h + d + shift) % 16 + 1) + "," + std::to_string((h * 3 + shift) % 9) +
              "\n";
    }
  }
  return text;
}

// The abnormal-year test: the table written as CSV with a byte order mark, the summary, and
// the refusals of its command line and its files.
TEST(CliMet, AbnormalYearTest) {
  TempDir dir;
  const std::string tested = dir.NewFile("tested.csv", WeekOfWind(2025, 0));
  std::string reference;
  for (int y = 2020; y <= 2022; ++y) reference += WeekOfWind(y, y).substr(y == 2020 ? 0 : 11);
  const std::string ref1 = dir.NewFile("ref1.csv", reference);
  const std::string ref2 = dir.NewFile("ref2.csv", WeekOfWind(2023, 4) + WeekOfWind(2024, 9).substr(11));
  const std::string out = dir.File("test.csv");
  const RunResult r = Met({"--abnormal-year", tested, "--reference", ref1, ref2, "-o", out});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_NE(r.Out.find("reference years: 5, each with at least 116 valid hours"), std::string::npos)
      << r.Out;
  EXPECT_NE(r.Out.find("F(1, 4; 0.05) : 7.709\n"), std::string::npos);
  EXPECT_NE(r.Out.find("written       : " + out + " (abnormal-year test)\n"), std::string::npos);
  const std::string csv = ReadBytes(out);
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(csv.find("\r\n風向,N,"), std::string::npos);
  EXPECT_NE(Met({"--abnormal-year", tested, "--reference", ref1, ref2, "--significance", "1"})
                .Out.find("F(1, 4; 0.01) : 21.198\n"),
            std::string::npos);
  ExpectUnusable(Met({"--abnormal-year", tested, "--reference", ref1, "--significance", "2"}),
                 "--significance 2: not 5 or 1 (percent)");
  ExpectUnusable(Met({"--abnormal-year", tested, "--reference", ref2}),
                 "2 reference years (2023-04-01 01:00 to 2023-04-08 00:00, 2024-04-01 01:00 to "
                 "2024-04-08 00:00) of the tested period's dates: the test needs at least 3");
  const std::string twice = dir.NewFile("twice.csv", reference + "2021/4/3 5:00,N,2\n");
  ExpectUnusable(Met({"--abnormal-year", tested, "--reference", twice}),
                 twice + ": line 506 is for the hour ending 2021-04-03 05:00, as line 222 is");
}

}  // namespace
}  // namespace vmk::clitest
