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

// Why an hour of the period is not valid. The names are the keys of "missingHours".
enum class MissingCause {
  NoLine,         // no line for the hour (a gap, or its line's time could not be read)
  NoSpeed,        // no usable wind speed
  NoDirection,    // wind of 0.5 m/s or more without a usable direction
  CalmDirection,  // wind of 0.5 m/s or more whose direction says calm
  NoStability,    // the stability column has no usable class
  NoDayOrNight,   // a D class, with nothing to tell day from night
  NoSolar,        // by day (or to tell day from night) no usable solar radiation
  NoNet,          // by night no usable net radiation
};
inline constexpr int kMissingCauses = 8;
inline constexpr std::array<std::string_view, kMissingCauses> kMissingCauseNames = {
    "no line",        "no speed",        "no direction",       "calm direction",
    "no stability",   "no day or night", "no solar radiation", "no net radiation"};

// One hour as its line gives it; a value is absent when blank, unreadable or flagged.
struct HourObservation {
  HourNumber Hour = 0;
  std::optional<int> SpeedTenths;
  std::optional<int> Direction;  // 0..15, or kCalmDirection
  std::optional<int> Stability;  // a given class 0..10, or kStabilityD
  std::optional<Radiation> Solar;
  std::optional<Radiation> Net;
};

struct MetCountSettings {
  const StabilityTable* Table = nullptr;  // the table that classifies (when not given)
  std::optional<SunSite> Site;            // day and night by the sun; else by solar radiation
  bool StabilityGiven = false;            // the classes come from the file's stability column
};

// The counts of the hours seen so far.
struct MetTally {
  int Valid = 0;
  std::array<int, kMissingCauses> Missing{};
  ClassCounts CalmAll{};
  ClassCounts WeakAll{};
  std::array<MetDirection, kDirections> Directions{};
  // Valid hours by stability class, by day and by night (for the stability chart).
  ClassCounts DayHours{};
  ClassCounts NightHours{};
};

// Counts one hour: returns the cause when it is missing, nothing when it is valid.
std::optional<MissingCause> CountHour(const HourObservation& hour, const MetCountSettings& settings,
                                      MetTally& tally);

}  // namespace vmk
