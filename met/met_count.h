// Counting hours into the frequency tables: each hour of the period is valid (and adds to the
// table of its speed class, direction and stability class) or missing by one cause.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "met/hour_time.h"
#include "met/met_stats.h"
#include "met/met_values.h"
#include "met/stability_table.h"
#include "met/sun.h"

namespace vmk {

// Why an hour of the period is not valid; kMissingCauses below says what each means.
enum class MissingCause {
  NoLine, NoSpeed, NoDirection, CalmDirection, NoStability, NoDayOrNight, NoSolar, NoNet, NoCloud
};

// A cause with its name; a table of them lists every cause once, in the order of the enum.
template <class Cause>
struct NamedCause {
  Cause Value;
  std::string_view Name;
};

// Whether each row of a table stands at the index of its key (an enum), so that the table may
// be indexed by the key.
template <class Row, std::size_t N, class Key>
constexpr bool RowsInKeyOrder(const std::array<Row, N>& table, Key Row::*key) {
  for (std::size_t i = 0; i < N; ++i) {
    if (static_cast<std::size_t>(table[i].*key) != i) return false;
  }
  return true;
}
template <class Cause, std::size_t N>
constexpr bool InCauseOrder(const std::array<NamedCause<Cause>, N>& table) {
  return RowsInKeyOrder(table, &NamedCause<Cause>::Value);
}

// The causes with their names, the keys of "missingHours".
inline constexpr auto kMissingCauses = std::to_array<NamedCause<MissingCause>>({
    // No line for the hour (a gap, or its line's time could not be read).
    {MissingCause::NoLine, "no line"},
    // No usable wind speed.
    {MissingCause::NoSpeed, "no speed"},
    // Wind of 0.5 m/s or more without a usable direction.
    {MissingCause::NoDirection, "no direction"},
    // Wind of 0.5 m/s or more whose direction says calm.
    {MissingCause::CalmDirection, "calm direction"},
    // The stability column has no usable class.
    {MissingCause::NoStability, "no stability"},
    // A D class, with nothing to tell day from night.
    {MissingCause::NoDayOrNight, "no day or night"},
    // By day (or to tell day from night) no usable solar radiation.
    {MissingCause::NoSolar, "no solar radiation"},
    // By night no usable net radiation.
    {MissingCause::NoNet, "no net radiation"},
    // By night without net radiation, no cloud amount of its own or of a near hour, where the
    // night is classified by cloud amount (only then is the cause counted and written).
    {MissingCause::NoCloud, "no cloud amount"},
});
static_assert(InCauseOrder(kMissingCauses));

// One hour as its line gives it; a value is absent when blank, unreadable or flagged.
struct HourObservation {
  HourNumber Hour = 0;
  std::optional<int> SpeedTenths;
  std::optional<int> Direction;  // 0..15, or kCalmDirection
  std::optional<int> Stability;  // a given class 0..10, or kStabilityD
  std::optional<Radiation> Solar;
  std::optional<Radiation> Net;
  std::optional<ExactDecimal> Cloud;  // tenths of the sky
};

// How a night hour got its class from the table: by net radiation, by cloud amount, or by
// the wind speed alone (an approximation, only when asked for); kNightMethods names each.
enum class NightMethod { Net, Cloud, Wind };
inline constexpr auto kNightMethods = std::to_array<NamedCause<NightMethod>>({
    {NightMethod::Net, kNightMethodNames[0]},
    {NightMethod::Cloud, kNightMethodNames[1]},
    {NightMethod::Wind, kNightMethodNames[2]},
});
static_assert(InCauseOrder(kNightMethods));

struct MetCountSettings {
  const StabilityTable* Table = nullptr;  // the table that classifies (when not given)
  std::optional<SunSite> Site;            // day and night by the sun; else by solar radiation
  bool StabilityGiven = false;            // the classes come from the file's stability column
  bool CloudUsed = false;    // a night without net radiation is classified by cloud amount
  bool NightByWind = false;  // a night without either by the wind speed alone
};

// The counts of the hours seen so far.
struct MetTally {
  int Valid = 0;
  std::array<int, kMissingCauses.size()> Missing{};  // by cause
  ClassCounts CalmAll{};
  ClassCounts WeakAll{};
  std::array<MetDirection, kDirections> Directions{};
  // Valid hours by stability class, by day and by night (for the stability chart).
  ClassCounts DayHours{};
  ClassCounts NightHours{};
  NightMethodCounts NightMethods{};  // night hours classified by the table, by method
};

// Counts one hour: returns the cause when it is missing, nothing when it is valid.
std::optional<MissingCause> CountHour(const HourObservation& hour, const MetCountSettings& settings,
                                      MetTally& tally);

}  // namespace vmk
