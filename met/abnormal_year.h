// The abnormal-year test (異常年検定): whether the wind of the tested year lies within the spread
// of reference years of the same calendar span, item by item, by the F-distribution rejection
// test. An item is a share (%) of a year's valid hours: each of the 16 directions and calm,
// and each speed class (calm, weak wind, windy classes 1 to 6). With the shares X1 ... Xn of
// the n reference years, their mean X̄ and S² = Σ(Xi - X̄)² / n, the tested share X0 gives
//   F0 = (n - 1)(X0 - X̄)² / ((n + 1) S²),
// rejected (棄却) when F0 > F(1, n - 1; α), accepted (採択) otherwise; the bounds of acceptance
// are X̄ ± S √((n + 1) F / (n - 1)). When every reference year has the same share (S² = 0), F0
// is infinite, and the item rejected, unless X0 is that share too (0/0: accepted).
#pragma once

#include <array>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "met/hour_time.h"
#include "met/met_stats.h"

namespace vmk {

// The items: the 16 directions N ... NNW and calm, then the speed classes.
inline constexpr int kDirectionItems = kDirections + 1;
inline constexpr int kSpeedItems = 8;  // calm, weak wind, windy classes 1 to 6
inline constexpr int kAbnormalItems = kDirectionItems + kSpeedItems;

// An item's name: "N" ... "NNW", "calm", then the speed classes in m/s "0.0-0.4" (calm),
// "0.5-0.9" (weak wind), "1.0-1.9", "2.0-2.9", "3.0-3.9", "4.0-5.9", "6.0-7.9", "8.0-".
std::string_view AbnormalItemName(int item);

// A year's valid hours needed, as the rule of a station-year (at least 6,000 of 8,760 hours):
// 6000 for a span of a year or more, the same share of a shorter span, rounded up.
inline constexpr int kYearHoursNeeded = 6000;
inline constexpr int kYearHours = 8760;
int ValidHoursNeeded(int spanHours);

// The reference years: at least this many, at most kMaxReferenceYears.
inline constexpr int kMinReferenceYears = 3;
inline constexpr int kMaxReferenceYears = 50;

// A year of the test: its span, the hours of the span with a valid wind (a speed, and unless
// calm a direction), and those hours by item.
struct WindYear {
  HourNumber First = 0;  // the span's first and last hour
  HourNumber Last = 0;
  int ValidHours = 0;
  std::array<int, kAbnormalItems> Hours{};

  int SpanHours() const { return static_cast<int>(Last - First + 1); }
};

// One item's test.
struct FTestRow {
  long double Tested = 0;  // X0, % of the valid hours
  long double Mean = 0;    // X̄
  long double Lower = 0;   // X̄ - S √((n + 1) F / (n - 1))
  long double Upper = 0;
  long double F0 = 0;      // infinite when S² = 0 and X0 differs
  bool F0Undefined = false;  // S² = 0 and X0 = X̄ (0/0)
  bool Rejected = false;     // F0 > F
};

// The upper quantile F(1, n - 1; alpha) of the F distribution (n >= 2).
long double FQuantile(int n, double alpha);

// The test of one item: the tested year's hours of the item among its valid hours, the same
// for each reference year; F the quantile. The shares are compared exactly (as fractions) to
// tell S² = 0 and X0 = X̄ there.
struct ItemHours {
  int Hours = 0;
  int Valid = 0;
};
FTestRow FTestItem(ItemHours tested, const std::vector<ItemHours>& reference, long double f);

struct AbnormalYearOptions {
  bool Degrees = false;              // numeric directions are degrees
  std::optional<HourNumber> From;    // the tested year's hours (else the whole file)
  std::optional<HourNumber> To;
  double Alpha = 0.05;               // the significance level, 0.05 or 0.01
  std::vector<std::string> ReferenceNames;  // the reference files as messages name them
};

struct AbnormalYearResult {
  std::string TestedForm;                  // "plain CSV, UTF-8"
  std::vector<std::string> ReferenceForms;  // one per reference file
  WindYear Tested;
  std::vector<WindYear> Reference;  // the reference years, earliest first
  std::vector<std::string> Notes;   // reference hours not used, and why (UTF-8)
  double Alpha = 0.05;
  long double F = 0;  // F(1, n - 1; alpha)
  std::array<FTestRow, kAbnormalItems> Rows{};
};

// The test cannot be made: too few reference years, a year with too few valid hours, a span the
// reference years cannot repeat. what() is one line of UTF-8.
class AbnormalYearError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the tested year (at most kMaxPeriodHours, or From to To) and the reference files (any
// length), splits the reference into years of the tested year's calendar span and tests every
// item. A reference year that reaches beyond the first or last hour of the reference files is
// left out (with a note); the hours of the tested span in the reference are not used. Raises
// HourlyFileError (File(): 0 the tested file, k the k-th reference file) or AbnormalYearError.
AbnormalYearResult TestAbnormalYear(std::istream& tested, const std::vector<std::istream*>& reference,
                                    const AbnormalYearOptions& options);

// The table as CSV (UTF-8 with byte order mark, CR LF): 区分, 項目, the tested share, the mean,
// the lower and the upper bound (%, 2 decimals), F0 (3 decimals; "∞", or "-" for 0/0) and
// 採択 or 棄却.
std::string AbnormalYearCsv(const AbnormalYearResult& result);

// A share, a bound or F0 as the table writes them.
std::string ShareText(long double percent);
std::string F0Text(const FTestRow& row);
inline constexpr std::string_view kAccepted = "採択";
inline constexpr std::string_view kRejected = "棄却";

}  // namespace vmk
