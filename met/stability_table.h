// The table that gives an hour's stability class from its wind speed and its radiation (solar
// radiation by day, net radiation by night) or, by night without net radiation, its cloud
// amount. The program's own table is the data file met/stability_table.csv, built into the
// program; a user's file of the same form replaces it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "met/met_values.h"

namespace vmk {

struct StabilityTable {
  // The lowest speed of each row in tenths of m/s: 0 first, increasing.
  std::vector<int> RowSpeeds;
  // The lower bounds of the day columns (solar radiation, 1e-9 kW/m2), highest first; the last
  // day column holds everything below the last bound. The same for the night columns.
  std::vector<long long> DayBounds;
  std::vector<long long> NightBounds;
  // Classes by row and column: 0..10 (A ... G) or kStabilityD, which splits by day and night.
  std::vector<std::vector<int>> DayClasses;
  std::vector<std::vector<int>> NightClasses;
  // The night columns by cloud amount (tenths of the sky, 1e-9 units), highest bound first as
  // the others; none in a table file without them, which then does not use cloud amount.
  std::vector<long long> CloudBounds;
  std::vector<std::vector<int>> CloudClasses;

  bool HasCloud() const { return !CloudBounds.empty(); }
};

// A stability table file that cannot be used; what() is one line naming the line.
class StabilityTableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text of the built-in table (met/stability_table.csv).
std::string_view DefaultStabilityTableText();

// The built-in table.
const StabilityTable& DefaultStabilityTable();

// Reads a table file's text (UTF-8 or ASCII; "#" starts a comment line). Raises
// StabilityTableError.
StabilityTable ParseStabilityTable(std::string_view text);

// The class 0..10 of an hour: the row of its speed (tenths of m/s), the column of its solar
// radiation by day or net radiation by night; D becomes Dd by day, Dn by night.
int ClassifyStability(const StabilityTable& table, int speedTenths, bool day,
                      const Radiation& radiation);

// The night class 0..10 of an hour by its cloud amount (the table has cloud columns); D is Dn.
int ClassifyNightByCloud(const StabilityTable& table, int speedTenths, const ExactDecimal& cloud);

// The night class by the wind speed alone, an approximation for files with neither net
// radiation nor cloud amount: below 2.0 m/s F, 2.0 to 2.9 E, 3.0 and above Dn.
int NightClassByWind(int speedTenths);

}  // namespace vmk
