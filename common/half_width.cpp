#include "common/half_width.h"

namespace vmk {

char32_t HalfWidthNumberChar(char32_t c) {
  if (c >= U'\uFF10' && c <= U'\uFF19') return U'0' + (c - U'\uFF10');
  switch (c) {
    case U'\uFF0E': return U'.';
    case U'\uFF0D': return U'-';
    case U'\u2212': return U'-';
    case U'\uFF0B': return U'+';
    case U'\uFF25': return U'E';
    case U'\uFF45': return U'e';
    default: return c;
  }
}

std::string HalfWidthNumberText(std::string_view utf8) {
  // Every character mapped is three bytes long in UTF-8. A lead byte never occurs inside
  // another character, so a three-byte match is always a whole character.
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(utf8[i + k]); };
    if (i + 2 < utf8.size() && (b(0) & 0xF0) == 0xE0 && (b(1) & 0xC0) == 0x80 &&
        (b(2) & 0xC0) == 0x80) {
      const char32_t c = (char32_t(b(0) & 0x0F) << 12) | (char32_t(b(1) & 0x3F) << 6) |
                         char32_t(b(2) & 0x3F);
      const char32_t half = HalfWidthNumberChar(c);
      if (half != c) {
        out += static_cast<char>(half);
        i += 3;
        continue;
      }
    }
    out += utf8[i++];
  }
  return out;
}

}  // namespace vmk
