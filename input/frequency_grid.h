// The meteorological frequency table `MetStringGrid`: fixed texts, starting cells, totals; and
// the start-up form of the window, whose grid it fills.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
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

// The hours the grid counts over all directions: calm and weak wind of all directions (rows 1
// and 3) and this direction's windy hours (rows 4 to 9). `FreqTotal` (全方位有効頻度) holds the
// valid hours of all directions, so it is at least this; the model weights every case by its
// hours over `FreqTotal`, and a smaller one makes the concentration too high.
std::int32_t GridHoursOfAllDirections(const ModelParameters& p);

// `FreqTotal` below the grid's hours of all directions, or nothing when it is not.
struct FreqTotalShortfall {
  std::int32_t FreqTotal = 0;
  std::int32_t GridHours = 0;
};
std::optional<FreqTotalShortfall> CheckFreqTotal(const ModelParameters& p);

// Writes the row totals (column 13) and the windy totals (row 10) from the frequency fields;
// `sep` is the decimal separator of the weak-wind total.
void ShowFrequencyTotals(const ModelParameters& p, GridCells& grid, std::string_view sep = ".");

}  // namespace vmk
