// Code page 932 (Shift-JIS) byte strings: the program's texts are held in this encoding
// everywhere inside the core; conversion happens only at the edges (window, JSON, terminal).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vmk {

// A text in code page 932 bytes. A plain byte string: lengths and cuts are in bytes.
using Cp932 = std::string;

// UTF-8 to code page 932. A character that code page 932 cannot hold, and any byte sequence
// that is not valid UTF-8, becomes "?".
Cp932 Utf8ToCp932(std::string_view utf8);

// Code page 932 to UTF-8. A byte or byte pair that is not a code page 932 character becomes "?".
std::string Cp932ToUtf8(std::string_view cp932);

// True when the text is well-formed UTF-8 (shortest forms, no surrogates, at most U+10FFFF).
bool IsUtf8(std::string_view text);

// Short form for the program's own fixed texts, written in UTF-8 in the source.
inline Cp932 Sj(std::string_view utf8) { return Utf8ToCp932(utf8); }

// True when the byte opens a double-byte character of code page 932.
bool IsCp932LeadByte(unsigned char byte);

// The first n bytes of the text (a plain byte cut, as the input fields and labels are cut).
Cp932 CutBytes(std::string_view text, std::size_t n);

// The first n bytes at most, without leaving half of a double-byte character at the end.
Cp932 CutWholeChars(std::string_view text, std::size_t n);

}  // namespace vmk
