// The Windows window (app/win32) made in the test's process and driven by messages: its controls
// where the layout table puts them, its keyboard order, colours, fonts and menus, the case files,
// the save question, dropped files, the command line, the met import and the system's boxes, the
// marks beside the results and 全方位有効頻度, and the manual on F1.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <tuple>

#include "app/command/calculation.h"
#include "app/win32/dialogs.h"
#include "app/win32/gothic_fonts.h"
#include "common/json_document.h"
#include "met/met_stats.h"
#include "scratch_files.h"
#include "win32_test_support.h"

namespace {

using namespace vmk;
using namespace vmk::win32test;
using scratch::ScratchDir;

std::string NameOf(MainWindow& window, HWND control) {
  for (const ControlDef& def : FormLayout()) {
    if (window.Control(def.Name) == control) return std::string(def.Name);
  }
  return "?";
}

// Every input the window shows: field texts, check marks, cells.
std::map<std::string, std::wstring> Inputs(MainWindow& window) {
  std::map<std::string, std::wstring> inputs;
  for (const ControlDef& def : FormLayout()) {
    HWND control = window.Control(def.Name);
    if (def.Kind == ControlKind::Edit) inputs[std::string(def.Name)] = TextOf(control);
    if (def.Kind == ControlKind::CheckBox)
      inputs[std::string(def.Name)] = std::to_wstring(SendMessageW(control, BM_GETCHECK, 0, 0));
  }
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = 0; c < kGridCols; ++c) inputs[std::to_string(r * 100 + c)] = win32::GridCellText(window.Grid(), r, c);
  }
  return inputs;
}

TEST(Win32Window, ControlsStandWhereTheLayoutPutsThemInTheirFonts) {
  TestWindow w;
  RECT client;
  GetClientRect(w.Window.Handle(), &client);
  EXPECT_EQ(client.right, kFormClientWidth);
  EXPECT_EQ(client.bottom, kFormClientHeight);
  std::vector<std::string> pages;
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::TabPage) {
      pages.emplace_back(def.Text);
      continue;
    }
    SCOPED_TRACE(std::string(def.Name));
    HWND control = w[std::string(def.Name).c_str()];
    ASSERT_NE(control, nullptr);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.bottom - r.top}), std::vector<LONG>({def.Left, def.Top, def.Height}));
    // A label not marked fixed size takes its caption's width.
    if (def.Kind != ControlKind::Label || (def.Flags & kFixedSize) != 0) {
      EXPECT_EQ(r.right - r.left, def.Width);
    }
    if (def.Kind != ControlKind::Grid && def.Kind != ControlKind::TabControl) {
      EXPECT_EQ(Utf8Of(control), def.Text);
    }
    EXPECT_EQ(IsWindowEnabled(control) != FALSE, def.Enabled);
    EXPECT_EQ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) != 0,
              def.TabOrder >= 0 && def.Kind != ControlKind::Label);
    LOGFONTW font{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font), 0);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(font.lfFaceName, def.Kind == ControlKind::Grid ? win32::GridFontFamily() : win32::ControlFontFamily());
  }
  pages.emplace_back(kProfilePageCaption);
  ASSERT_EQ(SendMessageW(w.Window.Tabs(), TCM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(pages.size()));
  for (std::size_t i = 0; i < pages.size(); ++i) {
    wchar_t text[64] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(w.Window.Tabs(), TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(Narrow(text), pages[i]);
    EXPECT_EQ(IsWindowVisible(w.Window.Pages()[i]) != FALSE, i == 0);
  }
  EXPECT_EQ(w.Title(), "VMK - 1");
}

// Tab walks through the page shown by the layout's order (greyed-out fields left out), then the
// bottom bar, then the tabs, and round again.
TEST(Win32Window, TabWalksThroughThePageShownTheBottomBarAndTheTabs) {
  TestWindow w;
  const auto stops = [](ControlParent parent) {
    std::vector<const ControlDef*> defs;
    for (const ControlDef& def : FormLayout()) {
      if (def.Parent == parent && def.TabOrder >= 0 && def.Kind != ControlKind::Label && def.Enabled)
        defs.push_back(&def);
    }
    std::stable_sort(defs.begin(), defs.end(), [](auto* a, auto* b) { return a->TabOrder < b->TabOrder; });
    std::vector<std::string> names;
    for (const ControlDef* def : defs) names.emplace_back(def->Name);
    return names;
  };
  int page = 0;
  for (ControlParent parent :
       {ControlParent::SrcDataSheet, ControlParent::MetDataSheet, ControlParent::CalcCondSheet}) {
    w.Window.ShowPage(page++);
    std::vector<std::string> expected = stops(parent);
    for (const std::string& name : stops(ControlParent::Window)) {
      if (name != "c") expected.push_back(name);
    }
    expected.emplace_back("c");
    expected.push_back(expected.front());
    std::vector<std::string> walked;
    for (HWND at = w[expected.front().c_str()]; walked.size() < expected.size();
         at = GetNextDlgTabItem(w.Window.Handle(), at, FALSE)) {
      walked.push_back(NameOf(w.Window, at));
    }
    EXPECT_EQ(walked, expected);
    SetFocus(w[expected[0].c_str()]);  // the key itself, through the message loop
    PressKey(w.Window, VK_TAB);
    EXPECT_EQ(NameOf(w.Window, GetFocus()), expected[1]);
  }
}

// The background the window gives a control (WM_CTLCOLOR*), as a system colour number.
int ColourOf(HWND control) {
  const bool edit = IsWindowEnabled(control) && (GetWindowLongW(control, GWL_STYLE) & ES_AUTOHSCROLL) != 0;
  HDC dc = CreateCompatibleDC(nullptr);
  const auto brush =
      reinterpret_cast<HBRUSH>(SendMessageW(GetParent(control), edit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                            reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  const COLORREF background = GetBkColor(dc);
  DeleteDC(dc);
  for (int index : {COLOR_WINDOW, COLOR_ACTIVEBORDER, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE}) {
    if (brush == GetSysColorBrush(index) && background == GetSysColor(index)) return index;
  }
  return -1;
}

TEST(Win32Window, ColoursAndEnabledStatesFollowTheRecordAndTheCheckBoxes) {
  struct Expected {
    const char* Name;
    int Colour;
    bool Enabled;
  };
  TestWindow w;
  const auto check = [&](std::initializer_list<Expected> table) {
    for (const Expected& e : table) {
      EXPECT_EQ(ColourOf(w[e.Name]), e.Colour) << e.Name;
      EXPECT_EQ(IsWindowEnabled(w[e.Name]) != FALSE, e.Enabled) << e.Name;
    }
  };
  // At start the multiplier is enabled in button face (the first click brings it into line) and
  // the NOx fields are greyed out on the active border's colour; the result labels are white.
  check({{"QgEdit", COLOR_WINDOW, true},
         {"PHr_HmmultEdit", COLOR_BTNFACE, true},
         {"Phr_HmEdit", COLOR_WINDOW, true},
         {"AlphaEdit", COLOR_ACTIVEBORDER, false},
         {"NOxDistAdEdit", COLOR_ACTIVEBORDER, false},
         {"QgLabel", COLOR_BTNFACE, true},
         {"ConcResLabel", COLOR_HIGHLIGHTTEXT, true},
         {"messageLabel", COLOR_HIGHLIGHTTEXT, true},
         {"NOxTrnCheckBox", COLOR_BTNFACE, true}});
  w.Window.ShowPage(2);
  Click(w.Window, w["NOxTrnCheckBox"]);
  Click(w.Window, w["PHrHmCheckBox"]);
  check({{"AlphaEdit", COLOR_WINDOW, true},
         {"NOxDistAdEdit", COLOR_WINDOW, true},
         {"PHr_HmmultEdit", COLOR_WINDOW, true},
         {"Phr_HmEdit", COLOR_ACTIVEBORDER, false}});
  EXPECT_EQ(w.Title(), "VMK - 1 *");
  Click(w.Window, w["NOxTrnCheckBox"]);
  check({{"AlphaEdit", COLOR_ACTIVEBORDER, false}});
}

// The Japanese texts have glyphs in every font that draws them: the controls' and the system's
// fonts of menus, message boxes and title bars (the tests' wine prefix backs them with a
// Japanese font, as Japanese Windows does).
TEST(Win32Window, JapaneseTextsHaveGlyphsInEveryFontThatDrawsThem) {
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof m;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0));
  const std::wstring japanese = L"発生源データ気象条件ファイル編集保存しますか距離分布ｱｲｳ";
  HDC dc = CreateCompatibleDC(nullptr);
  for (const LOGFONTW* font : std::array<const LOGFONTW*, 4>{&m.lfMenuFont, &m.lfMessageFont, &m.lfCaptionFont, nullptr}) {
    HFONT handle = font != nullptr ? CreateFontIndirectW(font) : win32::ControlFont();
    HGDIOBJ old = SelectObject(dc, handle);
    std::vector<WORD> glyphs(japanese.size());
    GetGlyphIndicesW(dc, japanese.c_str(), static_cast<int>(japanese.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), 0xFFFF), 0)
        << (font != nullptr ? Narrow(font->lfFaceName) : "controls");
    SelectObject(dc, old);
    if (font != nullptr) DeleteObject(handle);
  }
  DeleteDC(dc);
}

std::string MenuText(HMENU menu, UINT position) {
  wchar_t text[256] = L"";
  GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
  return Narrow(text);
}

// The menu bar is the menu table (without サイト濃度分布 and サイトの編集: no site window or site
// editor here); its shortcuts work from a field.
TEST(Win32Window, MenusAndShortcutsFollowTheMenuTable) {
  TestWindow w;
  HMENU bar = GetMenu(w.Window.Handle());
  const std::vector<std::string_view> captions = MenuCaptions();
  std::map<std::string_view, UINT> positions;
  for (const std::string_view caption : captions) {
    EXPECT_EQ(MenuText(bar, static_cast<UINT>(positions.size())), caption);
    positions.emplace(caption, 0);
  }
  EXPECT_EQ(GetMenuItemCount(bar), static_cast<int>(positions.size()));
  for (const MenuItem& item : MenuItems()) {
    if (item.Kind == MenuItemKind::Command &&
        (item.Command == MenuCommand::OpenSite || item.Command == MenuCommand::EditSite)) {
      continue;
    }
    HMENU menu = GetSubMenu(bar, static_cast<int>(std::find(captions.begin(), captions.end(), item.Menu) -
                                                  captions.begin()));
    const UINT at = positions[item.Menu]++;
    SCOPED_TRACE(std::string(item.Menu) + " " + std::to_string(at));
    if (item.Kind == MenuItemKind::Separator) {
      EXPECT_NE(GetMenuState(menu, at, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    } else if (item.Kind == MenuItemKind::RecentFiles) {
      EXPECT_EQ(MenuText(menu, at), item.Text);
      EXPECT_EQ(GetSubMenu(menu, static_cast<int>(at)), w.Window.RecentFilesMenu());
      EXPECT_EQ(MenuText(w.Window.RecentFilesMenu(), 0), "(なし)");
    } else {
      EXPECT_EQ(MenuText(menu, at),
                std::string(item.Text) + (item.Shortcut.empty() ? "" : "\t" + std::string(item.Shortcut)));
      EXPECT_EQ(static_cast<int>(GetMenuItemID(menu, static_cast<int>(at))), win32::MenuCommandId(item.Command));
    }
  }
  for (const auto& [caption, count] : positions) {
    const auto index = std::find(captions.begin(), captions.end(), caption) - captions.begin();
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, static_cast<int>(index))), static_cast<int>(count));
  }

  w.TypeField("QgEdit", L"25");
  w.SaveAnswers = {SaveAnswer::Discard};  // 開く asks about the edit first
  for (const auto& [key, shift, caption] : {std::tuple{'O', false, "開く"}, std::tuple{'S', false, "名前を付けて保存"},
                                            std::tuple{'S', true, "名前を付けて保存"}}) {
    PressKey(w.Window, key, true, shift);
    ASSERT_FALSE(w.Dialogs.empty());
    EXPECT_EQ(w.Dialogs.back().Caption, caption);
  }
  EXPECT_EQ(w.Dialogs.size(), 3u);
  EXPECT_EQ(w.Questions.size(), 1u);
  w.SaveAnswers = {SaveAnswer::Discard};
  PressKey(w.Window, 'N', true);
  EXPECT_EQ(Utf8Of(w["QgEdit"]), FindControl("QgEdit")->Text);
}

// The text colour the window gives a label (WM_CTLCOLORSTATIC).
COLORREF TextColourOf(HWND label) {
  HDC dc = CreateCompatibleDC(nullptr);
  SetTextColor(dc, RGB(1, 2, 3));  // what the window does not set stays so
  SendMessageW(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
  const COLORREF colour = GetTextColor(dc);
  DeleteDC(dc);
  return colour;
}

// The marks follow the frontend: the result labels greyed (their texts kept) with the note
// beside each from an edit or a stopped calculation until the next one, and the frontend's
// warning in red beside 全方位有効頻度 while it is below the grid's hours.
TEST(Win32Window, MarksGreyTheResultsAfterAnEditAndWarnOfTooFewHours) {
  ScratchDir dir;  // no report file: a calculation asked for a report ends by a message box
  TestWindow w;
  Frontend& fe = w.Window.Front();
  fe.Settings.ReportDir = scratch::TextOf(dir.Path());
  w.Window.ShowPage(1);
  for (const auto& [row, col, text] : {std::tuple{1, 2, L"40"}, std::tuple{3, 4, L"150"}, std::tuple{4, 8, L"1700"},
                                       std::tuple{9, 12, L"100"}}) {
    TypeCell(w.Window, row, col, text);
  }
  const COLORREF grey = RGB(kStaleTextColor.R, kStaleTextColor.G, kStaleTextColor.B);
  const COLORREF red = RGB(kWarningTextColor.R, kWarningTextColor.G, kWarningTextColor.B);
  const auto calculate = [&] { Click(w.Window, w["CalcGoButton"]); };
  const struct {
    const char* what;
    std::function<void()> act;
    const char* note;  // empty: the results current
    bool warned;
  } steps[] = {
      {"before any calculation", [] {}, "", false},
      {"a calculation below the grid's hours",
       [&] {
         w.TypeField("FreqTotalEdit", L"100");
         calculate();
       },
       "", true},
      {"an edit", [&] { w.TypeField("QgEdit", L"25"); }, "(入力が変更されました: 再計算してください)", true},
      {"the next calculation", calculate, "", true},
      {"a calculation ended by a message box",
       [&] {
         w.TypeField("memoOption", L"@WA:1@");
         calculate();
         EXPECT_EQ(w.Messages.size(), 1u);
         w.Messages.clear();
       },
       "(計算は中断されました)", true},
      {"enough hours",
       [&] {
         w.TypeField("memoOption", L"");
         w.TypeField("FreqTotalEdit", L"8760");
         calculate();
       },
       "", false},
  };
  std::map<std::string, std::string> calculated;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    const WindowMarks marks = CurrentMarks(fe);
    ASSERT_EQ(marks.StaleNote, step.note);
    EXPECT_TRUE(w.Messages.empty());
    for (const auto& [result, note] : {std::pair{"QhResultLabel", kQhStaleLabel.Name},
                                       std::pair{"ConcResLabel", kConcStaleLabel.Name}}) {
      if (*step.note == '\0') {
        calculated[result] = Utf8Of(w[result]);
      } else {
        EXPECT_EQ(Utf8Of(w[result]), calculated[result]) << result;  // greyed, never changed
      }
      EXPECT_EQ(TextColourOf(w[result]), *step.note != '\0' ? grey : GetSysColor(COLOR_WINDOWTEXT)) << result;
      HWND label = w.Window.MarkLabel(note);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ((GetWindowLongW(label, GWL_STYLE) & WS_VISIBLE) != 0, *step.note != '\0') << note;
      EXPECT_EQ(Utf8Of(label), step.note) << note;
      EXPECT_EQ(TextColourOf(label), grey) << note;
    }
    HWND warning = w.Window.MarkLabel(kHoursWarningLabel.Name);
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(marks.HoursWarning.empty(), !step.warned);
    EXPECT_EQ(Utf8Of(warning), marks.HoursWarning);
    EXPECT_EQ((GetWindowLongW(warning, GWL_STYLE) & WS_VISIBLE) != 0, step.warned);
    EXPECT_EQ(TextColourOf(warning), red);
  }
}

// ヘルプ → 説明書 and F1 open the manual's first page beside the program.
TEST(Win32Window, ManualOpensOnF1AndFromTheHelpMenu) {
  TestWindow w;
  std::vector<std::string> opened;
  w.Window.Front().Hooks.OpenManual = [&](const std::string& path) { opened.push_back(path); };
  const int id = win32::MenuCommandId(MenuCommand::ShowManual);
  ASSERT_NE(id, 0);
  EXPECT_EQ(GetMenuState(GetMenu(w.Window.Handle()), static_cast<UINT>(id), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED),
            0u);
  w.TypeField("QgEdit", L"25");
  PressKey(w.Window, VK_F1);
  RunMenuCommand(w.Window, MenuCommand::ShowManual);
  EXPECT_EQ(opened, (std::vector<std::string>{ManualIndexPath(), ManualIndexPath()}));
  EXPECT_TRUE(w.Messages.empty());
}

TEST(Win32Window, SaveThenOpenGivesTheSameFormAndARecentFile) {
  ScratchDir dir;
  TestWindow w;
  w.TypeField("QgEdit", L" 25.5");
  w.TypeField("memoOption", L"北東の煙突 & 試験");
  w.Window.ShowPage(2);
  Click(w.Window, w["NOxTrnCheckBox"]);
  w.TypeField("AlphaEdit", L" 0.9");
  w.Window.ShowPage(1);
  TypeCell(w.Window, 4, 5, L" 12");
  TypeCell(w.Window, 7, 2, L"3.5");
  const auto before = Inputs(w.Window);
  const std::string path = dir.File("ケース 1.json");
  w.Files = {path, path};
  RunMenuCommand(w.Window, MenuCommand::SaveCaseAs);
  EXPECT_EQ(w.Title(), "VMK - 1 - ケース 1.json");
  RunMenuCommand(w.Window, MenuCommand::NewCase);
  EXPECT_EQ(w.Title(), "VMK - 1");
  EXPECT_NE(Inputs(w.Window), before);
  RunMenuCommand(w.Window, MenuCommand::OpenCase);
  EXPECT_EQ(Inputs(w.Window), before);
  EXPECT_TRUE(IsWindowEnabled(w["AlphaEdit"]));
  EXPECT_EQ(w.Title(), "VMK - 1 - ケース 1.json");
  EXPECT_TRUE(w.Questions.empty());

  // Its entry in 最近使ったファイル reopens it, once the new edit is let go.
  ASSERT_EQ(GetMenuItemCount(w.Window.RecentFilesMenu()), 1);
  EXPECT_EQ(MenuText(w.Window.RecentFilesMenu(), 0), "&1 " + NativePath(path));
  w.TypeField("QgEdit", L"1");
  w.SaveAnswers = {SaveAnswer::Discard};
  SendMessageW(w.Window.Handle(), WM_COMMAND, win32::kRecentIdBase, 0);
  EXPECT_EQ(Inputs(w.Window), before);
  EXPECT_EQ(w.Questions.size(), 1u);
}

// A drop handle of the files, as the shell makes it.
HDROP Drop(const std::vector<std::string>& paths) {
  std::wstring list;
  for (const std::string& path : paths) list += platform::WidePath(path) + L'\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(drop + 1));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// The save question comes before unsaved edits are lost (新規作成, 開く, a drop, closing); a
// cancel keeps them. A drop opens its first case file.
TEST(Win32Window, UnsavedEditsAreAskedForBeforeNewOpenDropAndClose) {
  ScratchDir dir;
  const std::string caseFile = dir.NewFile("drop.json", R"({"QgEdit": " 77"})");
  const std::string other = dir.NewFile("notes.txt", "x");
  TestWindow w;
  HWND main = w.Window.Handle();
  const auto drop = [&](std::vector<std::string> paths) {
    PostMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(Drop(paths)), 0);
    Pump(w.Window);
  };
  w.TypeField("QgEdit", L" 12");
  EXPECT_EQ(w.Title(), "VMK - 1 *");
  RunMenuCommand(w.Window, MenuCommand::NewCase);
  w.Files = {caseFile};
  RunMenuCommand(w.Window, MenuCommand::OpenCase);
  drop({other, caseFile});
  SendMessageW(main, WM_CLOSE, 0, 0);
  drop({other});  // no case file: no question
  EXPECT_EQ(w.Questions.size(), 4u);
  EXPECT_EQ(Utf8Of(w["QgEdit"]), " 12");
  w.SaveAnswers = {SaveAnswer::Discard, SaveAnswer::Discard};
  drop({other, caseFile});
  EXPECT_EQ(Utf8Of(w["QgEdit"]), " 77");
  EXPECT_EQ(w.Title(), "VMK - 1 - drop.json");
  w.TypeField("QgEdit", L" 13");
  SendMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(main));
}

// The system's boxes: the save question with the frontend's own buttons, the version box, the
// error box of a calculation.
TEST(Win32Window, SaveQuestionVersionAndErrorBoxesShowTheFrontendsTexts) {
  ScratchDir dir;
  TestWindow w(true);
  w.Window.Front().Settings.ReportDir = scratch::TextOf(dir.Path());
  w.TypeField("memoOption", L"@WA:2@");
  BoxAnswerer answers({"キャンセル", "", "", "いいえ"});
  RunMenuCommand(w.Window, MenuCommand::NewCase);
  EXPECT_EQ(Utf8Of(w["memoOption"]), "@WA:2@");
  Click(w.Window, w["CalcGoButton"]);  // no VMKIO2.csv: the error box
  RunMenuCommand(w.Window, MenuCommand::ShowVersion);
  RunMenuCommand(w.Window, MenuCommand::NewCase);
  EXPECT_EQ(Utf8Of(w["memoOption"]), "");
  ASSERT_EQ(answers.Seen().size(), 4u);
  for (const SeenBox& box : answers.Seen()) EXPECT_EQ(box.Title, "VMK Ver.1");
  EXPECT_EQ(answers.Seen()[0].Texts.back(), "保存しますか?\n\n保存していない変更があります。");
  EXPECT_EQ(answers.Seen()[0].Buttons, (std::vector<std::string>{"はい", "いいえ", "キャンセル"}));
  EXPECT_EQ(answers.Seen()[1].Texts.back(), "ﾌｧｲﾙが見つかりません.");
  EXPECT_EQ(answers.Seen()[2].Texts.back(), "VMK Ver.1\nバージョン " + std::string(VersionStamp));
  EXPECT_EQ(answers.Seen()[3].Buttons, answers.Seen()[0].Buttons);
}

// 気象統計から読み込む: the directions in a list, the busiest chosen; OK puts its table in.
TEST(Win32Window, MetImportAsksForTheDirectionInAList) {
  const std::string met =
      scratch::TextOf(std::filesystem::path(VMK_SOURCE_DIR) / "examples/met/hourly-sample.met.json");
  const MetStats stats = ParseMetStats(ReadFileBytes(met));
  const DirectionQuestion question = DirectionQuestionFor(stats);
  FormRecord expected = MakeStartupForm();
  ApplyMetDirection(stats, question.Preselected, expected);
  TestWindow w(true);
  w.Files = {met};
  BoxAnswerer answers;
  RunMenuCommand(w.Window, MenuCommand::ImportMetStats);
  ASSERT_EQ(answers.Seen().size(), 1u);
  const SeenBox& box = answers.Seen()[0];
  const std::vector<std::string> label{question.Label};
  EXPECT_EQ(std::tie(box.Title, box.Texts, box.Items, box.Selected),
            std::tie(question.Title, label, question.Items, question.Preselected));
  EXPECT_EQ(box.Buttons, (std::vector<std::string>{"OK", "キャンセル"}));
  EXPECT_EQ(Utf8Of(w["WDEdit"]), Cp932ToUtf8(expected.Text("WDEdit")));
  for (int r = 1; r < kGridRows; ++r) {
    for (int c = 1; c < kGridCols; ++c)
      EXPECT_EQ(Narrow(win32::GridCellText(w.Window.Grid(), r, c)), expected.Grid[r][c]);
  }
  EXPECT_EQ(w.Title(), "VMK - 1 *");
}

// The common file dialog shows the frontend's caption and filters; a name typed without an
// extension gets the first filter's.
TEST(Win32Window, SaveDialogShowsTheCaptionAndFiltersAndAddsTheExtension) {
  ScratchDir dir;
  TestWindow w;
  HWND main = w.Window.Handle();
  w.Window.Front().Hooks.ChooseFile = [main](const FileDialog& d) { return win32::ChooseFileWithDialog(main, d); };
  std::vector<std::string> filters;
  BoxAnswerer answers({""}, [&](HWND box) {
    constexpr int kFileNameBox = 0x47C;  // cmb13 and cmb1 of the common dialog
    constexpr int kFilterBox = 0x470;
    for (int i = 0; i < static_cast<int>(SendDlgItemMessageW(box, kFilterBox, CB_GETCOUNT, 0, 0)); ++i) {
      wchar_t text[128] = L"";
      SendDlgItemMessageW(box, kFilterBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      filters.push_back(Narrow(text));
    }
    SetDlgItemTextW(box, kFileNameBox, platform::WidePath(dir.File("typed")).c_str());
  });
  RunMenuCommand(w.Window, MenuCommand::SaveCaseAs);
  ASSERT_EQ(answers.Seen().size(), 1u);
  EXPECT_EQ(answers.Seen()[0].Title, "名前を付けて保存");
  EXPECT_EQ(filters, (std::vector<std::string>{"ケースファイル (*.json)", "すべてのファイル (*)"}));
  EXPECT_TRUE(std::filesystem::exists(dir / "typed.json"));
}

// `vmk.exe CASE.json` opens the case file in the window of a process of its own.
TEST(Win32Window, ProgramOpensTheCaseFileOfItsCommandLine) {
  ScratchDir dir;
  const std::string caseFile = dir.NewFile("サイト 例.json", R"({"QgEdit": " 42"})");
  std::wstring line = L"\"" + platform::WidePath(VMK_WINDOW_PROGRAM) + L"\" \"" + platform::WidePath(caseFile) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  HWND window = nullptr;
  for (int i = 0; i < 300 && window == nullptr; ++i, Sleep(100))
    window = FindWindowW(L"VmkForm1", L"VMK - 1 - サイト 例.json");
  EXPECT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);  // nothing edited: no question
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
