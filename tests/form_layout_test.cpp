// The window's layout table and the form record built from it: every control with its exact
// default text, tab orders, start-up colours and enabled states, and the two check boxes that
// enable and grey out their dependent fields.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "form/form_layout.h"
#include "form/form_record.h"
#include "common/cp932.h"

namespace vmk {
namespace {

struct ExpectedText {
  std::string_view Name;
  std::string_view Text;
};

// Every control of the window with its caption or default text, as UTF-8. Wide gaps in some
// captions are ideographic spaces; every other gap is an ordinary blank.
const std::vector<ExpectedText> kExpectedTexts = {
    {"c", ""},
    {"SrcDataSheet", " 発生源データ "},
    {"MetDataSheet", " 気象条件 "},
    {"CalcCondSheet", " 計算条件 "},
    {"XrpEdit", " 100.0"},
    {"HrpEdit", " 0.0"},
    {"CalcGoButton", "計  算"},
    {"memoOption", ""},
    {"RPLabel", "予測点への水平距離・高さ"},
    {"MemoLabel", "メモ"},
    {"XrpLabel", "R (m)"},
    {"HrpLabel", "z (m)"},
    {"ConcLabel", "濃度 C (ppb, ng/m3)"},
    {"ConcResLabel", ""},
    {"messageLabel", " VMK  Ver.1  操作法・計算手法は説明ﾌｧｲﾙをお読みください。"},
    {"QgEdit", " 10"},
    {"QpEdit", " 1.0E-3"},
    {"TempGEdit", " 200.0"},
    {"TempAmbEdit", " 15.0"},
    {"DensEdit", " 1293.0"},
    {"HoEdit", " 10.0"},
    {"QgLabel", "排ガス量  Qg(m3N/s) "},
    {"QpLabel", "汚染質排出量  Qp(m3N/s, g/s)"},
    {"TempGLabel", "排ガス温度  T (ﾟC)"},
    {"TempALabel", "気 温         Ta (ﾟC)"},
    {"DensLabel", "排ガス密度 ρ(g/m3)"},
    {"HoLabel", "実煙突高さ  Ho (m)"},
    {"QhResultLabel", ""},
    {"QhLabel", "熱流量  Qh (cal/s)"},
    {"WDEdit", " WD"},
    {"FreqTotalEdit", " 8760"},
    {"MetStringGrid", ""},
    {"WDLabel", "風 向"},
    {"ToalFreqLabel", "全方位有効頻度 　fall (時間)"},
    {"WSrepLabel", "代表風速"},
    {"StabLabel", "風  速  階  級  別  ・  安  定  度  別  頻  度"},
    {"HmEdit", " 10.0"},
    {"HrankgEdit", " 10.0"},
    {"PHrHmCheckBox", "P(Hr->Hm)安定度依存"},
    {"Phr_HmEdit", " 0.0"},
    {"PHr_HmmultEdit", " 1.0"},
    {"Phm_h0multEdit", " 1.0"},
    {"PH0_HemultEdit", " 1.0"},
    {"dth_dz_dayEdit", " 0.003"},
    {"dth_dz_nitEdit", " 0.010"},
    {"dHformulaCalmEdit", " 0"},
    {"dHformulaWWEdit", " 0"},
    {"dHformulaWindyEdit", " 0"},
    {"IntULdayEdit", " 2.00"},
    {"IntULnitEdit", " 2.00"},
    {"WDdistributeCheckBox", "弱風時の風向出現率の補正(発生源付近処理)"},
    {"SigZshiftModeEdit", " 0"},
    {"SigZshiftEdit", " 0"},
    {"NOxTrnCheckBox", "NOx変換を行う"},
    {"AlphaEdit", " 0.83"},
    {"BetaDayEdit", " 0.3"},
    {"BetaNitEdit", " 0"},
    {"kEdit", " 0.0062"},
    {"O3dayEdit", " 0.020"},
    {"O3nitEdit", " 0.010"},
    {"NOxDistAdEdit", " 0.0"},
    {"HmLabel2", "風速測定高さ Hm(m)"},
    {"HrLabel", "気象集計高さ Hr (m)"},
    {"SigZshiftModeLabel", "σz(PG)シフトモード"},
    {"SigZshifModeAuxLabel", "0:無 1:有(Aまで) 2:有(A'まで)"},
    {"WStransformLabel", "風速変換べき指数 P"},
    {"SigZshiftLabel", "不安定側へシフト量(単位:1/2段階)"},
    {"PHrHmConstLabel", "(否依存、定数)"},
    {"PHrHmCoefLabel", "(依存、   倍数)"},
    {"NOxParamLabel", "変換パラメータ"},
    {"AlphaLabel", "α"},
    {"kLabel", "k"},
    {"PHmHoLabel", "P(Hm->Ho) (倍数)"},
    {"betaDayLabel", "β(昼)"},
    {"PHoHeLabel", "P(Ho->He)  (倍数)"},
    {"betaNitLabel", "β(夜)"},
    {"dth_dzLabel", "dθ/dz(昼)"},
    {"dth_dz_nitLabel", "(夜)"},
    {"O3Label", "[O3]BG.(ppm) (昼)"},
    {"dHformRemLabel", "0:ΔH=0  1:Briggs  2:CON.  3:内挿  4:(2)(3)の最小"},
    {"O3nitLabel", "(夜)"},
    {"dHcalmLabel", "ΔH計算式(無風時)"},
    {"NOxSubLabel", "無風時の距離の加算定数 Ra(m)"},
    {"dHWWLabel", "　　　〃　　 (弱風時)"},
    {"dHwindyLabel", "　　　〃　　 (有風時)"},
    {"IntULdayLabel", "内挿範囲上限(昼間)(m/s)"},
    {"IntULnightLabel", "　　　　　〃　　(夜間) (m/s)"},
};

TEST(FormLayout, EveryControlStartsWithItsExactDefaultText) {
  const FormRecord form = MakeLayoutForm();
  ASSERT_EQ(FormLayout().size(), kExpectedTexts.size());
  ASSERT_EQ(form.Controls.size(), kExpectedTexts.size());
  for (const ExpectedText& expected : kExpectedTexts) {
    const ControlDef* def = FindControl(expected.Name);
    ASSERT_NE(def, nullptr) << expected.Name;
    EXPECT_EQ(def->Text, expected.Text) << expected.Name;
    ASSERT_TRUE(form.Has(expected.Name)) << expected.Name;
    const ControlState& state = form[expected.Name];
    EXPECT_EQ(state.Text, Sj(expected.Text)) << expected.Name;
    EXPECT_FALSE(state.Checked) << expected.Name;
    EXPECT_EQ(state.Enabled, def->Enabled) << expected.Name;
    EXPECT_EQ(state.Color, def->Color) << expected.Name;
  }
  for (const auto& row : form.Grid) {
    for (const Cp932& cell : row) EXPECT_TRUE(cell.empty());
  }
}

TEST(FormLayout, TabOrdersAreUniquePerParentAndLabelsHaveNone) {
  std::map<ControlParent, std::set<int>> orders;
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::Label) {
      EXPECT_EQ(def.TabOrder, -1) << def.Name;
    } else {
      EXPECT_GE(def.TabOrder, 0) << def.Name;
      EXPECT_TRUE(orders[def.Parent].insert(def.TabOrder).second) << def.Name;
    }
  }
}

TEST(FormLayout, StartUpColorsAndEnabledStates) {
  const std::set<std::string_view> noxFields = {"AlphaEdit", "BetaDayEdit", "BetaNitEdit", "kEdit",
                                                "O3dayEdit", "O3nitEdit",   "NOxDistAdEdit"};
  const std::set<std::string_view> highlighted = {"ConcResLabel", "messageLabel", "QhResultLabel",
                                                  "WSrepLabel", "StabLabel"};
  for (const ControlDef& def : FormLayout()) {
    const bool nox = noxFields.count(def.Name) > 0;
    EXPECT_EQ(def.Enabled, !nox) << def.Name;
    if (def.Kind == ControlKind::Edit) {
      const bool multiplier = def.Name == "PHr_HmmultEdit";  // button face: a start-up quirk
      EXPECT_EQ(def.Color, nox          ? SysColor::ActiveBorder
                           : multiplier ? SysColor::ButtonFace
                                        : SysColor::Window)
          << def.Name;
    } else if (def.Kind == ControlKind::Label) {
      EXPECT_EQ(def.Color, highlighted.count(def.Name) ? SysColor::HighlightText : SysColor::None)
          << def.Name;
    }
  }
}

TEST(FormRecord, UnknownNameIsAnError) {
  FormRecord form = MakeLayoutForm();
  EXPECT_FALSE(form.Has("NoSuchEdit"));
  EXPECT_EQ(FindControl("NoSuchEdit"), nullptr);
  try {
    form["NoSuchEdit"];
    FAIL() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuchEdit"), std::string::npos);
  }
  const FormRecord& constForm = form;
  EXPECT_THROW(constForm["NoSuchEdit"], std::out_of_range);
}

// The form with its controls' texts, checked states, enabled states and colours, except the
// states of the controls listed: what a click must leave alone.
std::map<std::string, std::string> OtherControls(const FormRecord& form,
                                                 const std::set<std::string_view>& fields) {
  std::map<std::string, std::string> out;
  for (const auto& [name, state] : form.Controls) {
    std::string text = state.Text;
    if (!fields.count(name)) {
      text += "|" + std::to_string(state.Checked) + std::to_string(state.Enabled) +
              std::to_string(static_cast<int>(state.Color));
    }
    out[name] = text;
  }
  return out;
}

struct CheckBoxCase {
  std::string_view Box;
  void (*Click)(FormRecord&);
  std::vector<std::string_view> OnWhenChecked, OffWhenChecked;
};

// A click on a check box enables fields with the window colour or disables them with the
// active-border colour, keeps every text, and touches no other control.
TEST(FormRecord, CheckBoxesEnableAndGreyTheirFields) {
  const CheckBoxCase cases[] = {
      {"PHrHmCheckBox", PHrHmCheckBoxClick, {"PHr_HmmultEdit"}, {"Phr_HmEdit"}},
      {"NOxTrnCheckBox", NOxTrnCheckBoxClick,
       {"AlphaEdit", "BetaDayEdit", "BetaNitEdit", "kEdit", "O3dayEdit", "O3nitEdit",
        "NOxDistAdEdit"},
       {}},
  };
  for (const CheckBoxCase& c : cases) {
    SCOPED_TRACE(c.Box);
    FormRecord form = MakeLayoutForm();
    std::set<std::string_view> touched = {c.Box};
    for (const auto* fields : {&c.OnWhenChecked, &c.OffWhenChecked}) {
      for (std::string_view f : *fields) {
        form.Text(f) = " 0.25";  // a text typed earlier
        touched.insert(f);
      }
    }
    const auto before = OtherControls(form, touched);
    for (bool checked : {true, false}) {
      form[c.Box].Checked = checked;
      c.Click(form);
      for (std::string_view f : c.OnWhenChecked) {
        EXPECT_EQ(form[f].Enabled, checked) << f;
        EXPECT_EQ(form[f].Color, checked ? SysColor::Window : SysColor::ActiveBorder) << f;
      }
      for (std::string_view f : c.OffWhenChecked) {
        EXPECT_EQ(form[f].Enabled, !checked) << f;
        EXPECT_EQ(form[f].Color, checked ? SysColor::ActiveBorder : SysColor::Window) << f;
      }
      EXPECT_EQ(OtherControls(form, touched), before);
    }
  }
}

}  // namespace
}  // namespace vmk
