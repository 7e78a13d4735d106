// `ReadModelParameters`: every input of the window, in its fixed order, through the field
// parsers into ModelParameters. The first rejected input ends the reading with its message in
// the status line; the fields after it keep what an earlier calculation left in them.
//
// The labels and limits of the inputs live in one table below; the reading takes them from
// there, and so does the report of which input was rejected and what it accepts.

#include "input/read_parameters.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/cp932.h"
#include "input/field_parse.h"

namespace vmk {
namespace {

using K = InputKind;

// An edit field that the validation reads: its label in the message (UTF-8 here) and its
// inclusive limits (whole numbers for an integer field).
struct FieldRule {
  std::string_view Control;
  std::string_view Label;
  InputKind Kind;
  float Low;
  float High;
};

// Every edit field the validation reads, in the order it reads them. Of the two P(Hr->Hm)
// fields only the one that the check box selects is read.
constexpr auto kFieldRules = std::to_array<FieldRule>({
    // Source data.
    {"QgEdit", "Qg", K::Real, 0.0f, 10001.0f},
    {"QpEdit", "Qp", K::Real, 9.99E-16f, 10001.0f},
    {"TempGEdit", "T", K::Real, 0.0f, 801.0f},
    {"TempAmbEdit", "Ta", K::Real, -11.0f, 41.0f},
    {"DensEdit", "dense", K::Real, 899.0f, 2001.0f},
    {"HoEdit", "Ho", K::Real, 0.499f, 301.0f},
    // Calculation conditions.
    {"HmEdit", "Hm", K::Real, 4.99f, 301.0f},
    {"HrankgEdit", "Hr", K::Real, 1.0f, 301.0f},
    {"Phr_HmEdit", "P(Hr->Hm 定数)", K::Real, 0.0f, 1.001f},
    {"PHr_HmmultEdit", "P(Hr->Hm 倍数)", K::Real, 0.0f, 3.001f},
    {"Phm_h0multEdit", "P(Hm->Ho 倍数)", K::Real, 0.0f, 3.001f},
    {"PH0_HemultEdit", "P(Ho->He 倍数)", K::Real, 0.0f, 3.001f},
    {"dth_dz_dayEdit", "dθ/dz(昼)", K::Real, 0.000099f, 1.001f},
    {"dth_dz_nitEdit", "dθ/dz(夜)", K::Real, 0.000099f, 1.001f},
    {"dHformulaCalmEdit", "ΔH計算式(無風時)", K::Integer, 0, 4},
    {"dHformulaWWEdit", "ΔH計算式(弱風時)", K::Integer, 0, 4},
    {"dHformulaWindyEdit", "ΔH計算式(有風時)", K::Integer, 0, 4},
    {"IntULdayEdit", "内挿範囲上限(昼)", K::Real, 0.099f, 10.01f},
    {"IntULnitEdit", "内挿範囲上限(夜)", K::Real, 0.099f, 10.01f},
    {"SigZshiftModeEdit", "σz(PG)シフトモード", K::Integer, 0, 2},
    {"SigZshiftEdit", "σz(PG)シフト量", K::Integer, 0, 2},
    // The NOx conversion, checked whether or not the conversion is switched on.
    {"AlphaEdit", "NOx変換 α", K::Real, 0.0f, 1.001f},
    {"BetaDayEdit", "NOx変換 β(昼)", K::Real, 0.0f, 10.01f},
    {"BetaNitEdit", "NOx変換 β(夜)", K::Real, 0.0f, 10.01f},
    {"kEdit", "NOx変換 k", K::Real, 0.0f, 10.01f},
    {"O3dayEdit", "[O3]BG(昼)", K::Real, 0.0f, 1.001f},
    {"O3nitEdit", "[O3]BG(夜)", K::Real, 0.0f, 1.001f},
    {"NOxDistAdEdit", "無風時の距離の加算定数", K::Real, 0.0f, 10001.0f},
    // The receptor point and the valid hours of all directions.
    {"XrpEdit", "予測点 R", K::Real, RLowerLimit, RUpperLimit},
    {"HrpEdit", "予測点 z", K::Real, 0.0f, 301.0f},
    {"FreqTotalEdit", "全方位有効頻度 fall", K::Integer, 1, MaxFreqHours},
});

// The cells of `MetStringGrid`: the representative wind speeds in column 1 and the hours in
// columns 2 to 12 (whole hours, except the weak-wind row 2 of this direction).
constexpr InputLimits kRepWindSpeedLimits{K::Real, 0.099f, 20.001f};
constexpr InputLimits kFreqLimits{K::Integer, 0, MaxFreqHours};
constexpr InputLimits kWeakFreqLimits{K::Real, 0.0f, static_cast<float>(MaxFreqHours)};

constexpr std::string_view kTemperatureField = "TempGEdit";

// The labels, converted to code page 932 once.
struct InputLabels {
  std::array<Cp932, kFieldRules.size()> Field;  // by the index in kFieldRules
  std::array<Cp932, 10> RepWindSpeed;           // [grid row 1..9], row 3 unused
  std::array<std::array<Cp932, 12>, 10> Freq;   // [grid row 1..9][class 1..11]
  Cp932 Ok = Sj(" 入力・条件 : O.K.");

  InputLabels() {
    for (std::size_t i = 0; i < kFieldRules.size(); ++i) Field[i] = Sj(kFieldRules[i].Label);
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

std::size_t RuleIndex(std::string_view control) {
  for (std::size_t i = 0; i < kFieldRules.size(); ++i) {
    if (kFieldRules[i].Control == control) return i;
  }
  throw std::logic_error("no validation rule for " + std::string(control));
}

// The reading itself: the texts of `form` in the fixed order into `p`, the message of the first
// rejected input into `status`, and that input into `rejected` when asked for.
class InputReader {
 public:
  InputReader(const FormRecord& form, ModelParameters& p, Cp932& status, RejectedInput* rejected)
      : form_(form), p_(p), status_(status), rejected_(rejected) {}

  bool Read() {
    // Source data.
    if (!Real("QgEdit", p_.Qg)) return false;
    if (!Real("QpEdit", p_.Qp)) return false;
    if (!Real("TempGEdit", p_.T)) return false;
    if (!Real("TempAmbEdit", p_.Ta)) return false;
    if (p_.T < p_.Ta) {
      status_ = "T<Ta";
      if (rejected_ != nullptr) {
        const std::size_t i = RuleIndex(kTemperatureField);
        Reject(kTemperatureField, 0, 0, Labels().Field[i], Limits(kFieldRules[i]));
        rejected_->BelowAmbient = true;
      }
      return false;
    }
    if (!Real("DensEdit", p_.Dens)) return false;
    if (!Real("HoEdit", p_.Ho)) return false;

    // Calculation conditions. Only the P(Hr->Hm) field that the check box selects is read; the
    // other keeps its earlier value.
    if (!Real("HmEdit", p_.Hm)) return false;
    if (!Real("HrankgEdit", p_.Hr)) return false;
    p_.PHrHmDependent = form_.Checked("PHrHmCheckBox");
    if (p_.PHrHmDependent) {
      if (!Real("PHr_HmmultEdit", p_.PHrHmMult)) return false;
    } else {
      if (!Real("Phr_HmEdit", p_.PHrHmConst)) return false;
    }
    if (!Real("Phm_h0multEdit", p_.PHmHoMult)) return false;
    if (!Real("PH0_HemultEdit", p_.PHoHeMult)) return false;
    if (!Real("dth_dz_dayEdit", p_.DthDzDay)) return false;
    if (!Real("dth_dz_nitEdit", p_.DthDzNight)) return false;
    if (!Integer("dHformulaCalmEdit", p_.DHFormulaCalm)) return false;
    if (!Integer("dHformulaWWEdit", p_.DHFormulaWeak)) return false;
    if (!Integer("dHformulaWindyEdit", p_.DHFormulaWindy)) return false;
    if (!Real("IntULdayEdit", p_.IntULDay)) return false;
    if (!Real("IntULnitEdit", p_.IntULNight)) return false;
    p_.WDDistribute = form_.Checked("WDdistributeCheckBox");
    if (!Integer("SigZshiftModeEdit", p_.SigZShiftMode)) return false;
    if (!Integer("SigZshiftEdit", p_.SigZShift)) return false;

    // The conversion parameters are validated whether or not the conversion is switched on.
    p_.NOxTransform = form_.Checked("NOxTrnCheckBox");
    if (!Real("AlphaEdit", p_.Alpha)) return false;
    if (!Real("BetaDayEdit", p_.BetaDay)) return false;
    if (!Real("BetaNitEdit", p_.BetaNight)) return false;
    if (!Real("kEdit", p_.K)) return false;
    if (!Real("O3dayEdit", p_.O3Day)) return false;
    if (!Real("O3nitEdit", p_.O3Night)) return false;
    if (!Real("NOxDistAdEdit", p_.Ra)) return false;

    // Receptor point and the valid hours of all directions.
    if (!Real("XrpEdit", p_.R)) return false;
    if (!Real("HrpEdit", p_.z)) return false;
    if (!Integer("FreqTotalEdit", p_.FreqTotal)) return false;

    // Representative wind speeds in grid column 1; row 3 (weak wind, all directions) has none.
    const InputLabels& L = Labels();
    static constexpr std::array<int, 8> kSpeedRows = {1, 2, 4, 5, 6, 7, 8, 9};
    for (int row : kSpeedRows) {
      if (!RealCell(row, 1, p_.RepWindSpeed[row], L.RepWindSpeed[row], kRepWindSpeedLimits)) {
        return false;
      }
    }

    // The frequency cells, one stability class (grid column s + 1) at a time, rows 1 to 9.
    for (int s = StabFirst; s <= StabLast; ++s) {
      const int col = s + 1;
      if (!IntegerCell(1, col, p_.CalmAllFreq[s], L.Freq[1][s], kFreqLimits)) return false;
      if (!RealCell(2, col, p_.WeakFreq[s], L.Freq[2][s], kWeakFreqLimits)) return false;
      if (!IntegerCell(3, col, p_.WeakAllFreq[s], L.Freq[3][s], kFreqLimits)) return false;
      for (int row = 4; row <= 9; ++row) {
        if (!IntegerCell(row, col, p_.WindyFreq[row - 3][s], L.Freq[row][s], kFreqLimits)) {
          return false;
        }
      }
    }
    return true;
  }

 private:
  static InputLimits Limits(const FieldRule& rule) { return {rule.Kind, rule.Low, rule.High}; }

  bool Real(std::string_view control, float& target) {
    const std::size_t i = RuleIndex(control);
    const FieldRule& rule = kFieldRules[i];
    if (rule.Kind != K::Real) throw std::logic_error("not a real field: " + std::string(control));
    const Cp932& label = Labels().Field[i];
    if (ParseRealField(form_[control].Text, target, label, rule.Low, rule.High, status_)) {
      return true;
    }
    Reject(control, 0, 0, label, Limits(rule));
    return false;
  }

  bool Integer(std::string_view control, std::int16_t& target) {
    const std::size_t i = RuleIndex(control);
    const FieldRule& rule = kFieldRules[i];
    if (rule.Kind != K::Integer) {
      throw std::logic_error("not an integer field: " + std::string(control));
    }
    const Cp932& label = Labels().Field[i];
    if (ParseIntField(form_[control].Text, target, label, static_cast<std::int16_t>(rule.Low),
                      static_cast<std::int16_t>(rule.High), status_)) {
      return true;
    }
    Reject(control, 0, 0, label, Limits(rule));
    return false;
  }

  bool RealCell(int row, int col, float& target, const Cp932& label, InputLimits limits) {
    if (ParseRealField(form_.Grid[row][col], target, label, limits.Low, limits.High, status_)) {
      return true;
    }
    Reject(kGridControlName, row, col, label, limits);
    return false;
  }

  bool IntegerCell(int row, int col, std::int16_t& target, const Cp932& label,
                   InputLimits limits) {
    if (ParseIntField(form_.Grid[row][col], target, label, static_cast<std::int16_t>(limits.Low),
                      static_cast<std::int16_t>(limits.High), status_)) {
      return true;
    }
    Reject(kGridControlName, row, col, label, limits);
    return false;
  }

  void Reject(std::string_view control, int row, int col, const Cp932& label,
              InputLimits limits) {
    if (rejected_ == nullptr) return;
    rejected_->Control = std::string(control);
    rejected_->Row = row;
    rejected_->Col = col;
    rejected_->Label = label;
    rejected_->BelowAmbient = false;
    rejected_->Limits = limits;
  }

  const FormRecord& form_;
  ModelParameters& p_;
  Cp932& status_;
  RejectedInput* rejected_;
};

}  // namespace

bool ReadModelParameters(FormRecord& form, ModelParameters& p, RejectedInput* rejected) {
  Cp932& status = form["messageLabel"].Text;
  if (!InputReader(form, p, status, rejected).Read()) return false;
  status = Labels().Ok;
  return true;
}

std::optional<InputLimits> FieldLimits(std::string_view control) {
  for (const FieldRule& rule : kFieldRules) {
    if (rule.Control == control) return InputLimits{rule.Kind, rule.Low, rule.High};
  }
  return std::nullopt;
}

InputLimits GridCellLimits(int row, int col) {
  if (col == 1) return kRepWindSpeedLimits;
  return row == 2 ? kWeakFreqLimits : kFreqLimits;
}

std::optional<RejectedInput> FirstRejectedInput(const FormRecord& form) {
  ModelParameters scratch;
  Cp932 status;
  RejectedInput rejected;
  if (InputReader(form, scratch, status, &rejected).Read()) return std::nullopt;
  return rejected;
}

}  // namespace vmk
