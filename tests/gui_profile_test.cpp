// The distance profile page of the Qt window: a fourth page behind the layout's three that
// paints the frontend's chart scene, shows its line and saves through 保存.... The profile
// itself, its line and the export by extension: frontend_profile_test.cpp.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/window/form1.h"
#include "app/window/frequency_grid_widget.h"
#include "app/window/profile_page.h"
#include "app/window/qt_text.h"
#include "app/window/window_fonts.h"
#include "gui_test_support.h"
#include "plot/svg_writer.h"

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
  void TearDown() override { vmk::guitest::CloseWithoutSaving(window_.get()); }

  void SetText(const char* name, const QString& text) { window_->ControlAs<QLineEdit>(name)->setText(text); }
  QString Status() const { return window_->ControlAs<QLabel>("messageLabel")->text(); }
  void Calculate() { window_->ControlAs<QPushButton>("CalcGoButton")->click(); }
  // The chart as the page shows it.
  QImage Chart() const {
    window_->Tabs()->setCurrentIndex(3);
    QApplication::processEvents();
    return page_->ChartView()->grab().toImage();
  }
  // How many pixels of the chart have the colour of the profile's curve (31, 95, 191), nearly.
  static int CurvePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (std::abs(c.red() - 31) < 40 && std::abs(c.green() - 95) < 40 && std::abs(c.blue() - 191) < 40) ++n;
      }
    }
    return n;
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
  EXPECT_EQ(page_->Summary()->text(), QStringLiteral(" 計算結果がありません"));
  EXPECT_FALSE(page_->ExportButton()->isEnabled());
  EXPECT_EQ(page_->ExportButton()->text(), QStringLiteral("保存..."));
  EXPECT_EQ(CurvePixels(Chart()), 0);
  const QRect inside = page_->rect();
  const QWidget* view = page_->ChartView();
  EXPECT_TRUE(inside.contains(view->geometry())) << view->geometry().height();
  EXPECT_GE(view->height(), 200);
  EXPECT_TRUE(inside.contains(page_->Summary()->geometry()));
  EXPECT_GE(page_->Summary()->height(), page_->Summary()->fontMetrics().height());
  EXPECT_EQ(page_->Summary()->font(), vmk::ControlFont());
}

// A calculation with a result paints the frontend's chart and its line; one without empties both.
TEST_F(ProfilePageTest, CalculationPaintsTheSceneThatSaveWrites) {
  window_->Grid()->SetCellText(5, 6, QStringLiteral("100"));
  SetText("HoEdit", QStringLiteral(" 50.0"));
  SetText("XrpEdit", QStringLiteral(" 1000.0"));
  Calculate();
  ASSERT_EQ(Status(), kStatusOk);
  const vmk::ProfileView& shown = window_->Front().Profile;
  ASSERT_TRUE(shown.HasProfile);
  EXPECT_EQ(vmk::PlotSvg(page_->Scene()), vmk::PlotSvg(shown.Scene));
  EXPECT_EQ(page_->Summary()->text(), vmk::Utf8ToQString(shown.Summary));
  EXPECT_TRUE(page_->ExportButton()->isEnabled());
  const QImage chart = Chart();
  EXPECT_GT(CurvePixels(chart), 200);

  // 保存... asks through the window's file chooser and writes the picture.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  window_->Front().Hooks.ChooseFile = [&](const vmk::FileDialog& d) {
    EXPECT_EQ(d.Caption, "距離分布を保存");
    return vmk::FileChoice{dir.filePath(QStringLiteral("p")).toStdString(), 1};  // SVG 画像
  };
  page_->ExportButton()->click();
  QFile svg(dir.filePath(QStringLiteral("p.svg")));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  EXPECT_EQ(svg.readAll().toStdString(), vmk::PlotSvg(shown.Scene));

  SetText("QgEdit", QStringLiteral("x"));
  Calculate();
  EXPECT_EQ(page_->Summary()->text(), QStringLiteral(" 計算結果がありません"));
  EXPECT_FALSE(page_->ExportButton()->isEnabled());
  EXPECT_EQ(CurvePixels(Chart()), 0);
}

}  // namespace
