// Hours by their end time, and day and night by the sun: checked against published sunrise
// and sunset times.
#include <gtest/gtest.h>

#include "met/hour_time.h"
#include "met/sun.h"

namespace vmk {
namespace {

TEST(HourTime, TheAcceptedFormsNameTheSameHour) {
  const HourNumber h = *ParseHourText("2025-04-01 01:00");
  for (const char* text : {"2025/4/1 1:00", "2025/4/1 1:00:00", "2025/04/01 01:00:00",
                           "2025-04-01T01:00", " 2025-4-1  1:00 "}) {
    EXPECT_EQ(ParseHourText(text), h) << text;
  }
  // 24:00 ends the day: the same hour as 00:00 of the next day.
  EXPECT_EQ(ParseHourText("2025/3/31 24:00"), ParseHourText("2025-04-01 00:00"));
  EXPECT_EQ(HourText(*ParseHourText("2025/3/31 24:00")), "2025-04-01 00:00");
  EXPECT_EQ(HourText(h), "2025-04-01 01:00");
  EXPECT_EQ(*ParseHourText("2025-04-01 02:00") - h, 1);
  // A leap year has 8784 hours, from the hour ending 01:00 of 1 January to the one ending
  // 24:00 of 31 December.
  EXPECT_EQ(*ParseHourText("2024/12/31 24:00") - *ParseHourText("2024/1/1 1:00") + 1, 8784);
  EXPECT_EQ(*ParseHourText("2025/12/31 24:00") - *ParseHourText("2025/1/1 1:00") + 1, 8760);

  HourTextProblem problem = HourTextProblem::None;
  EXPECT_FALSE(ParseHourText("2025/4/1 1:30", &problem));
  EXPECT_EQ(problem, HourTextProblem::NotOnHour);
  EXPECT_FALSE(ParseHourText("2025/4/1 1:00:01", &problem));
  EXPECT_EQ(problem, HourTextProblem::NotOnHour);
  for (const char* bad : {"", "2025/2/29 1:00", "2024/2/30 1:00", "2025/13/1 1:00", "2025/0/1 1:00",
                          "2025-04/01 01:00", "25/4/1 1:00", "2025/4/1", "2025/4/1 1", "2025/4/1 1:0",
                          "2025/4/1 24:30", "2025/4/1 1:00 x", "1799/1/1 1:00", "2201/1/1 1:00",
                          "2025/4/1 -1:00", "2025/4/1 123:00",
                          "2025/3/31 25:00"}) {
    EXPECT_FALSE(ParseHourText(bad, &problem)) << bad;
  }
  EXPECT_TRUE(ParseHourText("2024/2/29 1:00"));
  EXPECT_TRUE(ParseHourText("2000/2/29 1:00"));
  EXPECT_FALSE(ParseHourText("1900/2/29 1:00"));
}

TEST(HourTime, SplitFieldsAndOptionDates) {
  EXPECT_EQ(HourFromFields("2025", "4", "1", "1"), ParseHourText("2025-04-01 01:00"));
  EXPECT_EQ(HourFromFields(" 2025", "04", "01 ", "24"), ParseHourText("2025-04-02 00:00"));
  EXPECT_FALSE(HourFromFields("2025", "4", "31", "1"));
  EXPECT_FALSE(HourFromFields("2025", "4", "1", "25"));
  EXPECT_FALSE(HourFromFields("2025", "4", "", "1"));
  // A date alone: from its first hour, to its last.
  EXPECT_EQ(ParseHourOrDay("2025-04-01", false), ParseHourText("2025-04-01 01:00"));
  EXPECT_EQ(ParseHourOrDay("2026-03-31", true), ParseHourText("2026-04-01 00:00"));
  EXPECT_EQ(ParseHourOrDay("2025/4/1 7:00", true), ParseHourText("2025-04-01 07:00"));
  EXPECT_FALSE(ParseHourOrDay("April", false));
}

TEST(HourTime, CivilDaysRoundTrip) {
  for (long long days = -80000; days <= 80000; days += 97) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    EXPECT_EQ(DaysFromCivil(y, m, d), days);
  }
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);
}

// The old Tokyo observatory, where Tokyo's sunrise and sunset are published for: 35 deg
// 39' 16" N, 139 deg 44' 40.9" E, Japan time (UTC + 9).
const SunSite kTokyo{35 + 39 / 60.0 + 16 / 3600.0, 139 + 44 / 60.0 + 40.9 / 3600.0, 9};

bool SunUpAt(const SunSite& site, int y, int m, int d, int hour, int minute) {
  const double localHours = DaysFromCivil(y, m, d) * 24.0 + hour + minute / 60.0;
  return SunElevationDegrees(localHours - site.UtcOffsetHours, site.Latitude, site.Longitude) >
         kSunriseElevationDegrees;
}

// Published times (to the minute): sunrise 4:25 on 15 June 2024 and 6:51 on 10 January 2024,
// sunset 19:01 on 28 June 2024 and 16:28 on 5 December 2024; London (UTC) 3:43 on 21 June 2025.
TEST(Sun, KnownSunrisesAndSunsets) {
  struct Case {
    SunSite Site;
    int Y, M, D, Hour, Minute;
    bool Rise;
  };
  const SunSite london{51.5074, -0.1278, 0};
  const Case cases[] = {
      {kTokyo, 2024, 6, 15, 4, 25, true},  {kTokyo, 2024, 1, 10, 6, 51, true},
      {kTokyo, 2024, 6, 28, 19, 1, false}, {kTokyo, 2024, 12, 5, 16, 28, false},
      {london, 2025, 6, 21, 3, 43, true},
  };
  for (const Case& c : cases) {
    // Two minutes before and after the published minute.
    const bool before = SunUpAt(c.Site, c.Y, c.M, c.D, c.Hour, c.Minute - 2);
    const bool after = SunUpAt(c.Site, c.Y, c.M, c.D, c.Hour, c.Minute + 2);
    EXPECT_EQ(before, !c.Rise) << c.Y << "-" << c.M << "-" << c.D;
    EXPECT_EQ(after, c.Rise) << c.Y << "-" << c.M << "-" << c.D;
  }
}

// An hour is day when the sun is up at its middle: the hour ending 05:00 on 15 June (middle
// 4:30, after the 4:25 sunrise) is day, the hour before it night.
TEST(Sun, DayAndNightOfAnHour) {
  const auto hour = [](const char* text) { return *ParseHourText(text); };
  EXPECT_TRUE(IsDaylightHour(hour("2024-06-15 05:00"), kTokyo));
  EXPECT_FALSE(IsDaylightHour(hour("2024-06-15 04:00"), kTokyo));
  EXPECT_FALSE(IsDaylightHour(hour("2024-01-10 07:00"), kTokyo));  // middle 6:30, sunrise 6:51
  EXPECT_TRUE(IsDaylightHour(hour("2024-01-10 08:00"), kTokyo));
  EXPECT_TRUE(IsDaylightHour(hour("2024-12-05 16:00"), kTokyo));   // middle 15:30
  EXPECT_FALSE(IsDaylightHour(hour("2024-12-05 17:00"), kTokyo));  // middle 16:30, sunset 16:28
  EXPECT_TRUE(IsDaylightHour(hour("2024-06-15 12:00"), kTokyo));
  EXPECT_FALSE(IsDaylightHour(hour("2024-06-16 00:00"), kTokyo));
  // The same instant on a clock of another offset is another hour number: 05:00 in Japan is
  // 20:00 UTC of the day before.
  const SunSite tokyoUtc{kTokyo.Latitude, kTokyo.Longitude, 0};
  EXPECT_TRUE(IsDaylightHour(hour("2024-06-14 20:00"), tokyoUtc));
  EXPECT_FALSE(IsDaylightHour(hour("2024-06-14 19:00"), tokyoUtc));
}

}  // namespace
}  // namespace vmk
