#include "model/plume.h"

#include <cmath>

#include "model/model.h"
#include "model/no2.h"
#include "model/plume_rise.h"
#include "model/receptor.h"
#include "model/weighting.h"

namespace vmk {

using ld = long double;

namespace {

// e^x rounded to float. Below -104 the exact value lies under half the smallest float
// (2^-150 = e^-103.97) and rounds to 0, so the costly extended exponential is skipped there;
// the stored result is the same.
float ExpToFloat(ld x) { return x < -104.0L ? 0.0f : static_cast<float>(expl(x)); }

// sigZPG, remembered per class unless it raised the error (which must be raised every time).
float SigmaZOf(const SigZTarget& t, float Rc, SigZErrorState err, PlumeSectionMemo* memo) {
  std::optional<float>* slot = memo ? &memo->SigmaZ[t.Cls][t.HalfStep ? 1 : 0] : nullptr;
  if (slot && *slot) return **slot;
  bool error = false;
  const float sigma = sigZPG(t.Cls, t.HalfStep, Rc, error, err.ModelErrorText);
  if (error) {
    err.ModelError = true;
  } else if (slot) {
    *slot = sigma;
  }
  return sigma;
}

float No2RatioOf(const ModelParameters& p, int dayNight, float Rc, PlumeSectionMemo* memo) {
  std::optional<float>* slot = memo ? &memo->NO2r[dayNight] : nullptr;
  if (slot && *slot) return **slot;
  // The plume adds no distance: the calm distance Ra belongs to the puff model.
  const float ratio = No2Ratio(p, dayNight, Rc, 0.0f);
  if (slot) *slot = ratio;
  return ratio;
}

}  // namespace

void ComputePlumeCase(const ModelParameters& p, float qh, float Rc, PlumeRow& c,
                      SigZErrorState error, PlumeSectionMemo* memo) {
  if (p.SigZShiftMode > 0 && p.SigZShift > 0) {
    c.SigZClass = ShiftStability(c.S, p.SigZShiftMode, p.SigZShift);
  } else {
    c.SigZClass = SigZTarget{c.S, false};
  }
  c.DayNight = DayNightIndex(c.S);
  // The unshifted class drives the wind profile and the rise.
  c.Wind = ComputeWindAndRise(p, qh, c.S, c.DayNight, p.DHFormulaWindy,
                              p.RepWindSpeed[c.K + WindyGridRowOffset],
                              memo ? &memo->Powers : nullptr);
  EvaluatePlumeCase(p, Rc, c, error, memo);
}

void EvaluatePlumeCase(const ModelParameters& p, float Rc, PlumeRow& c, SigZErrorState error,
                       PlumeSectionMemo* memo) {
  c.SigmaZ = SigmaZOf(c.SigZClass, Rc, error, memo);

  const ld tm = (static_cast<ld>(p.z) - c.Wind.He) / c.SigmaZ;
  const ld tp = (static_cast<ld>(p.z) + c.Wind.He) / c.SigmaZ;
  c.FMinus = ExpToFloat((tm * tm) * -0.5L);  // direct plume
  c.FPlus = ExpToFloat((tp * tp) * -0.5L);   // image reflected at the ground
  c.F = static_cast<float>(static_cast<ld>(c.FMinus) + c.FPlus);

  c.C1 = static_cast<float>(((static_cast<ld>(PlumeConst) * p.Qp) * c.F) /
                            ((static_cast<ld>(Rc) * c.SigmaZ) * c.Wind.Uhe));
  c.NO2r = p.NOxTransform ? No2RatioOf(p, c.DayNight, Rc, memo) : 1.0f;
  c.C1 = static_cast<float>(static_cast<ld>(c.C1) * c.NO2r);
  c.Cw = HoursWeighted(c.C1, c.Hours, p.FreqTotal);
}

void PlumeModel(const ModelParameters& p, float qh, ModelResult& out) {
  const float Rc = CalcDistance(p.R);
  const SigZErrorState error{out.ModelError, out.ModelErrorText};
  PlumeSectionMemo memo;
  out.PlumeRows.reserve((WindyClassLast - WindyClassFirst + 1) * (StabLast - StabFirst + 1));
  int caseNumber = 0;
  float sum = 0.0f;
  for (int k = WindyClassFirst; k <= WindyClassLast; ++k) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      PlumeRow c;
      c.K = k;
      c.S = s;
      c.Hours = p.WindyFreq[k][s];
      if (c.Hours <= 0) continue;
      c.Number = ++caseNumber;
      ComputePlumeCase(p, qh, Rc, c, error, &memo);
      out.LastWind = c.Wind;
      sum = AddedToSum(sum, c.Cw);
      out.PlumeRows.push_back(c);
    }
  }
  out.PlumeSum = sum;
}

}  // namespace vmk
