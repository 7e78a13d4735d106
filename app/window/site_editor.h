// The site editor: a window that makes and changes a site file (the document of
// app/site_editor/site_document.h) — the stacks, the named points, the met file, the receptors and
// the options — with the stacks and points also placed and dragged on a map; 計算 saves the
// site and computes the saved file in a worker thread, with a progress bar and a cancel
// button, and opens its result as the site window opens that file.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "app/frontend/case_document.h"
#include "app/site_editor/site_document.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace vmk {

class SiteMapView;
struct MapBasemap;
class SiteWindow;
struct ComputedSite;

// What a click on the editor's map does.
enum class PlaceMode { None, Stack, Point };

class SiteEditor : public QWidget {
  Q_OBJECT

 public:
  explicit SiteEditor(QWidget* parent = nullptr);
  ~SiteEditor() override;

  // The file dialogs: a path, or an empty text when cancelled. The tests choose without them.
  using FileChooser = std::function<QString(bool forSave, const QString& suggested)>;
  void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
  // The basemap's file dialog: the chosen files (one raster, or any number of vector files),
  // none when cancelled.
  using GisChooser = std::function<QStringList(bool raster, const QString& folder)>;
  void SetGisChooser(GisChooser chooser) { gisChooser_ = std::move(chooser); }
  // The station-year file's dialog of a pollutant's fit: a path, or empty when cancelled.
  using FitChooser = std::function<QString(const QString& folder)>;
  void SetFitChooser(FitChooser chooser) { fitChooser_ = std::move(chooser); }

  // The parts, for the tests and the documentation pictures.
  const SiteDocument& Document() const { return doc_; }
  QTableWidget* StackTable() const { return stacks_; }
  QTableWidget* CommonTable() const { return common_; }
  QTableWidget* PointTable() const { return points_; }
  QTabWidget* Pages() const { return pages_; }
  QLineEdit* GridXEdit() const { return gridX_; }
  SiteMapView* Map() const { return map_; }
  QProgressBar* Progress() const { return progress_; }
  QPushButton* CancelButton() const { return cancel_; }
  QPushButton* ComputeButton() const { return compute_; }
  QTableWidget* VectorTable() const { return vectors_; }
  QTableWidget* PollutantTable() const { return pollutantTable_; }
  QTableWidget* EmissionTable() const { return emissionTable_; }
  QLineEdit* RasterCrsEdit() const { return rasterCrs_; }
  // The basemap the map shows (null: none, or it cannot be read: the status line says why).
  const std::shared_ptr<const MapBasemap>& ShownBasemap() const { return basemapData_; }
  QComboBox* PlaceChoice() const { return place_; }
  // The result window of the last 計算 (null until one ends, or once it is closed).
  SiteWindow* Result() const { return result_; }
  bool Running() const { return worker_.joinable(); }

  // Opens the site file at `path`; a problem is shown in a message box and nothing changes.
  bool OpenFile(const QString& path);
  // Pastes spreadsheet cells into `table` at its current cell (the first cell when none).
  void PasteInto(QTableWidget* table, const QString& text);
  // Selects the place of a problem: its page, its cell or field.
  void SelectProblem(const EditorProblem& problem);

 public slots:
  void NewClicked();
  void OpenClicked();
  bool SaveClicked();
  bool SaveAsClicked();
  void ComputeClicked();
  void ChooseMetClicked();
  void ChooseRasterClicked();
  void AddVectorsClicked();
  void RemoveVectorsClicked();
  void AddPollutantClicked();
  void RemovePollutantsClicked();
  void ChooseFitClicked();

 signals:
  // A computation ended with its result window shown.
  void Computed(SiteWindow* window);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* MakeStackPage();
  QWidget* MakeReceptorPage();
  QWidget* MakeMetPage();
  QWidget* MakeBlockPage();
  void ShowDocument();  // every widget from the document
  void FillTable(QTableWidget* table, const std::vector<SiteColumn>& columns, const std::vector<SiteRow>& rows);
  void ShowMap(bool keepView);
  void Edited(bool map = false);
  void CellEdited(QTableWidget* table, int row, int col);
  void AddRow(QTableWidget* table);
  void DeleteRows(QTableWidget* table);
  void PlaceAt(double x, double y);
  void MarkMoved(bool stack, int index, double x, double y);
  bool MayDiscard();
  bool SaveTo(const QString& path);
  void ShowProblem(const EditorProblem& problem);
  void RunFinished(std::shared_ptr<ComputedSite> site, const QString& problem, bool cancelled);
  void SetRunning(bool running);
  QString Choose(bool forSave, const QString& suggested);
  QStringList ChooseGis(bool raster);
  void ShowBasemapChoice();               // the basemap's controls from the document's block
  void SetBasemap(const BasemapChoice& choice);  // the block from the controls
  void ShowPollutantChoices();                   // the pollutants' tables from the block
  void FillPollutantTables(const std::vector<PollutantChoice>& rows);
  std::vector<PollutantChoice> PollutantRows() const;  // what the tables hold
  void PollutantsEdited();                        // the block from the tables, when they are sound

  SiteDocument doc_;
  EditorMap map_rows_;
  bool showing_ = false;  // the widgets are being filled from the document: no edit
  FileChooser chooser_;
  GisChooser gisChooser_;
  FitChooser fitChooser_;
  std::shared_ptr<const MapBasemap> basemapData_;
  std::string basemapKey_;  // what basemapData_ was read from: the block, the crs, the folder

  QTabWidget* pages_ = nullptr;
  QTableWidget* stacks_ = nullptr;
  QTableWidget* common_ = nullptr;
  QTableWidget* points_ = nullptr;
  QLabel* met_ = nullptr;
  QCheckBox* gridOn_ = nullptr;
  QLineEdit* gridX_ = nullptr;
  QLineEdit* gridY_ = nullptr;
  QCheckBox* polarOn_ = nullptr;
  QLineEdit* polarX_ = nullptr;
  QLineEdit* polarY_ = nullptr;
  QLineEdit* polarDistances_ = nullptr;
  QCheckBox* polarLog_ = nullptr;
  QComboBox* sectors_ = nullptr;
  QLineEdit* levels_ = nullptr;
  QLineEdit* crs_ = nullptr;
  QPlainTextEdit* pollutants_ = nullptr;
  QPlainTextEdit* basemap_ = nullptr;
  QWidget* basemapControls_ = nullptr;
  QLineEdit* rasterPath_ = nullptr;
  QLineEdit* rasterCrs_ = nullptr;
  QTableWidget* vectors_ = nullptr;
  QWidget* pollutantControls_ = nullptr;
  QTableWidget* pollutantTable_ = nullptr;
  QTableWidget* emissionTable_ = nullptr;
  QComboBox* place_ = nullptr;
  SiteMapView* map_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* compute_ = nullptr;
  QWidget* editing_ = nullptr;  // everything that edits, disabled while a computation runs

  std::thread worker_;
  std::atomic<bool> cancelRun_{false};
  QPointer<SiteWindow> result_;
};

// Opens a site editor (deleted when closed): a new site, or the site file at `path`.
SiteEditor* OpenSiteEditor(QWidget* parent, const QString& path = QString());

}  // namespace vmk
