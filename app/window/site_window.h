// The site window: a second window that opens a site file, computes it and shows its map
// (zoom with the wheel, pan by dragging, the exact value under the mouse), the maximum and the
// points, and saves the site's files into a folder. The main window stays as it is.
#pragma once

#include <memory>
#include <optional>

#include <QPointF>
#include <QString>
#include <QWidget>

#include "plot/site_map.h"
#include "site/export/site_job.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace vmk {

inline constexpr char kSiteWindowTitle[] = "サイト濃度分布";

// The map of the site: the scene rebuilt for the widget's size and the current view.
class SiteMapView : public QWidget {
  Q_OBJECT

 public:
  explicit SiteMapView(QWidget* parent = nullptr);

  void SetInput(SiteMapInput input);
  // Shows or hides the polar receptors, keeping the view.
  void SetShowPolar(bool show);
  const MapScene& Scene();
  // The view shown (fitted to the grid until the user zooms or pans).
  MapView View() {
    Scene();
    return *view_;
  }

  // The whole grid in view.
  void ResetView();
  // Zooms by `factor` (above 1: closer) keeping the ground under `at` (widget pixels) still.
  void ZoomBy(double factor, QPointF at);
  // Moves the ground by `delta` widget pixels.
  void PanBy(QPointF delta);

 signals:
  // The ground under the mouse, or `inside` false when the mouse is off the map's frame.
  void GroundUnderMouse(double x, double y, bool inside);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Changed();

  SiteMapInput input_;
  std::optional<MapView> view_;
  std::optional<MapScene> scene_;
  std::optional<QPointF> dragFrom_;
};

class SiteWindow : public QWidget {
  Q_OBJECT

 public:
  // A computed site; `source` is the site file's path, shown in the title.
  SiteWindow(ComputedSite site, const QString& source, QWidget* parent = nullptr);
  ~SiteWindow() override;

  // The parts, for the tests and the documentation pictures.
  SiteMapView* Map() const { return map_; }
  QLabel* ValueLabel() const { return value_; }
  QLabel* MaximumLabel() const { return maximum_; }
  QTableWidget* PointsTable() const { return points_; }
  QPushButton* SaveButton() const { return save_; }
  QCheckBox* PolarCheckBox() const { return polar_; }
  const SitePlan& Plan() const { return site_->Plan; }
  const SiteResult& Result() const { return site_->Result; }

  // The text of the value line for a ground position: the total and each stack, exact, at the
  // position rounded to whole metres.
  QString ValueLineAt(double x, double y) const;
  // Writes every file of the site into `dir` (made when missing); the problem, or nothing.
  std::optional<QString> SaveFiles(const QString& dir) const;

 public slots:
  void SaveClicked();

 private:
  void ShowGround(double x, double y, bool inside);

  std::unique_ptr<ComputedSite> site_;
  SiteMapView* map_ = nullptr;
  QLabel* value_ = nullptr;
  QLabel* maximum_ = nullptr;
  QTableWidget* points_ = nullptr;
  QPushButton* save_ = nullptr;
  QCheckBox* polar_ = nullptr;
};

// Reads the site file at `path`, checks it, computes it with a progress dialog and opens its
// window (deleted when closed). A problem is shown in a message box over `parent`, and then
// nothing opens: nullptr.
SiteWindow* OpenSiteWindow(QWidget* parent, const QString& path);

}  // namespace vmk
