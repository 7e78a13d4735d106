// The header rows of the Japan Meteorological Agency's download CSV: the download-time line, a
// blank line, the station row, the item row (年月日時 or 年, 月, 日, 時, then the items with their
// units), and rows under it naming the sub-items (風向) and the flag columns of each value.
#include <algorithm>

#include "common/cp932.h"
#include "met/hourly_header.h"

namespace vmk {
namespace {

constexpr std::string_view kAgencyMarker = "ダウンロードした時刻";
constexpr int kMaxAgencyHeaderLines = 12;
constexpr std::string_view kQualityFlag = "品質情報";
// The kinds of flag column; only the quality flag is read.
constexpr std::array<std::string_view, 3> kFlagKinds = {"品質情報", "均質番号", "現象なし情報"};

// The column of the table that an item with a sub-item is, or none.
const HourlyColumnDef* AgencyColumn(std::string_view item, std::string_view sub) {
  for (const HourlyColumnDef& def : kHourlyColumns) {
    for (const AgencyItem& a : def.Agency) {
      if (!a.Item.empty() && a.Item == item && (a.AnySub || a.Sub == sub)) return &def;
    }
  }
  return nullptr;
}

using Row = std::vector<std::string>;

class AgencyHeaderReader {
 public:
  AgencyHeaderReader(LineReader& lines, TextEncoding& encoding, HourlyFileRole role)
      : lines_(lines), encoding_(encoding), role_(role) {}

  AgencyHeader Read(std::string_view& line);

 private:
  // The fields of a line, without blanks around them, in UTF-8.
  Row Cells(std::string_view line) {
    fields_.Split(line);
    Row out;
    out.reserve(fields_.Size());
    for (int c = 0; c < static_cast<int>(fields_.Size()); ++c) {
      out.push_back(encoding_.ToUtf8(fields_.Field(c)));
    }
    return out;
  }
  void ReadItemRows(std::string_view& line);
  void ReadTimeColumns();
  void ReadSubRows(std::string_view& line);
  void FindColumns();

  LineReader& lines_;
  TextEncoding& encoding_;
  HourlyFileRole role_;
  CsvLine fields_;
  Row stationRow_;
  Row itemRow_;
  std::vector<Row> subRows_;
  std::size_t firstValue_ = 1;  // the first column after the time
  AgencyHeader header_;
};

AgencyHeader AgencyHeaderReader::Read(std::string_view& line) {
  ReadItemRows(line);
  ReadTimeColumns();
  ReadSubRows(line);
  FindColumns();
  header_.Columns.CountNeeded();
  return std::move(header_);
}

// The station row, then the item row that starts with 年月日時 (or 年, 月, 日, 時).
void AgencyHeaderReader::ReadItemRows(std::string_view& line) {
  while (itemRow_.empty()) {
    if (!lines_.Next(line) || lines_.LineNumber() > kMaxAgencyHeaderLines) {
      throw HourlyFileError("an agency file (its first line is the download time) without the row "
                            "of item names (年月日時, 風速(m/s), ...) in its first " +
                            std::to_string(kMaxAgencyHeaderLines) + " lines");
    }
    if (IsBlankLine(line)) continue;
    Row row = Cells(line);
    if (!row.empty() && (row[0] == "年月日時" || row[0] == "年")) {
      itemRow_ = std::move(row);
    } else {
      stationRow_ = std::move(row);
    }
  }
}

void AgencyHeaderReader::ReadTimeColumns() {
  HourlyColumns& columns = header_.Columns;
  if (itemRow_[0] == "年月日時") {
    columns[HourlyColumn::Time].Field = 0;
  } else if (itemRow_.size() >= 4 && itemRow_[1] == "月" && itemRow_[2] == "日" &&
             itemRow_[3] == "時") {
    columns.TimeParts = {0, 1, 2, 3};
    firstValue_ = 4;
  } else {
    throw HourlyFileError("the item row (line " + std::to_string(lines_.LineNumber()) +
                          ") of the agency file starts with neither 年月日時 nor 年, 月, 日, 時");
  }
}

// The rows under the items name the sub-items (風向) and the flag columns; their first cell is
// empty. The first row with a time in its first cell is the first data line.
void AgencyHeaderReader::ReadSubRows(std::string_view& line) {
  while (lines_.Next(line)) {
    if (!IsBlankLine(line)) {
      fields_.Split(line);
      if (fields_.Size() > 0 && fields_.Field(0).empty()) {
        if (subRows_.size() >= static_cast<std::size_t>(kMaxAgencyHeaderLines)) {
          throw HourlyFileError("the agency file has more than " +
                                std::to_string(kMaxAgencyHeaderLines) +
                                " header rows under its items");
        }
        subRows_.push_back(Cells(line));
        continue;
      }
    }
    header_.DataLinePending = true;
    return;
  }
}

void AgencyHeaderReader::FindColumns() {
  HourlyColumns& columns = header_.Columns;
  // The value columns so far, for the flag columns after them.
  struct ValueColumn {
    std::string Item;
    std::string Sub;
    const HourlyColumnDef* Def = nullptr;  // none: an item the counting does not read
  };
  std::vector<ValueColumn> values;
  std::vector<std::string> stations;
  for (std::size_t c = firstValue_; c < itemRow_.size(); ++c) {
    const NameAndUnit item = SplitUnit(itemRow_[c]);
    std::string sub;
    std::string flag;
    for (const Row& row : subRows_) {
      if (c >= row.size() || row[c].empty()) continue;
      if (std::find(kFlagKinds.begin(), kFlagKinds.end(), row[c]) != kFlagKinds.end()) {
        flag = row[c];
      } else {
        sub = row[c];
      }
    }
    const int column = static_cast<int>(c);
    if (!flag.empty()) {
      if (flag != kQualityFlag) continue;
      // The quality flag of the nearest value column before it of the same item.
      for (auto v = values.rbegin(); v != values.rend(); ++v) {
        if (v->Item == item.Name && v->Sub == sub) {
          if (v->Def) columns[v->Def->Column].Flag = column;
          break;
        }
      }
      continue;
    }
    const HourlyColumnDef* def = AgencyColumn(item.Name, sub);
    values.push_back({std::string(item.Name), sub, def});
    if (!def) continue;
    ColumnAt& at = columns[def->Column];
    if (def->Kind == ColumnKind::Radiation) {
      at.Megajoule = item.Unit.empty() || SaysMegajoule(item.Unit);  // the agency's unit is MJ
    }
    if (c < stationRow_.size() && !stationRow_[c].empty() &&
        std::find(stations.begin(), stations.end(), stationRow_[c]) == stations.end()) {
      stations.push_back(stationRow_[c]);
    }
    if (stations.size() > 1) {
      throw HourlyFileError("the agency file holds more than one station (" + stations[0] + ", " +
                            stations[1] + "): download one station per file");
    }
    if (at.Field >= 0) {
      throw HourlyFileError("the agency file holds the " + std::string(def->Described) +
                            " twice: download one station per file");
    }
    at.Field = column;
  }
  using enum HourlyColumn;
  if (role_ == HourlyFileRole::Radiation) {
    if (columns[Solar].Field < 0 && columns[Net].Field < 0 && columns[Cloud].Field < 0) {
      throw HourlyFileError("the agency file has none of 日射量, 放射収支量 and 雲量 among its "
                            "items: download them with the hourly values");
    }
  } else if (columns[Speed].Field < 0) {
    throw HourlyFileError("the agency file has no wind speed (風速) among its items: download "
                          "風向・風速 with the hourly values");
  } else if (columns[Direction].Field < 0) {
    throw HourlyFileError("the agency file has no wind direction (風速 with 風向 under it): "
                          "download 風向・風速 with the hourly values");
  }
  if (!stations.empty()) header_.Station = stations[0];
}

}  // namespace

bool IsAgencyFirstLine(std::string_view line, TextEncoding& encoding) {
  if (line.starts_with(kAgencyMarker)) {
    encoding.Set(TextEncoding::Utf8);
  } else if (line.starts_with(Utf8ToCp932(kAgencyMarker))) {
    encoding.Set(TextEncoding::Cp932);
  } else {
    return false;
  }
  return true;
}

AgencyHeader ReadAgencyHeader(LineReader& lines, TextEncoding& encoding, std::string_view& line,
                              HourlyFileRole role) {
  return AgencyHeaderReader(lines, encoding, role).Read(line);
}

}  // namespace vmk
