// The window's layout table and the form record built from it: every control with its exact
// default text, unique names and tab orders, start-up colours and enabled states, and the two
// check boxes that enable and grey out their dependent fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/form_layout.h"
#include "app/form_record.h"
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

TEST(FormLayout, HoldsEveryControlWithItsExactDefaultText) {
  ASSERT_EQ(FormLayout().size(), kExpectedTexts.size());
  for (const ExpectedText& expected : kExpectedTexts) {
    const ControlDef* def = FindControl(expected.Name);
    ASSERT_NE(def, nullptr) << expected.Name;
    EXPECT_EQ(def->Text, expected.Text) << expected.Name;
  }
}

TEST(FormLayout, NamesAreUnique) {
  std::set<std::string_view> names;
  for (const ControlDef& def : FormLayout()) EXPECT_TRUE(names.insert(def.Name).second) << def.Name;
}

TEST(FormLayout, TabOrdersAreUniquePerParentAndLabelsHaveNone) {
  std::map<ControlParent, std::set<int>> orders;
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::Label) {
      EXPECT_EQ(def.TabOrder, -1) << def.Name;
      continue;
    }
    EXPECT_GE(def.TabOrder, 0) << def.Name;
    EXPECT_TRUE(orders[def.Parent].insert(def.TabOrder).second) << def.Name;
  }
  // The bottom bar: the tab control first, then R, z, the button and the memo.
  EXPECT_EQ(orders[ControlParent::Window], (std::set<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(orders[ControlParent::CalcCondSheet].size(), 25u);
}

TEST(FormLayout, TabControlPagesAndGridArePlacedAsDesigned) {
  const ControlDef* c = FindControl("c");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Kind, ControlKind::TabControl);
  EXPECT_EQ(c->Parent, ControlParent::Window);
  EXPECT_EQ((std::vector<int>{c->Left, c->Top, c->Width, c->Height}),
            (std::vector<int>{0, 0, 593, 309}));
  EXPECT_EQ(c->TabOrder, 0);

  // The pages follow the tab control, in page order.
  const auto layout = FormLayout();
  const std::vector<std::string_view> pages = {"SrcDataSheet", "MetDataSheet", "CalcCondSheet"};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(layout[i + 1].Name, pages[i]);
    EXPECT_EQ(layout[i + 1].Kind, ControlKind::TabPage);
    EXPECT_EQ(layout[i + 1].Parent, ControlParent::TabControl);
  }

  const ControlDef* grid = FindControl("MetStringGrid");
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->Kind, ControlKind::Grid);
  EXPECT_EQ(grid->Parent, ControlParent::MetDataSheet);
  EXPECT_EQ((std::vector<int>{grid->Left, grid->Top, grid->Width, grid->Height, grid->TabOrder}),
            (std::vector<int>{0, 68, 593, 213, 2}));

  const ControlDef* xrp = FindControl("XrpEdit");
  ASSERT_NE(xrp, nullptr);
  EXPECT_EQ((std::vector<int>{xrp->Left, xrp->Top, xrp->Width, xrp->Height}),
            (std::vector<int>{48, 328, 49, 16}));
  EXPECT_EQ(FindControl("NoSuchControl"), nullptr);
}

TEST(FormLayout, ColoursEnabledStatesAndFlags) {
  const std::set<std::string_view> noxFields = {"AlphaEdit", "BetaDayEdit", "BetaNitEdit", "kEdit",
                                                "O3dayEdit", "O3nitEdit",   "NOxDistAdEdit"};
  const std::set<std::string_view> highlighted = {"ConcResLabel", "messageLabel", "QhResultLabel",
                                                  "WSrepLabel", "StabLabel"};
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::Edit) {
      if (noxFields.count(def.Name)) {
        EXPECT_EQ(def.Color, SysColor::ActiveBorder) << def.Name;
        EXPECT_FALSE(def.Enabled) << def.Name;
      } else if (def.Name == "PHr_HmmultEdit") {
        EXPECT_EQ(def.Color, SysColor::ButtonFace);
        EXPECT_TRUE(def.Enabled);
      } else {
        EXPECT_EQ(def.Color, SysColor::Window) << def.Name;
        EXPECT_TRUE(def.Enabled) << def.Name;
      }
    } else if (def.Kind == ControlKind::Label) {
      EXPECT_EQ(def.Color, highlighted.count(def.Name) ? SysColor::HighlightText : SysColor::None)
          << def.Name;
      EXPECT_TRUE(def.Enabled) << def.Name;
    } else {
      EXPECT_TRUE(def.Enabled) << def.Name;
    }
  }

  const std::map<std::string_view, unsigned> flags = {
      {"WSrepLabel", kFixedSize | kWordWrap}, {"StabLabel", kFixedSize | kCentred},
      {"dHformRemLabel", kFixedSize | kWordWrap}, {"messageLabel", kFixedSize},
      {"HrLabel", kFixedSize}, {"dth_dzLabel", kFixedSize}, {"QhLabel", kNoFlags},
      {"O3nitLabel", kNoFlags}};
  for (const auto& [name, expected] : flags) {
    const ControlDef* def = FindControl(name);
    ASSERT_NE(def, nullptr) << name;
    EXPECT_EQ(def->Flags, expected) << name;
  }
}

TEST(FormLayout, GridColumnWidths) {
  EXPECT_EQ(GridColumnWidth(0), 65);
  EXPECT_EQ(GridColumnWidth(1), 37);
  for (int col = 2; col <= 12; ++col) EXPECT_EQ(GridColumnWidth(col), 38) << col;
  EXPECT_EQ(GridColumnWidth(13), 50);
}

TEST(FormRecord, StartsWithTheLayoutsTextsInCodePage932) {
  const FormRecord form = MakeLayoutForm();
  ASSERT_EQ(form.Controls.size(), FormLayout().size());
  for (const ExpectedText& expected : kExpectedTexts) {
    ASSERT_TRUE(form.Has(expected.Name)) << expected.Name;
    const ControlState& state = form[expected.Name];
    EXPECT_EQ(state.Text, Sj(expected.Text)) << expected.Name;
    EXPECT_FALSE(state.Checked) << expected.Name;
    const ControlDef* def = FindControl(expected.Name);
    EXPECT_EQ(state.Enabled, def->Enabled) << expected.Name;
    EXPECT_EQ(state.Color, def->Color) << expected.Name;
  }
  for (const auto& row : form.Grid) {
    for (const Cp932& cell : row) EXPECT_TRUE(cell.empty());
  }
}

TEST(FormRecord, CodePage932BytesOfSomeCaptions) {
  const FormRecord form = MakeLayoutForm();
  // "0:ΔH=0 ...": the Greek capital delta is a double-byte character.
  EXPECT_EQ(form.Text("dHformRemLabel").substr(0, 5), std::string("0:\x83\xA2H"));
  // Ideographic spaces and the ditto mark.
  EXPECT_EQ(form.Text("dHWWLabel").substr(0, 8), std::string("\x81\x40\x81\x40\x81\x40\x81\x56"));
  // Half-width katakana are single bytes: "ﾌｧｲﾙ" in the status line, "ﾟC" in the temperatures.
  EXPECT_NE(form.Text("messageLabel").find("\xCC\xA7\xB2\xD9"), std::string::npos);
  EXPECT_EQ(form.Text("TempGLabel").substr(form.Text("TempGLabel").size() - 4), "(\xDF" "C)");
  EXPECT_EQ(form.Text("messageLabel").size(), 57u);
  EXPECT_EQ(form.Text("CalcGoButton"), std::string("\x8C\x76  \x8E\x5A"));
}

TEST(FormRecord, UnknownNameIsAnError) {
  FormRecord form = MakeLayoutForm();
  EXPECT_FALSE(form.Has("NoSuchEdit"));
  try {
    form["NoSuchEdit"];
    FAIL() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuchEdit"), std::string::npos);
  }
  const FormRecord& constForm = form;
  EXPECT_THROW(constForm["NoSuchEdit"], std::out_of_range);
}

// Each check box click leaves its dependent fields enabled with the window colour or disabled
// with the active-border colour, keeps every text, and touches no other control.
struct Expectation {
  std::string_view Field;
  bool Enabled;
  SysColor Color;
};

void ExpectFields(const FormRecord& form, const std::vector<Expectation>& fields) {
  for (const Expectation& e : fields) {
    EXPECT_EQ(form[e.Field].Enabled, e.Enabled) << e.Field;
    EXPECT_EQ(form[e.Field].Color, e.Color) << e.Field;
  }
}

// The form with its controls' texts, checked states, enabled states and colours, except the
// fields listed: what a click must leave alone.
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

TEST(FormRecord, PHrHmCheckBoxSwitchesBetweenMultiplierAndConstant) {
  FormRecord form = MakeLayoutForm();
  // The start-up quirk: both enabled, the multiplier in button face.
  ExpectFields(form, {{"PHr_HmmultEdit", true, SysColor::ButtonFace},
                      {"Phr_HmEdit", true, SysColor::Window}});
  form.Text("Phr_HmEdit") = " 0.25";
  const std::set<std::string_view> touched = {"PHr_HmmultEdit", "Phr_HmEdit", "PHrHmCheckBox"};
  const auto before = OtherControls(form, touched);

  form["PHrHmCheckBox"].Checked = true;
  PHrHmCheckBoxClick(form);
  ExpectFields(form, {{"PHr_HmmultEdit", true, SysColor::Window},
                      {"Phr_HmEdit", false, SysColor::ActiveBorder}});
  EXPECT_EQ(OtherControls(form, touched), before);

  form["PHrHmCheckBox"].Checked = false;
  PHrHmCheckBoxClick(form);
  ExpectFields(form, {{"PHr_HmmultEdit", false, SysColor::ActiveBorder},
                      {"Phr_HmEdit", true, SysColor::Window}});
  EXPECT_EQ(OtherControls(form, touched), before);
  EXPECT_EQ(form.Text("Phr_HmEdit"), " 0.25");
  EXPECT_EQ(form.Text("PHr_HmmultEdit"), " 1.0");
}

TEST(FormRecord, NOxTrnCheckBoxEnablesAndGreysTheSevenConversionFields) {
  const std::vector<std::string_view> fields = {"AlphaEdit", "BetaDayEdit", "BetaNitEdit", "kEdit",
                                                "O3dayEdit", "O3nitEdit", "NOxDistAdEdit"};
  const auto all = [&](bool enabled, SysColor color) {
    std::vector<Expectation> out;
    for (std::string_view f : fields) out.push_back({f, enabled, color});
    return out;
  };
  FormRecord form = MakeLayoutForm();
  ExpectFields(form, all(false, SysColor::ActiveBorder));
  std::set<std::string_view> touched(fields.begin(), fields.end());
  touched.insert("NOxTrnCheckBox");
  const auto before = OtherControls(form, touched);

  form["NOxTrnCheckBox"].Checked = true;
  NOxTrnCheckBoxClick(form);
  ExpectFields(form, all(true, SysColor::Window));
  EXPECT_EQ(OtherControls(form, touched), before);

  form["NOxTrnCheckBox"].Checked = false;
  NOxTrnCheckBoxClick(form);
  ExpectFields(form, all(false, SysColor::ActiveBorder));
  EXPECT_EQ(OtherControls(form, touched), before);
}

}  // namespace
}  // namespace vmk
