// The stability table: the built-in one is the published table, every boundary of it, and a
// user's table file with its checks.
#include <gtest/gtest.h>

#include <string>

#include "met/met_values.h"
#include "met/stability_table.h"

namespace vmk {
namespace {

int Classify(const StabilityTable& t, const char* speed, bool day, const char* radiation,
             bool mj = false) {
  ValueProblem p = ValueProblem::None;
  const auto tenths = ParseSpeedTenths(speed, p);
  const auto r = ParseRadiation(radiation, mj, p);
  EXPECT_TRUE(tenths && r) << speed << " " << radiation;
  return ClassifyStability(t, *tenths, day, *r);
}

enum Class { A, AB, B, BC, C, CD, Dd, Dn, E, F, G };

// The whole table, one radiation value inside each column and one speed inside each row.
TEST(StabilityTable, BuiltInTableIsThePublishedOne) {
  const StabilityTable& t = DefaultStabilityTable();
  const char* speeds[] = {"1.0", "2.5", "3.5", "5.0", "7.0"};
  const char* day[] = {"0.8", "0.45", "0.2", "0.05"};
  const char* night[] = {"0", "-0.03", "-0.06"};
  const int expectDay[5][4] = {
      {A, AB, B, Dd}, {AB, B, C, Dd}, {B, BC, C, Dd}, {C, CD, Dd, Dd}, {C, Dd, Dd, Dd}};
  const int expectNight[5][3] = {
      {Dn, G, G}, {Dn, E, F}, {Dn, Dn, E}, {Dn, Dn, Dn}, {Dn, Dn, Dn}};
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(Classify(t, speeds[r], true, day[c]), expectDay[r][c]) << speeds[r] << " " << day[c];
    }
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(Classify(t, speeds[r], false, night[c]), expectNight[r][c])
          << speeds[r] << " " << night[c];
    }
  }
}

// Each boundary: the bound itself belongs to the row or column that starts there.
TEST(StabilityTable, EveryBoundary) {
  const StabilityTable& t = DefaultStabilityTable();
  struct Case {
    const char* Speed;
    bool Day;
    const char* Radiation;
    bool Mj;
    int Class;
  };
  const Case cases[] = {
      // Speed rows, on the speed rounded to 0.1 m/s (day, T of the first column).
      {"1.94", true, "0.7", false, A},   {"1.95", true, "0.7", false, AB},
      {"2.0", true, "0.7", false, AB},   {"2.94", true, "0.7", false, AB},
      {"2.95", true, "0.7", false, B},   {"3.94", true, "0.7", false, B},
      {"3.95", true, "0.7", false, C},   {"5.94", true, "0.4", false, CD},
      {"5.95", true, "0.4", false, Dd},  {"0", true, "0.7", false, A},
      // Day columns.
      {"1.0", true, "0.60", false, A},   {"1.0", true, "0.5999999", false, AB},
      {"1.0", true, "0.30", false, AB},  {"1.0", true, "0.2999999", false, B},
      {"1.0", true, "0.15", false, B},   {"1.0", true, "0.1499999", false, Dd},
      {"1.0", true, "-0.01", false, Dd},
      // The same bounds in MJ/m2 in the hour (times 3.6).
      {"1.0", true, "2.16", true, A},    {"1.0", true, "2.159", true, AB},
      {"1.0", true, "1.08", true, AB},   {"1.0", true, "1.079", true, B},
      {"1.0", true, "0.54", true, B},    {"1.0", true, "0.539", true, Dd},
      // Night columns.
      {"2.5", false, "-0.020", false, Dn}, {"2.5", false, "-0.0200001", false, E},
      {"2.5", false, "-0.040", false, E},  {"2.5", false, "-0.0400001", false, F},
      {"1.0", false, "0.5", false, Dn},    {"1.0", false, "-0.02", false, Dn},
      {"1.0", false, "-0.021", false, G},  {"3.0", false, "-0.041", false, E},
      {"3.0", false, "-0.04", false, Dn},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Classify(t, c.Speed, c.Day, c.Radiation, c.Mj), c.Class)
        << c.Speed << (c.Day ? " day " : " night ") << c.Radiation << (c.Mj ? " MJ" : "");
  }
}

TEST(StabilityTable, AUserTableReplacesTheBuiltInOne) {
  // Two rows and other bounds; comments, blanks and a byte order mark are allowed.
  const std::string text =
      "\xEF\xBB\xBF# my table\r\n"
      "\r\n"
      " speed , T >= 0.5 , T<0.5 , Q>=-0.03 , Q<-0.03 \r\n"
      "0,A,D,D,F\r\n"
      "3.5,c-d,D,Dn,E\r\n";
  const StabilityTable t = ParseStabilityTable(text);
  EXPECT_EQ(Classify(t, "3.4", true, "0.5"), A);
  EXPECT_EQ(Classify(t, "3.45", true, "0.5"), CD);
  EXPECT_EQ(Classify(t, "3.45", true, "0.49"), Dd);
  EXPECT_EQ(Classify(t, "1", false, "-0.031"), F);
  EXPECT_EQ(Classify(t, "9", false, "-0.03"), Dn);
  EXPECT_EQ(Classify(t, "9", false, "-0.031"), E);
  // The built-in text reads back as the built-in table.
  EXPECT_EQ(ParseStabilityTable(DefaultStabilityTableText()).DayClasses,
            DefaultStabilityTable().DayClasses);
}

TEST(StabilityTable, UnusableFilesSayWhereAndWhy) {
  const std::string header = "speed,T>=0.6,T<0.6,Q>=0,Q<0\n";
  struct Case {
    std::string Text;
    const char* Says;
  };
  const Case cases[] = {
      {"", "no row of column names"},
      {"# only a comment\n", "no row of column names"},
      {header, "no row of classes"},
      {"wind,T>=0.6,T<0.6,Q>=0,Q<0\n", "line 1: the first row must name the columns"},
      {"speed,T>=0.6,T<0.5,Q>=0,Q<0\n", "\"T<0.5\": the last column takes the rest"},
      {"speed,T>=0.3,T>=0.6,T<0.6,Q>=0,Q<0\n", "the bounds must fall"},
      {"speed,T>=0.6,Q>=0,Q<0\n", "the day columns must end with a column T<x"},
      {"speed,Q>=0,Q<0,T>=0.6,T<0.6\n", "the columns must be"},
      {"speed,T>=0.6,T<0.6\n", "the columns must be"},
      {"speed,T>=0.6,T<0.6,Q>0,Q<0\n", "\"Q>0\" is not a column"},
      {"speed,T>=0.1234567,T<0.1234567,Q>=0,Q<0\n", "at most 6 decimals"},
      {header + "1,A,D,D,F\n", "line 2: the first row must start at speed 0"},
      {header + "0,A,D,D,F\n0,A,D,D,F\n", "line 3: the row speeds must increase"},
      {header + "0,A,D,D\n", "line 2: a row holds the speed and 4 classes, not 4 fields"},
      {header + "0,A,D,D,H\n", "\"H\" is not a class"},
      {header + "0.25,A,D,D,F\n", "\"0.25\" is not a speed"},
      {header + "x,A,D,D,F\n", "\"x\" is not a speed"},
  };
  for (const Case& c : cases) {
    try {
      ParseStabilityTable(c.Text);
      ADD_FAILURE() << "accepted: " << c.Text;
    } catch (const StabilityTableError& e) {
      EXPECT_NE(std::string(e.what()).find(c.Says), std::string::npos)
          << c.Text << " -> " << e.what();
    }
  }
}

}  // namespace
}  // namespace vmk
