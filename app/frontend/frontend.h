// The main window's behaviour in plain C++, below both windows: the form record, the case
// document, the distance profile and every command of the menus, buttons and fields. A window
// builds its widgets from the layout table and its menus from the menu table, gives the
// frontend its hooks, forwards each event to one routine here and shows what the routine
// decides through the hooks.
//
// Texts in the hooks are UTF-8; the form record keeps the form's code page 932.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command/calc_state.h"
#include "app/command/calculation.h"
#include "input/frequency_grid.h"
#include "app/frontend/case_document.h"
#include "app/frontend/form_rules.h"
#include "app/frontend/menu_table.h"
#include "app/frontend/profile_view.h"
#include "app/frontend/window_marks.h"
#include "app/frontend/window_texts.h"
#include "form/form_record.h"

namespace vmk {

// What the frontend asks of its window: plain functions the window fills in. A hook left empty
// is a window without that part: a question is cancelled, a choice not made, nothing shown.
struct WindowHooks {
  // Asks 保存しますか? and returns the button pressed (Cancel when the box is closed).
  std::function<SaveAnswer(const SaveQuestion&)> AskSave;
  // Shows a file dialog; an empty path when cancelled.
  std::function<FileChoice(const FileDialog&)> ChooseFile;
  // Asks for one of the directions of a met statistics file; -1 when cancelled.
  std::function<int(const DirectionQuestion&)> ChooseDirection;
  // A modal message box with an OK button.
  std::function<void(const MessageText&)> ShowMessage;

  // The widgets into the form record (texts, check marks, cells; a cell being typed into
  // included, its editor left open), and the form record into the widgets (texts, captions,
  // check marks, enabled states, colours, cells).
  std::function<void()> ReadWidgets;
  std::function<void()> WriteWidgets;
  // Closes a grid cell's editor, its text kept: before the cells are replaced as a whole.
  std::function<void()> EndEditing;

  std::function<void(const std::string& title)> SetTitle;
  std::function<void(const std::vector<RecentMenuEntry>&)> SetRecentMenu;
  std::function<void()> Close;  // the window closes (and asks through MayClose)
  std::function<void(const ProfileView&)> ShowProfile;
  std::function<void(const RejectedInputView&)> ShowRejectedInput;
  // The marks beside the results and fields (window_marks.h): the result labels greyed with
  // their notes, the warning beside `FreqTotalEdit`.
  std::function<void(const WindowMarks&)> ShowMarks;

  // The grid's clipboard (UTF-8 text), its current cell and selection, and the block to select.
  std::function<std::string()> ReadClipboard;
  std::function<void(const std::string&)> WriteClipboard;
  std::function<GridSelection()> ReadGridSelection;
  std::function<void(const GridRange&)> SelectCells;

  // Opens a site file in a window of its own; empty where the window has no site window (the
  // menu then leaves out サイト濃度分布).
  std::function<void(const std::string& path)> OpenSite;
  // Opens the site editor, a window of its own; empty where the window has none (the menu then
  // leaves out サイトの編集).
  std::function<void()> EditSite;
  // Shows the manual from its first page (an HTML file), in a window of its own or the
  // system's browser; empty where the window cannot (the menu then leaves out 説明書).
  std::function<void(const std::string& indexPath)> OpenManual;
};

struct Frontend {
  FormRecord Form = MakeStartupForm();
  CalcState State;         // the process-wide state of the calculations, kept for the whole run
  CalcSettings Settings;   // the report folder and the window's decimal separator
  CaseDocument Document;
  std::string ManualFolder;  // the manual's folder; empty: "manual" beside the program
  ProfileView Profile = NoProfile();
  ResultState Results = ResultState::Current;  // whether the results shown belong to the inputs
  std::string HoursWarning;  // of the last calculation's inputs (window_marks.h), or empty
  WindowHooks Hooks;
};

// Shows the whole state through the hooks: the widgets, the title, the recent files, the
// profile. A window calls it once its hooks are in place.
void ShowAll(Frontend& fe);

// Whether the window offers a command: サイト濃度分布 only with a site window, 説明書 only where
// the window can show it.
bool CommandAvailable(const Frontend& fe, MenuCommand command);
// Runs a menu command.
void Execute(Frontend& fe, MenuCommand command);

// Events of the controls.
void ButtonClicked(Frontend& fe, std::string_view button);  // 計  算 calculates
void EnterPressed(Frontend& fe, std::string_view field);    // Enter in XrpEdit calculates
void FieldTyped(Frontend& fe, std::string_view field);      // the user changed a field's text
void CheckBoxClicked(Frontend& fe, std::string_view box);   // after the click toggled the box
void CellEdited(Frontend& fe);                              // the user changed a grid cell

// An unsaved edit: the title gains its mark.
void MarkEdited(Frontend& fe);
// An input was edited (typed, clicked, pasted, imported): an unsaved edit, and the results on
// screen no longer belong to the inputs.
void InputEdited(Frontend& fe);
// The marks of the state as the window shows them.
WindowMarks CurrentMarks(const Frontend& fe);

// One calculation (計  算): the widgets read, RunCalculation of app/command, the widgets
// written, the profile page redrawn, the marks shown (the results current, or stale after a
// message box; the hours warning of the validated inputs), then the error box or the rejected
// input shown.
CalcOutcome Calculate(Frontend& fe);

// Case files. Opening applies the file's one object to the start-up form as vmk-calc does (the
// calculation state is kept); a file that cannot be used changes nothing and says why. Saving
// writes every input control (never the totals) whole, through a temporary file, so that a
// failed save leaves the old file as it was and says why. Neither asks about unsaved edits;
// both return whether they succeeded.
bool OpenCaseFile(Frontend& fe, const std::string& path);
bool SaveCaseFile(Frontend& fe, const std::string& path);

// True when the caller may go on: no unsaved edits, or the user saved them (at the document's
// file, or one chosen now) or let them go. 新規作成, 開く, a recent file, a dropped file and
// closing the window all ask here first.
bool MayDiscardEdits(Frontend& fe);
inline bool MayClose(Frontend& fe) { return MayDiscardEdits(fe); }

// A recent file (its entry of the menu) and a dropped case file (after the drop has ended).
void OpenRecentFile(Frontend& fe, const std::string& path);
void OpenDroppedFile(Frontend& fe, const std::string& path);

// The table of one wind direction of a met statistics file (vmk-met/1) into the grid,
// `FreqTotalEdit` and `WDEdit`, an unsaved edit as typing is; `direction` -1 asks which. The
// other inputs stay; a file that cannot be used changes nothing and says why.
bool ImportMetDirection(Frontend& fe, const std::string& path, int direction = -1);

// The profile page's button 保存...: asks for a file and writes the profile shown to it.
void ExportProfile(Frontend& fe);

}  // namespace vmk
