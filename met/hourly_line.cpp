#include "met/hourly_line.h"

#include <algorithm>

#include "common/json_document.h"
#include "met/met_values.h"

namespace vmk {

std::string HourlyLineReader::QuoteField(std::string_view field) const {
  return QuoteForMessage(encoding_.ToUtf8(field));
}

std::optional<HourNumber> HourlyLineReader::Hour(FirstProblem& problem) const {
  const int timeColumn = columns_[HourlyColumn::Time].Field;
  if (timeColumn < 0) {
    const auto& p = columns_.TimeParts;
    const std::string_view year = fields_.Field(p[0]), month = fields_.Field(p[1]),
                           day = fields_.Field(p[2]), hourOfDay = fields_.Field(p[3]);
    const auto hour = HourFromFields(year, month, day, hourOfDay);
    if (!hour) {
      problem.Add(LineRejection::BadTime, [&] {
        return "year, month, day and hour " +
               QuoteField(std::string(year) + "," + std::string(month) + "," + std::string(day) +
                          "," + std::string(hourOfDay)) +
               " are not an hour of a date";
      });
    }
    return hour;
  }
  const std::string_view text = fields_.Field(timeColumn);
  if (text.empty()) {
    problem.Add(LineRejection::NoTime, [] { return "no time"; });
    return std::nullopt;
  }
  HourTextProblem timeProblem = HourTextProblem::None;
  const auto hour = ParseHourText(text, &timeProblem);
  if (!hour && timeProblem == HourTextProblem::NotOnHour) {
    problem.Add(LineRejection::NotOnHour,
                [&] { return "time " + QuoteField(text) + " is not on the hour"; });
  } else if (!hour) {
    problem.Add(LineRejection::BadTime, [&] {
      return "time " + QuoteField(text) +
             " is not a date and hour like 2025-04-01 01:00 or 2025/4/1 1:00";
    });
  }
  return hour;
}

// A value with a quality flag counts only when the flag is the normal one; a flag that is not
// a number is a problem.
bool HourlyLineReader::FlagNormal(const ColumnAt& at, const HourlyColumnDef& def,
                                  FirstProblem& problem) const {
  if (at.Flag < 0) return true;
  const std::string_view f = fields_.Field(at.Flag);
  if (f == kAgencyNormalFlag) return true;
  const bool digits = std::all_of(f.begin(), f.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!f.empty() && !digits) {
    problem.Add(LineRejection::BadFlag, [&] {
      return "quality flag " + QuoteField(f) + " of " + std::string(def.Japanese) +
             " is not a number";
    });
  }
  return false;
}

namespace {

// What is wrong with a direction that cannot be read.
std::string DirectionTrouble(std::string_view text, bool degrees, ValueProblem p) {
  const std::string codes = "0 to " + std::to_string(kDirections);
  if (degrees) {
    return p == ValueProblem::OutOfRange
               ? " is not from 0 to " + std::to_string(kFullCircleDegrees) + " degrees"
               : " is neither a name nor degrees";
  }
  if (ParseExactDecimal(text)) return " is not a code " + codes + " (degrees need --degrees)";
  return " is not a direction (" + std::string(kDirectionNames.front()) + " ... " +
         std::string(kDirectionNames.back()) + ", " + std::string(kDirectionNamesJa.front()) +
         " ... " + std::string(kDirectionNamesJa.back()) + ", " + codes + ", 静穏, CALM or C)";
}

}  // namespace

std::string HourlyLineReader::ValueReason(const HourlyColumnDef& def, const ColumnAt& at,
                                          std::string_view text, ValueProblem p) const {
  const std::string said = std::string(def.ValueWord) + " " + QuoteField(text);
  const auto numberIn = [&](const std::string& range) {
    return said + (p == ValueProblem::OutOfRange ? " is out of range (" : " is not a number (") +
           range + ")";
  };
  switch (def.Kind) {
    case ColumnKind::Speed:
      return numberIn(SpeedRangeText());
    case ColumnKind::Radiation:
      return numberIn(RadiationRangeText(at.Megajoule));
    case ColumnKind::Cloud:
      return numberIn(CloudRangeText());
    case ColumnKind::Stability:
      return said + " is not a class (" + StabilityNamesText() + ")";
    case ColumnKind::Direction:
      return said + DirectionTrouble(text, degrees_, p);
    case ColumnKind::Time:
      break;  // read by Hour
  }
  return said;
}

HourObservation HourlyLineReader::Values(HourNumber hour, FirstProblem& problem) const {
  if (fields_.Size() < columns_.Needed) {
    problem.Add(LineRejection::TooFewFields, [&] {
      return std::to_string(fields_.Size()) + " fields, fewer than the " +
             std::to_string(columns_.Needed) + " the columns need";
    });
  }
  HourObservation h;
  h.Hour = hour;
  for (const HourlyColumnDef& def : kHourlyColumns) {
    const ColumnAt& at = columns_[def.Column];
    if (def.Kind == ColumnKind::Time || at.Field < 0 || !FlagNormal(at, def, problem)) continue;
    const std::string_view text = fields_.Field(at.Field);
    ValueProblem p = ValueProblem::None;
    switch (def.Kind) {
      case ColumnKind::Speed:
        h.SpeedTenths = ParseSpeedTenths(text, p);
        break;
      case ColumnKind::Direction:
        h.Direction = ParseDirection(text, degrees_, p);
        break;
      case ColumnKind::Stability:
        h.Stability = ParseStabilityName(text);
        if (!h.Stability && !text.empty()) p = ValueProblem::Unreadable;
        break;
      case ColumnKind::Radiation:
        (def.Column == HourlyColumn::Solar ? h.Solar : h.Net) =
            ParseRadiation(text, at.Megajoule, p);
        break;
      case ColumnKind::Cloud:
        h.Cloud = ParseCloudAmount(text, p);
        break;
      case ColumnKind::Time:
        break;
    }
    if (p == ValueProblem::Unreadable || p == ValueProblem::OutOfRange) {
      problem.Add(def.Unreadable, [&] { return ValueReason(def, at, text, p); });
    }
  }
  return h;
}

}  // namespace vmk
