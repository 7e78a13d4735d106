#include "model/model.h"

#include "model/plume.h"
#include "model/plume_rise.h"
#include "model/puff.h"

namespace vmk {

void RunModel(CalcState& st) {
  // Qh is needed by the report trailer even when no case has hours.
  ComputeHeatFlux(st.Params);
  st.TotalConc = 0.0f;
  RunPuffModel(st);  // calm and weak wind
  PlumeModel(st);    // windy classes; goes on after a sigma-z error
}

}  // namespace vmk
