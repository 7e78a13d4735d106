// The Windows window's frequency grid (app/win32/grid_control.h): the keys and the mouse that
// move and select, copy and paste with Ctrl+C and Ctrl+V only while the grid has the focus, a
// refused paste, full-width digits typed into fields and cells. Where a paste goes and when it
// is refused: frontend_edit_test.cpp.
#include <gtest/gtest.h>

#include "win32_test_support.h"

namespace {

using namespace vmk;
using namespace vmk::win32test;

class Win32Grid : public ::testing::Test {
 protected:
  void SetUp() override {
    w_.Window.ShowPage(1);
    SetFocus(grid_);
  }
  GridRange Selected() const { return *win32::GridSelectionOf(grid_).Selected; }
  std::wstring Cell(int r, int c) const { return win32::GridCellText(grid_, r, c); }
  std::vector<std::wstring> AllCells() const {
    std::vector<std::wstring> cells;
    for (int r = 0; r < kGridRows; ++r) {
      for (int c = 0; c < kGridCols; ++c) cells.push_back(Cell(r, c));
    }
    return cells;
  }

  TestWindow w_;
  HWND grid_ = w_.Window.Grid();
};

TEST_F(Win32Grid, KeysAndTheMouseMoveAndSelect) {
  struct Step {
    UINT Key;  // 0: a click on (Row, Col)
    bool Shift;
    int Row, Col;
    GridRange Expected;  // the selection
    int CurrentRow, CurrentCol;
  };
  const Step steps[] = {
      {0, false, 3, 4, {3, 4, 3, 4}, 3, 4},
      {VK_RIGHT, false, 0, 0, {3, 5, 3, 5}, 3, 5},
      {VK_DOWN, true, 0, 0, {3, 5, 4, 5}, 4, 5},
      {VK_RIGHT, true, 0, 0, {3, 5, 4, 6}, 4, 6},
      {VK_UP, false, 0, 0, {3, 6, 3, 6}, 3, 6},
      {0, true, 6, 2, {3, 2, 6, 6}, 6, 2},
      {0, false, 1, 1, {1, 1, 1, 1}, 1, 1},
      {VK_LEFT, false, 0, 0, {1, 1, 1, 1}, 1, 1},  // headers: never
      {VK_UP, false, 0, 0, {1, 1, 1, 1}, 1, 1},
      {0, false, 0, 5, {1, 1, 1, 1}, 1, 1},
      {0, false, 2, 13, {2, 13, 2, 13}, 2, 13},
      {VK_TAB, false, 0, 0, {3, 1, 3, 1}, 3, 1},  // Tab: on to the next row
      {VK_TAB, true, 0, 0, {2, 13, 2, 13}, 2, 13},
      {0, false, 10, 13, {10, 13, 10, 13}, 10, 13},
      {VK_TAB, false, 0, 0, {1, 1, 1, 1}, 1, 1},  // and round the grid
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(&s - steps);
    if (s.Key == 0) {
      ClickCell(w_.Window, s.Row, s.Col, s.Shift);
    } else {
      PressKey(w_.Window, s.Key, false, s.Shift);
    }
    const GridSelection sel = win32::GridSelectionOf(grid_);
    EXPECT_EQ(*sel.Selected, s.Expected);
    EXPECT_EQ(std::tie(sel.Row, sel.Col), std::tie(s.CurrentRow, s.CurrentCol));
    EXPECT_EQ(GetFocus(), grid_);
  }
  // A drag selects the block it covers; Ctrl+Tab leaves the grid.
  const POINT from = CellCentre(grid_, 2, 3);
  const POINT to = CellCentre(grid_, 5, 4);
  SendMessageW(grid_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  SendMessageW(grid_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
  SendMessageW(grid_, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
  EXPECT_EQ(Selected(), (GridRange{2, 3, 5, 4}));
  PressKey(w_.Window, VK_TAB, true);
  EXPECT_NE(GetFocus(), grid_);
}

TEST_F(Win32Grid, CtrlCCopiesTheSelectionAndCtrlVPastesAtTheCurrentCell) {
  TypeCell(w_.Window, 4, 2, L"12");
  ClickCell(w_.Window, 3, 1);
  ClickCell(w_.Window, 4, 3, true);
  PressKey(w_.Window, 'C', true);
  std::wstring expected;
  for (int r = 3; r <= 4; ++r) {
    for (int c = 1; c <= 3; ++c) expected += Cell(r, c) + (c < 3 ? L"\t" : L"\r\n");
  }
  EXPECT_EQ(ClipboardText(), expected);
  EXPECT_NE(expected.find(L"12"), std::wstring::npos);

  SetClipboardText(L"12\t\"3\"\t\r\n\" 1.5\"\t４５\t0\r\n");
  ClickCell(w_.Window, 6, 6);
  PressKey(w_.Window, 'V', true);
  EXPECT_EQ((std::vector<std::wstring>{Cell(6, 6), Cell(6, 7), Cell(7, 6), Cell(7, 7), Cell(7, 8)}),
            (std::vector<std::wstring>{L"12", L"3", L" 1.5", L"45", L"0"}));
  EXPECT_EQ(Selected(), (GridRange{6, 6, 7, 8}));
  EXPECT_EQ(w_.Title(), "VMK - 1 *");
  w_.Window.ReadWidgets();  // the pasted texts reach the calculation like typed ones
  EXPECT_EQ(w_.Window.Front().Form.Grid[7][7], "45");

  // A block that does not fit is refused whole, with its reason.
  const std::vector<std::wstring> before = AllCells();
  SetClipboardText(L"1\r\n2\r\n");
  ClickCell(w_.Window, 9, 3);
  PressKey(w_.Window, 'V', true);
  ASSERT_EQ(w_.Messages.size(), 1u);
  EXPECT_EQ(w_.Messages[0].Name, "PasteProblemBox");
  EXPECT_TRUE(w_.Messages[0].Text.starts_with("貼り付けませんでした: ")) << w_.Messages[0].Text;
  EXPECT_EQ(AllCells(), before);

  // In a field and in a cell's editor the keys paste into their text; the menu's entry pastes
  // into the grid from anywhere.
  SetClipboardText(L"7");
  w_.TypeField("QgEdit", L"");
  PressKey(w_.Window, 'V', true);
  EXPECT_EQ(TextOf(w_["QgEdit"]), L"7");
  w_.Window.ShowPage(1);
  win32::OpenGridEditor(grid_, 2, 2);
  PressKey(w_.Window, 'V', true);
  PressKey(w_.Window, VK_RETURN);
  EXPECT_EQ(Cell(2, 2), L"7");
  EXPECT_EQ(AllCells().size(), before.size());
  EXPECT_EQ(Cell(9, 3), before[9 * kGridCols + 3]);
  RunMenuCommand(w_.Window, MenuCommand::PasteCells);
  EXPECT_EQ(Cell(2, 2), L"7");
}

TEST_F(Win32Grid, FullWidthNumbersBecomeHalfWidthInNumericFieldsAndCells) {
  for (const auto& [field, typed, shown] :
       {std::tuple{"QgEdit", L"－１．５Ｅ＋３", L"-1.5E+3"}, std::tuple{"XrpEdit", L"１２０", L"120"},
        std::tuple{"memoOption", L"北東１２", L"北東１２"}, std::tuple{"WDEdit", L"北東１２", L"北東１２"}}) {
    w_.TypeField(field, typed);
    EXPECT_EQ(TextOf(w_[field]), shown) << field;
    DWORD caret = 0;
    SendMessageW(w_[field], EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    EXPECT_EQ(caret, wcslen(shown)) << field;
  }
  w_.Window.ShowPage(1);
  TypeCell(w_.Window, 5, 5, L"１２０");
  EXPECT_EQ(Cell(5, 5), L"120");
  // The first key typed on a cell opens its editor with that key; Esc drops what was typed.
  ClickCell(w_.Window, 6, 4);
  Type(w_.Window, L"４．５");
  EXPECT_EQ(TextOf(GetFocus()), L"4.5");
  PressKey(w_.Window, VK_ESCAPE);
  EXPECT_NE(Cell(6, 4), L"4.5");
  EXPECT_EQ(GetFocus(), grid_);
}

}  // namespace
