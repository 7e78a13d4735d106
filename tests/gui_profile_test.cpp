// The distance profile page of the window: a fourth page behind the layout's three, drawn
// after every calculation that showed its result and emptied after every one that did not.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QChart>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/window/form1.h"
#include "app/window/frequency_grid_widget.h"
#include "app/window/profile_page.h"
#include "app/window/qt_text.h"
#include "app/window/window_fonts.h"
#include "casefile/profile_csv.h"
#include "common/numtext.h"
#include "gui_test_support.h"
#include "model/profile.h"

namespace {

using vmk::Form1;
using vmk::ProfilePage;

const QString kStatusOk = QStringLiteral(" 入力・条件 : O.K.");

class ProfilePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<Form1>();
    ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(window_.get()));
    page_ = window_->ProfileSheet();
    ASSERT_NE(page_, nullptr);
  }

  void SetText(const char* name, const QString& text) {
    auto* edit = window_->ControlAs<QLineEdit>(name);
    ASSERT_NE(edit, nullptr) << name;
    edit->setText(text);
  }
  QString Status() const { return window_->ControlAs<QLabel>("messageLabel")->text(); }
  void Calculate() { window_->ControlAs<QPushButton>("CalcGoButton")->click(); }

  // A windy case with hours, high enough a stack that the maximum lies well off the source.
  void EnterWindyCase(const QString& r) {
    window_->Grid()->SetCellText(5, 6, QStringLiteral("100"));
    SetText("HoEdit", QStringLiteral(" 50.0"));
    SetText("XrpEdit", r);
  }

  std::unique_ptr<Form1> window_;
  ProfilePage* page_ = nullptr;
};

TEST_F(ProfilePageTest, FollowsTheLayoutPagesWithoutMovingThem) {
  QTabWidget* tabs = window_->Tabs();
  ASSERT_EQ(tabs->count(), 4);
  const char* names[] = {"SrcDataSheet", "MetDataSheet", "CalcCondSheet"};
  const QString captions[] = {QStringLiteral(" 発生源データ "), QStringLiteral(" 気象条件 "),
                              QStringLiteral(" 計算条件 ")};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(tabs->widget(i)->objectName(), QString::fromLatin1(names[i])) << i;
    EXPECT_EQ(tabs->tabText(i), captions[i]) << i;
  }
  EXPECT_EQ(tabs->widget(3), page_);
  EXPECT_EQ(tabs->tabText(3), QStringLiteral(" 距離分布 "));
  EXPECT_EQ(window_->Control("ProfileSheet"), nullptr);  // not a control of the layout
  EXPECT_FALSE(window_->Form().Has("ProfileSheet"));
  EXPECT_EQ(tabs->currentIndex(), 0);  // the window test checks that nothing else moved

  // Nothing drawn before the first calculation; the chart and its line fit in the page.
  EXPECT_EQ(page_->Curve()->count(), 0);
  EXPECT_EQ(page_->Summary()->text(), ProfilePage::NothingText());
  tabs->setCurrentIndex(3);
  QApplication::processEvents();
  const QRect inside = page_->rect();
  const QWidget* view = page_->findChild<QWidget*>(QStringLiteral("ProfileChartView"));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(inside.contains(view->geometry())) << view->geometry().height();
  EXPECT_GE(view->height(), 200);
  EXPECT_TRUE(inside.contains(page_->Summary()->geometry()));
  EXPECT_GE(page_->Summary()->height(), page_->Summary()->fontMetrics().height());
  // The window's gothic font for the page's texts.
  EXPECT_EQ(page_->Summary()->font(), vmk::ControlFont());
  EXPECT_EQ(page_->Chart()->titleFont(), vmk::ControlFont());
}

// The receptor distance inside the default range, below it and beyond it.
TEST_F(ProfilePageTest, CalculationDrawsTheProfileAndItsMaximum) {
  const struct {
    QString r;
    float from, to;
  } cases[] = {
      {QStringLiteral(" 100.0"), 10.0f, 20000.0f},
      {QStringLiteral(" 5.0"), 5.0f, 20000.0f},  // next to the stack: zero at the receptor
      {QStringLiteral(" 50000"), 10.0f, 50000.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.r.toStdString());
    EnterWindyCase(c.r);
    Calculate();
    ASSERT_EQ(Status(), kStatusOk);
    const vmk::CalcState& st = window_->State();

    const auto distances = vmk::ProfileDistances(c.from, c.to, 200, true);
    const vmk::Profile expected = vmk::ComputeProfile(st.Params, distances);
    ASSERT_GT(expected.Max.C, 0.0f);

    QLineSeries* curve = page_->Curve();
    ASSERT_EQ(curve->count(), 200);
    EXPECT_EQ(curve->at(0).x(), c.from);
    EXPECT_EQ(curve->at(199).x(), c.to);
    for (int i = 0; i < 200; i += 33) {
      EXPECT_EQ(curve->at(i).y(), expected.Points[static_cast<std::size_t>(i)].C) << i;
    }

    ASSERT_EQ(page_->ReceptorMark()->count(), 1);
    EXPECT_EQ(page_->ReceptorMark()->at(0), QPointF(st.Params.R, st.TotalConc));
    ASSERT_EQ(page_->MaximumMark()->count(), 1);
    EXPECT_EQ(page_->MaximumMark()->at(0), QPointF(expected.Max.R, expected.Max.C));

    const QString line = QStringLiteral(" 最大濃度 C = ") + vmk::Utf8ToQString(vmk::FormatGeneral(expected.Max.C, 4)) +
                         QStringLiteral(" (ppb, ng/m3)   距離 R = ") + vmk::Utf8ToQString(vmk::FormatGeneral(expected.Max.R, 4)) +
                         QStringLiteral(" m");
    EXPECT_EQ(page_->Summary()->text(), line);
    EXPECT_TRUE(page_->Chart()->title().isEmpty());
  }
}

// An input error and the file-read request both end without a result: nothing to draw, even
// after a calculation that drew a profile.
TEST_F(ProfilePageTest, CalculationWithoutResultEmptiesTheChart) {
  const struct {
    const char* field;
    QString text;
    QString status;  // empty: any input error message
  } failures[] = {
      {"QgEdit", QStringLiteral("abc"), QString()},
      {"memoOption", QStringLiteral("@RA:1@"), QStringLiteral(" proc. fileRead called ")},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.field);
    EnterWindyCase(QStringLiteral(" 1000.0"));
    SetText("QgEdit", QStringLiteral(" 10"));
    SetText("memoOption", QString());
    Calculate();
    ASSERT_EQ(page_->Curve()->count(), 200);

    SetText(f.field, f.text);
    Calculate();
    if (f.status.isEmpty()) {
      EXPECT_NE(Status(), kStatusOk);
    } else {
      EXPECT_EQ(Status(), f.status);
    }
    EXPECT_EQ(page_->Curve()->count(), 0);
    EXPECT_EQ(page_->ReceptorMark()->count(), 0);
    EXPECT_EQ(page_->MaximumMark()->count(), 0);
    EXPECT_EQ(page_->Summary()->text(), ProfilePage::NothingText());
    EXPECT_EQ(page_->Chart()->title(), ProfilePage::NothingText().trimmed());
  }
}

// The button 保存... writes the profile shown as a picture or as the command line's CSV.
TEST_F(ProfilePageTest, ExportWritesPngSvgOrTheCommandLinesCsv) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  EXPECT_FALSE(page_->ExportButton()->isEnabled());  // nothing to save before a calculation
  EXPECT_EQ(page_->ExportButton()->text(), QStringLiteral("保存..."));
  EXPECT_FALSE(page_->ExportTo(dir.filePath(QStringLiteral("x.csv"))).isEmpty());

  EnterWindyCase(QStringLiteral(" 1000.0"));
  Calculate();
  ASSERT_EQ(Status(), kStatusOk);
  EXPECT_TRUE(page_->ExportButton()->isEnabled());

  // The CSV of vmk-calc --profile 10:20000:200 --log for the same inputs.
  const vmk::Profile expected =
      vmk::ComputeProfile(window_->State().Params, vmk::ProfileDistances(10.0f, 20000.0f, 200, true));
  QString chosen = dir.filePath(QStringLiteral("p.CSV"));
  page_->SetFileChooser([&](const QString& suggested) {
    EXPECT_EQ(suggested, QStringLiteral("profile.png"));
    return chosen;
  });
  page_->ExportButton()->click();
  QFile csv(chosen);
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QByteArray csvText = csv.readAll();
  EXPECT_EQ(csvText.toStdString(), vmk::ProfileCsvText(expected));
  EXPECT_TRUE(csvText.startsWith("R (m),C,C puff,C plume\n10,"));
  EXPECT_EQ(csvText.count('\n'), 202);

  chosen = dir.filePath(QStringLiteral("p.svg"));
  page_->ExportButton()->click();
  QFile svg(chosen);
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  const QByteArray svgText = svg.readAll();
  EXPECT_TRUE(svgText.contains("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"500\""));
  EXPECT_TRUE(svgText.contains(">receptor R = 1000 m</text>"));

  const QString png = dir.filePath(QStringLiteral("p.png"));
  EXPECT_EQ(page_->ExportTo(png), QString());
  EXPECT_EQ(QImage(png).size(), QSize(800, 500));

  EXPECT_EQ(page_->ExportTo(dir.filePath(QStringLiteral("p.pdf"))),
            QStringLiteral("ファイル名の終わりを .png, .svg, .csv のどれかにしてください。"));
  EXPECT_FALSE(page_->ExportTo(dir.filePath(QStringLiteral("no-folder/p.csv"))).isEmpty());

  // A calculation without a result leaves nothing to save.
  SetText("QgEdit", QStringLiteral("x"));
  Calculate();
  EXPECT_FALSE(page_->ExportButton()->isEnabled());
}

// A maximum on the range's last distance: the line under the chart says the peak may lie beyond.
TEST_F(ProfilePageTest, SummarySaysWhenThePeakMayLieBeyondTheRange) {
  // A tall stack in strong wind, stable air: the ground-level maximum lies far downwind.
  window_->Grid()->SetCellText(9, 10, QStringLiteral("100"));
  SetText("HoEdit", QStringLiteral(" 300"));
  SetText("XrpEdit", QStringLiteral(" 1000.0"));
  Calculate();
  ASSERT_EQ(Status(), kStatusOk);
  const vmk::Profile expected =
      vmk::ComputeProfile(window_->State().Params, vmk::ProfileDistances(10.0f, 20000.0f, 200, true));
  ASSERT_EQ(expected.Max.R, 20000.0f) << "the case no longer peaks beyond 20 km";
  EXPECT_TRUE(page_->Summary()->text().endsWith(QStringLiteral("  (範囲の端: ピークは範囲の外かもしれません)")))
      << page_->Summary()->text().toStdString();
}

}  // namespace
