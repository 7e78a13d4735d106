// The site editor as a user works it: the met file chosen, stacks and points pasted from a
// spreadsheet and placed on the map, a bad value refused with its cell selected, saved, 計算
// run in the background and its result shown as the site window shows the saved file.
#ifdef VMK_HAVE_SITE_WINDOW

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/window/qt_text.h"
#include "app/window/site_editor.h"
#include "app/window/site_window.h"
#include "gui_test_support.h"
#include "scratch_files.h"
#include "site/export/site_job.h"

namespace {

namespace fs = std::filesystem;
using vmk::SiteEditor;

const QString kMet = QString::fromStdString((fs::path(VMK_SOURCE_DIR) / "examples" / "two-stacks" / "met.json").string());

void SendMouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
  QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

TEST(SiteEditorWindow, PastedSiteSavedComputedAndShown) {
  vmk::scratch::ScratchDir dir;
  const QString path = QString::fromStdString(vmk::scratch::TextOf(dir / "site.json"));
  SiteEditor editor;
  std::deque<QString> choices = {kMet};
  editor.SetFileChooser([&](bool, const QString&) {
    const QString c = choices.empty() ? QString() : choices.front();
    if (!choices.empty()) choices.pop_front();
    return c;
  });
  ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(&editor));
  editor.ChooseMetClicked();
  ASSERT_TRUE(editor.Document().Met);
  EXPECT_EQ(editor.windowTitle(), QStringLiteral("サイトの編集 *"));

  // Two stacks from a spreadsheet, by Ctrl+V at the first cell: name, x, y, Qg, Qp, T, Ta,
  // ρ, Ho; one with a height out of range.
  QTableWidget* stacks = editor.StackTable();
  QApplication::clipboard()->setText(QStringLiteral("1号ボイラ\t0\t0\t45\t0.012\t180\t\t\t590\r\n"
                                                    "2号焼却炉\t350\t-120\t12\t0.0012\t160\t\t\t35\r\n"));
  stacks->setFocus();
  QTest::keyClick(stacks, Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(stacks->rowCount(), 2);
  EXPECT_EQ(stacks->item(1, 0)->text(), QStringLiteral("2号焼却炉"));
  ASSERT_EQ(editor.Document().Stacks.size(), 2u);
  editor.PasteInto(editor.PointTable(), QStringLiteral("みなと小学校\t1800\t900\t1.5\n"));
  editor.GridXEdit()->selectAll();
  QTest::keyClicks(editor.GridXEdit(), "-2000:2000:41");
  auto* gridY = editor.findChild<QLineEdit*>(QStringLiteral("SiteGridYEdit"));
  gridY->selectAll();
  QTest::keyClicks(gridY, "-2000:2000:41");
  EXPECT_EQ(editor.Document().GridY, "-2000:2000:41");

  // 計算 saves first: the height is refused in Japanese with its range, and its cell selected.
  choices = {path};
  {
    vmk::guitest::BoxAnswerer answers;
    editor.ComputeClicked();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Name, QStringLiteral("SiteProblemBox"));
    EXPECT_TRUE(answers.Seen()[0].Text.contains(QStringLiteral("煙突 \"1号ボイラ\" の「実煙突高さ Ho (m)」 \"590\"")))
        << answers.Seen()[0].Text.toStdString();
    EXPECT_TRUE(answers.Seen()[0].Text.contains(QStringLiteral("0.499 ～ 301"))) << answers.Seen()[0].Text.toStdString();
  }
  EXPECT_FALSE(fs::exists(dir / "site.json"));
  const int ho = vmk::ColumnOfControl(vmk::StackColumns(), "HoEdit");
  EXPECT_EQ(stacks->currentRow(), 0);
  EXPECT_EQ(stacks->currentColumn(), ho);

  // Typed right, placed and dragged on the map.
  stacks->item(0, ho)->setText(QStringLiteral("５９"));  // full-width, as an input method types it
  EXPECT_EQ(editor.Document().Stacks[0][static_cast<std::size_t>(ho)], "59");
  EXPECT_EQ(stacks->item(0, ho)->text(), QStringLiteral("59"));
  editor.PlaceChoice()->setCurrentIndex(2);  // a click places a point
  vmk::SiteMapView* map = editor.Map();
  const QPointF click(map->width() * 0.3, map->height() * 0.4);
  const vmk::MapPoint ground = map->Scene().ToGround(click.x(), click.y());
  SendMouse(map, QEvent::MouseButtonPress, click, Qt::LeftButton);
  SendMouse(map, QEvent::MouseButtonRelease, click, Qt::NoButton);
  ASSERT_EQ(editor.Document().Points.size(), 2u);
  EXPECT_EQ(editor.Document().Points[1][0], "地点1");
  EXPECT_EQ(editor.Document().Points[1][1], vmk::PlacedCoordinateText(ground.first));
  EXPECT_EQ(editor.Document().Points[1][2], vmk::PlacedCoordinateText(ground.second));
  const auto [sx, sy] = map->Scene().ToPixel(350, -120);  // 2号焼却炉's mark
  const QPointF to(sx + 40, sy - 25);
  const vmk::MapPoint dropped = map->Scene().ToGround(to.x(), to.y());
  SendMouse(map, QEvent::MouseButtonPress, QPointF(sx, sy), Qt::LeftButton);
  SendMouse(map, QEvent::MouseMove, to, Qt::LeftButton);
  SendMouse(map, QEvent::MouseButtonRelease, to, Qt::NoButton);
  EXPECT_EQ(editor.Document().Stacks[1][1], vmk::PlacedCoordinateText(dropped.first));
  EXPECT_EQ(editor.Document().Stacks[1][2], vmk::PlacedCoordinateText(dropped.second));
  EXPECT_EQ(editor.Document().Points.size(), 2u);  // a drag places nothing

  // Saved and computed in the background with the progress bar; the result is the saved file's.
  choices = {path};
  vmk::SiteWindow* shown = nullptr;
  QObject::connect(&editor, &SiteEditor::Computed, [&](vmk::SiteWindow* w) { shown = w; });
  editor.ComputeClicked();
  EXPECT_TRUE(editor.Running() || shown != nullptr);
  EXPECT_TRUE(editor.Progress()->isVisible() || shown != nullptr);
  QTRY_VERIFY_WITH_TIMEOUT(shown != nullptr, 120000);
  EXPECT_FALSE(editor.Progress()->isVisible());
  EXPECT_EQ(editor.windowTitle(), QStringLiteral("サイトの編集 - site.json"));
  const vmk::ComputedSite again = vmk::ComputeSiteFile(path.toStdString(), {});
  const std::vector<float>& total = shown->Result().Total;
  ASSERT_EQ(total.size(), again.Result.Total.size());
  EXPECT_EQ(std::memcmp(total.data(), again.Result.Total.data(), total.size() * sizeof(float)), 0);
  ASSERT_EQ(shown->PointsTable()->rowCount(), 2);
  EXPECT_EQ(shown->PointsTable()->item(0, 0)->text(), QStringLiteral("みなと小学校"));
  EXPECT_EQ(shown->windowTitle(), QStringLiteral("サイト濃度分布 - site.json"));

  // Reopened, the same site.
  SiteEditor reopened;
  ASSERT_TRUE(reopened.OpenFile(path));
  EXPECT_EQ(reopened.Document(), editor.Document());
  delete shown;
}

TEST(SiteEditorWindow, CancelStopsTheRunAndUnsavedEditsAreAsked) {
  vmk::scratch::ScratchDir dir;
  const QString path = QString::fromStdString(vmk::scratch::TextOf(dir / "site.json"));
  SiteEditor editor;
  std::deque<QString> choices = {kMet, path};
  editor.SetFileChooser([&](bool, const QString&) {
    const QString c = choices.front();
    choices.pop_front();
    return c;
  });
  editor.ChooseMetClicked();
  // A large grid, so that the run lasts long enough to be stopped.
  editor.PasteInto(editor.StackTable(), QStringLiteral("A\t0\t0\nB\t100\t50\nC\t-300\t20"));
  editor.GridXEdit()->selectAll();
  QTest::keyClicks(editor.GridXEdit(), "-5000:5000:1001");
  auto* gridY = editor.findChild<QLineEdit*>(QStringLiteral("SiteGridYEdit"));
  gridY->selectAll();
  QTest::keyClicks(gridY, "-5000:5000:1001");
  editor.ComputeClicked();
  ASSERT_TRUE(editor.Running());
  editor.CancelButton()->click();
  QTRY_VERIFY_WITH_TIMEOUT(!editor.Running(), 60000);
  EXPECT_EQ(editor.Result(), nullptr);
  EXPECT_TRUE(editor.ComputeButton()->isEnabled());

  // An edit, then 新規: the save question; いいえ discards it.
  editor.StackTable()->item(0, 0)->setText(QStringLiteral("A2"));
  EXPECT_TRUE(editor.Document().Modified);
  vmk::guitest::BoxAnswerer answers({QStringLiteral("いいえ")});
  editor.NewClicked();
  ASSERT_EQ(answers.Seen().size(), 1u);
  EXPECT_EQ(answers.Seen()[0].Name, QStringLiteral("SaveQuestionBox"));
  EXPECT_EQ(editor.Document(), vmk::NewSiteDocument());
  EXPECT_EQ(editor.StackTable()->rowCount(), 0);
}

// A pollutant typed into the tables: the block is written once every cell is sound, and a bad
// emission is named on the status line while the block keeps its last sound rows.
TEST(SiteEditorWindow, PollutantTypedIntoTheTables) {
  SiteEditor editor;
  ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(&editor));
  editor.PasteInto(editor.StackTable(), QStringLiteral("A\t0\t0\nB\t100\t50"));
  editor.Pages()->setCurrentIndex(3);
  editor.findChild<QPushButton*>(QStringLiteral("SitePollutantAddButton"))->click();
  QTableWidget* table = editor.PollutantTable();
  QTableWidget* emissions = editor.EmissionTable();
  ASSERT_EQ(table->rowCount(), 1);
  ASSERT_EQ(emissions->rowCount(), 2);
  EXPECT_EQ(editor.Document().Pollutants, "");
  const QString cells[] = {QStringLiteral("SO2"), QStringLiteral("m3N/s"), QStringLiteral("0.002"), QStringLiteral("ppm")};
  for (int c = 0; c < 4; ++c) table->item(0, c)->setText(cells[c]);
  table->item(0, 8)->setText(QStringLiteral("SO2"));
  emissions->item(0, 0)->setText(QStringLiteral("0.004"));
  emissions->item(1, 1)->setCheckState(Qt::Checked);
  ASSERT_NE(editor.Document().Pollutants, "");
  const std::optional<std::vector<vmk::PollutantChoice>> rows = vmk::PollutantChoicesOf(editor.Document());
  ASSERT_TRUE(rows && rows->size() == 1);
  EXPECT_EQ((*rows)[0].Stacks[0].Qp, "0.004");
  EXPECT_TRUE((*rows)[0].Stacks[1].No2);
  EXPECT_EQ(emissions->horizontalHeaderItem(0)->text(), QStringLiteral("SO2 Qp"));

  const std::string kept = editor.Document().Pollutants;
  emissions->item(1, 0)->setText(QStringLiteral("x"));
  EXPECT_EQ(editor.Document().Pollutants, kept);
  auto* status = editor.findChild<QLabel*>(QStringLiteral("SiteEditorStatus"));
  EXPECT_TRUE(status->text().contains(QStringLiteral("汚染物質 \"SO2\" の「排出量 B」"))) << status->text().toStdString();

  // A second pollutant pasted from a spreadsheet, its emissions pasted, its fit file chosen.
  editor.findChild<QPushButton*>(QStringLiteral("SitePollutantAddButton"))->click();
  table->setCurrentCell(1, 0);
  editor.PasteInto(table, QStringLiteral("NO2\tm3N/s\t0.012\tppm\tなし\t\t\t\tNO2\r\n"));
  ASSERT_EQ(table->rowCount(), 2);
  ASSERT_EQ(emissions->columnCount(), 4);
  emissions->setCurrentCell(0, 0);
  editor.PasteInto(emissions, QStringLiteral("0.004\t0\t0.01\t1\n0.0006\t0\t0.002\t0"));
  editor.SetFitChooser([](const QString& folder) { return folder + QStringLiteral("/stations.csv"); });
  table->setCurrentCell(1, 0);
  editor.findChild<QPushButton*>(QStringLiteral("SiteFitFileButton"))->click();
  const std::optional<std::vector<vmk::PollutantChoice>> both = vmk::PollutantChoicesOf(editor.Document());
  ASSERT_TRUE(both && both->size() == 2) << editor.Document().Pollutants;
  EXPECT_EQ((*both)[1].Conversion, vmk::PollutantConversion::Fit);
  EXPECT_TRUE((*both)[1].Fit.ends_with("stations.csv")) << (*both)[1].Fit;
  EXPECT_EQ((*both)[0].Stacks[1].Qp, "0.0006");
  EXPECT_TRUE((*both)[1].Stacks[0].No2);
  EXPECT_EQ(qobject_cast<QComboBox*>(table->cellWidget(1, 4))->currentIndex(), 2);
}

// The assessment example's pollutants in the tables: a row each, a Qp and NOx変換 column each
// per stack, the conversion in its box.
TEST(SiteEditorWindow, AssessmentExampleShowsItsPollutants) {
  SiteEditor editor;
  ASSERT_TRUE(editor.OpenFile(QString::fromStdString((fs::path(VMK_SOURCE_DIR) / "examples" / "assessment" / "site.json").string())));
  editor.resize(1400, 820);
  editor.Pages()->setCurrentIndex(3);
  ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(&editor));
  QTableWidget* table = editor.PollutantTable();
  QTableWidget* emissions = editor.EmissionTable();
  ASSERT_TRUE(table->isEnabled());
  ASSERT_EQ(table->rowCount(), 4);
  ASSERT_EQ(std::pair(emissions->rowCount(), emissions->columnCount()), std::pair(2, 8));
  const struct {
    int Row;
    const char* Name;
    int Conversion;
    const char* Qp;  // 2号焼却炉's
  } rows[] = {{0, "NO2", 2, "0.0012"}, {1, "SO2", 1, "0.0006"}, {2, "SPM", 1, "0.12"}, {3, "ダイオキシン類", 0, "1.2"}};
  for (const auto& r : rows) {
    EXPECT_EQ(table->item(r.Row, 0)->text(), QString::fromUtf8(r.Name));
    EXPECT_EQ(qobject_cast<QComboBox*>(table->cellWidget(r.Row, vmk::kPollutantConversionColumn))->currentIndex(), r.Conversion);
    EXPECT_EQ(emissions->item(1, 2 * r.Row)->text(), QString::fromUtf8(r.Qp));
  }
  EXPECT_EQ(table->item(0, vmk::kPollutantFitColumn)->text(), QStringLiteral("no2-stations.csv"));
  EXPECT_EQ(emissions->item(0, 1)->checkState(), Qt::Checked);
  EXPECT_FALSE(editor.Document().Modified);
  if (const char* dir = std::getenv("VMK_SCREENSHOT_DIR")) {
    editor.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/site-editor-pollutants.png"));
  }
}

// The example opens with every stack's own values under the window's labels, its points on the
// map, and its met file's station and hours.
TEST(SiteEditorWindow, ExampleOpensWithItsValuesAndMap) {
  const QString example =
      QString::fromStdString((fs::path(VMK_SOURCE_DIR) / "examples" / "two-stacks" / "site.json").string());
  SiteEditor editor;
  ASSERT_TRUE(editor.OpenFile(example));
  editor.resize(1400, 820);
  ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(&editor));
  QTableWidget* stacks = editor.StackTable();
  ASSERT_EQ(stacks->rowCount(), 2);
  const int ho = vmk::ColumnOfControl(vmk::StackColumns(), "HoEdit");
  EXPECT_EQ(stacks->horizontalHeaderItem(ho)->text(), QStringLiteral("実煙突高さ Ho (m)"));
  EXPECT_EQ(stacks->item(0, 0)->text(), QStringLiteral("1号ボイラ"));
  EXPECT_EQ(stacks->item(0, ho)->text(), QStringLiteral("59"));
  EXPECT_EQ(editor.windowTitle(), QStringLiteral("サイトの編集 - site.json"));
  auto* met = editor.findChild<QLabel*>(QStringLiteral("SiteMetLabel"));
  EXPECT_TRUE(met->text().startsWith(QStringLiteral("met.json\n観測所: "))) << met->text().toStdString();
  EXPECT_EQ(editor.Map()->Scene().View.MetresPerPixel, vmk::FitView(vmk::EditorMapOf(editor.Document()).Input,
                                                                    editor.Map()->width(), editor.Map()->height())
                                                           .MetresPerPixel);
  // The basemap's controls show the example's files; the map draws them under the marks.
  auto* raster = editor.findChild<QLineEdit*>(QStringLiteral("SiteRasterPathEdit"));
  EXPECT_EQ(raster->text(), QStringLiteral("ground.png"));
  EXPECT_EQ(editor.RasterCrsEdit()->text(), QStringLiteral("EPSG:6677"));
  QTableWidget* vectors = editor.VectorTable();
  ASSERT_EQ(vectors->rowCount(), 3);
  EXPECT_EQ(vectors->item(1, 0)->text(), QStringLiteral("river.shp"));
#ifdef VMK_HAVE_GDAL
  ASSERT_NE(editor.ShownBasemap(), nullptr);
  EXPECT_FALSE(editor.ShownBasemap()->Levels.empty());
  EXPECT_FALSE(editor.Map()->Scene().Images.empty());
#endif
  stacks->setCurrentCell(1, ho);
  stacks->scrollToItem(stacks->item(1, 0));
  if (const char* dir = std::getenv("VMK_SCREENSHOT_DIR")) {
    editor.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/site-editor.png"));
  }

  // A vector file removed, one added from the dialog (named relative to the site file), a
  // system typed for it: the block holds what the controls show.
  vectors->setCurrentCell(1, 0);
  editor.RemoveVectorsClicked();
  editor.SetGisChooser([&](bool raster, const QString&) {
    EXPECT_FALSE(raster);
    return QStringList{QString::fromStdString((fs::path(VMK_SOURCE_DIR) / "examples" / "two-stacks" / "river.shp").string())};
  });
  editor.AddVectorsClicked();
  ASSERT_EQ(vectors->rowCount(), 3);
  vectors->item(2, 1)->setText(QStringLiteral("EPSG:6677"));
  const std::optional<vmk::BasemapChoice> choice = vmk::BasemapChoiceOf(editor.Document());
  ASSERT_TRUE(choice.has_value());
  ASSERT_EQ(choice->Vectors.size(), 3u);
  EXPECT_EQ(choice->Vectors[1].Path, "roads.geojson");
  EXPECT_EQ(choice->Vectors[2].Path, "river.shp");
  EXPECT_EQ(choice->Vectors[2].Crs, "EPSG:6677");
  EXPECT_TRUE(editor.Document().Modified);
  auto* text = editor.findChild<QPlainTextEdit*>(QStringLiteral("SiteBasemapEdit"));
  EXPECT_EQ(text->toPlainText().toStdString(), editor.Document().Basemap);
  // Text the controls cannot show leaves them disabled, not wrong.
  text->setPlainText(QStringLiteral("{\"raster\": 1"));
  EXPECT_FALSE(raster->parentWidget()->isEnabled());
}

}  // namespace

#endif
