// The main window `Form1` on Windows: a thin view over the frontend (app/frontend/frontend.h)
// through the Win32 API. It builds its controls from the layout table (positions, sizes, tab
// order, enabled states, colours) and its menu bar and keyboard shortcuts from the menu table,
// syncs the controls with the form record, forwards every event (a typed field, a click, Enter,
// a cell edit, a menu command, a dropped file, closing) to the frontend and shows what the
// frontend decides through the hooks it gives it: message boxes, file dialogs, the title, the
// recent files, the profile page, the input that stopped a calculation, the marks beside the
// results and 全方位有効頻度, and the manual (in the system's browser).
//
// The client area is the layout's 603 x 379 pixels under the menu bar; the tab control holds
// the layout's three pages and a fourth, " 距離分布 ", that paints the profile's chart scene
// with GDI+. Texts reach the system as UTF-16.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/frontend/frontend.h"
#include "plot/scene.h"

namespace vmk::win32 {

// Starts the common controls and COM and registers the window classes; once per process.
void InitWindowClasses();

// The WM_COMMAND identifiers of the menu bar: the entries of MenuItems() by their index, and the
// recent files by their place in the submenu.
inline constexpr int kMenuIdBase = 100;
inline constexpr int kRecentIdBase = 200;
int MenuCommandId(MenuCommand command);

// The profile page's own controls (not in the layout table).
inline constexpr int kProfileChartId = 900;
inline constexpr int kProfileSummaryId = 901;
inline constexpr int kProfileExportId = 902;

class MainWindow {
 public:
  // Creates the window, not yet shown. When `quitOnClose`, closing it ends the message loop.
  explicit MainWindow(bool quitOnClose = true);
  ~MainWindow();  // destroys the window without asking
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  // The control of the layout of that name; null for an unknown name.
  HWND Control(std::string_view name) const;
  HWND Tabs() const;
  HWND Grid() const;
  // The tab pages in order: the layout's three, then the profile page.
  const std::vector<HWND>& Pages() const { return pages_; }
  HWND ProfileChart() const { return chart_; }
  HWND ProfileSummary() const { return summary_; }
  HWND ProfileExportButton() const { return export_; }
  const PlotScene& ProfileScene() const { return profileScene_; }
  // The tooltip beside the input that stopped a calculation.
  HWND RejectedInputTip() const { return tip_; }
  HMENU RecentFilesMenu() const { return recentMenu_; }
  // A label of the marks (window_marks.h) by its name; null for an unknown name.
  HWND MarkLabel(std::string_view name) const;

  // The window's behaviour and its records. The tests put their own answers into its hooks in
  // place of the dialogs.
  Frontend& Front() { return fe_; }

  int CurrentPage() const;
  void ShowPage(int index);

  // Controls -> form record (texts, check marks, cells: an open cell editor's text included).
  void ReadWidgets();
  // Form record -> controls (texts, captions, check marks, enabled states, colours, cells).
  void WriteWidgets();

  // Opens a case file (`vmk.exe CASE.json`); a file that cannot be used is named in a message box.
  bool OpenCaseFile(const std::string& path);

  // The window's part of a message loop: the keyboard shortcuts of the menu table (Ctrl+C and
  // Ctrl+V only while the grid has the focus), then Tab, Enter and the arrow keys among the
  // controls. True when the message was handled and must not be dispatched.
  bool PreTranslate(MSG& message);

 private:
  friend void InitWindowClasses();  // registers Proc
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleField(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

  void InstallHooks();
  HMENU BuildMenus();
  void BuildControls();
  HWND MakeControl(const ControlDef& def, HWND parent, int id);
  void BuildProfilePage(HWND page);
  void BuildMarkLabels();
  void ShowMarks(const WindowMarks& marks);
  void OpenManual(const std::string& indexPath);
  void Command(WORD id, WORD code, HWND from);
  void MenuCommandChosen(int id);
  HBRUSH ControlColors(HDC dc, HWND control);
  const ControlDef* DefOf(HWND control) const;
  void FitCaption(HWND control, const ControlDef& def, const std::wstring& text);
  void SetRecentMenu(const std::vector<RecentMenuEntry>& entries);
  void ShowProfile(const ProfileView& view);
  void ShowRejectedInput(const RejectedInputView& view);
  void ShowTip(const std::wstring& text, const RECT& beside);
  void HideTip();
  void DropFiles(HDROP drop);

  Frontend fe_;
  bool quitOnClose_;
  HWND hwnd_ = nullptr;
  HMENU recentMenu_ = nullptr;
  std::vector<std::string> recentPaths_;
  HACCEL windowKeys_ = nullptr;  // shortcuts that work anywhere in the window
  HACCEL gridKeys_ = nullptr;    // those that work only in the grid
  std::map<std::string, HWND, std::less<>> controls_;
  std::map<std::string, SysColor, std::less<>> shownColors_;
  std::map<std::string, HWND, std::less<>> marks_;
  bool resultsStale_ = false;  // the result labels greyed
  std::vector<HWND> pages_;
  HWND chart_ = nullptr;
  HWND summary_ = nullptr;
  HWND export_ = nullptr;
  PlotScene profileScene_;
  HWND tip_ = nullptr;
  std::wstring tipText_;
  HWND lastFocus_ = nullptr;
  std::string droppedFile_;
  bool writing_ = false;  // the program, not the user, is changing the controls
};

// Runs the message loop of the window until the window is closed; the program's exit status.
int RunMessageLoop(MainWindow& window);

}  // namespace vmk::win32
