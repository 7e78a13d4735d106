#include "model/sigma_z.h"

#include <cmath>
#include <string_view>

#include "model/plume_rise.h"

namespace vmk {

namespace {
constexpr std::string_view kStabilityError = "/stab.prm in sigZPG ";
}

float SigZFromTable(int cls, float x) {
  for (const SigZRange& range : SigZCoefTable[cls]) {
    // A distance on a limit belongs to the lower range.
    if (x <= range.Limit) {
      return static_cast<float>(static_cast<long double>(range.Gamma) *
                                SafePower(x, range.Alpha));
    }
  }
  return 0.0f;  // beyond the last limit: outside the table, never reached by valid distances
}

float SigZGeoMean(int cls1, int cls2, float x) {
  const float a = SigZFromTable(cls1, x);
  const float b = SigZFromTable(cls2, x);
  return static_cast<float>(sqrtl(static_cast<long double>(a) * b));
}

float sigZPG(int cls, bool halfStep, float x, bool& modelError, Cp932& modelErrorText) {
  float sigma = 0.0f;
  if (!halfStep) {
    switch (cls) {
      case 2: sigma = SigZGeoMean(1, 3, x); break;  // A-B: A and B
      case 4: sigma = SigZGeoMean(3, 5, x); break;  // B-C: B and C
      case 6: sigma = SigZGeoMean(5, 7, x); break;  // C-D: C and Dd
      default: sigma = SigZFromTable(cls, x); break;
    }
  } else {
    switch (cls) {
      case 1: sigma = SigZGeoMean(0, 1, x); break;    // A'-A
      case 9: sigma = SigZGeoMean(9, 8, x); break;    // Dn-E
      case 10: sigma = SigZGeoMean(10, 9, x); break;  // E-F
      case 11: sigma = SigZGeoMean(11, 10, x); break;  // F-G
      default:
        modelError = true;
        if (modelErrorText.size() < kModelErrorTextMax) {
          modelErrorText.append(
              kStabilityError.substr(0, kModelErrorTextMax - modelErrorText.size()));
        }
        break;
    }
  }
  return sigma < SigZFloor ? SigZFloor : sigma;
}

SigZTarget ShiftStability(int s, int mode, int amount) {
  SigZTarget t{SigZShiftClass[amount][s], SigZShiftHalf[amount][s]};
  if (mode <= 1) {
    // Shift allowed up to A only: neither A' nor the half class A'-A.
    if (t.Cls <= 1 && t.HalfStep) t.HalfStep = false;
    if (t.Cls < 1) t.Cls = 1;
  }
  return t;
}

}  // namespace vmk
