#include "app/window/site_window.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include <QApplication>
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
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/window/window_fonts.h"
#include "common/atomic_file.h"
#include "common/numtext.h"
#include "plot/qt/map_painter.h"
#include "site/export/site_export.h"
#include "site/parallel.h"
#include "site/site_map_input.h"
#include "site/site_outputs.h"

namespace vmk {
namespace {

constexpr double kMinMetresPerPixel = 0.01;
constexpr double kMaxMetresPerPixel = 1e5;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QString Value(float v) { return std::isnan(v) ? QStringLiteral("(値なし)") : Q(ShortestFloatText(v)); }

QString Metres(double v) { return Q(ShortestDoubleText(v)) + QStringLiteral(" m"); }

// The wait cursor for the time of a long step, whatever way the step ends.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

// ---- the map -------------------------------------------------------------------------------

SiteMapView::SiteMapView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(480, 400);
  setCursor(Qt::CrossCursor);
}

void SiteMapView::SetInput(SiteMapInput input) {
  input_ = std::move(input);
  view_.reset();
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
  const MapScene& s = Scene();
  const MapPoint g = s.ToGround(at.x(), at.y());
  MapView v = *view_;
  v.MetresPerPixel = std::clamp(v.MetresPerPixel / factor, kMinMetresPerPixel, kMaxMetresPerPixel);
  const double fcx = s.FrameLeft + s.FrameWidth / 2;
  const double fcy = s.FrameTop + s.FrameHeight / 2;
  v.CenterX = g.first - (at.x() - fcx) * v.MetresPerPixel;
  v.CenterY = g.second + (at.y() - fcy) * v.MetresPerPixel;
  view_ = v;
  Changed();
}

void SiteMapView::PanBy(QPointF delta) {
  Scene();
  view_->CenterX -= delta.x() * view_->MetresPerPixel;
  view_->CenterY += delta.y() * view_->MetresPerPixel;
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
  ZoomBy(std::pow(1.0015, event->angleDelta().y()), event->position());
  event->accept();
}

void SiteMapView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragFrom_ = event->position();
    setCursor(Qt::ClosedHandCursor);
  }
}

void SiteMapView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (dragFrom_) {
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
  if (event->button() == Qt::LeftButton) {
    dragFrom_.reset();
    setCursor(Qt::CrossCursor);
  }
}

void SiteMapView::keyPressEvent(QKeyEvent* event) {
  const QPointF centre(width() / 2.0, height() / 2.0);
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: ZoomBy(1.25, centre); break;
    case Qt::Key_Minus: ZoomBy(0.8, centre); break;
    case Qt::Key_Home:
    case Qt::Key_0: ResetView(); break;
    case Qt::Key_Left: PanBy(QPointF(40, 0)); break;
    case Qt::Key_Right: PanBy(QPointF(-40, 0)); break;
    case Qt::Key_Up: PanBy(QPointF(0, 40)); break;
    case Qt::Key_Down: PanBy(QPointF(0, -40)); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

// ---- the window ----------------------------------------------------------------------------

SiteWindow::SiteWindow(SitePlan plan, SiteResult result, const QString& source, QWidget* parent)
    : QWidget(parent, Qt::Window),
      plan_(std::make_unique<SitePlan>(std::move(plan))),
      result_(std::make_unique<SiteResult>(std::move(result))) {
  setObjectName(QStringLiteral("SiteWindow"));
  setWindowTitle(QString::fromUtf8(kSiteWindowTitle) + QStringLiteral(" - ") + QFileInfo(source).fileName());
  setFont(ControlFont());
  resize(1280, 820);

  map_ = new SiteMapView(this);
  const std::vector<double> levels = SiteLevels(*plan_, *result_);
  map_->SetInput(MapInputOf(*plan_, *result_, levels, SiteBands(*plan_, *result_, levels)));

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
  const ReceptorSet& rs = plan_->Receptors;
  if (result_->MaxIndex) {
    const std::size_t q = *result_->MaxIndex;
    const Receptor& m = rs.All[q];
    max = QStringLiteral("C = ") + Value(result_->Total[q]) + QStringLiteral("\nx = ") + Metres(m.X) +
          QStringLiteral(", y = ") + Metres(m.Y);
    for (std::size_t s = 0; s < plan_->Stacks.size(); ++s) {
      const StackPlan& st = plan_->Stacks[s];
      const StackView v = ViewFrom(st.X, st.Y, m.X, m.Y);
      max += QStringLiteral("\n") + Q(st.Name) + QStringLiteral(": R = ") + Q(ShortestFloatText(v.R)) +
             QStringLiteral(" m, ") + Q(std::string(DirectionName(v.Sectors))) + QStringLiteral(" (") +
             QString::number(v.Sectors * 22.5, 'f', 1) + QStringLiteral("°), C = ") + Value(result_->StackC[s][q]);
    }
  } else {
    max = QStringLiteral("値のある受容点がありません");
  }
  const std::size_t missing = result_->MissingGrid + result_->MissingPolar + result_->MissingPoints;
  if (missing > 0) {
    max += QStringLiteral("\n\n値なし (煙突から 0.09999 m 未満または 100001 m 超): ") + QString::number(missing) +
           QStringLiteral(" 点");
  }
  maximum_->setText(max);

  // The points: the total and each stack.
  const int stacks = static_cast<int>(plan_->Stacks.size());
  points_ = new QTableWidget(static_cast<int>(rs.PointCount), 5 + stacks, this);
  points_->setObjectName(QStringLiteral("SitePointsTable"));
  QStringList headers = {QStringLiteral("名前"), QStringLiteral("x (m)"), QStringLiteral("y (m)"),
                         QStringLiteral("z (m)"), QStringLiteral("C")};
  for (const StackPlan& s : plan_->Stacks) headers << QStringLiteral("C ") + Q(s.Name);
  points_->setHorizontalHeaderLabels(headers);
  points_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  points_->verticalHeader()->setVisible(false);
  for (std::size_t i = 0; i < rs.PointCount; ++i) {
    const std::size_t q = rs.PointBegin() + i;
    const PointDefinition& p = plan_->Site.Points[i];
    const int row = static_cast<int>(i);
    const QStringList cells = {Q(p.Name), Q(ShortestDoubleText(p.X)), Q(ShortestDoubleText(p.Y)),
                               Q(ShortestFloatText(rs.All[q].Z)), Value(result_->Total[q])};
    for (int c = 0; c < cells.size(); ++c) points_->setItem(row, c, new QTableWidgetItem(cells[c]));
    for (int s = 0; s < stacks; ++s) {
      points_->setItem(row, 5 + s, new QTableWidgetItem(Value(result_->StackC[static_cast<std::size_t>(s)][q])));
    }
  }
  points_->resizeColumnsToContents();

  auto* fit = new QPushButton(QStringLiteral("全体表示"), this);
  fit->setObjectName(QStringLiteral("SiteFitButton"));
  save_ = new QPushButton(QStringLiteral("ファイル保存..."), this);
  save_->setObjectName(QStringLiteral("SiteSaveButton"));

  auto* maxBox = new QGroupBox(QStringLiteral("最大濃度 (") + (rs.GridCount > 0 ? QStringLiteral("格子") : QStringLiteral("極座標")) +
                                   QStringLiteral(")"), this);
  auto* maxLayout = new QVBoxLayout(maxBox);
  maxLayout->addWidget(maximum_);
  auto* pointBox = new QGroupBox(QStringLiteral("予測地点"), this);
  auto* pointLayout = new QVBoxLayout(pointBox);
  pointLayout->addWidget(points_);
  auto* valueBox = new QGroupBox(QStringLiteral("マウス位置の濃度 (z = ") + Q(ShortestFloatText(plan_->DefaultZ)) +
                                     QStringLiteral(" m)"), this);
  auto* valueLayout = new QVBoxLayout(valueBox);
  valueLayout->addWidget(value_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(fit);
  buttons->addStretch();
  buttons->addWidget(save_);

  auto* side = new QVBoxLayout;
  side->addWidget(maxBox);
  side->addWidget(valueBox);
  side->addWidget(pointBox, 1);
  side->addLayout(buttons);
  auto* sideWidget = new QWidget(this);
  sideWidget->setLayout(side);
  sideWidget->setFixedWidth(340);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(map_, 1);
  layout->addWidget(sideWidget);

  connect(map_, &SiteMapView::GroundUnderMouse, this, &SiteWindow::ShowGround);
  connect(fit, &QPushButton::clicked, map_, &SiteMapView::ResetView);
  connect(save_, &QPushButton::clicked, this, &SiteWindow::SaveClicked);
}

SiteWindow::~SiteWindow() = default;

QString SiteWindow::ValueText(double x, double y) const {
  // The value of the place the text names: the position rounded to whole metres.
  const double rx = std::round(x);
  const double ry = std::round(y);
  std::vector<float> values;
  for (std::size_t s = 0; s < plan_->Stacks.size(); ++s) {
    values.push_back(StackValueAt(*plan_, s, rx, ry, plan_->DefaultZ));
  }
  QString text = QStringLiteral("x = ") + Metres(rx) + QStringLiteral(", y = ") + Metres(ry) +
                 QStringLiteral(": C = ") + Value(TotalOf(values));
  for (std::size_t s = 0; s < values.size(); ++s) {
    text += QStringLiteral("\n  ") + Q(plan_->Stacks[s].Name) + QStringLiteral(" ") + Value(values[s]);
  }
  return text;
}

void SiteWindow::ShowGround(double x, double y, bool inside) {
  if (inside) value_->setText(ValueText(x, y));
}

std::optional<QString> SiteWindow::SaveFiles(const QString& dir) const {
  try {
    const OutputFolder folder = PrepareOutputFolder(dir.toStdString());
    const SiteExport files = MakeSiteFiles(*plan_, *result_);
    WriteSiteFiles(folder, files.Files);
  } catch (const SiteError& e) {
    return Q(e.what());
  } catch (const FileWriteError& e) {
    return Q(e.what());
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
    SitePlan plan = PlanSite(ReadSiteFile(path.toStdString()));
    CheckSiteForExport(plan.Site);
    QProgressDialog progress(QStringLiteral("計算しています..."), QString(), 0, 1000, parent);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    RunOptions options;
    options.Threads = AllCores();
    options.Progress = [&progress](double share) {
      progress.setValue(static_cast<int>(share * 1000));
      QCoreApplication::processEvents();
    };
    SiteWindow* window = nullptr;
    {
      const WaitCursor wait;
      SiteResult result = RunSite(plan, options);
      progress.setValue(1000);
      window = new SiteWindow(std::move(plan), std::move(result), path, parent);
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
  } catch (const SiteError& e) {
    QMessageBox::critical(parent, title, Q(e.what()));
  } catch (const std::exception& e) {
    QMessageBox::critical(parent, title, Q(e.what()));
  }
  return nullptr;
}

}  // namespace vmk
