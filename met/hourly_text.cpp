#include "met/hourly_text.h"

#include <algorithm>

#include "common/cp932.h"

namespace vmk {
namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// True when the last character of a code page 932 text is the ideographic space (0x81 0x40):
// the bytes alone could be the trail of one character and an "@", so the characters are
// walked from the start.
bool EndsWithCp932Space(std::string_view text) {
  if (!text.ends_with("\x81\x40")) return false;
  std::size_t i = 0;
  while (i + 2 < text.size()) i += IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return i == text.size() - 2;
}

}  // namespace

LineReader::LineReader(std::istream& in) : in_(in), block_(kBlockBytes) {}

bool LineReader::Fill() {
  if (eof_) return false;
  in_.read(block_.data(), static_cast<std::streamsize>(block_.size()));
  const std::streamsize got = in_.gcount();
  pos_ = 0;
  end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
  if (!in_) eof_ = true;
  read_ += end_;
  if (read_ > kMaxHourlyFileBytes) {
    throw TextLimitError("larger than " + std::to_string(kMaxHourlyFileBytes) + " bytes");
  }
  return end_ > 0;
}

bool LineReader::Next(std::string_view& line) {
  line_.clear();
  if (pendingLf_) {
    if (pos_ < end_ || Fill()) {
      if (block_[pos_] == '\n') ++pos_;
    }
    pendingLf_ = false;
  }
  bool any = false;
  for (;;) {
    if (pos_ == end_ && !Fill()) {
      if (!any) return false;
      break;
    }
    any = true;
    const char* begin = block_.data() + pos_;
    const char* stop = block_.data() + end_;
    const char* found = std::find_if(begin, stop, IsLineEnd);
    const std::size_t n = static_cast<std::size_t>(found - begin);
    if (line_.size() + n > kMaxHourlyLineBytes) {
      throw TextLimitError("line " + std::to_string(lineNumber_ + 1) + " is longer than " +
                           std::to_string(kMaxHourlyLineBytes) + " bytes");
    }
    line_.append(begin, n);
    pos_ += n;
    if (found != stop) {
      pendingLf_ = *found == '\r';
      ++pos_;
      break;
    }
  }
  ++lineNumber_;
  line = line_;
  return true;
}

void SplitCsvLine(std::string_view line, std::vector<std::string_view>& fields,
                  std::string& scratch) {
  fields.clear();
  scratch.clear();
  // Unquoting never makes a field longer, so the scratch buffer never moves once reserved.
  scratch.reserve(line.size());
  std::size_t i = 0;
  for (;;) {
    if (i < line.size() && line[i] == '"') {
      const std::size_t start = scratch.size();
      ++i;
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            scratch.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        scratch.push_back(line[i++]);
      }
      // Anything between the closing quote and the comma belongs to the field as well.
      while (i < line.size() && line[i] != ',') scratch.push_back(line[i++]);
      fields.emplace_back(scratch.data() + start, scratch.size() - start);
    } else {
      const std::size_t comma = line.find(',', i);
      const std::size_t stop = comma == std::string_view::npos ? line.size() : comma;
      fields.push_back(line.substr(i, stop - i));
      i = stop;
    }
    if (i >= line.size()) break;
    ++i;  // the comma
    if (i == line.size()) {
      fields.emplace_back();  // a line that ends with a comma has an empty last field
      break;
    }
  }
}

std::string_view CsvLine::Field(int column) const {
  return column >= 0 && static_cast<std::size_t>(column) < fields_.size()
             ? TrimBlanks(fields_[static_cast<std::size_t>(column)])
             : std::string_view();
}

bool IsBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(),
                     [](char c) { return c == ',' || c == ' ' || c == '\t'; });
}

std::string_view TrimBlanks(std::string_view text) {
  for (;;) {
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
      text.remove_prefix(1);
    } else if (text.starts_with("\xE3\x80\x80")) {  // U+3000 in UTF-8
      text.remove_prefix(3);
    } else if (text.starts_with("\x81\x40")) {  // U+3000 in code page 932
      text.remove_prefix(2);
    } else {
      break;
    }
  }
  for (;;) {
    if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
      text.remove_suffix(1);
    } else if (text.ends_with("\xE3\x80\x80")) {
      text.remove_suffix(3);
    } else if (EndsWithCp932Space(text)) {
      text.remove_suffix(2);
    } else {
      break;
    }
  }
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool HasNonAscii(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace vmk
