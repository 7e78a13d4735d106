#include "common/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace vmk {
namespace {

// One conversion with iconv, replacing each unconvertible or invalid input sequence by "?".
// `badInputLen` tells how many input bytes to skip past an invalid sequence.
template <typename SkipFn>
std::string Convert(const char* to, const char* from, std::string_view in, SkipFn badInputLen) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  std::string out;
  out.reserve(in.size() * 2 + 4);
  char* inp = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char buf[256];
  while (inLeft > 0) {
    char* outp = buf;
    size_t outLeft = sizeof buf;
    size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    out.append(buf, static_cast<size_t>(outp - buf));
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ (not representable or invalid) or EINVAL (incomplete at the end).
    size_t skip = badInputLen(reinterpret_cast<const unsigned char*>(inp), inLeft);
    if (skip == 0 || skip > inLeft) skip = inLeft < 1 ? 0 : 1;
    inp += skip;
    inLeft -= skip;
    out.push_back('?');
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

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

size_t Cp932SeqLen(const unsigned char* p, size_t left) {
  if (IsCp932LeadByte(p[0]) && left >= 2) {
    unsigned char t = p[1];
    if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) return 2;
  }
  return 1;
}

}  // namespace

bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

Cp932 Utf8ToCp932(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, Utf8SeqLen); }

std::string Cp932ToUtf8(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, Cp932SeqLen);
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
