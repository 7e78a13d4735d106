// `ReadModelParameters`: reads and validates every input of the form into ModelParameters.
#pragma once

#include "form/form_record.h"
#include "input/model_parameters.h"

namespace vmk {

// Reads the controls and grid cells in their fixed order, stops at the first rejected input
// with its message in `messageLabel`, or writes " 入力・条件 : O.K." there. Returns ok.
// Fields not read in this call keep their earlier values.
bool ReadModelParameters(FormRecord& form, ModelParameters& p);

}  // namespace vmk
