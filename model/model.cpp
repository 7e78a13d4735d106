#include "model/model.h"

#include "model/weighting.h"

namespace vmk {

ModelResult RunModel(const ModelParameters& p) {
  ModelResult out;
  // Qh is needed by the report trailer even when no case has hours.
  out.Qh = ComputeHeatFlux(p);
  RunPuffModel(p, out.Qh, out);  // calm and weak wind
  PlumeModel(p, out.Qh, out);    // windy classes; goes on after a sigma-z error
  out.TotalConc = SectionsTotal(out.PuffSum, out.PlumeSum);
  return out;
}

}  // namespace vmk
