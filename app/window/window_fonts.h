// The two Japanese gothic fonts of the window: the proportional one for every control and the
// fixed-pitch one for the frequency grid, both 12 pixels high.
#pragma once

#include <QFont>
#include <QString>

namespace vmk {

inline constexpr int kWindowFontPixels = 12;

// The Windows names the layout was drawn with.
QString ProportionalGothicFamily();  // "ＭＳ Ｐゴシック"
QString FixedGothicFamily();         // "ＭＳ ゴシック"

// Registers the free gothic fonts as substitutes of the Windows names. Without this,
// fontconfig maps the Windows names to a Latin font that draws kana evenly wide or, with no
// Japanese font at all, as empty boxes. Safe to call more than once.
void InstallGothicSubstitutes();

// The fonts themselves (the substitutes installed first).
QFont ControlFont();
QFont GridFont();

}  // namespace vmk
