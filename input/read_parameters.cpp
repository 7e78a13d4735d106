// `ReadModelParameters`: every input of the window, in its fixed order, through the field
// parsers into ModelParameters. The first rejected input ends the reading with its message in
// the status line; the fields after it keep what an earlier calculation left in them.

#include "input/read_parameters.h"

#include <array>
#include <string>

#include "common/cp932.h"
#include "input/field_parse.h"

namespace vmk {
namespace {

// The labels that name the inputs in the error messages, converted to code page 932 once.
struct InputLabels {
  Cp932 PHrHmConst = Sj("P(Hr->Hm 定数)");
  Cp932 PHrHmMult = Sj("P(Hr->Hm 倍数)");
  Cp932 PHmHoMult = Sj("P(Hm->Ho 倍数)");
  Cp932 PHoHeMult = Sj("P(Ho->He 倍数)");
  Cp932 DthDzDay = Sj("dθ/dz(昼)");
  Cp932 DthDzNight = Sj("dθ/dz(夜)");
  Cp932 DHFormulaCalm = Sj("ΔH計算式(無風時)");
  Cp932 DHFormulaWeak = Sj("ΔH計算式(弱風時)");
  Cp932 DHFormulaWindy = Sj("ΔH計算式(有風時)");
  Cp932 IntULDay = Sj("内挿範囲上限(昼)");
  Cp932 IntULNight = Sj("内挿範囲上限(夜)");
  Cp932 SigZShiftMode = Sj("σz(PG)シフトモード");
  Cp932 SigZShift = Sj("σz(PG)シフト量");
  Cp932 Alpha = Sj("NOx変換 α");
  Cp932 BetaDay = Sj("NOx変換 β(昼)");
  Cp932 BetaNight = Sj("NOx変換 β(夜)");
  Cp932 K = Sj("NOx変換 k");
  Cp932 O3Day = Sj("[O3]BG(昼)");
  Cp932 O3Night = Sj("[O3]BG(夜)");
  Cp932 Ra = Sj("無風時の距離の加算定数");
  Cp932 R = Sj("予測点 R");
  Cp932 z = Sj("予測点 z");
  Cp932 FreqTotal = Sj("全方位有効頻度 fall");
  Cp932 Ok = Sj(" 入力・条件 : O.K.");
  std::array<Cp932, 10> RepWindSpeed;           // [grid row 1..9], row 3 unused
  std::array<std::array<Cp932, 12>, 10> Freq;   // [grid row 1..9][class 1..11]

  InputLabels() {
    RepWindSpeed[1] = Sj("代表風速(無風)");
    RepWindSpeed[2] = Sj("代表風速(弱風)");
    for (int row = 4; row <= 9; ++row) {
      RepWindSpeed[row] = Sj("代表風速(有風 " + std::to_string(row - 3) + ")");
    }
    for (int s = StabFirst; s <= StabLast; ++s) {
      std::string suffix = " " + std::string(StabilityLabels[s]) + ")";
      Freq[1][s] = Sj("無風全方位頻度" + suffix);
      Freq[2][s] = Sj("弱風頻度" + suffix);
      Freq[3][s] = Sj("弱風全方位頻度" + suffix);
      for (int row = 4; row <= 9; ++row) {
        Freq[row][s] = Sj("有風 " + std::to_string(row - 3) + " 頻度" + suffix);
      }
    }
  }
};

const InputLabels& Labels() {
  static const InputLabels labels;
  return labels;
}

}  // namespace

bool ReadModelParameters(FormRecord& form, ModelParameters& p) {
  const InputLabels& L = Labels();
  Cp932& status = form["messageLabel"].Text;

  auto real = [&](std::string_view control, float& field, std::string_view label, float low,
                  float high) {
    return ParseRealField(form[control].Text, field, label, low, high, status);
  };
  auto integer = [&](std::string_view control, std::int16_t& field, std::string_view label,
                     std::int16_t low, std::int16_t high) {
    return ParseIntField(form[control].Text, field, label, low, high, status);
  };

  // Source data.
  if (!real("QgEdit", p.Qg, "Qg", 0.0f, 10001.0f)) return false;
  if (!real("QpEdit", p.Qp, "Qp", 9.99E-16f, 10001.0f)) return false;
  if (!real("TempGEdit", p.T, "T", 0.0f, 801.0f)) return false;
  if (!real("TempAmbEdit", p.Ta, "Ta", -11.0f, 41.0f)) return false;
  if (p.T < p.Ta) {
    status = "T<Ta";
    return false;
  }
  if (!real("DensEdit", p.Dens, "dense", 899.0f, 2001.0f)) return false;
  if (!real("HoEdit", p.Ho, "Ho", 0.499f, 301.0f)) return false;

  // Calculation conditions. Only the P(Hr->Hm) field that the check box selects is read; the
  // other keeps its earlier value.
  if (!real("HmEdit", p.Hm, "Hm", 4.99f, 301.0f)) return false;
  if (!real("HrankgEdit", p.Hr, "Hr", 1.0f, 301.0f)) return false;
  p.PHrHmDependent = form.Checked("PHrHmCheckBox");
  if (p.PHrHmDependent) {
    if (!real("PHr_HmmultEdit", p.PHrHmMult, L.PHrHmMult, 0.0f, 3.001f)) return false;
  } else {
    if (!real("Phr_HmEdit", p.PHrHmConst, L.PHrHmConst, 0.0f, 1.001f)) return false;
  }
  if (!real("Phm_h0multEdit", p.PHmHoMult, L.PHmHoMult, 0.0f, 3.001f)) return false;
  if (!real("PH0_HemultEdit", p.PHoHeMult, L.PHoHeMult, 0.0f, 3.001f)) return false;
  if (!real("dth_dz_dayEdit", p.DthDzDay, L.DthDzDay, 0.000099f, 1.001f)) return false;
  if (!real("dth_dz_nitEdit", p.DthDzNight, L.DthDzNight, 0.000099f, 1.001f)) return false;
  if (!integer("dHformulaCalmEdit", p.DHFormulaCalm, L.DHFormulaCalm, 0, 4)) return false;
  if (!integer("dHformulaWWEdit", p.DHFormulaWeak, L.DHFormulaWeak, 0, 4)) return false;
  if (!integer("dHformulaWindyEdit", p.DHFormulaWindy, L.DHFormulaWindy, 0, 4)) return false;
  if (!real("IntULdayEdit", p.IntULDay, L.IntULDay, 0.099f, 10.01f)) return false;
  if (!real("IntULnitEdit", p.IntULNight, L.IntULNight, 0.099f, 10.01f)) return false;
  p.WDDistribute = form.Checked("WDdistributeCheckBox");
  if (!integer("SigZshiftModeEdit", p.SigZShiftMode, L.SigZShiftMode, 0, 2)) return false;
  if (!integer("SigZshiftEdit", p.SigZShift, L.SigZShift, 0, 2)) return false;

  // The conversion parameters are validated whether or not the conversion is switched on.
  p.NOxTransform = form.Checked("NOxTrnCheckBox");
  if (!real("AlphaEdit", p.Alpha, L.Alpha, 0.0f, 1.001f)) return false;
  if (!real("BetaDayEdit", p.BetaDay, L.BetaDay, 0.0f, 10.01f)) return false;
  if (!real("BetaNitEdit", p.BetaNight, L.BetaNight, 0.0f, 10.01f)) return false;
  if (!real("kEdit", p.K, L.K, 0.0f, 10.01f)) return false;
  if (!real("O3dayEdit", p.O3Day, L.O3Day, 0.0f, 1.001f)) return false;
  if (!real("O3nitEdit", p.O3Night, L.O3Night, 0.0f, 1.001f)) return false;
  if (!real("NOxDistAdEdit", p.Ra, L.Ra, 0.0f, 10001.0f)) return false;

  // Receptor point and the valid hours of all directions.
  if (!real("XrpEdit", p.R, L.R, RLowerLimit, RUpperLimit)) return false;
  if (!real("HrpEdit", p.z, L.z, 0.0f, 301.0f)) return false;
  if (!integer("FreqTotalEdit", p.FreqTotal, L.FreqTotal, 1, MaxFreqHours)) return false;

  // Representative wind speeds in grid column 1; row 3 (weak wind, all directions) has none.
  static constexpr std::array<int, 8> kSpeedRows = {1, 2, 4, 5, 6, 7, 8, 9};
  for (int row : kSpeedRows) {
    if (!ParseRealField(form.Grid[row][1], p.RepWindSpeed[row], L.RepWindSpeed[row], 0.099f,
                        20.001f, status)) {
      return false;
    }
  }

  // The frequency cells, one stability class (grid column s + 1) at a time, rows 1 to 9.
  constexpr float kMaxFreqReal = MaxFreqHours;
  for (int s = StabFirst; s <= StabLast; ++s) {
    const int col = s + 1;
    if (!ParseIntField(form.Grid[1][col], p.CalmAllFreq[s], L.Freq[1][s], 0, MaxFreqHours,
                       status)) {
      return false;
    }
    if (!ParseRealField(form.Grid[2][col], p.WeakFreq[s], L.Freq[2][s], 0.0f, kMaxFreqReal,
                        status)) {
      return false;
    }
    if (!ParseIntField(form.Grid[3][col], p.WeakAllFreq[s], L.Freq[3][s], 0, MaxFreqHours,
                       status)) {
      return false;
    }
    for (int row = 4; row <= 9; ++row) {
      if (!ParseIntField(form.Grid[row][col], p.WindyFreq[row - 3][s], L.Freq[row][s], 0,
                         MaxFreqHours, status)) {
        return false;
      }
    }
  }

  status = L.Ok;
  return true;
}

}  // namespace vmk
