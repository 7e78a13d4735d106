// The plain parts of the window's behaviour: the document's title and recent files, the save
// question, the menu table, and the rules for fields, file names and drops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frontend/frontend.h"

namespace {

using namespace vmk;

// A path of this system: "/a/b" here, "\a\b" on Windows.
std::string Native(const std::string& path) { return NativePath(path); }

TEST(CaseDocumentTest, TitleSaysTheFileAndUnsavedEdits) {
  const struct {
    std::string path;
    bool edited;
    const char* title;
  } cases[] = {
      {"", false, "VMK - 1"},
      {"", true, "VMK - 1 *"},
      {Native("/cases/site.json"), false, "VMK - 1 - site.json"},
      {Native("/cases/site.json"), true, "VMK - 1 - site.json *"},
      {Native("/ケース/東町 & 西町.json"), true, "VMK - 1 - 東町 & 西町.json *"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WindowTitle({c.path, c.edited, {}}), c.title) << c.path;
  }
}

TEST(CaseDocumentTest, TransitionsOfOpenSaveNewAndEdits) {
  CaseDocument doc;
  EXPECT_TRUE(NoteEdit(doc));   // the first edit changes the title
  EXPECT_FALSE(NoteEdit(doc));  // later ones do not
  NoteOpenedOrSaved(doc, Native("/c/a.json"));
  EXPECT_EQ(WindowTitle(doc), "VMK - 1 - a.json");
  EXPECT_TRUE(NoteEdit(doc));
  NoteNewCase(doc);
  EXPECT_EQ(WindowTitle(doc), "VMK - 1");
  EXPECT_EQ(doc.Recent, std::vector<std::string>{Native("/c/a.json")});  // new keeps the list
}

TEST(CaseDocumentTest, RecentFilesHoldTheLastEightMostRecentFirst) {
  CaseDocument doc;
  ASSERT_EQ(RecentMenu(doc).size(), 1u);
  EXPECT_EQ(RecentMenu(doc)[0].Text, "(なし)");
  EXPECT_FALSE(RecentMenu(doc)[0].Enabled);

  std::vector<std::string> expected;
  for (int i = 1; i <= 10; ++i) {
    const std::string path = Native("/c/c" + std::to_string(i) + ".json");
    NoteOpenedOrSaved(doc, path);
    expected.insert(expected.begin(), path);
  }
  expected.resize(8);
  EXPECT_EQ(doc.Recent, expected);
  // Opening one again moves it to the top, without a second entry.
  NoteOpenedOrSaved(doc, expected[4]);
  expected.insert(expected.begin(), expected[4]);
  expected.erase(expected.begin() + 5);
  EXPECT_EQ(doc.Recent, expected);
  ForgetRecentFile(doc, expected[1]);
  EXPECT_EQ(doc.Recent.size(), 7u);

  // The entries' texts: a number as access key, the path with its own "&" doubled.
  NoteOpenedOrSaved(doc, Native("/R&D/a&&b.json"));
  const std::vector<RecentMenuEntry> menu = RecentMenu(doc);
  ASSERT_EQ(menu.size(), 8u);
  EXPECT_EQ(menu[0].Text, "&1 " + Native("/R&&D/a&&&&b.json"));
  EXPECT_EQ(menu[0].Path, Native("/R&D/a&&b.json"));
  EXPECT_EQ(menu[1].Text, "&2 " + expected[0]);
  EXPECT_EQ(menu[7].Text.substr(0, 3), "&8 ");
  for (const RecentMenuEntry& e : menu) EXPECT_TRUE(e.Enabled);
}

TEST(CaseDocumentTest, SaveQuestionNamesTheFile) {
  for (const bool hasFile : {false, true}) {
    CaseDocument doc{hasFile ? Native("/c/close.json") : "", true, {}};
    const SaveQuestion q = SaveQuestionFor(doc);
    EXPECT_EQ(q.Name, "SaveQuestionBox");
    EXPECT_EQ(q.Title, "VMK Ver.1");
    EXPECT_EQ(q.Text, "保存しますか?");
    EXPECT_EQ(q.Informative, hasFile ? "close.json に保存していない変更があります。" : "保存していない変更があります。");
    const std::vector<std::pair<SaveAnswer, std::string>> buttons = {
        {SaveAnswer::Save, "はい"}, {SaveAnswer::Discard, "いいえ"}, {SaveAnswer::Cancel, "キャンセル"}};
    EXPECT_EQ(q.Buttons, buttons);
    EXPECT_EQ(q.Default, SaveAnswer::Save);
    EXPECT_EQ(q.Escape, SaveAnswer::Cancel);
  }
}

TEST(MenuTableTest, MenusItemsAndShortcutsInOrder) {
  EXPECT_EQ(MenuCaptions(), (std::vector<std::string_view>{"ファイル(&F)", "編集(&E)", "ヘルプ(&H)"}));
  const struct {
    const char* menu;
    MenuItemKind kind;
    const char* text;
    const char* shortcut;
    const char* name;
    bool gridOnly;
  } expected[] = {
      {"ファイル(&F)", MenuItemKind::Command, "新規作成(&N)", "Ctrl+N", "NewCaseAction", false},
      {"ファイル(&F)", MenuItemKind::Command, "開く(&O)...", "Ctrl+O", "OpenCaseAction", false},
      {"ファイル(&F)", MenuItemKind::Command, "上書き保存(&S)", "Ctrl+S", "SaveCaseAction", false},
      {"ファイル(&F)", MenuItemKind::Command, "名前を付けて保存(&A)...", "Ctrl+Shift+S", "SaveCaseAsAction", false},
      {"ファイル(&F)", MenuItemKind::Separator, "", "", "", false},
      {"ファイル(&F)", MenuItemKind::Command, "気象統計から読み込む(&M)...", "", "ImportMetStatsAction", false},
      {"ファイル(&F)", MenuItemKind::Command, "サイト濃度分布(&D)...", "", "OpenSiteAction", false},
      {"ファイル(&F)", MenuItemKind::Command, "サイトの編集(&E)...", "", "EditSiteAction", false},
      {"ファイル(&F)", MenuItemKind::Separator, "", "", "", false},
      {"ファイル(&F)", MenuItemKind::RecentFiles, "最近使ったファイル(&R)", "", "RecentFilesMenu", false},
      {"ファイル(&F)", MenuItemKind::Separator, "", "", "", false},
      {"ファイル(&F)", MenuItemKind::Command, "終了(&X)", "", "ExitAction", false},
      {"編集(&E)", MenuItemKind::Command, "コピー(&C)", "Ctrl+C", "CopyCellsAction", true},
      {"編集(&E)", MenuItemKind::Command, "貼り付け(&P)", "Ctrl+V", "PasteCellsAction", true},
      {"ヘルプ(&H)", MenuItemKind::Command, "説明書(&M)", "F1", "ManualAction", false},
      {"ヘルプ(&H)", MenuItemKind::Command, "バージョン情報(&A)", "", "VersionAction", false},
  };
  ASSERT_EQ(MenuItems().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const MenuItem& item = MenuItems()[i];
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(item.Menu, expected[i].menu);
    EXPECT_EQ(item.Kind, expected[i].kind);
    EXPECT_EQ(item.Text, expected[i].text);
    EXPECT_EQ(item.Shortcut, expected[i].shortcut);
    EXPECT_EQ(item.Name, expected[i].name);
    EXPECT_EQ(item.GridOnly, expected[i].gridOnly);
    if (item.Kind == MenuItemKind::Command) {
      EXPECT_EQ(&MenuItemOf(item.Command), &item);
    }
  }
}

TEST(MenuTableTest, ShortcutTextsGiveTheirKeys) {
  const struct {
    const char* text;
    bool valid, ctrl, shift, alt;
    char key;
    int function;
  } cases[] = {
      {"Ctrl+N", true, true, false, false, 'N', 0},   {"Ctrl+Shift+S", true, true, true, false, 'S', 0},
      {"Alt+4", true, false, false, true, '4', 0},    {"", false, false, false, false, 0, 0},
      {"Ctrl+", false, false, false, false, 0, 0},    {"Meta+S", false, false, false, false, 0, 0},
      {"Ctrl+s", false, false, false, false, 0, 0},   {"F1", true, false, false, false, 0, 1},
      {"Ctrl+F10", true, true, false, false, 0, 10},  {"F12", true, false, false, false, 0, 12},
      {"F13", false, false, false, false, 0, 0},      {"F0", false, false, false, false, 0, 0},
      {"F01", false, false, false, false, 0, 0},      {"Fx", false, false, false, false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto keys = ParseShortcut(c.text);
    ASSERT_EQ(keys.has_value(), c.valid);
    if (!keys) continue;
    EXPECT_EQ(keys->Ctrl, c.ctrl);
    EXPECT_EQ(keys->Shift, c.shift);
    EXPECT_EQ(keys->Alt, c.alt);
    EXPECT_EQ(keys->Key, c.key);
    EXPECT_EQ(keys->Function, c.function);
  }
  for (const MenuItem& item : MenuItems()) {
    EXPECT_EQ(ParseShortcut(item.Shortcut).has_value(), !item.Shortcut.empty()) << item.Name;
  }
}

TEST(FormRulesTest, NumericFieldsAndTheFieldsThatCalculate) {
  int numeric = 0;
  for (const ControlDef& def : FormLayout()) {
    const bool expected = def.Kind == ControlKind::Edit && def.Name != "memoOption" && def.Name != "WDEdit";
    EXPECT_EQ(IsNumericField(def.Name), expected) << def.Name;
    numeric += expected ? 1 : 0;
    EXPECT_EQ(EnterCalculates(def.Name), def.Name == "XrpEdit") << def.Name;
    EXPECT_EQ(ButtonCalculates(def.Name), def.Name == "CalcGoButton") << def.Name;
  }
  EXPECT_GT(numeric, 20);
  EXPECT_FALSE(IsNumericField("NoSuchEdit"));
}

TEST(FormRulesTest, DefaultExtensionOfSavedNames) {
  const FileDialog saveCase = SaveCaseDialog({});
  const FileDialog openCase = OpenCaseDialog({});
  const FileDialog exportProfile = ProfileExportDialog();
  const struct {
    const FileDialog* dialog;
    std::string path;
    int filter;
    std::string expected;
  } cases[] = {
      {&saveCase, Native("/c/named"), 0, Native("/c/named.json")},
      {&saveCase, Native("/c/named"), 1, Native("/c/named.json")},  // すべてのファイル: still a case file
      {&saveCase, Native("/c/named.txt"), 0, Native("/c/named.txt")},
      {&saveCase, Native("/c.d/named"), 0, Native("/c.d/named.json")},  // a dot in the folder only
      {&saveCase, Native("/c/named."), 0, Native("/c/named..json")},
      {&saveCase, "", 0, ""},  // cancelled
      {&openCase, Native("/c/named"), 0, Native("/c/named")},  // an open dialog adds nothing
      {&exportProfile, "p", 0, "p.png"},
      {&exportProfile, "p", 1, "p.svg"},
      {&exportProfile, "p", 2, "p.csv"},
      {&exportProfile, "p.CSV", 0, "p.CSV"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChosenPath(*c.dialog, {c.path, c.filter}), c.expected) << c.path << " " << c.filter;
  }
}

TEST(FormRulesTest, DropOpensTheFirstLocalJsonFile) {
  const struct {
    std::vector<std::string> dropped;
    std::string opens;
  } cases[] = {
      {{Native("/c/a.json")}, Native("/c/a.json")},
      {{Native("/c/A.JSON")}, Native("/c/A.JSON")},
      {{Native("/c/notes.txt"), Native("/c/b.Json"), Native("/c/c.json")}, Native("/c/b.Json")},
      {{"", Native("/c/d.json")}, Native("/c/d.json")},  // a web address first
      {{Native("/c/notes.txt")}, ""},
      {{Native("/c/json")}, ""},
      {{Native("/c/a.json.bak")}, ""},
      {{}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DroppedCaseFile(c.dropped), c.opens) << c.opens;
}

}  // namespace
