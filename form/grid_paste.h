// Copy and paste of the frequency grid's cells as tab-separated text: where a pasted block goes
// and when it is refused. The window only reads the clipboard and writes the cells.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/tab_separated.h"

namespace vmk {

// The cells a user types the inputs into: rows 1 to 9 and columns 1 to 12. Row 10 and
// column 13 hold the totals; row 0 and column 0 the fixed headers.
inline constexpr int kGridInputFirstRow = 1;
inline constexpr int kGridInputLastRow = 9;
inline constexpr int kGridInputFirstCol = 1;
inline constexpr int kGridInputLastCol = 12;

struct GridCellText {
  int Row = 0;
  int Col = 0;
  std::string Text;  // UTF-8, as it goes into the cell
};

struct GridPaste {
  std::vector<GridCellText> Cells;  // in the order of the text: line by line, left to right
  std::string Problem;              // why nothing is pasted (UTF-8, Japanese); empty when pasted
};

// The cells that the clipboard text `utf8` (spreadsheet cells, tab-separated) sets when pasted
// with its top-left at the cell (row, col): every text as it would be typed, full-width digits
// and number signs in their half-width forms. A block that would reach the totals or leave the
// grid sets no cell and says why; so does a text with no cell at all.
GridPaste PlanGridPaste(std::string_view utf8, int row, int col);

}  // namespace vmk
