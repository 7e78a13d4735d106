// vmk-calc: the calculations of the window without a window. A case file names the controls to
// change before each press of the calculate button; the program runs the same calculation
// command as the window on one form record and one calculation state, and prints the results.
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command/calculation.h"
#include "cli/case_file.h"
#include "cli/json_writer.h"
#include "common/cp932.h"

namespace vmk::cli {
namespace {

constexpr int kExitNormal = 0;
constexpr int kExitNotNormal = 1;
constexpr int kExitUnusable = 2;
constexpr int kExitOutputFailed = 3;

constexpr std::string_view kUsage =
    "Usage: vmk-calc [--json] [--report-dir DIR] CASE\n"
    "       vmk-calc --template | --help | --version\n";

constexpr std::string_view kHelp = R"(
Runs the calculations of a case file as presses of the window's calculate button
would, without the window, and prints their results.

  CASE              a case file (JSON, UTF-8), or - for standard input
  --json            print the results as JSON: one object per calculation, an
                    array of them when the case file holds an array
  --report-dir DIR  folder of the report files VMKIO<c>.csv (default:
                    $HOME/Vellmark/IO); as in the window, the file must exist
  --template        print a case file holding every input at its start-up value
  --help            print this text
  --version         print the version stamp

Case file: one object (one calculation) or an array of objects (calculations in
order, as successive presses in one window: each object changes only the
controls it names; all others keep what the previous calculation left).
Keys are the control names of the window:
  edit fields (QgEdit, QpEdit, ..., XrpEdit, HrpEdit, memoOption, WDEdit,
    FreqTotalEdit): a string, the field's text exactly (leading blanks count;
    a character that code page 932 lacks becomes "?")
  check boxes (PHrHmCheckBox, WDdistributeCheckBox, NOxTrnCheckBox): true or
    false; a change acts as a click on the box
  MetStringGrid: an object of "row,col": text; rows 1 to 10 and columns 1 to
    13 ("4,8" is windy class 1, stability class Dd). Row 10 and column 13 are
    the totals: they may be set, but every calculation overwrites them.
A memo that begins "@WA:1@" appends a report to DIR/VMKIO1.csv.
The whole case file is checked before anything is computed: at most 16 MiB and
64 levels of nesting, no key twice in one object.

Output without --json: the status line, the heat flux and the concentration as
the window shows them; then the memo when the version query "@ver@" changed
it, the text of a message box when one was shown, and the report file when one
was appended to.
Output with --json, per calculation: messageLabel, QhResultLabel, ConcResLabel
and memoOption (the texts after the calculation); totals (the grid's total
cells, "r,13" for rows 1 to 10 and "10,c" for columns 2 to 12); Qh and
TotalConc (the stored single-precision values, written as the shortest number
that reads back as the same float; null when the value is not finite, which
JSON cannot hold); messageBox (only when a file error ended the calculation);
report (the file appended to, only when a report was written).

Exit status:
  0  every calculation showed its results in the normal form
  1  some calculation did not: invalid input or a model error (" Error "), a
     message box (for example a missing report file), or the memo's file-read
     request "@RA:x@", which shows no results
  2  bad command line, or the case file cannot be used (nothing was computed)
  3  the output could not be written, or the program ran out of memory
An empty array is a case file with no calculation: it prints nothing (or []
with --json) and exits with 0.
)";

struct Options {
  bool Json = false;
  bool Help = false;
  bool Version = false;
  bool Template = false;
  std::optional<std::string> ReportDir;
  std::vector<std::string> Cases;
};

void Write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "vmk-calc: %s\n%.*s", problem.c_str(), static_cast<int>(kUsage.size()),
               kUsage.data());
  return kExitUnusable;
}

// Returns the problem with the command line, or nothing.
std::optional<std::string> ParseArgs(int argc, char** argv, Options& o) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (optionsEnded || a == "-" || a.empty() || a.front() != '-') {
      o.Cases.emplace_back(a);
    } else if (a == "--") {
      optionsEnded = true;
    } else if (a == "--json") {
      o.Json = true;
    } else if (a == "--help" || a == "-h") {
      o.Help = true;
    } else if (a == "--version") {
      o.Version = true;
    } else if (a == "--template") {
      o.Template = true;
    } else if (a == "--report-dir" || a.starts_with("--report-dir=")) {
      std::string dir;
      if (a == "--report-dir") {
        if (i + 1 >= argc) return "--report-dir needs a folder";
        dir = argv[++i];
      } else {
        dir = std::string(a.substr(a.find('=') + 1));
      }
      if (dir.empty()) return "--report-dir needs a folder";
      o.ReportDir = dir;
    } else {
      return "unknown option " + std::string(a);
    }
  }
  return std::nullopt;
}

void WriteJsonResult(JsonWriter& w, const FormRecord& form, const CalcState& st,
                     const CalcOutcome& outcome) {
  w.BeginObject();
  for (std::string_view name : {"messageLabel", "QhResultLabel", "ConcResLabel", "memoOption"}) {
    w.Key(name);
    w.String(Cp932ToUtf8(form.Text(name)));
  }
  w.Key("totals");
  w.BeginObject();
  for (int r = 1; r <= 10; ++r) {
    w.Key(std::to_string(r) + ",13");
    w.String(Cp932ToUtf8(form.Grid[r][13]));
  }
  for (int c = 2; c <= 12; ++c) {
    w.Key("10," + std::to_string(c));
    w.String(Cp932ToUtf8(form.Grid[10][c]));
  }
  w.EndObject();
  w.Key("Qh");
  w.Float(st.Params.Qh);
  w.Key("TotalConc");
  w.Float(st.TotalConc);
  if (outcome.MessageBox) {
    w.Key("messageBox");
    w.String(Cp932ToUtf8(*outcome.MessageBox));
  }
  if (outcome.ReportPath) {
    w.Key("report");
    w.String(*outcome.ReportPath);
  }
  w.EndObject();
}

// The lines a person reads: the status line as the window shows it, then each result with
// the window's label text (which begins with its own blank).
std::string TextResult(const FormRecord& form, const CalcOutcome& outcome, bool memoChanged) {
  std::string s = Cp932ToUtf8(form.Text("messageLabel")) + "\n";
  s += "Qh (cal/s)     :" + Cp932ToUtf8(form.Text("QhResultLabel")) + "\n";
  s += "C (ppb, ng/m3) :" + Cp932ToUtf8(form.Text("ConcResLabel")) + "\n";
  if (memoChanged) s += "memo           : " + Cp932ToUtf8(form.Text("memoOption")) + "\n";
  if (outcome.MessageBox) s += "message box    : " + Cp932ToUtf8(*outcome.MessageBox) + "\n";
  if (outcome.ReportPath) s += "report         : " + *outcome.ReportPath + "\n";
  return s;
}

int Run(const Options& o) {
  const std::string& path = o.Cases.front();
  const std::string shownName = path == "-" ? "standard input" : path;
  CaseFile cases;
  try {
    cases = ParseCaseFile(ReadCaseBytes(path));
  } catch (const CaseFileError& e) {
    std::fprintf(stderr, "vmk-calc: %s: %s\n", shownName.c_str(), e.what());
    return kExitUnusable;
  }

  FormRecord form = MakeStartupForm();
  auto state = std::make_unique<CalcState>();  // zeroed, as at the start of the program
  CalcSettings settings;
  if (o.ReportDir) settings.ReportDir = *o.ReportDir;

  bool allNormal = true;
  JsonWriter json;
  if (o.Json && cases.IsArray) json.BeginArray();
  int n = 0;
  for (const CaseStep& step : cases.Steps) {
    ApplyCaseStep(step, form);
    const Cp932 memoBefore = form.Text("memoOption");
    const CalcOutcome outcome = RunCalculation(form, *state, settings);
    allNormal = allNormal && outcome.NormalResult;
    if (o.Json) {
      WriteJsonResult(json, form, *state, outcome);
      Write(json.Drain());
    } else {
      if (cases.IsArray) {
        Write((n > 0 ? "\ncalculation " : "calculation ") + std::to_string(n + 1) + "\n");
      }
      Write(TextResult(form, outcome, form.Text("memoOption") != memoBefore));
    }
    ++n;
    if (std::ferror(stdout)) break;  // nobody reads the results: stop computing them
  }
  if (o.Json) {
    if (cases.IsArray) json.EndArray();
    Write(json.Finish());
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "vmk-calc: cannot write the output\n");
    return kExitOutputFailed;
  }
  return allNormal ? kExitNormal : kExitNotNormal;
}

int Main(int argc, char** argv) {
  Options o;
  if (const auto problem = ParseArgs(argc, argv, o)) return UsageError(*problem);
  if (o.Help) {
    Write(kUsage);
    Write(kHelp);
    return kExitNormal;
  }
  if (o.Version) {
    Write(std::string(VersionStamp) + "\n");
    return kExitNormal;
  }
  if (o.Template) {
    if (o.Json || o.ReportDir || !o.Cases.empty()) {
      return UsageError("--template takes no case file or other option");
    }
    Write(CaseTemplate());
    return kExitNormal;
  }
  if (o.Cases.empty()) return UsageError("no case file given");
  if (o.Cases.size() > 1) return UsageError("more than one case file given");
  return Run(o);
}

}  // namespace
}  // namespace vmk::cli

int main(int argc, char** argv) {
  try {
    return vmk::cli::Main(argc, argv);
  } catch (const std::exception& e) {
    // Not expected: the case file has been checked and the calculation catches its own
    // errors. Out of memory is the one way here.
    std::fprintf(stderr, "vmk-calc: cannot go on: %s\n", e.what());
    return vmk::cli::kExitOutputFailed;
  }
}
