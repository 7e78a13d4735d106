// Plume model: the sector-averaged plume with ground reflection over the windy hours, 6 windy
// classes x 11 stability classes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "model/calc_state.h"
#include "model/plume_rise.h"
#include "model/sigma_z.h"

namespace vmk {

// 1e9 / (sqrt(2 pi) * pi / 8) rounded to float: the plume spread evenly over one of 16 sectors.
inline constexpr float PlumeConst = 1015898176.0f;

// Working values of one windy case.
struct PlumeCase {
  int K = 1;  // windy class 1..6 (grid row K + 3)
  int S = StabFirst;
  std::int16_t Hours = 0;
  int DayNight = 1;
  SigZTarget SigZClass;
  float SigmaZ = 0;
  float FMinus = 0;
  float FPlus = 0;
  float F = 0;
  float NO2r = 1;
  float C1 = 0;
  float Cw = 0;
};

// Values that depend only on the sigma-z class or the day/night index at the section's fixed
// distance, so that the six windy classes of a run compute them once.
struct PlumeSectionMemo {
  std::array<std::array<std::optional<float>, 2>, 12> SigmaZ;  // [cls][halfStep]
  std::array<std::optional<float>, 3> NO2r;                    // [dayNight]
  PowerMemo Powers;                                            // wind profile and rise
};

// Wind and rise, sigma-z, the reflection terms, C1 (with the NO2 ratio) and Cw of the case
// c.K, c.S with c.Hours. The stability shift affects sigma-z only. `memo`, when given, holds
// the values of earlier cases at the same distance Rc.
void ComputePlumeCase(CalcState& st, float Rc, PlumeCase& c, PlumeSectionMemo* memo = nullptr);

// The whole plume section: adds its sum to TotalConc and writes its report rows. Returns the
// section sum.
float PlumeModel(CalcState& st);

}  // namespace vmk
