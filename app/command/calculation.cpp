#include "app/command/calculation.h"

#include <exception>

#include "common/numtext.h"
#include "input/frequency_grid.h"
#include "input/read_parameters.h"
#include "model/model.h"
#include "platform/files.h"
#include "report/report.h"

namespace vmk {
namespace {

constexpr std::size_t kOptionPrefixLen = 6;

unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

// The option prefix "@", mode, "A".."F", ":", name character, "@" in the first six bytes.
struct MemoOptions {
  bool Matches = false;
  unsigned char Mode = 0;      // upper-cased second byte
  unsigned char NameChar = 0;  // upper-cased fifth byte
};

MemoOptions ParseMemoOptions(const Cp932& memo) {
  MemoOptions o;
  if (memo.size() < kOptionPrefixLen) return o;
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(memo[i]); };
  unsigned char letter = Upper(b(2));
  unsigned char name = Upper(b(4));
  bool nameOk = (name >= '0' && name <= '9') || (name >= 'A' && name <= 'Z');
  if (b(0) == '@' && letter >= 'A' && letter <= 'F' && b(3) == ':' && nameOk && b(5) == '@') {
    o.Matches = true;
    o.Mode = Upper(b(1));
    o.NameChar = name;
  }
  return o;
}

std::string ReportPath(const CalcSettings& settings, char nameChar) {
  const std::string dir = settings.ReportDir.empty() ? platform::DefaultReportFolder() : settings.ReportDir;
  return platform::JoinPath(dir, std::string("VMKIO") + nameChar + ".csv");
}

// The text of the modal message box for a report file failure, with its closing ".".
Cp932 IoErrorMessage(const ReportIoError& e) {
  switch (e.Kind) {
    case IoErrorKind::FileNotFound: return Sj("ﾌｧｲﾙが見つかりません.");
    case IoErrorKind::PathNotFound: return Sj("不正なﾌｧｲﾙ名です.");
    case IoErrorKind::AccessDenied: return Sj("ﾌｧｲﾙへのｱｸｾｽが拒否されました.");
    case IoErrorKind::DiskFull: return Sj("ﾃﾞｨｽｸがいっぱいです.");
    case IoErrorKind::TooManyOpenFiles: return Sj("ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます.");
    case IoErrorKind::Other: break;
  }
  return Sj("I/O ｴﾗｰ (" + std::to_string(e.SysErrno) + ").");
}


// The values of the run that the process-wide state keeps for the result display, the report
// trailer and later calculations: Qh, TotalConc, the error, and the last case's wind and rise
// in the parameter record (untouched when no case was computed).
void KeepModelResult(const ModelResult& result, CalcState& st) {
  st.Params.Qh = result.Qh;
  st.TotalConc = result.TotalConc;
  st.ModelError = result.ModelError;
  st.ModelErrorText = result.ModelErrorText;
  if (result.LastWind) {
    const WindAndRise& w = *result.LastWind;
    st.Params.Uhr = w.Uhr;
    st.Params.Uhm = w.Uhm;
    st.Params.Uh0 = w.Uh0;
    st.Params.Uhe = w.Uhe;
    st.Params.DH = w.DH;
    st.Params.He = w.He;
  }
}

}  // namespace

void ShowResults(FormRecord& form, const CalcState& st, bool ok, const std::string& sep) {
  if (!ok || st.ModelError) {
    form.Text("QhResultLabel") = " Error ";
    form.Text("ConcResLabel") = " Error ";
    form.Text("messageLabel") += ": " + st.ModelErrorText;
    return;
  }
  form.Text("QhResultLabel") = " " + FormatGeneral(st.Params.Qh, 4, sep);
  const long double c = st.TotalConc;
  const bool exponentForm = c >= 9.999e-6L && c < 0.001L;  // false for a value that is NaN
  form.Text("ConcResLabel") =
      " " + (exponentForm ? FormatExponent(c, 4, 1, sep) : FormatGeneral(c, 4, sep));
}

CalcOutcome RunCalculation(FormRecord& form, CalcState& st, const CalcSettings& settings) {
  CalcOutcome out;
  st.ModelErrorText.clear();
  st.ModelError = false;

  RejectedInput rejected;
  const bool ok = ReadModelParameters(form, st.Params, &rejected);
  ShowFrequencyTotals(st.Params, form.Grid, settings.DecimalSep);
  if (!ok) {
    out.Rejected = std::move(rejected);
    ShowResults(form, st, false, settings.DecimalSep);
    out.ResultsShown = true;
    return out;
  }

  Cp932& memo = form.Text("memoOption");
  const MemoOptions opt = ParseMemoOptions(memo);
  st.Report.ReportEnabled = opt.Matches && opt.Mode == 'W';
  const bool fileRead = opt.Matches && opt.Mode == 'R';

  if (memo.compare(0, 5, "@ver@") == 0) {
    // Keeps the first six bytes, but never half of a double-byte character.
    memo = CutWholeChars(memo, kOptionPrefixLen) + ":" + std::string(VersionStamp);
  }

  if (fileRead) {
    form.Text("messageLabel") = " proc. fileRead called ";
    return out;
  }

  try {
    if (st.Report.ReportEnabled) {
      const std::string path = ReportPath(settings, static_cast<char>(opt.NameChar));
      out.RequestedReportPath = path;
      st.Report.Memo = memo;
      OpenReportFile(st.Report, path);
    }
    const ModelResult result = RunModel(st.Params);
    KeepModelResult(result, st);
    if (st.Report.ReportEnabled) {
      WriteModelSections(st.Report, result);
      WriteReportTrailer(st.Report, st.Params.Qh, st.TotalConc);
      CloseReportFile(st.Report);
      out.ReportPath = out.RequestedReportPath;  // written only once closed
    }
  } catch (const ReportIoError& e) {
    // An error ends the calculation: the report file is left as it was before it (never half
    // a report in the user's record), and its lock is released.
    AbandonReportFile(st.Report);
    out.MessageBox = IoErrorMessage(e);
    return out;
  } catch (const std::exception& e) {
    AbandonReportFile(st.Report);
    out.MessageBox = Utf8ToCp932(e.what()) + ".";
    return out;
  }

  ShowResults(form, st, true, settings.DecimalSep);
  out.ResultsShown = true;
  out.NormalResult = !st.ModelError;
  return out;
}

}  // namespace vmk
