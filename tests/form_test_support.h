// Shared by the tests of the form's round trips (case files, the window): every input of one
// form record against another's.
#pragma once

#include <gtest/gtest.h>

#include "form/form_layout.h"
#include "form/form_record.h"

namespace vmk::formtest {

// Every input the same: the text, check mark and enabled state of each edit field and check
// box of the layout, and each input cell of the grid (not the totals).
inline void ExpectSameInputs(const FormRecord& got, const FormRecord& want) {
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind != ControlKind::Edit && def.Kind != ControlKind::CheckBox) continue;
    EXPECT_EQ(got[def.Name].Text, want[def.Name].Text) << def.Name;
    EXPECT_EQ(got[def.Name].Checked, want[def.Name].Checked) << def.Name;
    EXPECT_EQ(got[def.Name].Enabled, want[def.Name].Enabled) << def.Name;
  }
  for (std::size_t r = kGridInputFirstRow; r <= kGridInputLastRow; ++r) {
    for (std::size_t c = kGridInputFirstCol; c <= kGridInputLastCol; ++c) {
      EXPECT_EQ(got.Grid[r][c], want.Grid[r][c]) << "cell " << r << "," << c;
    }
  }
}

}  // namespace vmk::formtest
