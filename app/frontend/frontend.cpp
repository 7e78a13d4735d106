#include "app/frontend/frontend.h"

#include <exception>

#include "casefile/case_file.h"
#include "common/atomic_file.h"
#include "common/cp932.h"
#include "common/json_document.h"
#include "form/grid_paste.h"
#include "met/met_stats.h"

namespace vmk {
namespace {

template <class Hook, class... Args>
void Call(const Hook& hook, Args&&... args) {
  if (hook) hook(std::forward<Args>(args)...);
}

void ShowTitle(Frontend& fe) { Call(fe.Hooks.SetTitle, WindowTitle(fe.Document)); }
void ShowRecentFiles(Frontend& fe) { Call(fe.Hooks.SetRecentMenu, RecentMenu(fe.Document)); }

void ShowMarks(Frontend& fe) { Call(fe.Hooks.ShowMarks, CurrentMarks(fe)); }

void SetMarks(Frontend& fe, ResultState results, std::string hoursWarning) {
  fe.Results = results;
  fe.HoursWarning = std::move(hoursWarning);
  ShowMarks(fe);
}

void ShowProfile(Frontend& fe, ProfileView view) {
  fe.Profile = std::move(view);
  Call(fe.Hooks.ShowProfile, fe.Profile);
}

// The file a dialog chose, with the extension a save dialog adds; empty when cancelled.
std::string Choose(Frontend& fe, const FileDialog& dialog) {
  if (!fe.Hooks.ChooseFile) return {};
  return ChosenPath(dialog, fe.Hooks.ChooseFile(dialog));
}

// The start-up form, as when the program starts. The calculation state is the program's for
// its whole run and stays as the last calculation left it, as it does when a user types the
// start-up values back by hand.
void ResetToStartup(Frontend& fe) {
  Call(fe.Hooks.EndEditing);
  fe.Form = MakeStartupForm();
  Call(fe.Hooks.WriteWidgets);
  ShowProfile(fe, NoProfile());
  SetMarks(fe, ResultState::Current, {});
}

// Saves to the document's file, or asks for a name first; false when not saved.
bool SaveOrAsk(Frontend& fe) {
  std::string path = fe.Document.Path;
  if (path.empty()) path = Choose(fe, SaveCaseDialog(fe.Document));
  return !path.empty() && SaveCaseFile(fe, path);
}

void CopyCells(Frontend& fe) {
  Call(fe.Hooks.ReadWidgets);
  const GridSelection selection = fe.Hooks.ReadGridSelection ? fe.Hooks.ReadGridSelection() : GridSelection{};
  Call(fe.Hooks.WriteClipboard, CopyText(fe.Form.Grid, CopyRange(selection.Selected)));
}

void PasteCells(Frontend& fe) {
  Call(fe.Hooks.EndEditing);
  Call(fe.Hooks.ReadWidgets);
  const GridSelection selection = fe.Hooks.ReadGridSelection ? fe.Hooks.ReadGridSelection() : GridSelection{};
  const std::string text = fe.Hooks.ReadClipboard ? fe.Hooks.ReadClipboard() : std::string();
  const GridPaste paste = PlanGridPaste(text, selection.Row, selection.Col);
  if (!paste.Problem.empty()) {
    Call(fe.Hooks.ShowMessage, PasteProblemMessage(paste.Problem));
    return;
  }
  const bool changed = ApplyPaste(paste, fe.Form.Grid);
  Call(fe.Hooks.WriteWidgets);
  Call(fe.Hooks.SelectCells, PastedRange(paste, selection.Row, selection.Col));
  if (changed) InputEdited(fe);
}

}  // namespace

void ShowAll(Frontend& fe) {
  Call(fe.Hooks.WriteWidgets);
  ShowTitle(fe);
  ShowRecentFiles(fe);
  Call(fe.Hooks.ShowProfile, fe.Profile);
  ShowMarks(fe);
}

bool CommandAvailable(const Frontend& fe, MenuCommand command) {
  switch (command) {
    case MenuCommand::OpenSite:
      return static_cast<bool>(fe.Hooks.OpenSite);
    case MenuCommand::EditSite:
      return static_cast<bool>(fe.Hooks.EditSite);
    case MenuCommand::ShowManual:
      return static_cast<bool>(fe.Hooks.OpenManual);
    default:
      return true;
  }
}

void Execute(Frontend& fe, MenuCommand command) {
  switch (command) {
    case MenuCommand::NewCase:
      if (!MayDiscardEdits(fe)) return;
      ResetToStartup(fe);
      NoteNewCase(fe.Document);
      ShowTitle(fe);
      return;
    case MenuCommand::OpenCase: {
      if (!MayDiscardEdits(fe)) return;
      const std::string path = Choose(fe, OpenCaseDialog(fe.Document));
      if (!path.empty()) OpenCaseFile(fe, path);
      return;
    }
    case MenuCommand::SaveCase:
      SaveOrAsk(fe);
      return;
    case MenuCommand::SaveCaseAs: {
      const std::string path = Choose(fe, SaveCaseDialog(fe.Document));
      if (!path.empty()) SaveCaseFile(fe, path);
      return;
    }
    case MenuCommand::ImportMetStats: {
      const std::string path = Choose(fe, MetStatsDialog());
      if (!path.empty()) ImportMetDirection(fe, path);
      return;
    }
    case MenuCommand::OpenSite: {
      if (!fe.Hooks.OpenSite) return;
      // A window of its own; this window and its inputs stay as they are.
      const std::string path = Choose(fe, SiteDialog());
      if (!path.empty()) fe.Hooks.OpenSite(path);
      return;
    }
    case MenuCommand::EditSite:
      // A window of its own, as the site window is.
      Call(fe.Hooks.EditSite);
      return;
    case MenuCommand::Exit:
      Call(fe.Hooks.Close);
      return;
    case MenuCommand::CopyCells:
      CopyCells(fe);
      return;
    case MenuCommand::PasteCells:
      PasteCells(fe);
      return;
    case MenuCommand::ShowManual: {
      if (!fe.Hooks.OpenManual) return;
      const std::string index = ManualIndexPath(fe.ManualFolder);
      if (FileExists(index)) {
        fe.Hooks.OpenManual(index);
      } else {
        Call(fe.Hooks.ShowMessage, ManualMissingMessage(index));
      }
      return;
    }
    case MenuCommand::ShowVersion:
      Call(fe.Hooks.ShowMessage, VersionMessage());
      return;
  }
}

void ButtonClicked(Frontend& fe, std::string_view button) {
  if (ButtonCalculates(button)) Calculate(fe);
}

void EnterPressed(Frontend& fe, std::string_view field) {
  if (EnterCalculates(field)) Calculate(fe);
}

void FieldTyped(Frontend& fe, std::string_view /*field*/) { InputEdited(fe); }

void CheckBoxClicked(Frontend& fe, std::string_view box) {
  // The two boxes with a handler enable and grey out their fields.
  if (box == "PHrHmCheckBox" || box == "NOxTrnCheckBox") {
    Call(fe.Hooks.ReadWidgets);
    if (box == "PHrHmCheckBox") {
      PHrHmCheckBoxClick(fe.Form);
    } else {
      NOxTrnCheckBoxClick(fe.Form);
    }
    Call(fe.Hooks.WriteWidgets);
  }
  InputEdited(fe);
}

void CellEdited(Frontend& fe) { InputEdited(fe); }

void MarkEdited(Frontend& fe) {
  if (NoteEdit(fe.Document)) ShowTitle(fe);
}

void InputEdited(Frontend& fe) {
  MarkEdited(fe);
  if (fe.Results != ResultState::InputsChanged) SetMarks(fe, ResultState::InputsChanged, fe.HoursWarning);
}

WindowMarks CurrentMarks(const Frontend& fe) { return MarksOf(fe.Results, fe.Form, fe.HoursWarning); }

CalcOutcome Calculate(Frontend& fe) {
  Call(fe.Hooks.ReadWidgets);
  const Cp932 memoBefore = fe.Form.Text("memoOption");
  CalcOutcome outcome;
  try {
    outcome = RunCalculation(fe.Form, fe.State, fe.Settings);
  } catch (const std::exception& error) {
    // The command reports its own failures in the outcome; anything that still escapes it
    // ends the calculation the same way instead of leaving through the window's event loop.
    outcome.MessageBox = Utf8ToCp932(error.what()) + ".";
  }
  Call(fe.Hooks.WriteWidgets);
  // The version query rewrites the memo, which a case file holds.
  if (fe.Form.Text("memoOption") != memoBefore) MarkEdited(fe);
  // After the calculation, never inside it: the profile reruns the model at every distance for
  // the inputs the calculation validated.
  ShowProfile(fe, outcome.NormalResult ? ProfileOf(fe.State.Params, fe.State.TotalConc, fe.Settings.DecimalSep)
                                       : NoProfile());
  // A message box leaves the labels as an earlier calculation wrote them; the file-read
  // request leaves them and their mark as they were.
  const ResultState results = outcome.MessageBox  ? ResultState::CalculationStopped
                              : outcome.ResultsShown ? ResultState::Current
                                                     : fe.Results;
  SetMarks(fe, results, outcome.Rejected ? std::string() : HoursWarningText(CheckFreqTotal(fe.State.Params)));
  if (outcome.MessageBox) Call(fe.Hooks.ShowMessage, ErrorMessage(Cp932ToUtf8(*outcome.MessageBox)));
  if (outcome.Rejected) {
    if (const auto view = RejectedInputViewOf(*outcome.Rejected, fe.Form)) Call(fe.Hooks.ShowRejectedInput, *view);
  }
  return outcome;
}

bool OpenCaseFile(Frontend& fe, const std::string& path) {
  CaseFile file;
  try {
    file = ParseCaseFile(ReadCaseBytes(path));
  } catch (const CaseFileError& e) {
    Call(fe.Hooks.ShowMessage, FileProblemMessage(CannotOpenText(path, e.what())));
    return false;
  }
  if (file.IsArray) {
    Call(fe.Hooks.ShowMessage, FileProblemMessage(CaseArrayText(path)));
    return false;
  }
  Call(fe.Hooks.EndEditing);
  fe.Form = MakeStartupForm();
  ApplyCaseStep(file.Steps.front(), fe.Form);
  Call(fe.Hooks.WriteWidgets);
  ShowProfile(fe, NoProfile());
  SetMarks(fe, ResultState::Current, {});
  NoteOpenedOrSaved(fe.Document, AbsolutePath(path));
  ShowRecentFiles(fe);
  ShowTitle(fe);
  return true;
}

bool SaveCaseFile(Frontend& fe, const std::string& path) {
  Call(fe.Hooks.ReadWidgets);
  try {
    WriteFileAtomically(path, CaseFileText(fe.Form));
  } catch (const FileWriteError& e) {
    Call(fe.Hooks.ShowMessage, FileProblemMessage(CannotSaveText(e.what())));
    return false;
  }
  NoteOpenedOrSaved(fe.Document, AbsolutePath(path));
  ShowRecentFiles(fe);
  ShowTitle(fe);
  return true;
}

bool MayDiscardEdits(Frontend& fe) {
  if (!fe.Document.Edited) return true;
  const SaveAnswer answer = fe.Hooks.AskSave ? fe.Hooks.AskSave(SaveQuestionFor(fe.Document)) : SaveAnswer::Cancel;
  switch (answer) {
    case SaveAnswer::Save:
      return SaveOrAsk(fe);
    case SaveAnswer::Discard:
      return true;
    case SaveAnswer::Cancel:
      break;
  }
  return false;
}

void OpenRecentFile(Frontend& fe, const std::string& path) {
  if (!MayDiscardEdits(fe)) return;
  if (!OpenCaseFile(fe, path) && !FileExists(path)) {
    ForgetRecentFile(fe.Document, path);  // gone: the list keeps only files that can be opened
    ShowRecentFiles(fe);
  }
}

void OpenDroppedFile(Frontend& fe, const std::string& path) {
  if (MayDiscardEdits(fe)) OpenCaseFile(fe, path);
}

bool ImportMetDirection(Frontend& fe, const std::string& path, int direction) {
  MetStats stats;
  try {
    stats = ParseMetStats(ReadFileBytes(path));
  } catch (const std::exception& e) {  // unreadable, or not a met statistics file
    Call(fe.Hooks.ShowMessage, FileProblemMessage(CannotReadMetText(path, e.what())));
    return false;
  }
  if (direction < 0) {
    direction = fe.Hooks.ChooseDirection ? fe.Hooks.ChooseDirection(DirectionQuestionFor(stats)) : -1;
  }
  if (direction < 0 || direction >= kDirections) return false;
  Call(fe.Hooks.ReadWidgets);
  ApplyMetDirection(stats, direction, fe.Form);
  Call(fe.Hooks.WriteWidgets);
  InputEdited(fe);
  return true;
}

void ExportProfile(Frontend& fe) {
  if (!fe.Profile.HasProfile) return;
  const std::string path = Choose(fe, ProfileExportDialog());
  if (path.empty()) return;
  const std::string problem = ExportProfileTo(fe.Profile, path);
  if (!problem.empty()) Call(fe.Hooks.ShowMessage, ExportProblemMessage(problem));
}

}  // namespace vmk
