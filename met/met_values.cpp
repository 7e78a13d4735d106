#include "met/met_values.h"

#include <array>
#include <string>

#include "common/cp932.h"
#include "met/hourly_text.h"
#include "met/met_stats.h"

namespace vmk {
namespace {

constexpr int kMaxIntegerDigits = 9;

// The Japanese direction names and the calm word in both encodings a file may use.
struct JapaneseNames {
  std::array<std::string, kDirections> Cp932Names;
  std::string CalmUtf8 = "静穏";
  std::string CalmCp932;
};

const JapaneseNames& Names() {
  static const JapaneseNames names = [] {
    JapaneseNames n;
    for (int d = 0; d < kDirections; ++d) {
      n.Cp932Names[static_cast<std::size_t>(d)] =
          Utf8ToCp932(kDirectionNamesJa[static_cast<std::size_t>(d)]);
    }
    n.CalmCp932 = Utf8ToCp932(n.CalmUtf8);
    return n;
  }();
  return names;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::optional<ExactDecimal> ParseExactDecimal(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::size_t digitsStart = i;
  long long units = 0;  // whole units
  int intDigits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    if (intDigits > 0 || s[i] != '0') ++intDigits;
    if (intDigits > kMaxIntegerDigits) return std::nullopt;
    units = units * 10 + (s[i] - '0');
    ++i;
  }
  const bool hadInteger = i > digitsStart;
  long long frac = 0;  // nine decimals
  int fracDigits = 0;
  bool rest = false;  // a non-zero digit beyond the ninth decimal
  bool hadFraction = false;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      hadFraction = true;
      if (fracDigits < 9) {
        frac = frac * 10 + (s[i] - '0');
        ++fracDigits;
      } else if (s[i] != '0') {
        rest = true;
      }
      ++i;
    }
  }
  if (i != s.size() || (!hadInteger && !hadFraction)) return std::nullopt;
  while (fracDigits < 9) {
    frac *= 10;
    ++fracDigits;
  }
  long long nano = units * kNanoPerUnit + frac;
  ExactDecimal d;
  if (!negative) {
    d.Nano = nano;
    d.Inexact = rest;
  } else {
    // Rounded down: -0.0000000005 lies between -1e-9 and 0, so its floor is -1 unit.
    d.Nano = -nano - (rest ? 1 : 0);
    d.Inexact = rest;
  }
  return d;
}

std::string DecimalText(long long nano) {
  std::string text = nano < 0 ? "-" : "";
  const unsigned long long bits = static_cast<unsigned long long>(nano);
  const unsigned long long magnitude = nano < 0 ? 0ULL - bits : bits;
  const unsigned long long perUnit = static_cast<unsigned long long>(kNanoPerUnit);
  text += std::to_string(magnitude / perUnit);
  std::string fraction = std::to_string(perUnit + magnitude % perUnit).substr(1);  // 9 digits
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

namespace {

// A decimal value's text (blanks around it allowed), or the problem: Blank or Unreadable.
std::optional<ExactDecimal> DecimalValue(std::string_view text, ValueProblem& problem) {
  const std::string_view s = TrimBlanks(text);
  problem = s.empty() ? ValueProblem::Blank : ValueProblem::None;
  if (s.empty()) return std::nullopt;
  auto v = ParseExactDecimal(s);
  if (!v) problem = ValueProblem::Unreadable;
  return v;
}

}  // namespace

std::optional<int> ParseSpeedTenths(std::string_view text, ValueProblem& problem) {
  const auto v = DecimalValue(text, problem);
  if (!v) return std::nullopt;
  // Half up to 0.1: add 0.05 and cut. The floor in 1e-9 units gives the same tenth as the
  // exact number, since every tenth boundary is a whole number of those units.
  const bool negative = v->Nano < 0;
  if (negative) {
    // Anything that rounds to 0.0 is a calm reading written with a sign ("-0.0", "-0.04").
    if (v->Nano + kNanoPerTenth / 2 < 0) {
      problem = ValueProblem::OutOfRange;
      return std::nullopt;
    }
    return 0;
  }
  const long long tenths = (v->Nano + kNanoPerTenth / 2) / kNanoPerTenth;
  if (tenths > kMaxSpeedTenths) {
    problem = ValueProblem::OutOfRange;
    return std::nullopt;
  }
  return static_cast<int>(tenths);
}

std::string SpeedRangeText() {
  return "0 to " + DecimalText(kMaxSpeedTenths * kNanoPerTenth) + " m/s";
}

SpeedClass SpeedClassOf(int tenths) {
  if (tenths <= 4) return SpeedClass::Calm;
  if (tenths <= 9) return SpeedClass::Weak;
  if (tenths <= 19) return SpeedClass::Windy1;
  if (tenths <= 29) return SpeedClass::Windy2;
  if (tenths <= 39) return SpeedClass::Windy3;
  if (tenths <= 59) return SpeedClass::Windy4;
  if (tenths <= 79) return SpeedClass::Windy5;
  return SpeedClass::Windy6;
}

std::optional<int> ParseDirection(std::string_view text, bool degrees, ValueProblem& problem) {
  const std::string_view s = TrimBlanks(text);
  problem = ValueProblem::None;
  if (s.empty()) {
    problem = ValueProblem::Blank;
    return std::nullopt;
  }
  if (const auto d = DirectionIndex(s)) return *d;
  if (EqualsIgnoringCase(s, "calm") || EqualsIgnoringCase(s, "c")) return kCalmDirection;
  const JapaneseNames& names = Names();
  if (s == names.CalmUtf8 || s == names.CalmCp932) return kCalmDirection;
  for (int d = 0; d < kDirections; ++d) {
    const std::size_t k = static_cast<std::size_t>(d);
    if (s == kDirectionNamesJa[k] || s == names.Cp932Names[k]) return d;
  }
  if (degrees) {
    const auto v = ParseExactDecimal(s);
    if (!v) {
      problem = ValueProblem::Unreadable;
      return std::nullopt;
    }
    if (v->Nano < 0 || v->Above(kFullCircleDegrees * kNanoPerUnit)) {
      problem = ValueProblem::OutOfRange;
      return std::nullopt;
    }
    // Sector k covers [22.5 k - 11.25, 22.5 k + 11.25) degrees; 360 is north again. Sector
    // boundaries are whole 1e-9 units, so the rounded-down value gives the exact sector.
    const long long half = 11250000000LL;
    const long long width = 22500000000LL;
    return static_cast<int>(((v->Nano + half) / width) % kDirections);
  }
  if (AllDigits(s) && s.size() <= 3) {
    const int code = std::stoi(std::string(s));
    if (code > kDirections) {
      problem = ValueProblem::OutOfRange;
      return std::nullopt;
    }
    return code == 0 ? kCalmDirection : code % kDirections;
  }
  problem = ValueProblem::Unreadable;
  return std::nullopt;
}

std::optional<int> ParseStabilityName(std::string_view text) {
  static constexpr std::array<std::string_view, kStabilityClasses> kNoHyphen = {
      "A", "AB", "B", "BC", "C", "CD", "Dd", "Dn", "E", "F", "G"};
  const std::string_view s = TrimBlanks(text);
  if (EqualsIgnoringCase(s, "D")) return kStabilityD;
  for (int c = 0; c < kStabilityClasses; ++c) {
    const std::size_t k = static_cast<std::size_t>(c);
    if (EqualsIgnoringCase(s, kMetStabilityNames[k]) || EqualsIgnoringCase(s, kNoHyphen[k])) {
      return c;
    }
  }
  return std::nullopt;
}

std::string StabilityNamesText() {
  std::string text;
  for (int c = 0; c < kStabilityClasses; ++c) {
    if (c == kStabilityDd) text += ", D";  // read as Dd or Dn by the hour
    text += (c > 0 ? ", " : "") + std::string(kMetStabilityNames[static_cast<std::size_t>(c)]);
  }
  return text;
}

std::optional<Radiation> ParseRadiation(std::string_view text, bool megajoulePerHour,
                                        ValueProblem& problem) {
  const auto v = DecimalValue(text, problem);
  if (!v) return std::nullopt;
  Radiation r{*v, megajoulePerHour};
  if (v->Nano < r.InUnit(kMinRadiationNano) || v->Above(r.InUnit(kMaxRadiationNano))) {
    problem = ValueProblem::OutOfRange;
    return std::nullopt;
  }
  return r;
}

std::string RadiationRangeText(bool megajoulePerHour) {
  const Radiation unit{{}, megajoulePerHour};
  return DecimalText(unit.InUnit(kMinRadiationNano)) + " to " +
         DecimalText(unit.InUnit(kMaxRadiationNano)) + (megajoulePerHour ? " MJ/m2" : " kW/m2");
}

std::optional<ExactDecimal> ParseCloudAmount(std::string_view text, ValueProblem& problem) {
  const std::string_view s = TrimBlanks(text);
  if (s == "0+") {
    problem = ValueProblem::None;
    return ExactDecimal{0, false};
  }
  if (s == "10-") {
    problem = ValueProblem::None;
    return ExactDecimal{kMaxCloudNano, false};
  }
  const auto v = DecimalValue(s, problem);
  if (!v) return std::nullopt;
  if (v->Nano < 0 || v->Above(kMaxCloudNano)) {
    problem = ValueProblem::OutOfRange;
    return std::nullopt;
  }
  return v;
}

std::string CloudRangeText() { return "0 to " + DecimalText(kMaxCloudNano) + " tenths, 0+ or 10-"; }

}  // namespace vmk
