// The met statistics file ("vmk-met/1"): the frequency tables of all 16 wind directions of a
// site, counted from hourly observations, and the window's grid for one of the directions.
#pragma once

#include <array>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "form/form_record.h"

namespace vmk {

inline constexpr std::string_view kMetFormat = "vmk-met/1";
inline constexpr int kDirections = 16;
inline constexpr int kStabilityClasses = 11;
inline constexpr int kWindyClasses = 6;

// The 16 directions the wind blows from, clockwise from north: index 0 is N, 4 is E.
inline constexpr std::array<std::string_view, kDirections> kDirectionNames = {
    "N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
    "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
// The same directions in Japanese (UTF-8).
inline constexpr std::array<std::string_view, kDirections> kDirectionNamesJa = {
    "北", "北北東", "北東", "東北東", "東", "東南東", "南東", "南南東",
    "南", "南南西", "南西", "西南西", "西", "西北西", "北西", "北北西"};

// The stability classes as the file names them, in the grid's order.
inline constexpr std::array<std::string_view, kStabilityClasses> kMetStabilityNames = {
    "A", "A-B", "B", "B-C", "C", "C-D", "Dd", "Dn", "E", "F", "G"};

// Representative wind speeds of calm, weak wind and windy classes 1 to 6 (the grid's start-up
// values), m/s.
inline constexpr std::array<float, 8> kDefaultRepresentativeSpeeds = {0.4f, 0.7f, 1.5f, 2.5f,
                                                                      3.5f, 5.0f, 7.0f, 9.0f};

using ClassCounts = std::array<int, kStabilityClasses>;  // hours by stability class

// How the night hours were classified where the table classified them, as the file's
// "nightMethod" names them: by net radiation, by cloud amount, or by the wind speed alone (an
// approximation, only when asked for).
inline constexpr std::array<std::string_view, 3> kNightMethodNames = {
    "net radiation", "cloud amount", "wind speed"};
using NightMethodCounts = std::array<int, kNightMethodNames.size()>;  // night hours by method

// The hours of all stability classes together.
inline int TotalHours(const ClassCounts& counts) {
  return std::accumulate(counts.begin(), counts.end(), 0);
}

struct MetDirection {
  ClassCounts Weak{};                                // weak-wind hours of this direction
  std::array<ClassCounts, kWindyClasses> Windy{};    // windy class 1 first
};

// The windy hours of a direction, of every class; and all its hours, weak wind and windy.
inline int WindyHours(const MetDirection& d) {
  int hours = 0;
  for (const ClassCounts& counts : d.Windy) hours += TotalHours(counts);
  return hours;
}
inline int TotalHours(const MetDirection& d) { return TotalHours(d.Weak) + WindyHours(d); }

struct MetStats {
  std::string Station;  // UTF-8; may be empty
  std::string From;     // first hour, "2025-04-01 01:00" (the hour ending then); may be empty
  std::string To;       // last hour
  int HoursRead = 0;
  int ValidHours = 0;
  std::vector<std::pair<std::string, int>> MissingHours;  // cause, hours
  // The night hours by the method that classified them; written only when a night could be
  // classified otherwise than by net radiation (cloud amount, or the wind when asked for).
  std::optional<NightMethodCounts> NightMethods;
  std::array<float, 8> RepresentativeSpeeds = kDefaultRepresentativeSpeeds;
  ClassCounts CalmAll{};  // calm hours of all directions
  ClassCounts WeakAll{};  // weak-wind hours of all directions
  std::array<MetDirection, kDirections> Directions{};
};

// A met statistics file that cannot be used; what() is one line of UTF-8.
class MetStatsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file's text: UTF-8 JSON, keys in a fixed order, each list of 11 on one line.
std::string MetStatsJson(const MetStats& stats);

// Reads and checks a met statistics file's text: the format "vmk-met/1", every count an
// integer from 0 to 8784 (the window's limit), the valid hours from 1 to 8784, 8 finite
// representative speeds, all 16 directions, no unknown key; "nightMethod" may be absent, else
// its night hours by method add up to at most the valid hours. Raises MetStatsError.
MetStats ParseMetStats(std::string_view utf8);

// The index 0..15 of a direction's English name (N, NNE, ..., NNW; case-insensitive), or none.
std::optional<int> DirectionIndex(std::string_view name);

// Puts the table of direction d (0..15) into the form as a user would type it: grid rows 1 to
// 9, columns 1 to 12 (the representative speeds, calm and weak-wind hours of all directions,
// the weak-wind and windy hours of d), `FreqTotalEdit` the valid hours, `WDEdit` the
// direction's name. The other controls are left as they are.
void ApplyMetDirection(const MetStats& stats, int d, FormRecord& form);

}  // namespace vmk
