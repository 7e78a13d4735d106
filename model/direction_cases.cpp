#include "model/direction_cases.h"

#include <stdexcept>

#include "common/cp932.h"
#include "model/plume_rise.h"
#include "model/receptor.h"
#include "model/weighting.h"

namespace vmk {

DirectionHours DirectionHoursOf(const ModelParameters& p) {
  DirectionHours d;
  d.WeakFreq = p.WeakFreq;
  d.WindyFreq = p.WindyFreq;
  return d;
}

DirectionCases::DirectionCases(const ModelParameters& p,
                               std::span<const DirectionHours> directions)
    : p_(p) {
  qh_ = ComputeHeatFlux(p_);
  // A parameter set with hours wherever some direction has them: its rows and cases are the
  // ones whose wind and rise some direction's run computes.
  ModelParameters any = p_;
  for (int s = StabFirst; s <= StabLast; ++s) {
    any.WeakFreq[s] = 0.0f;
    for (int k = WindyClassFirst; k <= WindyClassLast; ++k) any.WindyFreq[k][s] = 0;
    for (const DirectionHours& d : directions) {
      if (d.WeakFreq[s] > 0) any.WeakFreq[s] = d.WeakFreq[s];
      for (int k = WindyClassFirst; k <= WindyClassLast; ++k) {
        if (d.WindyFreq[k][s] > 0) any.WindyFreq[k][s] = d.WindyFreq[k][s];
      }
    }
  }

  // The distance does not enter the wind and rise; the rows' frequencies and C1 found here
  // are not kept.
  const float Rc = CalcDistance(p_.R);
  PowerMemo powers;
  for (int windCase : {WindCaseCalm, WindCaseWeak}) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      PuffRow row;
      row.WindCase = windCase;
      row.S = s;
      PreparePuffRow(any, qh_, Rc, row, &powers);
      if (row.WindComputed) (windCase == WindCaseCalm ? calm_ : weak_)[s] = row;
    }
  }
  bool error = false;
  Cp932 errorText;
  PlumeSectionMemo memo;
  for (int k = WindyClassFirst; k <= WindyClassLast; ++k) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      if (any.WindyFreq[k][s] <= 0) continue;
      PlumeRow c;
      c.K = k;
      c.S = s;
      c.Hours = any.WindyFreq[k][s];
      ComputePlumeCase(any, qh_, Rc, c, SigZErrorState{error, errorText}, &memo);
      plume_[k][s] = c;
    }
  }
}

void DirectionCases::Evaluate(float r, float z, AtDistance& out) const {
  ModelParameters p = p_;
  p.R = r;
  p.z = z;
  const float Rc = CalcDistance(r);
  out.Rc = Rc;
  PuffNo2Memo no2;
  for (int s = StabFirst; s <= StabLast; ++s) {
    if (calm_[s]) {
      PuffRow row = *calm_[s];
      EvaluatePuffRow(p, Rc, row, &no2);
      out.CalmC1[s] = row.C1;
    }
  }
  for (int s = StabFirst; s <= StabLast; ++s) {
    if (weak_[s]) {
      PuffRow row = *weak_[s];
      EvaluatePuffRow(p, Rc, row, &no2);
      out.WeakC1[s] = row.C1;
    }
  }
  PlumeSectionMemo memo;
  for (int k = WindyClassFirst; k <= WindyClassLast; ++k) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      if (!plume_[k][s]) continue;
      PlumeRow c = *plume_[k][s];
      // Each case raises its own sigma-z error: the memo never keeps a failed value.
      bool error = false;
      Cp932 errorText;
      EvaluatePlumeCase(p, Rc, c, SigZErrorState{error, errorText}, &memo);
      out.PlumeC1[k][s] = c.C1;
      out.PlumeError[k][s] = error;
    }
  }
}

DirectionSums DirectionCases::Sum(const AtDistance& at, const DirectionHours& d) const {
  DirectionSums out;
  const auto missing = [] {
    throw std::logic_error("DirectionCases: hours of a direction it was not prepared for");
  };

  // Puff section: calm rows, then weak-wind rows, as `RunPuffModel` counts them.
  float sum = 0.0f;
  for (int s = StabFirst; s <= StabLast; ++s) {
    if (!calm_[s]) continue;  // no calm hours in any direction
    const float freq = calm_[s]->freq;
    sum = AddedToSum(sum, HoursWeighted(at.CalmC1[s], freq, p_.FreqTotal));
  }
  for (int s = StabFirst; s <= StabLast; ++s) {
    const float f = d.WeakFreq[s];
    const std::int16_t n = p_.WeakAllFreq[s];
    if (!(f > 0) && !(n > 0)) continue;
    if (!weak_[s]) missing();
    const PuffRow& prepared = *weak_[s];
    float freq = f;
    if (CorrectsWeakWindFrequency(p_, prepared)) {
      PuffRow row = prepared;
      row.f = f;
      row.freq = f;
      CorrectWeakWindFrequency(at.Rc, row);
      freq = row.freq;
    }
    if (!(freq > 0)) continue;
    sum = AddedToSum(sum, HoursWeighted(at.WeakC1[s], freq, p_.FreqTotal));
  }
  out.PuffSum = sum;

  // Plume section: windy classes 1 to 6, stability classes 1 to 11 within each.
  sum = 0.0f;
  for (int k = WindyClassFirst; k <= WindyClassLast; ++k) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      const std::int16_t hours = d.WindyFreq[k][s];
      if (hours <= 0) continue;
      if (!plume_[k][s]) missing();
      sum = AddedToSum(sum, HoursWeighted(at.PlumeC1[k][s], hours, p_.FreqTotal));
      out.ModelError = out.ModelError || at.PlumeError[k][s];
    }
  }
  out.PlumeSum = sum;

  out.TotalConc = SectionsTotal(out.PuffSum, out.PlumeSum);
  return out;
}

}  // namespace vmk
