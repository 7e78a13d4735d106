#include "met/hourly_reader.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>

#include "common/cp932.h"
#include "common/json_document.h"
#include "met/hourly_text.h"
#include "met/met_values.h"

namespace vmk {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kAgencyMarker = "ダウンロードした時刻";
constexpr int kMaxAgencyHeaderLines = 12;

constexpr std::string_view kExpected =
    "expected a plain CSV whose header names time (日時), wd (風向), ws (風速) and stability "
    "(安定度) or solar (日射量) with net (放射収支量), or the Japan Meteorological Agency's "
    "download CSV";

// Why a data line was rejected (its first problem). The names are the summary's causes.
enum class Reject {
  LineTooLong,
  NoTime,
  BadTime,
  NotOnHour,
  TooFewFields,
  BadSpeed,
  BadDirection,
  BadStability,
  BadSolar,
  BadNet,
  BadFlag,
};
constexpr std::array<std::string_view, 11> kRejectNames = {
    "line too long",    "no time",          "unreadable time",         "time not on the hour",
    "too few fields",   "unreadable speed", "unreadable direction",    "unreadable stability",
    "unreadable solar radiation", "unreadable net radiation", "unreadable quality flag"};

enum class Encoding { Unknown, Utf8, Cp932 };

// The columns of the values the counting needs, -1 where the file has none.
struct Columns {
  int Time = -1;                                // date and time in one field
  std::array<int, 4> TimeParts{-1, -1, -1, -1};  // or year, month, day, hour
  int Speed = -1;
  int Direction = -1;
  int Stability = -1;
  int Solar = -1;
  int Net = -1;
  // The agency's quality flag of each value.
  int SpeedFlag = -1;
  int DirectionFlag = -1;
  int SolarFlag = -1;
  int NetFlag = -1;
  bool SolarMj = false;  // solar radiation in MJ/m2 in the hour, not kW/m2
  bool NetMj = false;
  std::size_t Needed = 0;  // fields a data line needs: the last column used, plus one

  void Count() {
    for (int c : {Time, TimeParts[0], TimeParts[1], TimeParts[2], TimeParts[3], Speed, Direction,
                  Stability, Solar, Net, SpeedFlag, DirectionFlag, SolarFlag, NetFlag}) {
      if (c >= 0) Needed = std::max(Needed, static_cast<std::size_t>(c) + 1);
    }
  }
};

// A column name split into the name and the unit in brackets after it: "風速(m/s)", "solar
// [kW/m2]", "日射量（MJ/m2）".
struct NameAndUnit {
  std::string_view Name;
  std::string_view Unit;
};

NameAndUnit SplitUnit(std::string_view text) {
  const std::string_view s = TrimBlanks(text);
  struct Brackets {
    std::string_view Open;
    std::string_view Close;
  };
  for (const Brackets b : {Brackets{"(", ")"}, Brackets{"（", "）"}, Brackets{"[", "]"}}) {
    if (!s.ends_with(b.Close)) continue;
    const std::size_t at = s.rfind(b.Open);
    if (at == std::string_view::npos || at == 0) continue;
    return {TrimBlanks(s.substr(0, at)),
            s.substr(at + b.Open.size(), s.size() - b.Close.size() - at - b.Open.size())};
  }
  return {s, {}};
}

bool SaysMegajoule(std::string_view unit) {
  return unit.find("MJ") != std::string_view::npos || unit.find("mj") != std::string_view::npos;
}

bool IsBlankLine(std::string_view line) {
  for (char c : line) {
    if (c != ',' && c != ' ' && c != '\t') return false;
  }
  return true;
}

class Reader {
 public:
  Reader(std::istream& in, const HourlyReadOptions& options) : lines_(in), options_(options) {
    settings_.Table = options.Table ? options.Table : &DefaultStabilityTable();
    settings_.Site = options.Site;
  }

  HourlyReadResult Run();

 private:
  // The UTF-8 text of a field of the file (for names and messages).
  std::string Utf8(std::string_view field) const {
    return encoding_ == Encoding::Cp932 ? Cp932ToUtf8(field) : std::string(field);
  }
  void NoteEncoding(std::string_view line) {
    if (encoding_ == Encoding::Unknown && HasNonAscii(line)) {
      encoding_ = IsUtf8(line) ? Encoding::Utf8 : Encoding::Cp932;
    }
  }
  std::string_view Field(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < fields_.size()
               ? TrimBlanks(fields_[static_cast<std::size_t>(column)])
               : std::string_view();
  }

  void ReadPlainHeader(std::string_view line, long long number);
  void ReadAgencyHeader();
  void DataLine(std::string_view line, bool tooLong, long long number);
  void Rejected(long long number, Reject cause, const std::string& reason);
  void CheckPeriod(HourNumber hour, long long number);
  HourlyReadResult Finish();

  LineReader lines_;
  const HourlyReadOptions& options_;
  MetCountSettings settings_;
  MetTally tally_;
  HourlyReadResult result_;
  Encoding encoding_ = Encoding::Unknown;
  bool bom_ = false;
  bool agency_ = false;
  std::string station_;
  Columns cols_;
  std::vector<std::string_view> fields_;
  std::string scratch_;
  std::array<long long, kRejectNames.size()> rejected_{};
  std::unordered_map<HourNumber, long long> seen_;  // hour -> its line
  std::optional<HourNumber> first_;
  std::optional<HourNumber> last_;
};

HourlyReadResult Reader::Run() {
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
  std::string_view line;
  bool tooLong = false;
  // The first line that is not blank: the header, or the agency's download-time line.
  for (;;) {
    if (!lines_.Next(line, tooLong)) throw HourlyFileError("the file is empty: " + std::string(kExpected));
    if (lines_.LineNumber() == 1 && line.starts_with(kBom)) {
      line.remove_prefix(kBom.size());
      bom_ = true;
      encoding_ = Encoding::Utf8;
    }
    if (tooLong) {
      throw HourlyFileError("line " + std::to_string(lines_.LineNumber()) + " is longer than " +
                            std::to_string(kMaxHourlyLineBytes) + " bytes: " + std::string(kExpected));
    }
    if (!IsBlankLine(line) && !TrimBlanks(line).starts_with("#")) break;
  }
  if (lines_.LineNumber() == 1 &&
      (line.starts_with(kAgencyMarker) || line.starts_with(Utf8ToCp932(kAgencyMarker)))) {
    agency_ = true;
    encoding_ = line.starts_with(kAgencyMarker) ? Encoding::Utf8 : Encoding::Cp932;
    ReadAgencyHeader();
  } else {
    ReadPlainHeader(line, lines_.LineNumber());
  }
  while (lines_.Next(line, tooLong)) DataLine(line, tooLong, lines_.LineNumber());
  return Finish();
}

void Reader::ReadPlainHeader(std::string_view line, long long number) {
  NoteEncoding(line);
  SplitCsvLine(line, fields_, scratch_);
  enum Role { kTime, kSpeed, kDirection, kStability, kSolar, kNet, kRoles };
  struct Known {
    std::string_view English;
    std::string_view Japanese;
    std::string_view Says;
  };
  static constexpr std::array<Known, kRoles> kKnown = {{
      {"time", "日時", "a time column (time or 日時)"},
      {"ws", "風速", "a wind speed column (ws or 風速)"},
      {"wd", "風向", "a wind direction column (wd or 風向)"},
      {"stability", "安定度", "a stability column (stability or 安定度)"},
      {"solar", "日射量", "a solar radiation column (solar or 日射量)"},
      {"net", "放射収支量", "a net radiation column (net or 放射収支量)"},
  }};
  std::array<int, kRoles> at;
  at.fill(-1);
  bool anyKnown = false;
  for (std::size_t c = 0; c < fields_.size(); ++c) {
    const std::string text = Utf8(TrimBlanks(fields_[c]));
    const NameAndUnit n = SplitUnit(text);
    for (int r = 0; r < kRoles; ++r) {
      const Known& k = kKnown[static_cast<std::size_t>(r)];
      if (!EqualsIgnoringCase(n.Name, k.English) && n.Name != k.Japanese) continue;
      int& column = at[static_cast<std::size_t>(r)];
      if (column >= 0) {
        throw HourlyFileError("the header (line " + std::to_string(number) + ") names " +
                              std::string(k.Says) + " twice: columns " +
                              std::to_string(column + 1) + " and " + std::to_string(c + 1));
      }
      column = static_cast<int>(c);
      anyKnown = true;
      if (r == kSolar) cols_.SolarMj = SaysMegajoule(n.Unit);
      if (r == kNet) cols_.NetMj = SaysMegajoule(n.Unit);
    }
  }
  if (!anyKnown) {
    throw HourlyFileError("line " + std::to_string(number) +
                          " is neither a header naming the columns nor the first line of an "
                          "agency file: " + std::string(kExpected));
  }
  const auto need = [&](int role) {
    if (at[static_cast<std::size_t>(role)] < 0) {
      throw HourlyFileError("the header (line " + std::to_string(number) + ") lacks " +
                            std::string(kKnown[static_cast<std::size_t>(role)].Says) + ": " +
                            std::string(kExpected));
    }
  };
  need(kTime);
  need(kSpeed);
  need(kDirection);
  if (at[kStability] < 0) {
    if (at[kSolar] < 0 && at[kNet] < 0) {
      throw HourlyFileError("the header (line " + std::to_string(number) +
                            ") has neither a stability column (stability or 安定度) nor the "
                            "radiation columns that give the class (solar or 日射量 with net or "
                            "放射収支量)");
    }
    need(kSolar);
    need(kNet);
  }
  cols_.Time = at[kTime];
  cols_.Speed = at[kSpeed];
  cols_.Direction = at[kDirection];
  cols_.Stability = at[kStability];
  cols_.Solar = at[kSolar];
  cols_.Net = at[kNet];
  cols_.Count();
  settings_.StabilityGiven = cols_.Stability >= 0;
}

void Reader::ReadAgencyHeader() {
  static const std::string kQuality = "品質情報";
  static const std::array<std::string_view, 3> kFlagKinds = {"品質情報", "均質番号", "現象なし情報"};
  std::string_view line;
  bool tooLong = false;
  std::vector<std::string> stationRow;
  std::vector<std::string> itemRow;
  const auto cells = [&](std::string_view l) {
    SplitCsvLine(l, fields_, scratch_);
    std::vector<std::string> out;
    out.reserve(fields_.size());
    for (std::string_view f : fields_) out.push_back(Utf8(TrimBlanks(f)));
    return out;
  };
  // The station row, then the item row that starts with 年月日時 (or 年, 月, 日, 時).
  while (itemRow.empty()) {
    if (!lines_.Next(line, tooLong) || lines_.LineNumber() > kMaxAgencyHeaderLines) {
      throw HourlyFileError("an agency file (its first line is the download time) without the row "
                            "of item names (年月日時, 風速(m/s), ...) in its first " +
                            std::to_string(kMaxAgencyHeaderLines) + " lines");
    }
    if (tooLong || IsBlankLine(line)) continue;
    std::vector<std::string> row = cells(line);
    if (!row.empty() && (row[0] == "年月日時" || row[0] == "年")) {
      itemRow = std::move(row);
    } else {
      stationRow = std::move(row);
    }
  }
  std::size_t firstValue = 1;
  if (itemRow[0] == "年月日時") {
    cols_.Time = 0;
  } else if (itemRow.size() >= 4 && itemRow[1] == "月" && itemRow[2] == "日" && itemRow[3] == "時") {
    cols_.TimeParts = {0, 1, 2, 3};
    firstValue = 4;
  } else {
    throw HourlyFileError("the item row (line " + std::to_string(lines_.LineNumber()) +
                          ") of the agency file starts with neither 年月日時 nor 年, 月, 日, 時");
  }

  // The rows under the items name the sub-items (風向) and the flag columns; their first cell is
  // empty. The first row with a time in its first cell is the first data line.
  std::vector<std::vector<std::string>> subRows;
  bool pending = false;
  long long pendingNumber = 0;
  while (lines_.Next(line, tooLong)) {
    if (!tooLong && !IsBlankLine(line)) {
      SplitCsvLine(line, fields_, scratch_);
      if (!fields_.empty() && TrimBlanks(fields_[0]).empty()) {
        if (subRows.size() >= static_cast<std::size_t>(kMaxAgencyHeaderLines)) {
          throw HourlyFileError("the agency file has more than " +
                                std::to_string(kMaxAgencyHeaderLines) +
                                " header rows under its items");
        }
        subRows.push_back(cells(line));
        continue;
      }
    }
    pending = true;
    pendingNumber = lines_.LineNumber();
    break;
  }

  struct ValueColumn {
    std::string Item;
    std::string Sub;
    int* Flag = nullptr;
  };
  std::vector<ValueColumn> values;
  std::vector<std::string> stations;
  const auto take = [&](int& slot, int column, const char* what) {
    if (slot >= 0) {
      throw HourlyFileError(std::string("the agency file holds ") + what +
                            " twice: download one station per file");
    }
    slot = column;
  };
  for (std::size_t c = firstValue; c < itemRow.size(); ++c) {
    const NameAndUnit item = SplitUnit(itemRow[c]);
    std::string sub;
    std::string flag;
    for (const auto& row : subRows) {
      if (c >= row.size() || row[c].empty()) continue;
      if (std::find(kFlagKinds.begin(), kFlagKinds.end(), row[c]) != kFlagKinds.end()) {
        flag = row[c];
      } else {
        sub = row[c];
      }
    }
    const int column = static_cast<int>(c);
    if (!flag.empty()) {
      if (flag != kQuality) continue;
      // The quality flag of the nearest value column before it of the same item.
      for (auto v = values.rbegin(); v != values.rend(); ++v) {
        if (v->Item == item.Name && v->Sub == sub) {
          if (v->Flag) *v->Flag = column;
          break;
        }
      }
      continue;
    }
    ValueColumn v{std::string(item.Name), sub, nullptr};
    int* slot = nullptr;
    const char* what = "";
    if (item.Name == "風速" && sub.empty()) {
      slot = &cols_.Speed;
      v.Flag = &cols_.SpeedFlag;
      what = "the wind speed";
    } else if ((item.Name == "風速" && sub == "風向") || (item.Name == "風向" && sub.empty())) {
      slot = &cols_.Direction;
      v.Flag = &cols_.DirectionFlag;
      what = "the wind direction";
    } else if (item.Name == "日射量") {
      slot = &cols_.Solar;
      v.Flag = &cols_.SolarFlag;
      cols_.SolarMj = item.Unit.empty() || SaysMegajoule(item.Unit);
      what = "the solar radiation";
    } else if (item.Name == "放射収支量") {
      slot = &cols_.Net;
      v.Flag = &cols_.NetFlag;
      cols_.NetMj = item.Unit.empty() || SaysMegajoule(item.Unit);
      what = "the net radiation";
    }
    if (slot) {
      if (c < stationRow.size() && !stationRow[c].empty() &&
          std::find(stations.begin(), stations.end(), stationRow[c]) == stations.end()) {
        stations.push_back(stationRow[c]);
      }
      if (stations.size() > 1) {
        throw HourlyFileError("the agency file holds more than one station (" + stations[0] +
                              ", " + stations[1] + "): download one station per file");
      }
      take(*slot, column, what);
    }
    values.push_back(std::move(v));
  }
  if (cols_.Speed < 0) {
    throw HourlyFileError("the agency file has no wind speed (風速) among its items: download "
                          "風向・風速 with the hourly values");
  }
  if (cols_.Direction < 0) {
    throw HourlyFileError("the agency file has no wind direction (風速 with 風向 under it): "
                          "download 風向・風速 with the hourly values");
  }
  if (cols_.Solar < 0) {
    result_.Notes.push_back("the file has no solar radiation (日射量): day hours cannot be "
                            "classified and count as missing");
  }
  if (cols_.Net < 0) {
    result_.Notes.push_back("the file has no net radiation (放射収支量): night hours cannot be "
                            "classified and count as missing");
  }
  if (!stations.empty()) station_ = stations[0];
  cols_.Count();
  settings_.StabilityGiven = false;
  if (pending) DataLine(line, tooLong, pendingNumber);
}

void Reader::Rejected(long long number, Reject cause, const std::string& reason) {
  ++result_.LinesRejected;
  ++rejected_[static_cast<std::size_t>(cause)];
  if (result_.FirstRejected.size() < kRejectedLinesKept) {
    result_.FirstRejected.push_back({number, reason});
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

void Reader::DataLine(std::string_view line, bool tooLong, long long number) {
  if (tooLong) {
    ++result_.DataLines;
    Rejected(number, Reject::LineTooLong,
             "the line is longer than " + std::to_string(kMaxHourlyLineBytes) + " bytes");
    return;
  }
  if (IsBlankLine(line)) return;
  ++result_.DataLines;
  NoteEncoding(line);
  SplitCsvLine(line, fields_, scratch_);

  std::optional<HourNumber> hour;
  if (cols_.Time >= 0) {
    const std::string_view text = Field(cols_.Time);
    HourTextProblem problem = HourTextProblem::None;
    if (text.empty()) {
      Rejected(number, Reject::NoTime, "no time");
      return;
    }
    hour = ParseHourText(text, &problem);
    if (!hour) {
      if (problem == HourTextProblem::NotOnHour) {
        Rejected(number, Reject::NotOnHour, "time " + QuoteForMessage(Utf8(text)) + " is not on the hour");
      } else {
        Rejected(number, Reject::BadTime,
                 "time " + QuoteForMessage(Utf8(text)) +
                     " is not a date and hour like 2025-04-01 01:00 or 2025/4/1 1:00");
      }
      return;
    }
  } else {
    const auto& p = cols_.TimeParts;
    hour = HourFromFields(Field(p[0]), Field(p[1]), Field(p[2]), Field(p[3]));
    if (!hour) {
      Rejected(number, Reject::BadTime,
               "year, month, day and hour " +
                   QuoteForMessage(Utf8(std::string(Field(p[0])) + "," + std::string(Field(p[1])) + "," +
                               std::string(Field(p[2])) + "," + std::string(Field(p[3])))) +
                   " are not an hour of a date");
      return;
    }
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

  bool rejected = false;
  const auto reject = [&](Reject cause, const auto& reason) {
    if (rejected) return;
    rejected = true;
    if (result_.FirstRejected.size() < kRejectedLinesKept) {
      Rejected(number, cause, reason());
    } else {
      Rejected(number, cause, std::string());
    }
  };
  if (fields_.size() < cols_.Needed) {
    reject(Reject::TooFewFields, [&] {
      return std::to_string(fields_.size()) + " fields, fewer than the " +
             std::to_string(cols_.Needed) + " the columns need";
    });
  }
  // A value with a quality flag counts only when the flag is the normal one.
  const auto flagNormal = [&](int flagColumn, const char* item) {
    if (flagColumn < 0) return true;
    const std::string_view f = Field(flagColumn);
    if (f == kAgencyNormalFlag) return true;
    const bool digits = !f.empty() && std::all_of(f.begin(), f.end(), [](char c) {
      return c >= '0' && c <= '9';
    });
    if (!f.empty() && !digits) {
      reject(Reject::BadFlag, [&] {
        return "quality flag " + QuoteForMessage(Utf8(f)) + " of " + item + " is not a number";
      });
    }
    return false;
  };
  const auto describe = [&](ValueProblem p, std::string_view what, std::string_view text,
                            std::string_view range) {
    return std::string(what) + " " + QuoteForMessage(Utf8(text)) +
           (p == ValueProblem::OutOfRange ? " is out of range (" : " is not a number (") +
           std::string(range) + ")";
  };

  HourObservation h;
  h.Hour = *hour;
  ValueProblem problem = ValueProblem::None;
  if (flagNormal(cols_.SpeedFlag, "風速")) {
    const std::string_view text = Field(cols_.Speed);
    h.SpeedTenths = ParseSpeedTenths(text, problem);
    if (problem == ValueProblem::Unreadable || problem == ValueProblem::OutOfRange) {
      reject(Reject::BadSpeed, [&] { return describe(problem, "speed", text, "0 to 100 m/s"); });
    }
  }
  if (flagNormal(cols_.DirectionFlag, "風向")) {
    const std::string_view text = Field(cols_.Direction);
    h.Direction = ParseDirection(text, options_.Degrees, problem);
    if (problem == ValueProblem::Unreadable || problem == ValueProblem::OutOfRange) {
      reject(Reject::BadDirection, [&] {
        std::string r = "direction " + QuoteForMessage(Utf8(text));
        if (options_.Degrees) {
          return r + (problem == ValueProblem::OutOfRange ? " is not from 0 to 360 degrees"
                                                          : " is neither a name nor degrees");
        }
        const bool numeric = ParseExactDecimal(text).has_value();
        return r + (numeric ? " is not a code 0 to 16 (degrees need --degrees)"
                            : " is not a direction (N ... NNW, 北 ... 北北西, 0 to 16, 静穏, "
                              "CALM or C)");
      });
    }
  }
  if (cols_.Stability >= 0) {
    const std::string_view text = Field(cols_.Stability);
    h.Stability = ParseStabilityName(text);
    if (!h.Stability && !text.empty()) {
      reject(Reject::BadStability, [&] {
        return "stability " + QuoteForMessage(Utf8(text)) +
               " is not a class (A, A-B, B, B-C, C, C-D, D, Dd, Dn, E, F, G)";
      });
    }
  }
  if (cols_.Solar >= 0 && flagNormal(cols_.SolarFlag, "日射量")) {
    const std::string_view text = Field(cols_.Solar);
    h.Solar = ParseRadiation(text, cols_.SolarMj, problem);
    if (problem == ValueProblem::Unreadable || problem == ValueProblem::OutOfRange) {
      reject(Reject::BadSolar, [&] {
        return describe(problem, "solar radiation", text,
                        cols_.SolarMj ? "-3.6 to 7.2 MJ/m2" : "-1 to 2 kW/m2");
      });
    }
  }
  if (cols_.Net >= 0 && flagNormal(cols_.NetFlag, "放射収支量")) {
    const std::string_view text = Field(cols_.Net);
    h.Net = ParseRadiation(text, cols_.NetMj, problem);
    if (problem == ValueProblem::Unreadable || problem == ValueProblem::OutOfRange) {
      reject(Reject::BadNet, [&] {
        return describe(problem, "net radiation", text,
                        cols_.NetMj ? "-3.6 to 7.2 MJ/m2" : "-1 to 2 kW/m2");
      });
    }
  }
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
  for (int c = 0; c < kMissingCauses; ++c) {
    m.MissingHours.emplace_back(std::string(kMissingCauseNames[static_cast<std::size_t>(c)]),
                                tally_.Missing[static_cast<std::size_t>(c)]);
  }
  m.CalmAll = tally_.CalmAll;
  m.WeakAll = tally_.WeakAll;
  m.Directions = tally_.Directions;
  r.DayHours = tally_.DayHours;
  r.NightHours = tally_.NightHours;
  for (std::size_t c = 0; c < kRejectNames.size(); ++c) {
    if (rejected_[c] > 0) r.RejectedByCause.emplace_back(std::string(kRejectNames[c]), rejected_[c]);
  }
  const std::string code = encoding_ == Encoding::Cp932 ? "code page 932"
                           : bom_                       ? "UTF-8 with byte order mark"
                           : encoding_ == Encoding::Utf8 ? "UTF-8"
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
