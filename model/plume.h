// Plume model: the sector-averaged plume with ground reflection over the windy hours, 6 windy
// classes x 11 stability classes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "common/cp932.h"
#include "input/model_parameters.h"
#include "model/plume_rise.h"
#include "model/sigma_z.h"

namespace vmk {

struct ModelResult;

// 1e9 / (sqrt(2 pi) * pi / 8) rounded to float: the plume spread evenly over one of 16 sectors.
inline constexpr float PlumeConst = 1015898176.0f;

inline constexpr int WindyClassFirst = 1;
inline constexpr int WindyClassLast = 6;
inline constexpr int WindyGridRowOffset = 3;  // windy class k is grid row k + 3

// Working values of one windy case: every value its report line prints.
struct PlumeRow {
  int Number = 0;  // case number in the section, from 1 (counted cases only)
  int K = 1;       // windy class 1..6 (grid row K + 3)
  int S = StabFirst;
  std::int16_t Hours = 0;
  int DayNight = 1;
  WindAndRise Wind;  // Uhr, Uhm, Uh0, Uhe, DH, He of the case (unshifted class)
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

// The sigma-z error of a run: the flag and its text (at most 255 bytes).
struct SigZErrorState {
  bool& ModelError;
  Cp932& ModelErrorText;
};

// Wind and rise (heat flux qh), sigma-z, the reflection terms, C1 (with the NO2 ratio) and Cw
// of the case c.K, c.S with c.Hours. The stability shift affects sigma-z only. A sigma-z error
// goes into `error`. `memo`, when given, holds the values of earlier cases at the same
// distance Rc.
void ComputePlumeCase(const ModelParameters& p, float qh, float Rc, PlumeRow& c,
                      SigZErrorState error, PlumeSectionMemo* memo = nullptr);

// Sigma-z, the reflection terms, C1 (with the NO2 ratio) and Cw of a case whose sigma-z class,
// day/night index and wind and rise are set: the part of `ComputePlumeCase` that depends on the
// distance Rc and the receptor height.
void EvaluatePlumeCase(const ModelParameters& p, float Rc, PlumeRow& c, SigZErrorState error,
                       PlumeSectionMemo* memo = nullptr);

// The whole plume section for the heat flux qh: its counted cases, its sum, the last wind
// computed and any sigma-z error go into `out`.
void PlumeModel(const ModelParameters& p, float qh, ModelResult& out);

}  // namespace vmk
