// The calculation command: one press of the calculate button, from reading the form to
// showing the results, with the optional report. Plain C++: the window and the command line
// both drive it through the form record.
#pragma once

#include <optional>
#include <string>

#include "form/form_record.h"
#include "app/command/calc_state.h"
#include "input/read_parameters.h"

namespace vmk {

inline constexpr std::string_view VersionStamp = "04.3.16 c";

struct CalcSettings {
  // Folder of the report files VMKIO<c>.csv; empty means `platform::DefaultReportFolder()`.
  std::string ReportDir;
  // Decimal separator of the window's number texts (the report always uses ".").
  std::string DecimalSep = ".";
};

struct CalcOutcome {
  // True when the results were shown in their normal form (valid inputs, no model error,
  // no input/output error, not the file-read request).
  bool NormalResult = false;
  // True when the result labels were written, with the results or " Error ": false when a
  // message box or the file-read request ended the calculation and left them as they were.
  bool ResultsShown = false;
  // Set when an input/output error ended the calculation: the text of the modal message box
  // (code page 932), for example "ﾌｧｲﾙが見つかりません."
  std::optional<Cp932> MessageBox;
  // The report file appended to, when a whole report was written and closed (a failure takes
  // the report back out of the file).
  std::optional<std::string> ReportPath;
  // The report file the memo asked for, whether or not it could be opened and written (a
  // message box about it names it).
  std::optional<std::string> RequestedReportPath;
  // The input at which the validation stopped, with the limits it was checked against.
  std::optional<RejectedInput> Rejected;
};

// `ShowResults`: writes the heat flux and concentration labels, or the error form (" Error "
// in both, ": " and the model's error text behind the status line) when `ok` is false or the
// model set `ModelError`.
void ShowResults(FormRecord& form, const CalcState& st, bool ok, const std::string& sep = ".");

// Runs one calculation over the form record and the process-wide state.
CalcOutcome RunCalculation(FormRecord& form, CalcState& st, const CalcSettings& settings);

}  // namespace vmk
