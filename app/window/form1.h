// The main window `Form1` on Linux: a thin view over the frontend (app/frontend/frontend.h). It
// builds its widgets from the layout table and its menu bar from the menu table, syncs the
// widgets with the form record, forwards every event (a typed field, a click, Enter, a cell
// edit, a menu command, a drop, closing) to the frontend and shows what the frontend decides
// through the hooks it gives it: Qt's dialogs and message boxes, the title, the recent files,
// the profile page, the input that stopped a calculation.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include "app/frontend/frontend.h"

class QLabel;
class QMenu;
class QMimeData;
class QTabWidget;

namespace vmk {

class FrequencyGridWidget;
class ManualWindow;
class ProfilePage;

// The colour of a classic system colour, as this window paints it.
QColor SystemColor(SysColor colour);

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
  // A label of the marks (window_marks.h) by its name: the stale notes, the hours warning.
  QLabel* MarkLabel(std::string_view name) const;
  // The manual's window, once ヘルプ → 説明書 has opened it; nullptr before.
  ManualWindow* Manual() const;

  // The window's behaviour and its records. The tests put their own answers into its hooks
  // in place of the dialogs.
  Frontend& Front() { return fe_; }
  const FormRecord& Form() const { return fe_.Form; }
  const CalcState& State() const { return fe_.State; }

  // Widgets -> form record (edit texts, check marks, grid cells).
  void ReadWidgets();
  // Form record -> widgets (texts, captions, check marks, enabled states, colours, cells).
  void WriteWidgets();

  // Opens a case file (`vmk CASE.json`); a file that cannot be used is named in a message box.
  bool OpenCaseFile(const QString& path);
  bool HasUnsavedEdits() const { return fe_.Document.Edited; }

  // Puts a chooser in place of the file dialogs (for the tests): it gets whether the dialog
  // saves and the suggested path, and returns the file, or an empty text for a cancel.
  using FileChooser = std::function<QString(bool forSave, const QString& suggested)>;
  void SetFileChooser(FileChooser chooser);

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
  void AddMarkLabels();
  void ShowMarks(const WindowMarks& marks);
  void InstallHooks();
  void SetRecentMenu(const std::vector<RecentMenuEntry>& entries);
  void ShowRejectedInput(const RejectedInputView& view);
  QWidget* ParentWidget(ControlParent parent) const;
  // Opens the case file a drop holds, once the drop has ended; false when it holds none (the
  // drop goes on as usual).
  bool TakeDroppedCaseFile(QDropEvent* event);

  Frontend fe_;
  QWidget* client_ = nullptr;
  std::map<std::string, QWidget*, std::less<>> controls_;
  std::map<std::string, QLabel*, std::less<>> marks_;  // the labels of window_marks.h, by name
  ProfilePage* profile_ = nullptr;  // not a control of the layout, so not in `controls_`
  QMenu* recentMenu_ = nullptr;
  QPointer<ManualWindow> manual_;  // made on the first 説明書, closed with this window
};

// The case file among the URLs of a drag (the frontend's drop rule), or an empty text.
QString DroppedCaseFile(const QMimeData* mime);

}  // namespace vmk
