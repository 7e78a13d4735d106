// Reading hourly files: both forms, the encodings, the header, the period and its limit,
// duplicate hours, rejected lines, and the identities of the counts.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/cp932.h"
#include "fuzz/hourly_count_identities.h"
#include "met/hourly_reader.h"
#include "scratch_files.h"

namespace vmk {
namespace {

const std::string kSourceDir = VMK_SOURCE_DIR;

HourlyReadResult Read(const std::string& text, const HourlyReadOptions& options = {}) {
  std::istringstream in(text);
  return ReadHourlyObservations(in, options);
}

std::string ReadError(const std::string& text, const HourlyReadOptions& options = {}) {
  try {
    Read(text, options);
  } catch (const HourlyFileError& e) {
    return e.what();
  }
  return "(read without error)";
}

int Missing(const MetStats& m, const std::string& cause) {
  for (const auto& [name, hours] : m.MissingHours) {
    if (name == cause) return hours;
  }
  ADD_FAILURE() << "no cause " << cause;
  return -1;
}

// The identities every result must hold.
void ExpectIdentities(const HourlyReadResult& r) { EXPECT_EQ(BrokenHourlyIdentity(r), ""); }

std::string FileText(const std::string& path) {
  return scratch::ReadBytes(path);
}

TEST(HourlyReader, TheSampleFileHoldsItsIdentities) {
  const HourlyReadResult r = Read(FileText(kSourceDir + "/examples/met/hourly-sample.csv"));
  EXPECT_EQ(r.Form, "plain CSV, UTF-8");
  EXPECT_EQ(r.Stats.From, "2025-04-01 01:00");
  EXPECT_EQ(r.Stats.To, "2025-04-15 00:00");
  EXPECT_EQ(r.Stats.HoursRead, 336);
  EXPECT_EQ(Missing(r.Stats, "no speed"), 1);
  EXPECT_EQ(r.LinesRejected, 0);
  ExpectIdentities(r);
}

// A few hours of every kind, with the header in any order, any case and with units.
const std::string kSmall =
    "Net (kW/m2),WS,extra,TIME,Wd,solar[kW/m2]\n"
    "-0.05,0.3,x,2025-04-01 01:00,CALM,0\n"    // calm, night, G
    "-0.05,0.7,x,2025-04-01 02:00,NE,0\n"      // weak NE, night G
    "-0.01,2.5,x,2025-04-01 03:00,N,0\n"       // windy 2 N, night D -> Dn
    "0.2,1.5,x,2025-04-01 12:00,S,0.7\n"       // windy 1 S, day A
    "0.2,,x,2025-04-01 13:00,S,0.7\n"          // no speed
    "0.2,3.5,x,2025-04-01 14:00,,0.7\n"        // no direction
    "0.2,3.5,x,2025-04-01 15:00,静穏,0.7\n"    // calm direction
    "0.1,0.6,x,2025-04-01 16:00,SSW,\n";       // no solar radiation (day or night unknown)

TEST(HourlyReader, CountsAndCauses) {
  const HourlyReadResult r = Read(kSmall);
  const MetStats& m = r.Stats;
  EXPECT_EQ(m.From, "2025-04-01 01:00");
  EXPECT_EQ(m.To, "2025-04-01 16:00");
  EXPECT_EQ(m.HoursRead, 16);
  EXPECT_EQ(m.ValidHours, 4);
  EXPECT_EQ(Missing(m, "no line"), 8);
  EXPECT_EQ(Missing(m, "no speed"), 1);
  EXPECT_EQ(Missing(m, "no direction"), 1);
  EXPECT_EQ(Missing(m, "calm direction"), 1);
  EXPECT_EQ(Missing(m, "no solar radiation"), 1);
  EXPECT_EQ(m.CalmAll[10], 1);
  EXPECT_EQ(m.Directions[2].Weak[10], 1);
  EXPECT_EQ(m.Directions[0].Windy[1][7], 1);
  EXPECT_EQ(m.Directions[8].Windy[0][0], 1);
  EXPECT_EQ(r.LinesRejected, 0);
  ExpectIdentities(r);
}

TEST(HourlyReader, EncodingsGiveTheSameCounts) {
  const std::string japanese =
      "日時,風向,風速,安定度\n"
      "2025/4/1 1:00,北北西,2.0,D\n"
      "2025/4/1 2:00,静穏,0.2,G\n"
      "2025/4/1 3:00,東,0.9,E\n";
  HourlyReadOptions o;
  o.Site = SunSite{35.68, 139.77, 9};
  const HourlyReadResult utf8 = Read(japanese, o);
  const HourlyReadResult bom = Read("\xEF\xBB\xBF" + japanese, o);
  const HourlyReadResult cp932 = Read(Utf8ToCp932(japanese), o);
  EXPECT_EQ(utf8.Form, "plain CSV, UTF-8");
  EXPECT_EQ(bom.Form, "plain CSV, UTF-8 with byte order mark");
  EXPECT_EQ(cp932.Form, "plain CSV, code page 932");
  for (const HourlyReadResult* r : {&utf8, &bom, &cp932}) {
    EXPECT_EQ(r->Stats.ValidHours, 3) << r->Form;
    EXPECT_EQ(r->Stats.Directions[15].Windy[1][7], 1) << r->Form;  // D at night is Dn
    EXPECT_EQ(r->Stats.CalmAll[10], 1) << r->Form;
    EXPECT_EQ(r->Stats.Directions[4].Weak[8], 1) << r->Form;
  }
}

// An ASCII file may have any line ends: LF, CR LF or CR alone.
TEST(HourlyReader, AnyLineEnds) {
  const std::string ascii = "time,wd,ws,stability\n2025-04-01 01:00,N,2,F\n2025-04-01 02:00,N,2,F\n";
  for (const std::string eol : {"\r\n", "\r"}) {
    std::string text = ascii;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + eol.size())) {
      text.replace(at, 1, eol);
    }
    const HourlyReadResult r = Read(text);
    EXPECT_EQ(r.Form, "plain CSV, ASCII");
    EXPECT_EQ(r.Stats.ValidHours, 2);
    EXPECT_EQ(r.DataLines, 2);
  }
}

TEST(HourlyReader, StabilityColumnAndDayNight) {
  const std::string text =
      "time,wd,ws,stability,solar\n"
      "2025-06-15 04:00,N,2,D,\n"   // with the site: night (sunrise 4:25)
      "2025-06-15 05:00,N,2,d,\n"   // day
      "2025-06-15 06:00,N,2,Dn,\n"  // as given
      "2025-06-15 07:00,N,2,D,0.1\n"
      "2025-06-15 08:00,N,2,X,0.1\n";
  HourlyReadOptions o;
  o.Site = SunSite{35.6544, 139.7447, 9};
  const HourlyReadResult withSite = Read(text, o);
  const ClassCounts& windy2 = withSite.Stats.Directions[0].Windy[1];
  EXPECT_EQ(windy2[6], 2);
  EXPECT_EQ(windy2[7], 2);
  EXPECT_EQ(Missing(withSite.Stats, "no stability"), 1);
  ASSERT_EQ(withSite.FirstRejected.size(), 1u);
  EXPECT_EQ(withSite.FirstRejected[0].Line, 6);
  EXPECT_NE(withSite.FirstRejected[0].Reason.find("stability \"X\" is not a class"), std::string::npos);
  // Without a site, D needs the solar radiation to tell day from night.
  const HourlyReadResult bySolar = Read(text);
  EXPECT_EQ(Missing(bySolar.Stats, "no day or night"), 2);
  EXPECT_EQ(bySolar.Stats.Directions[0].Windy[1][6], 1);
  EXPECT_FALSE(bySolar.Notes.empty());
  ExpectIdentities(bySolar);
}

TEST(HourlyReader, DegreesAndCodes) {
  const std::string text =
      "time,wd,ws,stability\n"
      "2025-04-01 01:00,11.25,2,F\n"
      "2025-04-01 02:00,360,2,F\n"
      "2025-04-01 03:00,16,2,F\n"
      "2025-04-01 04:00,0,0.2,F\n";
  const HourlyReadResult codes = Read(text);
  EXPECT_EQ(codes.Stats.ValidHours, 2);  // 11.25 and 360 are not codes
  EXPECT_EQ(codes.LinesRejected, 2);
  EXPECT_NE(codes.FirstRejected[1].Reason.find("degrees need --degrees"), std::string::npos);
  HourlyReadOptions o;
  o.Degrees = true;
  const HourlyReadResult degrees = Read(text, o);
  EXPECT_EQ(degrees.Stats.ValidHours, 4);  // 0 is north with a calm speed: still calm
  EXPECT_EQ(degrees.Stats.Directions[1].Windy[1][9], 2);  // 11.25 and 16 degrees: NNE
  EXPECT_EQ(degrees.Stats.Directions[0].Windy[1][9], 1);  // 360 degrees: N
  EXPECT_EQ(degrees.Stats.CalmAll[9], 1);
}

TEST(HourlyReader, FilesOfNeitherFormSayWhatWasExpected) {
  struct Case {
    std::string Text;
    const char* Says;
  };
  const Case cases[] = {
      {"", "the file is empty"},
      {"\n\n  \n", "the file is empty"},
      {"hello,world\n1,2\n", "line 1 is neither a header naming the columns"},
      {"{\"format\": \"vmk-met/1\"}\n", "expected a plain CSV whose header names time (日時)"},
      {"time,ws,stability\n", "the header (line 1) lacks a wind direction column (wd or 風向)"},
      {"time,wd,ws\n", "neither a stability column"},
      {"time,wd,ws,solar\n", "lacks a net radiation column (net or 放射収支量)"},
      {"time,wd,ws,WS,stability\n", "names a wind speed column (ws or 風速) twice: columns 3 and 4"},
      {std::string(70000, 'x') + "\n", "line 1 is longer than 65536 bytes"},
  };
  for (const Case& c : cases) {
    EXPECT_NE(ReadError(c.Text).find(c.Says), std::string::npos)
        << c.Text.substr(0, 40) << " -> " << ReadError(c.Text);
    EXPECT_EQ(ReadError(c.Text).find('\n'), std::string::npos);
  }
}

TEST(HourlyReader, TwoLinesForOneHourNameBothLines) {
  const std::string text =
      "time,wd,ws,stability\n"
      "2025-04-01 01:00,N,2,F\n"
      "2025-04-01 02:00,N,2,F\n"
      "2025/4/1 1:00:00,N,3,F\n";
  EXPECT_EQ(ReadError(text),
            "lines 2 and 4 are both for the hour ending 2025-04-01 01:00: keep one of them");
  // 24:00 and 00:00 of the next day are the same hour.
  EXPECT_NE(ReadError("time,wd,ws,stability\n2025/4/1 24:00,N,2,F\n2025/4/2 0:00,N,2,F\n")
                .find("lines 2 and 3"),
            std::string::npos);
}

std::string HourlyFile(const std::string& firstHour, int hours) {
  std::string text = "time,wd,ws,stability\n";
  HourNumber h = *ParseHourText(firstHour);
  for (int i = 0; i < hours; ++i) text += HourText(h + i) + ",NE,2.0,C\n";
  return text;
}

TEST(HourlyReader, AtMostOneYear) {
  const HourlyReadResult leap = Read(HourlyFile("2024-01-01 01:00", 8784));
  EXPECT_EQ(leap.Stats.HoursRead, 8784);
  EXPECT_EQ(leap.Stats.ValidHours, 8784);
  const std::string longer = HourlyFile("2024-01-01 01:00", 8785);
  EXPECT_NE(ReadError(longer).find("the hours run from 2024-01-01 01:00 to 2025-01-01 01:00 "
                                   "(line 8786), more than one year (8784 hours)"),
            std::string::npos)
      << ReadError(longer);
}

// --from and --to choose the hours; the lines outside are skipped, not checked.
TEST(HourlyReader, FromAndToChooseTheHours) {
  HourlyReadOptions o;
  o.From = ParseHourOrDay("2024-03-01", false);
  o.To = ParseHourOrDay("2024-03-31", true);
  const HourlyReadResult march = Read(HourlyFile("2024-01-01 01:00", 8785) + "garbage line\n", o);
  EXPECT_EQ(march.Stats.From, "2024-03-01 01:00");
  EXPECT_EQ(march.Stats.To, "2024-04-01 00:00");
  EXPECT_EQ(march.Stats.HoursRead, 31 * 24);
  EXPECT_EQ(march.Stats.ValidHours, 31 * 24);
  EXPECT_EQ(march.LinesOutside, 8785 - 31 * 24);
  EXPECT_EQ(march.LinesRejected, 1);  // the garbage line has no readable time
  ExpectIdentities(march);
}

TEST(HourlyReader, FromAndToOfNoUsablePeriodAreRefused) {
  struct Case {
    const char* From;
    const char* To;
    const char* Says;
  };
  const Case cases[] = {
      {"2024-01-01", "2025-01-01",
       "from 2024-01-01 01:00 to 2025-01-02 00:00 are 8808 hours, more than one year (8784 hours)"},
      {"2024-03-02", "2024-03-01",
       "the last hour 2024-03-02 00:00 comes before the first 2024-03-02 01:00"},
  };
  for (const Case& c : cases) {
    HourlyReadOptions o;
    o.From = ParseHourOrDay(c.From, false);
    o.To = ParseHourOrDay(c.To, true);
    EXPECT_EQ(ReadError(HourlyFile("2024-01-01 01:00", 2), o), c.Says);
  }
}

// Hours of the period without a line are missing; so are those before the first line.
TEST(HourlyReader, HoursOfThePeriodWithoutALineAreMissing) {
  HourlyReadOptions o;
  o.From = ParseHourText("2024-02-29 20:00");
  o.To = ParseHourText("2024-03-01 05:00");
  const HourlyReadResult edge = Read(HourlyFile("2024-03-01 01:00", 3), o);
  EXPECT_EQ(edge.Stats.HoursRead, 10);
  EXPECT_EQ(edge.Stats.ValidHours, 3);
  EXPECT_EQ(Missing(edge.Stats, "no line"), 7);
  ExpectIdentities(edge);
}

TEST(HourlyReader, RejectedLinesAreCountedAndTheFirst20Kept) {
  std::string text = "time,wd,ws,stability\n";
  HourNumber h = *ParseHourText("2025-04-01 01:00");
  for (int i = 0; i < 30; ++i) text += HourText(h + i) + ",N,fast,F\n";  // 30 unreadable speeds
  text += "2025-04-03 01:30,N,2,F\n";
  text += "not a time,N,2,F\n";
  text += ",N,2,F\n";
  text += "2025-04-03 03:00,N,2\n";
  text += "2025-04-03 05:00,N,2,F\n";
  text += ",,,\n";  // blank: not a data line
  const HourlyReadResult r = Read(text);
  EXPECT_EQ(r.DataLines, 35);
  EXPECT_EQ(r.LinesRejected, 34);
  ASSERT_EQ(r.FirstRejected.size(), 20u);
  EXPECT_EQ(r.FirstRejected[0].Line, 2);
  EXPECT_EQ(r.FirstRejected[0].Reason, "speed \"fast\" is not a number (0 to 100 m/s)");
  EXPECT_EQ(r.FirstRejected[19].Line, 21);
  const std::vector<std::pair<std::string, long long>> causes = {
      {"no time", 1},         {"unreadable time", 1},
      {"time not on the hour", 1}, {"too few fields", 1}, {"unreadable speed", 30}};
  EXPECT_EQ(r.RejectedByCause, causes);
  EXPECT_EQ(Missing(r.Stats, "no speed"), 30);
  EXPECT_EQ(r.Stats.ValidHours, 1);
  ExpectIdentities(r);
}

std::string Agency(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return Utf8ToCp932(text);
}

// Each kind of rejected line says which value and what it should have been, in its unit.
TEST(HourlyReader, EachRejectedLineSaysWhy) {
  const std::string given = "time,wd,ws,stability\n";
  const std::string radiation = "time,wd,ws,solar,net\n";
  const std::string megajoule = "time,wd,ws,solar(MJ/m2),net[MJ]\n";
  const std::string download = "ダウンロードした時刻：2025/05/10 10:20:30";
  struct Case {
    std::string Text;
    bool Degrees;
    const char* Reason;
  };
  const Case cases[] = {
      {given + ",N,2,F", false, "no time"},
      {given + "2025-04-01 01:30,N,2,F", false, "time \"2025-04-01 01:30\" is not on the hour"},
      {given + "April,N,2,F", false,
       "time \"April\" is not a date and hour like 2025-04-01 01:00 or 2025/4/1 1:00"},
      {given + "2025-04-01 01:00,N,2", false, "3 fields, fewer than the 4 the columns need"},
      {given + "2025-04-01 01:00,N,100.05,F", false,
       "speed \"100.05\" is out of range (0 to 100 m/s)"},
      {given + "2025-04-01 01:00,17,2,F", false,
       "direction \"17\" is not a code 0 to 16 (degrees need --degrees)"},
      {given + "2025-04-01 01:00,NEE,2,F", false,
       "direction \"NEE\" is not a direction (N ... NNW, 北 ... 北北西, 0 to 16, 静穏, CALM or C)"},
      {given + "2025-04-01 01:00,361,2,F", true, "direction \"361\" is not from 0 to 360 degrees"},
      {given + "2025-04-01 01:00,x,2,F", true, "direction \"x\" is neither a name nor degrees"},
      {given + "2025-04-01 01:00,N,2,H", false,
       "stability \"H\" is not a class (A, A-B, B, B-C, C, C-D, D, Dd, Dn, E, F, G)"},
      {radiation + "2025-04-01 01:00,N,2,523,0", false,
       "solar radiation \"523\" is out of range (-1 to 2 kW/m2)"},
      {megajoule + "2025-04-01 01:00,N,2,7.21,0", false,
       "solar radiation \"7.21\" is out of range (-3.6 to 7.2 MJ/m2)"},
      {megajoule + "2025-04-01 01:00,N,2,0,x", false,
       "net radiation \"x\" is not a number (-3.6 to 7.2 MJ/m2)"},
      {Agency({download, "", ",東京,東京,東京,東京",
               "年月日時,風速(m/s),風速(m/s),風速(m/s),風速(m/s)", ",,,風向,風向",
               ",,品質情報,,品質情報", "2025/4/1 1:00:00,1.5,x,南,8"}),
       false, "quality flag \"x\" of 風速 is not a number"},
      {Agency({download, "", ",,,,東京,東京", "年,月,日,時,風速(m/s),風向", "2025,4,x,12,2.5,南"}),
       false, "year, month, day and hour \"2025,4,x,12\" are not an hour of a date"},
  };
  for (const Case& c : cases) {
    HourlyReadOptions o;
    o.Degrees = c.Degrees;
    const HourlyReadResult r = Read(c.Text + "\n", o);
    ASSERT_EQ(r.FirstRejected.size(), 1u) << c.Reason;
    EXPECT_EQ(r.FirstRejected[0].Reason, c.Reason);
  }
}

// The agency's file, written by hand in its form (code page 932, CR LF): quality flags, calm
// as 静穏, solar radiation in MJ/m2 in the hour.
TEST(HourlyReader, AgencyFile) {
  const HourlyReadResult r = Read(FileText(kSourceDir + "/tests/met/agency-sample.csv"));
  const MetStats& m = r.Stats;
  EXPECT_EQ(r.Form, "Japan Meteorological Agency CSV, code page 932");
  EXPECT_EQ(m.Station, "東京");
  EXPECT_EQ(m.From, "2025-04-01 09:00");
  EXPECT_EQ(m.To, "2025-04-02 00:00");
  EXPECT_EQ(m.HoursRead, 16);
  EXPECT_EQ(m.ValidHours, 6);
  // 9:00, 1.5 m/s from the south, 2.16 MJ = 0.6 kW/m2: A; 10:00, 2.15 MJ: A-B.
  EXPECT_EQ(m.Directions[8].Windy[0][0], 1);
  EXPECT_EQ(m.Directions[8].Windy[0][1], 1);
  // 11:00, 静穏 at 0.2 m/s with 3.00 MJ: calm, A.
  EXPECT_EQ(m.CalmAll[0], 1);
  // 15:00, 4.0 m/s WSW, 1.08 MJ = 0.3 kW/m2: C-D.
  EXPECT_EQ(m.Directions[11].Windy[3][5], 1);
  // 16:00, 0.6 m/s W, 0.54 MJ = 0.15 kW/m2: weak, B.
  EXPECT_EQ(m.Directions[12].Weak[2], 1);
  EXPECT_EQ(m.WeakAll[2], 1);
  // 17:00, 2.0 m/s NW, 0.53 MJ below 0.15 kW/m2: Dd.
  EXPECT_EQ(m.Directions[14].Windy[1][6], 1);
  // Flags other than 8 make the value missing: speed 5 (12:00), direction 1 (13:00), solar 4
  // (14:00), and the blank values of 21:00.
  EXPECT_EQ(Missing(m, "no speed"), 3);  // 12:00, 21:00, and 22:00 ("abc")
  EXPECT_EQ(Missing(m, "no direction"), 1);
  EXPECT_EQ(Missing(m, "no solar radiation"), 1);
  EXPECT_EQ(Missing(m, "calm direction"), 1);  // 18:00, 1.1 m/s and 静穏
  EXPECT_EQ(Missing(m, "no net radiation"), 3);  // the nights: the agency gives no Q
  EXPECT_EQ(Missing(m, "no line"), 1);           // 20:00
  EXPECT_EQ(r.LinesRejected, 1);
  ASSERT_EQ(r.FirstRejected.size(), 1u);
  EXPECT_EQ(r.FirstRejected[0].Line, 19);
  ASSERT_EQ(r.Notes.size(), 1u);
  EXPECT_NE(r.Notes[0].find("no net radiation"), std::string::npos);
  ExpectIdentities(r);
}

// The split date form (年, 月, 日, 時), no flags, and a direction item of its own.
TEST(HourlyReader, AgencySplitDateForm) {
  const HourlyReadResult split = Read(Agency({
      "ダウンロードした時刻：2025/05/10 10:20:30", "", ",,,,東京,東京,東京",
      "年,月,日,時,風速(m/s),風向,日射量(MJ/㎡)", "2025,4,1,12,2.5,南,2.2",
      "2025,4,1,13,2.5,南,1.07"}));
  EXPECT_EQ(split.Stats.ValidHours, 2);
  EXPECT_EQ(split.Stats.Directions[8].Windy[1][1], 1);  // 2.2 MJ = 0.61 kW/m2 at 2.5 m/s: A-B
  EXPECT_EQ(split.Stats.Directions[8].Windy[1][4], 1);  // 1.07 MJ below 0.3 kW/m2: C
}

TEST(HourlyReader, AgencyFilesThatCannotBeCounted) {
  struct Case {
    std::vector<std::string> Lines;
    const char* Says;
  };
  const Case cases[] = {
      {{"ダウンロードした時刻：2025/05/10 10:20:30", "", ",東京,横浜",
        "年月日時,風速(m/s),風速(m/s)", ",,", "2025/4/1 1:00:00,1,2"},
       "more than one station (東京, 横浜)"},
      {{"ダウンロードした時刻：2025/05/10 10:20:30", "", ",東京", "年月日時,気温(℃)",
        "2025/4/1 1:00:00,1"},
       "no wind speed (風速)"},
      {{"ダウンロードした時刻：2025/05/10 10:20:30", "", ",東京", "日時,風速"},
       "without the row of item names"},
  };
  for (const Case& c : cases) {
    EXPECT_NE(ReadError(Agency(c.Lines)).find(c.Says), std::string::npos)
        << ReadError(Agency(c.Lines));
  }
}

}  // namespace
}  // namespace vmk
