// The model run: heat flux, then the puff model, then the plume model. A pure function of the
// validated inputs: it reads nothing but its argument and writes nothing but its result, so
// runs on several threads, each with its own inputs, cannot interfere.
#pragma once

#include <optional>
#include <vector>

#include "common/cp932.h"
#include "input/model_parameters.h"
#include "model/plume.h"
#include "model/plume_rise.h"
#include "model/puff.h"

namespace vmk {

// Everything one run yields, in the order of the report.
struct ModelResult {
  float Qh = 0;                       // heat flux, cal/s
  std::vector<PuffRow> PuffRows;      // the counted calm and weak-wind rows, numbered from 1
  std::vector<PlumeRow> PlumeRows;    // the counted windy cases, numbered from 1
  float PuffSum = 0;                  // the puff section's sum of Cw
  float PlumeSum = 0;                 // the plume section's sum of Cw
  float TotalConc = 0;                // PuffSum + PlumeSum in single precision, ppb or ng/m3
  bool ModelError = false;            // sigma-z could not be evaluated for some case
  Cp932 ModelErrorText;               // the error's text, at most 255 bytes
  // The wind and rise of the last case whose wind was computed (a weak-wind row may be
  // computed and then dropped for want of hours); empty when no case was.
  std::optional<WindAndRise> LastWind;
};

// Computes Qh, then the puff section, then the plume section, which goes on after a sigma-z
// error. `p` must have passed `ReadModelParameters`.
ModelResult RunModel(const ModelParameters& p);

}  // namespace vmk
