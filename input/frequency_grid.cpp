// The frequency grid `MetStringGrid`: row titles, starting cells and the totals written back
// after each validation.
//
// Rows: 0 header, 1 calm (all directions), 2 weak wind (this direction, real hours),
// 3 weak wind (all directions), 4..9 windy classes 1..6, 10 windy totals.
// Columns: 0 row title, 1 representative wind speed, 2..12 stability classes 1..11, 13 totals.
#include "input/frequency_grid.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "common/numtext.h"
#include "input/field_parse.h"

namespace vmk {

const MetGridFixedTextsTable MetGridFixedTexts = {
    {"風速階級", "無風全方位", "  弱 風", "弱風全方位", "  有風 1", "  有風 2", "  有風 3", "  有風 4",
     "  有風 5", "  有風 6", " 有風合計"},
    {"[m/s]", " 0.4", " 0.7", "  -", " 1.5", " 2.5", " 3.5", " 5.0", " 7.0", " 9.0", "  -"},
};

namespace {

constexpr int kWeakRow = 2;
constexpr int kFirstWindyRow = 4;
constexpr int kLastFreqRow = 9;
constexpr int kTotalRow = 10;
constexpr int kTotalCol = 13;

constexpr int ColumnOf(int s) { return s + 1; }

// The frequency of grid row `row` (1..9) for stability class s, as a single-precision value.
float RowValue(const ModelParameters& p, int row, int s) {
  switch (row) {
    case 1: return static_cast<float>(p.CalmAllFreq[s]);
    case 2: return p.WeakFreq[s];
    case 3: return static_cast<float>(p.WeakAllFreq[s]);
    default: return static_cast<float>(p.WindyFreq[row - 3][s]);
  }
}

}  // namespace

void InitFrequencyGrid(GridCells& grid) {
  for (int r = 0; r < kGridRows; ++r) {
    grid[r][0] = Sj(MetGridFixedTexts.Column0[r]);
    grid[r][1] = Sj(MetGridFixedTexts.Column1[r]);
  }
  for (int s = StabFirst; s <= StabLast; ++s) {
    grid[0][ColumnOf(s)] = " " + std::string(StabilityLabels[s]);
  }
  grid[0][kTotalCol] = Sj("合 計");
  for (int r = 1; r <= kLastFreqRow; ++r) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      grid[r][ColumnOf(s)] = r == kWeakRow ? " 0.00" : "   0";
    }
  }
}

FormRecord MakeStartupForm() {
  FormRecord form = MakeLayoutForm();
  InitFrequencyGrid(form.Grid);
  return form;
}

std::int32_t GridHoursOfAllDirections(const ModelParameters& p) {
  std::int32_t hours = 0;
  for (int s = StabFirst; s <= StabLast; ++s) {
    hours += p.CalmAllFreq[s] + p.WeakAllFreq[s];
    for (int k = 1; k <= 6; ++k) hours += p.WindyFreq[k][s];
  }
  return hours;
}

std::optional<FreqTotalShortfall> CheckFreqTotal(const ModelParameters& p) {
  const std::int32_t grid = GridHoursOfAllDirections(p);
  if (p.FreqTotal >= grid) return std::nullopt;
  return FreqTotalShortfall{p.FreqTotal, grid};
}

void ShowFrequencyTotals(const ModelParameters& p, GridCells& grid, std::string_view sep) {
  // The windy totals are kept in 32 bits. Each cell may hold up to 8784 hours, so six windy
  // cells of one class already sum to 52704 and the grand total can reach eleven times that;
  // a 16-bit total would wrap to a negative number and put a wrong figure on the screen.
  std::int32_t windyGrandTotal = 0;
  std::array<std::int32_t, StabLast + 1> windyColumnTotal{};
  std::array<float, kLastFreqRow + 1> rowTotal{};  // [1..9]

  // Class by class, rows 1..9 within a class: the order fixes the float sums' rounding.
  for (int s = StabFirst; s <= StabLast; ++s) {
    for (int r = 1; r <= kLastFreqRow; ++r) {
      const float value = RowValue(p, r, s);
      rowTotal[r] = static_cast<float>(static_cast<long double>(rowTotal[r]) + value);
      if (r >= kFirstWindyRow) {
        // Windy cells hold whole hours already; the rounding only turns them back to integers.
        const auto hours = static_cast<std::int32_t>(std::lround(value));
        windyColumnTotal[s] += hours;
        windyGrandTotal += hours;
      }
    }
  }

  grid[kTotalRow][kTotalCol] = FormatIntRight(windyGrandTotal, 5);
  for (int r = 1; r <= kLastFreqRow; ++r) {
    if (r == kWeakRow) {
      grid[r][kTotalCol] = FormatFixed(rowTotal[r], 8, 3, sep);
    } else {
      // Nearest integer, halves away from zero. These rows hold whole hours and sum exactly in
      // single precision (at most 11 x 8784), so the rounding only turns the total back to an
      // integer.
      grid[r][kTotalCol] = FormatIntRight(static_cast<std::int32_t>(std::lround(rowTotal[r])), 5);
    }
  }
  for (int s = StabFirst; s <= StabLast; ++s) {
    grid[kTotalRow][ColumnOf(s)] = FormatIntRight(windyColumnTotal[s], 4);
  }
}

}  // namespace vmk
