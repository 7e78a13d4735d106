// The layout of the window `Form1`: every control with its place, default text, tab order,
// colour, enabled state and label flags. The form record and the Qt window both build from it.
#include "form/form_layout.h"

#include <array>

namespace vmk {
namespace {

using K = ControlKind;
using P = ControlParent;
using C = SysColor;

// Positions are relative to the window's client area for the bottom bar and to the page's
// client area for the controls on a page. The pages take the place the tab control gives them,
// so their own rectangle is left at zero; their tab order is their position in the tab control.
// Edit fields have the window colour unless noted; labels are transparent (None).
// Note the start-up state of `PHr_HmmultEdit`: enabled but in button face, which the first click
// on `PHrHmCheckBox` brings into line; the seven NOx conversion fields start disabled.
constexpr std::array kLayout = std::to_array<ControlDef>({
    // The tab control and its pages, in page order (the first one is shown at start).
    {"c", K::TabControl, P::Window, 0, 0, 593, 309, "", 0, C::None, true, kNoFlags},
    {"SrcDataSheet", K::TabPage, P::TabControl, 0, 0, 0, 0, " 発生源データ ", 0, C::None, true, kNoFlags},
    {"MetDataSheet", K::TabPage, P::TabControl, 0, 0, 0, 0, " 気象条件 ", 1, C::None, true, kNoFlags},
    {"CalcCondSheet", K::TabPage, P::TabControl, 0, 0, 0, 0, " 計算条件 ", 2, C::None, true, kNoFlags},
    // The bottom bar.
    {"XrpEdit", K::Edit, P::Window, 48, 328, 49, 16, " 100.0", 1, C::Window, true, kNoFlags},
    {"HrpEdit", K::Edit, P::Window, 144, 328, 41, 16, " 0.0", 2, C::Window, true, kNoFlags},
    {"CalcGoButton", K::Button, P::Window, 256, 336, 57, 25, "計  算", 3, C::None, true, kNoFlags},
    {"memoOption", K::Edit, P::Window, 240, 312, 257, 16, "", 4, C::Window, true, kNoFlags},
    {"RPLabel", K::Label, P::Window, 0, 316, 137, 12, "予測点への水平距離・高さ", -1, C::None, true, kNoFlags},
    {"MemoLabel", K::Label, P::Window, 216, 316, 20, 12, "メモ", -1, C::None, true, kNoFlags},
    {"XrpLabel", K::Label, P::Window, 16, 332, 29, 12, "R (m)", -1, C::None, true, kNoFlags},
    {"HrpLabel", K::Label, P::Window, 112, 332, 26, 12, "z (m)", -1, C::None, true, kNoFlags},
    {"ConcLabel", K::Label, P::Window, 0, 348, 105, 12, "濃度 C (ppb, ng/m3)", -1, C::None, true, kNoFlags},
    {"ConcResLabel", K::Label, P::Window, 112, 348, 137, 13, "", -1, C::HighlightText, true, kFixedSize},
    {"messageLabel", K::Label, P::Window, 0, 364, 561, 12, " VMK  Ver.1  操作法・計算手法は説明ﾌｧｲﾙをお読みください。", -1, C::HighlightText, true, kFixedSize},
    // Page `SrcDataSheet`: source data.
    {"QgEdit", K::Edit, P::SrcDataSheet, 120, 16, 49, 16, " 10", 0, C::Window, true, kNoFlags},
    {"QpEdit", K::Edit, P::SrcDataSheet, 176, 40, 57, 16, " 1.0E-3", 1, C::Window, true, kNoFlags},
    {"TempGEdit", K::Edit, P::SrcDataSheet, 128, 64, 41, 17, " 200.0", 2, C::Window, true, kNoFlags},
    {"TempAmbEdit", K::Edit, P::SrcDataSheet, 128, 88, 41, 16, " 15.0", 3, C::Window, true, kNoFlags},
    {"DensEdit", K::Edit, P::SrcDataSheet, 128, 112, 49, 16, " 1293.0", 4, C::Window, true, kNoFlags},
    {"HoEdit", K::Edit, P::SrcDataSheet, 128, 132, 41, 16, " 10.0", 5, C::Window, true, kNoFlags},
    {"QgLabel", K::Label, P::SrcDataSheet, 8, 20, 115, 12, "排ガス量  Qg(m3N/s) ", -1, C::None, true, kNoFlags},
    {"QpLabel", K::Label, P::SrcDataSheet, 8, 44, 161, 12, "汚染質排出量  Qp(m3N/s, g/s)", -1, C::None, true, kNoFlags},
    {"TempGLabel", K::Label, P::SrcDataSheet, 8, 68, 96, 12, "排ガス温度  T (ﾟC)", -1, C::None, true, kNoFlags},
    {"TempALabel", K::Label, P::SrcDataSheet, 8, 92, 100, 12, "気 温         Ta (ﾟC)", -1, C::None, true, kNoFlags},
    {"DensLabel", K::Label, P::SrcDataSheet, 8, 116, 109, 12, "排ガス密度 ρ(g/m3)", -1, C::None, true, kNoFlags},
    {"HoLabel", K::Label, P::SrcDataSheet, 8, 136, 100, 12, "実煙突高さ  Ho (m)", -1, C::None, true, kNoFlags},
    {"QhResultLabel", K::Label, P::SrcDataSheet, 128, 160, 49, 13, "", -1, C::HighlightText, true, kFixedSize},
    {"QhLabel", K::Label, P::SrcDataSheet, 8, 164, 97, 12, "熱流量  Qh (cal/s)", -1, C::None, true, kNoFlags},
    // Page `MetDataSheet`: meteorological conditions.
    {"WDEdit", K::Edit, P::MetDataSheet, 56, 4, 33, 16, " WD", 0, C::Window, true, kNoFlags},
    {"FreqTotalEdit", K::Edit, P::MetDataSheet, 168, 24, 41, 16, " 8760", 1, C::Window, true, kNoFlags},
    {"MetStringGrid", K::Grid, P::MetDataSheet, 0, 68, 593, 213, "", 2, C::None, true, kNoFlags},
    {"WDLabel", K::Label, P::MetDataSheet, 12, 9, 28, 12, "風 向", -1, C::None, true, kFixedSize},
    {"ToalFreqLabel", K::Label, P::MetDataSheet, 8, 28, 153, 12, "全方位有効頻度 　fall (時間)", -1, C::None, true, kFixedSize},
    {"WSrepLabel", K::Label, P::MetDataSheet, 64, 44, 33, 29, "代表風速", -1, C::HighlightText, true, kFixedSize | kWordWrap},
    {"StabLabel", K::Label, P::MetDataSheet, 104, 56, 433, 13, "風  速  階  級  別  ・  安  定  度  別  頻  度", -1, C::HighlightText, true, kFixedSize | kCentered},
    // Page `CalcCondSheet`: calculation conditions.
    {"HmEdit", K::Edit, P::CalcCondSheet, 112, 8, 41, 16, " 10.0", 0, C::Window, true, kNoFlags},
    {"HrankgEdit", K::Edit, P::CalcCondSheet, 112, 24, 41, 16, " 10.0", 1, C::Window, true, kNoFlags},
    {"PHrHmCheckBox", K::CheckBox, P::CalcCondSheet, 16, 64, 137, 21, "P(Hr->Hm)安定度依存", 2, C::None, true, kNoFlags},
    {"Phr_HmEdit", K::Edit, P::CalcCondSheet, 112, 84, 41, 16, " 0.0", 3, C::Window, true, kNoFlags},
    {"PHr_HmmultEdit", K::Edit, P::CalcCondSheet, 112, 100, 41, 16, " 1.0", 4, C::ButtonFace, true, kNoFlags},
    {"Phm_h0multEdit", K::Edit, P::CalcCondSheet, 112, 116, 41, 16, " 1.0", 5, C::Window, true, kNoFlags},
    {"PH0_HemultEdit", K::Edit, P::CalcCondSheet, 112, 132, 41, 16, " 1.0", 6, C::Window, true, kNoFlags},
    {"dth_dz_dayEdit", K::Edit, P::CalcCondSheet, 64, 156, 41, 16, " 0.003", 7, C::Window, true, kNoFlags},
    {"dth_dz_nitEdit", K::Edit, P::CalcCondSheet, 136, 156, 41, 16, " 0.010", 8, C::Window, true, kNoFlags},
    {"dHformulaCalmEdit", K::Edit, P::CalcCondSheet, 112, 200, 25, 16, " 0", 9, C::Window, true, kNoFlags},
    {"dHformulaWWEdit", K::Edit, P::CalcCondSheet, 112, 216, 25, 16, " 0", 10, C::Window, true, kNoFlags},
    {"dHformulaWindyEdit", K::Edit, P::CalcCondSheet, 112, 232, 25, 16, " 0", 11, C::Window, true, kNoFlags},
    {"IntULdayEdit", K::Edit, P::CalcCondSheet, 144, 248, 41, 16, " 2.00", 12, C::Window, true, kNoFlags},
    {"IntULnitEdit", K::Edit, P::CalcCondSheet, 144, 264, 41, 16, " 2.00", 13, C::Window, true, kNoFlags},
    {"WDdistributeCheckBox", K::CheckBox, P::CalcCondSheet, 216, 12, 257, 13, "弱風時の風向出現率の補正(発生源付近処理)", 14, C::None, true, kNoFlags},
    {"SigZshiftModeEdit", K::Edit, P::CalcCondSheet, 320, 40, 25, 16, " 0", 15, C::Window, true, kNoFlags},
    {"SigZshiftEdit", K::Edit, P::CalcCondSheet, 424, 60, 25, 16, " 0", 16, C::Window, true, kNoFlags},
    {"NOxTrnCheckBox", K::CheckBox, P::CalcCondSheet, 216, 88, 105, 13, "NOx変換を行う", 17, C::None, true, kNoFlags},
    {"AlphaEdit", K::Edit, P::CalcCondSheet, 256, 116, 41, 16, " 0.83", 18, C::ActiveBorder, false, kNoFlags},
    {"BetaDayEdit", K::Edit, P::CalcCondSheet, 336, 116, 41, 16, " 0.3", 19, C::ActiveBorder, false, kNoFlags},
    {"BetaNitEdit", K::Edit, P::CalcCondSheet, 336, 132, 41, 17, " 0", 20, C::ActiveBorder, false, kNoFlags},
    {"kEdit", K::Edit, P::CalcCondSheet, 392, 116, 57, 16, " 0.0062", 21, C::ActiveBorder, false, kNoFlags},
    {"O3dayEdit", K::Edit, P::CalcCondSheet, 336, 160, 49, 16, " 0.020", 22, C::ActiveBorder, false, kNoFlags},
    {"O3nitEdit", K::Edit, P::CalcCondSheet, 336, 176, 49, 16, " 0.010", 23, C::ActiveBorder, false, kNoFlags},
    {"NOxDistAdEdit", K::Edit, P::CalcCondSheet, 416, 200, 57, 16, " 0.0", 24, C::ActiveBorder, false, kNoFlags},
    {"HmLabel2", K::Label, P::CalcCondSheet, 0, 12, 107, 12, "風速測定高さ Hm(m)", -1, C::None, true, kNoFlags},
    {"HrLabel", K::Label, P::CalcCondSheet, 0, 28, 105, 12, "気象集計高さ Hr (m)", -1, C::None, true, kFixedSize},
    {"SigZshiftModeLabel", K::Label, P::CalcCondSheet, 216, 44, 100, 12, "σz(PG)シフトモード", -1, C::None, true, kNoFlags},
    {"SigZshifModeAuxLabel", K::Label, P::CalcCondSheet, 352, 44, 146, 12, "0:無 1:有(Aまで) 2:有(A'まで)", -1, C::None, true, kNoFlags},
    {"WStransformLabel", K::Label, P::CalcCondSheet, 0, 52, 105, 12, "風速変換べき指数 P", -1, C::None, true, kNoFlags},
    {"SigZshiftLabel", K::Label, P::CalcCondSheet, 240, 64, 177, 12, "不安定側へシフト量(単位:1/2段階)", -1, C::None, true, kNoFlags},
    {"PHrHmConstLabel", K::Label, P::CalcCondSheet, 32, 88, 76, 12, "(否依存、定数)", -1, C::None, true, kNoFlags},
    {"PHrHmCoefLabel", K::Label, P::CalcCondSheet, 32, 104, 76, 12, "(依存、   倍数)", -1, C::None, true, kNoFlags},
    {"NOxParamLabel", K::Label, P::CalcCondSheet, 232, 104, 76, 12, "変換パラメータ", -1, C::None, true, kNoFlags},
    {"AlphaLabel", K::Label, P::CalcCondSheet, 240, 116, 12, 12, "α", -1, C::None, true, kNoFlags},
    {"kLabel", K::Label, P::CalcCondSheet, 384, 116, 8, 12, "k", -1, C::None, true, kNoFlags},
    {"PHmHoLabel", K::Label, P::CalcCondSheet, 16, 120, 94, 12, "P(Hm->Ho) (倍数)", -1, C::None, true, kNoFlags},
    {"betaDayLabel", K::Label, P::CalcCondSheet, 304, 120, 32, 12, "β(昼)", -1, C::None, true, kNoFlags},
    {"PHoHeLabel", K::Label, P::CalcCondSheet, 16, 132, 95, 12, "P(Ho->He)  (倍数)", -1, C::None, true, kNoFlags},
    {"betaNitLabel", K::Label, P::CalcCondSheet, 304, 136, 32, 12, "β(夜)", -1, C::None, true, kNoFlags},
    {"dth_dzLabel", K::Label, P::CalcCondSheet, 8, 160, 57, 12, "dθ/dz(昼)", -1, C::None, true, kFixedSize},
    {"dth_dz_nitLabel", K::Label, P::CalcCondSheet, 112, 160, 20, 12, "(夜)", -1, C::None, true, kFixedSize},
    {"O3Label", K::Label, P::CalcCondSheet, 240, 164, 93, 12, "[O3]BG.(ppm) (昼)", -1, C::None, true, kNoFlags},
    {"dHformRemLabel", K::Label, P::CalcCondSheet, 0, 176, 177, 25, "0:ΔH=0  1:Briggs  2:CON.  3:内挿  4:(2)(3)の最小", -1, C::None, true, kFixedSize | kWordWrap},
    {"O3nitLabel", K::Label, P::CalcCondSheet, 312, 176, 20, 12, "(夜)", -1, C::None, true, kNoFlags},
    {"dHcalmLabel", K::Label, P::CalcCondSheet, 8, 204, 100, 12, "ΔH計算式(無風時)", -1, C::None, true, kNoFlags},
    {"NOxSubLabel", K::Label, P::CalcCondSheet, 240, 204, 167, 12, "無風時の距離の加算定数 Ra(m)", -1, C::None, true, kNoFlags},
    {"dHWWLabel", K::Label, P::CalcCondSheet, 8, 220, 100, 12, "　　　〃　　 (弱風時)", -1, C::None, true, kNoFlags},
    {"dHwindyLabel", K::Label, P::CalcCondSheet, 8, 236, 100, 12, "　　　〃　　 (有風時)", -1, C::None, true, kNoFlags},
    {"IntULdayLabel", K::Label, P::CalcCondSheet, 0, 252, 133, 12, "内挿範囲上限(昼間)(m/s)", -1, C::None, true, kNoFlags},
    {"IntULnightLabel", K::Label, P::CalcCondSheet, 0, 268, 133, 12, "　　　　　〃　　(夜間) (m/s)", -1, C::None, true, kNoFlags},
});

}  // namespace

std::span<const ControlDef> FormLayout() { return kLayout; }

const ControlDef* FindControl(std::string_view name) {
  for (const ControlDef& def : kLayout) {
    if (def.Name == name) return &def;
  }
  return nullptr;
}

int GridColumnWidth(int col) {
  if (col == 0) return 65;
  if (col == 1) return 37;
  if (col == kGridCols - 1) return 50;
  return 38;
}

}  // namespace vmk
