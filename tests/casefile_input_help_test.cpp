// What the window and vmk-calc say about a rejected input: the limits as short texts that
// the field reads back as the same values, the tooltip and the command line's line.
#include <gtest/gtest.h>

#include "input/frequency_grid.h"
#include "casefile/input_help.h"
#include "input/field_parse.h"

namespace vmk {
namespace {

TEST(LimitText, ShortestTextThatTheFieldReadsBackAsTheSameValue) {
  const struct {
    float Limit;
    InputKind Kind;
    const char* Text;
  } rows[] = {
      {0.0f, InputKind::Real, "0"},           {10001.0f, InputKind::Real, "10001"},
      {9.99E-16f, InputKind::Real, "9.99E-16"}, {0.000099f, InputKind::Real, "9.9E-5"},
      {0.09999f, InputKind::Real, "0.09999"},  {100001.0f, InputKind::Real, "100001"},
      {20.001f, InputKind::Real, "20.001"},    {1.001f, InputKind::Real, "1.001"},
      {-11.0f, InputKind::Real, "-11"},        {8784.0f, InputKind::Real, "8784"},
      {8784.0f, InputKind::Integer, "8784"},   {1.0f, InputKind::Integer, "1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Text);
    const std::string text = LimitText(row.Limit, row.Kind);
    EXPECT_EQ(text, row.Text);
    // Typed into a field with that limit, the text passes as the limit itself.
    Cp932 status;
    if (row.Kind == InputKind::Real) {
      float value = 1;
      EXPECT_TRUE(ParseRealField(text, value, "x", row.Limit, row.Limit, status));
      EXPECT_EQ(value, row.Limit);
    } else {
      std::int16_t value = 0;
      const auto limit = static_cast<std::int16_t>(row.Limit);
      EXPECT_TRUE(ParseIntField(text, value, "x", limit, limit, status));
    }
  }
}

// The texts themselves are checked where users see them (the window's tooltip, vmk-calc's
// standard error); here the note on a disabled field, which follows the check box.
TEST(AcceptedRange, DisabledConversionFieldIsSaidToBeCheckedAnyway) {
  FormRecord form = MakeStartupForm();
  form.Text("kEdit") = Sj("１");
  const auto rejected = [&] { return FirstRejectedInput(form).value_or(RejectedInput{}); };
  EXPECT_EQ(AcceptedRangeLine(rejected(), form),
            "kEdit \"１\": a number from 0 to 10.01 is accepted (checked while the NOx "
            "conversion is off)");
  EXPECT_EQ(AcceptedRangeTip(rejected(), form),
            "入力できる範囲: 0 ～ 10.01 の数値 (1.5E-3 の形も可)\nNOx変換を行わないときも検査されます");
  form["NOxTrnCheckBox"].Checked = true;
  NOxTrnCheckBoxClick(form);
  EXPECT_EQ(AcceptedRangeLine(rejected(), form), "kEdit \"１\": a number from 0 to 10.01 is accepted");
  EXPECT_EQ(AcceptedRangeTip(rejected(), form), "入力できる範囲: 0 ～ 10.01 の数値 (1.5E-3 の形も可)");
}

}  // namespace
}  // namespace vmk
