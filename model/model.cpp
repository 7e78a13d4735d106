#include "model/model.h"

namespace vmk {

ModelResult RunModel(const ModelParameters& p) {
  ModelResult out;
  // Qh is needed by the report trailer even when no case has hours.
  out.Qh = ComputeHeatFlux(p);
  RunPuffModel(p, out.Qh, out);  // calm and weak wind
  PlumeModel(p, out.Qh, out);    // windy classes; goes on after a sigma-z error
  // The accumulator starts at 0 and takes each section's sum once, in single precision.
  float total = 0.0f;
  total = static_cast<float>(static_cast<long double>(total) + out.PuffSum);
  total = static_cast<float>(static_cast<long double>(total) + out.PlumeSum);
  out.TotalConc = total;
  return out;
}

}  // namespace vmk
