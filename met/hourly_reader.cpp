// The whole file: its form, its header, then each data line's hour checked against the period
// and counted.
#include "met/hourly_reader.h"

#include <array>
#include <string_view>
#include <unordered_map>

#include "met/hourly_header.h"
#include "met/hourly_line.h"

namespace vmk {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

class Reader {
 public:
  Reader(std::istream& in, const HourlyReadOptions& options)
      : lines_(in), options_(options), line_(columns_, encoding_, options.Degrees) {
    settings_.Table = options.Table ? options.Table : &DefaultStabilityTable();
    settings_.Site = options.Site;
  }

  HourlyReadResult Run();

 private:
  void CheckOptions() const;
  HourlyReadResult ReadLines();
  void DataLine(std::string_view line, long long number);
  void Rejected(long long number, const LineProblem& problem);
  void CheckPeriod(HourNumber hour, long long number);
  HourlyReadResult Finish();

  LineReader lines_;
  const HourlyReadOptions& options_;
  TextEncoding encoding_;
  HourlyColumns columns_;
  HourlyLineReader line_;
  MetCountSettings settings_;
  MetTally tally_;
  HourlyReadResult result_;
  bool bom_ = false;
  bool agency_ = false;
  bool header_ = false;  // the header is read: the file's form is known
  std::string station_;
  std::array<long long, kLineRejections.size()> rejected_{};  // lines by cause
  std::unordered_map<HourNumber, long long> seen_;            // hour -> its line
  std::optional<HourNumber> first_;
  std::optional<HourNumber> last_;
};

void Reader::CheckOptions() const {
  if (options_.From && options_.To && *options_.To - *options_.From + 1 > kMaxPeriodHours) {
    throw HourlyFileError("from " + HourText(*options_.From) + " to " + HourText(*options_.To) +
                          " are " + std::to_string(*options_.To - *options_.From + 1) +
                          " hours, more than one year (" + std::to_string(kMaxPeriodHours) +
                          " hours)");
  }
  if (options_.From && options_.To && *options_.To < *options_.From) {
    throw HourlyFileError("the last hour " + HourText(*options_.To) + " comes before the first " +
                          HourText(*options_.From));
  }
}

HourlyReadResult Reader::Run() {
  CheckOptions();
  try {
    return ReadLines();
  } catch (const TextLimitError& e) {
    // Before the header, the stream may be anything: say what was expected.
    throw HourlyFileError(header_ ? e.what() : std::string(e.what()) + ": " + ExpectedForms());
  }
}

HourlyReadResult Reader::ReadLines() {
  std::string_view line;
  // The first line that is not blank: the header, or the agency's download-time line.
  for (;;) {
    if (!lines_.Next(line)) throw HourlyFileError("the file is empty: " + ExpectedForms());
    if (lines_.LineNumber() == 1 && line.starts_with(kBom)) {
      line.remove_prefix(kBom.size());
      bom_ = true;
      encoding_.Set(TextEncoding::Utf8);
    }
    if (!IsBlankLine(line) && !TrimBlanks(line).starts_with("#")) break;
  }
  bool pending = false;  // a data line read already
  if (lines_.LineNumber() == 1 && IsAgencyFirstLine(line, encoding_)) {
    agency_ = true;
    AgencyHeader header = ReadAgencyHeader(lines_, encoding_, line);
    columns_ = header.Columns;
    station_ = std::move(header.Station);
    result_.Notes = std::move(header.Notes);
    pending = header.DataLinePending;
  } else {
    columns_ = ReadPlainHeader(line, lines_.LineNumber(), encoding_);
  }
  header_ = true;
  settings_.StabilityGiven = columns_[HourlyColumn::Stability].Field >= 0;
  while (pending || lines_.Next(line)) {
    pending = false;
    DataLine(line, lines_.LineNumber());
  }
  return Finish();
}

void Reader::Rejected(long long number, const LineProblem& problem) {
  ++result_.LinesRejected;
  ++rejected_[static_cast<std::size_t>(problem.Cause)];
  if (result_.FirstRejected.size() < kRejectedLinesKept) {
    result_.FirstRejected.push_back({number, problem.Reason});
  }
}

void Reader::CheckPeriod(HourNumber hour, long long number) {
  if (!first_ || hour < *first_) first_ = hour;
  if (!last_ || hour > *last_) last_ = hour;
  const HourNumber lo = options_.From ? *options_.From : *first_;
  const HourNumber hi = options_.To ? *options_.To : *last_;
  if (hi - lo + 1 > kMaxPeriodHours) {
    throw HourlyFileError("the hours run from " + HourText(lo) + " to " + HourText(hi) +
                          " (line " + std::to_string(number) + "), more than one year (" +
                          std::to_string(kMaxPeriodHours) +
                          " hours): choose at most a year with --from and --to");
  }
}

void Reader::DataLine(std::string_view line, long long number) {
  FirstProblem problem(result_.FirstRejected.size() < kRejectedLinesKept);
  if (IsBlankLine(line)) return;
  ++result_.DataLines;
  encoding_.Note(line);
  line_.Split(line);

  const std::optional<HourNumber> hour = line_.Hour(problem);
  if (!hour) {
    Rejected(number, *problem.Get());
    return;
  }
  if ((options_.From && *hour < *options_.From) || (options_.To && *hour > *options_.To)) {
    ++result_.LinesOutside;
    return;
  }
  const auto [it, inserted] = seen_.emplace(*hour, number);
  if (!inserted) {
    throw HourlyFileError("lines " + std::to_string(it->second) + " and " + std::to_string(number) +
                          " are both for the hour ending " + HourText(*hour) +
                          ": keep one of them");
  }
  CheckPeriod(*hour, number);
  // A line with a value that cannot be read still gives its hour, without that value.
  const HourObservation h = line_.Values(*hour, problem);
  if (problem.Get()) Rejected(number, *problem.Get());
  CountHour(h, settings_, tally_);
}

HourlyReadResult Reader::Finish() {
  HourlyReadResult& r = result_;
  MetStats& m = r.Stats;
  m.Station = options_.Station ? *options_.Station : station_;
  std::optional<HourNumber> lo = options_.From ? options_.From : first_;
  std::optional<HourNumber> hi = options_.To ? options_.To : last_;
  if (lo && hi) {
    m.From = HourText(*lo);
    m.To = HourText(*hi);
    m.HoursRead = static_cast<int>(*hi - *lo + 1);
    tally_.Missing[static_cast<std::size_t>(MissingCause::NoLine)] =
        m.HoursRead - static_cast<int>(seen_.size());
  }
  m.ValidHours = tally_.Valid;
  for (const NamedCause<MissingCause>& cause : kMissingCauses) {
    m.MissingHours.emplace_back(std::string(cause.Name),
                                tally_.Missing[static_cast<std::size_t>(cause.Value)]);
  }
  m.CalmAll = tally_.CalmAll;
  m.WeakAll = tally_.WeakAll;
  m.Directions = tally_.Directions;
  r.DayHours = tally_.DayHours;
  r.NightHours = tally_.NightHours;
  for (const NamedCause<LineRejection>& cause : kLineRejections) {
    const long long lines = rejected_[static_cast<std::size_t>(cause.Value)];
    if (lines > 0) r.RejectedByCause.emplace_back(std::string(cause.Name), lines);
  }
  const std::string code = encoding_.Get() == TextEncoding::Cp932 ? "code page 932"
                           : bom_                                 ? "UTF-8 with byte order mark"
                           : encoding_.Get() == TextEncoding::Utf8 ? "UTF-8"
                                                                   : "ASCII";
  r.Form = (agency_ ? "Japan Meteorological Agency CSV, " : "plain CSV, ") + code;
  if (tally_.Missing[static_cast<std::size_t>(MissingCause::NoDayOrNight)] > 0) {
    r.Notes.push_back("a D class needs day or night: give --lat and --lon, or a solar radiation "
                      "column");
  }
  return std::move(r);
}

}  // namespace

HourlyReadResult ReadHourlyObservations(std::istream& in, const HourlyReadOptions& options) {
  Reader reader(in, options);
  return reader.Run();
}

}  // namespace vmk
