// vmk-calc --profile: the concentration along the wind direction as CSV, its plot, and the
// command-line errors around them.
//
// Golden files: tests/golden/<name>.profile.csv holds the standard output of a profile run.
// They were produced by the program and checked by hand: every point equals the TotalConc of a
// single calculation with XrpEdit set to its distance, and the maximum line likewise. After a
// deliberate change, regenerate one with
//   vmk-calc --profile FROM:TO:N [--log] CASE 2>/dev/null > NAME.profile.csv
// and check the differences by hand before committing them.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "cli_process.h"
#include "platform/files.h"

namespace vmk::clitest {
namespace {

using Json = nlohmann::json;

const std::string kSite = (kSourceDir / "examples" / "site.json").string();

struct ProfileGolden {
  const char* Name;
  const char* CaseFile;  // relative to the source tree
  std::vector<std::string> Args;
};

// The site example on a log scale over the whole peak: the puff part falls from the stack on,
// the plume part rises from about 80 m, and their sum has a dip near 330 m and its maximum
// near 980 m.
const ProfileGolden kProfileGoldens[] = {
    {"site", "examples/site.json", {"--profile", "10:20000:40", "--log"}},
};

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::istringstream f(line);
    for (std::string field; std::getline(f, field, ',');) fields.push_back(field);
    rows.push_back(fields);
  }
  return rows;
}

float ToFloat(const std::string& text) {
  float v = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  EXPECT_TRUE(res.ec == std::errc() && res.ptr == text.data() + text.size()) << text;
  return v;
}

// The site example with one control changed, as a case file.
std::string SiteWith(const std::string& control, const std::string& text) {
  Json site = Json::parse(ReadBytes(kSite));
  site[control] = text;
  return site.dump();
}

// The text of TotalConc in the --json output: the program's own shortest float text.
std::string TotalConcText(const std::string& caseText) {
  const RunResult r = RunVmkCalc({"--json", "-"}, caseText);
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  const std::string key = "\"TotalConc\": ";
  const auto p = r.Out.find(key);
  if (p == std::string::npos) return "(none)";
  const auto from = p + key.size();
  return r.Out.substr(from, r.Out.find('\n', from) - from);
}

class ProfileGoldenTest : public ::testing::TestWithParam<ProfileGolden> {};

TEST_P(ProfileGoldenTest, CsvMatchesAndResultsGoToStandardError) {
  const ProfileGolden& g = GetParam();
  const std::string caseFile = (kSourceDir / g.CaseFile).string();
  std::vector<std::string> args = g.Args;
  args.push_back(caseFile);
  const RunResult r = RunVmkCalc(args);
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  const std::string golden = std::string(g.Name) + ".profile.csv";
  EXPECT_EQ(r.Out, ReadBytes(kSourceDir / "tests" / "golden" / golden));
  // The calculation's usual lines, moved to standard error.
  EXPECT_EQ(r.Err, RunVmkCalc({caseFile}).Out);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileGoldenTest, ::testing::ValuesIn(kProfileGoldens),
                         [](const ::testing::TestParamInfo<ProfileGolden>& info) {
                           return std::string(info.param.Name);
                         });

TEST(ProfileGoldenFiles, EveryProfileFileBelongsToATableEntry) {
  std::set<std::string> known;
  for (const ProfileGolden& g : kProfileGoldens) known.insert(std::string(g.Name) + ".profile.csv");
  for (const auto& entry : std::filesystem::directory_iterator(kSourceDir / "tests" / "golden")) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".profile.csv")) {
      EXPECT_TRUE(known.count(name)) << name << " is not used by any profile case";
    }
  }
}

// Each point is what a calculation with that receptor distance shows, to the last digit; the
// maximum too, and it is at least every point, between the neighbours of the largest one.
TEST(ProfileCsv, PointsAndMaximumEqualSingleCalculations) {
  const auto rows = CsvRows(ReadBytes(kSourceDir / "tests" / "golden" / "site.profile.csv"));
  ASSERT_EQ(rows.size(), 1u + 40u + 1u);
  EXPECT_EQ(rows.front(), (std::vector<std::string>{"R (m)", "C", "C puff", "C plume"}));
  const auto& maxRow = rows.back();
  ASSERT_EQ(maxRow.size(), 4u);
  EXPECT_EQ(maxRow[0], "max");
  EXPECT_EQ(maxRow[2], "at R (m)");

  std::size_t largest = 1;
  for (std::size_t i = 1; i + 1 < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 4u);
    if (ToFloat(rows[i][1]) > ToFloat(rows[largest][1])) largest = i;
    EXPECT_LE(ToFloat(rows[i][1]), ToFloat(maxRow[1])) << rows[i][0];
  }
  EXPECT_GT(ToFloat(maxRow[3]), ToFloat(rows[largest - 1][0]));
  EXPECT_LT(ToFloat(maxRow[3]), ToFloat(rows[largest + 1][0]));

  // The ends, both sides of the dip, the largest point, and the maximum.
  for (std::size_t i : {std::size_t{1}, std::size_t{18}, std::size_t{19}, std::size_t{20}, largest,
                        rows.size() - 2}) {
    SCOPED_TRACE(rows[i][0]);
    EXPECT_EQ(TotalConcText(SiteWith("XrpEdit", " " + rows[i][0])), rows[i][1]);
  }
  EXPECT_EQ(TotalConcText(SiteWith("XrpEdit", " " + maxRow[3])), maxRow[1]);
}

TEST(ProfileCsv, ProfilesTheLastCalculation) {
  const std::string second = R"({"HoEdit": " 80.0", "XrpEdit": " 500"})";
  const std::string sequence = "[" + ReadBytes(kSite) + ", " + second + "]";
  const RunResult both = RunVmkCalc({"--profile", "50:5000:30", "-"}, sequence);
  Json merged = Json::parse(ReadBytes(kSite));
  merged.update(Json::parse(second));
  const RunResult single = RunVmkCalc({"--profile", "50:5000:30", "-"}, merged.dump());
  EXPECT_EQ(both.ExitCode, 0);
  EXPECT_EQ(both.Out, single.Out);
  EXPECT_NE(both.Out, RunVmkCalc({"--profile", "50:5000:30", kSite}).Out);
}

TEST(ProfileCsv, DistancesEvenlyOrEvenlyOnALogScale) {
  struct Spacing {
    std::vector<std::string> Args;
    std::vector<std::string> Distances;
  };
  const Spacing spacings[] = {
      {{"--profile", "1:10000:5", "--log"}, {"1", "10", "100", "1000", "10000"}},
      // The shortest text of 100000 is its exponent form.
      {{"--log", "--profile=0.1:100000:7"}, {"0.1", "1", "10", "100", "1000", "10000", "1e+05"}},
      {{"--profile", "0.09999:100001:2"}, {"0.09999", "100001"}},
  };
  for (const Spacing& s : spacings) {
    SCOPED_TRACE(s.Args[0] + " " + s.Args[1]);
    std::vector<std::string> args = s.Args;
    args.push_back(kSite);
    const RunResult r = RunVmkCalc(args);
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    const auto rows = CsvRows(r.Out);
    ASSERT_EQ(rows.size(), s.Distances.size() + 2);
    for (std::size_t i = 0; i < s.Distances.size(); ++i) EXPECT_EQ(rows[i + 1][0], s.Distances[i]);
  }
}

TEST(ProfileArgs, ErrorsAreOneLineAndNothingRuns) {
  const auto expectBad = [](std::vector<std::string> args, const std::string& line) {
    SCOPED_TRACE(line);
    args.push_back(kSite);
    ExpectUnusable(RunVmkCalc(args), "vmk-calc: " + line);
  };
  // A bad range is named in the message, followed by what is wrong with it.
  const std::pair<const char*, const char*> badRanges[] = {
      {"10:20", ""}, {"10:20:5:6", ""}, {":", ""}, {"a:20:5", "FROM is not a number"},
      {" 10:20:5", "FROM is not a number"}, {"10:20m:5", "TO is not a number"},
      {"inf:20:5", "FROM is not a finite number"}, {"10:nan:5", "TO is not a finite number"},
      {"10:1e39:5", "TO is not a finite number"}, {"10:20:1", ""}, {"10:20:100001", ""},
      {"10:20:2.5", ""}, {"10:20:1e3", ""}, {"10:20:99999999999", ""},
      {"20:10:5", "FROM must be less than TO"}, {"10:10:5", "FROM must be less than TO"},
      {"1000:1000.00001:5", "FROM must be less"},  // equal as single-precision distances
      // Just outside the window's limits, as single-precision values.
      {"0.09998:10:5", ""}, {"-5:10:5", ""}, {"10:100002:5", ""},
  };
  for (const auto& [range, why] : badRanges) {
    expectBad({"--profile", range}, "--profile \"" + std::string(range) + "\": " + why);
  }
  const std::pair<std::vector<std::string>, const char*> badOptions[] = {
      {{"--log"}, "--log needs --profile FROM:TO:N"},
      {{"--plot", "p.svg"}, "--plot needs --profile FROM:TO:N"},
      {{"--profile", "1:2:3", "--plot", "p.pdf"},
       "--plot p.pdf: the file name must end in .png or .svg"},
      {{"--profile", "1:2:3", "--plot", "svg"}, "--plot svg: the file name must end in .png"},
      {{"--profile", "1:2:3", "--json"},
       "--json cannot be combined with --profile (the profile is CSV text)"},
  };
  for (const auto& [args, line] : badOptions) expectBad(args, line);
  const std::string expectForm =
      "expected FROM:TO:N (two distances in m and a number of points, separated by colons)";
  const std::string nRange = "N must be an integer from 2 to 100000";
  const std::string range =
      "the distances must lie from 0.09999 to 100001 m (the receptor distances the window accepts)";
  // The message ends in what a malformed argument lacks.
  for (const auto& [range, tail] : {std::pair{"10:20", expectForm}, {"10:20:1", nRange},
                                   {"10:20:1e3", nRange}, {"0.09998:10:5", range},
                                   {"10:100002:5", range}}) {
    EXPECT_TRUE(RunVmkCalc({"--profile", range, kSite}).Err.ends_with(": " + tail + "\n")) << range;
  }
  // Options without their value or given twice are refused with the usage lines.
  const std::pair<std::vector<std::string>, const char*> usage[] = {
      {{kSite, "--profile"}, "--profile needs FROM:TO:N"},
      {{"--profile", "", kSite}, "--profile needs FROM:TO:N"},
      {{"--profile", "1:2:3", "--profile", "1:2:3", kSite}, "--profile given more than once"},
      {{"--profile", "1:2:3", "--plot=", kSite}, "--plot needs a file name ending in .png or .svg"},
      {{"--profile", "1:2:3", "--plot", "a.svg", "--plot=b.svg", kSite},
       "--plot given more than once"},
      {{"--template", "--log"}, "--template takes no case file or other option"},
  };
  for (const auto& [args, line] : usage) {
    ExpectUsageRefusal(RunVmkCalc(args), std::string("vmk-calc: ") + line);
  }
}

TEST(ProfileArgs, HelpDescribesTheProfile) {
  const RunResult r = RunVmkCalc({"--help"});
  EXPECT_EQ(r.ExitCode, 0);
  for (const char* topic : {"--profile FROM:TO:N [--log] [--plot FILE]", "R (m),C,C puff,C plume",
                            "max,<C>,at R (m),<R>", "standard error", "--log", "(.svg, .png)",
                            "0.09999 to 100001 m", "nothing to profile"}) {
    EXPECT_NE(r.Out.find(topic), std::string::npos) << topic;
  }
}

// Without a calculation that ended in the normal results there are no valid inputs: one line,
// no CSV, exit status 1. An earlier failure does not stop the profile of a good last one.
TEST(ProfileResult, OnlyAfterANormalLastCalculation) {
  const std::string noProfile =
      "vmk-calc: no profile: the last calculation did not show its results in the normal form, "
      "so there are no valid inputs to profile\n";
  struct Case {
    std::string Text;
    std::string LastLine;
  };
  const Case cases[] = {
      {R"({"QgEdit": "x"})", noProfile},
      {"[" + ReadBytes(kSite) + R"(, {"XrpEdit": " 0.05"}])", noProfile},
      {"[]", "vmk-calc: no profile: the case file holds no calculation\n"},
  };
  for (const Case& c : cases) {
    const RunResult r = RunVmkCalc({"--profile", "10:1000:5", "-"}, c.Text);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_TRUE(r.Err.ends_with(c.LastLine)) << r.Err;
  }

  const RunResult laterGood =
      RunVmkCalc({"--profile", "10:1000:5", "-"}, R"([{"QgEdit": "x"}, )" + ReadBytes(kSite) + "]");
  EXPECT_EQ(laterGood.ExitCode, 1);  // as without --profile: a calculation failed
  EXPECT_EQ(CsvRows(laterGood.Out).size(), 7u);
  EXPECT_EQ(laterGood.Out, RunVmkCalc({"--profile", "10:1000:5", kSite}).Out);
}

// The polyline's points ("x,y x,y ...") in the SVG text.
std::size_t PolylinePoints(const std::string& svg) {
  const auto line = svg.find("<polyline");
  if (line == std::string::npos) return 0;
  const auto from = svg.find("points=\"", line) + 8;
  const std::string points = svg.substr(from, svg.find('"', from) - from);
  return points.empty() ? 0 : std::count(points.begin(), points.end(), ' ') + 1;
}

TEST(ProfilePlot, SvgHoldsTheCurveTitlesAndMarks) {
  TempDir dir;
  const std::string plot = (dir / "site.svg").string();
  const RunResult r = RunVmkCalc({"--profile", "10:20000:40", "--log", "--plot", plot, kSite});
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(r.Out, ReadBytes(kSourceDir / "tests" / "golden" / "site.profile.csv"));
  const std::string svg = ReadBytes(plot);
  EXPECT_TRUE(svg.starts_with("<?xml") || svg.starts_with("<svg"));
  EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"500\""),
            std::string::npos);
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
  EXPECT_EQ(PolylinePoints(svg), 40u);
  for (const char* text : {">風下距離 R (m)</text>", ">濃度 C (ppb, ng/m3)</text>",
                           ">最大濃度 C = 0.1939 (R = 979.5 m)</text>", ">最大</text>",
                           ">予測点 R = 1000 m</text>", ">10</text>", ">100</text>",
                           ">10000</text>", ">0.15</text>"}) {
    EXPECT_NE(svg.find(text), std::string::npos) << text;
  }

  EXPECT_EQ(svg.find("さらに外に高い値があり得ます"), std::string::npos);

  // Linear axis; the receptor at 1000 m outside the range is not marked.
  const RunResult near = RunVmkCalc({"--profile", "10:500:7", "--plot", plot, kSite});
  EXPECT_EQ(near.ExitCode, 0);
  const std::string nearSvg = ReadBytes(plot);
  EXPECT_EQ(PolylinePoints(nearSvg), 7u);
  // The concentration still rises at 500 m: the maximum is the range's last distance.
  EXPECT_TRUE(near.Out.ends_with("at R (m),500\n")) << near.Out;
  EXPECT_NE(nearSvg.find(">最大は範囲の終わり (R = 500 m): さらに外に高い値があり得ます</text>"),
            std::string::npos);
  EXPECT_EQ(nearSvg.find("予測点"), std::string::npos);
  for (const char* text : {">100</text>", ">200</text>", ">500</text>"}) {
    EXPECT_NE(nearSvg.find(text), std::string::npos) << text;
  }

  // Beyond the peak the concentration falls: the maximum is the first distance.
  const RunResult far = RunVmkCalc({"--profile", "2000:20000:5", "--plot", plot, kSite});
  EXPECT_EQ(far.ExitCode, 0);
  EXPECT_TRUE(far.Out.ends_with("at R (m),2000\n")) << far.Out;
  EXPECT_NE(ReadBytes(plot).find(">最大は範囲の始め (R = 2000 m): さらに外に高い値があり得ます</text>"),
            std::string::npos);
}

TEST(ProfilePlot, PngIsAPictureOfThePlotSize) {
  TempDir dir;
  const std::string plot = (dir / "site.PNG").string();
  const RunResult r = RunVmkCalc({"--profile", "10:20000:200", "--log", "--plot", plot, kSite});
#ifdef VMK_HAVE_PLOT_PNG
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(r.Err, RunVmkCalc({kSite}).Out);  // no notes from the drawing library
  const std::string png = ReadBytes(plot);
  ASSERT_GT(png.size(), 10000u);  // a blank picture compresses to a few hundred bytes
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x03\x20\0\0\x01\xf4", 8));  // 800 x 500
#else
  ExpectUnusable(r, "cannot write PNG; use .svg");
#endif
}

TEST(ProfilePlot, AFileThatCannotBeWrittenExitsWithThree) {
  TempDir dir;
  for (const char* name : {"no-such-folder/p.svg", "no-such-folder/p.png"}) {
#ifndef VMK_HAVE_PLOT_PNG
    if (std::string(name).ends_with(".png")) continue;
#endif
    const std::string plot = (dir / name).string();
    const RunResult r = RunVmkCalc({"--profile", "10:1000:5", "--plot", plot, kSite});
    EXPECT_EQ(r.ExitCode, 3) << name;
    // The system's own words for a missing folder.
    const std::string cause = platform::kWindows ? "Path not found" : "No such file or directory";
    EXPECT_TRUE(r.Err.ends_with("vmk-calc: cannot write the plot " + plot + ": " + cause + "\n"))
        << r.Err;
  }
}

}  // namespace
}  // namespace vmk::clitest
