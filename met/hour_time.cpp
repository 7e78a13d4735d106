#include "met/hour_time.h"

#include <cstdio>

#include "met/hourly_text.h"

namespace vmk {
namespace {

constexpr int kFirstYear = 1800;
constexpr int kLastYear = 2200;

// Reads `minDigits` to `maxDigits` decimal digits at `i`; false when fewer, or when another
// digit follows.
bool Digits(std::string_view s, std::size_t& i, int minDigits, int maxDigits, int& value) {
  value = 0;
  int n = 0;
  while (i < s.size() && n < maxDigits && s[i] >= '0' && s[i] <= '9') {
    value = value * 10 + (s[i] - '0');
    ++i;
    ++n;
  }
  return n >= minDigits && !(i < s.size() && s[i] >= '0' && s[i] <= '9');
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

bool ValidDate(int y, int m, int d) {
  return y >= kFirstYear && y <= kLastYear && m >= 1 && m <= 12 && d >= 1 &&
         d <= DaysInMonth(y, m);
}

// The date part "2025-04-01" or "2025/4/1" (one separator kind throughout).
bool ParseDate(std::string_view s, std::size_t& i, int& y, int& m, int& d) {
  if (!Digits(s, i, 4, 4, y) || i >= s.size() || (s[i] != '-' && s[i] != '/')) return false;
  const char sep = s[i++];
  if (!Digits(s, i, 1, 2, m) || i >= s.size() || s[i] != sep) return false;
  ++i;
  return Digits(s, i, 1, 2, d) && ValidDate(y, m, d);
}

HourNumber Hour(int y, int m, int d, int h) { return DaysFromCivil(y, m, d) * 24 + h; }

}  // namespace

long long DaysFromCivil(int year, int month, int day) {
  // The days-from-civil algorithm of H. Hinnant: eras of 400 years starting in March.
  const long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long days, int& year, int& month, int& day) {
  const long long z = days + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

std::optional<HourNumber> ParseHourText(std::string_view text, HourTextProblem* problem) {
  HourTextProblem dummy;
  HourTextProblem& p = problem ? *problem : dummy;
  p = HourTextProblem::NotATime;
  const std::string_view s = TrimBlanks(text);
  std::size_t i = 0;
  int y = 0, m = 0, d = 0;
  if (!ParseDate(s, i, y, m, d)) return std::nullopt;
  if (i < s.size() && s[i] == 'T') {
    ++i;
  } else {
    const std::size_t before = i;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i == before) return std::nullopt;
  }
  int h = 0, min = 0, sec = 0;
  if (!Digits(s, i, 1, 2, h) || i >= s.size() || s[i] != ':') return std::nullopt;
  ++i;
  if (!Digits(s, i, 2, 2, min)) return std::nullopt;
  if (i < s.size() && s[i] == ':') {
    ++i;
    if (!Digits(s, i, 2, 2, sec)) return std::nullopt;
  }
  if (i != s.size() || h > 24 || min > 59 || sec > 59) return std::nullopt;
  if (min != 0 || sec != 0) {
    p = HourTextProblem::NotOnHour;
    return std::nullopt;
  }
  p = HourTextProblem::None;
  return Hour(y, m, d, h);
}

std::optional<HourNumber> HourFromFields(std::string_view year, std::string_view month,
                                         std::string_view day, std::string_view hour) {
  int v[4] = {};
  const std::string_view parts[4] = {TrimBlanks(year), TrimBlanks(month), TrimBlanks(day),
                                     TrimBlanks(hour)};
  const int maxDigits[4] = {4, 2, 2, 2};
  for (int k = 0; k < 4; ++k) {
    std::size_t i = 0;
    if (!Digits(parts[k], i, 1, maxDigits[k], v[k]) || i != parts[k].size()) return std::nullopt;
  }
  if (!ValidDate(v[0], v[1], v[2]) || v[3] > 24) return std::nullopt;
  return Hour(v[0], v[1], v[2], v[3]);
}

std::optional<HourNumber> ParseHourOrDay(std::string_view text, bool endOfDay) {
  const std::string_view s = TrimBlanks(text);
  std::size_t i = 0;
  int y = 0, m = 0, d = 0;
  if (ParseDate(s, i, y, m, d) && i == s.size()) return Hour(y, m, d, endOfDay ? 24 : 1);
  return ParseHourText(s);
}

std::string HourText(HourNumber hour) {
  const long long days = hour >= 0 ? hour / 24 : (hour - 23) / 24;
  const int h = static_cast<int>(hour - days * 24);
  int y = 0, m = 0, d = 0;
  CivilFromDays(days, y, m, d);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:00", y, m, d, h);
  return buf;
}

}  // namespace vmk
