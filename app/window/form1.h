// The main window `Form1`: a thin view over the form record. It builds its widgets from the
// layout table, copies them into the form record before a calculation or a check-box
// handler and copies the record back into them afterwards. Everything the window shows is
// decided by the plain code behind the record.
//
// Around the form: a menu bar above the layout's client area (built from its table,
// `MenuItems`), case files (new, open, save, save as, recent files, a file dropped on the
// window), the title with the file's name and a mark for unsaved edits, copy and paste of the
// grid's cells, and the accepted range of an input that stopped a calculation.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include <QMainWindow>
#include <QStringList>

#include "app/command/calculation.h"
#include "form/form_record.h"
#include "app/command/calc_state.h"
#include "input/read_parameters.h"
#include "met/met_stats.h"

class QMenu;
class QMimeData;
class QTabWidget;

namespace vmk {

class FrequencyGridWidget;
class ProfilePage;

// The colour of a classic system colour, as this window paints it.
QColor SystemColor(SysColor colour);

// The local .json file among the URLs of a drag, or an empty text.
QString DroppedCaseFile(const QMimeData* mime);

class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  // The widget of a control of the layout, by its name; nullptr for an unknown name.
  QWidget* Control(std::string_view name) const;
  template <class W>
  W* ControlAs(std::string_view name) const {
    return qobject_cast<W*>(Control(name));
  }
  // The layout's client area (603 x 379) under the menu bar: the parent of the bottom bar.
  QWidget* ClientArea() const { return client_; }
  QTabWidget* Tabs() const;
  FrequencyGridWidget* Grid() const;
  // The fourth tab page, behind the layout's three: the distance profile of the last result.
  ProfilePage* ProfileSheet() const { return profile_; }

  // The process-wide records of this run of the program.
  const FormRecord& Form() const { return form_; }
  const CalcState& State() const { return *state_; }

  // Widgets -> form record (edit texts, check marks, grid cells).
  void ReadWidgets();
  // Form record -> widgets (texts, captions, check marks, enabled states, colours, cells).
  void WriteWidgets();

  // Case files. Opening applies the file's one object to the start-up form as vmk-calc does
  // (the calculation state is kept for the whole run); a file that cannot be used changes nothing and
  // says why in a message box. Saving writes every input control (never the totals) whole,
  // through a temporary file, so that a failed save leaves the old file as it was. Neither
  // asks about unsaved edits; both return whether they succeeded.
  bool OpenCaseFile(const QString& path);
  bool SaveCaseFile(const QString& path);
  QString CaseFilePath() const { return casePath_; }  // empty before the first open or save
  bool HasUnsavedEdits() const { return edited_; }
  QStringList RecentFiles() const { return recent_; }  // most recent first, at most 8

  // Chooses a file for opening (`forSave` false) or saving; an empty text when cancelled.
  // The window uses the file dialogs; the tests put their own chooser here.
  using FileChooser = std::function<QString(bool forSave, const QString& suggested)>;
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

  // Met statistics: the table of one wind direction of a met statistics file (vmk-met/1) into
  // the grid, `FreqTotalEdit` and `WDEdit`, an unsaved edit as typing is. The other inputs are
  // left as they are; a file that cannot be used changes nothing and says why.
  bool ImportMetDirection(const QString& path, int direction);
  // Chooses the wind direction 0 (N) .. 15 (NNW) to take from a met statistics file; -1 when
  // cancelled. The window asks in a list; the tests put their own chooser here.
  using DirectionChooser = std::function<int(const MetStats& stats)>;
  void SetDirectionChooser(DirectionChooser chooser) { chooseDirection_ = std::move(chooser); }

  static constexpr int kMaxRecentFiles = 8;

 public slots:
  void CalcGoButtonClick();
  void PHrHmCheckBoxClick();
  void NOxTrnCheckBoxClick();

  // The menu's commands.
  void NewCase();
  void OpenCase();
  void SaveCase();
  void SaveCaseAs();
  void ImportMetStats();  // ファイル → 気象統計から読み込む...
  void OpenSite();        // ファイル → サイト濃度分布...: a site file in a window of its own
  void CopyGridCells();
  void PasteGridCells();
  void ShowVersion();
  void CloseWindow();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void ChainTabOrder();
  void AddProfilePage();
  void UpdateProfile(const CalcOutcome& outcome, const std::string& sep);
  void XrpEditKeyPress(QObject* sender, char key);
  void RunCalculation();
  void ShowErrorBox(const Cp932& text);
  void ShowFileProblem(const QString& text);
  void ShowRejectedInput(const RejectedInput& rejected);
  QWidget* ParentWidget(ControlParent parent) const;

  // Unsaved edits: the mark in the title, and the question before they would be lost.
  void MarkEdited();
  void UpdateTitle();
  // True when the caller may go on: no unsaved edits, or the user saved them or let them go.
  bool MayDiscardEdits();
  bool SaveOrAsk();  // saves to the case file, or asks for a name first; false if not saved
  QString ChooseFile(bool forSave);
  // A file to open: the test hook's answer, or the system's dialog in the suggested folder.
  QString ChooseOpenFile(const QString& suggested, const QString& caption, const QString& filter);
  void ResetToStartup();
  void AddRecentFile(const QString& path);
  void RebuildRecentMenu();
  void OpenRecentFile(const QString& path);
  void OpenDroppedFile(const QString& path);
  // Opens the case file a drop holds; false when it holds none (the drop goes on as usual).
  bool TakeDroppedCaseFile(QDropEvent* event);
  int AskDirection(const MetStats& stats);

  QWidget* client_ = nullptr;
  FormRecord form_;
  std::unique_ptr<CalcState> state_;
  std::map<std::string, QWidget*, std::less<>> controls_;
  ProfilePage* profile_ = nullptr;  // not a control of the layout, so not in `controls_`
  QMenu* recentMenu_ = nullptr;
  QString casePath_;
  bool edited_ = false;
  QStringList recent_;
  FileChooser chooseFile_;
  DirectionChooser chooseDirection_;
};

enum class MenuItemKind { Command, Separator, RecentFiles };

// One entry of the window's menu bar (texts UTF-8).
struct MenuItem {
  const char* Menu;  // the menu's caption, with its access key
  MenuItemKind Kind;
  const char* Text = "";
  const char* Shortcut = "";  // portable text ("Ctrl+O"); empty for none
  void (Form1::*Command)() = nullptr;
  const char* Name = "";  // object name of the action, for the tests
  bool GridOnly = false;  // the shortcut works while the grid has the focus
};

// Every entry of the menu bar, menu by menu in order.
std::span<const MenuItem> MenuItems();

}  // namespace vmk
