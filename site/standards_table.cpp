#include "site/standards_table.h"

#include <array>
#include <set>

#include "common/json_document.h"
#include "common/number_read.h"
#include "met/hourly_text.h"
#include "site/standards_table_text.h"  // generated from standards_table.csv at build time

namespace vmk {
namespace {

constexpr std::array<std::pair<Statistic, std::string_view>, 3> kStatistics = {{
    {Statistic::AnnualMean, "年平均値"},
    {Statistic::Daily98, "日平均値の年間98%値"},
    {Statistic::Daily2Excluded, "日平均値の2%除外値"},
}};

constexpr std::array<std::string_view, 7> kColumns = {"name",      "substance", "value", "unit",
                                                      "statistic", "decimals",  "source"};

[[noreturn]] void Fail(long long line, const std::string& what) {
  throw StandardsTableError("line " + std::to_string(line) + ": " + what);
}

std::string Quoted(std::string_view text) { return QuoteForMessage(text); }

}  // namespace

std::string_view StatisticName(Statistic statistic) {
  for (const auto& [s, name] : kStatistics) {
    if (s == statistic) return name;
  }
  return "";
}

std::optional<Statistic> ParseStatistic(std::string_view text) {
  for (const auto& [s, name] : kStatistics) {
    if (text == name) return s;
  }
  return std::nullopt;
}

std::string StatisticNames() {
  return std::string(kStatistics[0].second) + ", " + std::string(kStatistics[1].second) + " or " +
         std::string(kStatistics[2].second);
}

const Standard* StandardsTable::Find(std::string_view name) const {
  for (const Standard& s : Entries) {
    if (s.Name == name) return &s;
  }
  return nullptr;
}

std::string StandardsTable::Names() const {
  std::string names;
  for (const Standard& s : Entries) names += (names.empty() ? "" : ", ") + s.Name;
  return names;
}

std::string_view DefaultStandardsTableText() { return kStandardsTableText; }

const StandardsTable& DefaultStandardsTable() {
  static const StandardsTable table = ParseStandardsTable(kStandardsTableText);
  return table;
}

StandardsTable ParseStandardsTable(std::string_view text) {
  StandardsTable t;
  std::set<std::string> names;
  bool header = false;
  CsvLine fields;
  ForEachTableLine(text, [&](long long lineNumber, std::string_view line) {
    fields.Split(line);
    if (!header) {
      header = true;
      bool same = fields.Size() == kColumns.size();
      for (std::size_t c = 0; same && c < kColumns.size(); ++c) {
        same = fields.Field(static_cast<int>(c)) == kColumns[c];
      }
      if (!same) Fail(lineNumber, "the first row must name the columns: name,substance,value,unit,statistic,decimals,source");
      return;
    }
    if (fields.Size() != kColumns.size()) {
      Fail(lineNumber, "a row holds " + std::to_string(kColumns.size()) + " fields, not " +
                           std::to_string(fields.Size()));
    }
    Standard s;
    s.Name = fields.Field(0);
    s.Substance = fields.Field(1);
    s.Source = fields.Field(6);
    if (s.Name.empty()) Fail(lineNumber, "the name is empty");
    if (s.Name.size() > 100) Fail(lineNumber, "the name is longer than 100 bytes");
    if (!names.insert(s.Name).second) Fail(lineNumber, "a second standard named " + Quoted(s.Name));
    const std::string_view valueText = fields.Field(2);
    const std::optional<Decimal> value = Decimal::Parse(valueText);
    if (!value || value->Sign() <= 0 || value->Decimals() > kMaxStandardDecimals) {
      Fail(lineNumber, Quoted(valueText) + " is not a positive number with at most " +
                           std::to_string(kMaxStandardDecimals) + " decimals");
    }
    s.Value = *value;
    const std::string_view unitText = fields.Field(3);
    const std::optional<ConcentrationUnit> unit = ParseConcentrationUnit(unitText);
    if (!unit) {
      Fail(lineNumber, Quoted(unitText) + " is not a unit: " + std::string(kConcentrationUnitsAccepted));
    }
    s.Unit = *unit;
    const std::string_view statText = fields.Field(4);
    const std::optional<Statistic> stat = ParseStatistic(statText);
    if (!stat) Fail(lineNumber, Quoted(statText) + " is not a statistic: " + StatisticNames());
    s.Compared = *stat;
    const std::string_view decimalsText = fields.Field(5);
    if (!decimalsText.empty()) {
      long long d = -1;
      if (!ReadWholeNumber(decimalsText, d) || d < 0 || d > kMaxStandardDecimals) {
        Fail(lineNumber, "decimals " + Quoted(decimalsText) + " is not a whole number from 0 to " +
                             std::to_string(kMaxStandardDecimals));
      }
      s.Decimals = static_cast<int>(d);
    }
    if (s.Source.empty()) Fail(lineNumber, "the source of " + Quoted(s.Name) + " is empty: say where the value comes from");
    t.Entries.push_back(std::move(s));
  });
  if (!header) throw StandardsTableError("no table: the file holds no row of column names");
  if (t.Entries.empty()) throw StandardsTableError("no table: the file holds no standard");
  return t;
}

}  // namespace vmk
