// Heat flux, the wind profile between the measurement heights and the plume rise of one case.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "input/model_parameters.h"

namespace vmk {

// Power-law exponent of the wind profile by stability class 1..11 (index 0 unused).
inline constexpr std::array<float, 12> StabPowerExponent = {
    0.0f, 0.1f, 0.125f, 0.15f, 0.175f, 0.2f, 0.225f, 0.25f, 0.25f, 0.25f, 0.3f, 0.3f};

// Plume-rise formula codes.
inline constexpr int RiseNone = 0;
inline constexpr int RiseBriggs = 1;
inline constexpr int RiseConcawe = 2;
inline constexpr int RiseInterpolated = 3;
inline constexpr int RiseSmaller = 4;

// Qh = 0.24 * Dens * Qg * (T - Ta), cal/s.
float ComputeHeatFlux(const ModelParameters& p);

// e^(exponent * ln base); 0 for a base below 1e-10 (zero and negative bases included).
float SafePower(float base, float exponent);

// SafePower results kept by their exact arguments over the cases of one model section, for the
// powers that repeat from case to case: the wind-profile factors of each stability class, the
// Briggs and limit CONCAWE powers of day and night, and the CONCAWE power of a stack-height
// wind speed met again. A kept result is the one a fresh call gives, so the memo changes no
// digit, only the number of logarithms. Direct-mapped: a newer pair takes the slot of an older
// one with the same hash.
class PowerMemo {
 public:
  float SafePower(float base, float exponent);

 private:
  struct Entry {
    std::uint64_t Key;  // base bits, exponent bits; 0 marks an empty slot (base 0 is never kept)
    float Value;
  };
  std::array<Entry, 128> entries_{};
};

// Briggs: 1.4 * Qh^(1/4) * (dtheta/dz)^(-3/8), m.
float BriggsRise(float qh, float dThetaDz, PowerMemo* memo = nullptr);

// CONCAWE: 0.175 * Qh^(1/2) * u^(-3/4), m.
float ConcaweRise(float qh, float u, PowerMemo* memo = nullptr);

// Plume rise by formula code 0..4 for the day (1) or night (2) values, u the wind speed at the
// actual stack height.
float PlumeRise(const ModelParameters& p, int dayNight, int formulaCode, float qh, float u,
                PowerMemo* memo = nullptr);

// The wind speeds and the plume rise of one case: the working values its report row prints.
struct WindAndRise {
  float Uhr = 0;  // representative wind speed at Hr, m/s
  float Uhm = 0;  // wind speed at Hm
  float Uh0 = 0;  // wind speed at Ho
  float Uhe = 0;  // wind speed at He
  float DH = 0;   // plume rise, m
  float He = 0;   // effective stack height, m
  friend bool operator==(const WindAndRise&, const WindAndRise&) = default;
};

// Wind speeds at Hm, Ho and He, the plume rise and the effective stack height of one case of
// stability class s, for the heat flux qh and the representative wind speed uhr.
WindAndRise ComputeWindAndRise(const ModelParameters& p, float qh, int s, int dayNight,
                               int formulaCode, float uhr, PowerMemo* memo = nullptr);

}  // namespace vmk
