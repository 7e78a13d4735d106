// Code page 932 of single characters, by the system's own converter: the C library's iconv on
// POSIX systems, the code page functions on Windows. Both give the same mapping, character for
// character, so that the same text gives the same bytes everywhere:
//   - the mapping of Windows' code page 932 without best-fit guesses;
//   - plus the look-alikes that the GNU C library also takes: U+00A2 (81 91), U+00A3 (81 92),
//     U+00A5 (5C), U+00AC (81 CA), U+2014 (81 5C), U+2016 (81 61), U+203E (7E), U+2212 (81 7C)
//     and U+301C (81 60); decoding still gives the code page's own characters for these bytes;
//   - minus what only Windows takes: U+0080 and the private-use U+F8F0 to U+F8F3, the single
//     bytes 80, A0, FD, FE and FF.
// The bytes 00 to 7F are the same characters everywhere; callers keep them to themselves.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vmk::platform {

// One conversion session: cheap to make, not shared between threads.
class Cp932Codec {
 public:
  Cp932Codec();
  ~Cp932Codec();
  Cp932Codec(const Cp932Codec&) = delete;
  Cp932Codec& operator=(const Cp932Codec&) = delete;

  // Appends the one or two bytes of the code point `cp` (U+0080 or above) to `out`; false, with
  // nothing appended, when code page 932 has no such character.
  bool Encode(char32_t cp, std::string& out);

  // The character of a one-byte sequence (n = 1, a byte from 80 to FF that opens no
  // double-byte character) or a two-byte sequence (n = 2, a lead byte and a trail byte), or
  // nothing when code page 932 assigns none.
  std::optional<char32_t> Decode(const unsigned char* bytes, std::size_t n);

 private:
  void* toCp932_ = nullptr;    // the system's converter handles, opened on first use
  void* fromCp932_ = nullptr;
};

}  // namespace vmk::platform
