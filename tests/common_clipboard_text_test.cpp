// Texts that reach the window from the keyboard and the clipboard: full-width digits in their
// half-width forms, and spreadsheet cells as tab-separated text.
#include <gtest/gtest.h>

#include "common/half_width.h"
#include "common/tab_separated.h"

namespace vmk {
namespace {

TEST(HalfWidth, DigitsAndNumberSignsOnlyOneForOne) {
  EXPECT_EQ(HalfWidthNumberText("０１２３４５６７８９"), "0123456789");
  EXPECT_EQ(HalfWidthNumberText("－１．５Ｅ＋３"), "-1.5E+3");
  EXPECT_EQ(HalfWidthNumberText("１ｅ−５"), "1e-5");  // U+2212 minus sign
  EXPECT_EQ(HalfWidthNumberText(" 10"), " 10");
  // Other full-width letters and signs, kana, the ideographic space and broken bytes stay.
  EXPECT_EQ(HalfWidthNumberText("ＡＢｆ，。　風ー"), "ＡＢｆ，。　風ー");
  EXPECT_EQ(HalfWidthNumberText("\xEF\xBC"), "\xEF\xBC");
  EXPECT_EQ(HalfWidthNumberText("\xEF\xBC\x91\x80"), "1\x80");
  EXPECT_EQ(HalfWidthNumberText(""), "");

  EXPECT_EQ(HalfWidthNumberChar(U'７'), U'7');
  EXPECT_EQ(HalfWidthNumberChar(U'ｅ'), U'e');
  EXPECT_EQ(HalfWidthNumberChar(U'＊'), U'＊');
  EXPECT_EQ(HalfWidthNumberChar(U'x'), U'x');
}

TEST(TabSeparated, SpreadsheetClipboardTexts) {
  const struct {
    const char* Text;
    TextBlock Cells;
  } rows[] = {
      {"", {}},
      {"5", {{"5"}}},
      {"5\r\n", {{"5"}}},  // one cell as spreadsheets copy it: with its line end
      {"1\t2\r\n3\t4\r\n", {{"1", "2"}, {"3", "4"}}},
      {"1\t2\n3\t4", {{"1", "2"}, {"3", "4"}}},
      {"1\r2\r", {{"1"}, {"2"}}},
      {"1\t\t3\n", {{"1", "", "3"}}},
      {"\t\n\t\n", {{"", ""}, {"", ""}}},
      {"1\n\n2\n", {{"1"}, {""}, {"2"}}},
      {"1\n\n", {{"1"}, {""}}},  // only the last line end closes the text
      {"1\t2\n3\n", {{"1", "2"}, {"3"}}},  // lines keep their own widths
      // Quoted cells: tabs, line ends and doubled quotes inside.
      {"\"a\tb\"\t\"c\r\nd\"\r\n", {{"a\tb", "c\r\nd"}}},
      {"\"say \"\"hi\"\"\"\tx", {{"say \"hi\"", "x"}}},
      {"\"\"\t1", {{"", "1"}}},
      {"\"12\"3\t4", {{"123", "4"}}},  // after the closing quote the rest is kept
      {"a\"b\t\"", {{"a\"b", "\""}}},  // a quote inside a cell, an unclosed quote
      {"\"12\n3", {{"\"12"}, {"3"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Text);
    EXPECT_EQ(ParseTabSeparated(row.Text), row.Cells);
  }
}

TEST(TabSeparated, WrittenTextReadsBackAsTheSameCells) {
  const TextBlock block = {{" 0.7", "   0", ""}, {"a\tb", "say \"hi\"", "two\nlines"}, {"\"q"}};
  const std::string text = TabSeparatedText(block);
  EXPECT_EQ(text, " 0.7\t   0\t\n\"a\tb\"\t\"say \"\"hi\"\"\"\t\"two\nlines\"\n\"\"\"q\"\n");
  EXPECT_EQ(ParseTabSeparated(text), block);
  EXPECT_EQ(TabSeparatedText({}), "");
}

}  // namespace
}  // namespace vmk
