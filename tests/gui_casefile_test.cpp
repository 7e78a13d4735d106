// The Qt window wired to the frontend: the menu bar built from the menu table, menu actions and
// shortcuts running their commands, typed edits marking the title, the save question as a Qt
// message box on closing, recent files and dropped files. What the commands decide is tested
// without Qt in frontend_*_test.cpp.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/window/form1.h"
#include "app/window/frequency_grid_widget.h"
#include "app/window/qt_text.h"
#include "gui_test_support.h"

namespace {

using vmk::Form1;
using vmk::guitest::BoxAnswerer;

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
    window_->Front().Hooks.ChooseFile = [this](const vmk::FileDialog& d) {
      ++chooserCalls_;
      return vmk::FileChoice{(d.ForSave ? saveAnswer_ : openAnswer_).toStdString(), 0};
    };
  }
  void TearDown() override {
    // Whatever a test left unsaved, the window closes without asking.
    if (window_ && window_->Front().Document.Edited) vmk::guitest::CloseWithoutSaving(window_.get());
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

// The menu bar holds the menu table: its menus in order, each command with its caption and
// shortcut.
TEST_F(CaseFileWindowTest, MenuBarHoldsTheMenuTable) {
  QStringList menus;
  for (const std::string_view caption : vmk::MenuCaptions()) menus << vmk::Utf8ToQString(caption);
  QStringList shown;
  for (QAction* a : window_->menuBar()->actions()) shown << a->text();
  EXPECT_EQ(shown, menus);
  for (const vmk::MenuItem& item : vmk::MenuItems()) {
    if (item.Kind != vmk::MenuItemKind::Command) continue;
    auto* action = window_->findChild<QAction*>(vmk::Utf8ToQString(item.Name));
#ifndef VMK_HAVE_SITE_WINDOW
    if (item.Command == vmk::MenuCommand::OpenSite || item.Command == vmk::MenuCommand::EditSite) {
      EXPECT_EQ(action, nullptr);
      continue;
    }
#endif
    ASSERT_NE(action, nullptr) << item.Name;
    EXPECT_EQ(action->text(), vmk::Utf8ToQString(item.Text)) << item.Name;
    EXPECT_EQ(action->shortcut(), QKeySequence(vmk::Utf8ToQString(item.Shortcut))) << item.Name;
  }
}

TEST_F(CaseFileWindowTest, TypedEditsMarkTheTitleAndShortcutsRunTheirCommands) {
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1"));
  saveAnswer_ = Path("case");
  Type("QgEdit", QStringLiteral("20"));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 *"));
  QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);  // 上書き保存: asks for a name
  EXPECT_EQ(chooserCalls_, 1);
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json"));
  EXPECT_NE(ReadAll(Path("case.json")).indexOf("\"QgEdit\": \"20\""), -1);

  // A grid cell typed into.
  ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(window_.get(), true));
  vmk::FrequencyGridWidget* grid = window_->Grid();
  window_->Tabs()->setCurrentIndex(1);
  grid->setFocus();
  grid->setCurrentCell(4, 3);
  grid->editItem(grid->item(4, 3));
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, QStringLiteral("7"));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json *"));
  // Saved with the cell's editor still open: the typed text is saved.
  QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - case.json"));
  EXPECT_NE(ReadAll(Path("case.json")).indexOf("\"4,3\": \"7\""), -1);

  // 新規作成 from the menu: the widgets show the start-up form again.
  window_->findChild<QAction*>(QStringLiteral("NewCaseAction"))->trigger();
  EXPECT_EQ(Edit("QgEdit")->text(), QStringLiteral(" 10"));
  EXPECT_EQ(grid->CellText(4, 3), QStringLiteral("   0"));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1"));

  // バージョン情報 in a message box.
  BoxAnswerer answers;
  window_->findChild<QAction*>(QStringLiteral("VersionAction"))->trigger();
  ASSERT_EQ(answers.Seen().size(), 1u);
  EXPECT_EQ(answers.Seen()[0].Name, QStringLiteral("VersionBox"));
  EXPECT_EQ(answers.Seen()[0].Title, QStringLiteral("VMK Ver.1"));
  EXPECT_EQ(answers.Seen()[0].Text, QStringLiteral("VMK Ver.1\nバージョン 04.3.16 c"));
}

TEST_F(CaseFileWindowTest, MetImportFromTheMenuFillsTheWidgets) {
  vmk::MetStats stats;
  stats.ValidHours = 8700;
  stats.Directions[2].Windy[0][3] = 40;
  const std::string json = vmk::MetStatsJson(stats);
  WriteAll(Path("met.json"), QByteArray::fromStdString(json));
  openAnswer_ = Path("met.json");
  QString seenList;
  window_->Front().Hooks.ChooseDirection = [&](const vmk::DirectionQuestion& q) {
    seenList = vmk::Utf8ToQString(q.Items.at(2));
    return 2;
  };
  window_->findChild<QAction*>(QStringLiteral("ImportMetStatsAction"))->trigger();
  EXPECT_TRUE(seenList.startsWith(QStringLiteral("NE   北東")));
  EXPECT_EQ(Edit("WDEdit")->text(), QStringLiteral(" NE"));
  EXPECT_EQ(Edit("FreqTotalEdit")->text(), QStringLiteral(" 8700"));
  EXPECT_EQ(window_->Grid()->CellText(4, 5), QStringLiteral("40"));
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 *"));
}

TEST_F(CaseFileWindowTest, CloseAsksTheSaveQuestionInAMessageBox) {
  const QString path = Path("close.json");
  ASSERT_TRUE(vmk::SaveCaseFile(window_->Front(), path.toStdString()));
  const QByteArray before = ReadAll(path);
  {  // Nothing unsaved: closes without a question.
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
    EXPECT_EQ(box.Buttons.size(), 3);
    for (const QString& b : {QStringLiteral("はい"), QStringLiteral("いいえ"), QStringLiteral("キャンセル")}) {
      EXPECT_TRUE(box.Buttons.contains(b)) << b.toStdString();
    }
  }
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(Edit("HoEdit")->text(), QStringLiteral("30"));
  {  // 終了 and いいえ: closes; the file stays as it was.
    BoxAnswerer answers({QStringLiteral("いいえ")});
    window_->findChild<QAction*>(QStringLiteral("ExitAction"))->trigger();
    EXPECT_FALSE(window_->isVisible());
  }
  EXPECT_EQ(ReadAll(path), before);
  window_->show();
  {  // はい: saves, then closes.
    BoxAnswerer answers({QStringLiteral("はい")});
    EXPECT_TRUE(window_->close());
  }
  EXPECT_NE(ReadAll(path).indexOf("\"HoEdit\": \"30\""), -1);
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - close.json"));
}

TEST_F(CaseFileWindowTest, RecentFilesMenuOpensItsEntries) {
  for (const char* name : {"c1.json", "c2.json"}) {
    ASSERT_TRUE(vmk::SaveCaseFile(window_->Front(), Path(name).toStdString()));
  }
  auto* menu = window_->findChild<QMenu*>(QStringLiteral("RecentFilesMenu"));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 2);
  EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("&1 ") + QDir::toNativeSeparators(Path("c2.json")));
  Type("QgEdit", QStringLiteral("5"));
  BoxAnswerer no({QStringLiteral("いいえ")});
  menu->actions()[1]->trigger();
  EXPECT_EQ(Title(), QStringLiteral("VMK - 1 - c1.json"));
  EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("&1 ") + QDir::toNativeSeparators(Path("c1.json")));
}

TEST_F(CaseFileWindowTest, DroppedJsonFileOpensAfterTheQuestion) {
  WriteAll(Path("dropped.json"), R"({"XrpEdit": " 500"})");
  Type("QgEdit", QStringLiteral("20"));

  QMimeData mime;
  mime.setUrls({QUrl(QStringLiteral("https://example.org/a.json")), QUrl::fromLocalFile(Path("dropped.json"))});
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
  EXPECT_TRUE(QTest::qWaitFor([&] { return Title() == QStringLiteral("VMK - 1 - dropped.json"); }, 3000));
  EXPECT_EQ(answers.Seen().size(), 1u);
  EXPECT_EQ(Edit("XrpEdit")->text(), QStringLiteral(" 500"));
  EXPECT_EQ(target->text(), QStringLiteral(" 10.0"));
}

}  // namespace
