// vmk-met: the frequency tables of all 16 wind directions from a year of hourly observations,
// as the met statistics file, the window's case file of one direction, and pictures.
#include <iterator>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/frequency_grid.h"
#include "casefile/case_file.h"
#include "cli/met/abnormal_year_output.h"
#include "cli/met/met_summary.h"
#include "cli/support/cli_support.h"
#include "cli/support/command_line.h"
#include "common/number_read.h"
#include "cli/support/picture_file.h"
#include "common/atomic_file.h"
#include "common/json_document.h"
#include "met/hourly_reader.h"
#include "met/met_stats.h"
#include "met/stability_table.h"
#include "platform/files.h"
#include "plot/met_charts.h"

namespace vmk::cli {
namespace {

constexpr std::string_view kProgram = "vmk-met";

// No valid hour: nothing was written.
constexpr int kExitNoValidHour = 1;

// A stability table file is a few hundred bytes; anything beyond this is not one.
constexpr std::size_t kMaxTableFileBytes = 1024 * 1024;

constexpr std::string_view kUsage =
    "Usage: vmk-met HOURLY.csv [-o MET.json] [--case CASE.json --direction D] [--rose FILE]\n"
    "               [--stability-chart FILE] [--degrees] [--stability-table FILE]\n"
    "               [--from TIME] [--to TIME] [--lat DEG --lon DEG [--utc-offset H]]\n"
    "               [--station NAME] [--radiation STATION.csv] [--night-by-wind]\n"
    "       vmk-met --abnormal-year YEAR.csv --reference REFERENCE.csv [MORE.csv ...]\n"
    "               [-o TEST.csv] [--abnormal-chart FILE] [--significance 5|1]\n"
    "               [--from TIME] [--to TIME] [--degrees]\n"
    "       vmk-met --print-stability-table | --help | --version\n";

constexpr std::string_view kOptionsHelp = R"help(
Counts hourly observations of one site into the frequency tables of all 16 wind
directions (the grid of the window, for each direction), writes them as a met
statistics file and prints a summary.

  HOURLY.csv        the hourly observations (below), or - for standard input
  -o, --output MET.json
                    write the met statistics file ("format": "vmk-met/1", UTF-8
                    JSON): station, from, to, hoursRead, validHours,
                    missingHours (by cause), representativeSpeeds, the 11
                    stabilityClasses, calmAll and weakAll, and for each
                    direction N ... NNW its weak row and its 6 windy rows
  --case CASE.json  also write the window's case file of one direction: the
                    grid's rows 1 to 9, FreqTotalEdit (the valid hours) and
                    WDEdit, every other input at its start-up value; vmk-calc
                    and the window open it
  --direction D     the direction of --case: N, NNE, ..., NNW or 北 ... 北北西
  --rose FILE       draw the wind rose (FILE.png or FILE.svg): each direction's
                    share of the valid hours by speed class, calm in the centre
  --stability-chart FILE
                    draw the hours of each stability class by day and by night
  --degrees         numeric directions are degrees, not codes 0 to 16
  --stability-table FILE
                    classify with the table in FILE instead of the built-in one
  --print-stability-table
                    print the built-in table, a file to start from
  --from TIME, --to TIME
                    count only the hours from TIME to TIME (both included):
                    "2025-04-01 01:00", or a date alone ("2025-04-01": from its
                    first hour, to its last hour, the one ending at 24:00)
  --lat DEG, --lon DEG
                    the site (degrees, north and east positive): day and night
                    by the sun
  --utc-offset H    the file's clock minus UTC in hours (default 9, Japan)
  --station NAME    the station's name in the file (default: the agency file's
                    station; none for a plain CSV)
  --radiation STATION.csv
                    take the solar radiation, net radiation and cloud amount
                    that HOURLY.csv lacks from STATION.csv (either form, such
                    as the nearest staffed station's), joined by the hour; the
                    wind always comes from HOURLY.csv
  --night-by-wind   classify a night hour with neither net radiation nor cloud
                    amount by its wind speed alone (an approximation: below
                    2.0 m/s F, 2.0 to 2.9 E, 3.0 and above D); never without
                    this option
  --abnormal-year YEAR.csv
                    the abnormal-year test (異常年検定) of the wind of YEAR.csv
                    (or its hours --from, --to) against the reference years:
                    the shares of the 16 directions and calm, and of the speed
                    classes calm, weak wind and windy 1 to 6, each tested by
                    the F-distribution rejection test; -o writes the table
                    (CSV, UTF-8), a summary is printed
  --reference REFERENCE.csv
                    the reference (one file of ten years, say); every other
                    file named is reference too. It is split into years of the
                    tested period's dates and hours; a year that reaches beyond
                    the reference files' hours is left out
  --abnormal-chart FILE
                    draw the tested year against the bounds (FILE.png or .svg)
  --significance 5|1
                    the significance level in percent (default 5)
  --help            print this text
  --version         print the version stamp
)help";

constexpr std::string_view kHelp = R"help(
Input, told apart by its first line:
Plain CSV, UTF-8 (with or without byte order mark) or code page 932: a header
line naming the columns in any order and any case (other columns are ignored;
a unit in brackets after a name is allowed, "ws (m/s)"):
  time or 日時        the hour, by the time it ends: "2025-04-01 01:00",
                      "2025/4/1 1:00" or "2025/4/1 1:00:00" (24:00 allowed)
  wd or 風向          the direction the wind blows from (Directions below)
  ws or 風速          the wind speed, m/s
  stability or 安定度 A, A-B, B, B-C, C, C-D, D, E, F or G (also Dd, Dn); D is
                      Dd by day and Dn by night
  or, instead of stability: solar or 日射量 (solar radiation T) and net or
  放射収支量 (net radiation Q), kW/m2 (MJ/m2 in the hour when the column's unit
  says MJ: "solar (MJ/m2)"), and/or cloud or 雲量 (cloud amount, tenths of the
  sky, 0 to 10, also 0+ and 10-).
Japan Meteorological Agency download CSV (過去の気象データ・ダウンロード, code
page 932): the hourly values of one station, with 風向・風速 and 日射量 (MJ/m2 in
the hour, divided by 3.6 for kW/m2); 放射収支量 is read when present. Quality
flags (品質情報): only 8 (正常値) counts as normal. A value with any other flag,
5 (準正常値), 4 (資料不足値), 2 (疑問値), 1 (欠測) or 0 (観測値なし), counts as
missing. Homogeneity numbers (均質番号) and phenomenon flags (現象なし情報) are
not used. 雲量 (cloud amount, 0 to 10 with 0+ counted as 0 and 10- as 10) is
read when present. The agency gives no net radiation: its night hours count as
missing unless the file has 放射収支量 or 雲量 (or --night-by-wind).

Directions: N, NNE, ..., NNW (any case); 北, 北北東, 北東, 東北東, 東, 東南東, 南東,
南南東, 南, 南南西, 南西, 西南西, 西, 西北西, 北西, 北北西; codes 1 to 16 (1 = NNE,
4 = E, 16 = N) with 0 for calm; with --degrees, 0 to 360 (0 and 360 are north; a
sector is 22.5 degrees centred on its direction, a boundary such as 11.25
belonging to the sector clockwise of it). Calm also as 静穏, CALM or C.

Counting: the speed is rounded half up to 0.1 m/s on its decimal text (0.45 is
0.5, 0.449 is 0.4). Calm is up to 0.4 m/s, weak wind 0.5 to 0.9, windy classes
1 to 6 start at 1.0, 2.0, 3.0, 4.0, 6.0 and 8.0 m/s. The stability class is the
file's, or the table's for the speed and the solar radiation T by day or the
net radiation Q by night; a night hour without Q takes its class from its cloud
amount, and without either, with --night-by-wind, from its speed alone. The
agency observes cloud every 3 hours: an hour without its own cloud amount
takes the nearest observation of the same day, at most 3 hours away, the
earlier on a tie (1 and 2 h take 3 h, 22 to 24 h take 21 h). An hour is day when the sun has risen at the middle
of the hour (with --lat and --lon: its upper limb above the horizon, as sunrise
times are published), otherwise when its solar radiation is above 0.
An hour is valid with a speed, a stability class and, unless calm, a
direction. Every other hour of the period is missing, counted by cause:
  no line             no line for the hour, or its time could not be read
  no speed            blank, unreadable or flagged wind speed
  no direction        0.5 m/s or more without a usable direction
  calm direction      0.5 m/s or more with a direction that says calm
  no stability        blank or unreadable stability class
  no day or night     a D class, with no --lat/--lon and no solar radiation
  no solar radiation  a day hour (or, without --lat/--lon, any hour) without T
  no net radiation    a night hour without Q
  no cloud amount     a night hour without Q and without a cloud amount near
                      it, when the night is classified by cloud amount
The period runs from the first to the last hour of the file (or --from, --to)
and holds at most 8784 hours (a leap year, the window's limit): a longer file
needs --from and --to. Two lines for one hour are an error.
A data line is rejected when something in it cannot be read: its time, a value,
a quality flag, too few fields, or more than 65536 bytes. Rejected lines are
counted by cause and the first 20 printed with their line number; an
unreadable value counts as missing, a line without a readable time leaves its
hour without a line.

Stability table file (--print-stability-table shows the built-in one): a CSV
whose first row names the columns "speed", T>=x ... T<x, Q>=x ... Q<x (kW/m2),
and, to classify nights by cloud amount, C>=x ... C<x (tenths), then one row
per speed range: its lowest speed (m/s, first 0) and one class per column.

Abnormal-year test: a share is of a year's valid hours (a speed, and unless
calm a direction). With the n reference shares X1 ... Xn, their mean X and
S2 = sum (Xi - X)^2 / n, the tested share X0 gives
F0 = (n - 1)(X0 - X)^2 / ((n + 1) S2): rejected (棄却) when F0 > F(1, n - 1;
0.05), accepted (採択) otherwise; the bounds are X +- S sqrt((n + 1) F / (n - 1)).
When every reference year has the same share, F0 is infinite (rejected) unless
X0 is that share too (0/0: accepted). A year with fewer valid hours than 6000
of 8760 (the same share of a shorter period), fewer than 3 reference years, or
a period starting or ending on 29 February are refused.

Exit status:
  0  the summary was printed and every file written
  1  no valid hour: nothing was written
  2  bad command line, a stability table that cannot be used, or an input
     file that is neither form or cannot be counted (two lines for one hour,
     more than 8784 hours)
  3  a file could not be written
)help";

struct Options {
  bool PrintTable = false;
  std::vector<std::string> Inputs;
  std::optional<std::string> Output;
  std::optional<std::string> Case;
  std::optional<std::string> Direction;
  std::optional<std::string> Rose;
  std::optional<std::string> StabilityChart;
  std::optional<std::string> Table;
  bool Degrees = false;
  std::optional<std::string> From;
  std::optional<std::string> To;
  std::optional<std::string> Lat;
  std::optional<std::string> Lon;
  std::optional<std::string> UtcOffset;
  std::optional<std::string> Station;
  std::optional<std::string> Radiation;
  bool NightByWind = false;
  std::optional<std::string> AbnormalYear;
  std::optional<std::string> Reference;
  std::optional<std::string> AbnormalChart;
  std::optional<std::string> Significance;
};

// The options that are numbers: where the site lies and the file's clock, each within its range.
struct NumberOption {
  const char* Name;
  std::optional<std::string> Options::*Text;
  double Low;
  double High;
  const char* Says;
};
constexpr NumberOption kNumberOptions[] = {
    {"--lat", &Options::Lat, -90, 90, "a latitude from -90 to 90 degrees"},
    {"--lon", &Options::Lon, -180, 360, "a longitude from -180 to 360 degrees"},
    {"--utc-offset", &Options::UtcOffset, -14, 14, "an offset from -14 to 14 hours"},
};

// Reads the command line into `o`; returns the exit status when that is all the program does.
std::optional<int> ReadCommandLine(int argc, char** argv, Options& o) {
  CommandLine line({kProgram, kUsage, kOptionsHelp, kHelp});
  line.Value("-o,--output", o.Output, "a file name for the met statistics (MET.json)");
  line.Value("--case", o.Case, "a file name for the case file (CASE.json)");
  line.Value("--direction", o.Direction, "a direction (N, NNE, ..., NNW)");
  line.Value("--rose", o.Rose, "a picture file name ending in .png or .svg");
  line.Value("--stability-chart", o.StabilityChart, "a picture file name ending in .png or .svg");
  line.Flag("--degrees", o.Degrees);
  line.Value("--stability-table", o.Table, "a stability table file");
  line.Flag("--print-stability-table", o.PrintTable);
  line.Value("--from", o.From, "a time or a date");
  line.Value("--to", o.To, "a time or a date");
  for (const NumberOption& n : kNumberOptions) line.Value(n.Name, o.*n.Text, n.Says);
  line.Value("--station", o.Station, "a name");
  line.Value("--radiation", o.Radiation, "a file of hourly radiation or cloud amount");
  line.Flag("--night-by-wind", o.NightByWind);
  line.Value("--abnormal-year", o.AbnormalYear, "the tested year's hourly file");
  line.Value("--reference", o.Reference, "a file of the reference years");
  line.Value("--abnormal-chart", o.AbnormalChart, "a picture file name ending in .png or .svg");
  line.Value("--significance", o.Significance, "5 or 1 (percent)");
  if (const auto exit = line.Read(argc, argv, o.Inputs)) return exit;
  if (o.AbnormalYear) {
    // The test reads no stability, site or second file, and writes no met file's pictures.
    const std::pair<bool, const char*> others[] = {
        {o.Case.has_value(), "--case"},
        {o.Direction.has_value(), "--direction"},
        {o.Rose.has_value(), "--rose"},
        {o.StabilityChart.has_value(), "--stability-chart"},
        {o.Table.has_value(), "--stability-table"},
        {o.PrintTable, "--print-stability-table"},
        {o.Lat.has_value(), "--lat"},
        {o.Lon.has_value(), "--lon"},
        {o.UtcOffset.has_value(), "--utc-offset"},
        {o.Station.has_value(), "--station"},
        {o.Radiation.has_value(), "--radiation"},
        {o.NightByWind, "--night-by-wind"}};
    for (const auto& [given, name] : others) {
      if (given) return line.Refuse(std::string(name) + " does not go with --abnormal-year");
    }
    if (!o.Reference) return line.Refuse("--abnormal-year needs --reference FILE");
    return std::nullopt;  // every file named is a reference file
  }
  for (const auto& [given, name] : {std::pair{o.Reference.has_value(), "--reference"},
                                    std::pair{o.AbnormalChart.has_value(), "--abnormal-chart"},
                                    std::pair{o.Significance.has_value(), "--significance"}}) {
    if (given) return line.Refuse(std::string(name) + " needs --abnormal-year");
  }
  if (o.PrintTable) {
    if (!o.Inputs.empty()) return line.Refuse("--print-stability-table takes no input file");
    Write(DefaultStabilityTableText());
    return kExitNormal;
  }
  if (o.Inputs.empty()) return line.Refuse("no file of hourly observations given");
  if (o.Inputs.size() > 1) return line.Refuse("more than one input file given");
  return std::nullopt;
}

// The checks that need the whole command line. Returns the problem, or nothing.
std::optional<std::string> CheckOptions(const Options& o, HourlyReadOptions& read,
                                        std::optional<int>& direction) {
  double numbers[std::size(kNumberOptions)] = {};
  for (std::size_t i = 0; i < std::size(kNumberOptions); ++i) {
    const NumberOption& n = kNumberOptions[i];
    const std::optional<std::string>& text = o.*n.Text;
    if (text && (ReadNumber(*text, numbers[i]) != NumberReading::Finite || numbers[i] < n.Low ||
                 numbers[i] > n.High)) {
      return std::string(n.Name) + " " + *text + ": not " + n.Says;
    }
  }
  if (o.Case && !o.Direction) return "--case needs --direction (N, NNE, ..., NNW)";
  if (o.Direction && !o.Case) return "--direction needs --case CASE.json";
  if (o.Direction) {
    direction = DirectionIndex(*o.Direction);
    for (int d = 0; !direction && d < kDirections; ++d) {
      if (*o.Direction == kDirectionNamesJa[static_cast<std::size_t>(d)]) direction = d;
    }
    if (!direction) return "--direction " + *o.Direction + ": not a direction N, NNE, ..., NNW";
  }
  for (const auto* picture : {&o.Rose, &o.StabilityChart}) {
    if (!*picture) continue;
    const char* name = picture == &o.Rose ? "--rose" : "--stability-chart";
    if (auto problem = PictureNameProblem(kProgram, name, **picture)) return problem;
  }
  if (o.Lat.has_value() != o.Lon.has_value()) return "--lat and --lon go together";
  if (o.UtcOffset && !o.Lat) return "--utc-offset needs --lat and --lon";
  if (o.Lat) {
    const auto [lat, lon, offset] = numbers;
    SunSite site;
    site.Latitude = lat;
    site.Longitude = lon > 180 ? lon - 360 : lon;
    if (o.UtcOffset) site.UtcOffsetHours = offset;
    read.Site = site;
  }
  if (o.From) {
    read.From = ParseHourOrDay(*o.From, false);
    if (!read.From) return "--from " + *o.From + ": not a time like 2025-04-01 01:00 or a date 2025-04-01";
  }
  if (o.To) {
    read.To = ParseHourOrDay(*o.To, true);
    if (!read.To) return "--to " + *o.To + ": not a time like 2026-04-01 00:00 or a date 2026-03-31";
  }
  if (read.From && read.To) {
    if (*read.To < *read.From) return "--to " + *o.To + " comes before --from " + *o.From;
    const long long hours = *read.To - *read.From + 1;
    if (hours > kMaxPeriodHours) {
      return "--from " + *o.From + " --to " + *o.To + " are " + std::to_string(hours) +
             " hours, more than one year (" + std::to_string(kMaxPeriodHours) + ")";
    }
  }
  read.Degrees = o.Degrees;
  read.Station = o.Station;
  read.NightByWind = o.NightByWind;
  if (o.Radiation && *o.Radiation == "-" && o.Inputs.front() == "-") {
    return "--radiation -: the hourly file is standard input already";
  }
  return std::nullopt;
}

// An input file's name in messages: "standard input" for "-".
std::string ShownName(const std::string& path) { return path == "-" ? "standard input" : path; }

// Opens an input file ("-" is standard input, opened already); the problem, or nothing.
std::optional<std::string> OpenInput(const std::string& path, std::ifstream& in) {
  if (path == "-") return std::nullopt;
  if (vmk::platform::IsFolder(path)) {
    return path + ": is a folder, not a file of hourly observations";
  }
  in.open(vmk::platform::PathFromUtf8(path), std::ios::binary);
  if (!in) return path + ": cannot be opened (no such file, or no permission)";
  return std::nullopt;
}

std::istream* Stream(const std::string& path, std::ifstream& in) {
  return path == "-" ? static_cast<std::istream*>(&std::cin) : &in;
}

// The user's stability table, or the problem with it (one line).
std::optional<std::string> ReadTable(const std::string& path, StabilityTable& table) {
  try {
    table = ParseStabilityTable(ReadFileBytes(path, kMaxTableFileBytes));
  } catch (const JsonFileError& e) {
    return "--stability-table " + path + ": cannot be read (" + e.what() + ")";
  } catch (const StabilityTableError& e) {
    return "--stability-table " + path + ": " + e.what();
  }
  return std::nullopt;
}

int Run(const Options& o) {
  HourlyReadOptions read;
  std::optional<int> direction;
  if (const auto problem = CheckOptions(o, read, direction)) return ArgumentError(kProgram, *problem);
  StabilityTable table;
  if (o.Table) {
    if (const auto problem = ReadTable(*o.Table, table)) return ArgumentError(kProgram, *problem);
    read.Table = &table;
  }

  const std::string& path = o.Inputs.front();
  const std::string shownName = ShownName(path);
  const std::string radiationName = o.Radiation ? ShownName(*o.Radiation) : "";
  std::ifstream in;
  std::ifstream radiationIn;
  if (const auto problem = OpenInput(path, in)) return ArgumentError(kProgram, *problem);
  if (o.Radiation) {
    if (const auto problem = OpenInput(*o.Radiation, radiationIn)) {
      return ArgumentError(kProgram, "--radiation " + *problem);
    }
    read.Radiation = Stream(*o.Radiation, radiationIn);
  }
  HourlyReadResult result;
  try {
    result = ReadHourlyObservations(*Stream(path, in), read);
  } catch (const HourlyFileError& e) {
    return ArgumentError(kProgram, (e.File() == 1 ? radiationName : shownName) + ": " + e.what());
  }
  for (const auto& [name, stream] : {std::pair{path, Stream(path, in)},
                                     std::pair{o.Radiation.value_or(""), read.Radiation}}) {
    if (stream && stream->bad()) {
      return ArgumentError(kProgram, ShownName(name) + ": cannot be read to its end");
    }
  }

  Write(MetSummary(result, shownName, radiationName));
  if (result.Stats.ValidHours < 1) {
    std::fflush(stdout);
    std::fprintf(stderr, "vmk-met: %s: no valid hour in the period: nothing written\n",
                 shownName.c_str());
    return kExitNoValidHour;
  }

  // Every table of the file must be one the window accepts: the file reads back as written.
  const std::string json = MetStatsJson(result.Stats);
  ParseMetStats(json);

  std::vector<std::string> written;
  try {
    if (o.Output) {
      WriteFileAtomically(*o.Output, json);
      written.push_back(*o.Output + " (met statistics)");
    }
    if (o.Case) {
      FormRecord form = MakeStartupForm();
      ApplyMetDirection(result.Stats, *direction, form);
      WriteFileAtomically(*o.Case, CaseFileText(form));
      written.push_back(*o.Case + " (case file, direction " +
                        std::string(kDirectionNames[static_cast<std::size_t>(*direction)]) + ")");
    }
  } catch (const FileWriteError& e) {
    return CannotWrite(e.what());
  }
  if (o.Rose) {
    if (const auto problem = WritePictureFile(BuildWindRose(result.Stats), *o.Rose)) {
      return CannotWrite(*o.Rose + ": " + *problem);
    }
    written.push_back(*o.Rose + " (wind rose)");
  }
  if (o.StabilityChart) {
    const PlotScene chart = BuildStabilityChart(result.Stats, result.DayHours, result.NightHours);
    if (const auto problem = WritePictureFile(chart, *o.StabilityChart)) {
      return CannotWrite(*o.StabilityChart + ": " + *problem);
    }
    written.push_back(*o.StabilityChart + " (stability chart)");
  }
  return FinishWritten(written);
}

// The abnormal-year test's command line: its own options, the files, the period.
int RunAbnormal(const Options& o) {
  AbnormalYearRun run;
  run.Tested = *o.AbnormalYear;
  run.Reference.push_back(*o.Reference);
  run.Reference.insert(run.Reference.end(), o.Inputs.begin(), o.Inputs.end());
  run.Output = o.Output;
  run.Chart = o.AbnormalChart;
  if (o.AbnormalChart) {
    if (auto problem = PictureNameProblem(kProgram, "--abnormal-chart", *o.AbnormalChart)) {
      return ArgumentError(kProgram, *problem);
    }
  }
  if (o.Significance) {
    if (*o.Significance == "5" || *o.Significance == "0.05") {
      run.Options.Alpha = 0.05;
    } else if (*o.Significance == "1" || *o.Significance == "0.01") {
      run.Options.Alpha = 0.01;
    } else {
      return ArgumentError(kProgram, "--significance " + *o.Significance + ": not 5 or 1 (percent)");
    }
  }
  HourlyReadOptions read;
  std::optional<int> direction;
  if (const auto problem = CheckOptions(o, read, direction)) return ArgumentError(kProgram, *problem);
  run.Options.Degrees = o.Degrees;
  run.Options.From = read.From;
  run.Options.To = read.To;
  return RunAbnormalYear(std::move(run));
}

int Main(int argc, char** argv) {
  Options o;
  if (const auto exit = ReadCommandLine(argc, argv, o)) return *exit;
  return o.AbnormalYear ? RunAbnormal(o) : Run(o);
}

}  // namespace
}  // namespace vmk::cli

int main(int argc, char** argv) {
  return vmk::cli::RunProgram(vmk::cli::kProgram, argc, argv, vmk::cli::Main);
}
