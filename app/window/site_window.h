// The site window: a second window that opens a site file, computes it and shows its map
// (zoom with the wheel, pan by dragging, the exact value under the mouse), the maximum and the
// points, and saves the site's files into a folder. With pollutants, a table beside the map
// compares each pollutant with its standard (one tab each), and the map shows the site's C or
// one pollutant's. The main window stays as it is.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "plot/site_map.h"
#include "site/export/site_job.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace vmk {

inline constexpr char kSiteWindowTitle[] = "サイト濃度分布";

// The map of the site: the scene rebuilt for the widget's size and the current view.
class SiteMapView : public QWidget {
  Q_OBJECT

 public:
  explicit SiteMapView(QWidget* parent = nullptr);

  // A new input; `keepView` keeps the ground shown (an edit), else the whole grid is fitted.
  void SetInput(SiteMapInput input, bool keepView = false);
  // An editor's map: the stacks and points can be dragged, and a click on the ground is
  // reported (dragging elsewhere still pans).
  void SetEditable(bool editable) { editable_ = editable; }
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
  // An editable map: a stack's (or point's) mark `index` of the input dropped at the ground x, y.
  void MarkMoved(bool stack, int index, double x, double y);
  // An editable map: a click (no drag) on the ground at x, y.
  void GroundClicked(double x, double y);

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
  bool editable_ = false;
  struct MarkDrag {
    bool Stack = true;
    int Index = 0;
  };
  std::optional<MarkDrag> markDrag_;
  QPointF pressAt_;
  bool dragged_ = false;
};

// The mark under the widget pixel (x, y) of a scene, within a few pixels: the nearest stack or
// point, stacks first on a tie.
struct MarkHit {
  bool Stack = true;
  int Index = 0;
};
std::optional<MarkHit> MarkAt(const SiteMapInput& input, const MapScene& scene, double x, double y);

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
  // With pollutants: the tabs of their tables and the choice of the map (the site's C first,
  // then each pollutant); both null without pollutants.
  QTabWidget* AssessmentTabs() const { return assessment_; }
  QComboBox* MapChoice() const { return mapChoice_; }
  const SitePlan& Plan() const { return site_->Plan; }
  const SiteResult& Result() const { return site_->Result; }
  const std::vector<PollutantRun>& Pollutants() const { return site_->Pollutants; }

  // Shows the site's C (-1) or pollutant `index` on the map and in the value line.
  void ShowMapOf(int index);
  // What the map shows: -1 the site's C, else the pollutant's index.
  int Shown() const { return shown_; }

  // The text of the value line for a ground position: the total and each stack, exact, at the
  // position rounded to whole metres, of what the map shows (a pollutant's C with its unit).
  QString ValueLineAt(double x, double y) const;
  // Writes every file of the site into `dir` (made when missing); the problem, or nothing.
  std::optional<QString> SaveFiles(const QString& dir) const;

 public slots:
  void SaveClicked();

 private:
  void ShowGround(double x, double y, bool inside);
  QWidget* MakeAssessmentPanel();

  std::unique_ptr<ComputedSite> site_;
  std::vector<SiteMapInput> maps_;  // the site's C, then each pollutant's
  int shown_ = -1;
  SiteMapView* map_ = nullptr;
  QLabel* value_ = nullptr;
  QLabel* maximum_ = nullptr;
  QTableWidget* points_ = nullptr;
  QPushButton* save_ = nullptr;
  QCheckBox* polar_ = nullptr;
  QTabWidget* assessment_ = nullptr;
  QComboBox* mapChoice_ = nullptr;
};

// The rows of a pollutant's table as the window shows them: the place, the contribution, the
// background and the future exact, 寄与率 and the compared value rounded as the summary shows
// them, the standard and the verdict.
QStringList AssessmentHeaders(const AssessmentTerms& terms);
std::vector<QStringList> AssessmentCells(const PollutantRun& run);

// Reads the site file at `path`, checks it, computes it with a progress dialog and opens its
// window (deleted when closed). A problem is shown in a message box over `parent`, and then
// nothing opens: nullptr.
SiteWindow* OpenSiteWindow(QWidget* parent, const QString& path);

}  // namespace vmk
