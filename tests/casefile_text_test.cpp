// A form written as a case file and read back gives every editable control again.
#include <gtest/gtest.h>

#include "input/frequency_grid.h"
#include "casefile/case_file.h"
#include "form/form_layout.h"
#include "form_test_support.h"

namespace vmk {
namespace {

TEST(CaseFileText, WritesEveryEditableControlAndReadsBack) {
  FormRecord form = MakeStartupForm();
  form.Text("QgEdit") = " 25";
  form.Text("memoOption") = Sj("@WA:1@ 試算 \"引用\"\t");
  form.Text("WDEdit") = Sj(" 北東");
  form["NOxTrnCheckBox"].Checked = true;
  NOxTrnCheckBoxClick(form);
  form.Grid[4][8] = "100";
  form.Grid[2][3] = " 1.5";
  form.Grid[9][12] = "7";
  form.Grid[10][13] = "totals are not saved";
  form.Grid[5][13] = "nor this";

  const std::string text = CaseFileText(form);
  EXPECT_EQ(text.find("10,"), std::string::npos);
  EXPECT_EQ(text.find(",13"), std::string::npos);
  const CaseFile file = ParseCaseFile(text);
  ASSERT_FALSE(file.IsArray);
  ASSERT_EQ(file.Steps.size(), 1u);

  FormRecord back = MakeStartupForm();
  ApplyCaseStep(file.Steps[0], back);
  formtest::ExpectSameInputs(back, form);
  EXPECT_NE(back.Grid[10][13], form.Grid[10][13]);
  EXPECT_EQ(CaseTemplate(), CaseFileText(MakeStartupForm()));
}

}  // namespace
}  // namespace vmk
