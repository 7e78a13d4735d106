#include "common/tab_separated.h"

namespace vmk {
namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// The length of the line end at `i` (CR LF counts as one), or 0.
std::size_t LineEndAt(std::string_view text, std::size_t i) {
  if (i >= text.size()) return 0;
  if (text[i] == '\r') return i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
  return text[i] == '\n' ? 1 : 0;
}

// A quoted cell starting at `i` (on its opening quote): its text, and `i` moved past the
// closing quote. False when no closing quote follows.
bool ReadQuoted(std::string_view text, std::size_t& i, std::string& cell) {
  std::string value;
  for (std::size_t k = i + 1; k < text.size(); ++k) {
    if (text[k] != '"') {
      value += text[k];
    } else if (k + 1 < text.size() && text[k + 1] == '"') {
      value += '"';
      ++k;
    } else {
      cell = std::move(value);
      i = k + 1;
      return true;
    }
  }
  return false;
}

}  // namespace

TextBlock ParseTabSeparated(std::string_view text) {
  TextBlock block;
  if (text.empty()) return block;
  block.emplace_back();
  std::size_t i = 0;
  for (;;) {
    std::string cell;
    if (i < text.size() && text[i] == '"') ReadQuoted(text, i, cell);
    while (i < text.size() && text[i] != '\t' && !IsLineEnd(text[i])) cell += text[i++];
    block.back().push_back(std::move(cell));
    if (i >= text.size()) break;
    if (text[i] == '\t') {
      ++i;
      continue;
    }
    i += LineEndAt(text, i);
    if (i >= text.size()) break;  // the line end that closes the text
    block.emplace_back();
  }
  return block;
}

std::string TabSeparatedText(const TextBlock& block) {
  std::string out;
  for (const auto& line : block) {
    for (std::size_t c = 0; c < line.size(); ++c) {
      if (c > 0) out += '\t';
      const std::string& cell = line[c];
      if (cell.find_first_of("\t\r\n\"") == std::string::npos) {
        out += cell;
        continue;
      }
      out += '"';
      for (char ch : cell) {
        if (ch == '"') out += '"';
        out += ch;
      }
      out += '"';
    }
    out += '\n';
  }
  return out;
}

}  // namespace vmk
