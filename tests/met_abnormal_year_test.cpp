// The abnormal-year test: the F-test of one item against a small case worked by hand here,
// the bound and the equal reference years; the reference split into years of the tested
// period's dates, their coverage and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "met/abnormal_year.h"
#include "met/hourly_reader.h"

namespace vmk {
namespace {

// F(1, 3) from published tables of the F distribution: 10.128 at 5 %, 34.116 at 1 %.
TEST(AbnormalYear, QuantileOfTheFDistribution) {
  EXPECT_NEAR(static_cast<double>(FQuantile(4, 0.05)), 10.128, 0.001);
  EXPECT_NEAR(static_cast<double>(FQuantile(4, 0.01)), 34.116, 0.001);
  EXPECT_NEAR(static_cast<double>(FQuantile(11, 0.05)), 4.965, 0.001);  // F(1, 10)
  // F(1, 2) is t(2)^2, (2p - 1)^2 / (2p(1 - p)) at p = 0.975: 722/39.
  EXPECT_NEAR(static_cast<double>(FQuantile(3, 0.05)), 722.0 / 39.0, 1e-9);
}

// Four reference years of 10, 12, 14 and 16 % (the last of 200 valid hours): mean 13,
// S² = (9 + 1 + 1 + 9) / 4 = 5. A tested 20 % gives F0 = 3 x 49 / (5 x 5) = 5.88, below F:
// accepted; 25 % gives 3 x 144 / 25 = 17.28 and 0 % 3 x 169 / 25 = 20.28: rejected. The
// bounds 13 ± √(5 x 5 x F / 3).
TEST(AbnormalYear, SmallCaseWorkedByHand) {
  const std::vector<ItemHours> reference = {{10, 100}, {12, 100}, {14, 100}, {32, 200}};
  const long double f = FQuantile(4, 0.05);
  const long double half = std::sqrt(25.0L * f / 3.0L);
  const struct {
    ItemHours Tested;
    double F0;
    bool Rejected;
  } cases[] = {{{20, 100}, 5.88, false}, {{50, 200}, 17.28, true}, {{13, 100}, 0.0, false},
               {{0, 100}, 3.0 * 169 / 25, true}};
  for (const auto& c : cases) {
    const FTestRow row = FTestItem(c.Tested, reference, f);
    EXPECT_NEAR(static_cast<double>(row.Tested), 100.0 * c.Tested.Hours / c.Tested.Valid, 1e-12);
    EXPECT_NEAR(static_cast<double>(row.Mean), 13.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(row.F0), c.F0, 1e-12);
    EXPECT_NEAR(static_cast<double>(row.Lower), static_cast<double>(13.0L - half), 1e-12);
    EXPECT_NEAR(static_cast<double>(row.Upper), static_cast<double>(13.0L + half), 1e-12);
    EXPECT_EQ(row.Rejected, c.Rejected) << c.Tested.Hours;
    EXPECT_FALSE(row.F0Undefined);
  }
  const FTestRow row = FTestItem({50, 200}, reference, f);
  EXPECT_EQ(std::tuple(ShareText(row.Tested), F0Text(row)), std::tuple("25.00", "17.280"));
}

// At the bound: a share within 1e-8 % below the upper bound is accepted, one as far above it
// rejected (F0 = F exactly there; a share of hours is a fraction and the bound is not).
TEST(AbnormalYear, AtTheBound) {
  const std::vector<ItemHours> reference = {{10, 100}, {12, 100}, {14, 100}, {16, 100}};
  const long double f = FQuantile(4, 0.05);
  const long double upper = 13.0L + std::sqrt(25.0L * f / 3.0L);
  const int valid = 1000000000;
  const int below = static_cast<int>(std::floor(upper / 100 * valid));
  for (const auto& [hours, rejected] : {std::pair{below, false}, std::pair{below + 1, true}}) {
    const FTestRow row = FTestItem({hours, valid}, reference, f);
    EXPECT_EQ(row.Rejected, rejected) << hours;
    EXPECT_NEAR(static_cast<double>(row.F0 / f), 1.0, 1e-7);
    EXPECT_EQ(row.Tested > row.Upper, rejected);
  }
}

// Every reference year with the same share: S² = 0. The tested share that equals it is
// accepted with F0 = 0/0 (on both bounds); any other is rejected with F0 infinite. Equal
// shares of different valid hours are the same share.
TEST(AbnormalYear, EqualReferenceYears) {
  const std::vector<ItemHours> reference = {{10, 100}, {20, 200}, {30, 300}};
  const long double f = FQuantile(3, 0.05);
  const FTestRow same = FTestItem({40, 400}, reference, f);
  EXPECT_EQ(std::tuple(same.F0Undefined, same.Rejected, F0Text(same)), std::tuple(true, false, "-"));
  EXPECT_EQ(same.Lower, same.Upper);
  const FTestRow other = FTestItem({41, 400}, reference, f);
  EXPECT_EQ(std::tuple(std::isinf(other.F0), other.Rejected, F0Text(other)), std::tuple(true, true, "∞"));
}

TEST(AbnormalYear, ValidHoursNeeded) {
  for (const auto& [span, needed] : {std::pair{8760, 6000}, {8784, 6000}, {876, 600}, {168, 116}, {1, 1}}) {
    EXPECT_EQ(ValidHoursNeeded(span), needed) << span;
  }
}

// A plain wind file of `hours` hours from `first`: the direction turns with the hour; every
// `gapEvery`-th hour (0: none) has no speed.
std::string Wind(const std::string& first, int hours, int gapEvery = 0, int shift = 0) {
  std::string text = "time,wd,ws\n";
  const HourNumber h0 = *ParseHourText(first);
  for (int i = 0; i < hours; ++i) {
    const bool gap = gapEvery > 0 && i % gapEvery == 0;
    text += HourText(h0 + i) + "," + std::to_string((i + shift) % 16 + 1) + "," +
            (gap ? "" : std::to_string(i % 7 + (i % 5 == 0 ? 0 : 1))) + "\n";
  }
  return text;
}

// A week from 1 April 01:00 of each of `count` years from `first`, the directions turned by the
// year.
std::vector<std::string> Years(int first, int count, int gapEvery = 0) {
  std::vector<std::string> out;
  for (int y = first; y < first + count; ++y) out.push_back(Wind(std::to_string(y) + "-04-01 01:00", 168, gapEvery, y));
  return out;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Outcome {
  AbnormalYearResult Result;
  std::string Error;
  int File = -1;
};

Outcome TestYear(const std::string& tested, const std::vector<std::string>& reference,
         AbnormalYearOptions o = {}) {
  std::istringstream in(tested);
  std::vector<std::istringstream> refs;
  for (const std::string& r : reference) refs.emplace_back(r);
  std::vector<std::istream*> streams;
  for (auto& r : refs) streams.push_back(&r);
  Outcome run;
  try {
    run.Result = TestAbnormalYear(in, streams, o);
  } catch (const HourlyFileError& e) {
    run.Error = e.what();
    run.File = e.File();
  } catch (const AbnormalYearError& e) {
    run.Error = e.what();
  }
  EXPECT_EQ(run.Error.find('\n'), std::string::npos);
  return run;
}

// The reference split into years of the tested week's dates: the years within the reference
// files' hours, over two files; the week of the tested year and the hours between the weeks
// not used; a year reaching beyond the last reference hour left out.
TEST(AbnormalYear, ReferenceSplitIntoYears) {
  const std::string tested = Wind("2025-04-01 01:00", 168);
  const std::string early = Wind("2019-03-30 01:00", 24 * 365 * 2);  // to 2021-03-29
  const std::string late = Wind("2021-03-30 01:00", 24 * 365 * 3 + 24 * 9);  // to 2024-04-06
  const Outcome r = TestYear(tested, {early, late});
  ASSERT_EQ(r.Error, "");
  ASSERT_EQ(r.Result.Reference.size(), 5u);  // 2019 to 2023
  EXPECT_EQ(HourText(r.Result.Reference.front().First), "2019-04-01 01:00");
  EXPECT_EQ(HourText(r.Result.Reference.back().Last), "2023-04-08 00:00");
  for (const WindYear& y : r.Result.Reference) EXPECT_EQ(y.ValidHours, 168);
  ASSERT_EQ(r.Result.Notes.size(), 2u);
  EXPECT_EQ(r.Result.Notes[0],
            "reference year 2024-04-01 01:00 to 2024-04-08 00:00 reaches beyond the reference "
            "files' hours (2019-03-30 01:00 to 2024-04-07 00:00): not used");
  EXPECT_TRUE(Has(r.Result.Notes[1], "reference lines lie outside the tested period's dates"));
  // Each year's hours by item add up to its valid hours, in each group.
  for (const WindYear& y : r.Result.Reference) {
    int directions = 0, speeds = 0;
    for (int i = 0; i < kAbnormalItems; ++i) (i < kDirectionItems ? directions : speeds) += y.Hours[i];
    EXPECT_EQ(std::pair(directions, speeds), std::pair(y.ValidHours, y.ValidHours));
  }
  // The same hours in both files: the first in a reference year named, with the other file.
  AbnormalYearOptions o;
  o.ReferenceNames = {"a.csv", "b.csv"};
  const Outcome twice = TestYear(tested, {early, early}, o);
  EXPECT_EQ(twice.File, 2);
  EXPECT_EQ(twice.Error, "line 50 is for the hour ending 2019-04-01 01:00, as line 50 of a.csv "
                         "is: keep one of them");
}

TEST(AbnormalYear, Refusals) {
  const std::string week = Wind("2025-04-01 01:00", 168);
  const struct {
    std::string Tested;
    std::vector<std::string> Reference;
    const char* Says;
  } cases[] = {
      {week, Years(2022, 2),
       "2 reference years (2022-04-01 01:00 to 2022-04-08 00:00, 2023-04-01 01:00 to 2023-04-08 "
       "00:00) of the tested period's dates: the test needs at least 3"},
      // Every 3rd hour without a speed: 112 valid of 168, fewer than 116.
      {Wind("2025-04-01 01:00", 168, 3), Years(2021, 3),
       "the tested year 2025-04-01 01:00 to 2025-04-08 00:00: 112 valid hours of 168 (66.7 %), "
       "fewer than the 116 a year needs"},
      {week, Years(2021, 3, 3), "reference year 2021-04-01 01:00 to 2021-04-08 00:00: 112 valid"},
      {Wind("2024-02-29 01:00", 24), Years(2020, 3), "starts on 29 February"},
      {Wind("2025-03-01 01:00", 8784), Years(2020, 3), "is longer than a year from its first hour"},
      {"time,wd,ws\n", Years(2020, 3), "no hour of the tested period"},
  };
  for (const auto& c : cases) {
    const Outcome r = TestYear(c.Tested, c.Reference);
    EXPECT_TRUE(Has(r.Error, c.Says)) << r.Error;
  }
  EXPECT_EQ(TestYear(week, Years(2021, 3)).Error, "");  // three whole reference years are enough
}

TEST(AbnormalYear, TableAsCsv) {
  const Outcome r = TestYear(Wind("2025-04-01 01:00", 168), Years(2020, 5));
  ASSERT_EQ(r.Error, "");
  const std::string csv = AbnormalYearCsv(r.Result);
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_TRUE(Has(csv, "区分,項目,検定年 (%),平均 (%),下限 (%),上限 (%),F0,判定\r\n"));
  // Every year has the same speeds: S² = 0 for the speed classes, the tested year the same.
  EXPECT_TRUE(Has(csv, "風速 (m/s),1.0-1.9,"));
  EXPECT_TRUE(Has(csv, ",-,採択\r\n"));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + kAbnormalItems);
}

}  // namespace
}  // namespace vmk
