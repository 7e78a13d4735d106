// The process-wide state of the calculations: created zeroed at start-up and kept for the
// whole run (later calculations see what earlier ones left).
#pragma once

#include "common/cp932.h"
#include "input/model_parameters.h"
#include "report/report.h"

namespace vmk {

struct CalcState {
  ModelParameters Params;  // inputs of the last validation, Qh and the last case's wind and rise
  float TotalConc = 0;     // concentration at the receptor, ppb or ng/m3
  bool ModelError = false;
  Cp932 ModelErrorText;    // at most 255 bytes
  ReportFile Report;       // `ReportEnabled` and `ReportFile`
};

}  // namespace vmk
