// What counts as an edit, copy and paste of the grid's cells, the met import, the input that
// stopped a calculation, and the menu commands that never calculate.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <tuple>

#include "frontend_test_support.h"
#include "scratch_files.h"

namespace {

using namespace vmk;
using fronttest::FakeWindow;

MetStats SampleStats() {
  MetStats m;
  m.ValidHours = 8700;
  for (std::size_t s = 0; s < kStabilityClasses; ++s) {
    m.CalmAll[s] = 10 + static_cast<int>(s);
    m.WeakAll[s] = 20 + static_cast<int>(s);
    for (std::size_t d = 0; d < kDirections; ++d) {
      m.Directions[d].Weak[s] = static_cast<int>(d);
      for (std::size_t k = 0; k < kWindyClasses; ++k) {
        m.Directions[d].Windy[k][s] = static_cast<int>(100 * d + 10 * k + s);
      }
    }
  }
  return m;
}

void Paste(FakeWindow& w, const std::string& text, int row, int col) {
  w.Clipboard = text;
  w.Selection = {row, col, {}};
  Execute(w.Fe, MenuCommand::PasteCells);
}

void ImportMet(FakeWindow& w, const std::string& file, std::deque<int> directions) {
  w.Files = {file};
  w.Directions = std::move(directions);
  Execute(w.Fe, MenuCommand::ImportMetStats);
}

TEST(FrontendEditTest, WhatCountsAsAnEdit) {
  scratch::ScratchDir dir;
  const std::string met = dir.NewFile("met.json", MetStatsJson(SampleStats()));
  const struct {
    const char* what;
    std::function<void(FakeWindow&)> act;
    bool edits;
  } cases[] = {
      {"typing", [](FakeWindow& w) { w.Type("QgEdit", "20"); }, true},
      {"check box", [](FakeWindow& w) { w.Form()["WDdistributeCheckBox"].Checked = true; CheckBoxClicked(w.Fe, "WDdistributeCheckBox"); },
       true},
      {"cell", [](FakeWindow& w) { CellEdited(w.Fe); }, true},
      {"paste that changes cells", [](FakeWindow& w) { Paste(w, "8\t9\n", 7, 4); }, true},
      {"paste of the same texts", [](FakeWindow& w) { Paste(w, "   0\t   0\n", 7, 4); }, false},
      {"refused paste", [](FakeWindow& w) { Paste(w, "1\n2\n", 9, 3); }, false},
      {"met import", [&](FakeWindow& w) { ImportMet(w, met, {2}); }, true},
      {"met import cancelled", [&](FakeWindow& w) { ImportMet(w, met, {}); }, false},
      {"calculation", [](FakeWindow& w) { ButtonClicked(w.Fe, "CalcGoButton"); }, false},
      {"version query", [](FakeWindow& w) {
         w.Form().Text("memoOption") = "@ver@";
         EnterPressed(w.Fe, "XrpEdit");
         EXPECT_EQ(w.Form().Text("memoOption"), "@ver@:04.3.16 c");
       }, true},
      {"copy", [](FakeWindow& w) { Execute(w.Fe, MenuCommand::CopyCells); }, false},
      {"version box", [](FakeWindow& w) { Execute(w.Fe, MenuCommand::ShowVersion); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeWindow w;
    c.act(w);
    EXPECT_EQ(w.Edited(), c.edits);
    EXPECT_EQ(w.Title, c.edits ? "VMK - 1 *" : "VMK - 1");
  }
}

TEST(FrontendEditTest, CopyTakesTheSelectionOrEveryInputCell) {
  FakeWindow w;
  w.Form().Grid[4][2] = "12";
  w.Selection.Selected = GridRange{3, 1, 4, 3};
  Execute(w.Fe, MenuCommand::CopyCells);
  EXPECT_EQ(w.Clipboard, "  -\t   0\t   0\n 1.5\t12\t   0\n");

  w.Selection.Selected.reset();
  EXPECT_EQ(CopyRange(std::nullopt), (GridRange{1, 1, 9, 12}));
  Execute(w.Fe, MenuCommand::CopyCells);
  const TextBlock all = ParseTabSeparated(w.Clipboard);
  ASSERT_EQ(all.size(), 9u);
  for (const auto& line : all) EXPECT_EQ(line.size(), 12u);
  EXPECT_EQ(std::tuple(all[0][0], all[1][1], all[3][1]), std::tuple(" 0.4", " 0.00", "12"));
  // Copied and pasted back one row lower, the block lands as it was.
  w.Selection = {6, 2, GridRange{4, 2, 4, 3}};
  Execute(w.Fe, MenuCommand::CopyCells);
  Execute(w.Fe, MenuCommand::PasteCells);
  EXPECT_EQ(std::tuple(w.Form().Grid[6][2], w.Form().Grid[6][3]), std::tuple("12", "   0"));
  EXPECT_EQ(w.Selected, (GridRange{6, 2, 6, 3}));
}

TEST(FrontendEditTest, PasteLandsAsTypedOrIsRefusedWithItsReason) {
  FakeWindow w;
  // As a spreadsheet copies two rows of three cells: CR LF line ends, a quoted cell, full-width
  // digits from an input method.
  Paste(w, "12\t\"3\"\t\r\n\" 1.5\"\t４５\t0\r\n", 4, 6);
  const GridCells& g = w.Form().Grid;
  EXPECT_EQ(std::tuple(g[4][6], g[4][7], g[4][8], g[5][6], g[5][7]), std::tuple("12", "3", "", " 1.5", "45"));
  EXPECT_EQ(std::tuple(g[4][5], g[6][6]), std::tuple("   0", "   0"));  // the neighbours untouched
  EXPECT_EQ(w.Selected, (GridRange{4, 6, 5, 8}));
  EXPECT_GT(w.EditsEnded, 0);  // an open cell editor is closed before the cells change
  const GridCells before = w.Form().Grid;
  const struct {
    const char* text;
    int row, col;
  } refused[] = {{"1\r\n2\r\n", 9, 3}, {"1\t2\t3\r\n", 6, 11}, {"", 4, 4}};
  for (const auto& r : refused) {
    SCOPED_TRACE(r.text);
    w.Messages.clear();
    Paste(w, r.text, r.row, r.col);
    ASSERT_EQ(w.Messages.size(), 1u);
    EXPECT_EQ(w.Messages[0].Name, "PasteProblemBox");
    EXPECT_EQ(w.Messages[0].Text, PlanGridPaste(r.text, r.row, r.col).Problem);
    EXPECT_EQ(w.Form().Grid, before);
  }
}

TEST(FrontendEditTest, MetImportListsTheDirectionsAndFillsTheChosenOne) {
  scratch::ScratchDir dir;
  MetStats stats = SampleStats();
  stats.Directions[2].Weak = {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  FakeWindow w;
  ImportMet(w, dir.NewFile("met.json", MetStatsJson(stats)), {2});  // NE
  ASSERT_EQ(std::tuple(w.Dialogs.size(), w.DirectionQuestions.size()), std::tuple(1u, 1u));
  const DirectionQuestion& q = w.DirectionQuestions[0];
  EXPECT_EQ(std::tuple(w.Dialogs[0].Caption, q.Title, q.Label),
            std::tuple("気象統計から読み込む", "気象統計から読み込む", "風向 (風の吹いてくる方向):"));
  ASSERT_EQ(q.Items.size(), 16u);
  int most = -1, busiest = -1;
  for (std::size_t d = 0; d < 16; ++d) {
    int windy = 0, weak = 0;
    for (const auto& k : stats.Directions[d].Windy) {
      for (int h : k) windy += h;
    }
    for (int h : stats.Directions[d].Weak) weak += h;
    if (weak + windy > most) {
      most = weak + windy;
      busiest = static_cast<int>(d);
    }
    std::string name(kDirectionNames[d]);
    while (name.size() < 3) name += ' ';
    EXPECT_EQ(q.Items[d], name + "  " + std::string(kDirectionNamesJa[d]) + "  (弱風 " + std::to_string(weak) +
                              " 時間, 有風 " + std::to_string(windy) + " 時間)");
  }
  EXPECT_EQ(q.Items[2].substr(0, 5), "NE   ");
  EXPECT_EQ(q.Preselected, busiest);
  EXPECT_NE(busiest, 0);

  const FormRecord& f = w.Form();
  EXPECT_EQ(std::tuple(f.Text("FreqTotalEdit"), f.Text("WDEdit"), f.Grid[1][2], f.Grid[2][2], f.Grid[1][1]),
            std::tuple(" 8700", " NE", "10", "5", "0.4"));
  // The imported table computes as typed.
  Calculate(w.Fe);
  EXPECT_EQ(w.Status(), fronttest::kStatusOk);
}

TEST(FrontendEditTest, MetImportOfABadFileChangesNothingAndSaysWhy) {
  scratch::ScratchDir dir;
  const struct {
    const char* name;
    const char* bytes;  // null: no such file
    const char* says;
  } bad[] = {{"case.json", R"({"QgEdit": " 1"})", "vmk-met/1"}, {"missing.json", nullptr, ""}};
  for (const auto& b : bad) {
    SCOPED_TRACE(b.name);
    FakeWindow w;
    const FormRecord before = w.Form();
    ImportMet(w, b.bytes ? dir.NewFile(b.name, b.bytes) : dir.File(b.name), {0});
    ASSERT_EQ(w.Messages.size(), 1u);
    EXPECT_EQ(w.Messages[0].Name, "FileProblemBox");
    EXPECT_EQ(w.Messages[0].Text.rfind(std::string(b.name) + " を読み込めません:\n", 0), 0u) << w.Messages[0].Text;
    EXPECT_NE(w.Messages[0].Text.find(b.says), std::string::npos);
    EXPECT_TRUE(w.DirectionQuestions.empty());
    EXPECT_EQ(w.Form().Grid, before.Grid);
    EXPECT_FALSE(w.Edited());
  }
}

// The input that stopped a calculation: its page, the focus, the tip with the range it accepts.
TEST(FrontendEditTest, RejectedInputShowsItsPageFocusAndRange) {
  const char* kNumber = " の数値 (1.5E-3 の形も可)";
  const struct {
    const char* field;  // null: grid cell 5,4
    const char* text;
    const char* status;
    const char* page;
    ControlKind kind;
    bool focus;
    std::string tip;
  } cases[] = {
      {"QpEdit", " 0", "Error: Qp: ", "SrcDataSheet", ControlKind::Edit, true,
       std::string("入力できる範囲: 9.99E-16 ～ 10001") + kNumber},
      {"XrpEdit", " 0", "Error: 予測点 R: ", "", ControlKind::Edit, true,
       std::string("入力できる範囲: 0.09999 ～ 100001") + kNumber},
      {"TempGEdit", " 10", "T<Ta: ", "SrcDataSheet", ControlKind::Edit, true, "排ガス温度 T は気温 Ta 以上にしてください\n"},
      {nullptr, "1.5", "Error: 有風 2 頻度  B): ", "MetDataSheet", ControlKind::Grid, true,
       "入力できる範囲: 0 ～ 8784 の整数"},
      {"kEdit", "", "Error: NOx変換 k: ", "CalcCondSheet", ControlKind::Edit, false,
       std::string("入力できる範囲: 0 ～ 10.01") + kNumber + "\nNOx変換を行わないときも検査されます"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    FakeWindow w;
    if (c.field != nullptr) {
      w.Form().Text(c.field) = Sj(c.text);
    } else {
      w.Form().Grid[5][4] = c.text;
    }
    EnterPressed(w.Fe, "XrpEdit");
    EXPECT_EQ(w.Status(), c.status);
    ASSERT_EQ(w.Rejected.size(), 1u);
    const RejectedInputView& v = w.Rejected[0];
    EXPECT_EQ(std::tuple(v.Page, v.Control, v.Kind, v.Focus),
              std::tuple(c.page, c.field != nullptr ? c.field : "MetStringGrid", c.kind, c.focus));
    if (c.field == nullptr) { EXPECT_EQ(std::pair(v.Row, v.Col), std::pair(5, 4)); }
    EXPECT_EQ(v.Tip.substr(0, c.tip.size()), c.tip);
    if (c.field == nullptr || std::string(c.field) != "TempGEdit") {
      EXPECT_EQ(v.Tip, c.tip);
    }
  }
  FakeWindow valid;
  ButtonClicked(valid.Fe, "CalcGoButton");
  EXPECT_EQ(valid.Status(), fronttest::kStatusOk);
  EXPECT_TRUE(valid.Rejected.empty());
  // Enter elsewhere and other buttons do not calculate.
  FakeWindow other;
  EnterPressed(other.Fe, "HrpEdit");
  ButtonClicked(other.Fe, "ProfileExportButton");
  EXPECT_EQ(other.Status(), fronttest::kStartStatus);
}

// No menu command calculates: after each (its dialogs cancelled) the status line and the
// results are as at start-up.
TEST(FrontendEditTest, MenuCommandsNeverCalculate) {
  for (const MenuItem& item : MenuItems()) {
    if (item.Kind != MenuItemKind::Command) continue;
    SCOPED_TRACE(item.Name);
    FakeWindow w;
    Execute(w.Fe, item.Command);
    EXPECT_EQ(std::tuple(w.Status(), w.Form().Text("QhResultLabel"), w.Form().Text("ConcResLabel")),
              std::tuple(fronttest::kStartStatus, "", ""));
  }
}

TEST(FrontendEditTest, SiteCommandOnlyWithASiteWindowAndVersionBox) {
  FakeWindow w;
  EXPECT_TRUE(CommandAvailable(w.Fe, MenuCommand::OpenSite));
  w.Files = {"site.json"};
  Execute(w.Fe, MenuCommand::OpenSite);
  EXPECT_EQ(w.SitesOpened, std::vector<std::string>{"site.json"});
  EXPECT_EQ(w.Dialogs.at(0).Caption, "サイト濃度分布");
  EXPECT_TRUE(CommandAvailable(w.Fe, MenuCommand::EditSite));
  Execute(w.Fe, MenuCommand::EditSite);
  EXPECT_EQ(w.SiteEditorsOpened, 1);
  EXPECT_EQ(w.Dialogs.size(), 1u);  // the editor asks for nothing first
  w.Fe.Hooks.OpenSite = nullptr;
  w.Fe.Hooks.EditSite = nullptr;
  EXPECT_EQ(std::tuple(CommandAvailable(w.Fe, MenuCommand::OpenSite), CommandAvailable(w.Fe, MenuCommand::EditSite),
                       CommandAvailable(w.Fe, MenuCommand::NewCase)),
            std::tuple(false, false, true));
  Execute(w.Fe, MenuCommand::ShowVersion);
  ASSERT_EQ(w.Messages.size(), 1u);
  const auto& m = w.Messages[0];
  EXPECT_EQ(std::tuple(m.Name, m.Title, m.Text), std::tuple("VersionBox", "VMK Ver.1", "VMK Ver.1\nバージョン 04.3.16 c"));
  EXPECT_EQ(m.Icon, MessageIcon::Information);
}

}  // namespace
