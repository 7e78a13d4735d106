#include "met/hourly_columns.h"

#include <algorithm>

#include "common/cp932.h"
#include "met/hourly_text.h"

namespace vmk {

void HourlyColumns::CountNeeded() {
  const auto use = [&](int column) {
    if (column >= 0) Needed = std::max(Needed, static_cast<std::size_t>(column) + 1);
  };
  for (const ColumnAt& at : At) {
    use(at.Field);
    use(at.Flag);
  }
  for (int part : TimeParts) use(part);
}

void TextEncoding::Note(std::string_view line) {
  if (kind_ == Unknown && HasNonAscii(line)) kind_ = IsUtf8(line) ? Utf8 : Cp932;
}

std::string TextEncoding::ToUtf8(std::string_view field) const {
  return kind_ == Cp932 ? Cp932ToUtf8(field) : std::string(field);
}

NameAndUnit SplitUnit(std::string_view text) {
  const std::string_view s = TrimBlanks(text);
  struct Brackets {
    std::string_view Open;
    std::string_view Close;
  };
  for (const Brackets b : {Brackets{"(", ")"}, Brackets{"（", "）"}, Brackets{"[", "]"}}) {
    if (!s.ends_with(b.Close)) continue;
    const std::size_t at = s.rfind(b.Open);
    if (at == std::string_view::npos || at == 0) continue;
    return {TrimBlanks(s.substr(0, at)),
            s.substr(at + b.Open.size(), s.size() - b.Close.size() - at - b.Open.size())};
  }
  return {s, {}};
}

bool SaysMegajoule(std::string_view unit) {
  return unit.find("MJ") != std::string_view::npos || unit.find("mj") != std::string_view::npos;
}

std::string ColumnNames(const HourlyColumnDef& def) {
  return std::string(def.Plain) + " or " + std::string(def.Japanese);
}

std::string ColumnSays(const HourlyColumnDef& def) {
  return "a " + std::string(def.Described) + " column (" + ColumnNames(def) + ")";
}

std::string ExpectedForms() {
  const auto named = [](HourlyColumn c) {
    return std::string(ColumnDef(c).Plain) + " (" + std::string(ColumnDef(c).Japanese) + ")";
  };
  using enum HourlyColumn;
  return "expected a plain CSV whose header names " + named(Time) + ", " + named(Direction) +
         ", " + named(Speed) + " and " + named(Stability) + " or " + named(Solar) + " with " +
         named(Net) + ", or the Japan Meteorological Agency's download CSV";
}

}  // namespace vmk
