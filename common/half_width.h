// Full-width digits and number signs, as a Japanese input method types them, in their
// half-width (ASCII) forms: the numeric fields and the grid cells take them as typed numbers.
#pragma once

#include <string>
#include <string_view>

namespace vmk {

// The half-width form of a full-width digit "０" to "９", or of "．", "－", "＋", "Ｅ", "ｅ"
// (and of the minus sign U+2212, which some input methods give for "－"); any other
// character unchanged. One character for one, so a cursor position stays where it was.
char32_t HalfWidthNumberChar(char32_t c);

// The same over a UTF-8 text; every other character, broken bytes included, is kept as it is.
std::string HalfWidthNumberText(std::string_view utf8);

}  // namespace vmk
