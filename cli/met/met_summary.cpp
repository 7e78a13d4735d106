#include "cli/met/met_summary.h"

#include <cstdio>

namespace vmk::cli {
namespace {

std::string Percent(int hours, int of) {
  if (of <= 0) return "-";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", hours * 100.0 / of);
  return buf;
}

// The text right-aligned in `width` columns (texts here are ASCII).
std::string Right(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string Left(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::string MetSummary(const HourlyReadResult& r, const std::string& shownName) {
  const MetStats& m = r.Stats;
  std::string s;
  s += "read          : " + shownName + " (" + r.Form + ")\n";
  s += "station       : " + (m.Station.empty() ? std::string("(not named)") : m.Station) + "\n";
  if (m.HoursRead > 0) {
    s += "period        : " + m.From + " to " + m.To + " (" + std::to_string(m.HoursRead) +
         " hours)\n";
  } else {
    s += "period        : (no hour)\n";
  }
  s += "valid hours   : " + std::to_string(m.ValidHours) + " (" +
       Percent(m.ValidHours, m.HoursRead) + " %)\n";
  int missing = 0;
  for (const auto& [cause, hours] : m.MissingHours) missing += hours;
  s += "missing hours : " + std::to_string(missing) + "\n";
  for (const auto& [cause, hours] : m.MissingHours) {
    if (hours > 0) s += "  " + Left(cause, 20) + Right(std::to_string(hours), 6) + "\n";
  }
  s += "lines         : " + std::to_string(r.DataLines) + " data lines, " +
       std::to_string(r.LinesOutside) + " outside --from/--to, " +
       std::to_string(r.LinesRejected) + " rejected\n";
  for (const auto& [cause, lines] : r.RejectedByCause) {
    s += "  " + Left(cause, 28) + Right(std::to_string(lines), 6) + "\n";
  }
  for (const RejectedLine& line : r.FirstRejected) {
    s += "  line " + std::to_string(line.Line) + ": " + line.Reason + "\n";
  }
  if (r.LinesRejected > static_cast<long long>(r.FirstRejected.size())) {
    s += "  (the first " + std::to_string(r.FirstRejected.size()) + " of " +
         std::to_string(r.LinesRejected) + " rejected lines shown)\n";
  }
  if (r.LinesRejected > 0) {
    // A rejected line still gives its hour: valid when the value it lacks is not needed.
    s += "  (a value that cannot be read counts as missing; its hour is still valid when it does "
         "not need that value, as a calm hour needs no direction)\n";
  }
  for (const std::string& note : r.Notes) s += "note          : " + note + "\n";
  if (m.ValidHours == 0) return s;  // no table to show

  // Hours by direction and speed class.
  const int valid = m.ValidHours;
  s += "\nhours by the direction the wind blows from and speed class (m/s):\n";
  s += "dir   0.5-0.9 1.0-1.9 2.0-2.9 3.0-3.9 4.0-5.9 6.0-7.9    8.0-   total      %\n";
  for (int d = 0; d < kDirections; ++d) {
    const MetDirection& dir = m.Directions[static_cast<std::size_t>(d)];
    std::string row = Left(std::string(kDirectionNames[static_cast<std::size_t>(d)]), 4);
    row += Right(std::to_string(TotalHours(dir.Weak)), 8);
    for (const ClassCounts& windy : dir.Windy) row += Right(std::to_string(TotalHours(windy)), 8);
    const int total = TotalHours(dir);
    row += Right(std::to_string(total), 8) + Right(Percent(total, valid), 7);
    s += row + "\n";
  }
  const int calm = TotalHours(m.CalmAll);
  s += Left("calm", 60) + Right(std::to_string(calm), 8) + Right(Percent(calm, valid), 7) + "\n";
  s += Left("all", 60) + Right(std::to_string(valid), 8) + Right(Percent(valid, valid), 7) + "\n";

  // Hours by stability class.
  s += "\nhours by stability class:\n";
  std::string head = Left("", 8);
  for (std::string_view name : kMetStabilityNames) head += Right(std::string(name), 6);
  s += head + Right("total", 8) + "\n";
  const auto classRow = [&](const char* label, const ClassCounts& counts) {
    std::string row = Left(label, 8);
    for (int v : counts) row += Right(std::to_string(v), 6);
    return row + Right(std::to_string(TotalHours(counts)), 8) + "\n";
  };
  ClassCounts all{};
  for (int c = 0; c < kStabilityClasses; ++c) {
    const std::size_t i = static_cast<std::size_t>(c);
    all[i] = r.DayHours[i] + r.NightHours[i];
  }
  s += classRow("day", r.DayHours);
  s += classRow("night", r.NightHours);
  s += classRow("calm", m.CalmAll);
  s += classRow("weak", m.WeakAll);
  s += classRow("all", all);
  return s;
}

}  // namespace vmk::cli
