#include "app/frontend/window_marks.h"

#include <algorithm>

namespace vmk {

std::span<const MarkLabel> MarkLabels() {
  static constexpr MarkLabel kLabels[] = {kQhStaleLabel, kConcStaleLabel, kHoursWarningLabel};
  return kLabels;
}

std::string StaleNote(ResultState results) {
  switch (results) {
    case ResultState::InputsChanged:
      return "(入力が変更されました: 再計算してください)";
    case ResultState::CalculationStopped:
      return "(計算は中断されました)";
    case ResultState::Current:
      break;
  }
  return {};
}

WindowMarks MarksOf(ResultState results, const FormRecord& form, const std::string& hoursWarning) {
  WindowMarks marks;
  const bool shown = std::any_of(std::begin(kResultLabels), std::end(kResultLabels), [&](std::string_view label) {
    return form.Text(label).find_first_not_of(' ') != Cp932::npos;
  });
  marks.ResultsStale = shown && results != ResultState::Current;
  if (marks.ResultsStale) marks.StaleNote = StaleNote(results);
  marks.HoursWarning = hoursWarning;
  return marks;
}

std::string HoursWarningText(const std::optional<FreqTotalShortfall>& shortfall) {
  if (!shortfall) return {};
  return "全方位有効頻度 " + std::to_string(shortfall->FreqTotal) + " が表の時間 " +
         std::to_string(shortfall->GridHours) + " より小さい: 濃度が過大になります";
}

}  // namespace vmk
