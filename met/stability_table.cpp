#include "met/stability_table.h"

#include <algorithm>

#include "common/json_document.h"
#include "met/hourly_text.h"
#include "met/stability_table_text.h"  // generated from stability_table.csv at build time

namespace vmk {
namespace {

constexpr const char* kColumnOrder =
    "the columns must be T>=... (bounds falling), T<..., then Q>=... (bounds falling), Q<..., "
    "then, if the table classifies by cloud amount, C>=... (bounds falling), C<...";

// The kinds of column in their order: day (T), night by net radiation (Q), night by cloud (C).
constexpr std::string_view kColumnLetters = "TQC";

[[noreturn]] void Fail(long long line, const std::string& what) {
  throw StabilityTableError("line " + std::to_string(line) + ": " + what);
}

// The bound of a column name "T>=0.60", "Q<-0.040" or "C>=8": `letter` 'T', 'Q' or 'C',
// `atLeast` for ">=".
bool ParseColumnName(std::string_view name, char& letter, bool& atLeast, long long& bound) {
  std::string_view s = TrimBlanks(name);
  if (s.empty()) return false;
  letter = s[0] >= 'a' && s[0] <= 'z' ? static_cast<char>(s[0] - 'a' + 'A') : s[0];
  if (kColumnLetters.find(letter) == std::string_view::npos) return false;
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
  std::size_t nightColumns = 0;
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
      // Day columns, then night columns, then cloud columns if any; in each, ">=" bounds
      // falling, then one "<" column.
      std::vector<long long>* const boundsOf[] = {&t.DayBounds, &t.NightBounds, &t.CloudBounds};
      std::size_t part = 0;
      bool closed = false;
      for (std::size_t c = 1; c < fields.size(); ++c) {
        char letter = 0;
        bool atLeast = false;
        long long bound = 0;
        const std::string column(TrimBlanks(fields[c]));
        if (!ParseColumnName(fields[c], letter, atLeast, bound)) {
          Fail(lineNumber, QuoteForMessage(column) +
                               " is not a column T>=x, T<x, Q>=x, Q<x (x in kW/m2, at most 6 "
                               "decimals), C>=x or C<x (cloud amount, tenths)");
        }
        const std::size_t kind = kColumnLetters.find(letter);
        if (kind == part + 1) {
          if (!closed) {
            Fail(lineNumber, part == 0 && !t.DayBounds.empty()
                                 ? "the day columns must end with a column T<x"
                                 : kColumnOrder);
          }
          part = kind;
          closed = false;
        }
        if (kind != part || closed) Fail(lineNumber, kColumnOrder);
        std::vector<long long>& bounds = *boundsOf[part];
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
      if (part == 0 || !closed) Fail(lineNumber, kColumnOrder);
      dayColumns = t.DayBounds.size() + 1;
      nightColumns = t.NightBounds.size() + 1;
      return;
    }
    const std::size_t cloudColumns = t.HasCloud() ? t.CloudBounds.size() + 1 : 0;
    const std::size_t columns = dayColumns + nightColumns + cloudColumns;
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
    std::vector<int> cloud;
    for (std::size_t c = 1; c < fields.size(); ++c) {
      const auto cls = ParseStabilityName(fields[c]);
      if (!cls) {
        Fail(lineNumber, QuoteForMessage(std::string(TrimBlanks(fields[c]))) +
                             " is not a class A, A-B, B, B-C, C, C-D, D, E, F or G");
      }
      (c <= dayColumns ? day : c <= dayColumns + nightColumns ? night : cloud).push_back(*cls);
    }
    t.DayClasses.push_back(std::move(day));
    t.NightClasses.push_back(std::move(night));
    t.CloudClasses.push_back(std::move(cloud));
  });
  if (!header) throw StabilityTableError("no table: the file holds no row of column names");
  if (t.RowSpeeds.empty()) throw StabilityTableError("no table: the file holds no row of classes");
  return t;
}

namespace {

std::size_t RowOf(const StabilityTable& table, int speedTenths) {
  std::size_t row = 0;
  while (row + 1 < table.RowSpeeds.size() && speedTenths >= table.RowSpeeds[row + 1]) ++row;
  return row;
}

// The column of a value: the first whose bound it reaches, else the last.
template <class AtLeast>
std::size_t ColumnOf(const std::vector<long long>& bounds, const AtLeast& atLeast) {
  std::size_t column = 0;
  while (column < bounds.size() && !atLeast(bounds[column])) ++column;
  return column;
}

}  // namespace

int ClassifyStability(const StabilityTable& table, int speedTenths, bool day,
                      const Radiation& radiation) {
  const std::size_t column = ColumnOf(day ? table.DayBounds : table.NightBounds,
                                      [&](long long bound) { return radiation.AtLeastKw(bound); });
  const int cls = (day ? table.DayClasses : table.NightClasses)[RowOf(table, speedTenths)][column];
  if (cls == kStabilityD) return day ? kStabilityDd : kStabilityDn;
  return cls;
}

int ClassifyNightByCloud(const StabilityTable& table, int speedTenths, const ExactDecimal& cloud) {
  const std::size_t column =
      ColumnOf(table.CloudBounds, [&](long long bound) { return cloud.AtLeast(bound); });
  const int cls = table.CloudClasses[RowOf(table, speedTenths)][column];
  return cls == kStabilityD ? kStabilityDn : cls;
}

int NightClassByWind(int speedTenths) {
  constexpr int kF = 9;
  constexpr int kE = 8;
  if (speedTenths < 20) return kF;
  if (speedTenths < 30) return kE;
  return kStabilityDn;
}

}  // namespace vmk
