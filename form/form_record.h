// The plain record that mirrors the window's controls. The calculation reads and writes it;
// the Qt window only syncs its widgets with it.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>

#include "form/form_layout.h"
#include "common/cp932.h"

namespace vmk {

struct ControlState {
  Cp932 Text;            // edit text or caption, code page 932 bytes
  bool Checked = false;  // check boxes
  bool Enabled = true;
  SysColor Color = SysColor::None;
};

using GridCells = std::array<std::array<Cp932, kGridCols>, kGridRows>;  // [row][col]

struct FormRecord {
  std::map<std::string, ControlState, std::less<>> Controls;
  GridCells Grid;  // the cells of `MetStringGrid`

  // The control of that name; an unknown name is a programming error (std::out_of_range).
  ControlState& operator[](std::string_view name);
  const ControlState& operator[](std::string_view name) const;
  bool Has(std::string_view name) const;

  Cp932& Text(std::string_view name) { return (*this)[name].Text; }
  const Cp932& Text(std::string_view name) const { return (*this)[name].Text; }
  bool Checked(std::string_view name) const { return (*this)[name].Checked; }
};

// The state of every control as the layout table declares it (the grid's cells still empty;
// `MakeStartupForm` of input/frequency_grid.h adds `InitFrequencyGrid`).
FormRecord MakeLayoutForm();

// `SetEditEnabled`: the enabled state, then the colour that goes with it (window when enabled,
// active border when disabled). The text is untouched.
void SetEditEnabled(FormRecord& form, bool enabled, std::string_view field);

// The click handlers of the two check boxes (after the click has toggled the box).
void PHrHmCheckBoxClick(FormRecord& form);
void NOxTrnCheckBoxClick(FormRecord& form);

}  // namespace vmk
