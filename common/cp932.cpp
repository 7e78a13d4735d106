#include "common/cp932.h"

#include <optional>

#include "platform/text.h"

namespace vmk {
namespace {

// Length of the UTF-8 sequence that starts at p: the lead byte and the continuation bytes that
// follow it, up to the length the lead byte announces (1 for a stray byte). A sequence cut short
// thus counts as one bad character, like a whole character the code page cannot hold.
size_t Utf8SeqLen(const unsigned char* p, size_t left) {
  unsigned char c = p[0];
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
  size_t i = 1;
  while (i < n && i < left && (p[i] & 0xC0) == 0x80) ++i;
  return i;
}

// The code point of the well-formed UTF-8 sequence at p (shortest form, no surrogate, at most
// U+10FFFF) and its length, or 0 when the sequence is not well formed.
size_t DecodeUtf8(const unsigned char* p, size_t left, char32_t& cp) {
  const size_t n = Utf8SeqLen(p, left);
  const unsigned char c = p[0];
  if (n == 2 && (c >> 5) == 0x6) {
    cp = (char32_t(c & 0x1F) << 6) | (p[1] & 0x3F);
    return cp >= 0x80 ? 2 : 0;
  }
  if (n == 3 && (c >> 4) == 0xE) {
    cp = (char32_t(c & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    return cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF) ? 3 : 0;
  }
  if (n == 4 && (c >> 3) == 0x1E) {
    cp = (char32_t(c & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
         (char32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
    return cp >= 0x10000 && cp <= 0x10FFFF ? 4 : 0;
  }
  return 0;
}

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

size_t Cp932SeqLen(const unsigned char* p, size_t left) {
  if (IsCp932LeadByte(p[0]) && left >= 2) {
    unsigned char t = p[1];
    if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) return 2;
  }
  return 1;
}

}  // namespace

bool IsUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const size_t n = p[i] < 0x80 ? 1 : DecodeUtf8(p + i, text.size() - i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The bytes 00 to 7F are the same characters in both encodings; every other character goes
// through the system's converter, one at a time, so that a character it lacks becomes one "?".
Cp932 Utf8ToCp932(std::string_view utf8) {
  Cp932 out;
  out.reserve(utf8.size());
  platform::Cp932Codec codec;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  size_t i = 0;
  while (i < utf8.size()) {
    if (p[i] < 0x80) {
      out += static_cast<char>(p[i++]);
      continue;
    }
    char32_t cp = 0;
    const size_t n = DecodeUtf8(p + i, utf8.size() - i, cp);
    if (n != 0 && codec.Encode(cp, out)) {
      i += n;
    } else {
      out += '?';
      i += Utf8SeqLen(p + i, utf8.size() - i);
    }
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 3 / 2 + 4);
  platform::Cp932Codec codec;
  const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
  size_t i = 0;
  while (i < cp932.size()) {
    if (p[i] < 0x80) {
      out += static_cast<char>(p[i++]);
      continue;
    }
    const size_t n = Cp932SeqLen(p + i, cp932.size() - i);
    // A lead byte without its trail byte is no character at all.
    const auto cp = n == 1 && IsCp932LeadByte(p[i]) ? std::nullopt : codec.Decode(p + i, n);
    if (cp) {
      AppendUtf8(*cp, out);
    } else {
      out += '?';
    }
    i += n;
  }
  return out;
}

Cp932 CutBytes(std::string_view text, std::size_t n) {
  return Cp932(text.substr(0, n < text.size() ? n : text.size()));
}

Cp932 CutWholeChars(std::string_view text, std::size_t n) {
  if (text.size() <= n) return Cp932(text);
  size_t i = 0;
  while (i < n) {
    size_t len = IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    if (i + len > n) break;
    i += len;
  }
  return Cp932(text.substr(0, i));
}

}  // namespace vmk
