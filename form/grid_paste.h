// Copy and paste of the frequency grid's cells as tab-separated text: where a pasted block goes
// and when it is refused. The window only reads the clipboard and writes the cells.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/tab_separated.h"
#include "form/form_layout.h"

namespace vmk {

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
