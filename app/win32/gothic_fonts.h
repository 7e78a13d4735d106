// The window's Japanese gothic fonts on Windows: a proportional one for the controls and a
// fixed-pitch one for the frequency grid, both 12 pixels high with the Shift_JIS character set,
// each the first installed of its list (the system's Japanese UI fonts first, the free IPA fonts
// next), else the system's message font. Made once and kept for the process.
#pragma once

#include <windows.h>

#include <string>

namespace vmk::win32 {

inline constexpr int kFontPixels = 12;

// The families chosen on this machine.
std::wstring ControlFontFamily();
std::wstring GridFontFamily();

HFONT ControlFont();
HFONT GridFont();

// The control font condensed to `percent` (75 to 100) of its width: a one-line caption that runs
// past its design width in this font is condensed until it fits, as far as that limit.
HFONT CondensedControlFont(int percent);
inline constexpr int kMinCaptionStretch = 75;

// The width in pixels of `text` in `font`.
int TextWidth(HFONT font, const std::wstring& text);

// The least condensed control font in which `text` is at most `width` pixels wide (the most
// condensed one when none is).
HFONT FittingControlFont(const std::wstring& text, int width);

}  // namespace vmk::win32
