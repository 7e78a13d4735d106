// The text of the calculation report: section headers, one row per counted case, the section
// totals and the closing block, in code page 932 with CR LF line ends.
#include "report/report.h"

#include <array>
#include <string>

#include "common/numtext.h"

namespace vmk {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kFieldSep = ", ";
// The fixed-width fields switch to the scientific form only from 10^36 on.
constexpr int kFixedMaxWholeDigits = 36;
constexpr std::size_t kTotalLabelMax = 10;
constexpr std::size_t kTotalTextMax = 25;
constexpr std::size_t kReportValueMax = 20;

// Code page 932 texts, converted once.
const Cp932& PuffColumnLine() {
  static const Cp932 line = Sj(
      "No.,風階,安定度,頻度 , Uhr, Uhm, Uh0, Uhe, ΔH, He, α, γ,η-^2,η+^2,F(-),F(+),F,NO2r,"
      "C1(ppb),Cw(ppb)");
  return line;
}

const Cp932& PlumeColumnLine() {
  static const Cp932 line = Sj(
      "No.,風階,安定度,頻度 , Uhr, Uhm, Uh0, Uhe, ΔH, He, σz,F(-),F(+),F,NO2r,C1(ppb),Cw(ppb)");
  return line;
}

// Calm (1) and weak wind (2).
std::string_view PuffWindLabel(int windCase) {
  static const std::array<Cp932, 3> labels = {Cp932(), Sj("無"), Sj("弱")};
  return windCase >= 1 && windCase <= 2 ? std::string_view(labels[static_cast<std::size_t>(windCase)])
                                        : std::string_view();
}

std::string_view StabilityLabel(int s) {
  return s >= StabFirst && s <= StabLast ? StabilityLabels[static_cast<std::size_t>(s)]
                                         : std::string_view();
}

// The fields of one row joined by ", ".
class RowText {
 public:
  RowText() { text_.reserve(256); }
  RowText& operator<<(std::string_view field) {
    if (!first_) text_ += kFieldSep;
    first_ = false;
    text_ += field;
    return *this;
  }
  std::string Line() {
    text_ += kLineEnd;
    return std::move(text_);
  }

 private:
  std::string text_;
  bool first_ = true;
};

void WriteSectionHeader(ReportFile& rf, std::string_view title, const Cp932& columns) {
  std::string text;
  text.reserve(columns.size() + rf.Memo.size() + 32);
  text += kLineEnd;
  text += title;
  text += "     ";
  text += rf.Memo;
  text += kLineEnd;
  text += kLineEnd;
  text += columns;
  text += kLineEnd;
  rf.Append(text);
}

}  // namespace

std::string FormatReportValue(float x) {
  std::string text = FormatGeneral(x, 5);
  if (text.size() > kReportValueMax) text.resize(kReportValueMax);
  return text;
}

std::string FormatFixedWidth(long double x, int w, int d) {
  std::string text = FormatFixed(x, kFixedMaxWholeDigits, d, ".");
  if (w > 0 && text.size() < static_cast<std::size_t>(w)) {
    text.insert(0, static_cast<std::size_t>(w) - text.size(), ' ');
  }
  return text;
}

std::string FormatIntWidth(long long v, int w) {
  std::string text = std::to_string(v);
  if (w > 0 && text.size() < static_cast<std::size_t>(w)) {
    text.insert(0, static_cast<std::size_t>(w) - text.size(), ' ');
  }
  return text;
}

void OpenReportFile(ReportFile& rf, const std::string& path) {
  if (!rf.ReportEnabled) return;
  rf.OpenExisting(path);
}

void WritePuffHeader(ReportFile& rf) {
  if (!rf.ReportEnabled) return;
  WriteSectionHeader(rf, "puff ", PuffColumnLine());
}

void WritePuffRow(ReportFile& rf, const PuffRow& row) {
  if (!rf.ReportEnabled) return;
  const WindAndRise& w = row.Wind;
  RowText r;
  r << FormatIntWidth(row.Number, 2) << PuffWindLabel(row.WindCase) << StabilityLabel(row.S)
    << FormatFixedWidth(row.freq, 7, 3) << FormatFixedWidth(w.Uhr, 5, 3)
    << FormatFixedWidth(w.Uhm, 5, 3) << FormatFixedWidth(w.Uh0, 5, 3)
    << FormatFixedWidth(row.U, 5, 3) << FormatFixedWidth(w.DH, 5, 2)
    << FormatFixedWidth(w.He, 5, 2) << FormatFixedWidth(row.alpha, 5, 3)
    << FormatFixedWidth(row.gamma, 5, 3) << FormatReportValue(row.Eta2Minus)
    << FormatReportValue(row.Eta2Plus) << FormatReportValue(row.FMinus)
    << FormatReportValue(row.FPlus) << FormatReportValue(row.F)
    << FormatFixedWidth(row.NO2r, 6, 4) << FormatReportValue(row.C1)
    << FormatReportValue(row.Cw);
  rf.Append(r.Line());
}

void WriteSectionTotal(ReportFile& rf, std::string_view label, float sum) {
  if (!rf.ReportEnabled) return;
  std::string text(kLineEnd);
  std::string caption = CutBytes(label, kTotalLabelMax);
  caption += " total(ppb) ,,,";
  text += CutBytes(caption, kTotalTextMax);
  text += FormatGeneral(sum, 4);
  text += kLineEnd;
  text += kLineEnd;
  rf.Append(text);
}

void WritePlumeHeader(ReportFile& rf) {
  if (!rf.ReportEnabled) return;
  WriteSectionHeader(rf, "Plume ", PlumeColumnLine());
}

void WritePlumeRow(ReportFile& rf, const PlumeRow& row) {
  if (!rf.ReportEnabled) return;
  const WindAndRise& w = row.Wind;
  RowText r;
  r << FormatIntWidth(row.Number, 2) << FormatIntWidth(row.K, 0) << StabilityLabel(row.S)
    << FormatIntWidth(row.Hours, 4) << FormatFixedWidth(w.Uhr, 5, 3)
    << FormatFixedWidth(w.Uhm, 5, 3) << FormatFixedWidth(w.Uh0, 5, 3)
    << FormatFixedWidth(w.Uhe, 5, 3) << FormatFixedWidth(w.DH, 5, 2)
    << FormatFixedWidth(w.He, 5, 2) << FormatFixedWidth(row.SigmaZ, 5, 2)
    << FormatReportValue(row.FMinus) << FormatReportValue(row.FPlus) << FormatReportValue(row.F)
    << FormatFixedWidth(row.NO2r, 6, 4) << FormatReportValue(row.C1)
    << FormatReportValue(row.Cw);
  rf.Append(r.Line());
}

void WriteModelSections(ReportFile& rf, const ModelResult& result) {
  if (!rf.ReportEnabled) return;
  WritePuffHeader(rf);
  for (const PuffRow& row : result.PuffRows) WritePuffRow(rf, row);
  WriteSectionTotal(rf, "puff", result.PuffSum);
  WritePlumeHeader(rf);
  for (const PlumeRow& row : result.PlumeRows) WritePlumeRow(rf, row);
  WriteSectionTotal(rf, "plume", result.PlumeSum);
}

void WriteReportTrailer(ReportFile& rf, float qh, float totalConc) {
  if (!rf.ReportEnabled) return;
  std::string text = rf.Memo;
  text += kLineEnd;
  text += "Qh (cal/s),,, ";
  text += FormatGeneral(qh, 4);
  text += kLineEnd;
  text += "C (ppb ng/m3),,, ";
  text += FormatGeneral(totalConc, 4);
  text += kLineEnd;
  text += "--------------,---------";
  text += kLineEnd;
  rf.Append(text);
}

void CloseReportFile(ReportFile& rf) {
  // Closing is not writing: a file that is open is closed whatever the switch says.
  rf.Close();
}

void AbandonReportFile(ReportFile& rf) noexcept { rf.Abandon(); }

}  // namespace vmk
