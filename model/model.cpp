#include "model/model.h"

#include "model/plume.h"
#include "model/plume_rise.h"
#include "model/puff.h"

namespace vmk {

SectionSums RunModel(CalcState& st) {
  // Qh is needed by the report trailer even when no case has hours.
  ComputeHeatFlux(st.Params);
  st.TotalConc = 0.0f;
  SectionSums sums;
  sums.Puff = RunPuffModel(st);  // calm and weak wind
  sums.Plume = PlumeModel(st);   // windy classes; goes on after a sigma-z error
  return sums;
}

}  // namespace vmk
