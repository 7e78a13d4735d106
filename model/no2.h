// Share of NO2 in the NOx reaching the receptor, from an exponential conversion model with day
// and night parameters.
#pragma once

#include "input/model_parameters.h"

namespace vmk {

// NO2/NOx = 1 - Alpha / (1 + beta) * (exp(-K * O3 * d) + beta), d = distance + addedDistance,
// beta and O3 the day (dayNight 1) or night (2) values. Not clamped. Raises std::out_of_range
// for any other dayNight.
float No2Ratio(const ModelParameters& p, int dayNight, float distance, float addedDistance);

}  // namespace vmk
