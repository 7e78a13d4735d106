// Copy and paste of the frequency grid's cells through the window's clipboard and selection, the
// keys that paste only in the grid, and full-width digits typed into the numeric fields and the
// cells. Where a paste goes and when it is refused: frontend_edit_test.cpp.
#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "app/window/form1.h"
#include "app/window/frequency_grid_widget.h"
#include "gui_test_support.h"

namespace {

using vmk::Form1;
using vmk::guitest::BoxAnswerer;

class GridClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<Form1>();
    ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(window_.get(), true));
    window_->Tabs()->setCurrentIndex(1);
    grid_ = window_->Grid();
  }
  void TearDown() override { vmk::guitest::CloseWithoutSaving(window_.get()); }

  // Every cell's text, to see that a refused paste changed nothing.
  QStringList AllCells() const {
    QStringList cells;
    for (int r = 0; r < grid_->rowCount(); ++r) {
      for (int c = 0; c < grid_->columnCount(); ++c) cells << grid_->CellText(r, c);
    }
    return cells;
  }
  QString Cell(int r, int c) const { return grid_->CellText(r, c); }

  std::unique_ptr<Form1> window_;
  vmk::FrequencyGridWidget* grid_ = nullptr;
};

// The menu's copy and paste reach the grid's widget: the selection copied, the clipboard pasted at
// the current cell, the pasted block selected, a refused block in a message box.
TEST_F(GridClipboardTest, CopyAndPasteGoThroughTheGridsSelectionAndTheClipboard) {
  grid_->SetCellText(4, 2, QStringLiteral("12"));
  grid_->clearSelection();
  grid_->setRangeSelected(QTableWidgetSelectionRange(3, 1, 4, 3), true);
  window_->findChild<QAction*>(QStringLiteral("CopyCellsAction"))->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("  -\t   0\t   0\n 1.5\t12\t   0\n"));

  QApplication::clipboard()->setText(QStringLiteral("12\t\"3\"\t\r\n\" 1.5\"\t４５\t0\r\n"));
  grid_->setCurrentCell(6, 6);
  window_->findChild<QAction*>(QStringLiteral("PasteCellsAction"))->trigger();
  EXPECT_EQ(Cell(6, 6), QStringLiteral("12"));
  EXPECT_EQ(Cell(7, 7), QStringLiteral("45"));
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("VMK - 1 *"));
  const QList<QTableWidgetSelectionRange> sel = grid_->selectedRanges();
  ASSERT_EQ(sel.size(), 1);
  EXPECT_EQ(sel[0].topRow(), 6);
  EXPECT_EQ(sel[0].leftColumn(), 6);
  EXPECT_EQ(sel[0].bottomRow(), 7);
  EXPECT_EQ(sel[0].rightColumn(), 8);

  const QStringList before = AllCells();
  QApplication::clipboard()->setText(QStringLiteral("1\r\n2\r\n"));
  grid_->setCurrentCell(9, 3);
  BoxAnswerer answers;
  window_->findChild<QAction*>(QStringLiteral("PasteCellsAction"))->trigger();
  ASSERT_EQ(answers.Seen().size(), 1u);
  EXPECT_EQ(answers.Seen()[0].Name, QStringLiteral("PasteProblemBox"));
  EXPECT_TRUE(answers.Seen()[0].Text.startsWith(QStringLiteral("貼り付けませんでした: ")));
  EXPECT_EQ(AllCells(), before);
}

TEST_F(GridClipboardTest, KeysPasteIntoTheGridOnlyWhileItHasTheFocus) {
  QApplication::clipboard()->setText(QStringLiteral("8\t9\n"));
  grid_->setFocus();
  grid_->setCurrentCell(7, 4);
  QTest::keyClick(grid_, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Cell(7, 4), QStringLiteral("8"));
  EXPECT_EQ(Cell(7, 5), QStringLiteral("9"));
  // The pasted texts reach the calculation like typed ones.
  window_->ReadWidgets();
  EXPECT_EQ(window_->Form().Grid[7][5], "9");

  // In a field the keys paste into the field, as usual.
  window_->Tabs()->setCurrentIndex(0);
  auto* qg = window_->ControlAs<QLineEdit>("QgEdit");
  qg->setFocus();
  qg->selectAll();
  QApplication::clipboard()->setText(QStringLiteral("25"));
  QTest::keyClick(qg, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(qg->text(), QStringLiteral("25"));
  EXPECT_EQ(Cell(7, 4), QStringLiteral("8"));
}

TEST_F(GridClipboardTest, FullWidthDigitsBecomeHalfWidthInNumericFieldsAndCells) {
  window_->Tabs()->setCurrentIndex(0);
  auto* qg = window_->ControlAs<QLineEdit>("QgEdit");
  qg->setFocus();
  qg->selectAll();
  vmk::guitest::TypeText(qg, QStringLiteral("－１．５Ｅ＋３"));
  EXPECT_EQ(qg->text(), QStringLiteral("-1.5E+3"));
  EXPECT_EQ(qg->cursorPosition(), 7);
  // An input method hands over its text as a commit.
  qg->setCursorPosition(0);
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("２"));
  QApplication::sendEvent(qg, &commit);
  EXPECT_EQ(qg->text(), QStringLiteral("2-1.5E+3"));
  EXPECT_EQ(qg->cursorPosition(), 1);

  // The memo and the wind direction keep what was typed.
  for (const char* name : {"memoOption", "WDEdit"}) {
    auto* edit = window_->ControlAs<QLineEdit>(name);
    edit->setFocus();
    edit->selectAll();
    vmk::guitest::TypeText(edit, QStringLiteral("北東１２"));
    EXPECT_EQ(edit->text(), QStringLiteral("北東１２")) << name;
  }

  // A grid cell's editor.
  window_->Tabs()->setCurrentIndex(1);
  grid_->setFocus();
  grid_->setCurrentCell(5, 5);
  grid_->editItem(grid_->item(5, 5));
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  vmk::guitest::TypeText(editor, QStringLiteral("１２０"));
  EXPECT_EQ(editor->text(), QStringLiteral("120"));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(5, 5) == QStringLiteral("120"); }, 2000));
}

}  // namespace
