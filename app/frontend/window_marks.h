// Marks a window shows beside its controls, decided once for both windows: the results greyed
// with a note while they belong to other inputs (after an edit, or a calculation ended by a
// message box), and the warning beside 全方位有効頻度 when it is smaller than the hours the grid
// counts for all directions. The result labels keep their texts exactly: the marks are labels
// of the window's own, at the places of the table below. Texts UTF-8.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "form/form_layout.h"
#include "form/form_record.h"
#include "input/frequency_grid.h"
#include "plot/scene.h"

namespace vmk {

// Why the results on screen may not belong to the inputs.
enum class ResultState {
  Current,             // from the last calculation, nothing edited since (or no results yet)
  InputsChanged,       // an input was edited after them
  CalculationStopped,  // the last calculation ended by a message box and left them as they were
};

// The result labels that a stale mark greys.
inline constexpr std::string_view kResultLabels[] = {"QhResultLabel", "ConcResLabel"};

// A label of the marks: its place on the window as the layout table gives places.
struct MarkLabel {
  std::string_view Name;
  ControlParent Parent;
  int Left, Top, Width, Height;
};

// The note beside each result label, and the warning beside `FreqTotalEdit`.
inline constexpr MarkLabel kQhStaleLabel{"QhStaleLabel", ControlParent::SrcDataSheet, 184, 160, 396, 13};
inline constexpr MarkLabel kConcStaleLabel{"ConcStaleLabel", ControlParent::Window, 320, 348, 280, 13};
inline constexpr MarkLabel kHoursWarningLabel{"FreqTotalWarningLabel", ControlParent::MetDataSheet, 216, 27,
                                              368, 13};
std::span<const MarkLabel> MarkLabels();

// The text colours: the greyed results and their notes, and the warning.
inline constexpr PlotColor kStaleTextColor{128, 128, 128};
inline constexpr PlotColor kWarningTextColor{192, 0, 0};

// What the window shows.
struct WindowMarks {
  bool ResultsStale = false;  // the result labels greyed, the note beside each
  std::string StaleNote;      // "(入力が変更されました: 再計算してください)"; empty when not stale
  std::string HoursWarning;   // beside `FreqTotalEdit`; empty for none
  bool operator==(const WindowMarks&) const = default;
};

// The marks of a state: results that are empty (before the first calculation, after 新規作成
// or 開く) are not marked.
WindowMarks MarksOf(ResultState results, const FormRecord& form, const std::string& hoursWarning);

// The note beside stale results.
std::string StaleNote(ResultState results);

// The warning of a 全方位有効頻度 smaller than the grid's hours, or an empty text.
std::string HoursWarningText(const std::optional<FreqTotalShortfall>& shortfall);

}  // namespace vmk
