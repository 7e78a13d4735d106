// Reading and validating the whole form: the limits and label of every input, the order of
// the inputs and the first-failure rule, the temperature test, the P(Hr->Hm) selection, the
// frequency grid, and the values fields keep across calculations.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "form/form_record.h"
#include "common/cp932.h"
#include "input/frequency_grid.h"
#include "input/model_parameters.h"
#include "input/read_parameters.h"

namespace vmk {
namespace {

FormRecord StartForm() {
  FormRecord form = MakeLayoutForm();
  InitFrequencyGrid(form.Grid);
  return form;
}

const Cp932& Status(const FormRecord& form) { return form["messageLabel"].Text; }
Cp932 Ok() { return Sj(" 入力・条件 : O.K."); }
Cp932 Error(std::string_view utf8Label) { return "Error: " + Sj(utf8Label); }

std::string NineDigits(float x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(x));
  return buf;
}

// One validated input: where its text lives, its label and its limits as written in the
// input table (the texts) and as the single-precision numbers they stand for.
struct Step {
  std::string control;  // empty for a grid cell
  int row = 0, col = 0;
  bool integer = false;
  std::string label;  // UTF-8
  std::string lowText, highText;
  float low = 0, high = 0;
  std::function<float(const ModelParameters&)> field;
  std::function<void(FormRecord&)> prepare = [](FormRecord&) {};
};

Cp932& InputText(FormRecord& form, const Step& s) {
  return s.control.empty() ? form.Grid[s.row][s.col] : form[s.control].Text;
}

#define FIELD(member) [](const ModelParameters& p) { return static_cast<float>(p.member); }

std::vector<Step> AllSteps() {
  auto real = [](std::string control, std::string label, std::string lowText, float low,
                 std::string highText, float high, std::function<float(const ModelParameters&)> f) {
    return Step{control, 0, 0, false, label, lowText, highText, low, high, f};
  };
  auto integer = [](std::string control, std::string label, int low, int high,
                    std::function<float(const ModelParameters&)> f) {
    return Step{control, 0, 0, true, label, std::to_string(low), std::to_string(high),
                static_cast<float>(low), static_cast<float>(high), f};
  };
  std::vector<Step> steps = {
      real("QgEdit", "Qg", "0", 0.0f, "10001", 10001.0f, FIELD(Qg)),
      real("QpEdit", "Qp", "9.99E-16", 9.99E-16f, "10001", 10001.0f, FIELD(Qp)),
      real("TempGEdit", "T", "0", 0.0f, "801", 801.0f, FIELD(T)),
      real("TempAmbEdit", "Ta", "-11", -11.0f, "41", 41.0f, FIELD(Ta)),
      real("DensEdit", "dense", "899", 899.0f, "2001", 2001.0f, FIELD(Dens)),
      real("HoEdit", "Ho", "0.499", 0.499f, "301", 301.0f, FIELD(Ho)),
      real("HmEdit", "Hm", "4.99", 4.99f, "301", 301.0f, FIELD(Hm)),
      real("HrankgEdit", "Hr", "1", 1.0f, "301", 301.0f, FIELD(Hr)),
      real("Phr_HmEdit", "P(Hr->Hm 定数)", "0", 0.0f, "1.001", 1.001f, FIELD(PHrHmConst)),
      real("PHr_HmmultEdit", "P(Hr->Hm 倍数)", "0", 0.0f, "3.001", 3.001f, FIELD(PHrHmMult)),
      real("Phm_h0multEdit", "P(Hm->Ho 倍数)", "0", 0.0f, "3.001", 3.001f, FIELD(PHmHoMult)),
      real("PH0_HemultEdit", "P(Ho->He 倍数)", "0", 0.0f, "3.001", 3.001f, FIELD(PHoHeMult)),
      real("dth_dz_dayEdit", "dθ/dz(昼)", "0.000099", 0.000099f, "1.001", 1.001f, FIELD(DthDzDay)),
      real("dth_dz_nitEdit", "dθ/dz(夜)", "0.000099", 0.000099f, "1.001", 1.001f,
           FIELD(DthDzNight)),
      integer("dHformulaCalmEdit", "ΔH計算式(無風時)", 0, 4, FIELD(DHFormulaCalm)),
      integer("dHformulaWWEdit", "ΔH計算式(弱風時)", 0, 4, FIELD(DHFormulaWeak)),
      integer("dHformulaWindyEdit", "ΔH計算式(有風時)", 0, 4, FIELD(DHFormulaWindy)),
      real("IntULdayEdit", "内挿範囲上限(昼)", "0.099", 0.099f, "10.01", 10.01f, FIELD(IntULDay)),
      real("IntULnitEdit", "内挿範囲上限(夜)", "0.099", 0.099f, "10.01", 10.01f,
           FIELD(IntULNight)),
      integer("SigZshiftModeEdit", "σz(PG)シフトモード", 0, 2, FIELD(SigZShiftMode)),
      integer("SigZshiftEdit", "σz(PG)シフト量", 0, 2, FIELD(SigZShift)),
      // The conversion fields are checked although the conversion is off, as at start-up.
      real("AlphaEdit", "NOx変換 α", "0", 0.0f, "1.001", 1.001f, FIELD(Alpha)),
      real("BetaDayEdit", "NOx変換 β(昼)", "0", 0.0f, "10.01", 10.01f, FIELD(BetaDay)),
      real("BetaNitEdit", "NOx変換 β(夜)", "0", 0.0f, "10.01", 10.01f, FIELD(BetaNight)),
      real("kEdit", "NOx変換 k", "0", 0.0f, "10.01", 10.01f, FIELD(K)),
      real("O3dayEdit", "[O3]BG(昼)", "0", 0.0f, "1.001", 1.001f, FIELD(O3Day)),
      real("O3nitEdit", "[O3]BG(夜)", "0", 0.0f, "1.001", 1.001f, FIELD(O3Night)),
      real("NOxDistAdEdit", "無風時の距離の加算定数", "0", 0.0f, "10001", 10001.0f, FIELD(Ra)),
      real("XrpEdit", "予測点 R", "0.09999", 0.09999f, "100001", 100001.0f, FIELD(R)),
      real("HrpEdit", "予測点 z", "0", 0.0f, "301", 301.0f, FIELD(z)),
      integer("FreqTotalEdit", "全方位有効頻度 fall", 1, 8784, FIELD(FreqTotal)),
  };
  // T at its lower limit needs an ambient temperature no higher; the multiplier is read only
  // with the check box set.
  steps[2].prepare = [](FormRecord& f) { f.Text("TempAmbEdit") = "-11"; };
  steps[9].prepare = [](FormRecord& f) { f["PHrHmCheckBox"].Checked = true; };

  const char* rowNames[] = {"", "無風", "弱風", "", "有風 1", "有風 2",
                            "有風 3", "有風 4", "有風 5", "有風 6"};
  for (int row : {1, 2, 4, 5, 6, 7, 8, 9}) {
    Step s{"", row, 1, false, std::string("代表風速(") + rowNames[row] + ")", "0.099", "20.001",
           0.099f, 20.001f, [row](const ModelParameters& p) { return p.RepWindSpeed[row]; }};
    steps.push_back(s);
  }
  for (int s = 1; s <= 11; ++s) {
    const std::string suffix = " " + std::string(StabilityLabels[s]) + ")";
    for (int row = 1; row <= 9; ++row) {
      Step st{"", row, s + 1, row != 2, "", "0", "8784", 0.0f, 8784.0f, nullptr};
      if (row == 1) {
        st.label = "無風全方位頻度" + suffix;
        st.field = [s](const ModelParameters& p) { return float(p.CalmAllFreq[s]); };
      } else if (row == 2) {
        st.label = "弱風頻度" + suffix;
        st.field = [s](const ModelParameters& p) { return p.WeakFreq[s]; };
      } else if (row == 3) {
        st.label = "弱風全方位頻度" + suffix;
        st.field = [s](const ModelParameters& p) { return float(p.WeakAllFreq[s]); };
      } else {
        st.label = "有風 " + std::to_string(row - 3) + " 頻度" + suffix;
        st.field = [s, row](const ModelParameters& p) { return float(p.WindyFreq[row - 3][s]); };
      }
      steps.push_back(st);
    }
  }
  return steps;
}

// Runs one calculation of the start-up form with one input replaced.
bool ReadWith(const Step& s, const std::string& text, ModelParameters& p, Cp932& status) {
  FormRecord form = StartForm();
  s.prepare(form);
  InputText(form, s) = text;
  bool ok = ReadModelParameters(form, p);
  status = Status(form);
  return ok;
}

TEST(ReadModelParameters, EveryInputAcceptsItsLimitsAndRejectsTheNextValueOutside) {
  const std::vector<Step> steps = AllSteps();
  ASSERT_EQ(steps.size(), 31u + 8u + 99u);
  for (const Step& s : steps) {
    SCOPED_TRACE(s.label);
    ModelParameters p;
    Cp932 status;
    // Each limit as its text is written passes, with the window's leading blank or without.
    EXPECT_TRUE(ReadWith(s, s.lowText, p, status));
    EXPECT_EQ(status, Ok());
    EXPECT_EQ(s.field(p), s.low);
    EXPECT_TRUE(ReadWith(s, " " + s.highText, p, status));
    EXPECT_EQ(status, Ok());
    EXPECT_EQ(s.field(p), s.high);

    // The nearest value outside is rejected with the input's label, and stays in the field.
    const float below = s.integer ? s.low - 1 : std::nextafterf(s.low, -INFINITY);
    const float above = s.integer ? s.high + 1 : std::nextafterf(s.high, INFINITY);
    for (float outside : {below, above}) {
      const std::string text = s.integer ? std::to_string(int(outside)) : NineDigits(outside);
      SCOPED_TRACE(text);
      EXPECT_FALSE(ReadWith(s, text, p, status));
      EXPECT_EQ(status, Error(s.label));
      EXPECT_EQ(s.field(p), outside);
    }
    EXPECT_FALSE(ReadWith(s, "", p, status));
    EXPECT_EQ(status, Error(s.label));
  }
}

TEST(ReadModelParameters, CheckBoxesAreReadAsTheyStand) {
  for (bool checked : {true, false}) {
    FormRecord form = StartForm();
    for (const char* box : {"PHrHmCheckBox", "WDdistributeCheckBox", "NOxTrnCheckBox"}) {
      form[box].Checked = checked;
    }
    ModelParameters p;
    p.PHrHmDependent = p.WDDistribute = p.NOxTransform = !checked;
    ASSERT_TRUE(ReadModelParameters(form, p));
    EXPECT_EQ(p.PHrHmDependent, checked);
    EXPECT_EQ(p.WDDistribute, checked);
    EXPECT_EQ(p.NOxTransform, checked);
  }
}

TEST(ReadModelParameters, ExhaustColderThanAmbientStopsWithoutErrorPrefix) {
  FormRecord form = StartForm();
  ModelParameters p;
  p.Dens = 1.0f;
  form.Text("TempGEdit") = " 14.9";
  form.Text("TempAmbEdit") = " 15";
  form.Text("DensEdit") = "bad";
  EXPECT_FALSE(ReadModelParameters(form, p));
  EXPECT_EQ(Status(form), "T<Ta");
  EXPECT_EQ(p.Dens, 1.0f);  // the reading stopped before the density

  form.Text("TempGEdit") = " 15.0";
  form.Text("DensEdit") = " 1293";
  EXPECT_TRUE(ReadModelParameters(form, p));
  EXPECT_EQ(Status(form), Ok());
}

TEST(ReadModelParameters, OnlyTheFirstBadInputIsReported) {
  struct Case {
    std::function<void(FormRecord&)> spoil;
    std::string message;
  };
  const std::vector<Case> cases = {
      {[](FormRecord& f) { f.Text("HmEdit") = "x"; f.Text("QgEdit") = "x"; }, "Qg"},
      {[](FormRecord& f) { f.Text("XrpEdit") = "0"; f.Text("TempGEdit") = "0"; }, "T<Ta"},
      {[](FormRecord& f) { f.Text("kEdit") = ""; f.Text("dHformulaWindyEdit") = "5"; },
       "ΔH計算式(有風時)"},
      // The speeds come before the frequencies, and the grid is read class by class.
      {[](FormRecord& f) { f.Grid[1][2] = "-1"; f.Grid[9][1] = "0"; }, "代表風速(有風 6)"},
      {[](FormRecord& f) { f.Grid[1][3] = "-1"; f.Grid[9][2] = "-1"; }, "有風 6 頻度  A)"},
      {[](FormRecord& f) { f.Grid[5][4] = "8785"; f.Grid[6][4] = "x"; }, "有風 2 頻度  B)"},
      {[](FormRecord& f) { f.Grid[2][8] = "1e5"; f.Grid[3][12] = "x"; }, "弱風頻度 Dd)"},
      {[](FormRecord& f) { f.Grid[3][3] = "x"; f.Text("FreqTotalEdit") = "8785"; },
       "全方位有効頻度 fall"},
  };
  for (const Case& c : cases) {
    FormRecord form = StartForm();
    c.spoil(form);
    ModelParameters p;
    EXPECT_FALSE(ReadModelParameters(form, p));
    EXPECT_EQ(Status(form), c.message == "T<Ta" ? Cp932("T<Ta") : Error(c.message));
  }
}

TEST(ReadModelParameters, OnlyTheSelectedExponentFieldIsRead) {
  FormRecord form = StartForm();
  ModelParameters p;
  p.PHrHmMult = 2.5f;
  p.PHrHmConst = 0.75f;

  form.Text("PHr_HmmultEdit") = "bad";
  form.Text("Phr_HmEdit") = " 0.2";
  EXPECT_TRUE(ReadModelParameters(form, p));
  EXPECT_EQ(p.PHrHmConst, 0.2f);
  EXPECT_EQ(p.PHrHmMult, 2.5f);

  form["PHrHmCheckBox"].Checked = true;
  form.Text("PHr_HmmultEdit") = " 1.5";
  form.Text("Phr_HmEdit") = "bad";
  EXPECT_TRUE(ReadModelParameters(form, p));
  EXPECT_EQ(p.PHrHmMult, 1.5f);
  EXPECT_EQ(p.PHrHmConst, 0.2f);

  form.Text("PHr_HmmultEdit") = "3.1";
  EXPECT_FALSE(ReadModelParameters(form, p));
  EXPECT_EQ(Status(form), Error("P(Hr->Hm 倍数)"));
}

TEST(ReadModelParameters, WeakWindRowAloneTakesFractionalHours) {
  for (int row = 1; row <= 9; ++row) {
    FormRecord form = StartForm();
    form.Grid[row][6] = " 1.5";
    ModelParameters p;
    EXPECT_EQ(ReadModelParameters(form, p), row == 2) << row;
    if (row == 2) {
      EXPECT_EQ(p.WeakFreq[5], 1.5f);
    }
  }
}

TEST(ReadModelParameters, CellsOutsideTheTableAreIgnored) {
  FormRecord form = StartForm();
  form.Grid[3][1] = "junk";  // weak wind (all directions) has no representative speed
  for (int c = 0; c <= 13; ++c) form.Grid[10][c] = "junk";
  for (int r = 0; r <= 10; ++r) form.Grid[r][13] = "junk";
  for (int c = 0; c <= 12; ++c) form.Grid[0][c] = "junk";
  for (int r = 0; r <= 9; ++r) form.Grid[r][0] = "junk";
  form.Text("WDEdit") = "junk";
  form.Text("memoOption") = "junk";
  ModelParameters p;
  p.RepWindSpeed[3] = 7.0f;
  EXPECT_TRUE(ReadModelParameters(form, p));
  EXPECT_EQ(Status(form), Ok());
  EXPECT_EQ(p.RepWindSpeed[3], 7.0f);
}

TEST(ReadModelParameters, FieldsAfterAFailureKeepTheirEarlierValues) {
  FormRecord form = StartForm();
  form.Text("HrankgEdit") = " 50";
  form.Grid[9][12] = " 17";
  ModelParameters p;
  ASSERT_TRUE(ReadModelParameters(form, p));

  // The second calculation fails at the wind measurement height.
  form.Text("QgEdit") = " 20";
  form.Text("HmEdit") = " 400";
  form.Text("HrankgEdit") = " 60";
  form.Grid[9][12] = " 18";
  EXPECT_FALSE(ReadModelParameters(form, p));
  EXPECT_EQ(Status(form), Error("Hm"));
  EXPECT_EQ(p.Qg, 20.0f);   // read before the failure
  EXPECT_EQ(p.Hm, 400.0f);  // the rejected value stays
  EXPECT_EQ(p.Hr, 50.0f);   // not read again
  EXPECT_EQ(p.WindyFreq[6][11], 17);

  // A later successful calculation overwrites them all.
  form.Text("HmEdit") = " 10";
  ASSERT_TRUE(ReadModelParameters(form, p));
  EXPECT_EQ(p.Hm, 10.0f);
  EXPECT_EQ(p.Hr, 60.0f);
  EXPECT_EQ(p.WindyFreq[6][11], 18);
}


// The report of the rejected input names the same input and the same limits as the message of
// the validation, for every input of the table.
TEST(FirstRejectedInput, NamesEveryInputWithTheLimitsItIsCheckedAgainst) {
  for (const Step& s : AllSteps()) {
    SCOPED_TRACE(s.label);
    for (const std::string& text : {std::string("x"), s.integer ? std::to_string(int(s.high) + 1)
                                                                 : NineDigits(std::nextafterf(s.high, INFINITY))}) {
      FormRecord form = StartForm();
      s.prepare(form);
      InputText(form, s) = text;
      const std::optional<RejectedInput> rejected = FirstRejectedInput(form);
      ModelParameters p;
      ASSERT_FALSE(ReadModelParameters(form, p));
      ASSERT_TRUE(rejected.has_value());
      EXPECT_EQ(Status(form), "Error: " + rejected->Label);
      EXPECT_EQ(rejected->Label, Sj(s.label));
      EXPECT_EQ(rejected->Control, s.control.empty() ? "MetStringGrid" : s.control);
      EXPECT_EQ(rejected->Row, s.row);
      EXPECT_EQ(rejected->Col, s.col);
      EXPECT_FALSE(rejected->BelowAmbient);
      EXPECT_EQ(rejected->Limits.Kind, s.integer ? InputKind::Integer : InputKind::Real);
      EXPECT_EQ(rejected->Limits.Low, s.low);
      EXPECT_EQ(rejected->Limits.High, s.high);
    }
  }
}

TEST(FirstRejectedInput, NothingForAValidFormAndTheExhaustFieldForTBelowTa) {
  FormRecord form = StartForm();
  EXPECT_FALSE(FirstRejectedInput(form).has_value());

  form.Text("TempGEdit") = " 14.9";
  const FormRecord before = form;
  const std::optional<RejectedInput> rejected = FirstRejectedInput(form);
  ASSERT_TRUE(rejected.has_value());
  EXPECT_TRUE(rejected->BelowAmbient);
  EXPECT_EQ(rejected->Control, "TempGEdit");
  EXPECT_EQ(rejected->Limits.Low, 0.0f);
  EXPECT_EQ(rejected->Limits.High, 801.0f);
  // The form, its status line included, is left as it was.
  EXPECT_EQ(Status(form), Status(before));
  EXPECT_EQ(form.Text("TempGEdit"), before.Text("TempGEdit"));
}

TEST(FirstRejectedInput, FollowsTheOrderAndTheSelectedExponentField) {
  FormRecord form = StartForm();
  form.Text("kEdit") = "";
  form.Text("dHformulaWindyEdit") = "5";
  EXPECT_EQ(FirstRejectedInput(form)->Control, "dHformulaWindyEdit");

  form = StartForm();
  form.Text("PHr_HmmultEdit") = "bad";  // not read while the constant is selected
  EXPECT_FALSE(FirstRejectedInput(form).has_value());
  form["PHrHmCheckBox"].Checked = true;
  EXPECT_EQ(FirstRejectedInput(form)->Control, "PHr_HmmultEdit");

  form = StartForm();
  form.Grid[1][3] = "-1";
  form.Grid[9][2] = "-1";  // class A is read before class A-B
  const std::optional<RejectedInput> cell = FirstRejectedInput(form);
  EXPECT_EQ(cell->Row, 9);
  EXPECT_EQ(cell->Col, 2);
}

}  // namespace
}  // namespace vmk
