// The form record: the controls' state by name, its start-up state from the layout table, and
// the two check-box handlers that enable and grey out their dependent fields.
#include "form/form_record.h"

#include <stdexcept>

namespace vmk {

ControlState& FormRecord::operator[](std::string_view name) {
  auto it = Controls.find(name);
  if (it == Controls.end()) throw std::out_of_range("unknown control: " + std::string(name));
  return it->second;
}

const ControlState& FormRecord::operator[](std::string_view name) const {
  auto it = Controls.find(name);
  if (it == Controls.end()) throw std::out_of_range("unknown control: " + std::string(name));
  return it->second;
}

bool FormRecord::Has(std::string_view name) const { return Controls.find(name) != Controls.end(); }

FormRecord MakeLayoutForm() {
  FormRecord form;
  for (const ControlDef& def : FormLayout()) {
    ControlState state;
    state.Text = Sj(def.Text);
    state.Checked = false;
    state.Enabled = def.Enabled;
    state.Color = def.Color;
    form.Controls.emplace(std::string(def.Name), std::move(state));
  }
  return form;
}

void SetEditEnabled(FormRecord& form, bool enabled, std::string_view field) {
  ControlState& state = form[field];
  state.Enabled = enabled;
  state.Color = enabled ? SysColor::Window : SysColor::ActiveBorder;
}

void PHrHmCheckBoxClick(FormRecord& form) {
  // Stability dependent: the multiplier is used; otherwise the constant.
  const bool dependent = form.Checked("PHrHmCheckBox");
  SetEditEnabled(form, dependent, "PHr_HmmultEdit");
  SetEditEnabled(form, !dependent, "Phr_HmEdit");
}

void NOxTrnCheckBoxClick(FormRecord& form) {
  const bool on = form.Checked("NOxTrnCheckBox");
  for (std::string_view field : {"AlphaEdit", "BetaDayEdit", "BetaNitEdit", "kEdit", "O3dayEdit",
                                 "O3nitEdit", "NOxDistAdEdit"}) {
    SetEditEnabled(form, on, field);
  }
}

}  // namespace vmk
