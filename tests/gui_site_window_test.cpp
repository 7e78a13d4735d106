// The site window: opens the example site, shows its maximum, points and map, follows the
// mouse with the exact value, zooms and pans, saves the files, and refuses a bad site file
// with a message box.
#ifdef VMK_HAVE_SITE_WINDOW

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/window/form1.h"
#include "app/window/qt_text.h"
#include "app/window/site_window.h"
#include "casefile/input_help.h"
#include "common/json_document.h"
#include "common/numtext.h"
#include "plot/map_labels.h"
#include "form_test_support.h"
#include "scratch_files.h"
#include "site/assessment.h"
#include "site/site_tables.h"

namespace {

namespace fs = std::filesystem;
using vmk::SiteWindow;

const QString kExample = QString::fromStdString((fs::path(VMK_SOURCE_DIR) / "examples" / "two-stacks" / "site.json").string());

using vmk::Utf8ToQString;

class SiteWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = vmk::OpenSiteWindow(nullptr, kExample);
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
  }
  void TearDown() override { delete window_; }

  SiteWindow* window_ = nullptr;
};

TEST_F(SiteWindowTest, MaximumLabelShowsEachStacksViewAndTheReceptorsWithoutValue) {
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("サイト濃度分布 - site.json"));
  const vmk::SiteResult& r = window_->Result();
  ASSERT_TRUE(r.MaxIndex.has_value());
  const QString max = window_->MaximumLabel()->text();
  EXPECT_TRUE(max.startsWith(QStringLiteral("C = ") + Utf8ToQString(vmk::ShortestFloatText(r.Total[*r.MaxIndex])))) << max.toStdString();
  EXPECT_TRUE(max.contains(QStringLiteral("1号ボイラ: R = "))) << max.toStdString();
  // The node on the stack, with the limits the window checks a distance against.
  const QString missing = QStringLiteral("値なし (煙突から ") +
                          Utf8ToQString(vmk::LimitText(vmk::RLowerLimit, vmk::InputKind::Real)) +
                          QStringLiteral(" m 未満または ") +
                          Utf8ToQString(vmk::LimitText(vmk::RUpperLimit, vmk::InputKind::Real)) +
                          QStringLiteral(" m 超): 1 点");
  EXPECT_TRUE(max.endsWith(missing)) << max.toStdString();
}

TEST_F(SiteWindowTest, PointsTableShowsEachPointsValues) {
  const vmk::SiteResult& r = window_->Result();
  QTableWidget* t = window_->PointsTable();
  ASSERT_EQ(t->rowCount(), 3);
  ASSERT_EQ(t->columnCount(), 7);
  EXPECT_EQ(t->horizontalHeaderItem(6)->text(), QStringLiteral("C 2号焼却炉"));
  const std::size_t q = window_->Plan().Receptors.PointBegin();
  EXPECT_EQ(t->item(0, 0)->text(), QStringLiteral("みなと小学校"));
  EXPECT_EQ(t->item(0, 4)->text(), Utf8ToQString(vmk::ShortestFloatText(r.Total[q])));
  EXPECT_EQ(t->item(2, 3)->text(), QStringLiteral("10"));
  EXPECT_EQ(t->item(2, 5)->text(), Utf8ToQString(vmk::ShortestFloatText(r.StackC[0][q + 2])));
}

// The value line is the site's exact value at the place it names: at a point of the site it
// is the point's number.
TEST_F(SiteWindowTest, ValueLineIsTheExactValueOfThePlaceItNames) {
  const vmk::SiteResult& r = window_->Result();
  const std::size_t q = window_->Plan().Receptors.PointBegin() + 1;  // 東町住宅地, at the common height
  const QString text = window_->ValueLineAt(-1200.2, -2499.9);
  EXPECT_TRUE(text.startsWith(QStringLiteral("x = -1200 m, y = -2500 m: C = ") + Utf8ToQString(vmk::ShortestFloatText(r.Total[q]))))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("2号焼却炉 ") + Utf8ToQString(vmk::ShortestFloatText(r.StackC[1][q])))) << text.toStdString();
  EXPECT_TRUE(window_->ValueLineAt(0, 0).contains(QStringLiteral("(値なし)")));  // on the stack
}

TEST_F(SiteWindowTest, MovingTheMouseShowsTheValueOfTheGroundUnderIt) {
  vmk::SiteMapView* map = window_->Map();
  const vmk::MapScene& scene = map->Scene();
  const auto [px, py] = scene.ToPixel(-1200, -2500);
  QTest::mouseMove(map, QPoint(static_cast<int>(px), static_cast<int>(py)));
  QApplication::processEvents();
  const vmk::MapPoint g = map->Scene().ToGround(static_cast<int>(px), static_cast<int>(py));
  EXPECT_EQ(window_->ValueLabel()->text(), window_->ValueLineAt(g.first, g.second));
  EXPECT_TRUE(window_->ValueLabel()->text().startsWith(QStringLiteral("x = -1"))) << window_->ValueLabel()->text().toStdString();
}

TEST_F(SiteWindowTest, ZoomKeepsTheGroundUnderTheMouseAndPanMovesIt) {
  vmk::SiteMapView* map = window_->Map();
  const QPointF at(300, 250);
  const vmk::MapPoint before = map->Scene().ToGround(at.x(), at.y());
  const double mpp = map->View().MetresPerPixel;
  map->ZoomBy(2, at);
  EXPECT_DOUBLE_EQ(map->View().MetresPerPixel, mpp / 2);
  const vmk::MapPoint after = map->Scene().ToGround(at.x(), at.y());
  EXPECT_NEAR(after.first, before.first, 1e-6);
  EXPECT_NEAR(after.second, before.second, 1e-6);
  map->PanBy(QPointF(10, -20));
  const vmk::MapPoint moved = map->Scene().ToGround(at.x(), at.y());
  EXPECT_NEAR(moved.first, before.first - 10 * mpp / 2, 1e-6);
  EXPECT_NEAR(moved.second, before.second - 20 * mpp / 2, 1e-6);
  // The wheel zooms in; "全体表示" shows the whole grid again.
  QWheelEvent wheel(at, map->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(map, &wheel);
  EXPECT_LT(map->View().MetresPerPixel, mpp / 2);
  window_->findChild<QPushButton*>(QStringLiteral("SiteFitButton"))->click();
  EXPECT_DOUBLE_EQ(map->View().MetresPerPixel, mpp);
}

// "極座標の受容点" shows the 640 polar receptors as dots and hides them again, keeping the view;
// the example's basemap lies under the bands.
TEST_F(SiteWindowTest, PolarReceptorsToggleAndTheBasemapUnderTheBands) {
  vmk::SiteMapView* map = window_->Map();
  const auto dots = [&] {
    const auto& circles = map->Scene().Inside.Circles;
    return std::count_if(circles.begin(), circles.end(), [](const vmk::PlotCircle& c) { return c.Radius < 2; });
  };
  QCheckBox* polar = window_->PolarCheckBox();
  EXPECT_EQ(polar->text(), QStringLiteral("極座標の受容点"));
  EXPECT_FALSE(polar->isChecked());  // the site has a grid
  EXPECT_EQ(dots(), 0);
  map->ZoomBy(0.25, QPointF(400, 400));  // out, to see the 20 km ring
  const double mpp = map->View().MetresPerPixel;
  polar->click();
  EXPECT_EQ(dots(), 16 * 40);
  EXPECT_EQ(map->View().MetresPerPixel, mpp);
  polar->click();
  EXPECT_EQ(dots(), 0);
#ifdef VMK_HAVE_GDAL
  const vmk::MapScene& scene = map->Scene();
  EXPECT_EQ(scene.Images.size(), 1u);
  EXPECT_EQ(scene.GroundFills.size(), 1u);   // the coast
  EXPECT_EQ(scene.Ground.Polylines.size(), 5u);  // the river and four roads
  for (const vmk::PlotFill& band : scene.Fills) EXPECT_EQ(band.Opacity, vmk::kBandOpacity);
#endif
  if (const char* dir = std::getenv("VMK_SITE_SCREENSHOT_DIR")) {
    map->ResetView();
    window_->grab().save(QString::fromUtf8(dir) + QStringLiteral("/site-window.png"));
    map->ZoomBy(20, QPointF(map->Scene().ToPixel(100, -60).first, map->Scene().ToPixel(100, -60).second));
    window_->grab().save(QString::fromUtf8(dir) + QStringLiteral("/site-window-zoom.png"));
  }
}

// The width a name is given on the map is never much less than Qt's font draws it in.
TEST(MapLabelWidths, EstimateHoldsTheFontsWidth) {
  const char* names[] = {"1号ボイラ", "2号焼却炉", "みなと小学校", "東町住宅地", "市民病院", "最大 0.6501",
                         "最大 1.234e-05", "No.2", "煙突A", "P-1", "地点29", "ｱｲｳｴｵ工場", "WWW mmm 000"};
  for (const bool bold : {false, true}) {
    for (const int size : {12, 13}) {
      QStringList families;
      for (const char* f : vmk::kPlotFontFamilyList) families << QString::fromLatin1(f);
      QFont font(families.front());
      font.setFamilies(families);
      font.setPixelSize(size);
      font.setBold(bold);
      QImage device(4, 4, QImage::Format_RGB32);
      const QFontMetricsF metrics(font, &device);
      for (const char* name : names) {
        const double real = metrics.horizontalAdvance(QString::fromUtf8(name));
        EXPECT_LE(real, vmk::EstimatedTextWidth(name, size, bold) + 2) << name << " " << size << " bold " << bold;
      }
    }
  }
}

TEST_F(SiteWindowTest, SavesEveryFileIntoANewFolder) {
  vmk::scratch::ScratchDir dir;
  const fs::path out = dir / "saved";
  EXPECT_FALSE(window_->SaveFiles(QString::fromStdString(out.string())).has_value());
  for (const char* name : {"points.csv", "grid.csv", "polar.csv", "grid.tif", "isopleths.gpkg", "map.png", "map.svg"}) {
    EXPECT_TRUE(fs::exists(out / name)) << name;
  }
  const std::string csv = vmk::scratch::ReadBytes(out / "points.csv");
  EXPECT_EQ(csv, vmk::PointsCsv(window_->Plan(), window_->Result()));
}

TEST_F(SiteWindowTest, SavingIntoAFileSaysItIsNotAFolder) {
  vmk::scratch::ScratchDir dir;
  const std::string aFile = dir.NewFile("a-file", "x");
  const auto problem = window_->SaveFiles(QString::fromStdString(aFile));
  ASSERT_TRUE(problem.has_value());
  EXPECT_EQ(*problem, QStringLiteral("保存先 ") + QString::fromStdString(vmk::QuoteForMessage(aFile)) +
                          QStringLiteral(" はフォルダではありません。"));
  EXPECT_EQ(vmk::scratch::ReadBytes(aFile), "x");
}

// With pollutants: a tab per pollutant beside the map with the table of assessment.csv as the
// summary shows it, and the map and the value line of the pollutant whose tab is chosen.
TEST(SiteWindowAssessment, EachPollutantsTableAndMap) {
  const QString path = QString::fromStdString((fs::path(VMK_SOURCE_DIR) / "examples" / "assessment" / "site.json").string());
  std::unique_ptr<SiteWindow> window(vmk::OpenSiteWindow(nullptr, path));
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QTabWidget* tabs = window->AssessmentTabs();
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->tabText(3), QStringLiteral("ダイオキシン類"));
  // The SO2 table: the exact numbers of assessment.csv, 寄与率 and the 2 % value rounded.
  tabs->setCurrentIndex(1);
  auto* table = tabs->currentWidget()->findChild<QTableWidget*>(QStringLiteral("SiteAssessmentTable"));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rowCount(), 4);
  EXPECT_EQ(table->horizontalHeaderItem(5)->text(), QStringLiteral("2%除外値\n(ppm)"));
  const vmk::PollutantRun& so2 = window->Pollutants()[1];
  const std::string csv = vmk::AssessmentCsv({so2});
  const std::size_t q = so2.Plan.Receptors.PointBegin();  // みなと小学校
  const vmk::AssessmentRow row = vmk::AssessRow(so2.Terms, so2.Result.Total[q]);
  EXPECT_EQ(table->item(1, 0)->text(), QStringLiteral("みなと小学校"));
  for (int c : {1, 3}) EXPECT_NE(csv.find("," + table->item(1, c)->text().toStdString() + ","), std::string::npos) << c;
  EXPECT_EQ(table->item(1, 2)->text(), QStringLiteral("0.002"));
  EXPECT_EQ(table->item(1, 4)->text().toStdString(), row.ShareShown);
  EXPECT_EQ(table->item(1, 5)->text().toStdString(), row.Value.Rounded(3, vmk::DecimalRounding::HalfUp).Text());
  EXPECT_EQ(table->item(1, 7)->text(), QStringLiteral("適合"));
  // The tab chose the map: its title and the value line are SO2's, C in ppb.
  EXPECT_EQ(window->Shown(), 1);
  EXPECT_EQ(window->MapChoice()->currentIndex(), 2);
  const auto& texts = window->Map()->Scene().Outside.Texts;
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const auto& t) { return t.Text.starts_with("SO2 寄与濃度 C (ppb)"); }));
  EXPECT_TRUE(window->ValueLineAt(1800, 900).startsWith(QStringLiteral("x = 1800 m, y = 900 m: C = ") +
                                                        Utf8ToQString(vmk::ShortestFloatText(so2.Result.Total[q])) +
                                                        QStringLiteral(" ppb")));
  window->MapChoice()->setCurrentIndex(0);
  EXPECT_EQ(window->Shown(), -1);
  EXPECT_TRUE(window->ValueLineAt(1800, 900).startsWith(QStringLiteral("x = 1800 m, y = 900 m: C = ") +
                                                        Utf8ToQString(vmk::ShortestFloatText(window->Result().Total[window->Plan().Receptors.PointBegin()]))));
  tabs->setCurrentIndex(0);  // NO2 with its fit, for a picture
  if (const char* dir = std::getenv("VMK_SCREENSHOT_DIR")) {
    window->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/site-window-assessment.png"));
  }
  vmk::scratch::ScratchDir out;
  ASSERT_FALSE(window->SaveFiles(QString::fromStdString((out / "saved").string())).has_value());
  EXPECT_EQ(vmk::scratch::ReadBytes(out / "saved" / "assessment.csv"), vmk::AssessmentCsv(window->Pollutants()));
}

TEST(SiteWindowOpen, BadSiteFileShowsItsLineAndOpensNothing) {
  vmk::scratch::ScratchDir dir;
  const std::string path = dir.NewFile("bad.json", R"({"format": "vmk-site/1", "sources": []})");
  QString shown;
  QTimer::singleShot(50, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  EXPECT_EQ(vmk::OpenSiteWindow(nullptr, QString::fromStdString(path)), nullptr);
  EXPECT_EQ(shown, QStringLiteral("サイトファイルの誤り:\nキー \"met\" がありません"));
}

// The main window opens a site file in a window of its own and stays as it is.
TEST(SiteMenu, OpensTheSiteInASecondWindow) {
  vmk::Form1 main;
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  main.SetFileChooser([](bool, const QString&) { return kExample; });
  const vmk::FormRecord before = main.Form();
  main.findChild<QAction*>(QStringLiteral("OpenSiteAction"))->trigger();
  auto* site = main.findChild<SiteWindow*>();
  ASSERT_NE(site, nullptr);
  EXPECT_TRUE(site->isWindow());
  EXPECT_EQ(site->windowTitle(), QStringLiteral("サイト濃度分布 - site.json"));
  EXPECT_EQ(main.Form().Grid, before.Grid);
  vmk::formtest::ExpectSameInputs(main.Form(), before);
  EXPECT_FALSE(main.HasUnsavedEdits());
  delete site;
}

}  // namespace

#endif  // VMK_HAVE_SITE_WINDOW
