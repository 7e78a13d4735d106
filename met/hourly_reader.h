// Reading a file of hourly observations into the frequency tables of all 16 directions. Two
// forms are read, told apart by their first line:
// - a plain CSV (UTF-8 with or without a byte order mark, or code page 932) whose header names
//   the columns: time or 日時, wd or 風向, ws or 風速, and stability or 安定度, or solar or
//   日射量 with net or 放射収支量;
// - the Japan Meteorological Agency's download CSV (code page 932): the download-time line,
//   a blank line, the station names, the item names and the rows naming the flag columns.
// A night hour without net radiation takes its class from its cloud amount (雲量, filled from
// the observations of the same day, cloud_fill.h), or, only when asked for, from its wind
// speed alone. A second file, of either form, may give the solar radiation, net radiation and
// cloud amount that the first lacks, joined by the hour.
// The file is read line by line, and stops with an error as soon as a line grows beyond
// kMaxHourlyLineBytes or the file beyond kMaxHourlyFileBytes (met/hourly_text.h), so any stream
// of bytes, an endless one too, gives either counts or one error, in time proportional to its
// size up to those limits.
//
// The reading is in parts: hourly_columns.h (the columns a file may give, as one table),
// hourly_header.h (the header of either form), hourly_line.h (a data line's hour and values),
// hourly_file.h (a file's lines) and hourly_reader.cpp (the files, the period and the counts).
#pragma once

#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "input/model_parameters.h"
#include "met/hour_time.h"
#include "met/met_count.h"
#include "met/met_stats.h"
#include "met/stability_table.h"
#include "met/sun.h"

namespace vmk {

// The most hours a file may cover: a leap year, the window's limit of the valid hours.
inline constexpr int kMaxPeriodHours = MaxFreqHours;

// The agency's quality flag of a normal value; a value with any other flag counts as missing.
inline constexpr std::string_view kAgencyNormalFlag = "8";

// How many rejected lines a reader keeps with their line number and reason.
inline constexpr std::size_t kRejectedLinesKept = 20;

// Why a data line was rejected (its first problem); kLineRejections below names each.
enum class LineRejection {
  NoTime, BadTime, NotOnHour, TooFewFields, BadSpeed, BadDirection, BadStability,
  BadSolar, BadNet, BadFlag, BadCloud
};

// The causes with their names, those of HourlyReadResult::RejectedByCause.
inline constexpr auto kLineRejections = std::to_array<NamedCause<LineRejection>>({
    {LineRejection::NoTime, "no time"},
    {LineRejection::BadTime, "unreadable time"},
    {LineRejection::NotOnHour, "time not on the hour"},
    {LineRejection::TooFewFields, "too few fields"},
    {LineRejection::BadSpeed, "unreadable speed"},
    {LineRejection::BadDirection, "unreadable direction"},
    {LineRejection::BadStability, "unreadable stability"},
    {LineRejection::BadSolar, "unreadable solar radiation"},
    {LineRejection::BadNet, "unreadable net radiation"},
    {LineRejection::BadFlag, "unreadable quality flag"},
    {LineRejection::BadCloud, "unreadable cloud amount"},
});
static_assert(InCauseOrder(kLineRejections));

struct HourlyReadOptions {
  bool Degrees = false;              // numeric directions are degrees, not codes 0 to 16
  std::optional<HourNumber> From;    // the first hour counted (the hour ending then)
  std::optional<HourNumber> To;      // the last hour counted
  std::optional<SunSite> Site;       // day and night by the sun's position
  const StabilityTable* Table = nullptr;  // nullptr: the built-in table
  std::optional<std::string> Station;     // the station's name (UTF-8), over the file's own
  // A night without net radiation or cloud amount by the wind speed alone (NightClassByWind).
  bool NightByWind = false;
  // A second file whose solar radiation, net radiation and cloud amount are taken where the
  // first file has no such column, joined by the hour; its other columns are not read.
  std::istream* Radiation = nullptr;
};

struct RejectedLine {
  long long Line = 0;
  std::string Reason;  // UTF-8, one line
};

// The lines of the second file of a join, and the hours of the period only one file has.
struct JoinedFileResult {
  std::string Form;
  std::string Station;
  long long DataLines = 0;
  long long LinesOutside = 0;     // lines whose hour lies outside the first file's period
  long long LinesRejected = 0;
  std::vector<std::pair<std::string, long long>> RejectedByCause;
  std::vector<RejectedLine> FirstRejected;
  int HoursOnlyInFirst = 0;       // hours of the period with a line in the first file only
  int HoursOnlyInSecond = 0;      // and in the second only (missing: "no line")
};

struct HourlyReadResult {
  MetStats Stats;                 // representative speeds at their start-up values
  std::string Form;               // what the file was read as: "plain CSV, UTF-8", ...
  long long DataLines = 0;        // lines after the header rows, blank lines not counted
  long long LinesOutside = 0;     // data lines whose hour lies outside --from/--to
  long long LinesRejected = 0;    // data lines with something that could not be read
  std::vector<std::pair<std::string, long long>> RejectedByCause;  // the causes that occurred
  std::vector<RejectedLine> FirstRejected;  // the first kRejectedLinesKept of them
  ClassCounts DayHours{};         // valid hours by stability class, by day
  ClassCounts NightHours{};       // and by night
  std::vector<std::string> Notes;  // what the user should know about the counts (UTF-8)
  bool CloudFilled = false;        // the night was classified by cloud amount (cloud_fill.h)
  std::optional<JoinedFileResult> Joined;  // with a second file
};

// A file that cannot be read as either form, or whose hours cannot be counted (two lines for
// one hour, more than kMaxPeriodHours); what() is one line of UTF-8. File() says which file:
// 0 the first, 1 the second of a join (or the number the caller gave HourlyFile).
class HourlyFileError : public std::runtime_error {
 public:
  explicit HourlyFileError(const std::string& what, int file = 0)
      : std::runtime_error(what), file_(file) {}
  int File() const { return file_; }

 private:
  int file_;
};

// Reads the whole stream. Raises HourlyFileError.
HourlyReadResult ReadHourlyObservations(std::istream& in, const HourlyReadOptions& options);

}  // namespace vmk
