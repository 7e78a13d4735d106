#include "model/puff.h"

#include <cmath>

#include "model/model.h"
#include "model/no2.h"
#include "model/plume_rise.h"
#include "model/receptor.h"
#include "model/weighting.h"

namespace vmk {

using ld = long double;

void SelectPuffInputs(const ModelParameters& p, PuffRow& row) {
  if (row.WindCase == WindCaseCalm) {
    row.freq = static_cast<float>(p.CalmAllFreq[row.S]);
    row.n = 0;
    row.FormulaCode = p.DHFormulaCalm;
    row.AlphaColumn = 0;
  } else {
    row.f = p.WeakFreq[row.S];
    row.freq = row.f;
    row.n = p.WeakAllFreq[row.S];
    row.FormulaCode = p.DHFormulaWeak;
    row.AlphaColumn = 1;
  }
}

void CorrectWeakWindFrequency(float Rc, PuffRow& row) {
  row.X = static_cast<float>(((0.70710678L * row.Wind.Uhe) * row.Wind.He) / row.gamma);
  if (Rc < row.X) {
    row.freq = static_cast<float>(
        ((static_cast<ld>(row.X) - Rc) * (row.n * 0.0625L) + static_cast<ld>(row.f) * Rc) /
        row.X);
  } else {
    row.freq = row.f;
  }
}

void ComputePuffTerms(PuffRow& row) {
  const float uhe = row.Wind.Uhe;
  if (row.WindCase == WindCaseCalm) {
    row.FMinus = static_cast<float>(1.0L / row.Eta2Minus);
    row.FPlus = static_cast<float>(1.0L / row.Eta2Plus);
    row.factor = CalmPuffFactor;
    row.U = 0.0f;
  } else {
    const ld tm = (static_cast<ld>(uhe) * row.zm) / row.gamma;
    const ld tp = (static_cast<ld>(uhe) * row.zp) / row.gamma;
    row.FMinus =
        static_cast<float>(expl(((tm * tm) * -0.5L) / row.Eta2Minus) / row.Eta2Minus);
    row.FPlus = static_cast<float>(expl(((tp * tp) * -0.5L) / row.Eta2Plus) / row.Eta2Plus);
    row.factor = WeakPuffFactor;
    row.U = uhe;
  }
}

bool PreparePuffRow(const ModelParameters& p, float qh, float Rc, PuffRow& row,
                    PowerMemo* powers) {
  SelectPuffInputs(p, row);
  if (!(row.freq > 0) && !(row.n > 0)) return false;
  row.DayNight = DayNightIndex(row.S);
  row.Wind = ComputeWindAndRise(p, qh, row.S, row.DayNight, row.FormulaCode,
                                p.RepWindSpeed[row.WindCase], powers);
  row.WindComputed = true;
  row.alpha = PuffAlphaGamma[row.S][row.AlphaColumn];
  row.gamma = PuffAlphaGamma[row.S][PuffGammaColumn];
  if (row.WindCase == WindCaseWeak && CorrectsWeakWindFrequency(p, row)) {
    CorrectWeakWindFrequency(Rc, row);
  }
  // Only a weak-wind row without hours of its own and without a correction ends here.
  return row.freq > 0;
}

void EvaluatePuffRow(const ModelParameters& p, float Rc, PuffRow& row, PuffNo2Memo* no2Memo) {
  row.zm = static_cast<float>(static_cast<ld>(p.z) - row.Wind.He);
  row.zp = static_cast<float>(static_cast<ld>(p.z) + row.Wind.He);
  // Rc^2 stays in extended precision for both eta terms.
  const ld rc2 = static_cast<ld>(Rc) * Rc;
  const ld ratio = static_cast<ld>(row.alpha) / row.gamma;
  const ld dm = ratio * row.zm;
  const ld dp = ratio * row.zp;
  row.Eta2Minus = static_cast<float>(rc2 + dm * dm);
  row.Eta2Plus = static_cast<float>(rc2 + dp * dp);
  ComputePuffTerms(row);
  row.F = static_cast<float>(static_cast<ld>(row.FMinus) + row.FPlus);
  row.C1 = static_cast<float>(((static_cast<ld>(row.factor) * p.Qp) * row.F) / row.gamma);
  if (p.NOxTransform) {
    // The added distance lengthens the travel of calm hours only.
    std::optional<float>* kept = no2Memo ? &(*no2Memo)[row.WindCase][row.DayNight] : nullptr;
    if (kept != nullptr && kept->has_value()) {
      row.NO2r = **kept;
    } else {
      row.NO2r = No2Ratio(p, row.DayNight, Rc, row.WindCase == WindCaseCalm ? p.Ra : 0.0f);
      if (kept != nullptr) *kept = row.NO2r;
    }
  } else {
    row.NO2r = 1.0f;
  }
  row.C1 = static_cast<float>(static_cast<ld>(row.C1) * row.NO2r);
  row.Cw = HoursWeighted(row.C1, row.freq, p.FreqTotal);
}

void RunPuffModel(const ModelParameters& p, float qh, ModelResult& out) {
  const float Rc = CalcDistance(p.R);
  PowerMemo powers;
  PuffNo2Memo no2;
  out.PuffRows.reserve(2 * (StabLast - StabFirst + 1));
  int rowNumber = 0;
  float sum = 0.0f;
  for (int windCase : {WindCaseCalm, WindCaseWeak}) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      PuffRow row;
      row.WindCase = windCase;
      row.S = s;
      const bool counted = PreparePuffRow(p, qh, Rc, row, &powers);
      if (row.WindComputed) out.LastWind = row.Wind;
      if (!counted) continue;
      row.Number = ++rowNumber;
      EvaluatePuffRow(p, Rc, row, &no2);
      sum = AddedToSum(sum, row.Cw);
      out.PuffRows.push_back(row);
    }
  }
  out.PuffSum = sum;
}

}  // namespace vmk
