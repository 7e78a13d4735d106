#include "app/frontend/form_rules.h"

#include <algorithm>
#include <cctype>

#include "casefile/input_help.h"
#include "common/cp932.h"
#include "common/tab_separated.h"

namespace vmk {

bool IsNumericField(std::string_view field) {
  const ControlDef* def = FindControl(field);
  return def != nullptr && def->Kind == ControlKind::Edit && field != "memoOption" && field != "WDEdit";
}

bool EnterCalculates(std::string_view field) { return field == "XrpEdit"; }

bool ButtonCalculates(std::string_view button) { return button == "CalcGoButton"; }

std::string_view PageName(ControlParent parent) {
  switch (parent) {
    case ControlParent::SrcDataSheet:
      return "SrcDataSheet";
    case ControlParent::MetDataSheet:
      return "MetDataSheet";
    case ControlParent::CalcCondSheet:
      return "CalcCondSheet";
    case ControlParent::Window:
    case ControlParent::TabControl:
      break;
  }
  return {};
}

GridRange CopyRange(const std::optional<GridRange>& selected) {
  if (selected) return *selected;
  return {kGridInputFirstRow, kGridInputFirstCol, kGridInputLastRow, kGridInputLastCol};
}

std::string CopyText(const GridCells& cells, const GridRange& range) {
  TextBlock block;
  for (int row = range.Top; row <= range.Bottom; ++row) {
    block.emplace_back();
    for (int col = range.Left; col <= range.Right; ++col) {
      block.back().push_back(Cp932ToUtf8(cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)]));
    }
  }
  return TabSeparatedText(block);
}

bool ApplyPaste(const GridPaste& paste, GridCells& cells) {
  bool changed = false;
  for (const GridCellText& cell : paste.Cells) {
    Cp932& text = cells[static_cast<std::size_t>(cell.Row)][static_cast<std::size_t>(cell.Col)];
    const Cp932 pasted = Utf8ToCp932(cell.Text);
    changed = changed || text != pasted;
    text = pasted;
  }
  return changed;
}

GridRange PastedRange(const GridPaste& paste, int row, int col) {
  GridRange range{row, col, row, col};
  for (const GridCellText& cell : paste.Cells) {
    range.Bottom = std::max(range.Bottom, cell.Row);
    range.Right = std::max(range.Right, cell.Col);
  }
  return range;
}

std::string DroppedCaseFile(std::span<const std::string> localPaths) {
  for (const std::string& path : localPaths) {
    if (path.size() < 5) continue;
    std::string end = path.substr(path.size() - 5);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (end == ".json") return path;
  }
  return {};
}

std::optional<RejectedInputView> RejectedInputViewOf(const RejectedInput& rejected, const FormRecord& form) {
  const ControlDef* def = FindControl(rejected.Control);
  if (def == nullptr) return std::nullopt;
  RejectedInputView view;
  view.Page = std::string(PageName(def->Parent));
  view.Control = rejected.Control;
  view.Kind = def->Kind;
  view.Row = rejected.Row;
  view.Col = rejected.Col;
  view.Focus = def->Kind == ControlKind::Grid || !form.Has(def->Name) || form[def->Name].Enabled;
  view.Tip = AcceptedRangeTip(rejected, form);
  return view;
}

int BusiestDirection(const MetStats& stats) {
  int busiest = 0;
  for (int d = 1; d < kDirections; ++d) {
    if (TotalHours(stats.Directions[static_cast<std::size_t>(d)]) >
        TotalHours(stats.Directions[static_cast<std::size_t>(busiest)])) {
      busiest = d;
    }
  }
  return busiest;
}

DirectionQuestion DirectionQuestionFor(const MetStats& stats) {
  DirectionQuestion q;
  q.Title = "気象統計から読み込む";
  q.Label = "風向 (風の吹いてくる方向):";
  for (int d = 0; d < kDirections; ++d) {
    const auto i = static_cast<std::size_t>(d);
    const MetDirection& dir = stats.Directions[i];
    std::string name(kDirectionNames[i]);
    name.resize(std::max<std::size_t>(name.size(), 3), ' ');  // the Japanese names line up
    q.Items.push_back(name + "  " + std::string(kDirectionNamesJa[i]) + "  (弱風 " +
                      std::to_string(TotalHours(dir.Weak)) + " 時間, 有風 " + std::to_string(WindyHours(dir)) +
                      " 時間)");
  }
  q.Preselected = BusiestDirection(stats);
  return q;
}

}  // namespace vmk
