#include "app/win32/grid_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <memory>

#include "app/win32/gothic_fonts.h"
#include "common/half_width.h"
#include "form/form_layout.h"

namespace vmk::win32 {
namespace {

// The grid's messages (the class's own range), each handled in the thread that owns the grid.
enum GridMessage : UINT {
  kGetCell = WM_USER + 1,  // wParam cell, lParam std::wstring* to fill
  kSetCell,                // wParam cell, lParam const std::wstring*
  kGetSelection,           // lParam GridSelection* to fill
  kSelect,                 // lParam const GridRange*
  kSetCurrent,             // wParam cell
  kCommit,
  kFinish,
  kOpenEditor,   // wParam cell; returns the editor
  kGetEditor,    // returns the editor or null
  kGetCellRect,  // wParam cell, lParam RECT* to fill
  kCloseEditor,  // wParam the editor that lost the focus: closed when still open
};

WPARAM CellParam(int row, int col) { return static_cast<WPARAM>(row * kGridCols + col); }
int RowOf(WPARAM cell) { return static_cast<int>(cell) / kGridCols; }
int ColOf(WPARAM cell) { return static_cast<int>(cell) % kGridCols; }
bool InGrid(int row, int col) { return row >= 0 && row < kGridRows && col >= 0 && col < kGridCols; }

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLineColor = RGB(192, 192, 192);
constexpr int kTextPadding = 2;

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

class Grid {
 public:
  explicit Grid(HWND self) : self_(self) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleEditor(HWND editor, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static int ColumnLeft(int col) {
    int x = 0;
    for (int c = 0; c < col; ++c) x += GridColumnWidth(c);
    return x;
  }
  static RECT CellRect(int row, int col) {
    const int left = ColumnLeft(col);
    return RECT{left, row * kGridRowHeight, left + GridColumnWidth(col), (row + 1) * kGridRowHeight};
  }
  // The cell's area inside its grid lines (the right and bottom pixel of each cell).
  static RECT InnerRect(int row, int col) {
    RECT r = CellRect(row, col);
    --r.right;
    --r.bottom;
    return r;
  }
  // The cell under a point, or false; `clamp` takes the nearest input cell for a point outside.
  static bool HitTest(POINT p, int& row, int& col, bool clamp) {
    row = p.y < 0 ? -1 : p.y / kGridRowHeight;
    col = -1;
    for (int c = 0, x = 0; c < kGridCols; x += GridColumnWidth(c), ++c) {
      if (p.x >= x && p.x < x + GridColumnWidth(c)) col = c;
    }
    if (p.x >= ColumnLeft(kGridCols)) col = kGridCols;
    if (clamp) {
      row = std::clamp(row, 1, kGridRows - 1);
      col = std::clamp(col, 1, kGridCols - 1);
      return true;
    }
    return InGrid(row, col);
  }

  bool Selected(int row, int col) const {
    return !IsFixedCell(row, col) && row >= std::min(row_, anchorRow_) && row <= std::max(row_, anchorRow_) &&
           col >= std::min(col_, anchorCol_) && col <= std::max(col_, anchorCol_);
  }
  bool HasFocus() const {
    HWND focus = GetFocus();
    return focus == self_ || (editor_ != nullptr && focus == editor_);
  }

  void Notify(WORD code) {
    SendMessageW(GetParent(self_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(self_), code), reinterpret_cast<LPARAM>(self_));
  }

  void SetCurrent(int row, int col, bool extend) {
    row_ = std::clamp(row, 1, kGridRows - 1);
    col_ = std::clamp(col, 1, kGridCols - 1);
    if (!extend) {
      anchorRow_ = row_;
      anchorCol_ = col_;
    }
    InvalidateRect(self_, nullptr, FALSE);
  }
  // Tab and Shift+Tab: along the row, then on to the next (previous) row, round the grid.
  void Step(int direction) {
    int row = row_;
    int col = col_ + direction;
    if (col >= kGridCols) {
      col = 1;
      if (++row >= kGridRows) row = 1;
    } else if (col < 1) {
      col = kGridCols - 1;
      if (--row < 1) row = kGridRows - 1;
    }
    SetCurrent(row, col, false);
  }

  HWND OpenEditor(int row, int col, bool selectAll);
  void Commit();
  void CloseEditor(bool commit);
  void Paint();
  LRESULT KeyDown(WPARAM key);

  HWND self_;
  std::array<std::array<std::wstring, kGridCols>, kGridRows> cells_;
  int row_ = kGridInputFirstRow;
  int col_ = kGridInputFirstCol;
  int anchorRow_ = kGridInputFirstRow;
  int anchorCol_ = kGridInputFirstCol;
  bool dragging_ = false;

  HWND editor_ = nullptr;
  int editRow_ = 0;
  int editCol_ = 0;
  bool settingEditor_ = false;  // the program, not the user, is changing the editor's text
  bool closing_ = false;
};

LRESULT CALLBACK EditorProc(HWND editor, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR grid) {
  return reinterpret_cast<Grid*>(grid)->HandleEditor(editor, message, wParam, lParam);
}

HWND Grid::OpenEditor(int row, int col, bool selectAll) {
  if (editor_ != nullptr) CloseEditor(true);
  SetCurrent(row, col, false);
  editRow_ = row_;
  editCol_ = col_;
  const RECT r = InnerRect(row_, col_);
  settingEditor_ = true;
  editor_ = CreateWindowExW(0, L"EDIT", cells_[editRow_][editCol_].c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                            r.left, r.top, r.right - r.left, r.bottom - r.top, self_, nullptr,
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(self_, GWLP_HINSTANCE)), nullptr);
  settingEditor_ = false;
  if (editor_ == nullptr) return nullptr;
  SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(GridFont()), FALSE);
  SendMessageW(editor_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kTextPadding - 1, 0));
  SetWindowSubclass(editor_, EditorProc, 0, reinterpret_cast<DWORD_PTR>(this));
  if (selectAll) {
    SendMessageW(editor_, EM_SETSEL, 0, -1);
  } else {
    SendMessageW(editor_, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  }
  SetFocus(editor_);
  return editor_;
}

void Grid::Commit() {
  if (editor_ == nullptr) return;
  std::wstring text = WindowText(editor_);
  std::wstring& cell = cells_[static_cast<std::size_t>(editRow_)][static_cast<std::size_t>(editCol_)];
  if (text == cell) return;
  cell = std::move(text);
  const RECT r = CellRect(editRow_, editCol_);
  InvalidateRect(self_, &r, FALSE);
  Notify(kGridCellEdited);
}

void Grid::CloseEditor(bool commit) {
  if (editor_ == nullptr || closing_) return;
  closing_ = true;
  if (commit) Commit();
  HWND editor = editor_;
  editor_ = nullptr;
  const bool hadFocus = GetFocus() == editor;
  DestroyWindow(editor);
  if (hadFocus) SetFocus(self_);
  closing_ = false;
  InvalidateRect(self_, nullptr, FALSE);
}

LRESULT Grid::HandleEditor(HWND editor, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return DefSubclassProc(editor, message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_RETURN:
          CloseEditor(true);
          return 0;
        case VK_ESCAPE:
          CloseEditor(false);
          return 0;
        case VK_TAB:
          CloseEditor(true);
          Step(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
          return 0;
        case VK_UP:
        case VK_DOWN:
          CloseEditor(true);
          SetCurrent(row_ + (wParam == VK_UP ? -1 : 1), col_, false);
          return 0;
        default:
          break;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r' || wParam == L'\t' || wParam == 0x1B) return 0;  // handled on WM_KEYDOWN
      break;
    case WM_KILLFOCUS:
      // The text goes into the cell at once (a click on the calculate button reads it next);
      // the editor closes once the focus has moved.
      if (!closing_ && editor == editor_) {
        Commit();
        PostMessageW(self_, kCloseEditor, reinterpret_cast<WPARAM>(editor), 0);
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(editor, EditorProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(editor, message, wParam, lParam);
}

void Grid::Paint() {
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(self_, &ps);
  RECT client;
  GetClientRect(self_, &client);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HBRUSH white = CreateSolidBrush(kWhite);
  FillRect(dc, &client, white);
  HGDIOBJ oldFont = SelectObject(dc, GridFont());
  HPEN line = CreatePen(PS_SOLID, 1, kLineColor);
  HGDIOBJ oldPen = SelectObject(dc, line);
  SetBkMode(dc, TRANSPARENT);
  const bool focused = HasFocus();
  for (int row = 0; row < kGridRows; ++row) {
    for (int col = 0; col < kGridCols; ++col) {
      const RECT cell = CellRect(row, col);
      RECT inner = InnerRect(row, col);
      const bool selected = Selected(row, col);
      if (selected) FillRect(dc, &inner, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(selected && focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      const std::wstring& text = cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
      RECT textRect = inner;
      textRect.left += kTextPadding;
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
      MoveToEx(dc, cell.right - 1, cell.top, nullptr);
      LineTo(dc, cell.right - 1, cell.bottom);
      MoveToEx(dc, cell.left, cell.bottom - 1, nullptr);
      LineTo(dc, cell.right, cell.bottom - 1);
      if (focused && editor_ == nullptr && row == row_ && col == col_) DrawFocusRect(dc, &inner);
    }
  }
  BitBlt(screen, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(line);
  DeleteObject(white);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EndPaint(self_, &ps);
}

LRESULT Grid::KeyDown(WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (key) {
    case VK_LEFT:
      SetCurrent(row_, col_ - 1, shift);
      return 0;
    case VK_RIGHT:
      SetCurrent(row_, col_ + 1, shift);
      return 0;
    case VK_UP:
      SetCurrent(row_ - 1, col_, shift);
      return 0;
    case VK_DOWN:
      SetCurrent(row_ + 1, col_, shift);
      return 0;
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0) {  // Ctrl+Tab leaves the grid, as Tab leaves a field
        HWND root = GetAncestor(self_, GA_ROOT);
        if (HWND next = GetNextDlgTabItem(root, self_, shift)) SetFocus(next);
        return 0;
      }
      Step(shift ? -1 : 1);
      return 0;
    case VK_F2:
    case VK_RETURN:
      OpenEditor(row_, col_, true);
      return 0;
    default:
      return 0;
  }
}

LRESULT Grid::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_GETFONT:  // the grid draws in its own font
      return reinterpret_cast<LRESULT>(GridFont());
    case WM_SETFONT:
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(self_, nullptr, FALSE);
      return 0;
    case WM_KEYDOWN:
      return KeyDown(wParam);
    case WM_CHAR:
      if (editor_ != nullptr) return SendMessageW(editor_, WM_CHAR, wParam, lParam);  // keys typed ahead
      if (wParam >= 0x20 && wParam != 0x7F) {
        // A key typed on a cell starts its editor with that character.
        HWND editor = OpenEditor(row_, col_, true);
        if (editor != nullptr) SendMessageW(editor, WM_CHAR, wParam, lParam);
      }
      return 0;
    case WM_LBUTTONDOWN: {
      CloseEditor(true);
      SetFocus(self_);
      int row = 0;
      int col = 0;
      if (HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, row, col, false) && !IsFixedCell(row, col)) {
        SetCurrent(row, col, (wParam & MK_SHIFT) != 0);
        dragging_ = true;
        SetCapture(self_);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_) {
        int row = 0;
        int col = 0;
        HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, row, col, true);
        SetCurrent(row, col, true);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_) {
        dragging_ = false;
        if (message == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    case WM_LBUTTONDBLCLK: {
      int row = 0;
      int col = 0;
      if (HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, row, col, false) && !IsFixedCell(row, col)) {
        OpenEditor(row, col, true);
      }
      return 0;
    }
    case WM_COMMAND:
      if (editor_ != nullptr && reinterpret_cast<HWND>(lParam) == editor_ && HIWORD(wParam) == EN_CHANGE &&
          !settingEditor_) {
        settingEditor_ = true;
        ConvertEditToHalfWidth(editor_);
        settingEditor_ = false;
        Notify(kGridCellEdited);
      }
      return 0;

    case kGetCell:
      *reinterpret_cast<std::wstring*>(lParam) =
          cells_[static_cast<std::size_t>(RowOf(wParam))][static_cast<std::size_t>(ColOf(wParam))];
      return 0;
    case kSetCell: {
      std::wstring& cell = cells_[static_cast<std::size_t>(RowOf(wParam))][static_cast<std::size_t>(ColOf(wParam))];
      const auto& text = *reinterpret_cast<const std::wstring*>(lParam);
      if (cell != text) {
        cell = text;
        const RECT r = CellRect(RowOf(wParam), ColOf(wParam));
        InvalidateRect(self_, &r, FALSE);
      }
      return 0;
    }
    case kGetSelection: {
      auto& selection = *reinterpret_cast<GridSelection*>(lParam);
      selection.Row = row_;
      selection.Col = col_;
      selection.Selected = GridRange{std::min(row_, anchorRow_), std::min(col_, anchorCol_), std::max(row_, anchorRow_),
                                     std::max(col_, anchorCol_)};
      return 0;
    }
    case kSelect: {
      const auto& range = *reinterpret_cast<const GridRange*>(lParam);
      SetCurrent(range.Bottom, range.Right, false);
      SetCurrent(range.Top, range.Left, true);
      return 0;
    }
    case kSetCurrent:
      SetCurrent(RowOf(wParam), ColOf(wParam), false);
      return 0;
    case kCommit:
      Commit();
      return 0;
    case kFinish:
      CloseEditor(true);
      return 0;
    case kOpenEditor:
      return reinterpret_cast<LRESULT>(OpenEditor(RowOf(wParam), ColOf(wParam), true));
    case kGetEditor:
      return reinterpret_cast<LRESULT>(editor_);
    case kGetCellRect:
      *reinterpret_cast<RECT*>(lParam) = CellRect(RowOf(wParam), ColOf(wParam));
      return 0;
    case kCloseEditor:
      if (editor_ != nullptr && reinterpret_cast<HWND>(wParam) == editor_ && GetFocus() != editor_) CloseEditor(true);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(self_, message, wParam, lParam);
}

LRESULT CALLBACK GridProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* grid = reinterpret_cast<Grid*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    grid = new Grid(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(grid));
  }
  if (grid == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete grid;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return grid->Handle(message, wParam, lParam);
}

}  // namespace

void RegisterGridClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = GridProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kGridClassName;
  RegisterClassExW(&wc);  // fails harmlessly when the class is registered already
}

std::wstring GridCellText(HWND grid, int row, int col) {
  std::wstring text;
  if (InGrid(row, col)) SendMessageW(grid, kGetCell, CellParam(row, col), reinterpret_cast<LPARAM>(&text));
  return text;
}

void SetGridCellText(HWND grid, int row, int col, const std::wstring& text) {
  if (InGrid(row, col)) SendMessageW(grid, kSetCell, CellParam(row, col), reinterpret_cast<LPARAM>(&text));
}

GridSelection GridSelectionOf(HWND grid) {
  GridSelection selection;
  SendMessageW(grid, kGetSelection, 0, reinterpret_cast<LPARAM>(&selection));
  return selection;
}

void SelectGridCells(HWND grid, const GridRange& range) {
  SendMessageW(grid, kSelect, 0, reinterpret_cast<LPARAM>(&range));
}

void SetGridCurrentCell(HWND grid, int row, int col) { SendMessageW(grid, kSetCurrent, CellParam(row, col), 0); }

void CommitGridEditor(HWND grid) { SendMessageW(grid, kCommit, 0, 0); }

void FinishGridEditing(HWND grid) { SendMessageW(grid, kFinish, 0, 0); }

HWND OpenGridEditor(HWND grid, int row, int col) {
  return reinterpret_cast<HWND>(SendMessageW(grid, kOpenEditor, CellParam(row, col), 0));
}

HWND GridEditor(HWND grid) { return reinterpret_cast<HWND>(SendMessageW(grid, kGetEditor, 0, 0)); }

RECT GridCellRect(HWND grid, int row, int col) {
  RECT r{};
  if (InGrid(row, col)) SendMessageW(grid, kGetCellRect, CellParam(row, col), reinterpret_cast<LPARAM>(&r));
  return r;
}

bool ToHalfWidth(std::wstring& text) {
  bool changed = false;
  for (wchar_t& ch : text) {
    // Every mapped character lies in the basic plane, and maps to one.
    const char32_t half = HalfWidthNumberChar(static_cast<char32_t>(ch));
    if (half != static_cast<char32_t>(ch)) {
      ch = static_cast<wchar_t>(half);
      changed = true;
    }
  }
  return changed;
}

bool ConvertEditToHalfWidth(HWND edit) {
  std::wstring text = WindowText(edit);
  if (!ToHalfWidth(text)) return false;
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SetWindowTextW(edit, text.c_str());
  SendMessageW(edit, EM_SETSEL, start, end);
  return true;
}

}  // namespace vmk::win32
