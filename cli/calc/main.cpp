// vmk-calc: the calculations of the window without a window. A case file names the controls to
// change before each press of the calculate button; the program runs the same calculation
// command as the window on one form record and one calculation state, and prints the results.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "app/command/calculation.h"
#include "input/frequency_grid.h"
#include "casefile/case_file.h"
#include "casefile/input_help.h"
#include "casefile/profile_csv.h"
#include "cli/calc/profile_output.h"
#include "cli/support/cli_support.h"
#include "cli/support/command_line.h"
#include "cli/support/picture_file.h"
#include "common/cp932.h"
#include "common/json_writer.h"
#include "input/read_parameters.h"
#include "model/profile.h"
#include "plot/profile_chart.h"

namespace vmk::cli {
namespace {

constexpr std::string_view kProgram = "vmk-calc";

// Some calculation did not show its results in the normal form.
constexpr int kExitNotNormal = 1;

constexpr std::string_view kUsage =
    "Usage: vmk-calc [--json] [--report-dir DIR] CASE\n"
    "       vmk-calc --profile FROM:TO:N [--log] [--plot FILE] [--report-dir DIR] CASE\n"
    "       vmk-calc --template | --help | --version\n";

constexpr std::string_view kOptionsHelp = R"(
Runs the calculations of a case file as presses of the window's calculate button
would, without the window, and prints their results.

  CASE              a case file (JSON, UTF-8), or - for standard input
  --json            print the results as JSON: one object per calculation, an
                    array of them when the case file holds an array
  --report-dir DIR  folder of the report files VMKIO<c>.csv (default:
                    $HOME/Vellmark/IO, on Windows c:\Vellmark\IO); as in the
                    window, the file must exist
  --profile FROM:TO:N
                    after the calculations, the concentration along the wind
                    direction for the inputs of the last calculation, at N
                    distances from FROM to TO m (both included, evenly spaced);
                    see Distance profile below
  --log             space the N distances evenly on a log scale instead
  --plot FILE       also draw the profile into FILE, an SVG or PNG picture
                    as its name ends (.svg, .png)
  --template        print a case file holding every input at its start-up value
  --help            print this text
  --version         print the version stamp
)";

constexpr std::string_view kHelp = R"(
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
it, the text of a message box when one was shown (with the report file it
could not open), and the report file when one was appended to.
Output with --json, per calculation: messageLabel, QhResultLabel, ConcResLabel
and memoOption (the texts after the calculation); totals (the grid's total
cells, "r,13" for rows 1 to 10 and "10,c" for columns 2 to 12); Qh and
TotalConc (the stored single-precision values, written as the shortest number
that reads back as the same float; null when the value is not finite, which
JSON cannot hold); messageBox (only when a file error ended the calculation);
report (the file appended to, only when a report was written).
Standard error, in both forms: for an input that stopped a calculation, what
it accepts, for example
  vmk-calc: XrpEdit " 0": a number from 0.09999 to 100001 is accepted
(with "calculation N: " before it when the case file holds an array); a
warning when FreqTotalEdit is less than the hours the grid counts for all
directions (rows 1 and 3 and the windy rows 4 to 9: the concentration comes
out too high; the calculation runs as always); with --json, the report file
of a message box; and a warning when --report-dir is given but no calculation
wrote a report.

Exit status:
  0  every calculation showed its results in the normal form
  1  some calculation did not: invalid input or a model error (" Error "), a
     message box (for example a missing report file), or the memo's file-read
     request "@RA:x@", which shows no results
  2  bad command line, or the case file cannot be used (nothing was computed)
  3  the output could not be written, or the program ran out of memory
An empty array is a case file with no calculation: it prints nothing (or []
with --json) and exits with 0.

Distance profile (--profile FROM:TO:N):
The case file's calculations run as usual, but their result lines go to
standard error; standard output holds only the profile as CSV text:
  R (m),C,C puff,C plume        the header
  <R>,<C>,<C puff>,<C plume>    one line per distance, in ascending order
  max,<C>,at R (m),<R>          the last line: the maximum and its distance
C is the concentration a calculation with that receptor distance R (all other
inputs as in the last calculation) would show; C puff and C plume are its calm
and weak-wind part and its windy part. Numbers are the shortest text that
reads back as the same single-precision value ("0.11478379", "5.038305e-36",
"1e+05"). The maximum is the largest point refined between its neighbours to
0.01 % in distance (the first point when C is zero everywhere).
FROM and TO must lie from 0.09999 to 100001 m, as the receptor distance of the
window, FROM below TO; N is 2 to 100000. --json cannot be combined with
--profile. The plot (800 x 500 pixels) shows C over R on a linear or, with
--log, a log distance axis, with the maximum and the receptor distance of the
last calculation marked.
When the last calculation did not show its results in the normal form (or the
case file holds none), there is nothing to profile: one line says so, no CSV is
printed and the exit status is 1. Otherwise the exit status is as above; a
plot that cannot be written gives 3.
)";

struct Options {
  bool Json = false;
  bool Template = false;
  std::optional<std::string> ProfileText;
  std::optional<ProfileRequest> Profile;
  bool LogScale = false;
  std::optional<std::string> Plot;
  std::optional<std::string> ReportDir;
  std::vector<std::string> Cases;
};

// The combinations the profile options allow, after the whole command line is read.
std::optional<std::string> CheckProfileOptions(const Options& o) {
  if (!o.Profile) {
    if (o.LogScale) return "--log needs --profile FROM:TO:N";
    if (o.Plot) return "--plot needs --profile FROM:TO:N";
    return std::nullopt;
  }
  if (o.Json) return "--json cannot be combined with --profile (the profile is CSV text)";
  if (o.Plot) return PictureNameProblem(kProgram, "--plot", *o.Plot);
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
// the window's label text (which begins with its own blank). A message box about a report
// file that could not be opened names that file.
std::string TextResult(const FormRecord& form, const CalcOutcome& outcome, bool memoChanged) {
  std::string s = Cp932ToUtf8(form.Text("messageLabel")) + "\n";
  s += "Qh (cal/s)     :" + Cp932ToUtf8(form.Text("QhResultLabel")) + "\n";
  s += "C (ppb, ng/m3) :" + Cp932ToUtf8(form.Text("ConcResLabel")) + "\n";
  if (memoChanged) s += "memo           : " + Cp932ToUtf8(form.Text("memoOption")) + "\n";
  if (outcome.MessageBox) s += "message box    : " + Cp932ToUtf8(*outcome.MessageBox) + "\n";
  if (outcome.ReportPath) {
    s += "report         : " + *outcome.ReportPath + "\n";
  } else if (outcome.MessageBox && outcome.RequestedReportPath) {
    s += "report file    : " + *outcome.RequestedReportPath + " (not written)\n";
  }
  return s;
}

// The last calculation's profile: CSV on standard output and the optional plot. Returns the
// exit status when it ends the run, or nothing to keep the calculations' status.
std::optional<int> WriteProfile(const Options& o, const CalcState& state) {
  const ProfileRequest& req = *o.Profile;
  const std::vector<float> distances = ProfileDistances(req.From, req.To, req.N, o.LogScale);
  const Profile profile = ComputeProfile(state.Params, distances);

  Write(ProfileCsvText(profile));

  if (o.Plot) {
    ProfilePlotInput in;
    in.Data = &profile;
    in.From = req.From;
    in.To = req.To;
    in.LogScale = o.LogScale;
    in.Receptor = std::make_pair(state.Params.R, state.TotalConc);
    // Written whole: a failed write leaves no broken picture behind.
    if (const auto problem = WritePictureFile(BuildProfilePlot(in), *o.Plot)) {
      std::fprintf(stderr, "vmk-calc: cannot write the plot %s: %s\n", o.Plot->c_str(),
                   problem->c_str());
      return kExitOutputFailed;
    }
  }
  return std::nullopt;
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

  // With a profile, standard output holds only its CSV; the results go to standard error.
  std::FILE* const resultsOut = o.Profile ? stderr : stdout;
  bool allNormal = true;
  bool lastNormal = false;
  JsonWriter json;
  if (o.Json && cases.IsArray) json.BeginArray();
  bool anyReport = false;
  int n = 0;
  for (const CaseStep& step : cases.Steps) {
    ApplyCaseStep(step, form);
    const Cp932 memoBefore = form.Text("memoOption");
    const CalcOutcome outcome = RunCalculation(form, *state, settings);
    allNormal = allNormal && outcome.NormalResult;
    lastNormal = outcome.NormalResult;
    anyReport = anyReport || outcome.ReportPath.has_value();
    // Notes on standard error name the calculation when the file holds several.
    const std::string which = cases.IsArray ? "calculation " + std::to_string(n + 1) + ": " : "";
    if (o.Json) {
      WriteJsonResult(json, form, *state, outcome);
      Write(json.Drain());
      if (outcome.MessageBox && !outcome.ReportPath && outcome.RequestedReportPath) {
        Write("vmk-calc: " + which + "message box \"" + Cp932ToUtf8(*outcome.MessageBox) +
                  "\" for the report file " + *outcome.RequestedReportPath + "\n",
              stderr);
      }
    } else {
      if (cases.IsArray) {
        Write((n > 0 ? "\ncalculation " : "calculation ") + std::to_string(n + 1) + "\n",
              resultsOut);
      }
      Write(TextResult(form, outcome, form.Text("memoOption") != memoBefore),
            resultsOut);
    }
    // What the rejected input accepts: the status line names it only.
    if (outcome.Rejected) {
      std::fflush(resultsOut);
      Write("vmk-calc: " + which + AcceptedRangeLine(*outcome.Rejected, form) + "\n", stderr);
    } else if (const auto shortfall = CheckFreqTotal(state->Params)) {
      // The calculation ran as always; the weights it used are too large.
      std::fflush(resultsOut);
      Write("vmk-calc: " + which + "warning: FreqTotalEdit " + std::to_string(shortfall->FreqTotal) +
                " is less than the " + std::to_string(shortfall->GridHours) +
                " hours the grid counts for all directions (calm and weak wind of all directions, "
                "windy of this one): the concentration comes out too high\n",
            stderr);
    }
    ++n;
    if (std::ferror(stdout)) break;  // nobody reads the results: stop computing them
  }
  if (o.Json) {
    if (cases.IsArray) json.EndArray();
    Write(json.Finish());
  }
  if (o.ReportDir && !anyReport) {
    std::fprintf(stderr,
                 "vmk-calc: warning: no calculation wrote a report into %s (--report-dir); a memo "
                 "beginning \"@WA:1@\" asks for one\n",
                 o.ReportDir->c_str());
  }
  std::optional<int> profileExit;
  if (o.Profile && !std::ferror(stdout)) {
    if (!lastNormal) {
      std::fprintf(stderr, "vmk-calc: %s\n",
                   cases.Steps.empty()
                       ? "no profile: the case file holds no calculation"
                       : "no profile: the last calculation did not show its results in the "
                         "normal form, so there are no valid inputs to profile");
      profileExit = kExitNotNormal;
    } else {
      profileExit = WriteProfile(o, *state);
    }
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "vmk-calc: cannot write the output\n");
    return kExitOutputFailed;
  }
  if (profileExit) return *profileExit;
  return allNormal ? kExitNormal : kExitNotNormal;
}

int Main(int argc, char** argv) {
  Options o;
  CommandLine line({kProgram, kUsage, kOptionsHelp, kHelp});
  line.Flag("--json", o.Json);
  line.Flag("--template", o.Template);
  line.Value("--report-dir", o.ReportDir, "a folder");
  line.Value("--profile", o.ProfileText, "FROM:TO:N");
  line.Flag("--log", o.LogScale);
  line.Value("--plot", o.Plot, "a file name ending in .png or .svg");
  if (const auto exit = line.Read(argc, argv, o.Cases)) return *exit;
  if (o.Template) {
    if (o.Json || o.ReportDir || o.ProfileText || o.LogScale || o.Plot || !o.Cases.empty()) {
      return line.Refuse("--template takes no case file or other option");
    }
    Write(CaseTemplate());
    return kExitNormal;
  }
  if (o.Cases.empty()) return line.Refuse("no case file given");
  if (o.Cases.size() > 1) return line.Refuse("more than one case file given");
  if (o.ProfileText) {
    auto parsed = ParseProfileRequest(*o.ProfileText);
    if (auto* problem = std::get_if<std::string>(&parsed)) return ArgumentError(kProgram, *problem);
    o.Profile = std::get<ProfileRequest>(parsed);
  }
  if (const auto problem = CheckProfileOptions(o)) return ArgumentError(kProgram, *problem);
  return Run(o);
}

}  // namespace
}  // namespace vmk::cli

int main(int argc, char** argv) {
  return vmk::cli::RunProgram(vmk::cli::kProgram, argc, argv, vmk::cli::Main);
}
