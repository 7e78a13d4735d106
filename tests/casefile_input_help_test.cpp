// What the window and vmk-calc say about a rejected input: the limits as short texts that
// the field reads back as the same values, the tooltip and the command line's line.
#include <gtest/gtest.h>

#include <optional>

#include "app/command/calculation.h"
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

RejectedInput RejectedOf(const FormRecord& form) {
  const std::optional<RejectedInput> r = FirstRejectedInput(form);
  EXPECT_TRUE(r.has_value());
  return r.value_or(RejectedInput{});
}

TEST(AcceptedRange, CommandLineLineNamesTheControlItsTextAndTheRange) {
  FormRecord form = MakeStartupForm();
  form.Text("XrpEdit") = " 0";
  EXPECT_EQ(AcceptedRangeLine(RejectedOf(form), form),
            "XrpEdit \" 0\": a number from 0.09999 to 100001 is accepted");

  form = MakeStartupForm();
  form.Grid[5][4] = "1.5";
  EXPECT_EQ(AcceptedRangeLine(RejectedOf(form), form),
            "MetStringGrid \"5,4\" \"1.5\": a whole number from 0 to 8784 is accepted");

  form = MakeStartupForm();
  form.Text("TempGEdit") = " 14.9";
  EXPECT_EQ(AcceptedRangeLine(RejectedOf(form), form),
            "TempGEdit \" 14.9\": T must not be below Ta (TempAmbEdit \" 15.0\")");

  form = MakeStartupForm();  // the conversion is off: its fields are disabled, yet checked
  form.Text("kEdit") = Sj("１");
  EXPECT_EQ(AcceptedRangeLine(RejectedOf(form), form),
            "kEdit \"１\": a number from 0 to 10.01 is accepted (checked while the NOx "
            "conversion is off)");
}

TEST(AcceptedRange, TooltipGivesTheRangeAndTheKindOfNumber) {
  FormRecord form = MakeStartupForm();
  form.Text("QpEdit") = "0";
  EXPECT_EQ(AcceptedRangeTip(RejectedOf(form), form),
            "入力できる範囲: 9.99E-16 ～ 10001 の数値 (1.5E-3 の形も可)");

  form = MakeStartupForm();
  form.Text("FreqTotalEdit") = " 0";
  EXPECT_EQ(AcceptedRangeTip(RejectedOf(form), form), "入力できる範囲: 1 ～ 8784 の整数");

  form = MakeStartupForm();
  form.Text("TempGEdit") = " 10";
  EXPECT_EQ(AcceptedRangeTip(RejectedOf(form), form),
            "排ガス温度 T は気温 Ta 以上にしてください\n入力できる範囲: 0 ～ 801 の数値 (1.5E-3 の形も可)");

  form = MakeStartupForm();
  form.Text("NOxDistAdEdit") = "";
  EXPECT_EQ(AcceptedRangeTip(RejectedOf(form), form),
            "入力できる範囲: 0 ～ 10001 の数値 (1.5E-3 の形も可)\nNOx変換を行わないときも検査されます");
  form["NOxTrnCheckBox"].Checked = true;
  NOxTrnCheckBoxClick(form);
  EXPECT_EQ(AcceptedRangeTip(RejectedOf(form), form),
            "入力できる範囲: 0 ～ 10001 の数値 (1.5E-3 の形も可)");
}

}  // namespace
}  // namespace vmk
