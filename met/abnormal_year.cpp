#include "met/abnormal_year.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_map>

#include "common/numtext.h"
#include "met/cloud_fill.h"
#include "met/hourly_file.h"
#include "met/hourly_reader.h"

namespace vmk {
namespace {

constexpr std::array<std::string_view, kSpeedItems> kSpeedItemNames = {
    "0.0-0.4", "0.5-0.9", "1.0-1.9", "2.0-2.9", "3.0-3.9", "4.0-5.9", "6.0-7.9", "8.0-"};

// The items of a valid hour: its direction item (0..15, or 16 calm) and its speed item
// (0 calm ... 7), or none when the hour has no valid wind.
std::optional<std::pair<int, int>> WindItems(const HourObservation& h) {
  if (!h.SpeedTenths) return std::nullopt;
  const int speed = static_cast<int>(SpeedClassOf(*h.SpeedTenths));
  if (speed == static_cast<int>(SpeedClass::Calm)) return std::pair{kDirections, speed};
  if (!h.Direction || *h.Direction == kCalmDirection) return std::nullopt;
  return std::pair{*h.Direction, speed};
}

void AddHour(WindYear& year, const std::pair<int, int>& items) {
  ++year.ValidHours;
  ++year.Hours[static_cast<std::size_t>(items.first)];
  ++year.Hours[static_cast<std::size_t>(kDirectionItems + items.second)];
}

// A date and an hour of the day 1..24.
struct DayHour {
  int Year = 0, Month = 0, Day = 0, Hour = 0;
};
DayHour DayHourOf(HourNumber h) {
  DayHour d;
  d.Hour = HourOfDay(h);
  CivilFromDays((h - d.Hour) / 24, d.Year, d.Month, d.Day);
  return d;
}
HourNumber HourAt(int year, const DayHour& d) {
  return DaysFromCivil(year, d.Month, d.Day) * 24 + d.Hour;
}

std::string SpanText(HourNumber first, HourNumber last) {
  return HourText(first) + " to " + HourText(last);
}

std::string Coverage(const WindYear& y) {
  return std::to_string(y.ValidHours) + " valid hours of " + std::to_string(y.SpanHours()) + " (" +
         FormatFixed(y.ValidHours * 100.0L / y.SpanHours(), 15, 1) + " %)";
}

// One reference year while the files are read: each hour of its span with its line.
struct YearSlots {
  HourNumber First = 0;
  std::vector<std::int32_t> Line;   // 0: no line yet
  std::vector<std::uint16_t> File;  // the reference file (1...)
  std::vector<std::uint8_t> Code;   // 0: no valid wind; else 1 + direction item * 8 + speed
};

class Test {
 public:
  Test(const AbnormalYearOptions& o) : o_(o) {}
  AbnormalYearResult Run(std::istream& tested, const std::vector<std::istream*>& reference);

 private:
  void ReadTested(std::istream& in);
  void CheckSpan();
  void ReadReference(std::istream& in, int file);
  bool WantReference(HourNumber h, long long line, int file);
  void CollectYears();
  std::string FileName(int file) const {
    return file >= 1 && static_cast<std::size_t>(file) <= o_.ReferenceNames.size()
               ? o_.ReferenceNames[static_cast<std::size_t>(file - 1)]
               : "reference file " + std::to_string(file);
  }
  void NoteRejected(const HourlyFile& f, const std::string& name);

  const AbnormalYearOptions& o_;
  AbnormalYearResult r_;
  DayHour start_;
  DayHour end_;
  std::map<int, YearSlots> years_;  // by how many years before the tested one
  YearSlots* current_ = nullptr;    // the year of the line being read
  std::size_t currentAt_ = 0;
  std::optional<HourNumber> refFirst_;
  std::optional<HourNumber> refLast_;
  long long inTestedSpan_ = 0;
  long long outsideSpans_ = 0;
};

void Test::NoteRejected(const HourlyFile& f, const std::string& name) {
  if (f.LinesRejected() == 0) return;
  const RejectedLine& first = f.FirstRejected().front();
  r_.Notes.push_back(name + ": " + std::to_string(f.LinesRejected()) + " of " +
                     std::to_string(f.DataLines()) +
                     " data lines rejected, their unreadable values missing (line " +
                     std::to_string(first.Line) + ": " + first.Reason + ")");
}

void Test::ReadTested(std::istream& in) {
  HourlyFile f(in, HourlyFileRole::Wind, o_.Degrees, false, 0);
  f.ReadHeader();
  std::unordered_map<HourNumber, long long> seen;
  std::optional<HourNumber> lo;
  std::optional<HourNumber> hi;
  std::vector<HourObservation> hours;
  f.ReadData(
      [&](HourNumber h, long long line) {
        if ((o_.From && h < *o_.From) || (o_.To && h > *o_.To)) return false;
        const auto [it, inserted] = seen.emplace(h, line);
        if (!inserted) {
          throw HourlyFileError("lines " + std::to_string(it->second) + " and " +
                                std::to_string(line) + " are both for the hour ending " +
                                HourText(h) + ": keep one of them");
        }
        if (!lo || h < *lo) lo = h;
        if (!hi || h > *hi) hi = h;
        const HourNumber first = o_.From ? *o_.From : *lo;
        const HourNumber last = o_.To ? *o_.To : *hi;
        if (last - first + 1 > kMaxPeriodHours) {
          throw HourlyFileError("the hours run from " + SpanText(first, last) + " (line " +
                                std::to_string(line) + "), more than one year (" +
                                std::to_string(kMaxPeriodHours) +
                                " hours): choose the tested year with --from and --to");
        }
        return true;
      },
      [&](const HourObservation& h) { hours.push_back(h); });
  if (!lo) throw HourlyFileError("no hour of the tested period", 0);
  r_.TestedForm = f.Form();
  NoteRejected(f, "the tested year's file");
  r_.Tested.First = o_.From ? *o_.From : *lo;
  r_.Tested.Last = o_.To ? *o_.To : *hi;
  for (const HourObservation& h : hours) {
    if (const auto items = WindItems(h)) AddHour(r_.Tested, *items);
  }
}

// The reference years repeat the tested span's dates and hours: it must not start or end on
// 29 February, and must lie within a year of its first hour.
void Test::CheckSpan() {
  start_ = DayHourOf(r_.Tested.First);
  end_ = DayHourOf(r_.Tested.Last);
  for (const auto& [d, which] : {std::pair{start_, "starts"}, std::pair{end_, "ends"}}) {
    if (d.Month == 2 && d.Day == 29) {
      throw AbnormalYearError("the tested period " + SpanText(r_.Tested.First, r_.Tested.Last) +
                              " " + which +
                              " on 29 February, which not every reference year has: choose "
                              "its hours with --from and --to");
    }
  }
  if (r_.Tested.Last >= HourAt(start_.Year + 1, start_)) {
    throw AbnormalYearError("the tested period " + SpanText(r_.Tested.First, r_.Tested.Last) +
                            " is longer than a year from its first hour: choose its hours with "
                            "--from and --to");
  }
}

bool Test::WantReference(HourNumber h, long long line, int file) {
  if (!refFirst_ || h < *refFirst_) refFirst_ = h;
  if (!refLast_ || h > *refLast_) refLast_ = h;
  // The span that starts in the hour's year, or the one before.
  int before = start_.Year - DayHourOf(h).Year;
  if (h < HourAt(start_.Year - before, start_)) ++before;
  const HourNumber first = HourAt(start_.Year - before, start_);
  const HourNumber last = HourAt(end_.Year - before, end_);
  if (h > last) {
    ++outsideSpans_;
    return false;
  }
  if (before == 0) {
    ++inTestedSpan_;
    return false;
  }
  auto it = years_.find(before);
  if (it == years_.end()) {
    if (years_.size() >= static_cast<std::size_t>(kMaxReferenceYears)) {
      throw AbnormalYearError("the reference holds more than " +
                              std::to_string(kMaxReferenceYears) + " years of the tested span");
    }
    YearSlots y;
    y.First = first;
    const std::size_t n = static_cast<std::size_t>(last - first + 1);
    y.Line.assign(n, 0);
    y.File.assign(n, 0);
    y.Code.assign(n, 0);
    it = years_.emplace(before, std::move(y)).first;
  }
  YearSlots& y = it->second;
  const std::size_t at = static_cast<std::size_t>(h - y.First);
  if (y.Line[at] != 0) {
    const std::string other = y.File[at] == file ? "" : " of " + FileName(y.File[at]);
    throw HourlyFileError("line " + std::to_string(line) + " is for the hour ending " +
                          HourText(h) + ", as line " + std::to_string(y.Line[at]) + other +
                          " is: keep one of them");
  }
  // Line numbers beyond 2^31 cannot occur within the year cap: a year has at most 8784 lines.
  y.Line[at] = static_cast<std::int32_t>(std::min<long long>(line, INT32_MAX));
  y.File[at] = static_cast<std::uint16_t>(file);
  current_ = &y;
  currentAt_ = at;
  return true;
}

void Test::ReadReference(std::istream& in, int file) {
  HourlyFile f(in, HourlyFileRole::Wind, o_.Degrees, false, file);
  f.ReadHeader();
  f.ReadData([&](HourNumber h, long long line) { return WantReference(h, line, file); },
             [&](const HourObservation& h) {
               if (const auto items = WindItems(h)) {
                 current_->Code[currentAt_] =
                     static_cast<std::uint8_t>(1 + items->first * kSpeedItems + items->second);
               }
             });
  r_.ReferenceForms.push_back(f.Form());
  NoteRejected(f, FileName(file));
}

// The reference years wholly within the reference files' hours, earliest first; those that
// reach beyond are left out.
void Test::CollectYears() {
  if (!refFirst_) throw AbnormalYearError("the reference files hold no hour");
  int earliest = start_.Year - DayHourOf(*refFirst_).Year + 1;
  int latest = start_.Year - DayHourOf(*refLast_).Year - 1;
  std::vector<int> inside;
  for (int before = earliest; before >= latest; --before) {
    if (before == 0) continue;
    const HourNumber first = HourAt(start_.Year - before, start_);
    const HourNumber last = HourAt(end_.Year - before, end_);
    if (last < *refFirst_ || first > *refLast_) continue;
    if (first < *refFirst_ || last > *refLast_) {
      r_.Notes.push_back("reference year " + SpanText(first, last) +
                         " reaches beyond the reference files' hours (" +
                         SpanText(*refFirst_, *refLast_) + "): not used");
      continue;
    }
    inside.push_back(before);
  }
  if (inside.size() > static_cast<std::size_t>(kMaxReferenceYears)) {
    throw AbnormalYearError("the reference holds more than " + std::to_string(kMaxReferenceYears) +
                            " years of the tested span");
  }
  for (int before : inside) {
    WindYear y;
    y.First = HourAt(start_.Year - before, start_);
    y.Last = HourAt(end_.Year - before, end_);
    if (const auto it = years_.find(before); it != years_.end()) {
      for (std::uint8_t code : it->second.Code) {
        if (code != 0) AddHour(y, {(code - 1) / kSpeedItems, (code - 1) % kSpeedItems});
      }
    }
    r_.Reference.push_back(y);
  }
  if (inTestedSpan_ > 0) {
    r_.Notes.push_back(std::to_string(inTestedSpan_) +
                       " reference lines lie in the tested period: not used");
  }
  if (outsideSpans_ > 0) {
    r_.Notes.push_back(std::to_string(outsideSpans_) +
                       " reference lines lie outside the tested period's dates: not used");
  }
}

AbnormalYearResult Test::Run(std::istream& tested, const std::vector<std::istream*>& reference) {
  r_.Alpha = o_.Alpha;
  ReadTested(tested);
  CheckSpan();
  for (std::size_t i = 0; i < reference.size(); ++i) {
    ReadReference(*reference[i], static_cast<int>(i) + 1);
  }
  CollectYears();
  const auto enough = [](const WindYear& y, const std::string& which) {
    const int needed = ValidHoursNeeded(y.SpanHours());
    if (y.ValidHours < needed) {
      throw AbnormalYearError(which + " " + SpanText(y.First, y.Last) + ": " + Coverage(y) +
                              ", fewer than the " + std::to_string(needed) + " a year needs");
    }
  };
  enough(r_.Tested, "the tested year");
  for (const WindYear& y : r_.Reference) enough(y, "reference year");
  const int n = static_cast<int>(r_.Reference.size());
  if (n < kMinReferenceYears) {
    std::string years;
    for (const WindYear& y : r_.Reference) {
      years += (years.empty() ? " (" : ", ") + SpanText(y.First, y.Last);
    }
    throw AbnormalYearError(std::to_string(n) + " reference years" + (years.empty() ? "" : years + ")") +
                            " of the tested period's dates: the test needs at least " +
                            std::to_string(kMinReferenceYears));
  }
  r_.F = FQuantile(n, o_.Alpha);
  for (std::size_t i = 0; i < r_.Rows.size(); ++i) {
    std::vector<ItemHours> ref;
    for (const WindYear& y : r_.Reference) ref.push_back({y.Hours[i], y.ValidHours});
    r_.Rows[i] = FTestItem({r_.Tested.Hours[i], r_.Tested.ValidHours}, ref, r_.F);
  }
  return std::move(r_);
}

}  // namespace

std::string_view AbnormalItemName(int item) {
  if (item < kDirections) return kDirectionNames[static_cast<std::size_t>(item)];
  if (item == kDirections) return "calm";
  return kSpeedItemNames[static_cast<std::size_t>(item - kDirectionItems)];
}

int ValidHoursNeeded(int spanHours) {
  if (spanHours >= kYearHours) return kYearHoursNeeded;
  const long long product = static_cast<long long>(kYearHoursNeeded) * spanHours;
  return static_cast<int>((product + kYearHours - 1) / kYearHours);
}

long double FQuantile(int n, double alpha) {
  const boost::math::fisher_f_distribution<double> f(1, n - 1);
  return boost::math::quantile(boost::math::complement(f, alpha));
}

FTestRow FTestItem(ItemHours tested, const std::vector<ItemHours>& reference, long double f) {
  const auto share = [](ItemHours h) { return 100.0L * h.Hours / h.Valid; };
  // Two shares are equal when their fractions are: a / b = c / d exactly.
  const auto same = [](ItemHours a, ItemHours b) {
    return static_cast<long long>(a.Hours) * b.Valid == static_cast<long long>(b.Hours) * a.Valid;
  };
  FTestRow row;
  const long double n = static_cast<long double>(reference.size());
  row.Tested = share(tested);
  bool allSame = true;
  for (const ItemHours& h : reference) allSame = allSame && same(h, reference.front());
  if (allSame) {
    row.Mean = row.Lower = row.Upper = share(reference.front());
    row.F0Undefined = same(tested, reference.front());
    row.F0 = row.F0Undefined ? 0 : std::numeric_limits<long double>::infinity();
    row.Rejected = !row.F0Undefined;
    return row;
  }
  long double sum = 0;
  for (const ItemHours& h : reference) sum += share(h);
  row.Mean = sum / n;
  long double squares = 0;
  for (const ItemHours& h : reference) {
    const long double d = share(h) - row.Mean;
    squares += d * d;
  }
  const long double s2 = squares / n;
  const long double d0 = row.Tested - row.Mean;
  row.F0 = (n - 1) * d0 * d0 / ((n + 1) * s2);
  const long double half = std::sqrt(s2 * (n + 1) * f / (n - 1));
  row.Lower = row.Mean - half;
  row.Upper = row.Mean + half;
  row.Rejected = row.F0 > f;
  return row;
}

AbnormalYearResult TestAbnormalYear(std::istream& tested, const std::vector<std::istream*>& reference,
                                    const AbnormalYearOptions& options) {
  return Test(options).Run(tested, reference);
}

std::string ShareText(long double percent) { return FormatFixed(percent, 15, 2); }

std::string F0Text(const FTestRow& row) {
  if (row.F0Undefined) return "-";
  if (std::isinf(row.F0)) return "∞";
  return FormatFixed(row.F0, 15, 3);
}

std::string AbnormalYearCsv(const AbnormalYearResult& r) {
  std::string s = "\xEF\xBB\xBF区分,項目,検定年 (%),平均 (%),下限 (%),上限 (%),F0,判定\r\n";
  for (int i = 0; i < kAbnormalItems; ++i) {
    const FTestRow& row = r.Rows[static_cast<std::size_t>(i)];
    s += std::string(i < kDirectionItems ? "風向" : "風速 (m/s)") + "," +
         std::string(AbnormalItemName(i)) + "," + ShareText(row.Tested) + "," +
         ShareText(row.Mean) + "," + ShareText(row.Lower) + "," + ShareText(row.Upper) + "," +
         F0Text(row) + "," + std::string(row.Rejected ? kRejected : kAccepted) + "\r\n";
  }
  return s;
}

}  // namespace vmk
