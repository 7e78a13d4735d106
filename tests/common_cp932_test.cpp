// Code page 932 texts: conversion both ways with "?" for what cannot be held, and byte cuts.
#include <gtest/gtest.h>

#include <string>

#include "common/cp932.h"

namespace vmk {
namespace {

struct Pair {
  const char* utf8;
  const char* cp932;
};

TEST(Cp932, ConvertsBothWays) {
  const Pair cases[] = {
      {"", ""},
      {"Qg (m3N/s) ,~\\", "Qg (m3N/s) ,~\\"},
      {"Δ", "\x83\xA2"},
      {"ΔH", "\x83\xA2H"},
      {"濃度", "\x94\x5A\x93\x78"},
      {"ﾌｧｲﾙ", "\xCC\xA7\xB2\xD9"},  // half-width katakana: one byte each
      {"\u3000", "\x81\x40"},
      {"表", "\x95\x5C"},  // trail byte equal to the backslash
      {"α,γ,η,σ", "\x83\xBF,\x83\xC1,\x83\xC5,\x83\xD0"},
      {" 入力・条件 : O.K.", " \x93\xFC\x97\xCD\x81\x45\x8F\xF0\x8C\x8F : O.K."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.utf8;
    EXPECT_EQ(Sj(c.utf8), c.cp932) << c.utf8;
    EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8) << c.utf8;
  }
}

TEST(Cp932, UnrepresentableAndInvalidBecomeQuestionMarks) {
  const Pair toCp932[] = {
      {"a\U0001F600b", "a?b"},   // emoji: one mark for the whole character
      {"\u00E9t\u00E9", "?t?"},  // Latin letters outside the code page
      {"x\xFFy", "x?y"},         // a byte that never occurs in UTF-8
      {"x\x80y", "x?y"},         // stray continuation byte
      {"\xE6\xBF", "?"},         // a sequence cut short at the end: one mark
      {"\xE6\xBFx", "?x"},       // a sequence cut short before an ASCII byte
      {"\xE6\xBF\xE6\xBF\xC3", "???"},
      {"\xC0\xAF", "?"},         // overlong form of "/"
      // Tag characters, which the C library's converter would drop without a trace: each
      // still leaves its mark, so that no character vanishes from a report.
      {"a\U000E0001b\U000E007F", "a?b?"},
  };
  for (const auto& c : toCp932) {
    EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.utf8;
  }
  struct Back {
    const char* cp932;
    const char* utf8;
  };
  const Back toUtf8[] = {
      {"a\x80z", "a?z"},      // not a code page 932 byte
      {"a\xFDz", "a?z"},      // not a code page 932 byte
      {"\x81\x20z", "? z"},   // lead byte with a trail byte out of range
      {"ab\x94", "ab?"},      // lead byte cut off at the end
      {"\x85\x40z", "?z"},    // unassigned double-byte code: one mark
  };
  for (const auto& c : toUtf8) {
    EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8) << c.utf8;
  }
}

TEST(Cp932, IsUtf8) {
  const std::pair<const char*, bool> cases[] = {
      {"", true},
      {"plain", true},
      {"\u98a8\u901f \U0001F600", true},
      {"\xE9\xA2", false},          // cut short at the end
      {"\xE9\xA2x", false},         // cut short before an ASCII byte
      {"\xC0\xAF", false},          // overlong "/"
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
      {"\x93\xfa\x96\x7b", false},  // code page 932 text
  };
  for (const auto& [text, utf8] : cases) EXPECT_EQ(IsUtf8(text), utf8) << text;
}

TEST(Cp932, LeadBytes) {
  for (int b = 0; b < 256; ++b) {
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(b)), lead) << b;
  }
}

TEST(Cp932, Cuts) {
  const Cp932 mixed = Sj("Aﾌ濃度");  // 41 CC 94 5A 93 78
  struct Cut {
    std::size_t n;
    const char* bytes;
    const char* whole;
  };
  const Cut cases[] = {
      {0, "", ""},
      {1, "A", "A"},
      {2, "A\xCC", "A\xCC"},
      {3, "A\xCC\x94", "A\xCC"},  // never half a double-byte character
      {4, "A\xCC\x94\x5A", "A\xCC\x94\x5A"},
      {5, "A\xCC\x94\x5A\x93", "A\xCC\x94\x5A"},
      {6, "A\xCC\x94\x5A\x93\x78", "A\xCC\x94\x5A\x93\x78"},
      {20, "A\xCC\x94\x5A\x93\x78", "A\xCC\x94\x5A\x93\x78"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CutBytes(mixed, c.n), c.bytes) << c.n;
    EXPECT_EQ(CutWholeChars(mixed, c.n), c.whole) << c.n;
  }
  // A trail byte in the ASCII range is not taken for a character of its own.
  EXPECT_EQ(CutWholeChars(Sj("表示"), 3), Sj("表"));
}

}  // namespace
}  // namespace vmk
