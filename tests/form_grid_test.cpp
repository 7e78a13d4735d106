// The frequency grid: its fixed texts and starting cells, and the totals written back after a
// validation, including totals wider than their width and windy sums beyond 16 bits.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "form/form_layout.h"
#include "common/cp932.h"
#include "input/frequency_grid.h"
#include "input/model_parameters.h"

namespace vmk {
namespace {

GridCells StartGrid() {
  GridCells grid;
  InitFrequencyGrid(grid);
  return grid;
}

TEST(FrequencyGrid, StartingTexts) {
  const GridCells grid = StartGrid();
  const std::vector<std::string> column0 = {"風速階級", "無風全方位", "  弱 風", "弱風全方位",
                                            "  有風 1", "  有風 2", "  有風 3", "  有風 4",
                                            "  有風 5", "  有風 6", " 有風合計"};
  const std::vector<std::string> column1 = {"[m/s]", " 0.4", " 0.7", "  -", " 1.5", " 2.5",
                                            " 3.5", " 5.0", " 7.0", " 9.0", "  -"};
  for (int r = 0; r < kGridRows; ++r) {
    EXPECT_EQ(grid[r][0], Sj(column0[r])) << r;
    EXPECT_EQ(grid[r][1], column1[r]) << r;
    EXPECT_LE(grid[r][0].size(), 10u) << r;
  }

  const std::vector<std::string> headers = {"  A", " A-B", "  B", " B-C", "  C", " C-D",
                                            " Dd",  " Dn",  "  E", "  F",  "  G"};
  for (int c = 2; c <= 12; ++c) EXPECT_EQ(grid[0][c], headers[c - 2]) << c;
  EXPECT_EQ(grid[0][13], Sj("合 計"));

  for (int r = 1; r <= 9; ++r) {
    for (int c = 2; c <= 12; ++c) EXPECT_EQ(grid[r][c], r == 2 ? " 0.00" : "   0") << r << "," << c;
    EXPECT_TRUE(grid[r][13].empty()) << r;
  }
  for (int c = 2; c <= 13; ++c) EXPECT_TRUE(grid[10][c].empty()) << c;
}

TEST(FrequencyGrid, TotalsOfAnAllZeroTable) {
  GridCells grid = StartGrid();
  ShowFrequencyTotals(ModelParameters{}, grid);
  for (int r : {1, 3, 4, 5, 6, 7, 8, 9, 10}) EXPECT_EQ(grid[r][13], "    0") << r;
  EXPECT_EQ(grid[2][13], "0.000");
  for (int c = 2; c <= 12; ++c) EXPECT_EQ(grid[10][c], "   0") << c;
}

struct TotalsCase {
  const char* What;
  void (*Fill)(ModelParameters&);
  std::vector<std::pair<std::pair<int, int>, std::string>> Cells;  // {row, col} -> text
};

const std::vector<TotalsCase> kTotalsCases = {
    {"weak-wind hours of two classes",
     [](ModelParameters& p) { p.WeakFreq[1] = 0.25f; p.WeakFreq[11] = 0.5f; },
     {{{2, 13}, "0.750"}, {{10, 13}, "    0"}, {{10, 2}, "   0"}}},
    {"a windy column total wider than its width is written in full",
     [](ModelParameters& p) { p.WindyFreq[1][3] = 8784; p.WindyFreq[2][3] = 3561; },
     {{{10, 4}, "12345"}, {{10, 13}, "12345"}, {{4, 13}, " 8784"}, {{5, 13}, " 3561"}}},
    {"every windy cell at 8784 hours: column, row and grand totals pass 16 bits",
     [](ModelParameters& p) {
       for (int k = 1; k <= 6; ++k) {
         for (int s = StabFirst; s <= StabLast; ++s) p.WindyFreq[k][s] = MaxFreqHours;
       }
     },
     {{{10, 2}, "52704"}, {{10, 12}, "52704"}, {{10, 13}, "579744"}, {{4, 13}, "96624"}}},
    {"calm and weak-wind rows are summed across but not into the windy totals",
     [](ModelParameters& p) {
       p.CalmAllFreq[1] = 12; p.CalmAllFreq[11] = 30; p.WeakAllFreq[5] = 7;
       p.WeakFreq[5] = 12.5f; p.WindyFreq[3][5] = 4;
     },
     {{{1, 13}, "   42"}, {{3, 13}, "    7"}, {{2, 13}, "12.500"}, {{6, 13}, "    4"},
      {{10, 6}, "   4"}, {{10, 13}, "    4"}}},
};

TEST(FrequencyGrid, Totals) {
  for (const TotalsCase& tc : kTotalsCases) {
    ModelParameters p;
    tc.Fill(p);
    GridCells grid = StartGrid();
    ShowFrequencyTotals(p, grid);
    for (const auto& [cell, text] : tc.Cells) {
      EXPECT_EQ(grid[cell.first][cell.second], text)
          << tc.What << ": row " << cell.first << ", column " << cell.second;
    }
  }
}

TEST(FrequencyGrid, TotalsOverwriteTypedTextButLeaveTheSpeedColumn) {
  GridCells grid = StartGrid();
  for (int r = 1; r <= 10; ++r) grid[r][13] = "x";
  for (int c = 1; c <= 12; ++c) grid[10][c] = "y";
  grid[3][1] = "z";
  grid[4][2] = "typed";  // the cells are read by the validation, never by the totals
  ShowFrequencyTotals(ModelParameters{}, grid);
  for (int r = 1; r <= 10; ++r) EXPECT_NE(grid[r][13], "x") << r;
  for (int c = 2; c <= 12; ++c) EXPECT_EQ(grid[10][c], "   0") << c;
  EXPECT_EQ(grid[10][1], "y");
  EXPECT_EQ(grid[3][1], "z");
  EXPECT_EQ(grid[4][2], "typed");
}

}  // namespace
}  // namespace vmk
