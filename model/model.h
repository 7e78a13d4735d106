// The model run: heat flux, then the puff model, then the plume model.
#pragma once

#include "model/calc_state.h"

namespace vmk {

// Computes Qh, resets TotalConc and runs RunPuffModel and PlumeModel. Report rows are written
// while `st.Report.ReportEnabled` is set (the file must be open).
void RunModel(CalcState& st);

}  // namespace vmk
