// The case-file reader over any bytes: a file is refused with one line saying why, or its
// calculations run as the window runs them. A file that is read gives the same form again when
// the form is written out and read back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/command/calculation.h"
#include "input/frequency_grid.h"
#include "casefile/case_file.h"
#include "form/form_layout.h"
#include "fuzz_support.h"

namespace {

bool SameInputs(const vmk::FormRecord& a, const vmk::FormRecord& b) {
  for (const vmk::ControlDef& def : vmk::FormLayout()) {
    if (def.Kind != vmk::ControlKind::Edit && def.Kind != vmk::ControlKind::CheckBox) continue;
    if (a[def.Name].Text != b[def.Name].Text || a[def.Name].Checked != b[def.Name].Checked) {
      return false;
    }
  }
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 12; ++c) {
      if (a.Grid[r][c] != b.Grid[r][c]) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vmk::CaseFile file;
  try {
    file = vmk::ParseCaseFile(bytes);
  } catch (const vmk::CaseFileError& e) {
    CheckOneLine(e.what());
    return 0;
  }
  vmk::FormRecord form = vmk::MakeStartupForm();
  vmk::CalcState state;
  vmk::CalcSettings settings;
  settings.ReportDir = "/nonexistent-vmk-fuzz-folder";  // a report request gets its message box
  int runs = 0;
  for (const vmk::CaseStep& step : file.Steps) {
    vmk::ApplyCaseStep(step, form);
    if (++runs <= 4) vmk::RunCalculation(form, state, settings);
  }
  // Written out and read back, the form's inputs come back unchanged.
  vmk::CaseFile again;
  try {
    again = vmk::ParseCaseFile(vmk::CaseFileText(form));
  } catch (const vmk::CaseFileError& e) {
    Broken(std::string("a written form was refused: ") + e.what());
  }
  if (again.Steps.size() != 1) Broken("a written form is not one calculation");
  vmk::FormRecord back = vmk::MakeStartupForm();
  vmk::ApplyCaseStep(again.Steps[0], back);
  if (!SameInputs(form, back)) Broken("a written form did not read back the same");
  return 0;
}
