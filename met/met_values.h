// The values of one hour as an observation file writes them: wind speed, wind direction,
// stability class and radiation, each read from its text exactly, so that a class boundary is
// decided on the decimal number the file holds, never on a binary approximation of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vmk {

inline constexpr long long kNanoPerUnit = 1000000000;

// A decimal number of at most 9 digits before the point, held in units of 1e-9 rounded
// down. `Inexact` says that digits beyond the ninth decimal were not all zero: the number is
// then a little above `Nano` (never equal to the next unit).
struct ExactDecimal {
  long long Nano = 0;
  bool Inexact = false;

  bool AtLeast(long long nano) const { return Nano >= nano; }
  bool Above(long long nano) const { return Nano > nano || (Nano == nano && Inexact); }
};

// "12", "-0.020", "+.5", "3." (no exponent, no thousands separator). Blanks around are
// ignored by the callers, not here.
std::optional<ExactDecimal> ParseExactDecimal(std::string_view text);

// The shortest decimal text of a value in units of 1e-9: "-3.6", "2", "0.45" (for messages).
std::string DecimalText(long long nano);

// Why a value's text gave no value.
enum class ValueProblem {
  None,
  Blank,       // nothing written: the value is missing, the line is fine
  Unreadable,  // something written that is not a value of this kind
  OutOfRange,  // a number outside the plausible range
};

// Wind speeds above this are refused as implausible (a unit mistake, a missing-value code).
inline constexpr int kMaxSpeedTenths = 1000;  // 100 m/s
inline constexpr long long kNanoPerTenth = kNanoPerUnit / 10;

// The speeds a file may give, for messages: "0 to 100 m/s".
std::string SpeedRangeText();

// The wind speed in tenths of m/s, rounded half up on the decimal text ("0.45" gives 5,
// "0.449" gives 4). Negative speeds and speeds above 100 m/s are out of range.
std::optional<int> ParseSpeedTenths(std::string_view text, ValueProblem& problem);

// Speed classes of the frequency table, on the speed in tenths of m/s: calm up to 0.4, weak
// wind 0.5 to 0.9, windy classes 1 to 6 from 1.0, 2.0, 3.0, 4.0, 6.0 and 8.0.
enum class SpeedClass { Calm, Weak, Windy1, Windy2, Windy3, Windy4, Windy5, Windy6 };
SpeedClass SpeedClassOf(int tenths);

// The windy class 1 to 6 of a windy speed class.
inline int WindyClassNumber(SpeedClass c) { return static_cast<int>(c) - 1; }

// A wind direction: the index 0..15 of the 16 directions clockwise from north (N = 0,
// NNE = 1, ..., NNW = 15), or calm.
inline constexpr int kCalmDirection = -1;

// Directions in degrees run from 0 to this (both north).
inline constexpr int kFullCircleDegrees = 360;

// Reads a direction the wind blows from: an English 16-point name (N, NNE, ..., NNW; any case),
// a Japanese one (北, 北北東, ..., 北北西; UTF-8 or code page 932), a code 1 to 16 (1 = NNE,
// 16 = N: the codes run to kDirections) with 0 for calm, or, when `degrees`, an angle from 0 to
// kFullCircleDegrees (0 and 360 are north; a sector is 22.5 degrees centred on its direction, a
// boundary belonging to the sector clockwise of it). Calm also as 静穏, CALM or C. Returns the
// index or kCalmDirection.
std::optional<int> ParseDirection(std::string_view text, bool degrees, ValueProblem& problem);

// A stability class as a file gives it: the class index 0..10 of A, A-B, B, B-C, C, C-D, Dd,
// Dn, E, F, G, or kStabilityD for a D not yet split into day and night.
inline constexpr int kStabilityD = -1;
inline constexpr int kStabilityDd = 6;
inline constexpr int kStabilityDn = 7;

// "A", "A-B" (or "AB"), ..., "D", "Dd", "Dn", ..., "G"; letters in any case.
std::optional<int> ParseStabilityName(std::string_view text);

// The names ParseStabilityName reads, for messages: "A, A-B, ..., C-D, D, Dd, Dn, E, F, G".
std::string StabilityNamesText();

// Radiation in kW/m2 from -1 to 2 (MJ/m2 in the hour from -3.6 to 7.2); beyond that the
// value is out of range (most often W/m2 given for kW/m2).
inline constexpr long long kMinRadiationNano = -1 * kNanoPerUnit;
inline constexpr long long kMaxRadiationNano = 2 * kNanoPerUnit;

// Radiation as the file gives it: kW/m2, or MJ/m2 in the hour (the agency's unit), which is
// the mean kW/m2 times 3.6.
struct Radiation {
  ExactDecimal Value;
  bool MegajoulePerHour = false;

  // Whether the mean over the hour is at least `kwNano` kW/m2 (in units of 1e-9 kW/m2, a
  // multiple of 1000): compared in the file's own unit, so that 2.16 MJ/m2 is exactly 0.6.
  bool AtLeastKw(long long kwNano) const { return Value.AtLeast(InUnit(kwNano)); }
  // `kwNano` kW/m2 (a multiple of 10) in the file's unit: times 3.6 in MJ/m2.
  long long InUnit(long long kwNano) const { return MegajoulePerHour ? kwNano / 10 * 36 : kwNano; }
  bool Positive() const { return Value.Above(0); }
};

// Radiation from kMinRadiationNano to kMaxRadiationNano kW/m2, or the same in MJ/m2 in the
// hour; beyond that the value is out of range.
std::optional<Radiation> ParseRadiation(std::string_view text, bool megajoulePerHour,
                                        ValueProblem& problem);

// The radiation a file may give in its unit, for messages: "-1 to 2 kW/m2", "-3.6 to 7.2 MJ/m2".
std::string RadiationRangeText(bool megajoulePerHour);

// Cloud amount in tenths of the sky, from 0 to 10.
inline constexpr long long kMaxCloudNano = 10 * kNanoPerUnit;

// A cloud amount: a number from 0 to 10 (tenths of the sky), or the agency's "0+" (a trace of
// cloud, counted as 0) and "10-" (overcast with gaps, counted as 10). Beyond 0 to 10 the value
// is out of range.
std::optional<ExactDecimal> ParseCloudAmount(std::string_view text, ValueProblem& problem);

// The cloud amounts a file may give, for messages: "0 to 10 tenths, 0+ or 10-".
std::string CloudRangeText();

}  // namespace vmk
