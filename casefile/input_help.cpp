#include "casefile/input_help.h"

#include "common/cp932.h"
#include "common/json_document.h"
#include "common/number_read.h"
#include "common/numtext.h"
#include "form/form_layout.h"

namespace vmk {
namespace {


// The text of the rejected control or cell, as the validation read it (code page 932).
const Cp932& InputText(const RejectedInput& r, const FormRecord& form) {
  if (r.Control == kGridControlName) return form.Grid[r.Row][r.Col];
  return form.Text(r.Control);
}

bool Disabled(const RejectedInput& r, const FormRecord& form) {
  return r.Control != kGridControlName && form.Has(r.Control) && !form[r.Control].Enabled;
}

std::string Quoted(const Cp932& text) { return QuoteForMessage(Cp932ToUtf8(text)); }

std::string ControlName(const RejectedInput& r) {
  if (r.Control != kGridControlName) return r.Control;
  return r.Control + " \"" + std::to_string(r.Row) + "," + std::to_string(r.Col) + "\"";
}

}  // namespace

std::string LimitText(float limit, InputKind kind) {
  if (kind == InputKind::Integer) return std::to_string(static_cast<int>(limit));
  // The fewest significant digits that read back as the same single-precision value.
  for (int digits = 1; digits <= 9; ++digits) {
    const std::string text = FormatGeneral(limit, digits);
    float back = 0;
    if (ReadNumber(text, back) == NumberReading::Finite && back == limit) return text;
  }
  return FormatGeneral(limit, 9);
}

std::string AcceptedRangeTip(const RejectedInput& r, const FormRecord& form) {
  const std::string low = LimitText(r.Limits.Low, r.Limits.Kind);
  const std::string high = LimitText(r.Limits.High, r.Limits.Kind);
  std::string tip;
  if (r.BelowAmbient) {
    tip = "排ガス温度 T は気温 Ta 以上にしてください\n";
  }
  tip += "入力できる範囲: " + low + " ～ " + high;
  tip += r.Limits.Kind == InputKind::Integer ? " の整数" : " の数値 (1.5E-3 の形も可)";
  if (Disabled(r, form)) tip += "\nNOx変換を行わないときも検査されます";
  return tip;
}

std::string AcceptedRangeLine(const RejectedInput& r, const FormRecord& form) {
  std::string line = ControlName(r) + " " + Quoted(InputText(r, form)) + ": ";
  if (r.BelowAmbient) {
    return line + "T must not be below Ta (TempAmbEdit " + Quoted(form.Text("TempAmbEdit")) + ")";
  }
  line += r.Limits.Kind == InputKind::Integer ? "a whole number from " : "a number from ";
  line += LimitText(r.Limits.Low, r.Limits.Kind) + " to " + LimitText(r.Limits.High, r.Limits.Kind);
  line += " is accepted";
  if (Disabled(r, form)) line += " (checked while the NOx conversion is off)";
  return line;
}

}  // namespace vmk
