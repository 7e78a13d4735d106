// The conversion of an annual mean to a daily statistic by a regression over monitoring
// stations: a CSV of station-years (one line each: the year's annual mean and its daily value,
// the 98 % value or the 2 % excluded value), fitted by least squares as y = a x + b.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "site/decimal.h"

namespace vmk {

// A station-year file is a few hundred lines; anything beyond this is not one.
inline constexpr std::size_t kMaxStationFileBytes = 4u * 1024u * 1024u;
inline constexpr std::size_t kMaxStationYears = 100000;

// The significant digits a and b are rounded to (half up). These printed values are the ones
// the conversion uses, so that every converted value can be checked from the printed a and b.
inline constexpr int kFitDigits = 10;

struct StationYear {
  std::string Station;  // empty in a file of two columns
  std::string Year;
  Decimal Annual;  // x
  Decimal Daily;   // y
};

struct StationFit {
  std::vector<StationYear> Points;
  Decimal A;         // slope, rounded to kFitDigits significant digits
  Decimal B;         // intercept, the same
  long double R = 0; // the correlation coefficient
};

// A station-year file or a fit that cannot be used; what() is one line.
class StationFitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a station-year CSV (UTF-8, a byte order mark allowed, "#" starts a comment line): a
// header row, then rows of either two columns (annual mean, daily value) or four (station,
// year, annual mean, daily value), as the header has. Raises StationFitError naming the line.
std::vector<StationYear> ParseStationYears(std::string_view text);

// The least-squares line of the daily values on the annual means: a and b exactly from the
// file's decimal numbers, then rounded to kFitDigits significant digits; r in long double.
// Raises StationFitError for fewer than 3 points, annual means all equal (no slope) or daily
// values all equal (no correlation).
StationFit FitStationYears(std::vector<StationYear> points);

}  // namespace vmk
