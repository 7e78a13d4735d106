// How both dispersion models weight a case by its hours and add up their sections: one
// arithmetic for a model run and for the sums of many wind directions, which must give the
// same bits.
#pragma once

namespace vmk {

// Cw: a case's C1 weighted by its share of the valid hours, stored once as float.
inline float HoursWeighted(float c1, long double hours, float freqTotal) {
  return static_cast<float>((static_cast<long double>(c1) * hours) / freqTotal);
}

// A section's running sum with one more Cw, in single precision.
inline float AddedToSum(float sum, float cw) {
  return static_cast<float>(static_cast<long double>(sum) + cw);
}

// The total: an accumulator from 0 that takes each section's sum once, in single precision.
inline float SectionsTotal(float puffSum, float plumeSum) {
  return AddedToSum(AddedToSum(0.0f, puffSum), plumeSum);
}

}  // namespace vmk
