// Hours of observation: an hour is named by the local time at which it ends ("2025-04-01
// 01:00" is the hour from midnight to one o'clock), and counted as whole hours since
// 1970-01-01 00:00 of the same clock, so that two hours differ by a plain subtraction.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vmk {

// The number of the hour that ends at the given local time (hour 1 of 1970-01-01 is the one
// ending at 01:00).
using HourNumber = long long;

enum class HourTextProblem {
  None,
  NotATime,    // not a date and time of the accepted forms, or no such date
  NotOnHour,   // minutes or seconds other than zero
};

// "2025-04-01 01:00", "2025/4/1 1:00" or "2025/4/1 1:00:00" (a "T" may stand for the blank;
// "24:00" is the end of the day). Years 1800 to 2200.
std::optional<HourNumber> ParseHourText(std::string_view text, HourTextProblem* problem = nullptr);

// The hour from separate year, month, day and hour fields (the agency's split date form).
std::optional<HourNumber> HourFromFields(std::string_view year, std::string_view month,
                                         std::string_view day, std::string_view hour);

// For --from: an hour as above, or a date alone, which means the first hour of that day (the
// one ending at 01:00). For --to: a date alone means its last hour (ending at 24:00).
std::optional<HourNumber> ParseHourOrDay(std::string_view text, bool endOfDay);

// "2025-04-01 01:00"; the hour ending at midnight is written as 00:00 of the next day.
std::string HourText(HourNumber hour);

// The days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
long long DaysFromCivil(int year, int month, int day);
void CivilFromDays(long long days, int& year, int& month, int& day);

}  // namespace vmk
