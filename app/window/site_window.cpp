#include "app/window/site_window.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/window/qt_text.h"
#include "app/window/window_fonts.h"
#include "common/atomic_file.h"
#include "common/numtext.h"
#include "plot/map_view.h"
#include "plot/qt/map_painter.h"
#include "site/export/site_export.h"
#include "site/site_levels.h"
#include "site/site_map_input.h"
#include "site/site_messages.h"
#include "site/site_presentation.h"

namespace vmk {
namespace {

QString Value(const SiteValue& v) { return v.Missing() ? QStringLiteral("(値なし)") : Utf8ToQString(v.Text); }

QString Metres(const std::string& text) { return Utf8ToQString(text) + QStringLiteral(" m"); }

// The wait cursor for the time of a long step, whatever way the step ends.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// A table that shows its cells, not edited.
void FillTable(QTableWidget* table, const QStringList& headers, const std::vector<QStringList>& rows) {
  table->setColumnCount(static_cast<int>(headers.size()));
  table->setRowCount(static_cast<int>(rows.size()));
  table->setHorizontalHeaderLabels(headers);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->setVisible(false);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (int c = 0; c < rows[r].size(); ++c) table->setItem(static_cast<int>(r), c, new QTableWidgetItem(rows[r][c]));
  }
  table->resizeColumnsToContents();
}

}  // namespace

QStringList AssessmentHeaders(const AssessmentTerms& terms) {
  const QString unit = QStringLiteral("\n(") + Utf8ToQString(UnitText(terms.Std.Unit)) + QStringLiteral(")");
  return {QStringLiteral("地点"),
          QStringLiteral("寄与濃度") + unit,
          QStringLiteral("バックグラウンド") + unit,
          QStringLiteral("将来濃度") + unit,
          QStringLiteral("寄与率\n(%)"),
          Utf8ToQString(std::string(StatisticShortName(terms.Std.Compared))) + unit,
          QStringLiteral("環境基準") + unit,
          QStringLiteral("評価")};
}

std::vector<QStringList> AssessmentCells(const PollutantRun& run) {
  std::vector<QStringList> rows;
  for (const AssessmentRow& r : AssessmentRows(run)) {
    const QString place = Utf8ToQString(r.Place);
    const QString standard = Utf8ToQString(run.Terms.Std.Value.Text());
    if (!r.HasValue) {
      rows.push_back({place, QString(), QString(), QString(), QString(), QString(), standard, QStringLiteral("値なし")});
      continue;
    }
    rows.push_back({place, Utf8ToQString(r.Contribution.Text()), Utf8ToQString(r.Background.Text()),
                    Utf8ToQString(r.Future.Text()), Utf8ToQString(r.ShareShown), Utf8ToQString(r.ValueShown), standard,
                    Utf8ToQString(std::string(Verdict(r.Meets)))});
  }
  return rows;
}

// ---- the map -------------------------------------------------------------------------------

SiteMapView::SiteMapView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(480, 400);
  setCursor(Qt::CrossCursor);
}

void SiteMapView::SetInput(SiteMapInput input, bool keepView) {
  input_ = std::move(input);
  if (!keepView) view_.reset();
  Changed();
}

std::optional<MarkHit> MarkAt(const SiteMapInput& input, const MapScene& scene, double x, double y) {
  constexpr double kReach = 9;  // pixels
  std::optional<MarkHit> best;
  double bestDistance = kReach * kReach;
  const auto look = [&](const std::vector<MapMark>& marks, bool stack) {
    for (std::size_t i = 0; i < marks.size(); ++i) {
      const auto [px, py] = scene.ToPixel(marks[i].X, marks[i].Y);
      const double d = (px - x) * (px - x) + (py - y) * (py - y);
      if (d < bestDistance || (d <= bestDistance && !best)) {
        bestDistance = d;
        best = MarkHit{stack, static_cast<int>(i)};
      }
    }
  };
  look(input.Stacks, true);
  look(input.Points, false);
  return best;
}

void SiteMapView::SetShowPolar(bool show) {
  input_.ShowPolar = show;
  Changed();
}

const MapScene& SiteMapView::Scene() {
  if (!scene_) {
    if (!view_) view_ = FitView(input_, width(), height());
    scene_ = BuildSiteMap(input_, width(), height(), view_);
  }
  return *scene_;
}

void SiteMapView::ResetView() {
  view_.reset();
  Changed();
}

void SiteMapView::ZoomBy(double factor, QPointF at) {
  view_ = ZoomedView(Scene(), factor, at.x(), at.y());
  Changed();
}

void SiteMapView::PanBy(QPointF delta) {
  view_ = PannedView(Scene().View, delta.x(), delta.y());
  Changed();
}

void SiteMapView::Changed() {
  scene_.reset();
  update();
}

void SiteMapView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintMapScene(painter, Scene());
}

void SiteMapView::resizeEvent(QResizeEvent*) {
  // The ground at the centre and the scale stay; the picture shows more or less around them.
  scene_.reset();
}

void SiteMapView::wheelEvent(QWheelEvent* event) {
  ZoomBy(WheelZoomFactor(event->angleDelta().y()), event->position());
  event->accept();
}

void SiteMapView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressAt_ = event->position();
  dragged_ = false;
  if (editable_) {
    if (const std::optional<MarkHit> hit = MarkAt(input_, Scene(), pressAt_.x(), pressAt_.y())) {
      markDrag_ = MarkDrag{hit->Stack, hit->Index};
      setCursor(Qt::SizeAllCursor);
      return;
    }
  }
  dragFrom_ = event->position();
  setCursor(Qt::ClosedHandCursor);
}

void SiteMapView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if ((event->buttons() & Qt::LeftButton) && (at - pressAt_).manhattanLength() > 3) dragged_ = true;
  if (markDrag_ && dragged_) {
    const MapPoint g = Scene().ToGround(at.x(), at.y());
    MapMark& mark = (markDrag_->Stack ? input_.Stacks : input_.Points)[static_cast<std::size_t>(markDrag_->Index)];
    mark.X = g.first;
    mark.Y = g.second;
    Changed();
  } else if (dragFrom_) {
    PanBy(at - *dragFrom_);
    dragFrom_ = at;
  }
  const MapScene& s = Scene();
  const bool inside = at.x() >= s.FrameLeft && at.x() <= s.FrameLeft + s.FrameWidth && at.y() >= s.FrameTop &&
                      at.y() <= s.FrameTop + s.FrameHeight;
  const MapPoint g = s.ToGround(at.x(), at.y());
  emit GroundUnderMouse(g.first, g.second, inside);
}

void SiteMapView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPointF at = event->position();
  const std::optional<MarkDrag> mark = std::exchange(markDrag_, std::nullopt);
  dragFrom_.reset();
  setCursor(Qt::CrossCursor);
  if (!editable_) return;
  const MapPoint g = Scene().ToGround(at.x(), at.y());
  if (mark && dragged_) {
    emit MarkMoved(mark->Stack, mark->Index, g.first, g.second);
  } else if (!mark && !dragged_) {
    emit GroundClicked(g.first, g.second);
  }
}

void SiteMapView::keyPressEvent(QKeyEvent* event) {
  MapKey key;
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: key = MapKey::ZoomIn; break;
    case Qt::Key_Minus: key = MapKey::ZoomOut; break;
    case Qt::Key_Left: key = MapKey::Left; break;
    case Qt::Key_Right: key = MapKey::Right; break;
    case Qt::Key_Up: key = MapKey::Up; break;
    case Qt::Key_Down: key = MapKey::Down; break;
    case Qt::Key_Home:
    case Qt::Key_0:
      ResetView();
      event->accept();
      return;
    default: QWidget::keyPressEvent(event); return;
  }
  view_ = KeyedView(Scene(), key);
  Changed();
  event->accept();
}

// ---- the window ----------------------------------------------------------------------------

SiteWindow::SiteWindow(ComputedSite site, const QString& source, QWidget* parent)
    : QWidget(parent, Qt::Window), site_(std::make_unique<ComputedSite>(std::move(site))) {
  const SitePlan& plan = site_->Plan;
  const SiteResult& result = site_->Result;
  setObjectName(QStringLiteral("SiteWindow"));
  setWindowTitle(QString::fromUtf8(kSiteWindowTitle) + QStringLiteral(" - ") + QFileInfo(source).fileName());
  setFont(ControlFont());
  resize(1280, 820);

  map_ = new SiteMapView(this);
  const std::vector<double> levels = SiteLevels(plan, result);
  maps_.push_back(MapInputOf(plan, result, levels, SiteBands(plan, result, levels)));
  for (const PollutantRun& run : site_->Pollutants) {
    const std::vector<double> runLevels = SiteLevels(run.Plan, run.Result);
    maps_.push_back(AssessmentMapInput(run, runLevels, SiteBands(run.Plan, run.Result, runLevels)));
  }
  for (SiteMapInput& m : maps_) m.Basemap = site_->Basemap;
  const bool showPolar = maps_.front().ShowPolar;
  map_->SetInput(maps_.front());

  value_ = new QLabel(QStringLiteral("地図の上にマウスを置くと、その地点の濃度を表示します"), this);
  value_->setObjectName(QStringLiteral("SiteValueLabel"));
  value_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  value_->setWordWrap(true);

  // The maximum, with its distance and direction from each stack.
  maximum_ = new QLabel(this);
  maximum_->setObjectName(QStringLiteral("SiteMaximumLabel"));
  maximum_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  maximum_->setWordWrap(true);
  QString max;
  const ReceptorSet& rs = plan.Receptors;
  if (const std::optional<SiteMaximum> m = MaximumOf(plan, result)) {
    max = QStringLiteral("C = ") + Value(m->C) + QStringLiteral("\nx = ") + Metres(m->XText) +
          QStringLiteral(", y = ") + Metres(m->YText);
    for (const MaximumFromStack& from : m->FromStacks) {
      max += QStringLiteral("\n") + Utf8ToQString(from.Name) + QStringLiteral(": R = ") + Utf8ToQString(from.RText) +
             QStringLiteral(" m, ") + Utf8ToQString(from.Toward) + QStringLiteral(" (") +
             Utf8ToQString(from.BearingText) + QStringLiteral("°), C = ") + Value(from.C);
    }
  } else {
    max = QStringLiteral("値のある受容点がありません");
  }
  const std::size_t missing = ReceptorsWithoutValue(result);
  if (missing > 0) {
    const DistanceRangeText range = ReceptorDistanceRange();
    max += QStringLiteral("\n\n値なし (煙突から ") + Utf8ToQString(range.From) + QStringLiteral(" m 未満または ") +
           Utf8ToQString(range.To) + QStringLiteral(" m 超): ") + QString::number(missing) + QStringLiteral(" 点");
  }
  maximum_->setText(max);

  // The points: the total and each stack.
  const int stacks = static_cast<int>(plan.Stacks.size());
  points_ = new QTableWidget(static_cast<int>(rs.PointCount), 5 + stacks, this);
  points_->setObjectName(QStringLiteral("SitePointsTable"));
  QStringList headers = {QStringLiteral("名前"), QStringLiteral("x (m)"), QStringLiteral("y (m)"),
                         QStringLiteral("z (m)"), QStringLiteral("C")};
  for (const StackPlan& s : plan.Stacks) headers << QStringLiteral("C ") + Utf8ToQString(s.Name);
  points_->setHorizontalHeaderLabels(headers);
  points_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  points_->verticalHeader()->setVisible(false);
  for (std::size_t i = 0; i < rs.PointCount; ++i) {
    const PointValues p = PointValuesOf(plan, result, i);
    const int row = static_cast<int>(i);
    const QStringList cells = {Utf8ToQString(p.Name), Utf8ToQString(p.XText), Utf8ToQString(p.YText),
                               Utf8ToQString(p.ZText), Value(p.C)};
    for (int c = 0; c < cells.size(); ++c) points_->setItem(row, c, new QTableWidgetItem(cells[c]));
    for (int s = 0; s < stacks; ++s) {
      points_->setItem(row, 5 + s, new QTableWidgetItem(Value(p.Stacks[static_cast<std::size_t>(s)])));
    }
  }
  points_->resizeColumnsToContents();

  auto* fit = new QPushButton(QStringLiteral("全体表示"), this);
  fit->setObjectName(QStringLiteral("SiteFitButton"));
  save_ = new QPushButton(QStringLiteral("ファイル保存..."), this);
  save_->setObjectName(QStringLiteral("SiteSaveButton"));
  polar_ = new QCheckBox(QStringLiteral("極座標の受容点"), this);
  polar_->setObjectName(QStringLiteral("SitePolarCheckBox"));
  polar_->setChecked(showPolar);
  polar_->setEnabled(rs.PolarCount > 0);

  const bool overGrid = MaximumScopeOf(rs) == MaximumScope::Grid;
  auto* maxBox = new QGroupBox(
      QStringLiteral("最大濃度 (") + (overGrid ? QStringLiteral("格子") : QStringLiteral("極座標")) + QStringLiteral(")"), this);
  auto* maxLayout = new QVBoxLayout(maxBox);
  maxLayout->addWidget(maximum_);
  auto* pointBox = new QGroupBox(QStringLiteral("予測地点"), this);
  auto* pointLayout = new QVBoxLayout(pointBox);
  pointLayout->addWidget(points_);
  auto* valueBox = new QGroupBox(QStringLiteral("マウス位置の濃度 (z = ") + Utf8ToQString(ShortestFloatText(plan.DefaultZ)) +
                                     QStringLiteral(" m)"), this);
  auto* valueLayout = new QVBoxLayout(valueBox);
  valueLayout->addWidget(value_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(fit);
  buttons->addWidget(polar_);
  buttons->addStretch();
  buttons->addWidget(save_);

  auto* side = new QVBoxLayout;
  side->addWidget(maxBox);
  side->addWidget(valueBox);
  side->addWidget(pointBox, 1);
  if (!site_->Pollutants.empty()) {
    mapChoice_ = new QComboBox(this);
    mapChoice_->setObjectName(QStringLiteral("SiteMapChoice"));
    mapChoice_->addItem(QStringLiteral("地図: C (各煙突の設定)"));
    for (const PollutantRun& run : site_->Pollutants) {
      mapChoice_->addItem(QStringLiteral("地図: ") + Utf8ToQString(run.Terms.Pollutant.Name));
    }
    side->addWidget(mapChoice_);
  }
  side->addLayout(buttons);
  auto* sideWidget = new QWidget(this);
  sideWidget->setLayout(side);
  sideWidget->setFixedWidth(340);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(map_, 1);
  layout->addWidget(sideWidget);
  if (!site_->Pollutants.empty()) {
    layout->addWidget(MakeAssessmentPanel());
    resize(1840, 860);
    connect(mapChoice_, &QComboBox::currentIndexChanged, this, [this](int i) { ShowMapOf(i - 1); });
    connect(assessment_, &QTabWidget::currentChanged, this, [this](int i) { mapChoice_->setCurrentIndex(i + 1); });
  }

  connect(map_, &SiteMapView::GroundUnderMouse, this, &SiteWindow::ShowGround);
  connect(fit, &QPushButton::clicked, map_, &SiteMapView::ResetView);
  connect(polar_, &QCheckBox::toggled, map_, &SiteMapView::SetShowPolar);
  connect(save_, &QPushButton::clicked, this, &SiteWindow::SaveClicked);
}

SiteWindow::~SiteWindow() = default;

QWidget* SiteWindow::MakeAssessmentPanel() {
  auto* box = new QGroupBox(QStringLiteral("環境基準との比較"), this);
  auto* layout = new QVBoxLayout(box);
  assessment_ = new QTabWidget(box);
  assessment_->setObjectName(QStringLiteral("SiteAssessmentTabs"));
  for (const PollutantRun& run : site_->Pollutants) {
    const AssessmentTerms& terms = run.Terms;
    auto* page = new QWidget(assessment_);
    auto* pageLayout = new QVBoxLayout(page);
    const QString unit = QStringLiteral(" ") + Utf8ToQString(UnitText(terms.Std.Unit));
    auto* about = new QLabel(page);
    about->setObjectName(QStringLiteral("SiteAssessmentAbout"));
    about->setWordWrap(true);
    about->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const Standard& standard = terms.Std;
    about->setText(QStringLiteral("環境基準: ") +
                   Utf8ToQString(standard.Name.empty() ? std::string("(サイトファイルで指定)") : standard.Name) +
                   QStringLiteral("  ") + Utf8ToQString(std::string(StatisticName(standard.Compared))) +
                   QStringLiteral(" ≦ ") + Utf8ToQString(standard.Value.Text()) + unit + QStringLiteral("\n出典: ") +
                   Utf8ToQString(standard.Source) +
                   QStringLiteral("\nバックグラウンド: ") + Utf8ToQString(terms.Background.Text()) + unit +
                   QStringLiteral("\n換算: ") + Utf8ToQString(ConversionText(terms)) +
                   QStringLiteral("\n寄与率は小数 2 桁、") +
                   (standard.ShownDecimals() ? QStringLiteral("換算値は小数 ") + QString::number(*standard.ShownDecimals()) +
                                              QStringLiteral(" 桁に四捨五入して表示 (評価は丸める前の値で)")
                                        : QStringLiteral("年平均値は丸めずに表示")));
    auto* table = new QTableWidget(page);
    table->setObjectName(QStringLiteral("SiteAssessmentTable"));
    FillTable(table, AssessmentHeaders(terms), AssessmentCells(run));
    pageLayout->addWidget(about);
    pageLayout->addWidget(table, 1);
    assessment_->addTab(page, Utf8ToQString(terms.Pollutant.Name));
  }
  layout->addWidget(assessment_);
  box->setMinimumWidth(700);
  return box;
}

void SiteWindow::ShowMapOf(int index) {
  if (index < -1 || index >= static_cast<int>(site_->Pollutants.size()) || index == shown_) return;
  shown_ = index;
  SiteMapInput input = maps_[static_cast<std::size_t>(index + 1)];
  input.ShowPolar = polar_->isChecked();
  map_->SetInput(std::move(input));
  if (mapChoice_ != nullptr && mapChoice_->currentIndex() != index + 1) mapChoice_->setCurrentIndex(index + 1);
  if (assessment_ != nullptr && index >= 0 && assessment_->currentIndex() != index) assessment_->setCurrentIndex(index);
}

QString SiteWindow::ValueLineAt(double x, double y) const {
  const bool pollutant = shown_ >= 0;
  const SitePlan& plan = pollutant ? site_->Pollutants[static_cast<std::size_t>(shown_)].Plan : site_->Plan;
  const QString unit = pollutant ? QStringLiteral(" ") + Utf8ToQString(UnitText(site_->Pollutants[static_cast<std::size_t>(shown_)].Terms.CUnit))
                                 : QString();
  const PlaceValues v = ValuesAtPlace(plan, x, y);
  QString text = QStringLiteral("x = ") + Metres(v.XText) + QStringLiteral(", y = ") + Metres(v.YText) +
                 QStringLiteral(": C = ") + Value(v.C) + (v.C.Missing() ? QString() : unit);
  for (std::size_t s = 0; s < v.Stacks.size(); ++s) {
    text += QStringLiteral("\n  ") + Utf8ToQString(plan.Stacks[s].Name) + QStringLiteral(" ") + Value(v.Stacks[s]);
  }
  return text;
}

void SiteWindow::ShowGround(double x, double y, bool inside) {
  if (inside) value_->setText(ValueLineAt(x, y));
}

std::optional<QString> SiteWindow::SaveFiles(const QString& dir) const {
  try {
    WriteSiteFilesOf(PrepareOutputFolder(dir.toStdString()), *site_);
  } catch (const SiteError& e) {
    return Utf8ToQString(SiteProblemText(e));
  } catch (const FileWriteError& e) {
    return Utf8ToQString(SiteExceptionText(e));
  }
  return std::nullopt;
}

void SiteWindow::SaveClicked() {
  const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("保存先のフォルダ"));
  if (dir.isEmpty()) return;
  std::optional<QString> problem;
  {
    const WaitCursor wait;
    problem = SaveFiles(dir);
  }
  if (problem) {
    QMessageBox::critical(this, windowTitle(), *problem);
  } else {
    QMessageBox::information(this, windowTitle(), QStringLiteral("保存しました: ") + dir);
  }
}

SiteWindow* OpenSiteWindow(QWidget* parent, const QString& path) {
  const QString title = QString::fromUtf8(kSiteWindowTitle);
  try {
    // Once every check has passed: the progress dialog, and the wait cursor until the window
    // is made.
    std::optional<QProgressDialog> progress;
    std::optional<WaitCursor> wait;
    SiteSteps steps;
    steps.Checked = [&](const SitePlan&) {
      progress.emplace(QStringLiteral("計算しています..."), QString(), 0, 1000, parent);
      progress->setWindowTitle(title);
      progress->setWindowModality(Qt::WindowModal);
      progress->setMinimumDuration(500);
      wait.emplace();
    };
    steps.Progress = [&progress](double share) {
      progress->setValue(static_cast<int>(share * 1000));
      QCoreApplication::processEvents();
    };
    ComputedSite site = ComputeSiteFile(path.toStdString(), steps);
    progress->setValue(1000);
    SiteWindow* window = new SiteWindow(std::move(site), path, parent);
    wait.reset();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
  } catch (const SiteError& e) {
    QMessageBox::critical(parent, title, Utf8ToQString(SiteProblemText(e)));
  } catch (const std::exception& e) {
    QMessageBox::critical(parent, title, Utf8ToQString(SiteExceptionText(e)));
  }
  return nullptr;
}

}  // namespace vmk
