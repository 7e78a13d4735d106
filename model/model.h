// The model run: heat flux, then the puff model, then the plume model.
#pragma once

#include "model/calc_state.h"

namespace vmk {

// The two section sums of one run; TotalConc is their single-precision sum.
struct SectionSums {
  float Puff = 0;
  float Plume = 0;
};

// Computes Qh, resets TotalConc and runs RunPuffModel and PlumeModel. Report rows are written
// while `st.Report.ReportEnabled` is set (the file must be open).
SectionSums RunModel(CalcState& st);

}  // namespace vmk
