// Nights without net radiation: the cloud amount (the agency's 0+, 10- and flags, the plain
// column), its fill from the observations of the same day, the table's cloud columns, the
// order net radiation, cloud, wind, and two files joined by the hour.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "common/cp932.h"
#include "fuzz/hourly_count_identities.h"
#include "met/cloud_fill.h"
#include "met/hourly_reader.h"
#include "met/stability_table.h"

namespace vmk {
namespace {

enum Class { A, AB, B, BC, C, CD, Dd, Dn, E, F, G };

HourlyReadResult Read(const std::string& text, HourlyReadOptions o = {},
                      const std::string* second = nullptr) {
  std::istringstream in(text);
  std::istringstream radiation(second ? *second : "");
  if (second) o.Radiation = &radiation;
  HourlyReadResult r = ReadHourlyObservations(in, o);
  EXPECT_EQ(BrokenHourlyIdentity(r), "");
  return r;
}

int Missing(const MetStats& m, const std::string& cause) {
  for (const auto& [name, hours] : m.MissingHours) {
    if (name == cause) return hours;
  }
  return -1;  // not written
}

// The class of the one valid hour of a result.
int OnlyClass(const HourlyReadResult& r) {
  ClassCounts all{};
  for (int s = 0; s < kStabilityClasses; ++s) all[s] = r.DayHours[s] + r.NightHours[s];
  EXPECT_EQ(TotalHours(all), 1);
  for (int s = 0; s < kStabilityClasses; ++s) {
    if (all[s] == 1) return s;
  }
  return -1;
}

int NightClass(const StabilityTable& t, int speedTenths, const char* cloud) {
  ValueProblem p = ValueProblem::None;
  return ClassifyNightByCloud(t, speedTenths, *ParseCloudAmount(cloud, p));
}

// The error of type E that f throws, or nothing.
template <class E, class Fn>
std::optional<E> Thrown(Fn f) {
  try {
    f();
  } catch (const E& e) {
    return e;
  }
  return std::nullopt;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Every hour of a day with the agency's observations at 3, 6, ..., 21 h: the hour whose cloud
// amount it takes. The hour ending at 24:00 belongs to its day.
TEST(CloudFill, EveryHourOfADayWithThreeHourlyObservations) {
  const int takes[25] = {0,  3,  3,  3,  3,  6,  6,  6,  9,  9,  9,  12, 12,
                         12, 15, 15, 15, 18, 18, 18, 21, 21, 21, 21, 21};
  const HourNumber day = *ParseHourText("2025-04-10 01:00") - 1;  // hour k is day + k
  const auto observed = [&](HourNumber h) {
    const HourNumber k = h - day;
    return k >= 1 && k <= 24 && k % 3 == 0 && k != 24;
  };
  for (int k = 1; k <= 24; ++k) {
    EXPECT_EQ(HourOfDay(day + k), k);
    const auto source = CloudSourceHour(day + k, observed);
    ASSERT_TRUE(source) << k;
    EXPECT_EQ(*source - day, takes[k]) << "hour " << k;
  }
}

// The tie goes to the earlier hour; nothing beyond 3 hours or across midnight.
TEST(CloudFill, TiesReachAndTheDaysEdge) {
  const HourNumber day = *ParseHourText("1969-12-31 01:00") - 1;  // before 1970 as well
  const struct {
    std::set<int> Observed;  // hours of the day (25 is 1 h of the next day, 0 is 24 h before)
    int Hour;
    int Takes;  // 0: none
  } cases[] = {
      {{3, 5}, 4, 3},  {{5}, 4, 5},   {{12}, 8, 0},  {{12}, 9, 12},  {{12}, 15, 12},
      {{12}, 16, 0},   {{25}, 24, 0}, {{0}, 1, 0},   {{24}, 21, 24}, {{7}, 7, 7},
  };
  for (const auto& c : cases) {
    const auto observed = [&](HourNumber h) { return c.Observed.contains(static_cast<int>(h - day)); };
    const auto source = CloudSourceHour(day + c.Hour, observed);
    EXPECT_EQ(source ? static_cast<int>(*source - day) : 0, c.Takes) << "hour " << c.Hour;
  }
}

// The built-in cloud columns: one cloud amount inside each column, one speed inside each row,
// each bound, and the wind alone (below 2.0 F, 2.0 to 2.9 E, 3.0 and above D).
TEST(CloudColumns, BuiltInTableByCloudAmount) {
  const StabilityTable& t = DefaultStabilityTable();
  ASSERT_TRUE(t.HasCloud());
  const int speeds[] = {10, 25, 35, 50, 70};
  const char* clouds[] = {"9", "6", "2"};
  const int expect[5][3] = {{Dn, G, G}, {Dn, E, F}, {Dn, Dn, E}, {Dn, Dn, Dn}, {Dn, Dn, Dn}};
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(NightClass(t, speeds[r], clouds[c]), expect[r][c]) << speeds[r] << " " << clouds[c];
    }
  }
  for (const auto& [cloud, cls] : {std::pair{"8", Dn}, {"7.9", E}, {"5", E}, {"4.9", F}, {"0+", F},
                                  {"10-", Dn}}) {
    EXPECT_EQ(NightClass(t, 25, cloud), cls) << cloud;
  }
  for (const auto& [tenths, cls] : {std::pair{0, F}, {19, F}, {20, E}, {29, E}, {30, Dn}}) {
    EXPECT_EQ(NightClassByWind(tenths), cls) << tenths;
  }
}

TEST(CloudColumns, TableFilesWithAndWithoutThem) {
  const StabilityTable own = ParseStabilityTable(
      "speed,T>=0.5,T<0.5,Q>=0,Q<0,C>=6,C<6\n"
      "0,A,D,D,F,D,G\n"
      "3,B,D,D,E,D,F\n");
  EXPECT_EQ(NightClass(own, 29, "6"), Dn);
  EXPECT_EQ(NightClass(own, 29, "5.9"), G);
  EXPECT_EQ(NightClass(own, 30, "0"), F);
  EXPECT_FALSE(ParseStabilityTable("speed,T>=0.5,T<0.5,Q>=0,Q<0\n0,A,D,D,F\n").HasCloud());
  const std::pair<const char*, const char*> refused[] = {
      {"speed,T>=0.5,T<0.5,C>=5,C<5,Q>=0,Q<0\n", "the columns must be"},
      {"speed,T>=0.5,T<0.5,Q>=0,Q<0,C>=5\n", "the columns must be"},
      {"speed,T>=0.5,T<0.5,Q>=0,Q<0,C>=5,C<4\n", "\"C<4\": the last column takes the rest"},
      {"speed,T>=0.5,T<0.5,Q>=0,Q<0,C>=5,C<5\n0,A,D,D,F,D\n", "holds the speed and 6 classes"},
  };
  for (const auto& [text, says] : refused) {
    const auto e = Thrown<StabilityTableError>([&] { ParseStabilityTable(text); });
    ASSERT_TRUE(e) << text;
    EXPECT_TRUE(Has(e->what(), says)) << e->what();
  }
}

// The agency's cloud item with its quality flags: 0+ is 0, 10- is 10, a flag other than 8 makes
// the value missing, and the hour then takes a near observation.
TEST(CloudAmount, AgencyValuesAndFlags) {
  const std::string head =
      "ダウンロードした時刻：2025/05/10 10:20:30\r\n\r\n"
      ",東京,東京,東京,東京,東京,東京,東京\r\n"
      "年月日時,風速(m/s),風速(m/s),風速(m/s),風速(m/s),雲量(10分比),雲量(10分比),日射量(MJ/㎡)\r\n"
      ",,,風向,風向,,,\r\n"
      ",,品質情報,,品質情報,,品質情報,\r\n";
  const auto hour = [](int h, const std::string& cloud, const char* flag) {
    return "2025/4/1 " + std::to_string(h) + ":00:00,2.5,8,北,8," + cloud + "," + flag + ",0\r\n";
  };
  const struct {
    const char *Cloud, *Flag;
    int Class, ByCloud;  // the class of 1:00 at 2.5 m/s by night (-1: missing), hours by cloud
  } cases[] = {
      {"0+", "8", F, 1}, {"10-", "8", Dn, 1}, {"6", "8", E, 1},
      {"10", "5", -1, 0}, {"3", "0", -1, 0}, {"", "8", -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Cloud) + " " + c.Flag);
    const HourlyReadResult r = Read(Utf8ToCp932(head + hour(1, c.Cloud, c.Flag)));
    EXPECT_EQ(r.LinesRejected, 0);
    ASSERT_TRUE(r.Stats.NightMethods);
    EXPECT_EQ((*r.Stats.NightMethods)[1], c.ByCloud);
    if (c.Class >= 0) {
      EXPECT_EQ(OnlyClass(r), c.Class);
    } else {
      EXPECT_EQ(Missing(r.Stats, "no cloud amount"), 1);
    }
  }
  // A flagged 3:00 leaves 1:00 and 2:00 to take nothing; a normal 3:00 fills both.
  const std::string three = hour(1, "", "0") + hour(2, "", "0");
  EXPECT_EQ(Missing(Read(Utf8ToCp932(head + three + hour(3, "2", "5"))).Stats, "no cloud amount"), 3);
  const HourlyReadResult filled = Read(Utf8ToCp932(head + three + hour(3, "2", "8")));
  EXPECT_EQ(filled.Stats.Directions[0].Windy[1][F], 3);
  EXPECT_TRUE(filled.CloudFilled);
}

TEST(CloudAmount, PlainColumnAndItsRejectedValues) {
  const std::pair<const char*, const char*> rejected[] = {
      {"11", "cloud amount \"11\" is out of range (0 to 10 tenths, 0+ or 10-)"},
      {"-1", "cloud amount \"-1\" is out of range (0 to 10 tenths, 0+ or 10-)"},
      {"10+", "cloud amount \"10+\" is not a number (0 to 10 tenths, 0+ or 10-)"},
  };
  for (const auto& [cloud, reason] : rejected) {
    const HourlyReadResult r = Read(std::string("time,wd,ws,solar,雲量\n2025-04-01 01:00,N,2.5,0,") + cloud + "\n");
    ASSERT_EQ(r.FirstRejected.size(), 1u);
    EXPECT_EQ(r.FirstRejected[0].Reason, reason);
    EXPECT_EQ(r.RejectedByCause.front().first, "unreadable cloud amount");
    EXPECT_EQ(Missing(r.Stats, "no cloud amount"), 1);
  }
  // A plain file needs net radiation, cloud amount or --night-by-wind for its nights.
  const auto e = Thrown<HourlyFileError>([] { Read("time,wd,ws,solar\n"); });
  ASSERT_TRUE(e);
  EXPECT_TRUE(Has(e->what(), "or a cloud amount column (cloud or 雲量)"));
}

// Net radiation first, then cloud amount, then (only when asked for) the wind; the night
// hours by method; a file without cloud amount writes neither the methods nor their cause.
TEST(NightMethod, NetThenCloudThenWind) {
  const std::string text =
      "time,wd,ws,solar,net,cloud\n"
      "2025-04-01 01:00,N,2.5,0,-0.05,9\n"   // net: F
      "2025-04-01 02:00,N,2.5,0,,9\n"        // cloud: Dn
      "2025-04-02 02:00,N,2.5,0,,\n"         // neither (no cloud that day): E by the wind
      "2025-04-02 12:00,N,2.5,0.7,,\n";      // day: A-B
  // Hours valid, missing for no cloud amount and for no net radiation.
  const auto hours = [](const MetStats& m) {
    return std::tuple(m.ValidHours, Missing(m, "no cloud amount"), Missing(m, "no net radiation"));
  };
  const HourlyReadResult plain = Read(text);
  EXPECT_EQ(hours(plain.Stats), std::tuple(3, 1, 0));
  EXPECT_EQ(*plain.Stats.NightMethods, (NightMethodCounts{1, 1, 0}));
  HourlyReadOptions o;
  o.NightByWind = true;
  const HourlyReadResult wind = Read(text, o);
  EXPECT_EQ(wind.Stats.ValidHours, 4);
  EXPECT_EQ(*wind.Stats.NightMethods, (NightMethodCounts{1, 1, 1}));
  const ClassCounts& n = wind.Stats.Directions[0].Windy[1];
  EXPECT_EQ((std::array{n[F], n[Dn], n[E], n[AB]}), (std::array{1, 1, 1, 1}));
  const std::string json = MetStatsJson(wind.Stats);
  EXPECT_TRUE(Has(json, "\"nightMethod\": {\n    \"net radiation\": 1,\n    \"cloud amount\": 1,\n"
                        "    \"wind speed\": 1\n  }"))
      << json;
  const HourlyReadResult noCloud = Read("time,wd,ws,solar,net\n2025-04-01 01:00,N,2.5,0,\n");
  EXPECT_FALSE(noCloud.Stats.NightMethods);
  EXPECT_EQ(hours(noCloud.Stats), std::tuple(0, -1, 1));
  EXPECT_EQ(MetStatsJson(noCloud.Stats).find("nightMethod"), std::string::npos);
  // A table without cloud columns does not use cloud amount, and says so.
  const StabilityTable old = ParseStabilityTable("speed,T>=0.5,T<0.5,Q>=0,Q<0\n0,A,D,D,F\n");
  o = {};
  o.Table = &old;
  const HourlyReadResult oldTable = Read(text, o);
  EXPECT_EQ(std::tuple(oldTable.Stats.ValidHours, Missing(oldTable.Stats, "no net radiation")), std::tuple(2, 2));
  ASSERT_FALSE(oldTable.Notes.empty());
  EXPECT_TRUE(Has(oldTable.Notes[0], "the stability table has no cloud columns"));
}

// Wind from the first file, what it lacks from the second, by the hour: hours of one file only,
// the first file's own columns kept, lines of the second outside the period, duplicates.
TEST(Join, WindFromTheFirstTheRestFromTheSecond) {
  const std::string wind =
      "time,wd,ws,net\n"
      "2025-04-01 01:00,N,2.5,-0.05\n"  // its own net: F (the second's 9 tenths not used)
      "2025-04-01 02:00,N,2.5,\n"        // no net of its own, and the second gives none
      "2025-04-01 03:00,N,2.5,\n"        // no line in the second: no solar radiation
      "2025-04-01 12:00,S,1.5,\n";
  const std::string station =
      "ダウンロードした時刻：2025/05/10 10:20:30\r\n\r\n"
      ",東京,東京,東京,東京\r\n"
      "年月日時,日射量(MJ/㎡),日射量(MJ/㎡),雲量(10分比),放射収支量(MJ/㎡)\r\n"
      ",,品質情報,,\r\n"
      "2025/3/31 24:00:00,0,8,9,-1\r\n"   // outside the period
      "2025/4/1 1:00:00,0,8,9,-1\r\n"
      "2025/4/1 2:00:00,0,8,9,-1\r\n"
      "2025/4/1 4:00:00,0,8,9,-1\r\n"     // only in the second
      "2025/4/1 12:00:00,2.16,8,,-1\r\n";
  const std::string second = Utf8ToCp932(station);
  const HourlyReadResult r = Read(wind, {}, &second);
  ASSERT_TRUE(r.Joined);
  EXPECT_EQ(std::tuple(r.Joined->Form, r.Joined->Station),
            std::tuple("Japan Meteorological Agency CSV, code page 932", "東京"));
  EXPECT_EQ(std::tuple(r.Joined->LinesOutside, r.Joined->HoursOnlyInFirst,
                       r.Joined->HoursOnlyInSecond),
            std::tuple(1, 1, 1));
  EXPECT_EQ(std::tuple(r.Stats.HoursRead, r.Stats.ValidHours), std::tuple(12, 3));
  EXPECT_EQ(Missing(r.Stats, "no line"), 8);  // 4:00 of the second file too
  EXPECT_EQ(Missing(r.Stats, "no solar radiation"), 1);  // 3:00
  EXPECT_EQ(r.Stats.Directions[0].Windy[1][F], 1);   // 1:00, the first file's net
  EXPECT_EQ(r.Stats.Directions[0].Windy[1][Dn], 1);  // 2:00, the second's cloud
  EXPECT_EQ(r.Stats.Directions[8].Windy[0][A], 1);   // 12:00, the second's 2.16 MJ: A
  // Two lines for one hour in the second file: the error names both and the file. The second
  // file must give something a first file may lack.
  const std::string twice = Utf8ToCp932(station + "2025/4/1 2:00:00,0,8,9,-1\r\n");
  const std::string windOnly = "time,wd,ws\n2025-04-01 01:00,N,2\n";
  const auto dup = Thrown<HourlyFileError>([&] { Read(wind, {}, &twice); });
  const auto none = Thrown<HourlyFileError>([&] { Read(wind, {}, &windOnly); });
  ASSERT_TRUE(dup && none);
  EXPECT_EQ(std::tuple(dup->File(), none->File()), std::tuple(1, 1));
  EXPECT_EQ(std::string(dup->what()),
            "lines 8 and 11 are both for the hour ending 2025-04-01 02:00: keep one of them");
  EXPECT_TRUE(Has(none->what(), "names none of the columns taken from a second file"));
}

}  // namespace
}  // namespace vmk
