// vmk-cp932-table: prints how this build converts between Unicode and code page 932, through
// the program's own Utf8ToCp932 and Cp932ToUtf8, so that the tables of two systems can be
// compared line by line (the Windows build under wine against the Linux build):
//   E U+XXXX BB [BB]         the bytes of a code point (UTF-8 in, code page 932 out)
//   E U+XXXX..U+YYYY ?       a run of code points that the code page lacks (each gives "?")
//   D BB [BB] U+XXXX ...     the characters of every one- and two-byte sequence
// and last a line with the count of lines and a 64-bit FNV-1a digest of everything before it.
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/cp932.h"
#include "platform/streams.h"

namespace {

class Table {
 public:
  void Line(const std::string& text) {
    for (const char c : text) Digest(static_cast<unsigned char>(c));
    Digest('\n');
    out_ += text;
    out_ += '\n';
    ++lines_;
    if (out_.size() > (1u << 16)) Flush();
  }
  void Finish() {
    char last[96];
    std::snprintf(last, sizeof last, "lines %llu digest %016llx\n",
                  static_cast<unsigned long long>(lines_), static_cast<unsigned long long>(hash_));
    out_ += last;
    Flush();
  }

 private:
  void Digest(unsigned char c) { hash_ = (hash_ ^ c) * 0x100000001b3ull; }
  void Flush() {
    std::fwrite(out_.data(), 1, out_.size(), stdout);
    out_.clear();
  }
  std::string out_;
  std::uint64_t lines_ = 0;
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

std::string Hex(std::uint32_t v, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, static_cast<unsigned>(v));
  return buf;
}

std::string Bytes(const std::string& bytes) {
  std::string text;
  for (const char c : bytes) {
    if (!text.empty()) text += ' ';
    text += Hex(static_cast<unsigned char>(c), 2);
  }
  return text;
}

// UTF-8 of any value up to U+10FFFF, surrogates too (their three bytes are no UTF-8, and the
// conversion must say so).
std::string Utf8(std::uint32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

// The code points of a UTF-8 text (the converter's output is well formed).
std::string CodePoints(const std::string& utf8) {
  std::string text;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    std::uint32_t cp = c;
    std::size_t n = 1;
    if (c >= 0xF0) {
      cp = c & 0x07;
      n = 4;
    } else if (c >= 0xE0) {
      cp = c & 0x0F;
      n = 3;
    } else if (c >= 0xC0) {
      cp = c & 0x1F;
      n = 2;
    }
    for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += n;
    text += " U+" + Hex(cp, 4);
  }
  return text;
}

}  // namespace

int main() {
  const vmk::platform::StandardStreams streams;
  Table table;

  // Every code point; runs of those the code page lacks on one line. "?" itself is U+003F.
  std::uint32_t runStart = 0;
  bool inRun = false;
  const auto endRun = [&](std::uint32_t end) {
    if (inRun) table.Line("E U+" + Hex(runStart, 4) + "..U+" + Hex(end, 4) + " ?");
    inRun = false;
  };
  for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    const std::string bytes = vmk::Utf8ToCp932(Utf8(cp));
    if (bytes == "?" && cp != '?') {
      if (!inRun) runStart = cp;
      inRun = true;
      continue;
    }
    endRun(cp - 1);
    table.Line("E U+" + Hex(cp, 4) + " " + Bytes(bytes));
  }
  endRun(0x10FFFF);

  // Every one- and two-byte sequence.
  for (int a = 0; a < 256; ++a) {
    const std::string one(1, static_cast<char>(a));
    table.Line("D " + Bytes(one) + CodePoints(vmk::Cp932ToUtf8(one)));
    for (int b = 0; b < 256; ++b) {
      const std::string two{static_cast<char>(a), static_cast<char>(b)};
      table.Line("D " + Bytes(two) + CodePoints(vmk::Cp932ToUtf8(two)));
    }
  }
  table.Finish();
  return std::fflush(stdout) == 0 ? 0 : 1;
}
