#include "met/stability_table.h"

#include <algorithm>

#include "common/json_document.h"
#include "met/hourly_text.h"
#include "met/stability_table_text.h"  // generated from stability_table.csv at build time

namespace vmk {
namespace {

constexpr const char* kColumnOrder =
    "the columns must be T>=... (bounds falling), T<..., then Q>=... (bounds falling), Q<...";

[[noreturn]] void Fail(long long line, const std::string& what) {
  throw StabilityTableError("line " + std::to_string(line) + ": " + what);
}

// The bound of a column name "T>=0.60" or "Q<-0.040": `letter` 'T' or 'Q', `atLeast` for ">=".
bool ParseColumnName(std::string_view name, char& letter, bool& atLeast, long long& bound) {
  std::string_view s = TrimBlanks(name);
  if (s.empty()) return false;
  letter = static_cast<char>(s[0] == 't' ? 'T' : s[0] == 'q' ? 'Q' : s[0]);
  if (letter != 'T' && letter != 'Q') return false;
  s = TrimBlanks(s.substr(1));
  if (s.starts_with(">=")) {
    atLeast = true;
    s.remove_prefix(2);
  } else if (s.starts_with("<")) {
    atLeast = false;
    s.remove_prefix(1);
  } else {
    return false;
  }
  const auto v = ParseExactDecimal(TrimBlanks(s));
  // At most 6 decimals, so that the bound in MJ/m2 (times 3.6) is exact as well.
  if (!v || v->Inexact || v->Nano % 1000 != 0) return false;
  bound = v->Nano;
  return true;
}

}  // namespace

std::string_view DefaultStabilityTableText() { return kStabilityTableText; }

const StabilityTable& DefaultStabilityTable() {
  static const StabilityTable table = ParseStabilityTable(kStabilityTableText);
  return table;
}

StabilityTable ParseStabilityTable(std::string_view text) {
  StabilityTable t;
  std::size_t dayColumns = 0;
  bool header = false;
  std::vector<std::string_view> fields;
  std::string scratch;
  ForEachTableLine(text, [&](long long lineNumber, std::string_view line) {
    SplitCsvLine(line, fields, scratch);
    if (!header) {
      header = true;
      if (fields.empty() || !EqualsIgnoringCase(TrimBlanks(fields[0]), "speed")) {
        Fail(lineNumber, "the first row must name the columns: speed, T>=..., T<..., Q>=..., Q<...");
      }
      // Day columns, then night columns; in each, ">=" bounds falling, then one "<" column.
      char part = 'T';
      bool closed = false;
      for (std::size_t c = 1; c < fields.size(); ++c) {
        char letter = 0;
        bool atLeast = false;
        long long bound = 0;
        const std::string column(TrimBlanks(fields[c]));
        if (!ParseColumnName(fields[c], letter, atLeast, bound)) {
          Fail(lineNumber, QuoteForMessage(column) +
                               " is not a column T>=x, T<x, Q>=x or Q<x (x in kW/m2, at most "
                               "6 decimals)");
        }
        if (letter == 'Q' && part == 'T') {
          if (!closed) {
            Fail(lineNumber, t.DayBounds.empty() ? kColumnOrder
                                                 : "the day columns must end with a column T<x");
          }
          part = 'Q';
          closed = false;
          dayColumns = c - 1;
        }
        if (letter != part || closed) {
          Fail(lineNumber, kColumnOrder);
        }
        std::vector<long long>& bounds = part == 'T' ? t.DayBounds : t.NightBounds;
        if (atLeast) {
          if (!bounds.empty() && bound >= bounds.back()) {
            Fail(lineNumber, QuoteForMessage(column) + ": the bounds must fall from column to column");
          }
          bounds.push_back(bound);
        } else {
          if (bounds.empty() || bound != bounds.back()) {
            Fail(lineNumber, QuoteForMessage(column) +
                                 ": the last column takes the rest below the bound before it, "
                                 "which it must repeat");
          }
          closed = true;
        }
      }
      if (part != 'Q' || !closed) {
        Fail(lineNumber, kColumnOrder);
      }
      return;
    }
    const std::size_t columns = dayColumns + t.NightBounds.size() + 1;
    if (fields.size() != columns + 1) {
      Fail(lineNumber, "a row holds the speed and " + std::to_string(columns) + " classes, not " +
                           std::to_string(fields.size()) + " fields");
    }
    const auto speed = ParseExactDecimal(TrimBlanks(fields[0]));
    if (!speed || speed->Inexact || speed->Nano % kNanoPerTenth != 0 || speed->Nano < 0 ||
        speed->Nano > kMaxSpeedTenths * kNanoPerTenth) {
      Fail(lineNumber, QuoteForMessage(std::string(TrimBlanks(fields[0]))) + " is not a speed of " +
                           SpeedRangeText() + " with at most one decimal");
    }
    const int tenths = static_cast<int>(speed->Nano / kNanoPerTenth);
    if (t.RowSpeeds.empty() ? tenths != 0 : tenths <= t.RowSpeeds.back()) {
      Fail(lineNumber, t.RowSpeeds.empty() ? "the first row must start at speed 0"
                                           : "the row speeds must increase");
    }
    t.RowSpeeds.push_back(tenths);
    std::vector<int> day;
    std::vector<int> night;
    for (std::size_t c = 1; c < fields.size(); ++c) {
      const auto cls = ParseStabilityName(fields[c]);
      if (!cls) {
        Fail(lineNumber, QuoteForMessage(std::string(TrimBlanks(fields[c]))) +
                             " is not a class A, A-B, B, B-C, C, C-D, D, E, F or G");
      }
      (c <= dayColumns ? day : night).push_back(*cls);
    }
    t.DayClasses.push_back(std::move(day));
    t.NightClasses.push_back(std::move(night));
  });
  if (!header) throw StabilityTableError("no table: the file holds no row of column names");
  if (t.RowSpeeds.empty()) throw StabilityTableError("no table: the file holds no row of classes");
  return t;
}

int ClassifyStability(const StabilityTable& table, int speedTenths, bool day,
                      const Radiation& radiation) {
  std::size_t row = 0;
  while (row + 1 < table.RowSpeeds.size() && speedTenths >= table.RowSpeeds[row + 1]) ++row;
  const std::vector<long long>& bounds = day ? table.DayBounds : table.NightBounds;
  std::size_t column = 0;
  while (column < bounds.size() && !radiation.AtLeastKw(bounds[column])) ++column;
  const int cls = (day ? table.DayClasses : table.NightClasses)[row][column];
  if (cls == kStabilityD) return day ? kStabilityDd : kStabilityDn;
  return cls;
}

}  // namespace vmk
