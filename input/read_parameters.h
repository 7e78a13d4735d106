// `ReadModelParameters`: reads and validates every input of the form into ModelParameters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "form/form_record.h"
#include "input/model_parameters.h"

namespace vmk {

enum class InputKind : std::uint8_t { Real, Integer };

// The inclusive limits of one input, as the validation compares them: single-precision reals
// for a real input, 16-bit integers (held exactly here) for an integer input.
struct InputLimits {
  InputKind Kind = InputKind::Real;
  float Low = 0;
  float High = 0;
};

// The input at which the validation of a form stops.
struct RejectedInput {
  std::string Control;  // the control's name; "MetStringGrid" for a cell of the grid
  int Row = 0;          // the cell, for the grid
  int Col = 0;
  Cp932 Label;          // the label of its message ("Error: " + Label)
  // The exhaust gas temperature lies below the ambient one ("T<Ta"): `Control` is the
  // exhaust gas temperature's field, and the limits are those of that field.
  bool BelowAmbient = false;
  InputLimits Limits;
};

// Reads the controls and grid cells in their fixed order, stops at the first rejected input
// with its message in `messageLabel` (and, when `rejected` is given, the input and the limits
// it was checked against there), or writes " 入力・条件 : O.K." there. Returns ok.
// Fields not read in this call keep their earlier values.
bool ReadModelParameters(FormRecord& form, ModelParameters& p, RejectedInput* rejected = nullptr);

// The limits an edit field is checked against (the manual and the site's messages state them),
// or nothing for a control the validation does not read as a number (the memo, the wind
// direction). Of the grid: the limits of a cell of rows 1 to 9, columns 1 to 12.
std::optional<InputLimits> FieldLimits(std::string_view control);
InputLimits GridCellLimits(int row, int col);

// The input at which `ReadModelParameters` would stop for this form, with the limits it is
// checked against, or nothing when every input passes. Reads the same texts in the same order
// with the same limits, into a record of its own: neither the form nor any parameter set is
// changed.
std::optional<RejectedInput> FirstRejectedInput(const FormRecord& form);

}  // namespace vmk
