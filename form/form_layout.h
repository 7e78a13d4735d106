// The window's controls, declared once: the form record takes its start-up state from this
// table and the Qt window builds its widgets from it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vmk {

enum class ControlKind : std::uint8_t { TabControl, TabPage, Label, Edit, CheckBox, Button, Grid };

// Where a control sits: the window's client area (the bottom bar), the tab control, or a page.
enum class ControlParent : std::uint8_t { Window, TabControl, SrcDataSheet, MetDataSheet, CalcCondSheet };

// Background colours are system colours (their classic numbers).
enum class SysColor : std::uint8_t {
  None = 0,            // the kind's own default (labels are transparent, buttons button face)
  ActiveBorder = 10,
  Window = 5,
  HighlightText = 14,
  ButtonFace = 15,
};

enum ControlFlags : unsigned {
  kNoFlags = 0,
  kFixedSize = 1u << 0,   // a label that keeps its design width instead of its caption's
  kWordWrap = 1u << 1,
  kCentered = 1u << 2,
};

struct ControlDef {
  std::string_view Name;
  ControlKind Kind;
  ControlParent Parent;
  int Left, Top, Width, Height;
  std::string_view Text;  // caption or default text, UTF-8 in this table (CP932 in the form)
  int TabOrder;           // -1 for controls outside keyboard navigation (labels)
  SysColor Color;
  bool Enabled;
  unsigned Flags;
};

// Every control of the window, in the order of the layout: the tab control and its pages,
// the bottom bar, then the controls of each page.
std::span<const ControlDef> FormLayout();

// The control of that name, or nullptr.
const ControlDef* FindControl(std::string_view name);

// The window itself.
inline constexpr std::string_view kFormName = "Form1";
inline constexpr std::string_view kWindowTitle = "VMK - 1";         // title bar
inline constexpr std::string_view kApplicationTitle = "VMK Ver.1";  // task bar, message boxes
inline constexpr int kFormOuterWidth = 611;
inline constexpr int kFormOuterHeight = 406;
inline constexpr int kFormClientWidth = 603;
inline constexpr int kFormClientHeight = 379;

// The frequency grid `MetStringGrid`.
inline constexpr std::string_view kGridControlName = "MetStringGrid";
inline constexpr int kGridCols = 14;
inline constexpr int kGridRows = 11;
// The cells a user types the inputs into: rows 1 to 9 and columns 1 to 12. Row 10 and
// column 13 hold the totals; row 0 and column 0 the fixed headers.
inline constexpr int kGridInputFirstRow = 1;
inline constexpr int kGridInputLastRow = 9;
inline constexpr int kGridInputFirstCol = 1;
inline constexpr int kGridInputLastCol = 12;
inline constexpr int kGridRowHeight = 18;
int GridColumnWidth(int col);  // 65, 37, 38 for columns 2 to 12, 50

}  // namespace vmk
