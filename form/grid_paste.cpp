#include "form/grid_paste.h"

#include <algorithm>

#include "common/half_width.h"
#include "form/form_layout.h"

namespace vmk {
namespace {

std::string N(int v) { return std::to_string(v); }

std::string InputArea() {
  return "入力欄は " + N(kGridInputFirstRow) + "～" + N(kGridInputLastRow) + " 行目、" +
         N(kGridInputFirstCol) + "～" + N(kGridInputLastCol) + " 列目です。";
}

}  // namespace

GridPaste PlanGridPaste(std::string_view utf8, int row, int col) {
  GridPaste paste;
  const TextBlock block = ParseTabSeparated(utf8);
  std::size_t width = 0;
  for (const auto& line : block) width = std::max(width, line.size());
  if (block.empty() || width == 0) {
    paste.Problem = "貼り付ける文字がクリップボードにありません。";
    return paste;
  }
  if (row < kGridInputFirstRow || col < kGridInputFirstCol) {
    paste.Problem = "見出しのセルには貼り付けられません。" + InputArea();
    return paste;
  }

  const long long rows = static_cast<long long>(block.size());
  const long long cols = static_cast<long long>(width);
  const long long lastRow = row + rows - 1;
  const long long lastCol = col + cols - 1;
  const std::string what = "貼り付けませんでした: " + std::to_string(rows) + " 行 × " +
                           std::to_string(cols) + " 列を " + N(row) + " 行 " + N(col) +
                           " 列目から貼り付けると、";
  if (lastRow >= kGridRows || lastCol >= kGridCols) {
    paste.Problem = what + "表の外にはみ出します。" + InputArea();
    return paste;
  }
  if (lastRow > kGridInputLastRow) {
    paste.Problem = what + "有風合計の行 (" + N(kGridInputLastRow + 1) + " 行目) に掛かります。" +
                    InputArea();
    return paste;
  }
  if (lastCol > kGridInputLastCol) {
    paste.Problem = what + "合計の列 (" + N(kGridInputLastCol + 1) + " 列目) に掛かります。" +
                    InputArea();
    return paste;
  }

  for (std::size_t r = 0; r < block.size(); ++r) {
    for (std::size_t c = 0; c < block[r].size(); ++c) {
      paste.Cells.push_back({row + static_cast<int>(r), col + static_cast<int>(c),
                             HalfWidthNumberText(block[r][c])});
    }
  }
  return paste;
}

}  // namespace vmk
