#include "model/plume_rise.h"

#include <bit>
#include <cmath>

namespace vmk {

// Every expression below runs in extended precision and is rounded to float where it is stored
// or returned; the printed digits of the report depend on these rounding points.

float ComputeHeatFlux(const ModelParameters& p) {
  return static_cast<float>(((0.24L * p.Dens) * p.Qg) * (static_cast<long double>(p.T) - p.Ta));
}

float SafePower(float base, float exponent) {
  if (static_cast<long double>(base) < 1e-10L) return 0.0f;
  // e^(p * ln 1) and e^(0 * ln b) are exactly 1: equal heights and zero exponents (the
  // defaults) need no logarithm.
  if (base == 1.0f || exponent == 0.0f) return 1.0f;
  return static_cast<float>(expl(static_cast<long double>(exponent) * logl(base)));
}

float PowerMemo::SafePower(float base, float exponent) {
  const std::uint64_t key = (std::uint64_t{std::bit_cast<std::uint32_t>(base)} << 32) |
                            std::bit_cast<std::uint32_t>(exponent);
  Entry& slot = entries_[((key * 0x9E3779B97F4A7C15ull) >> 57) & (entries_.size() - 1)];
  if (key != 0 && slot.Key == key) return slot.Value;
  const float value = vmk::SafePower(base, exponent);
  if (key != 0) slot = Entry{key, value};
  return value;
}

namespace {
float Power(PowerMemo* memo, float base, float exponent) {
  return memo ? memo->SafePower(base, exponent) : SafePower(base, exponent);
}
}  // namespace

float BriggsRise(float qh, float dThetaDz, PowerMemo* memo) {
  const long double quarter = sqrtl(sqrtl(static_cast<long double>(qh)));
  return static_cast<float>((1.4L * quarter) * Power(memo, dThetaDz, -0.375f));
}

float ConcaweRise(float qh, float u, PowerMemo* memo) {
  return static_cast<float>((0.175L * sqrtl(static_cast<long double>(qh))) *
                            Power(memo, u, -0.75f));
}

float PlumeRise(const ModelParameters& p, int dayNight, int formulaCode, float qh, float u,
                PowerMemo* memo) {
  if (formulaCode == RiseNone) return 0.0f;
  const float briggs = BriggsRise(qh, p.DthDz(dayNight), memo);
  // Below 1 mm/s the CONCAWE formula has no meaning: every formula falls back to Briggs.
  if (static_cast<long double>(u) < 0.001L) return briggs;
  if (formulaCode == RiseBriggs) return briggs;
  const float upper = p.IntUL(dayNight);
  if (formulaCode == RiseConcawe || u > upper) return ConcaweRise(qh, u, memo);
  const float atUpper = ConcaweRise(qh, upper, memo);
  const float interpolated = static_cast<float>(
      briggs + ((static_cast<long double>(atUpper) - briggs) * u) / upper);
  if (formulaCode == RiseSmaller) {
    const float concawe = ConcaweRise(qh, u, memo);
    if (interpolated > concawe) return concawe;
  }
  return interpolated;
}

WindAndRise ComputeWindAndRise(const ModelParameters& p, float qh, int s, int dayNight,
                               int formulaCode, float uhr, PowerMemo* memo) {
  // Each value is stored as float before the next step uses it.
  WindAndRise w;
  w.Uhr = uhr;
  const float stab = StabPowerExponent[s];
  const float pHrHm = p.PHrHmDependent
                          ? static_cast<float>(static_cast<long double>(p.PHrHmMult) * stab)
                          : p.PHrHmConst;
  const float ratioHm = static_cast<float>(static_cast<long double>(p.Hm) / p.Hr);
  w.Uhm = static_cast<float>(static_cast<long double>(Power(memo, ratioHm, pHrHm)) * uhr);

  const float pHmHo = static_cast<float>(static_cast<long double>(p.PHmHoMult) * stab);
  const float ratioHo = static_cast<float>(static_cast<long double>(p.Ho) / p.Hm);
  w.Uh0 = static_cast<float>(static_cast<long double>(Power(memo, ratioHo, pHmHo)) * w.Uhm);

  // The rise uses the wind at the actual stack height; Uhe is not fed back into it.
  w.DH = PlumeRise(p, dayNight, formulaCode, qh, w.Uh0, memo);
  w.He = static_cast<float>(static_cast<long double>(p.Ho) + w.DH);

  const float pHoHe = static_cast<float>(static_cast<long double>(p.PHoHeMult) * stab);
  const float ratioHe = static_cast<float>(static_cast<long double>(w.He) / p.Ho);
  w.Uhe = static_cast<float>(static_cast<long double>(Power(memo, ratioHe, pHoHe)) * w.Uh0);
  return w;
}

}  // namespace vmk
