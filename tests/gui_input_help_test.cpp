// After a calculation stops at an input: its page shown, the focus in it with its text
// selected, and a tooltip with the range it accepts. The status line stays as it was. Which
// page, field and range: frontend_edit_test.cpp.
#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include "app/window/form1.h"
#include "app/window/frequency_grid_widget.h"
#include "gui_test_support.h"

namespace {

using vmk::Form1;

class RejectedInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<Form1>();
    ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(window_.get(), true));
  }
  void TearDown() override {
    QToolTip::hideText();
    vmk::guitest::CloseWithoutSaving(window_.get());
  }

  QLineEdit* Edit(const char* name) const { return window_->ControlAs<QLineEdit>(name); }
  QString Status() const { return window_->ControlAs<QLabel>("messageLabel")->text(); }
  void Calculate() { window_->ControlAs<QPushButton>("CalcGoButton")->click(); }
  QString Page() const { return window_->Tabs()->currentWidget()->objectName(); }

  std::unique_ptr<Form1> window_;
};

TEST_F(RejectedInputTest, FieldGetsTheFocusWithItsTextSelectedAndTheRangeInATooltip) {
  window_->Tabs()->setCurrentIndex(2);
  Edit("QpEdit")->setText(QStringLiteral(" 0"));
  Calculate();
  EXPECT_EQ(Status(), QStringLiteral("Error: Qp: "));
  EXPECT_EQ(Page(), QStringLiteral("SrcDataSheet"));
  EXPECT_EQ(QApplication::focusWidget(), Edit("QpEdit"));
  EXPECT_EQ(Edit("QpEdit")->selectedText(), QStringLiteral(" 0"));
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), QStringLiteral("入力できる範囲: 9.99E-16 ～ 10001 の数値 (1.5E-3 の形も可)"));

  // The receptor distance in the bottom bar: the page stays; Enter there calculates.
  Edit("QpEdit")->setText(QStringLiteral(" 1.0E-3"));
  Edit("XrpEdit")->setText(QStringLiteral(" 0"));
  window_->Tabs()->setCurrentIndex(1);
  QTest::keyClick(Edit("XrpEdit"), Qt::Key_Return);
  EXPECT_EQ(Status(), QStringLiteral("Error: 予測点 R: "));
  EXPECT_EQ(Page(), QStringLiteral("MetDataSheet"));
  EXPECT_EQ(QApplication::focusWidget(), Edit("XrpEdit"));
  EXPECT_EQ(QToolTip::text(), QStringLiteral("入力できる範囲: 0.09999 ～ 100001 の数値 (1.5E-3 の形も可)"));

  // Exhaust colder than the air: the exhaust temperature's field.
  Edit("XrpEdit")->setText(QStringLiteral(" 100.0"));
  Edit("TempGEdit")->setText(QStringLiteral(" 10"));
  Calculate();
  EXPECT_EQ(Status(), QStringLiteral("T<Ta: "));
  EXPECT_EQ(QApplication::focusWidget(), Edit("TempGEdit"));
  EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("排ガス温度 T は気温 Ta 以上にしてください\n")));

  // A valid form: no tooltip is shown, the focus stays.
  QToolTip::hideText();
  ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
  Edit("TempGEdit")->setText(QStringLiteral(" 200.0"));
  Calculate();
  EXPECT_EQ(Status(), QStringLiteral(" 入力・条件 : O.K."));
  EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(RejectedInputTest, GridCellOpensWithItsTextSelected) {
  vmk::FrequencyGridWidget* grid = window_->Grid();
  grid->SetCellText(5, 4, QStringLiteral("1.5"));
  Calculate();
  EXPECT_EQ(Status(), QStringLiteral("Error: 有風 2 頻度  B): "));
  EXPECT_EQ(Page(), QStringLiteral("MetDataSheet"));
  EXPECT_EQ(grid->currentRow(), 5);
  EXPECT_EQ(grid->currentColumn(), 4);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->parentWidget()->parentWidget(), grid);  // the cell's editor
  EXPECT_EQ(editor->selectedText(), QStringLiteral("1.5"));
  EXPECT_EQ(QToolTip::text(), QStringLiteral("入力できる範囲: 0 ～ 8784 の整数"));

  // Typing replaces the selected text; Enter puts it into the cell.
  QTest::keyClicks(editor, QStringLiteral("2"));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return grid->CellText(5, 4) == QStringLiteral("2"); }, 2000));
}

}  // namespace
