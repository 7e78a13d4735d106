// Blocks of cells as tab-separated text, the way spreadsheets put them on the clipboard and
// take them from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vmk {

using TextBlock = std::vector<std::vector<std::string>>;  // [line][cell]

// The cells of a tab-separated text: cells end at a tab, lines at CR LF, LF or a lone CR, and
// one line end at the very end of the text closes the last line (it does not begin another).
// A cell that begins with a double quote is quoted: it runs to the next quote that is not
// doubled, may hold tabs and line ends, and "" inside stands for one quote; anything after the
// closing quote up to the cell's end is kept as it is. A quote with no closing quote is an
// ordinary character. Lines keep their own number of cells; an empty text has no line.
TextBlock ParseTabSeparated(std::string_view text);

// The text of a block: cells joined by tabs, every line ending in LF. A cell holding a tab, a
// line end or a double quote is quoted, its quotes doubled.
std::string TabSeparatedText(const TextBlock& block);

}  // namespace vmk
