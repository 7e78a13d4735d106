// Code page 932 of single characters: the same mapping from the C library's iconv and from
// Windows' code page functions, including where the two differ by themselves.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/text.h"

namespace vmk::platform {
namespace {

std::string Encoded(char32_t cp) {
  Cp932Codec codec;
  std::string out = "<";
  if (!codec.Encode(cp, out)) return "none";
  return out.substr(1);
}

std::optional<char32_t> Decoded(std::string bytes) {
  Cp932Codec codec;
  return codec.Decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

TEST(PlatformCp932, CharactersOfTheCodePage) {
  const std::pair<char32_t, const char*> cases[] = {
      {0x3000, "\x81\x40"}, {0x0394, "\x83\xA2"}, {0x6FC3, "\x94\x5A"}, {0xFF8C, "\xCC"},
      {0xFF61, "\xA1"},     {0xFF9F, "\xDF"},     {0x2015, "\x81\x5C"}, {0xFF5E, "\x81\x60"},
      {0x2225, "\x81\x61"}, {0xFF0D, "\x81\x7C"}, {0xFFE0, "\x81\x91"}, {0xFFE2, "\x81\xCA"},
      {0x7E8A, "\xFA\x5C"},  // IBM extension, not its NEC-selected twin ED 40
      {0x2252, "\x81\xE0"},  // the JIS row, not its NEC row 13 twin 87 90
      {0xE000, "\xF0\x40"}, {0xE757, "\xF9\xFC"},  // the user-defined area
  };
  for (const auto& [cp, bytes] : cases) {
    EXPECT_EQ(Encoded(cp), bytes) << std::hex << static_cast<unsigned>(cp);
    EXPECT_EQ(Decoded(bytes), cp) << std::hex << static_cast<unsigned>(cp);
  }
  EXPECT_EQ(Decoded("\xED\x40"), U'\x7E8A');
  EXPECT_EQ(Decoded("\x87\x90"), U'\x2252');
}

// What the GNU C library takes besides Windows' mapping: both systems take it.
TEST(PlatformCp932, LookAlikesGiveTheBytesOfTheirTwins) {
  const std::pair<char32_t, const char*> cases[] = {
      {0x00A2, "\x81\x91"}, {0x00A3, "\x81\x92"}, {0x00A5, "\x5C"},
      {0x00AC, "\x81\xCA"}, {0x2014, "\x81\x5C"}, {0x2016, "\x81\x61"},
      {0x203E, "\x7E"},     {0x2212, "\x81\x7C"}, {0x301C, "\x81\x60"},
  };
  for (const auto& [cp, bytes] : cases) {
    EXPECT_EQ(Encoded(cp), bytes) << std::hex << static_cast<unsigned>(cp);
  }
}

// What only Windows takes by itself: neither system takes it.
TEST(PlatformCp932, WhatOnlyWindowsTakesIsLeftOut) {
  for (const char32_t cp : {0x0080, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3}) {
    EXPECT_EQ(Encoded(cp), "none") << std::hex << static_cast<unsigned>(cp);
  }
  for (const char* byte : {"\x80", "\xA0", "\xFD", "\xFE", "\xFF"}) {
    EXPECT_EQ(Decoded(byte), std::nullopt) << std::hex << (static_cast<unsigned>(*byte) & 0xFF);
  }
}

TEST(PlatformCp932, CharactersOutsideTheCodePage) {
  for (const char32_t cp : {0x00E9, 0x00A6, 0x20AC, 0xFFFD, 0x1F600, 0x20B9F, 0x10FFFF}) {
    EXPECT_EQ(Encoded(cp), "none") << std::hex << static_cast<unsigned>(cp);
  }
  EXPECT_EQ(Decoded("\x85\x40"), std::nullopt);  // an unassigned pair
  EXPECT_EQ(Decoded("\xEF\x40"), std::nullopt);
}

}  // namespace
}  // namespace vmk::platform
