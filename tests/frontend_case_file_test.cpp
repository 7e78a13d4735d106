// Case files through the frontend: the question before unsaved edits would be lost (its three
// answers for new, open, recent, drop and close), save and open, files that cannot be opened,
// failed saves that keep the old file, and recent files that are gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

#include "casefile/case_file.h"
#include "form_test_support.h"
#include "frontend_test_support.h"
#include "platform/testing.h"
#include "scratch_files.h"

namespace {

using namespace vmk;
using fronttest::FakeWindow;
using scratch::ReadBytes;

class FrontendCaseFileTest : public ::testing::Test {
 protected:
  std::string File(const char* name) const { return dir_.File(name); }
  std::string Bytes(const char* name) const { return ReadBytes(dir_ / name); }

  scratch::ScratchDir dir_;
  FakeWindow w_;
};

// Every way of leaving the edits, with each answer: キャンセル stays with the edits, いいえ goes
// on without saving, はい saves to the document's file first.
TEST_F(FrontendCaseFileTest, SaveQuestionsThreeAnswersForEveryWayOfLeaving) {
  const std::string other = File("other.json"), current = File("current.json");
  const struct {
    const char* way;
    std::function<void(FakeWindow&)> leave;
    const char* qgAfter;  // QgEdit when the way went on
    const char* titleAfter;  // null: the window closes, whatever its title
  } ways[] = {
      {"new", [](FakeWindow& w) { Execute(w.Fe, MenuCommand::NewCase); }, " 10", "VMK - 1"},
      {"open", [&](FakeWindow& w) { w.Files = {other}; Execute(w.Fe, MenuCommand::OpenCase); }, " 42",
       "VMK - 1 - other.json"},
      {"recent", [&](FakeWindow& w) { OpenRecentFile(w.Fe, w.Fe.Document.Recent.at(1)); }, " 42",
       "VMK - 1 - other.json"},
      {"drop", [&](FakeWindow& w) { OpenDroppedFile(w.Fe, other); }, " 42", "VMK - 1 - other.json"},
      {"close", [](FakeWindow& w) { Execute(w.Fe, MenuCommand::Exit); }, "20", nullptr},
  };
  for (const auto& way : ways) {
    for (const SaveAnswer answer : {SaveAnswer::Cancel, SaveAnswer::Discard, SaveAnswer::Save}) {
      SCOPED_TRACE(std::string(way.way) + " " + std::to_string(static_cast<int>(answer)));
      FakeWindow w;
      ASSERT_TRUE(SaveCaseFile(w.Fe, other));
      scratch::WriteBytes(dir_ / "other.json", R"({"QgEdit": " 42"})");
      ASSERT_TRUE(SaveCaseFile(w.Fe, current));
      const std::string saved = Bytes("current.json");
      w.Type("QgEdit", "20");
      w.SaveAnswers = {answer};
      way.leave(w);
      ASSERT_EQ(w.Questions.size(), 1u);
      EXPECT_EQ(w.Questions[0].Informative, "current.json に保存していない変更があります。");
      if (answer == SaveAnswer::Cancel) {
        EXPECT_EQ(std::tuple(w.Form().Text("QgEdit"), w.Title, w.Closes), std::tuple("20", "VMK - 1 - current.json *", 0));
        EXPECT_TRUE(w.Dialogs.empty());  // nothing asked after the question
      } else {
        EXPECT_EQ(Cp932ToUtf8(w.Form().Text("QgEdit")), way.qgAfter);
        if (way.titleAfter != nullptr) { EXPECT_EQ(w.Title, way.titleAfter); }
        EXPECT_EQ(w.Closes, std::string(way.way) == "close" ? 1 : 0);
      }
      const bool savedNow = answer == SaveAnswer::Save;
      EXPECT_EQ(Bytes("current.json") != saved, savedNow);
      if (savedNow) { EXPECT_NE(Bytes("current.json").find("\"QgEdit\": \"20\""), std::string::npos); }
    }
  }
  // Nothing unsaved: no question at all.
  FakeWindow w;
  Execute(w.Fe, MenuCommand::NewCase);
  Execute(w.Fe, MenuCommand::Exit);
  EXPECT_TRUE(w.Questions.empty());
  EXPECT_EQ(w.Closes, 1);
}

TEST_F(FrontendCaseFileTest, YesWithoutAFileAsksForANameAndStaysWhenThatIsCancelled) {
  w_.Type("HoEdit", "30");
  w_.SaveAnswers = {SaveAnswer::Save, SaveAnswer::Save};
  Execute(w_.Fe, MenuCommand::Exit);  // the name dialog cancelled
  EXPECT_EQ(w_.Closes, 0);
  ASSERT_EQ(w_.Dialogs.size(), 1u);
  EXPECT_EQ(w_.Dialogs[0].Caption, "名前を付けて保存");
  EXPECT_TRUE(w_.Edited());
  w_.Files = {File("named")};  // no extension: a case file
  Execute(w_.Fe, MenuCommand::Exit);
  EXPECT_EQ(std::tuple(w_.Closes, w_.Title), std::tuple(1, "VMK - 1 - named.json"));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "named.json"));
}

TEST_F(FrontendCaseFileTest, SaveThenOpenGivesEveryControlBack) {
  // A distinct text in every edit field and every input cell, every check box clicked.
  int n = 0;
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::Edit) {
      w_.Form().Text(def.Name) = Sj(" " + std::to_string(++n) + ".5 風");
    } else if (def.Kind == ControlKind::CheckBox) {
      w_.Form()[def.Name].Checked = !w_.Form()[def.Name].Checked;
      CheckBoxClicked(w_.Fe, def.Name);
    }
  }
  for (std::size_t r = 1; r <= 10; ++r) {
    for (std::size_t c = 1; c <= 13; ++c) w_.Form().Grid[r][c] = std::to_string(r * 100 + c);
  }
  ASSERT_TRUE(SaveCaseFile(w_.Fe, File("all.json")));
  EXPECT_EQ(w_.Title, "VMK - 1 - all.json");
  const FormRecord saved = w_.Form();
  EXPECT_EQ(Bytes("all.json"), CaseFileText(saved));  // UTF-8, keys in the layout's order
  Execute(w_.Fe, MenuCommand::NewCase);  // nothing unsaved: no question
  EXPECT_TRUE(w_.Questions.empty());
  EXPECT_EQ(std::tuple(w_.Title, w_.Form().Text("QgEdit")), std::tuple("VMK - 1", " 10"));
  EXPECT_FALSE(w_.Form().Checked("NOxTrnCheckBox"));
  ASSERT_TRUE(OpenCaseFile(w_.Fe, File("all.json")));
  EXPECT_EQ(std::tuple(w_.Title, w_.Fe.Document.Path), std::tuple("VMK - 1 - all.json", AbsolutePath(File("all.json"))));
  formtest::ExpectSameInputs(w_.Form(), saved);
  EXPECT_EQ(std::tuple(w_.Form().Grid[10][2], w_.Form().Grid[3][13]), std::tuple("", ""));  // never the totals
  EXPECT_FALSE(w_.Edited());
}

TEST_F(FrontendCaseFileTest, OpeningStartsAfreshAsTheCommandLineDoes) {
  // A calculation leaves results, totals and a profile; opening a file clears them all, and its
  // check boxes act as clicks.
  Calculate(w_.Fe);
  ASSERT_NE(w_.Form().Text("QhResultLabel"), "");
  ASSERT_TRUE(w_.Fe.Profile.HasProfile);
  scratch::WriteBytes(dir_ / "nox.json", R"({"NOxTrnCheckBox": true, "MetStringGrid": {"4,8": " 100"}})");
  ASSERT_TRUE(OpenCaseFile(w_.Fe, File("nox.json")));
  EXPECT_EQ(std::tuple(w_.Form().Text("QhResultLabel"), w_.Form().Grid[1][13], w_.Form().Grid[4][8]),
            std::tuple("", "", " 100"));
  EXPECT_EQ(w_.Status(), fronttest::kStartStatus);
  EXPECT_TRUE(w_.Form().Checked("NOxTrnCheckBox"));
  EXPECT_TRUE(w_.Form()["kEdit"].Enabled);
  EXPECT_FALSE(w_.Fe.Profile.HasProfile);
  EXPECT_GT(w_.EditsEnded, 0);  // a cell being typed into is closed first
}

TEST_F(FrontendCaseFileTest, FilesTheCommandLineWouldRejectChangeNothing) {
  const struct {
    const char* name;
    const char* bytes;  // null: the file does not exist
    const char* says;
  } bad[] = {
      {"syntax.json", R"({"QgEdit": " 1",})", "not valid JSON"},
      {"key.json", R"({"QgEdit": " 1", "NoSuchEdit": "x"})", "unknown key \"NoSuchEdit\""},
      {"type.json", R"({"NOxTrnCheckBox": "yes"})", "must be true or false"},
      {"array.json", R"([{"QgEdit": " 1"}])",
       "計算の並び (配列) のケースファイルです。ウィンドウで開けるのは一つのオブジェクトのファイルだけです"
       " (並びは vmk-calc で計算できます)。"},
      {"missing.json", nullptr, "cannot open"},
  };
  ASSERT_TRUE(SaveCaseFile(w_.Fe, File("good.json")));
  w_.Type("QgEdit", "33");
  for (const auto& b : bad) {
    SCOPED_TRACE(b.name);
    if (b.bytes != nullptr) scratch::WriteBytes(dir_ / b.name, b.bytes);
    w_.Messages.clear();
    EXPECT_FALSE(OpenCaseFile(w_.Fe, File(b.name)));
    ASSERT_EQ(w_.Messages.size(), 1u);
    const MessageText& m = w_.Messages[0];
    EXPECT_EQ(std::tuple(m.Name, m.Title, m.Icon), std::tuple("FileProblemBox", "VMK Ver.1", MessageIcon::Warning));
    EXPECT_EQ(m.Text.rfind(std::string(b.name) + " を開けません:\n", 0), 0u) << m.Text;
    EXPECT_NE(m.Text.find(b.says), std::string::npos) << m.Text;
    EXPECT_EQ(std::tuple(w_.Form().Text("QgEdit"), w_.Title), std::tuple("33", "VMK - 1 - good.json *"));
  }
  EXPECT_EQ(w_.Fe.Document.Recent, std::vector<std::string>{AbsolutePath(File("good.json"))});
}

// A failed save leaves the old file as it was, says why, keeps the edits unsaved and leaves no
// temporary file behind.
TEST_F(FrontendCaseFileTest, FailedSavesKeepTheOldFileAndTheEdits) {
  for (const char* folder : {"folder.json", "ro"}) std::filesystem::create_directory(dir_ / folder);
  const std::string inReadOnly = File("ro/case.json");
  ASSERT_TRUE(SaveCaseFile(w_.Fe, inReadOnly));
  const std::string old = ReadBytes(dir_ / "ro" / "case.json");
  w_.Type("QgEdit", "77");
  const bool readOnlyRefuses = platform::testing::ReadOnlyFoldersRefuseNewFiles();
  if (readOnlyRefuses) std::filesystem::permissions(dir_ / "ro", std::filesystem::perms::owner_write,
                                                    std::filesystem::perm_options::remove);
  for (const std::string& path : {File("folder.json"), File("no-such-folder/case.json"), inReadOnly}) {
    if (path == inReadOnly && !readOnlyRefuses) continue;
    SCOPED_TRACE(path);
    w_.Messages.clear();
    EXPECT_FALSE(SaveCaseFile(w_.Fe, path));
    ASSERT_EQ(w_.Messages.size(), 1u);
    EXPECT_EQ(w_.Messages[0].Text.rfind("保存できませんでした (前のファイルはそのままです):\n", 0), 0u);
    EXPECT_TRUE(w_.Edited());
    EXPECT_EQ(std::tuple(w_.Messages[0].Name, w_.Title, w_.Fe.Document.Path),
              std::tuple("FileProblemBox", "VMK - 1 - case.json *", AbsolutePath(inReadOnly)));
  }
  std::filesystem::permissions(dir_ / "ro", std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "folder.json"));
  EXPECT_EQ(ReadBytes(dir_ / "ro" / "case.json"), old);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::recursive_directory_iterator(dir_.Path())) ++entries;
  EXPECT_EQ(entries, 3);  // folder.json, ro, ro/case.json
}

TEST_F(FrontendCaseFileTest, RecentFilesMenuFollowsOpensAndSavesAndDropsGoneFiles) {
  EXPECT_EQ(w_.RecentMenu.at(0).Text, "(なし)");
  ASSERT_TRUE(SaveCaseFile(w_.Fe, File("a.json")));
  ASSERT_TRUE(SaveCaseFile(w_.Fe, File("b.json")));
  ASSERT_EQ(w_.RecentMenu.size(), 2u);
  EXPECT_EQ(w_.RecentMenu[0].Text, "&1 " + NativePath(AbsolutePath(File("b.json"))));
  // Choosing an entry opens that file.
  OpenRecentFile(w_.Fe, w_.RecentMenu[1].Path);
  EXPECT_EQ(std::tuple(w_.Title, w_.RecentMenu[0].Path), std::tuple("VMK - 1 - a.json", AbsolutePath(File("a.json"))));
  // A file that cannot be opened stays in the list; one that is gone leaves it.
  scratch::WriteBytes(dir_ / "b.json", "{");
  OpenRecentFile(w_.Fe, AbsolutePath(File("b.json")));
  EXPECT_EQ(w_.RecentMenu.size(), 2u);
  std::filesystem::remove(dir_ / "b.json");
  OpenRecentFile(w_.Fe, AbsolutePath(File("b.json")));
  ASSERT_EQ(w_.RecentMenu.size(), 1u);
  EXPECT_EQ(std::tuple(w_.Messages.size(), w_.Title), std::tuple(2u, "VMK - 1 - a.json"));
}

}  // namespace
