// The header line of a plain CSV.
#include "met/hourly_header.h"

namespace vmk {

HourlyColumns ReadPlainHeader(std::string_view line, long long number, TextEncoding& encoding,
                              HourlyFileRole role, bool nightByWind) {
  const std::string header = "the header (line " + std::to_string(number) + ")";
  encoding.Note(line);
  CsvLine fields;
  fields.Split(line);
  HourlyColumns columns;
  bool anyKnown = false;
  for (int c = 0; c < static_cast<int>(fields.Size()); ++c) {
    const std::string text = encoding.ToUtf8(fields.Field(c));
    const NameAndUnit n = SplitUnit(text);
    for (const HourlyColumnDef& def : kHourlyColumns) {
      if (!EqualsIgnoringCase(n.Name, def.Plain) && n.Name != def.Japanese) continue;
      ColumnAt& at = columns[def.Column];
      if (at.Field >= 0) {
        throw HourlyFileError(header + " names " + ColumnSays(def) + " twice: columns " +
                              std::to_string(at.Field + 1) + " and " + std::to_string(c + 1));
      }
      at.Field = c;
      anyKnown = true;
      if (def.Kind == ColumnKind::Radiation) at.Megajoule = SaysMegajoule(n.Unit);
    }
  }
  columns.CountNeeded();
  if (!anyKnown) {
    throw HourlyFileError("line " + std::to_string(number) +
                          " is neither a header naming the columns nor the first line of an "
                          "agency file: " + ExpectedForms());
  }
  const auto need = [&](HourlyColumn c) {
    if (columns[c].Field < 0) {
      throw HourlyFileError(header + " lacks " + ColumnSays(ColumnDef(c)) + ": " + ExpectedForms());
    }
  };
  using enum HourlyColumn;
  need(Time);
  const bool anyRadiation = columns[Solar].Field >= 0 || columns[Net].Field >= 0 ||
                            columns[Cloud].Field >= 0;
  if (role == HourlyFileRole::Radiation) {
    if (!anyRadiation) {
      throw HourlyFileError(header + " names none of the columns taken from a second file: " +
                            ColumnSays(ColumnDef(Solar)) + ", " + ColumnSays(ColumnDef(Net)) +
                            " or " + ColumnSays(ColumnDef(Cloud)));
    }
    return columns;
  }
  need(Speed);
  need(Direction);
  if (role == HourlyFileRole::Whole && columns[Stability].Field < 0) {
    if (!anyRadiation) {
      throw HourlyFileError(header + " has neither " + ColumnSays(ColumnDef(Stability)) +
                            " nor the radiation columns that give the class (" +
                            ColumnNames(ColumnDef(Solar)) + " with " + ColumnNames(ColumnDef(Net)) +
                            ")");
    }
    need(Solar);
    if (columns[Net].Field < 0 && columns[Cloud].Field < 0 && !nightByWind) {
      throw HourlyFileError(header + " lacks " + ColumnSays(ColumnDef(Net)) + " or " +
                            ColumnSays(ColumnDef(Cloud)) +
                            " for the night hours, or give --night-by-wind (the wind speed alone)");
    }
  }
  return columns;
}

}  // namespace vmk
