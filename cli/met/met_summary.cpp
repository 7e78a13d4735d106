#include "cli/met/met_summary.h"

#include <cstdio>

#include "cli/support/cli_support.h"
#include "met/cloud_fill.h"

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

// The rejected lines of a file: by cause, then the first of them with their reasons.
std::string RejectedLines(const std::vector<std::pair<std::string, long long>>& byCause,
                          const std::vector<RejectedLine>& first, long long rejected) {
  std::string s;
  for (const auto& [cause, lines] : byCause) {
    s += "  " + Left(cause, 28) + Right(std::to_string(lines), 6) + "\n";
  }
  for (const RejectedLine& line : first) {
    s += "  line " + std::to_string(line.Line) + ": " + line.Reason + "\n";
  }
  if (rejected > static_cast<long long>(first.size())) {
    s += "  (the first " + std::to_string(first.size()) + " of " + std::to_string(rejected) +
         " rejected lines shown)\n";
  }
  return s;
}

// The night hours by the method that classified them, and the cloud amounts' fill rule.
std::string NightMethods(const HourlyReadResult& r) {
  if (!r.Stats.NightMethods) return "";
  const NightMethodCounts& n = *r.Stats.NightMethods;
  std::string s = "night classes : ";
  for (std::size_t i = 0; i < n.size(); ++i) {
    s += (i > 0 ? ", " : "") + std::to_string(n[i]) + " by " + std::string(kNightMethodNames[i]);
  }
  s += "\n                (net radiation first, then cloud amount, then with --night-by-wind "
       "the wind speed alone, an approximation)\n";
  if (r.CloudFilled) s += "cloud amount  : " + std::string(kCloudFillRule) + "\n";
  return s;
}

}  // namespace

std::string MetSummary(const HourlyReadResult& r, const std::string& shownName,
                       const std::string& radiationName) {
  const MetStats& m = r.Stats;
  std::string s;
  s += "read          : " + shownName + " (" + r.Form + ")\n";
  if (r.Joined) {
    s += "radiation     : " + radiationName + " (" + r.Joined->Form + ")" +
         (r.Joined->Station.empty() ? "" : ", station " + r.Joined->Station) + "\n";
  }
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
  s += RejectedLines(r.RejectedByCause, r.FirstRejected, r.LinesRejected);
  if (r.Joined) {
    const JoinedFileResult& j = *r.Joined;
    s += "radiation lines: " + std::to_string(j.DataLines) + " data lines, " +
         std::to_string(j.LinesOutside) + " outside the period, " +
         std::to_string(j.LinesRejected) + " rejected\n";
    s += RejectedLines(j.RejectedByCause, j.FirstRejected, j.LinesRejected);
    s += "joined        : " + std::to_string(j.HoursOnlyInFirst) + " hours with a line in " +
         shownName + " only, " + std::to_string(j.HoursOnlyInSecond) + " in " + radiationName +
         " only\n";
  }
  if (r.LinesRejected > 0 || (r.Joined && r.Joined->LinesRejected > 0)) {
    // A rejected line still gives its hour: valid when the value it lacks is not needed.
    s += "  (a value that cannot be read counts as missing; its hour is still valid when it does "
         "not need that value, as a calm hour needs no direction)\n";
  }
  s += NightMethods(r);
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

int FinishWritten(const std::vector<std::string>& written) {
  if (!written.empty()) Write("\n");
  for (const std::string& w : written) Write("written       : " + w + "\n");
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "vmk-met: cannot write the summary\n");
    return kExitOutputFailed;
  }
  return kExitNormal;
}

int CannotWrite(const std::string& what) {
  std::fflush(stdout);
  std::fprintf(stderr, "vmk-met: cannot write %s\n", what.c_str());
  return kExitOutputFailed;
}

}  // namespace vmk::cli
