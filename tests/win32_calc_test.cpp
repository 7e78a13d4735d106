// The Windows window's calculations against vmk-calc: every example and golden case file typed
// into the window step by step (fields, check boxes, cells) and calculated with 計  算 gives the
// result labels, status line, memo, grid totals and error box of `vmk-calc --json`, and the
// report files the same bytes (vmk-calc.exe gives the Linux build's: the test
// windows_calc_outputs_match_linux). Also Enter, the rejected input's help and the profile page.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "casefile/case_file.h"
#include "cli_process.h"
#include "win32_test_support.h"

namespace {

using namespace vmk;
using namespace vmk::win32test;
namespace fs = std::filesystem;

std::vector<std::string> CaseFiles() {
  std::vector<std::string> names;
  for (const char* folder : {"examples", "tests/golden"}) {
    for (const auto& entry : fs::directory_iterator(clitest::kSourceDir / folder)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".json") && !name.ends_with(".expected.json")) names.push_back(folder + ("/" + name));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> FilesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[entry.path().filename().string()] = clitest::ReadBytes(entry.path());
  return files;
}

// One step of a case file as a user enters it: each field's text typed (set whole where the field
// is greyed out), each check box clicked whose state changes, each cell typed.
void EnterStep(TestWindow& w, const CaseStep& step) {
  for (const auto& [name, text] : step.Texts) {
    const std::wstring wide = Widen(Cp932ToUtf8(text));
    if (IsWindowEnabled(w[name.c_str()])) {
      w.TypeField(name.c_str(), wide);
    } else {
      SendMessageW(w[name.c_str()], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    ASSERT_EQ(TextOf(w[name.c_str()]), wide) << name;
  }
  for (const auto& [name, checked] : step.Checks) {
    w.ShowPageOf(w[name.c_str()]);
    if ((SendMessageW(w[name.c_str()], BM_GETCHECK, 0, 0) == BST_CHECKED) != checked) Click(w.Window, w[name.c_str()]);
  }
  w.Window.ShowPage(1);
  for (const CaseStep::Cell& cell : step.Cells) {
    TypeCell(w.Window, cell.Row, cell.Col, Widen(Cp932ToUtf8(cell.Text)));
    ASSERT_EQ(Narrow(win32::GridCellText(w.Window.Grid(), cell.Row, cell.Col)), Cp932ToUtf8(cell.Text));
  }
}

class WindowCalculation : public ::testing::TestWithParam<std::string> {};

TEST_P(WindowCalculation, GivesTheResultsAndReportOfVmkCalc) {
  const std::string caseFile = scratch::TextOf(clitest::kSourceDir / GetParam());
  clitest::TempDir calcReports;
  clitest::TempDir windowReports;
  calcReports.NewFile("VMKIO1.csv");
  windowReports.NewFile("VMKIO1.csv");
  const auto calc = clitest::RunVmkCalc({"--json", "--report-dir", scratch::TextOf(calcReports.Path()), caseFile});
  ASSERT_TRUE(calc.ExitCode == 0 || calc.ExitCode == 1) << calc.Err;  // 1: a calculation did not end normally
  nlohmann::json results = nlohmann::json::parse(calc.Out);
  if (!results.is_array()) results = nlohmann::json::array({results});
  const CaseFile file = ParseCaseFile(ReadCaseBytes(caseFile));
  ASSERT_EQ(file.Steps.size(), results.size());

  TestWindow w;
  w.Window.Front().Settings.ReportDir = scratch::TextOf(windowReports.Path());
  for (std::size_t i = 0; i < file.Steps.size(); ++i) {
    SCOPED_TRACE("calculation " + std::to_string(i + 1));
    ASSERT_NO_FATAL_FAILURE(EnterStep(w, file.Steps[i]));
    w.Messages.clear();
    Click(w.Window, w["CalcGoButton"]);
    const nlohmann::json& expected = results[i];
    for (const char* label : {"messageLabel", "QhResultLabel", "ConcResLabel", "memoOption"}) {
      EXPECT_EQ(Utf8Of(w[label]), expected.at(label)) << label;
    }
    for (const auto& [cell, text] : expected.at("totals").items()) {
      const int row = std::stoi(cell);
      const int col = std::stoi(cell.substr(cell.find(',') + 1));
      EXPECT_EQ(Narrow(win32::GridCellText(w.Window.Grid(), row, col)), text) << cell;
    }
    ASSERT_EQ(w.Messages.size(), expected.contains("messageBox") ? 1u : 0u);
    if (!w.Messages.empty()) {
      EXPECT_EQ(w.Messages[0].Text, expected["messageBox"]);
    }
  }
  EXPECT_EQ(FilesIn(windowReports.Path()), FilesIn(calcReports.Path()));
}

INSTANTIATE_TEST_SUITE_P(CaseFiles, WindowCalculation, ::testing::ValuesIn(CaseFiles()), [](const auto& info) {
  std::string name = info.param.substr(0, info.param.size() - 5);
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
});

// Enter calculates in `XrpEdit` only; elsewhere it changes nothing.
TEST(Win32Calculation, EnterCalculatesInTheReceptorDistanceOnly) {
  TestWindow w;
  const std::string start = Utf8Of(w["messageLabel"]);
  for (const char* field : {"HrpEdit", "QgEdit", "memoOption", "XrpEdit"}) {
    w.ShowPageOf(w[field]);
    SetFocus(w[field]);
    PressKey(w.Window, VK_RETURN);
    EXPECT_EQ(Utf8Of(w["messageLabel"]) == start, field != std::string("XrpEdit")) << field;
  }
  EXPECT_NE(Utf8Of(w["ConcResLabel"]), "");
  EXPECT_EQ(GetFocus(), w["XrpEdit"]);
  EXPECT_EQ(Utf8Of(w["XrpEdit"]), FindControl("XrpEdit")->Text);  // no line break typed
}

// A rejected input gets the focus with its text selected (a cell opens for typing), on its page,
// and the accepted range beside it in a tooltip, which the next key hides.
TEST(Win32Calculation, RejectedInputGetsTheFocusAndItsRangeBesideIt) {
  struct Case {
    const char* Field;  // nullptr for the cell
    const wchar_t* Text;
    int Page;
  };
  constexpr int kRow = 5;
  constexpr int kCol = 6;
  for (const Case& c : {Case{"QgEdit", L" abc", 0}, Case{"HmEdit", L" -5", 2}, Case{nullptr, L" x", 1}}) {
    SCOPED_TRACE(c.Page);
    TestWindow w;
    std::vector<RejectedInputView> shown;
    w.Window.Front().Hooks.ShowRejectedInput = [&, show = w.Window.Front().Hooks.ShowRejectedInput](const auto& view) {
      shown.push_back(view);
      show(view);
    };
    if (c.Field != nullptr) {
      w.TypeField(c.Field, c.Text);
    } else {
      w.Window.ShowPage(1);
      TypeCell(w.Window, kRow, kCol, c.Text);
    }
    w.Window.ShowPage(c.Page == 0 ? 1 : 0);
    Click(w.Window, w["CalcGoButton"]);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(w.Window.CurrentPage(), c.Page);
    RECT beside{};
    if (c.Field != nullptr) {
      EXPECT_EQ(GetFocus(), w[c.Field]);
      GetWindowRect(w[c.Field], &beside);
    } else {
      EXPECT_EQ(std::tie(shown[0].Row, shown[0].Col), std::tie(kRow, kCol));
      EXPECT_EQ(GetFocus(), win32::GridEditor(w.Window.Grid()));
      beside = win32::GridCellRect(w.Window.Grid(), kRow, kCol);
      MapWindowPoints(w.Window.Grid(), nullptr, reinterpret_cast<POINT*>(&beside), 2);
    }
    EXPECT_EQ(TextOf(GetFocus()), c.Text);
    DWORD from = 1;
    DWORD to = 0;
    SendMessageW(GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(std::tie(from, to), std::make_tuple(DWORD{0}, static_cast<DWORD>(wcslen(c.Text))));
    HWND tip = w.Window.RejectedInputTip();
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_FALSE(shown[0].Tip.empty());
    EXPECT_EQ(TipText(w.Window), Widen(shown[0].Tip));
    RECT at;
    GetWindowRect(tip, &at);
    EXPECT_GE(at.left, beside.right);
    EXPECT_LE(at.left, beside.right + 8);
    EXPECT_NEAR(at.top, beside.top, 2);
    Type(w.Window, L"1");
    EXPECT_FALSE(IsWindowVisible(tip));
  }
}

// The profile page: nothing before a calculation; after one, the chart painted, the line under it
// and 保存... writing the PNG picture of the chart.
TEST(Win32Calculation, ProfilePageShowsTheChartAndSavesItsPicture) {
  clitest::TempDir dir;
  TestWindow w;
  w.Window.ShowPage(3);
  EXPECT_FALSE(IsWindowEnabled(w.Window.ProfileExportButton()));
  EXPECT_EQ(Utf8Of(w.Window.ProfileSummary()), kProfileNothingText);
  ASSERT_TRUE(w.Window.OpenCaseFile(scratch::TextOf(clitest::kSourceDir / "examples/site.json")));
  Click(w.Window, w["CalcGoButton"]);
  const ProfileView& profile = w.Window.Front().Profile;
  ASSERT_TRUE(profile.HasProfile);
  EXPECT_TRUE(IsWindowEnabled(w.Window.ProfileExportButton()));
  EXPECT_EQ(Utf8Of(w.Window.ProfileSummary()), profile.Summary);

  // On the screen: the chart's background and its curve's colour among others.
  UpdateWindow(w.Window.ProfileChart());
  RECT chart;
  GetClientRect(w.Window.ProfileChart(), &chart);
  HDC dc = GetDC(w.Window.ProfileChart());
  std::set<COLORREF> colours;
  for (int y = 0; y < chart.bottom; y += 2) {
    for (int x = 0; x < chart.right; x += 2) colours.insert(GetPixel(dc, x, y));
  }
  ReleaseDC(w.Window.ProfileChart(), dc);
  ASSERT_FALSE(profile.Scene.Polylines.empty());
  for (const PlotColor& c : {profile.Scene.Background, profile.Scene.Polylines.front().Stroke.Color}) {
    EXPECT_TRUE(colours.count(RGB(c.R, c.G, c.B))) << int{c.R} << "," << int{c.G} << "," << int{c.B};
  }

  w.Files = {dir.File("距離分布.png")};
  Click(w.Window, w.Window.ProfileExportButton());
  ASSERT_EQ(w.Dialogs.size(), 1u);
  EXPECT_EQ(w.Dialogs[0].Caption, "距離分布を保存");
  EXPECT_TRUE(w.Messages.empty());
  const std::string png = clitest::ReadBytes(dir / "距離分布.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  const auto be32 = [&](std::size_t at) {
    unsigned n = 0;
    for (std::size_t i = at; i < at + 4; ++i) n = n << 8 | static_cast<unsigned char>(png[i]);
    return n;
  };
  EXPECT_EQ(be32(16), static_cast<unsigned>(profile.Scene.Width));
  EXPECT_EQ(be32(20), static_cast<unsigned>(profile.Scene.Height));
}

}  // namespace
