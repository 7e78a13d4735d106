// The files read: the first (or only) file's hours checked against the period; the second
// file's values joined to them by the hour; the cloud amounts filled; every hour counted.
#include "met/hourly_reader.h"

#include <string_view>
#include <unordered_map>

#include "met/cloud_fill.h"
#include "met/hourly_file.h"

namespace vmk {
namespace {

// The columns a second file may give.
constexpr HourlyColumn kJoinedColumns[] = {HourlyColumn::Solar, HourlyColumn::Net,
                                           HourlyColumn::Cloud};

std::string BothLines(long long first, long long second, HourNumber hour) {
  return "lines " + std::to_string(first) + " and " + std::to_string(second) +
         " are both for the hour ending " + HourText(hour) + ": keep one of them";
}

// The lines of a file as a result tells them.
template <class Result>
void TakeLines(const HourlyFile& file, Result& out) {
  out.Form = file.Form();
  out.DataLines = file.DataLines();
  out.LinesOutside = file.LinesOutside();
  out.LinesRejected = file.LinesRejected();
  out.RejectedByCause = file.RejectedByCause();
  out.FirstRejected = file.FirstRejected();
}

class Reader {
 public:
  Reader(std::istream& in, const HourlyReadOptions& options)
      : options_(options),
        first_(in, options.Radiation ? HourlyFileRole::Wind : HourlyFileRole::Whole,
               options.Degrees, options.NightByWind) {
    settings_.Table = options.Table ? options.Table : &DefaultStabilityTable();
    settings_.Site = options.Site;
  }

  HourlyReadResult Run();

 private:
  void CheckOptions() const;
  bool Want(HourNumber hour, long long number);
  void ReadSecond(std::istream& in);
  void FillCloud();
  void Note();
  HourlyReadResult Finish();

  // Whether the values of a column come from the first file, the second, or neither.
  bool Has(HourlyColumn c) const {
    return first_.Columns()[c].Field >= 0 || (second_ && second_->Columns()[c].Field >= 0);
  }

  const HourlyReadOptions& options_;
  HourlyFile first_;
  std::optional<HourlyFile> second_;
  MetCountSettings settings_;
  MetTally tally_;
  HourlyReadResult result_;
  std::unordered_map<HourNumber, long long> seen_;  // hour -> its line in the first file
  std::vector<HourObservation> hours_;              // the first file's hours in the period
  std::optional<HourNumber> firstHour_;
  std::optional<HourNumber> lastHour_;
  std::unordered_map<HourNumber, ExactDecimal> cloudAt_;  // the hours with their own cloud
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
  first_.ReadHeader();
  settings_.StabilityGiven = first_.Columns()[HourlyColumn::Stability].Field >= 0;
  first_.ReadData([this](HourNumber hour, long long number) { return Want(hour, number); },
                  [this](const HourObservation& h) { hours_.push_back(h); });
  if (options_.Radiation) ReadSecond(*options_.Radiation);
  settings_.CloudUsed = !settings_.StabilityGiven && Has(HourlyColumn::Cloud) &&
                        settings_.Table->HasCloud();
  settings_.NightByWind = options_.NightByWind && !settings_.StabilityGiven;
  if (settings_.CloudUsed) FillCloud();
  for (const HourObservation& h : hours_) CountHour(h, settings_, tally_);
  return Finish();
}

// An hour of the first file: outside --from/--to it is not counted; two lines for one hour,
// or hours beyond a year, are an error.
bool Reader::Want(HourNumber hour, long long number) {
  if ((options_.From && hour < *options_.From) || (options_.To && hour > *options_.To)) {
    return false;
  }
  const auto [it, inserted] = seen_.emplace(hour, number);
  if (!inserted) throw HourlyFileError(BothLines(it->second, number, hour));
  if (!firstHour_ || hour < *firstHour_) firstHour_ = hour;
  if (!lastHour_ || hour > *lastHour_) lastHour_ = hour;
  const HourNumber lo = options_.From ? *options_.From : *firstHour_;
  const HourNumber hi = options_.To ? *options_.To : *lastHour_;
  if (hi - lo + 1 > kMaxPeriodHours) {
    throw HourlyFileError("the hours run from " + HourText(lo) + " to " + HourText(hi) +
                          " (line " + std::to_string(number) + "), more than one year (" +
                          std::to_string(kMaxPeriodHours) +
                          " hours): choose at most a year with --from and --to");
  }
  return true;
}

// The second file, within the first file's period: the columns the first lacks, by the hour.
void Reader::ReadSecond(std::istream& in) {
  second_.emplace(in, HourlyFileRole::Radiation, options_.Degrees, false, 1);
  HourlyFile& second = *second_;
  second.ReadHeader();
  for (HourlyColumn c : kJoinedColumns) {
    if (first_.Columns()[c].Field >= 0) second.Ignore(c);
  }
  const std::optional<HourNumber> lo = options_.From ? options_.From : firstHour_;
  const std::optional<HourNumber> hi = options_.To ? options_.To : lastHour_;
  struct Joined {
    long long Line = 0;
    HourObservation Values;
  };
  std::unordered_map<HourNumber, Joined> joined;
  second.ReadData(
      [&](HourNumber hour, long long number) {
        if (!lo || hour < *lo || hour > *hi) return false;
        const auto [it, inserted] = joined.emplace(hour, Joined{number, {}});
        if (!inserted) throw HourlyFileError(BothLines(it->second.Line, number, hour));
        return true;
      },
      [&](const HourObservation& h) { joined[h.Hour].Values = h; });
  JoinedFileResult j;
  TakeLines(second, j);
  j.Station = second.Station();
  for (HourObservation& h : hours_) {
    const auto it = joined.find(h.Hour);
    if (it == joined.end()) {
      ++j.HoursOnlyInFirst;
      continue;
    }
    const HourObservation& v = it->second.Values;
    if (first_.Columns()[HourlyColumn::Solar].Field < 0) h.Solar = v.Solar;
    if (first_.Columns()[HourlyColumn::Net].Field < 0) h.Net = v.Net;
    if (first_.Columns()[HourlyColumn::Cloud].Field < 0) h.Cloud = v.Cloud;
  }
  for (const auto& [hour, value] : joined) {
    if (!seen_.contains(hour)) ++j.HoursOnlyInSecond;
  }
  // Every cloud amount of the second file fills the hours around it, even one of an hour
  // without a line in the first file.
  for (const auto& [hour, value] : joined) {
    if (value.Values.Cloud) cloudAt_.emplace(hour, *value.Values.Cloud);
  }
  result_.Joined = std::move(j);
}

void Reader::FillCloud() {
  if (first_.Columns()[HourlyColumn::Cloud].Field >= 0) {
    for (const HourObservation& h : hours_) {
      if (h.Cloud) cloudAt_.emplace(h.Hour, *h.Cloud);
    }
  }
  const auto observed = [this](HourNumber hour) { return cloudAt_.contains(hour); };
  for (HourObservation& h : hours_) {
    if (h.Cloud) continue;
    if (const auto from = CloudSourceHour(h.Hour, observed)) h.Cloud = cloudAt_.at(*from);
  }
}

// What the user should know about the columns: those neither file has, and cloud amount the
// table cannot use.
void Reader::Note() {
  if (settings_.StabilityGiven) return;
  const std::string lacking = second_ ? "neither file has " : "the file has no ";
  const auto noteLacking = [&](HourlyColumn c, const char* hours) {
    const HourlyColumnDef& def = ColumnDef(c);
    result_.Notes.push_back(lacking + std::string(def.Described) + " (" +
                            std::string(def.Japanese) + "): " + hours +
                            " hours cannot be classified and count as missing");
  };
  if (!Has(HourlyColumn::Solar)) noteLacking(HourlyColumn::Solar, "day");
  if (Has(HourlyColumn::Cloud) && !settings_.Table->HasCloud()) {
    result_.Notes.push_back("the file has cloud amount (雲量), but the stability table has no "
                            "cloud columns (C>=x ... C<x): cloud amount is not used");
  }
  if (!Has(HourlyColumn::Net) && !settings_.CloudUsed && !settings_.NightByWind) {
    noteLacking(HourlyColumn::Net, "night");
  }
}

HourlyReadResult Reader::Finish() {
  HourlyReadResult& r = result_;
  MetStats& m = r.Stats;
  m.Station = options_.Station ? *options_.Station : first_.Station();
  std::optional<HourNumber> lo = options_.From ? options_.From : firstHour_;
  std::optional<HourNumber> hi = options_.To ? options_.To : lastHour_;
  if (lo && hi) {
    m.From = HourText(*lo);
    m.To = HourText(*hi);
    m.HoursRead = static_cast<int>(*hi - *lo + 1);
    tally_.Missing[static_cast<std::size_t>(MissingCause::NoLine)] =
        m.HoursRead - static_cast<int>(seen_.size());
  }
  m.ValidHours = tally_.Valid;
  for (const NamedCause<MissingCause>& cause : kMissingCauses) {
    // The cloud cause only where cloud amount classifies the night.
    if (cause.Value == MissingCause::NoCloud && !settings_.CloudUsed) continue;
    m.MissingHours.emplace_back(std::string(cause.Name),
                                tally_.Missing[static_cast<std::size_t>(cause.Value)]);
  }
  if (settings_.CloudUsed || settings_.NightByWind) m.NightMethods = tally_.NightMethods;
  m.CalmAll = tally_.CalmAll;
  m.WeakAll = tally_.WeakAll;
  m.Directions = tally_.Directions;
  r.DayHours = tally_.DayHours;
  r.NightHours = tally_.NightHours;
  r.CloudFilled = settings_.CloudUsed;
  TakeLines(first_, r);
  Note();
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
