// Copy and paste of the frequency grid's cells, and full-width digits typed into the numeric
// fields and the cells.
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

TEST_F(GridClipboardTest, SpreadsheetBlockLandsInTheRightCellsAsTyped) {
  // As a spreadsheet copies two rows of three cells: CR LF line ends, the last one too, a
  // quoted cell, full-width digits from an input method.
  QApplication::clipboard()->setText(QStringLiteral("12\t\"3\"\t\r\n\" 1.5\"\t４５\t0\r\n"));
  grid_->setCurrentCell(4, 6);
  window_->PasteGridCells();
  EXPECT_EQ(Cell(4, 6), QStringLiteral("12"));
  EXPECT_EQ(Cell(4, 7), QStringLiteral("3"));
  EXPECT_EQ(Cell(4, 8), QString());  // an empty cell is pasted as an empty text
  EXPECT_EQ(Cell(5, 6), QStringLiteral(" 1.5"));
  EXPECT_EQ(Cell(5, 7), QStringLiteral("45"));
  EXPECT_EQ(Cell(5, 8), QStringLiteral("0"));
  EXPECT_EQ(Cell(4, 5), QStringLiteral("   0"));  // the neighbours are untouched
  EXPECT_EQ(Cell(6, 6), QStringLiteral("   0"));
  EXPECT_EQ(Cell(4, 9), QStringLiteral("   0"));
  EXPECT_TRUE(window_->HasUnsavedEdits());
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("VMK - 1 *"));
  // The pasted block is selected.
  const QList<QTableWidgetSelectionRange> sel = grid_->selectedRanges();
  ASSERT_EQ(sel.size(), 1);
  EXPECT_EQ(sel[0].topRow(), 4);
  EXPECT_EQ(sel[0].leftColumn(), 6);
  EXPECT_EQ(sel[0].bottomRow(), 5);
  EXPECT_EQ(sel[0].rightColumn(), 8);

  // The pasted texts reach the calculation like typed ones: row 5, column 7 is 45 hours.
  window_->ReadWidgets();
  EXPECT_EQ(window_->Form().Grid[5][7], "45");
}

TEST_F(GridClipboardTest, BlockReachingTheTotalsIsRefusedAndChangesNothing) {
  const QStringList before = AllCells();
  struct Case {
    QString Text;
    int Row, Col;
  } cases[] = {
      {QStringLiteral("1\r\n2\r\n"), 9, 3},          // the second line reaches row 10
      {QStringLiteral("1\t2\t3\r\n"), 6, 11},       // the third cell reaches column 13
      {QStringLiteral("1\r\n2\r\n3\r\n"), 9, 3},    // leaves the grid
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text.toStdString());
    QApplication::clipboard()->setText(c.Text);
    grid_->setCurrentCell(c.Row, c.Col);
    BoxAnswerer answers;
    window_->PasteGridCells();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Name, QStringLiteral("PasteProblemBox"));
    EXPECT_TRUE(answers.Seen()[0].Text.startsWith(QStringLiteral("貼り付けませんでした: ")));
    EXPECT_EQ(AllCells(), before);
  }
  EXPECT_FALSE(window_->HasUnsavedEdits());
}

TEST_F(GridClipboardTest, CopyTakesTheSelectionOrEveryInputCell) {
  grid_->SetCellText(4, 2, QStringLiteral("12"));
  grid_->clearSelection();
  grid_->setRangeSelected(QTableWidgetSelectionRange(3, 1, 4, 3), true);
  window_->CopyGridCells();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("  -\t   0\t   0\n 1.5\t12\t   0\n"));

  grid_->clearSelection();
  window_->CopyGridCells();
  const QString all = QApplication::clipboard()->text();
  const QStringList lines = all.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 10);  // nine lines, each ending in a line end
  EXPECT_EQ(lines[9], QString());
  EXPECT_EQ(lines[0].split(QLatin1Char('\t')).size(), 12);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral(" 0.4\t   0\t")));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral(" 0.7\t 0.00\t")));

  // Copied and pasted back one row lower, the block lands as it was.
  grid_->setRangeSelected(QTableWidgetSelectionRange(4, 2, 4, 3), true);
  window_->CopyGridCells();
  grid_->setCurrentCell(6, 2);
  window_->PasteGridCells();
  EXPECT_EQ(Cell(6, 2), QStringLiteral("12"));
  EXPECT_EQ(Cell(6, 3), QStringLiteral("   0"));
}

TEST_F(GridClipboardTest, KeysPasteIntoTheGridOnlyWhileItHasTheFocus) {
  QApplication::clipboard()->setText(QStringLiteral("8\t9\n"));
  grid_->setFocus();
  grid_->setCurrentCell(7, 4);
  QTest::keyClick(grid_, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Cell(7, 4), QStringLiteral("8"));
  EXPECT_EQ(Cell(7, 5), QStringLiteral("9"));

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
