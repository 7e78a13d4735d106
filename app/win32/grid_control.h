// `MetStringGrid` on Windows: a grid control of the program's own class, drawn by it. The first
// row and the first column are fixed header cells (never selected, edited or reached by the
// keys); rows are 18 px high and the columns as wide as the layout table says. The current cell
// is always selected, alone or as a corner of a block chosen with the mouse or Shift and the
// arrow keys. Typing, F2, Enter or a double click opens an edit control over the current cell;
// Enter, Tab, the up and down keys and a click elsewhere put its text into the cell, Esc drops it.
// Full-width digits typed into a cell become half-width. The grid tells its parent of each
// change the user makes (WM_COMMAND with kGridCellEdited).
#pragma once

#include <windows.h>

#include <string>

#include "app/frontend/form_rules.h"

namespace vmk::win32 {

inline constexpr wchar_t kGridClassName[] = L"VmkFrequencyGrid";
void RegisterGridClass();

// The notification code (HIWORD of WM_COMMAND's wParam) of a cell the user changed.
inline constexpr WORD kGridCellEdited = 0x0A01;

inline bool IsFixedCell(int row, int col) { return row == 0 || col == 0; }

// The grid's cells and state, through its messages (from the thread that owns it).
std::wstring GridCellText(HWND grid, int row, int col);
// Writes a cell; an open editor on it keeps its own text.
void SetGridCellText(HWND grid, int row, int col, const std::wstring& text);
GridSelection GridSelectionOf(HWND grid);
// Selects a block; its top-left cell becomes the current cell.
void SelectGridCells(HWND grid, const GridRange& range);
// Makes a cell the current one, selected alone.
void SetGridCurrentCell(HWND grid, int row, int col);
// Puts the text of an open editor into its cell, the editor left open.
void CommitGridEditor(HWND grid);
// The same, and closes the editor.
void FinishGridEditing(HWND grid);
// Opens the editor on a cell (made the current one) with its text selected; the editor.
HWND OpenGridEditor(HWND grid, int row, int col);
// The open editor, or null.
HWND GridEditor(HWND grid);
// A cell's rectangle in the grid's client coordinates.
RECT GridCellRect(HWND grid, int row, int col);

// The half-width form of the number characters of a text (common/half_width.h), one UTF-16
// unit for one, so that a caret position stays right; true when a character changed.
bool ToHalfWidth(std::wstring& text);
// The same over an edit control's text, its selection kept; true when the text changed.
bool ConvertEditToHalfWidth(HWND edit);

}  // namespace vmk::win32
