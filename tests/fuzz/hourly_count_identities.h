// The identities every result of the hourly reader holds, checked by the unit tests and the
// fuzz targets alike: valid + missing = the hours read (at most a leap year), the weak rows of
// the 16 directions add up to the all-direction row, calm + weak + windy = valid, day + night =
// valid, no count outside 0 to 8784, the rejected lines add up by cause, each kept reason is one
// line, and the met statistics file written from the counts reads back the same.
#pragma once

#include <string>

#include "input/model_parameters.h"
#include "met/hourly_reader.h"
#include "met/met_stats.h"

namespace vmk {

// The first identity the result breaks, as text; empty when it holds them all.
inline std::string BrokenHourlyIdentity(const HourlyReadResult& r) {
  const MetStats& m = r.Stats;
  const auto outside = [](const ClassCounts& counts) {
    for (int n : counts) {
      if (n < 0 || n > MaxFreqHours) return true;
    }
    return false;
  };
  int missing = 0;
  for (const auto& [cause, hours] : m.MissingHours) {
    if (hours < 0) return "a negative count of missing hours: " + cause;
    missing += hours;
  }
  if (m.ValidHours + missing != m.HoursRead) return "valid + missing is not the hours read";
  if (m.HoursRead > kMaxPeriodHours) return "more hours than a leap year";
  if (outside(m.CalmAll) || outside(m.WeakAll) || outside(r.DayHours) || outside(r.NightHours)) {
    return "a count outside 0 to 8784";
  }
  ClassCounts weak{};
  int windy = 0;
  for (const MetDirection& d : m.Directions) {
    if (outside(d.Weak)) return "a count outside 0 to 8784";
    for (std::size_t s = 0; s < weak.size(); ++s) weak[s] += d.Weak[s];
    for (const ClassCounts& c : d.Windy) {
      if (outside(c)) return "a count outside 0 to 8784";
      windy += TotalHours(c);
    }
  }
  if (weak != m.WeakAll) return "the weak rows do not add up to the all-direction row";
  if (TotalHours(m.CalmAll) + TotalHours(m.WeakAll) + windy != m.ValidHours) {
    return "calm + weak + windy is not the valid hours";
  }
  if (TotalHours(r.DayHours) + TotalHours(r.NightHours) != m.ValidHours) {
    return "day + night is not the valid hours";
  }
  long long rejected = 0;
  for (const auto& [cause, lines] : r.RejectedByCause) rejected += lines;
  if (rejected != r.LinesRejected) return "the rejected lines by cause do not add up";
  if (r.LinesRejected + r.LinesOutside > r.DataLines) return "more lines rejected than read";
  if (r.FirstRejected.size() > kRejectedLinesKept ||
      static_cast<long long>(r.FirstRejected.size()) > r.LinesRejected) {
    return "more rejected lines kept than allowed or rejected";
  }
  for (const RejectedLine& line : r.FirstRejected) {
    if (line.Reason.empty() || line.Reason.find_first_of("\r\n") != std::string::npos) {
      return "the reason of line " + std::to_string(line.Line) + " is not one line";
    }
  }
  if (m.ValidHours == 0) return "";  // nothing is written then
  MetStats back;
  try {
    back = ParseMetStats(MetStatsJson(m));
  } catch (const MetStatsError& e) {
    return std::string("a written met file was refused: ") + e.what();
  }
  if (back.CalmAll != m.CalmAll || back.WeakAll != m.WeakAll || back.ValidHours != m.ValidHours) {
    return "a written met file did not read back the same";
  }
  for (std::size_t d = 0; d < m.Directions.size(); ++d) {
    if (back.Directions[d].Weak != m.Directions[d].Weak ||
        back.Directions[d].Windy != m.Directions[d].Windy) {
      return "a direction of a written met file did not read back the same";
    }
  }
  return "";
}

}  // namespace vmk
