// `ModelParameters`: the validated inputs of one calculation, its frequency table, and the heat
// flux and the wind and rise of the last case computed, which the calculation command keeps
// here after each model run as the program's state.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vmk {

inline constexpr int StabFirst = 1;
inline constexpr int StabLast = 11;
inline constexpr std::int16_t MaxFreqHours = 8784;  // the hours of a leap year

// Stability class labels by class 1..11 (index 0 unused): A, A-B, B, B-C, C, C-D, Dd (day),
// Dn (night), E, F, G. Shared by the frequency grid and the report.
inline constexpr std::array<std::string_view, 12> StabilityLabels = {
    "", " A", "A-B", " B", "B-C", " C", "C-D", "Dd", "Dn", " E", " F", " G"};

// The receptor distances the window accepts, m (inclusive single-precision limits).
inline constexpr float RLowerLimit = 0.09999f;
inline constexpr float RUpperLimit = 100001.0f;

// 1 (day) for classes 1 to 7, 2 (night) for classes 8 to 11.
inline constexpr int DayNightIndex(int s) { return s <= 7 ? 1 : 2; }

struct ModelParameters {
  float Qg = 0;    // exhaust gas volume, m3N/s
  float Qp = 0;    // pollutant emission, m3N/s or g/s
  float Qh = 0;    // heat flux, cal/s (model run)
  float T = 0;     // exhaust gas temperature, degC
  float Ta = 0;    // ambient temperature, degC
  float Dens = 0;  // exhaust gas density, g/m3
  float R = 0;     // receptor horizontal distance, m
  float z = 0;     // receptor height, m
  float Uhr = 0;   // wind speed at Hr of the current case
  float Uhm = 0;   // wind speed at Hm
  float Uh0 = 0;   // wind speed at Ho
  float Uhe = 0;   // wind speed at He
  float Hr = 0;    // height the statistics refer to, m
  float Hm = 0;    // wind measurement height, m
  float Ho = 0;    // actual stack height, m
  float He = 0;    // effective stack height of the current case, m
  float DH = 0;    // plume rise of the current case, m
  bool PHrHmDependent = false;
  float PHrHmConst = 0;
  float PHrHmMult = 0;
  float PHmHoMult = 0;
  float PHoHeMult = 0;
  float DthDzDay = 0;  // the day/night pairs are kept day then night
  float DthDzNight = 0;
  std::int16_t DHFormulaCalm = 0;
  std::int16_t DHFormulaWeak = 0;
  std::int16_t DHFormulaWindy = 0;
  float IntULDay = 0;
  float IntULNight = 0;
  bool WDDistribute = false;
  std::int16_t SigZShiftMode = 0;
  std::int16_t SigZShift = 0;
  bool NOxTransform = false;
  float Alpha = 0;
  float K = 0;
  float Ra = 0;
  float BetaDay = 0;
  float BetaNight = 0;
  float O3Day = 0;
  float O3Night = 0;
  std::int16_t FreqTotal = 0;
  std::array<float, 10> RepWindSpeed{};                        // [1..9]: grid rows
  std::array<std::int16_t, 12> CalmAllFreq{};                  // [s], s = 1..11
  std::array<std::int16_t, 12> WeakAllFreq{};                  // [s]
  std::array<float, 12> WeakFreq{};                            // [s]
  std::array<std::array<std::int16_t, 12>, 7> WindyFreq{};     // [k 1..6][s 1..11]

  // The day (1) or night (2) value of a pair.
  float DthDz(int dayNight) const { return dayNight == 1 ? DthDzDay : DthDzNight; }
  float IntUL(int dayNight) const { return dayNight == 1 ? IntULDay : IntULNight; }
  float Beta(int dayNight) const { return dayNight == 1 ? BetaDay : BetaNight; }
  float O3(int dayNight) const { return dayNight == 1 ? O3Day : O3Night; }
};

}  // namespace vmk
