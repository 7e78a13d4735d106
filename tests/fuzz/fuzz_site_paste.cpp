// Spreadsheet cells pasted into the site editor's tables, over any bytes: the first byte picks
// the table and the cell the paste starts at, the rest is the clipboard's text. A paste is
// refused with a message and the cell it names, and then the table is as it was; or every row
// keeps one cell per column, the rows it reaches are there, the rows above and the cells it
// does not reach are as they were, and every pasted cell is what its column takes (a number or
// nothing, 1 or 0 or nothing for a check box).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/number_read.h"
#include "app/site_editor/site_document.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool stacks = (data[0] & 1) != 0;
  const int row = (data[0] >> 1) & 3;
  const int col = (data[0] >> 3) & 31;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<vmk::SiteColumn>& columns = stacks ? vmk::StackColumns() : vmk::PointColumns();
  std::vector<vmk::SiteRow> rows(2, vmk::SiteRow(columns.size(), "old"));
  const std::vector<vmk::SiteRow> before = rows;
  const vmk::SitePaste p =
      vmk::PasteIntoTable(rows, columns, stacks ? vmk::SitePlace::Stacks : vmk::SitePlace::Points, text, row, col);
  if (p.Problem) {
    if (p.Problem->Text.empty()) Broken("a refusal without a message");
    if (rows != before) Broken("a refused paste changed the table");
    if (p.Problem->Row < 0 || p.Problem->Col < 0) Broken("a refusal without its cell");
    return 0;
  }
  if (p.Rows < 1 || p.Cols < 1 || col + p.Cols > static_cast<int>(columns.size())) Broken("a paste outside the table");
  if (rows.size() != std::max<std::size_t>(before.size(), static_cast<std::size_t>(row + p.Rows))) {
    Broken("the table did not grow to the pasted rows");
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].size() != columns.size()) Broken("a row without one cell per column");
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const std::string& cell = rows[r][c];
      const bool reached = static_cast<int>(r) >= row && static_cast<int>(r) < row + p.Rows &&
                           static_cast<int>(c) >= col && static_cast<int>(c) < col + p.Cols;
      if (!reached) {
        const std::string old = r < before.size() ? before[r][c] : std::string();
        if (cell != old) Broken("a cell the paste does not reach changed");
        continue;
      }
      if (cell == "old") continue;  // a ragged line leaves the cells after its end
      switch (columns[c].Kind) {
        case vmk::SiteCellKind::Name: break;
        case vmk::SiteCellKind::Number:
        case vmk::SiteCellKind::Control: {
          double v = 0;
          if (!cell.empty() && vmk::ReadNumber(cell, v) != vmk::NumberReading::Finite) Broken("not a number: " + cell);
          break;
        }
        case vmk::SiteCellKind::Check:
          if (cell != "1" && cell != "0" && !cell.empty()) Broken("not a check box's: " + cell);
          break;
      }
    }
  }
  return 0;
}
