// The marks beside the results and fields: results greyed with a note after an edit or a
// calculation ended by a message box (their texts kept), none where there are no results, and
// the warning of a 全方位有効頻度 smaller than the hours the grid counts for all directions.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <utility>

#include "frontend_test_support.h"
#include "scratch_files.h"

namespace {

using namespace vmk;
using fronttest::FakeWindow;

constexpr char kChanged[] = "(入力が変更されました: 再計算してください)";
constexpr char kStopped[] = "(計算は中断されました)";

// A windy case with hours: a calculation shows numbers in both result labels.
void Calculated(FakeWindow& w) {
  w.Form().Grid[5][6] = "100";
  Calculate(w.Fe);
  ASSERT_EQ(w.Status(), fronttest::kStatusOk);
}

void Paste(FakeWindow& w, const char* text) {
  w.Clipboard = text;
  w.Selection = {7, 4, {}};
  Execute(w.Fe, MenuCommand::PasteCells);
}

TEST(FrontendMarksTest, ResultsAreMarkedFromAnEditOrAStoppedCalculationUntilTheNextOne) {
  scratch::ScratchDir dir;
  const std::string caseFile = dir.NewFile("case.json", "{\"QgEdit\": \"20\"}");
  const struct {
    const char* what;
    std::function<void(FakeWindow&)> act;
    const char* note;  // empty: the results are current (or there are none)
  } cases[] = {
      {"typing", [](FakeWindow& w) { w.Type("QgEdit", "20"); }, kChanged},
      {"typing into the memo", [](FakeWindow& w) { w.Type("memoOption", "x"); }, kChanged},
      {"check box", [](FakeWindow& w) { w.Form()["NOxTrnCheckBox"].Checked = true; CheckBoxClicked(w.Fe, "NOxTrnCheckBox"); },
       kChanged},
      {"cell", [](FakeWindow& w) { CellEdited(w.Fe); }, kChanged},
      {"paste that changes cells", [](FakeWindow& w) { Paste(w, "8\n"); }, kChanged},
      {"paste of the same text", [](FakeWindow& w) { Paste(w, "   0\n"); }, ""},
      {"copy", [](FakeWindow& w) { Execute(w.Fe, MenuCommand::CopyCells); }, ""},
      {"the version query's memo", [](FakeWindow& w) { w.Form().Text("memoOption") = "@ver@"; Calculate(w.Fe); }, ""},
      {"a report file that is missing",
       [&](FakeWindow& w) {
         w.Fe.Settings.ReportDir = dir.File("no-such-folder");
         w.Form().Text("memoOption") = "@WA:1@";
         Calculate(w.Fe);
         ASSERT_EQ(w.Messages.size(), 1u);
       },
       kStopped},
      {"edited, then the file-read request",
       [](FakeWindow& w) {
         w.Type("QgEdit", "20");
         w.Form().Text("memoOption") = "@RA:1@";
         Calculate(w.Fe);
       },
       kChanged},
      {"edited, then an input error", [](FakeWindow& w) { w.Type("QgEdit", "abc"); Calculate(w.Fe); }, ""},
      {"edited, then calculated", [](FakeWindow& w) { w.Type("QgEdit", "20"); Calculate(w.Fe); }, ""},
      {"new case", [](FakeWindow& w) {
         w.Type("QgEdit", "20");
         w.SaveAnswers = {SaveAnswer::Discard};
         Execute(w.Fe, MenuCommand::NewCase);
       }, ""},
      {"opened case file", [&](FakeWindow& w) { ASSERT_TRUE(OpenCaseFile(w.Fe, caseFile)); }, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeWindow w;
    Calculated(w);
    ASSERT_EQ(w.Marks.back(), WindowMarks{});
    const auto texts = [&] { return std::pair(w.Form().Text("QhResultLabel"), w.Form().Text("ConcResLabel")); };
    const std::pair<Cp932, Cp932> calculated = texts();
    c.act(w);
    const std::string note = c.note;
    const WindowMarks expected{!note.empty(), note, ""};
    EXPECT_EQ(CurrentMarks(w.Fe), expected);
    EXPECT_EQ(w.Marks.back(), expected);  // shown through the hook
    // A marked result keeps its texts exactly as the last calculation wrote them.
    if (!note.empty()) { EXPECT_EQ(texts(), calculated); }
  }
}

TEST(FrontendMarksTest, NoMarkBesideEmptyResults) {
  FakeWindow w;
  w.Type("QgEdit", "20");
  EXPECT_EQ(w.Fe.Results, ResultState::InputsChanged);
  EXPECT_EQ(CurrentMarks(w.Fe), WindowMarks{});
  EXPECT_EQ(MarksOf(ResultState::CalculationStopped, w.Form(), ""), WindowMarks{});
  w.Form().Text("ConcResLabel") = " Error ";
  EXPECT_EQ(MarksOf(ResultState::CalculationStopped, w.Form(), "x"), (WindowMarks{true, kStopped, "x"}));
}

// The marks' labels lie on free ground: inside their parent's area (a page is the tab
// control's width less its frame), over no control of the layout that shares their parent.
TEST(FrontendMarksTest, MarkLabelsOverlapNoControl) {
  constexpr int kPageWidth = 585;
  for (const MarkLabel& mark : MarkLabels()) {
    SCOPED_TRACE(mark.Name);
    EXPECT_GE(mark.Left, 0);
    EXPECT_LE(mark.Left + mark.Width, mark.Parent == ControlParent::Window ? kFormClientWidth : kPageWidth);
    for (const ControlDef& def : FormLayout()) {
      if (def.Parent != mark.Parent || def.Kind == ControlKind::TabPage) continue;
      const bool apart = mark.Left >= def.Left + def.Width || def.Left >= mark.Left + mark.Width ||
                         mark.Top >= def.Top + def.Height || def.Top >= mark.Top + mark.Height;
      EXPECT_TRUE(apart) << def.Name;
    }
  }
}

// The hours the grid counts for all directions, from the cell texts: calm (row 1) and weak
// wind (row 3) of all directions and the windy rows 4 to 9; never row 2, this direction's weak
// wind, which row 3 already holds.
int GridHoursOf(const GridCells& grid) {
  int hours = 0;
  for (int row : {1, 3, 4, 5, 6, 7, 8, 9}) {
    for (int col = 2; col <= 12; ++col) hours += std::stoi(grid[row][col]);
  }
  return hours;
}

TEST(FrontendMarksTest, HoursWarningWhenTheTotalIsBelowTheGridsHoursOfAllDirections) {
  const struct {
    const char* freqTotal;
    const char* warning;
  } cases[] = {
      {"100", "全方位有効頻度 100 が表の時間 1990 より小さい: 濃度が過大になります"},
      {"1989", "全方位有効頻度 1989 が表の時間 1990 より小さい: 濃度が過大になります"},
      {"1990", ""},
      {"8760", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.freqTotal);
    FakeWindow w;
    w.Form().Grid[1][2] = "40";     // calm, all directions
    w.Form().Grid[2][3] = "2.50";   // weak wind of this direction: not counted again
    w.Form().Grid[3][4] = "150";    // weak wind, all directions
    w.Form().Grid[4][8] = "1700";   // windy 1
    w.Form().Grid[9][12] = "100";   // windy 6
    w.Form().Text("FreqTotalEdit") = c.freqTotal;
    Calculate(w.Fe);
    ASSERT_EQ(w.Status(), fronttest::kStatusOk);
    EXPECT_EQ(w.Marks.back().HoursWarning, c.warning);
    // An edit keeps the warning of the inputs calculated; an input error takes it away.
    w.Type("QgEdit", "20");
    EXPECT_EQ(w.Marks.back().HoursWarning, c.warning);
    w.Form().Text("QgEdit") = "abc";
    Calculate(w.Fe);
    EXPECT_EQ(w.Marks.back().HoursWarning, "");
  }
}

// Random grids against the count of their texts; the concentration is the same with and
// without the warning (the calculation runs as before).
TEST(FrontendMarksTest, HoursWarningAgreesWithTheGridsTextsAndChangesNoResult) {
  std::mt19937 random(22);
  std::uniform_int_distribution<int> cell(0, 60);
  for (int trial = 0; trial < 40; ++trial) {
    FakeWindow w;
    for (int row = 1; row <= 9; ++row) {
      for (int col = 2; col <= 12; ++col) {
        w.Form().Grid[row][col] = row == 2 ? "0" : std::to_string(cell(random));
      }
    }
    const int hours = GridHoursOf(w.Form().Grid);
    const int total = std::uniform_int_distribution<int>(hours - 30, hours + 30)(random);
    w.Form().Text("FreqTotalEdit") = std::to_string(total);
    Calculate(w.Fe);
    ASSERT_EQ(w.Status(), fronttest::kStatusOk);
    const std::string expected = total < hours ? "全方位有効頻度 " + std::to_string(total) + " が表の時間 " +
                                                     std::to_string(hours) + " より小さい: 濃度が過大になります"
                                               : "";
    EXPECT_EQ(w.Marks.back().HoursWarning, expected) << total << " " << hours;
    FormRecord form = w.Form();
    CalcState state;
    RunCalculation(form, state, {});
    EXPECT_EQ(form.Text("ConcResLabel"), w.Form().Text("ConcResLabel"));
  }
}

}  // namespace
