// The columns an hourly observation file may give, as one table: each column's names in a plain
// CSV's header and among the agency's items, and what it holds, which decides how its fields
// are read. Also where a file has them, and the encoding of its text. Shared by the header
// readers, the line reader and the driver of hourly_reader.h.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "met/hourly_reader.h"

namespace vmk {

// What a column holds.
enum class ColumnKind { Time, Speed, Direction, Stability, Radiation, Cloud };

// The columns the counting reads, in the order a line's values are checked.
enum class HourlyColumn { Time, Speed, Direction, Stability, Solar, Net, Cloud };

// An item of the agency's file that is the column: the item's name with the sub-item named
// under it (empty: none), or with any sub-item.
struct AgencyItem {
  std::string_view Item;
  std::string_view Sub;
  bool AnySub = false;
};

struct HourlyColumnDef {
  HourlyColumn Column;
  ColumnKind Kind;
  std::string_view Plain;      // its name in a plain CSV's header (any case): "ws"
  std::string_view Japanese;   // its Japanese name there, also the agency's name of it: "風速"
  std::string_view Described;  // what it holds, in messages: "wind speed"
  std::string_view ValueWord;  // one of its values, in a rejected line's reason: "speed"
  LineRejection Unreadable;    // the cause of a line whose value of it cannot be read
  std::array<AgencyItem, 2> Agency;  // the agency's items that are the column (Item empty: none)
};

inline constexpr auto kHourlyColumns = std::to_array<HourlyColumnDef>({
    // The date and the hour in one field (the agency's file may split them: its own header).
    {HourlyColumn::Time, ColumnKind::Time, "time", "日時", "time", "time", LineRejection::BadTime,
     {}},
    {HourlyColumn::Speed, ColumnKind::Speed, "ws", "風速", "wind speed", "speed",
     LineRejection::BadSpeed, {{{"風速", ""}}}},
    // The agency names the direction under the speed's item, or as an item of its own.
    {HourlyColumn::Direction, ColumnKind::Direction, "wd", "風向", "wind direction", "direction",
     LineRejection::BadDirection, {{{"風速", "風向"}, {"風向", ""}}}},
    // The class as given; without it the radiation gives the class.
    {HourlyColumn::Stability, ColumnKind::Stability, "stability", "安定度", "stability",
     "stability", LineRejection::BadStability, {}},
    {HourlyColumn::Solar, ColumnKind::Radiation, "solar", "日射量", "solar radiation",
     "solar radiation", LineRejection::BadSolar, {{{"日射量", "", true}}}},
    {HourlyColumn::Net, ColumnKind::Radiation, "net", "放射収支量", "net radiation",
     "net radiation", LineRejection::BadNet, {{{"放射収支量", "", true}}}},
    // Tenths of the sky (the agency's item is 雲量(10分比)); classifies a night without Q.
    {HourlyColumn::Cloud, ColumnKind::Cloud, "cloud", "雲量", "cloud amount", "cloud amount",
     LineRejection::BadCloud, {{{"雲量", "", true}}}},
});

static_assert(RowsInKeyOrder(kHourlyColumns, &HourlyColumnDef::Column));

inline const HourlyColumnDef& ColumnDef(HourlyColumn c) {
  return kHourlyColumns[static_cast<std::size_t>(c)];
}

// Where a file has a column: the index of its field and of the agency's quality flag of its
// values (from 0; -1 where none).
struct ColumnAt {
  int Field = -1;
  int Flag = -1;
  bool Megajoule = false;  // radiation in MJ/m2 in the hour, not kW/m2
};

// Where a file has each column of the table.
struct HourlyColumns {
  std::array<ColumnAt, kHourlyColumns.size()> At;
  std::array<int, 4> TimeParts{-1, -1, -1, -1};  // or year, month, day, hour (agency)
  std::size_t Needed = 0;  // fields a data line needs: the last column used, plus one

  ColumnAt& operator[](HourlyColumn c) { return At[static_cast<std::size_t>(c)]; }
  const ColumnAt& operator[](HourlyColumn c) const { return At[static_cast<std::size_t>(c)]; }
  // Sets Needed from the columns found.
  void CountNeeded();
};

// The encoding of a file's text as far as its lines have told: the first line with a byte
// beyond ASCII decides, unless a byte order mark or the agency's first line did.
class TextEncoding {
 public:
  enum Kind { Unknown, Utf8, Cp932 };

  Kind Get() const { return kind_; }
  void Set(Kind kind) { kind_ = kind; }
  void Note(std::string_view line);
  // The UTF-8 text of a field of the file (for names and messages).
  std::string ToUtf8(std::string_view field) const;

 private:
  Kind kind_ = Unknown;
};

// A column name split into the name and the unit in brackets after it: "風速(m/s)", "solar
// [kW/m2]", "日射量（MJ/m2）".
struct NameAndUnit {
  std::string_view Name;
  std::string_view Unit;
};
NameAndUnit SplitUnit(std::string_view text);

// Whether a unit is MJ (of radiation in the hour).
bool SaysMegajoule(std::string_view unit);

// The column's names in a plain CSV, "ws or 風速", and the column as messages say it: "a wind
// speed column (ws or 風速)".
std::string ColumnNames(const HourlyColumnDef& def);
std::string ColumnSays(const HourlyColumnDef& def);

// What a file of neither form should have been, the end of the messages that refuse it.
std::string ExpectedForms();

// What a file is read for: the whole counting, or one of the two files joined by the hour.
enum class HourlyFileRole {
  Whole,      // wind and what classifies it: stability, or solar radiation with the night's
  Wind,       // the wind (time, speed, direction); the rest may come from the second file
  Radiation,  // the second file: solar radiation, net radiation or cloud amount by the hour
};

}  // namespace vmk
