// Where a block pasted into the frequency grid goes, and the blocks that are refused whole.
#include <gtest/gtest.h>

#include "form/grid_paste.h"

namespace vmk {
namespace {

TEST(GridPaste, BlockLandsWithItsTopLeftAtTheCurrentCellAsTyped) {
  const GridPaste p = PlanGridPaste("12\t\"3\"\r\n\"1,5\"\t４５\r\n", 4, 11);
  EXPECT_EQ(p.Problem, "");
  ASSERT_EQ(p.Cells.size(), 4u);
  const GridCellText expected[] = {{4, 11, "12"}, {4, 12, "3"}, {5, 11, "1,5"}, {5, 12, "45"}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(p.Cells[i].Row, expected[i].Row) << i;
    EXPECT_EQ(p.Cells[i].Col, expected[i].Col) << i;
    EXPECT_EQ(p.Cells[i].Text, expected[i].Text) << i;
  }
  // The whole input area, from the first speed cell, with a shorter last line.
  std::string whole;
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 12; ++c) whole += (c > 1 ? "\t" : "") + std::to_string(r * 100 + c);
    whole += "\n";
  }
  const GridPaste all = PlanGridPaste(whole + "x", 1, 1);
  EXPECT_NE(all.Problem, "");  // ten lines: the last reaches the totals
  const GridPaste fits = PlanGridPaste(whole, 1, 1);
  EXPECT_EQ(fits.Problem, "");
  ASSERT_EQ(fits.Cells.size(), 108u);
  EXPECT_EQ(fits.Cells.back().Row, 9);
  EXPECT_EQ(fits.Cells.back().Col, 12);
  EXPECT_EQ(fits.Cells.back().Text, "912");
}

TEST(GridPaste, BlocksReachingTheTotalsOrLeavingTheGridAreRefusedWhole) {
  const std::string area = "入力欄は 1～9 行目、1～12 列目です。";
  const struct {
    const char* Text;
    int Row, Col;
    std::string Problem;
  } rows[] = {
      {"1\n2\n", 9, 2, "貼り付けませんでした: 2 行 × 1 列を 9 行 2 列目から貼り付けると、有風合計の行 (10 行目) に掛かります。" + area},
      {"1\t2\t3", 4, 11, "貼り付けませんでした: 1 行 × 3 列を 4 行 11 列目から貼り付けると、合計の列 (13 列目) に掛かります。" + area},
      {"1", 10, 2, "貼り付けませんでした: 1 行 × 1 列を 10 行 2 列目から貼り付けると、有風合計の行 (10 行目) に掛かります。" + area},
      {"1", 3, 13, "貼り付けませんでした: 1 行 × 1 列を 3 行 13 列目から貼り付けると、合計の列 (13 列目) に掛かります。" + area},
      {"1\n2\n3", 9, 2, "貼り付けませんでした: 3 行 × 1 列を 9 行 2 列目から貼り付けると、表の外にはみ出します。" + area},
      {"1\t2\t3\t4", 1, 11, "貼り付けませんでした: 1 行 × 4 列を 1 行 11 列目から貼り付けると、表の外にはみ出します。" + area},
      {"1", 0, 3, "見出しのセルには貼り付けられません。" + area},
      {"", 4, 4, "貼り付ける文字がクリップボードにありません。"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Text);
    const GridPaste p = PlanGridPaste(row.Text, row.Row, row.Col);
    EXPECT_EQ(p.Problem, row.Problem);
    EXPECT_TRUE(p.Cells.empty());
  }
}

}  // namespace
}  // namespace vmk
