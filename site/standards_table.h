// The environmental quality standards and guideline values that an assessment compares with:
// the data file site/standards_table.csv, built into the program; a user's file of the same
// form replaces it. A pollutant of a site file names one, or gives its own in full.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "site/concentration_units.h"
#include "site/decimal.h"

namespace vmk {

// What a standard's value is compared with.
enum class Statistic {
  AnnualMean,      // 年平均値
  Daily98,         // 日平均値の年間98%値
  Daily2Excluded,  // 日平均値の2%除外値
};

// The statistic's name, as standards write it (UTF-8).
std::string_view StatisticName(Statistic statistic);
std::optional<Statistic> ParseStatistic(std::string_view text);
// "年平均値, 日平均値の年間98%値 or 日平均値の2%除外値", for messages.
std::string StatisticNames();

// Decimals beyond this are no standard's.
inline constexpr int kMaxStandardDecimals = 12;

struct Standard {
  std::string Name;       // the table's name; empty for a standard given in full
  std::string Substance;  // UTF-8
  Decimal Value;          // positive, as written ("0.10" holds two decimals)
  ConcentrationUnit Unit;
  Statistic Compared = Statistic::AnnualMean;
  // The decimals the compared value is shown with; none: a daily value with the decimals of
  // Value, an annual mean exact.
  std::optional<int> Decimals;
  // The decimals a daily value is shown with, or none for an exact annual mean.
  std::optional<int> ShownDecimals() const {
    if (Decimals || Compared == Statistic::AnnualMean) return Decimals;
    return Value.Decimals();
  }
  std::string Source;
};

struct StandardsTable {
  std::vector<Standard> Entries;  // in the file's order, names unique
  const Standard* Find(std::string_view name) const;
  // "NO2, SO2, ...", for messages.
  std::string Names() const;
};

// A standards table file that cannot be used; what() is one line naming the line.
class StandardsTableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text of the built-in table (site/standards_table.csv).
std::string_view DefaultStandardsTableText();
const StandardsTable& DefaultStandardsTable();

// Reads a table file's text (UTF-8, a byte order mark allowed; "#" starts a comment line).
// Raises StandardsTableError.
StandardsTable ParseStandardsTable(std::string_view text);

}  // namespace vmk
