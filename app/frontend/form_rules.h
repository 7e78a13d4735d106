// The rules a window applies to its controls, decided once for both windows: which fields take
// numbers, where Enter calculates, the grid's copy range and text and where a paste goes,
// which dropped file opens, where a rejected input is shown, and the wind directions of a met
// statistics file to choose from. Texts UTF-8 unless they are the form's (code page 932).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "form/form_layout.h"
#include "form/form_record.h"
#include "form/grid_paste.h"
#include "input/read_parameters.h"
#include "met/met_stats.h"

namespace vmk {

// The edit fields that take numbers: every edit field but the memo and the wind direction.
// Full-width digits and number signs typed into them (and into every grid cell) become their
// half-width forms as they are typed (common/half_width.h).
bool IsNumericField(std::string_view field);

// The one field where Enter starts a calculation, as the calculate button does: `XrpEdit`.
bool EnterCalculates(std::string_view field);
// The button that starts a calculation: `CalcGoButton`.
bool ButtonCalculates(std::string_view button);

// The name of the tab page a control of that parent lies on ("SrcDataSheet"), or an empty
// text for the window's bottom bar and the tab control.
std::string_view PageName(ControlParent parent);

// A block of grid cells, rows and columns inclusive.
struct GridRange {
  int Top = 0;
  int Left = 0;
  int Bottom = 0;
  int Right = 0;
  bool operator==(const GridRange&) const = default;
};

// The grid's current cell and its selection, as the window reports them.
struct GridSelection {
  int Row = kGridInputFirstRow;
  int Col = kGridInputFirstCol;
  std::optional<GridRange> Selected;  // nothing when no cell is selected
};

// What 編集 → コピー copies: the selection, or every input cell (rows 1 to 9, columns 1 to 12)
// when nothing is selected.
GridRange CopyRange(const std::optional<GridRange>& selected);
// The cells of the range as tab-separated lines, each ending in LF (UTF-8).
std::string CopyText(const GridCells& cells, const GridRange& range);

// Puts a paste plan's cells into the grid (code page 932); true when a cell changed. The block
// the paste covers, from the current cell, is selected afterwards.
bool ApplyPaste(const GridPaste& paste, GridCells& cells);
GridRange PastedRange(const GridPaste& paste, int row, int col);

// The case file of a drop: the first dropped item that is a local file whose name ends in
// ".json" (in any case), or an empty text. `localPaths` holds the local path of each dropped
// item in order, an empty text for an item that is no local file (a web address).
std::string DroppedCaseFile(std::span<const std::string> localPaths);

// Where a window shows the input that stopped a calculation.
struct RejectedInputView {
  std::string Page;     // the tab page to show first; empty when the control is not on a page
  std::string Control;  // the field, or `MetStringGrid` for a cell
  ControlKind Kind = ControlKind::Edit;
  int Row = 0;  // the cell, for the grid
  int Col = 0;
  // The field or cell gets the focus with its text selected (a cell opens for typing). A
  // disabled field gets none: it only shows its tip.
  bool Focus = true;
  std::string Tip;  // the accepted range, beside the field or cell (casefile/input_help.h)
};
// Nothing for a control the layout does not have.
std::optional<RejectedInputView> RejectedInputViewOf(const RejectedInput& rejected, const FormRecord& form);

// The list of 気象統計から読み込む: one line per wind direction with its hours, the busiest
// direction preselected.
struct DirectionQuestion {
  std::string Title;  // "気象統計から読み込む"
  std::string Label;  // "風向 (風の吹いてくる方向):"
  std::vector<std::string> Items;  // "NE   北東  (弱風 3 時間, 有風 120 時間)", N first
  int Preselected = 0;
};
DirectionQuestion DirectionQuestionFor(const MetStats& stats);
// The direction with the most hours (weak wind and windy); the first of equals.
int BusiestDirection(const MetStats& stats);

}  // namespace vmk
