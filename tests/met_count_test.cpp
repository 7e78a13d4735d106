// Counting one hour: which hours are valid, the cause of each missing one, and where a valid
// hour adds.
#include <gtest/gtest.h>

#include "met/met_count.h"

namespace vmk {
namespace {

Radiation Kw(const char* text) {
  ValueProblem p = ValueProblem::None;
  return *ParseRadiation(text, false, p);
}

HourObservation Hour(std::optional<int> tenths, std::optional<int> direction,
                     std::optional<Radiation> solar, std::optional<Radiation> net) {
  HourObservation h;
  h.Hour = 483000;  // some hour; day and night come from the solar radiation here
  h.SpeedTenths = tenths;
  h.Direction = direction;
  h.Solar = solar;
  h.Net = net;
  return h;
}

int Sum(const ClassCounts& c) {
  int n = 0;
  for (int v : c) n += v;
  return n;
}

int MissingHours(const MetTally& tally) {
  int m = 0;
  for (int v : tally.Missing) m += v;
  return m;
}

// The class from the radiation by the table: the speed, the direction and the radiation of the
// day or night the hour falls in are needed.
TEST(MetCount, MissingCausesWhenTheRadiationGivesTheClass) {
  MetCountSettings classify;
  classify.Table = &DefaultStabilityTable();
  struct Case {
    HourObservation Hour;
    std::optional<MissingCause> Cause;
  };
  const auto day = Kw("0.5");
  const auto night = Kw("0");
  const auto q = Kw("-0.05");
  const Case cases[] = {
      {Hour(std::nullopt, 3, day, q), MissingCause::NoSpeed},
      {Hour(5, std::nullopt, day, q), MissingCause::NoDirection},
      {Hour(5, kCalmDirection, day, q), MissingCause::CalmDirection},
      {Hour(30, kCalmDirection, day, q), MissingCause::CalmDirection},
      // A calm hour needs no direction, and a calm direction is right for it.
      {Hour(4, std::nullopt, day, q), std::nullopt},
      {Hour(0, kCalmDirection, night, q), std::nullopt},
      // A calm hour with a direction is still calm.
      {Hour(4, 7, day, q), std::nullopt},
      // Without a site, day is solar radiation above 0: by day T is needed, by night Q.
      {Hour(20, 3, std::nullopt, q), MissingCause::NoSolar},
      {Hour(20, 3, night, std::nullopt), MissingCause::NoNet},
      {Hour(20, 3, day, std::nullopt), std::nullopt},
      {Hour(20, 3, night, q), std::nullopt},
  };
  MetTally tally;
  int n = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(CountHour(c.Hour, classify, tally), c.Cause) << "case " << n;
    ++n;
  }
  EXPECT_EQ(tally.Valid, 5);
  EXPECT_EQ(tally.Valid + MissingHours(tally), n);
}

// With the class given, the radiation is not needed, except to split D by day and night.
TEST(MetCount, MissingCausesWhenTheClassIsGiven) {
  MetCountSettings given;
  given.StabilityGiven = true;
  MetTally tally;
  HourObservation h = Hour(20, 3, std::nullopt, std::nullopt);
  EXPECT_EQ(CountHour(h, given, tally), MissingCause::NoStability);
  h.Stability = 9;  // F
  EXPECT_EQ(CountHour(h, given, tally), std::nullopt);
  h.Stability = kStabilityD;
  EXPECT_EQ(CountHour(h, given, tally), MissingCause::NoDayOrNight);
  h.Solar = Kw("0");
  EXPECT_EQ(CountHour(h, given, tally), std::nullopt);
  EXPECT_EQ(tally.Directions[3].Windy[1][kStabilityDn], 1);
  // A site decides day and night by the sun even when the hour has solar radiation.
  given.Site = SunSite{35.68, 139.77, 9};
  h.Hour = 483000;
  EXPECT_EQ(CountHour(h, given, tally), std::nullopt);
  EXPECT_EQ(tally.Valid, 3);
  EXPECT_EQ(tally.Valid + MissingHours(tally), 5);
}

// Where a valid hour adds: calm to the calm row of all directions, weak wind to the weak row of
// its direction and of all directions, windy to its direction's windy class.
TEST(MetCount, ValidHoursAddToTheirRows) {
  MetCountSettings s;
  s.Table = &DefaultStabilityTable();
  MetTally t;
  const auto strongSun = Kw("0.8");
  const auto q = Kw("-0.05");
  CountHour(Hour(4, 2, strongSun, q), s, t);     // calm (A by day, speed < 2)
  CountHour(Hour(5, 2, strongSun, q), s, t);     // weak NE, A
  CountHour(Hour(9, 15, Kw("0"), q), s, t);      // weak NNW, night G
  CountHour(Hour(10, 8, strongSun, q), s, t);    // windy 1 S, A
  CountHour(Hour(80, 4, Kw("0"), Kw("0")), s, t);  // windy 6 E, Dn
  EXPECT_EQ(t.CalmAll[0], 1);
  EXPECT_EQ(t.WeakAll[0], 1);
  EXPECT_EQ(t.WeakAll[10], 1);
  EXPECT_EQ(t.Directions[2].Weak[0], 1);
  EXPECT_EQ(t.Directions[15].Weak[10], 1);
  EXPECT_EQ(t.Directions[8].Windy[0][0], 1);
  EXPECT_EQ(t.Directions[4].Windy[5][kStabilityDn], 1);
  EXPECT_EQ(t.Valid, 5);
  EXPECT_EQ(Sum(t.DayHours), 3);
  EXPECT_EQ(Sum(t.NightHours), 2);
}

}  // namespace
}  // namespace vmk
