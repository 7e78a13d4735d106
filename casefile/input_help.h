// What the window and the command line say about a rejected input beyond the status line:
// the values it accepts, from the limits the validation checks it against.
#pragma once

#include <string>

#include "form/form_record.h"
#include "input/read_parameters.h"

namespace vmk {

// A limit as a short text that the field takes back as the same value: "10001", "0.09999",
// "9.99E-16", "8784".
std::string LimitText(float limit, InputKind kind);

// The window's tooltip (UTF-8, Japanese, one to three lines): the accepted range and the kind of
// number, "T" against "Ta" for the temperature test, and a note when the field is disabled
// (the NOx conversion's fields are checked while the conversion is off).
std::string AcceptedRangeTip(const RejectedInput& rejected, const FormRecord& form);

// One line for the command line (UTF-8, no line end): the control, its text and what it accepts,
// for example `XrpEdit " 0": a number from 0.09999 to 100001 is accepted`.
std::string AcceptedRangeLine(const RejectedInput& rejected, const FormRecord& form);

}  // namespace vmk
