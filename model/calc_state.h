// The process-wide state of the calculations: created zeroed at start-up and kept for the
// whole run (later calculations see what earlier ones left).
#pragma once

#include <string>

#include "common/cp932.h"
#include "input/model_parameters.h"
#include "report/report.h"

namespace vmk {

inline constexpr std::size_t kModelErrorTextMax = 255;  // bytes

struct CalcState {
  ModelParameters Params;
  float TotalConc = 0;     // concentration at the receptor, ppb or ng/m3
  bool ModelError = false;
  Cp932 ModelErrorText;    // at most 255 bytes
  ReportFile Report;       // `ReportEnabled` and `ReportFile`
};

}  // namespace vmk
