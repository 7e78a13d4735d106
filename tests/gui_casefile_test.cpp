// Case files in the window: save and open, the title and its mark for unsaved edits, the
// question before edits would be lost, failed saves that keep the old file, files that cannot
// be opened, recent files and dropped files; the menu bar and its commands.
#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <string>

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/window/form1.h"
#include "app/window/frequency_grid_widget.h"
#include "casefile/case_file.h"
#include "form/form_layout.h"
#include "file_size_limit.h"
#include "form_test_support.h"
#include "gui_test_support.h"

namespace {

using vmk::Form1;
using vmk::guitest::BoxAnswerer;

const QString kStartStatus = QStringLiteral(" VMK  Ver.1  操作法・計算手法は説明ﾌｧｲﾙをお読みください。");

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

class CaseFileWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    window_ = std::make_unique<Form1>();
    ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(window_.get()));
    // No file dialog in the tests: the chooser names the file, or cancels with "".
    window_->SetFileChooser([this](bool forSave, const QString&) {
      ++chooserCalls_;
      return forSave ? saveAnswer_ : openAnswer_;
    });
  }
  void TearDown() override {
    // Whatever a test left unsaved, the window closes without asking.
    if (window_ && window_->HasUnsavedEdits()) vmk::guitest::CloseWithoutSaving(window_.get());
  }

  QString Path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }
  QLineEdit* Edit(const char* name) const { return window_->ControlAs<QLineEdit>(name); }
  QString Title() const { return window_->windowTitle(); }
  // Types into a field as the user would (the window sees the edit).
  void Type(const char* field, const QString& text) {
    QLineEdit* edit = Edit(field);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  QTemporaryDir dir_;
  std::unique_ptr<Form1> window_;
  QString saveAnswer_;
  QString openAnswer_;
  int chooserCalls_ = 0;
};

TEST_F(CaseFileWindowTest, SaveThenOpenGivesEveryControlBack) {
  // A distinct text in every edit field and every input cell, every check box set.
  int n = 0;
  for (const vmk::ControlDef& def : vmk::FormLayout()) {
    if (def.Kind == vmk::ControlKind::Edit) {
      Edit(def.Name.data())->setText(QStringLiteral(" %1.5 風").arg(++n));
    } else if (def.Kind == vmk::ControlKind::CheckBox) {
      window_->ControlAs<QCheckBox>(def.Name)->click();
    }
  }
  vmk::FrequencyGridWidget* grid = window_->Grid();
  for (int r = 1; r <= 10; ++r) {
    for (int c = 1; c <= 13; ++c) grid->SetCellText(r, c, QStringLiteral("%1").arg(r * 100 + c));
  }
  ASSERT_TRUE(window_->SaveCaseFile(Path("all.json")));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - all.json"));
  EXPECT_FALSE(window_->HasUnsavedEdits());
  const vmk::FormRecord saved = window_->Form();
  // The file is the case-file text of the form: UTF-8, keys in the layout's order.
  EXPECT_EQ(ReadAll(Path("all.json")).toStdString(), vmk::CaseFileText(saved));

  window_->NewCase();  // nothing unsaved: no question
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1"));
  EXPECT_EQ(Edit("QgEdit")->text(), QStringLiteral(" 10"));
  EXPECT_FALSE(window_->ControlAs<QCheckBox>("NOxTrnCheckBox")->isChecked());
  EXPECT_EQ(grid->CellText(4, 2), QStringLiteral("   0"));

  ASSERT_TRUE(window_->OpenCaseFile(Path("all.json")));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - all.json"));
  EXPECT_EQ(window_->CaseFilePath(), QFileInfo(Path("all.json")).absoluteFilePath());
  window_->ReadWidgets();
  vmk::formtest::ExpectSameInputs(window_->Form(), saved);
  for (const vmk::ControlDef& def : vmk::FormLayout()) {
    if (def.Kind != vmk::ControlKind::Edit && def.Kind != vmk::ControlKind::CheckBox) continue;
    EXPECT_EQ(window_->Control(def.Name)->isEnabled(), saved[def.Name].Enabled) << def.Name;
  }
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(grid->CellText(r, c), QString::number(r * 100 + c));
  }
  // Never the totals: they start empty, as after start-up.
  EXPECT_EQ(grid->CellText(10, 2), QString());
  EXPECT_EQ(grid->CellText(3, 13), QString());
  EXPECT_FALSE(window_->HasUnsavedEdits());
}

TEST_F(CaseFileWindowTest, TitleMarksEveryKindOfEditUntilTheNextSave) {
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1"));
  const QString path = Path("case.json");
  saveAnswer_ = path;

  Type("QgEdit", QStringLiteral("20"));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 *"));
  window_->SaveCase();  // no file yet: asks for a name
  EXPECT_EQ(chooserCalls_, 1);
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json"));
  EXPECT_NE(ReadAll(path).indexOf("\"QgEdit\": \"20\""), -1);

  window_->ControlAs<QCheckBox>("WDdistributeCheckBox")->click();
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json *"));
  QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);  // 上書き保存
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json"));
  EXPECT_EQ(chooserCalls_, 1);  // the file's name is known

  // A grid cell typed into.
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  vmk::FrequencyGridWidget* grid = window_->Grid();
  window_->Tabs()->setCurrentIndex(1);
  grid->setFocus();
  grid->setCurrentCell(4, 3);
  grid->editItem(grid->item(4, 3));
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, QStringLiteral("7"));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json *"));
  QTest::keyClick(editor, Qt::Key_Return);
  window_->SaveCase();
  EXPECT_EQ(grid->CellText(4, 3), QStringLiteral("7"));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json"));

  // Texts the window itself writes are no edits: a calculation, the totals, the results.
  window_->ControlAs<QPushButton>("CalcGoButton")->click();
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json"));
  // ... except the version query, which rewrites the memo a case file holds.
  Edit("memoOption")->setText(QStringLiteral("@ver@"));
  window_->ControlAs<QPushButton>("CalcGoButton")->click();
  EXPECT_EQ(Edit("memoOption")->text(), QStringLiteral("@ver@:04.3.16 c"));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json *"));
}

TEST_F(CaseFileWindowTest, CloseAsksAboutUnsavedEditsWithEachAnswer) {
  const QString path = Path("close.json");
  ASSERT_TRUE(window_->SaveCaseFile(path));
  const QByteArray before = ReadAll(path);

  // Nothing unsaved: closes without a question.
  {
    BoxAnswerer answers;
    EXPECT_TRUE(window_->close());
    EXPECT_TRUE(answers.Seen().empty());
  }
  window_->show();

  Type("HoEdit", QStringLiteral("30"));
  {  // キャンセル: the window stays, with its edits.
    BoxAnswerer answers({QStringLiteral("キャンセル")});
    EXPECT_FALSE(window_->close());
    ASSERT_EQ(answers.Seen().size(), 1u);
    const vmk::guitest::SeenBox& box = answers.Seen()[0];
    EXPECT_EQ(box.Name, QStringLiteral("SaveQuestionBox"));
    EXPECT_EQ(box.Title, QStringLiteral("VMK Ver.1"));
    EXPECT_EQ(box.Text, QStringLiteral("保存しますか?"));
    EXPECT_EQ(box.Informative, QStringLiteral("close.json に保存していない変更があります。"));
    EXPECT_TRUE(box.Buttons.contains(QStringLiteral("はい")));
    EXPECT_TRUE(box.Buttons.contains(QStringLiteral("いいえ")));
    EXPECT_TRUE(box.Buttons.contains(QStringLiteral("キャンセル")));
  }
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(Edit("HoEdit")->text(), QStringLiteral("30"));
  EXPECT_EQ(ReadAll(path), before);

  {  // いいえ: closes; the file stays as it was.
    BoxAnswerer answers({QStringLiteral("いいえ")});
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(answers.Seen().size(), 1u);
  }
  EXPECT_EQ(ReadAll(path), before);

  window_->show();
  {  // はい: saves, then closes.
    BoxAnswerer answers({QStringLiteral("はい")});
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(answers.Seen().size(), 1u);
  }
  EXPECT_NE(ReadAll(path).indexOf("\"HoEdit\": \"30\""), -1);
  EXPECT_FALSE(window_->HasUnsavedEdits());
}

TEST_F(CaseFileWindowTest, YesWithoutAFileAsksForANameAndStaysWhenThatIsCancelled) {
  Type("HoEdit", QStringLiteral("30"));
  saveAnswer_.clear();  // the name dialog is cancelled
  {
    BoxAnswerer answers({QStringLiteral("はい")});
    EXPECT_FALSE(window_->close());
  }
  EXPECT_EQ(chooserCalls_, 1);
  EXPECT_TRUE(window_->HasUnsavedEdits());

  saveAnswer_ = Path("named");  // no extension: a case file
  {
    BoxAnswerer answers({QStringLiteral("はい")});
    EXPECT_TRUE(window_->close());
  }
  EXPECT_TRUE(QFileInfo::exists(Path("named.json")));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - named.json"));
}

TEST_F(CaseFileWindowTest, NewAndOpenAskFirstAndCancelChangesNothing) {
  WriteAll(Path("other.json"), R"({"QgEdit": " 42"})");
  openAnswer_ = Path("other.json");
  Type("QgEdit", QStringLiteral("20"));
  {
    BoxAnswerer answers({QStringLiteral("キャンセル")});
    window_->NewCase();
    window_->OpenCase();
    EXPECT_EQ(answers.Seen().size(), 2u);
  }
  EXPECT_EQ(chooserCalls_, 0);
  EXPECT_EQ(Edit("QgEdit")->text(), QStringLiteral("20"));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 *"));

  {
    BoxAnswerer answers({QStringLiteral("いいえ")});
    window_->OpenCase();
  }
  EXPECT_EQ(Edit("QgEdit")->text(), QStringLiteral(" 42"));
  EXPECT_EQ(Edit("TempGEdit")->text(), QStringLiteral(" 200.0"));  // the start-up text
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - other.json"));
}

TEST_F(CaseFileWindowTest, OpeningStartsAfreshAsTheCommandLineDoes) {
  // A calculation leaves results, totals and a profile; opening a file clears them all, and
  // its check boxes act as clicks.
  window_->ControlAs<QPushButton>("CalcGoButton")->click();
  ASSERT_NE(window_->ControlAs<QLabel>("QhResultLabel")->text(), QString());
  WriteAll(Path("nox.json"), R"({"NOxTrnCheckBox": true, "MetStringGrid": {"4,8": " 100"}})");
  ASSERT_TRUE(window_->OpenCaseFile(Path("nox.json")));
  EXPECT_EQ(window_->ControlAs<QLabel>("QhResultLabel")->text(), QString());
  EXPECT_EQ(window_->ControlAs<QLabel>("messageLabel")->text(), kStartStatus);
  EXPECT_EQ(window_->Grid()->CellText(1, 13), QString());
  EXPECT_EQ(window_->Grid()->CellText(4, 8), QStringLiteral(" 100"));
  EXPECT_TRUE(window_->ControlAs<QCheckBox>("NOxTrnCheckBox")->isChecked());
  EXPECT_TRUE(Edit("kEdit")->isEnabled());
}

TEST_F(CaseFileWindowTest, FilesTheCommandLineWouldRejectChangeNothing) {
  struct Bad {
    const char* Name;
    QByteArray Bytes;  // null: the file does not exist
    QString Says;
  };
  const Bad bad[] = {
      {"syntax.json", R"({"QgEdit": " 1",})", QStringLiteral("not valid JSON")},
      {"key.json", R"({"QgEdit": " 1", "NoSuchEdit": "x"})", QStringLiteral("unknown key \"NoSuchEdit\"")},
      {"type.json", R"({"NOxTrnCheckBox": "yes"})", QStringLiteral("must be true or false")},
      {"array.json", R"([{"QgEdit": " 1"}])", QStringLiteral("配列")},
      {"missing.json", QByteArray(), QStringLiteral("cannot open")},
  };
  ASSERT_TRUE(window_->SaveCaseFile(Path("good.json")));
  Type("QgEdit", QStringLiteral("33"));
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.Name);
    if (!b.Bytes.isNull()) WriteAll(Path(b.Name), b.Bytes);
    BoxAnswerer answers;
    EXPECT_FALSE(window_->OpenCaseFile(Path(b.Name)));
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Name, QStringLiteral("FileProblemBox"));
    EXPECT_TRUE(answers.Seen()[0].Text.startsWith(QString::fromUtf8(b.Name) + QStringLiteral(" を開けません:\n")))
        << answers.Seen()[0].Text.toStdString();
    EXPECT_TRUE(answers.Seen()[0].Text.contains(b.Says)) << answers.Seen()[0].Text.toStdString();
    EXPECT_EQ(Edit("QgEdit")->text(), QStringLiteral("33"));
    EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - good.json *"));
  }
  EXPECT_EQ(window_->RecentFiles(), QStringList{QFileInfo(Path("good.json")).absoluteFilePath()});
}

// A failed save leaves the old file as it was, says why, and keeps the edits unsaved.
class FailedSaveTest : public CaseFileWindowTest {
 protected:
  void ExpectFailedSave(const QString& path) {
    BoxAnswerer answers;
    EXPECT_FALSE(window_->SaveCaseFile(path));
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Name, QStringLiteral("FileProblemBox"));
    EXPECT_TRUE(answers.Seen()[0].Text.startsWith(QStringLiteral("保存できませんでした")));
    EXPECT_TRUE(window_->HasUnsavedEdits());
  }
  // The folder holds only what it held before: no temporary file left behind.
  void ExpectOnlyFiles(const QString& folder, const QStringList& names) {
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), names);
  }
};

TEST_F(FailedSaveTest, FileTooLargeForTheDiskKeepsTheOldFile) {
  // A limit on the size of written files stops the write as a full disk would, for every
  // user, root included.
  const QString path = Path("case.json");
  ASSERT_TRUE(window_->SaveCaseFile(path));
  const QByteArray old = ReadAll(path);
  Type("QgEdit", QStringLiteral("77"));

  {
    const vmk::scratch::FileSizeLimit limit(512);
    ASSERT_TRUE(limit.Active());
    ExpectFailedSave(path);
  }

  EXPECT_EQ(ReadAll(path), old);
  ExpectOnlyFiles(dir_.path(), {QStringLiteral("case.json")});
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json *"));
}

TEST_F(FailedSaveTest, TargetIsAFolderOrInAMissingFolder) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.json")));
  Type("QgEdit", QStringLiteral("77"));
  ExpectFailedSave(Path("folder.json"));
  EXPECT_TRUE(QFileInfo(Path("folder.json")).isDir());
  ExpectFailedSave(Path("no-such-folder/case.json"));
  ExpectOnlyFiles(dir_.path(), {QStringLiteral("folder.json")});
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 *"));
  EXPECT_EQ(window_->CaseFilePath(), QString());
}

TEST_F(FailedSaveTest, ReadOnlyFolderKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder";
  const QString folder = Path("ro");
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("ro")));
  const QString path = folder + QStringLiteral("/case.json");
  ASSERT_TRUE(window_->SaveCaseFile(path));
  const QByteArray old = ReadAll(path);
  Type("QgEdit", QStringLiteral("77"));
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  ExpectFailedSave(path);
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_EQ(ReadAll(path), old);
  ExpectOnlyFiles(folder, {QStringLiteral("case.json")});
}

TEST_F(CaseFileWindowTest, RecentFilesHoldTheLastEightMostRecentFirst) {
  QStringList expected;
  for (int i = 1; i <= 10; ++i) {
    const QString path = Path(QStringLiteral("c%1.json").arg(i).toUtf8().constData());
    ASSERT_TRUE(window_->SaveCaseFile(path));
    expected.prepend(QFileInfo(path).absoluteFilePath());
  }
  expected = expected.mid(0, 8);
  EXPECT_EQ(window_->RecentFiles(), expected);
  // Opening one again moves it to the top.
  ASSERT_TRUE(window_->OpenCaseFile(Path("c5.json")));
  expected.removeAll(QFileInfo(Path("c5.json")).absoluteFilePath());
  expected.prepend(QFileInfo(Path("c5.json")).absoluteFilePath());
  EXPECT_EQ(window_->RecentFiles(), expected);

  auto* menu = window_->findChild<QMenu*>(QStringLiteral("RecentFilesMenu"));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 8);
  EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("&1 ") + QDir::toNativeSeparators(expected[0]));
  // Choosing an entry opens that file.
  Type("QgEdit", QStringLiteral("5"));
  BoxAnswerer no({QStringLiteral("いいえ")});
  menu->actions()[2]->trigger();
  EXPECT_EQ(window_->CaseFilePath(), expected[2]);
}

TEST_F(CaseFileWindowTest, DroppedJsonFileOpensAfterTheQuestion) {
  WriteAll(Path("dropped.json"), R"({"XrpEdit": " 500"})");
  Type("QgEdit", QStringLiteral("20"));

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(Path("dropped.json"))});
  EXPECT_EQ(vmk::DroppedCaseFile(&mime), Path("dropped.json"));
  QMimeData other;
  other.setUrls({QUrl::fromLocalFile(Path("notes.txt"))});
  EXPECT_EQ(vmk::DroppedCaseFile(&other), QString());

  // Dropped on a field: the file opens rather than its name going into the text.
  QLineEdit* target = Edit("HoEdit");
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  BoxAnswerer answers({QStringLiteral("いいえ")});
  QApplication::sendEvent(target, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_TRUE(QTest::qWaitFor([&] { return window_->CaseFilePath() == Path("dropped.json"); }, 3000));
  EXPECT_EQ(answers.Seen().size(), 1u);
  EXPECT_EQ(Edit("XrpEdit")->text(), QStringLiteral(" 500"));
  EXPECT_EQ(target->text(), QStringLiteral(" 10.0"));
}

// The menu bar holds the menu table: its menus in order, each command with its caption and
// shortcut.
TEST_F(CaseFileWindowTest, MenuBarHoldsTheMenuTable) {
  QStringList menus;
  for (const vmk::MenuItem& item : vmk::MenuItems()) {
    if (!menus.contains(QString::fromUtf8(item.Menu))) menus << QString::fromUtf8(item.Menu);
  }
  QStringList shown;
  for (QAction* a : window_->menuBar()->actions()) shown << a->text();
  EXPECT_EQ(shown, menus);
  for (const vmk::MenuItem& item : vmk::MenuItems()) {
    if (item.Kind != vmk::MenuItemKind::Command) continue;
    auto* action = window_->findChild<QAction*>(QString::fromUtf8(item.Name));
    ASSERT_NE(action, nullptr) << item.Name;
    EXPECT_EQ(action->text(), QString::fromUtf8(item.Text)) << item.Name;
    EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromUtf8(item.Shortcut))) << item.Name;
  }
}

// No command of the menu starts a calculation: after each (the dialogs they open cancelled or
// answered) the status line and the results are as at start-up. 終了 is left out: it closes
// the window.
TEST_F(CaseFileWindowTest, MenuCommandsNeverCalculate) {
  saveAnswer_ = Path("m.json");
  for (const vmk::MenuItem& item : vmk::MenuItems()) {
    if (item.Kind != vmk::MenuItemKind::Command || item.Command == &Form1::CloseWindow) continue;
    SCOPED_TRACE(item.Name);
    BoxAnswerer answers;
    window_->findChild<QAction*>(QString::fromUtf8(item.Name))->trigger();
    EXPECT_EQ(window_->ControlAs<QLabel>("messageLabel")->text(), kStartStatus);
    EXPECT_EQ(window_->ControlAs<QLabel>("QhResultLabel")->text(), QString());
    EXPECT_EQ(window_->ControlAs<QLabel>("ConcResLabel")->text(), QString());
  }
}

TEST_F(CaseFileWindowTest, VersionSaysTheProgramAndItsVersionStamp) {
  BoxAnswerer answers;
  window_->findChild<QAction*>(QStringLiteral("VersionAction"))->trigger();
  ASSERT_EQ(answers.Seen().size(), 1u);
  EXPECT_EQ(answers.Seen()[0].Text, QStringLiteral("VMK Ver.1\nバージョン 04.3.16 c"));
}

}  // namespace
