// The meteorological frequency table `MetStringGrid`: fixed texts, starting cells, totals; and
// the start-up form of the window, whose grid it fills.
#pragma once

#include <array>
#include <string_view>

#include "form/form_record.h"
#include "input/model_parameters.h"

namespace vmk {

// Column 0 and column 1 texts of rows 0..10 (UTF-8 here; written to the grid as CP932).
struct MetGridFixedTextsTable {
  std::array<std::string_view, 11> Column0;
  std::array<std::string_view, 11> Column1;
};
extern const MetGridFixedTextsTable MetGridFixedTexts;

// Writes the headers and the starting texts; the totals stay empty.
void InitFrequencyGrid(GridCells& grid);

// The start-up state of the window: every control of the layout and `InitFrequencyGrid`. The
// window, the case files, the site's stacks and the command lines all start from it.
FormRecord MakeStartupForm();

// Writes the row totals (column 13) and the windy totals (row 10) from the frequency fields;
// `sep` is the decimal separator of the weak-wind total.
void ShowFrequencyTotals(const ModelParameters& p, GridCells& grid, std::string_view sep = ".");

}  // namespace vmk
