// The window `Form1` on Qt's offscreen platform: its start-up state, the check boxes, the
// two ways of starting a calculation, grid edits reaching the calculation, the fonts, the
// keyboard order and the error box.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/window/form1.h"
#include "app/window/frequency_grid_widget.h"
#include "gui_test_support.h"

namespace {

using vmk::Form1;

const QString kStartStatus = QStringLiteral(" VMK  Ver.1  操作法・計算手法は説明ﾌｧｲﾙをお読みください。");
const QString kStatusOk = QStringLiteral(" 入力・条件 : O.K.");
const QColor kWhite(255, 255, 255);
const QColor kActiveBorder(0xB4, 0xB4, 0xB4);

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<Form1>();
    ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(window_.get()));
  }

  void Activate() { ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(window_.get(), true)); }

  QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
  QLabel* Label(const char* name) const { return Find<QLabel>(name); }
  QString Text(const char* name) const {
    if (auto* edit = window_->ControlAs<QLineEdit>(name)) return edit->text();
    return Find<QLabel>(name)->text();
  }
  QColor Base(const char* name) const { return Edit(name)->palette().color(QPalette::Active, QPalette::Base); }
  QString Cell(int row, int col) const { return window_->Grid()->CellText(row, col); }

  template <class W>
  W* Find(const char* name) const {
    W* widget = window_->ControlAs<W>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  std::unique_ptr<Form1> window_;
};

TEST_F(WindowTest, StartsWithTheLayoutDefaults) {
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("VMK - 1"));
  // The layout's client area under the menu bar, the window no larger than both.
  EXPECT_EQ(window_->ClientArea()->size(), QSize(603, 379));
  const int menuHeight = window_->menuBar()->height();
  EXPECT_GT(menuHeight, 0);
  EXPECT_EQ(window_->ClientArea()->pos(), QPoint(0, menuHeight));
  EXPECT_EQ(window_->size(), QSize(603, 379 + menuHeight));
  EXPECT_EQ(Edit("XrpEdit")->parentWidget(), window_->ClientArea());
  QTabWidget* tabs = window_->Tabs();
  ASSERT_EQ(tabs->count(), 4);  // the layout's three pages and the distance profile behind them
  EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("SrcDataSheet"));
  EXPECT_EQ(tabs->geometry(), QRect(0, 0, 593, 309));

  const struct {
    const char* name;
    QString text;
  } defaults[] = {
      {"QgEdit", QStringLiteral(" 10")},       {"QpEdit", QStringLiteral(" 1.0E-3")},
      {"FreqTotalEdit", QStringLiteral(" 8760")}, {"dth_dz_dayEdit", QStringLiteral(" 0.003")},
      {"XrpEdit", QStringLiteral(" 100.0")},  {"memoOption", QString()},
      {"QhResultLabel", QString()},           {"ConcResLabel", QString()},
      {"messageLabel", kStartStatus},         {"TempALabel", QStringLiteral("気 温         Ta (ﾟC)")},
  };
  for (const auto& d : defaults) {
    EXPECT_EQ(Text(d.name), d.text) << d.name;
  }
  EXPECT_EQ(Find<QPushButton>("CalcGoButton")->text(), QStringLiteral("計  算"));

  // Places: edit fields and fixed-size labels as designed; other labels as wide as their caption.
  EXPECT_EQ(Edit("XrpEdit")->geometry(), QRect(48, 328, 49, 16));
  EXPECT_EQ(Edit("QgEdit")->parentWidget()->objectName(), QStringLiteral("SrcDataSheet"));
  EXPECT_EQ(Edit("QgEdit")->geometry(), QRect(120, 16, 49, 16));
  EXPECT_EQ(Label("messageLabel")->geometry(), QRect(0, 364, 561, 12));
  EXPECT_EQ(Label("HrLabel")->geometry(), QRect(0, 28, 105, 12));
  QLabel* qgLabel = Label("QgLabel");
  EXPECT_EQ(qgLabel->pos(), QPoint(8, 20));
  EXPECT_EQ(qgLabel->height(), 12);
  EXPECT_EQ(qgLabel->width(), qgLabel->sizeHint().width());
  EXPECT_LE(qgLabel->width(), 115);
  EXPECT_EQ(window_->Grid()->geometry(), QRect(0, 68, 593, 213));

  // Colours and enabled states at start.
  EXPECT_EQ(Base("QgEdit"), kWhite);
  EXPECT_TRUE(Edit("PHr_HmmultEdit")->isEnabled());
  EXPECT_EQ(Base("PHr_HmmultEdit"), QApplication::palette().color(QPalette::Active, QPalette::Button));
  EXPECT_FALSE(Edit("AlphaEdit")->isEnabled());
  EXPECT_EQ(Base("AlphaEdit"), kActiveBorder);
  EXPECT_TRUE(Label("messageLabel")->autoFillBackground());
  EXPECT_EQ(Label("messageLabel")->palette().color(QPalette::Window), kWhite);
  EXPECT_FALSE(Label("QgLabel")->autoFillBackground());
  EXPECT_FALSE(Find<QCheckBox>("NOxTrnCheckBox")->isChecked());
}

TEST_F(WindowTest, FrequencyGridStartsWithHeadersAndZeros) {
  vmk::FrequencyGridWidget* grid = window_->Grid();
  ASSERT_EQ(grid->rowCount(), 11);
  ASSERT_EQ(grid->columnCount(), 14);
  EXPECT_EQ(Cell(0, 0), QStringLiteral("風速階級"));
  EXPECT_EQ(Cell(0, 1), QStringLiteral("[m/s]"));
  EXPECT_EQ(Cell(0, 3), QStringLiteral(" A-B"));
  EXPECT_EQ(Cell(0, 13), QStringLiteral("合 計"));
  EXPECT_EQ(Cell(2, 0), QStringLiteral("  弱 風"));
  EXPECT_EQ(Cell(10, 0), QStringLiteral(" 有風合計"));
  EXPECT_EQ(Cell(2, 1), QStringLiteral(" 0.7"));
  EXPECT_EQ(Cell(1, 2), QStringLiteral("   0"));
  EXPECT_EQ(Cell(2, 12), QStringLiteral(" 0.00"));
  EXPECT_EQ(Cell(1, 13), QString());
  EXPECT_EQ(Cell(10, 2), QString());

  const int widths[] = {65, 37, 38, 38, 38, 38, 38, 38, 38, 38, 38, 38, 38, 50};
  for (int col = 0; col < 14; ++col) {
    EXPECT_EQ(grid->columnWidth(col), widths[col]) << col;
  }
  EXPECT_EQ(grid->rowHeight(5), 18);
  EXPECT_FALSE(grid->item(0, 4)->flags() & Qt::ItemIsEditable);
  EXPECT_FALSE(grid->item(6, 0)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(grid->item(6, 4)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(grid->item(10, 13)->flags() & Qt::ItemIsEditable);
}

TEST_F(WindowTest, CheckBoxesEnableAndGreyTheirFields) {
  auto* dependent = Find<QCheckBox>("PHrHmCheckBox");
  for (bool checked : {true, false, true}) {
    dependent->click();
    ASSERT_EQ(dependent->isChecked(), checked);
    EXPECT_EQ(Edit("PHr_HmmultEdit")->isEnabled(), checked);
    EXPECT_EQ(Base("PHr_HmmultEdit"), checked ? kWhite : kActiveBorder);
    EXPECT_EQ(Edit("Phr_HmEdit")->isEnabled(), !checked);
    EXPECT_EQ(Base("Phr_HmEdit"), checked ? kActiveBorder : kWhite);
  }

  Edit("kEdit")->setEnabled(true);  // a text typed earlier must survive the clicks
  Edit("kEdit")->setText(QStringLiteral(" 0.005"));
  Edit("kEdit")->setEnabled(false);
  auto* nox = Find<QCheckBox>("NOxTrnCheckBox");
  const char* fields[] = {"AlphaEdit", "BetaDayEdit", "BetaNitEdit", "kEdit", "O3dayEdit", "O3nitEdit",
                          "NOxDistAdEdit"};
  for (bool checked : {true, false}) {
    nox->click();
    ASSERT_EQ(nox->isChecked(), checked);
    EXPECT_EQ(window_->Form().Checked("NOxTrnCheckBox"), checked);
    for (const char* field : fields) {
      EXPECT_EQ(Edit(field)->isEnabled(), checked) << field;
      EXPECT_EQ(Base(field), checked ? kWhite : kActiveBorder) << field;
    }
  }
  EXPECT_EQ(Text("AlphaEdit"), QStringLiteral(" 0.83"));
  EXPECT_EQ(Text("kEdit"), QStringLiteral(" 0.005"));
}

TEST_F(WindowTest, EnterCalculatesOnlyInTheReceptorDistance) {
  for (const char* other : {"HrpEdit", "QgEdit", "memoOption"}) {
    QTest::keyClick(Edit(other), Qt::Key_Return);
    EXPECT_EQ(Text("messageLabel"), kStartStatus) << other;
    EXPECT_EQ(Text("QhResultLabel"), QString()) << other;
    EXPECT_EQ(Cell(1, 13), QString()) << other;
  }

  QSignalSpy reachedField(Edit("XrpEdit"), &QLineEdit::returnPressed);
  QTest::keyClick(Edit("XrpEdit"), Qt::Key_Return);
  EXPECT_EQ(reachedField.count(), 1);
  EXPECT_EQ(Text("messageLabel"), kStatusOk);
  EXPECT_EQ(Text("QhResultLabel"), QStringLiteral(" 5.741E5"));
  EXPECT_EQ(Text("ConcResLabel"), QStringLiteral(" 0"));
  EXPECT_EQ(Text("XrpEdit"), QStringLiteral(" 100.0"));
  EXPECT_EQ(Cell(1, 13), QStringLiteral("    0"));  // the totals, as after every calculation
}

TEST_F(WindowTest, GridEditsReachTheCalculation) {
  ASSERT_NO_FATAL_FAILURE(Activate());
  QTabWidget* tabs = window_->Tabs();
  tabs->setCurrentIndex(1);
  vmk::FrequencyGridWidget* grid = window_->Grid();
  grid->setFocus();
  grid->setCurrentCell(4, 2);
  grid->editItem(grid->item(4, 2));

  // Type into the cell's editor, Tab to the next cell, type there and commit with Enter.
  auto typeIntoEditor = [](const QString& text, Qt::Key finish) {
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, finish);
  };
  ASSERT_NO_FATAL_FAILURE(typeIntoEditor(QStringLiteral("12"), Qt::Key_Tab));
  EXPECT_EQ(grid->currentRow(), 4);
  EXPECT_EQ(grid->currentColumn(), 3);
  ASSERT_NO_FATAL_FAILURE(typeIntoEditor(QStringLiteral(" 5"), Qt::Key_Return));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(4, 2) == "12" && Cell(4, 3) == " 5"; }, 2000));
  grid->item(2, 5)->setText(QStringLiteral(" 0.25"));
  grid->item(2, 6)->setText(QStringLiteral("0.5"));

  QTest::mouseClick(Find<QPushButton>("CalcGoButton"), Qt::LeftButton);
  EXPECT_EQ(window_->Form().Grid[4][2], "12");
  EXPECT_EQ(Text("messageLabel"), kStatusOk);
  EXPECT_EQ(Cell(4, 13), QStringLiteral("   17"));
  EXPECT_EQ(Cell(10, 2), QStringLiteral("  12"));
  EXPECT_EQ(Cell(10, 3), QStringLiteral("   5"));
  EXPECT_EQ(Cell(10, 4), QStringLiteral("   0"));
  EXPECT_EQ(Cell(10, 13), QStringLiteral("   17"));
  EXPECT_EQ(Cell(2, 13), QStringLiteral("0.750"));
  EXPECT_EQ(Text("QhResultLabel"), QStringLiteral(" 5.741E5"));
  const QString conc = Text("ConcResLabel");
  EXPECT_TRUE(conc.startsWith(' ')) << conc.toStdString();
  EXPECT_NE(conc, QStringLiteral(" 0"));
  EXPECT_NE(conc, QStringLiteral(" Error "));
  EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST_F(WindowTest, ControlsUseTheJapaneseGothicFonts) {
  const QStringList proportional = {QStringLiteral("IPAPGothic"), QStringLiteral("ＭＳ Ｐゴシック"),
                                    QStringLiteral("MS PGothic")};
  const QStringList fixed = {QStringLiteral("IPAGothic"), QStringLiteral("ＭＳ ゴシック"),
                             QStringLiteral("MS Gothic")};
  for (const char* name : {"QgEdit", "QgLabel", "messageLabel"}) {
    const QFontInfo info(window_->Control(name)->font());
    EXPECT_TRUE(proportional.contains(info.family())) << name << ": " << info.family().toStdString();
    EXPECT_EQ(info.pixelSize(), 12) << name;
  }
  const QFontInfo button(Find<QPushButton>("CalcGoButton")->font());
  EXPECT_TRUE(proportional.contains(button.family())) << button.family().toStdString();

  const QFont gridFont = window_->Grid()->font();
  const QFontInfo grid(gridFont);
  EXPECT_TRUE(fixed.contains(grid.family())) << grid.family().toStdString();
  EXPECT_EQ(grid.pixelSize(), 12);
  const QFontMetrics gridMetrics(gridFont);
  EXPECT_EQ(gridMetrics.horizontalAdvance(QStringLiteral("i")), gridMetrics.horizontalAdvance(QStringLiteral("M")));
  EXPECT_EQ(2 * gridMetrics.horizontalAdvance(QStringLiteral("0")), gridMetrics.horizontalAdvance(QStringLiteral("風")));
  const QFontMetrics labelMetrics(Label("QgLabel")->font());
  EXPECT_LT(labelMetrics.horizontalAdvance(QStringLiteral("i")), labelMetrics.horizontalAdvance(QStringLiteral("M")));
}

TEST_F(WindowTest, TabWalksThePageThenTheBottomBar) {
  ASSERT_NO_FATAL_FAILURE(Activate());
  Edit("QgEdit")->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), Edit("QgEdit"));
  const char* expected[] = {"QpEdit",  "TempGEdit", "TempAmbEdit",  "DensEdit",   "HoEdit",
                            "XrpEdit", "HrpEdit",   "CalcGoButton", "memoOption"};
  for (const char* name : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window_->Control(name))
        << name << " expected, focus on "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "nothing");
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), window_->Tabs()->tabBar());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Edit("QgEdit"));
}

// Sets an environment variable until the end of the scope.
struct ScopedEnv {
  ScopedEnv(const char* n, const QByteArray& value)
      : name(n), had(qEnvironmentVariableIsSet(n)), old(qgetenv(n)) {
    qputenv(name, value);
  }
  ~ScopedEnv() { had ? qputenv(name, old) : qunsetenv(name); }
  const char* name;
  bool had;
  QByteArray old;
};

TEST_F(WindowTest, MissingReportFolderShowsTheErrorBoxAndTheWindowStaysUsable) {
  QTemporaryDir home;  // no report folder in it
  ASSERT_TRUE(home.isValid());
  ScopedEnv homeEnv("HOME", QFile::encodeName(home.path()));
  Edit("memoOption")->setText(QStringLiteral("@WA:1@ test"));

  struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool shown = false;
  } seen;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      seen = {box->windowTitle(), box->text(), box->icon(), true};
      box->accept();
    }
  });
  closer.start(10);
  Find<QPushButton>("CalcGoButton")->click();
  closer.stop();

  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.title, QStringLiteral("VMK Ver.1"));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.text, QStringLiteral("不正なﾌｧｲﾙ名です."));
  EXPECT_EQ(Text("messageLabel"), kStatusOk);
  EXPECT_EQ(Text("ConcResLabel"), QString());  // no result display after the error

  Edit("memoOption")->clear();
  QTest::keyClick(Edit("XrpEdit"), Qt::Key_Return);
  EXPECT_EQ(Text("ConcResLabel"), QStringLiteral(" 0"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The frontend's marks on the window's own labels: the results greyed with their notes after
// an edit, the warning beside 全方位有効頻度, all gone with the next calculation.
TEST_F(WindowTest, StaleResultsAreGreyedWithANoteAndTheHoursWarningStandsBesideItsField) {
  const auto textColour = [](QWidget* w) { return w->palette().color(QPalette::Active, QPalette::WindowText); };
  const QColor normal = QApplication::palette().color(QPalette::Active, QPalette::WindowText);
  const QColor grey(128, 128, 128);
  QLabel* qhNote = window_->MarkLabel("QhStaleLabel");
  QLabel* concNote = window_->MarkLabel("ConcStaleLabel");
  QLabel* warning = window_->MarkLabel("FreqTotalWarningLabel");
  ASSERT_TRUE(qhNote && concNote && warning);
  EXPECT_EQ(qhNote->parentWidget(), window_->Control("SrcDataSheet"));
  EXPECT_EQ(warning->parentWidget(), window_->Control("MetDataSheet"));

  window_->Grid()->SetCellText(4, 8, QStringLiteral("1990"));
  Edit("FreqTotalEdit")->setText(QStringLiteral("100"));
  QTest::keyClick(Edit("XrpEdit"), Qt::Key_Return);
  const QString conc = Text("ConcResLabel");
  EXPECT_TRUE(concNote->isHidden());
  EXPECT_EQ(textColour(Label("ConcResLabel")), normal);
  EXPECT_FALSE(warning->isHidden());
  EXPECT_EQ(warning->text(), QStringLiteral("全方位有効頻度 100 が表の時間 1990 より小さい: 濃度が過大になります"));

  QTest::keyClick(Edit("QgEdit"), Qt::Key_1);
  for (QLabel* note : {qhNote, concNote}) {
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->text(), QStringLiteral("(入力が変更されました: 再計算してください)"));
  }
  for (const char* result : {"QhResultLabel", "ConcResLabel"}) EXPECT_EQ(textColour(Label(result)), grey) << result;
  EXPECT_EQ(Text("ConcResLabel"), conc);

  Edit("FreqTotalEdit")->setText(QStringLiteral("8760"));
  QTest::keyClick(Edit("XrpEdit"), Qt::Key_Return);
  for (QLabel* note : {qhNote, concNote, warning}) EXPECT_TRUE(note->isHidden());
  EXPECT_EQ(textColour(Label("ConcResLabel")), normal);
}

}  // namespace

int main(int argc, char** argv) {
  // The window tests never need a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VMK Ver.1"));
  QLocale::setDefault(QLocale::c());  // the expected number texts use "." as separator
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
