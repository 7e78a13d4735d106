// The met statistics file: written and read back, its checks, and the grid of one direction.
#include <gtest/gtest.h>

#include <string>

#include "input/frequency_grid.h"
#include "input/read_parameters.h"
#include "met/met_stats.h"

namespace vmk {
namespace {

// Every count different, so that a value in the wrong place shows.
MetStats Numbered() {
  MetStats m;
  m.Station = "東京";
  m.From = "2025-04-01 01:00";
  m.To = "2026-04-01 00:00";
  m.HoursRead = 8760;
  m.ValidHours = 8700;
  m.MissingHours = {{"no speed", 40}, {"no stability", 20}};
  m.RepresentativeSpeeds = {0.3f, 0.75f, 1.5f, 2.5f, 3.5f, 5.0f, 7.0f, 10.0f};
  for (int s = 0; s < kStabilityClasses; ++s) {
    m.CalmAll[s] = 100 + s;
    m.WeakAll[s] = 200 + s;
    for (int d = 0; d < kDirections; ++d) {
      m.Directions[d].Weak[s] = d * 10 + s;
      for (int k = 0; k < kWindyClasses; ++k) m.Directions[d].Windy[k][s] = 1000 + d * 100 + k * 11 + s;
    }
  }
  return m;
}

TEST(MetStats, ReadsBackWhatItWrites) {
  const MetStats m = Numbered();
  const std::string text = MetStatsJson(m);
  EXPECT_NE(text.find("\"format\": \"vmk-met/1\""), std::string::npos);
  EXPECT_NE(text.find("\"calmAll\": [100, 101, 102"), std::string::npos);  // a list on one line
  const MetStats back = ParseMetStats(text);
  EXPECT_EQ(back.Station, m.Station);
  EXPECT_EQ(back.From, m.From);
  EXPECT_EQ(back.To, m.To);
  EXPECT_EQ(back.HoursRead, m.HoursRead);
  EXPECT_EQ(back.ValidHours, m.ValidHours);
  EXPECT_EQ(back.RepresentativeSpeeds, m.RepresentativeSpeeds);
  EXPECT_EQ(back.CalmAll, m.CalmAll);
  EXPECT_EQ(back.WeakAll, m.WeakAll);
  for (int d = 0; d < kDirections; ++d) {
    EXPECT_EQ(back.Directions[d].Weak, m.Directions[d].Weak) << d;
    EXPECT_EQ(back.Directions[d].Windy, m.Directions[d].Windy) << d;
  }
  EXPECT_EQ(back.MissingHours.size(), 2u);
  EXPECT_FALSE(back.NightMethods);  // optional: a file without it reads
  EXPECT_EQ(text.find("nightMethod"), std::string::npos);
  MetStats withNights = m;
  withNights.NightMethods = NightMethodCounts{3000, 1200, 7};
  EXPECT_EQ(ParseMetStats(MetStatsJson(withNights)).NightMethods, withNights.NightMethods);
}

TEST(MetStats, RejectsWhatTheWindowCouldNotTake) {
  const std::string good = MetStatsJson(Numbered());
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = good;
    const auto at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return t.replace(at, from.size(), to);
  };
  struct Case {
    std::string text;
    std::string says;
  };
  const Case cases[] = {
      {"[1]", "holds one object"},
      {"{", "not valid JSON"},
      {replaced("vmk-met/1", "vmk-met/2"), "\"format\" must be \"vmk-met/1\""},
      {replaced("\"validHours\": 8700", "\"validHours\": 0"), "validHours: 0 is not from 1"},
      {replaced("\"validHours\": 8700", "\"validHours\": 8785"), "8785 is not from 1 to 8784"},
      {replaced("\"calmAll\": [100,", "\"calmAll\": [-1,"), "calmAll[1]: -1 is not from 0"},
      {replaced("\"calmAll\": [100,", "\"calmAll\": [1.5,"), "calmAll[1]: must be a whole"},
      {replaced("\"calmAll\": [100, ", "\"calmAll\": ["), "calmAll: must be a list of 11"},
      {replaced("\"NNE\":", "\"XNE\":"), "unknown direction \"XNE\""},
      {replaced("\"station\":", "\"stations\":"), "unknown key \"stations\""},
      {replaced("\"format\": \"vmk-met/1\",", "\"format\": \"vmk-met/1\", \"format\": 1,"),
       "appears twice"},
      {replaced("\"Dd\", \"Dn\"", "\"Dn\", \"Dd\""), "stabilityClasses: must be the 11"},
      {replaced("\"representativeSpeeds\": [0.3,", "\"representativeSpeeds\": [\"0.3\","),
       "representativeSpeeds[1]: must be a number"},
      {replaced("\"representativeSpeeds\": [0.3,", "\"representativeSpeeds\": [1e300,"),
       "representativeSpeeds[1]: must be a number"},
      {replaced("\"representativeSpeeds\"", "\"nightMethod\": [1], \"representativeSpeeds\""),
       "nightMethod: must be an object"},
      {replaced("\"representativeSpeeds\"",
                "\"nightMethod\": {\"moon\": 1}, \"representativeSpeeds\""),
       "unknown key \"moon\""},
      {replaced("\"representativeSpeeds\"",
                "\"nightMethod\": {\"cloud amount\": -1}, \"representativeSpeeds\""),
       "nightMethod.cloud amount: -1 is not from 0"},
      {replaced("\"representativeSpeeds\"",
                "\"nightMethod\": {\"net radiation\": 8000, \"wind speed\": 701}, "
                "\"representativeSpeeds\""),
       "nightMethod: 8701 night hours, more than the 8700 valid hours"},
  };
  for (const Case& c : cases) {
    try {
      ParseMetStats(c.text);
      ADD_FAILURE() << "accepted; expected: " << c.says;
    } catch (const MetStatsError& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
  }
}

TEST(MetStats, DirectionNames) {
  EXPECT_EQ(DirectionIndex("N"), 0);
  EXPECT_EQ(DirectionIndex("ne"), 2);
  EXPECT_EQ(DirectionIndex("NNW"), 15);
  EXPECT_FALSE(DirectionIndex("NEE"));
  EXPECT_FALSE(DirectionIndex(""));
}

// The grid of one direction is what the window validates and computes.
TEST(MetStats, OneDirectionFillsTheGridAsTyped) {
  const MetStats m = Numbered();
  FormRecord form = MakeStartupForm();
  ApplyMetDirection(m, 5, form);  // ESE
  EXPECT_EQ(form.Text("FreqTotalEdit"), " 8700");
  EXPECT_EQ(form.Text("WDEdit"), " ESE");
  EXPECT_EQ(form.Grid[1][1], "0.3");
  EXPECT_EQ(form.Grid[2][1], "0.75");
  EXPECT_EQ(form.Grid[3][1], "  -");  // never read, left as it is
  EXPECT_EQ(form.Grid[9][1], "10");
  EXPECT_EQ(form.Grid[1][2], "100");
  EXPECT_EQ(form.Grid[2][12], "60");   // weak wind of ESE, class G
  EXPECT_EQ(form.Grid[3][7], "205");
  EXPECT_EQ(form.Grid[4][2], "1500");  // windy 1 of ESE, class A
  EXPECT_EQ(form.Grid[9][12], "1565");

  ModelParameters p;
  ASSERT_TRUE(ReadModelParameters(form, p)) << form.Text("messageLabel");
  EXPECT_EQ(p.FreqTotal, 8700);
  EXPECT_EQ(p.RepWindSpeed[2], 0.75f);
  EXPECT_EQ(p.WeakFreq[11], 60.0f);
  EXPECT_EQ(p.WindyFreq[6][11], 1565);
  EXPECT_EQ(p.CalmAllFreq[1], 100);
}

}  // namespace
}  // namespace vmk
