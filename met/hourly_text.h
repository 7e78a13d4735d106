// The text of an hourly observation file: lines read one at a time with a length cap, the
// fields of a comma-separated line, and the texts the readers compare them with. Plain C++
// (standard library only), so that it builds the same everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vmk {

// The longest line read, and the most bytes of a file: far beyond any file of hourly
// observations (a year of the agency's lines is about a megabyte), so that reaching either
// means the stream is something else, for example a device or a pipe that never ends.
inline constexpr std::size_t kMaxHourlyLineBytes = 64 * 1024;
inline constexpr std::uint64_t kMaxHourlyFileBytes = std::uint64_t{256} * 1024 * 1024;

// A stream beyond one of the limits above, raised as soon as the bytes beyond it arrive, so
// that an endless stream ends; what() is one line.
class TextLimitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Lines of a stream, ended by LF, CR LF or a lone CR. Reads in blocks; holds at most one line
// of kMaxHourlyLineBytes.
class LineReader {
 public:
  explicit LineReader(std::istream& in);

  // The next line without its line end; false at the end of the stream. Raises TextLimitError
  // once the line grows beyond kMaxHourlyLineBytes or the stream beyond kMaxHourlyFileBytes.
  bool Next(std::string_view& line);

  // The number of the line last returned, from 1.
  long long LineNumber() const { return lineNumber_; }

 private:
  bool Fill();

  std::istream& in_;
  std::vector<char> block_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::uint64_t read_ = 0;  // bytes read from the stream
  bool eof_ = false;
  bool pendingLf_ = false;  // the last line ended with CR: a LF that follows belongs to it
  std::string line_;
  long long lineNumber_ = 0;
};

// Splits one line of comma-separated values into its fields. A field in double quotes may hold
// commas and doubled quotes (""); an unclosed quote runs to the end of the line. The views
// point into `line` or into `scratch`, which the call owns until the next call.
void SplitCsvLine(std::string_view line, std::vector<std::string_view>& fields,
                  std::string& scratch);

// A line split into its fields, read by column. Its views last until the next Split.
class CsvLine {
 public:
  void Split(std::string_view line) { SplitCsvLine(line, fields_, scratch_); }
  std::size_t Size() const { return fields_.size(); }
  // The field at `column` (from 0) without blanks at either end; empty when the line has no
  // such field or `column` is negative (a column the file does not have).
  std::string_view Field(int column) const;

 private:
  std::vector<std::string_view> fields_;
  std::string scratch_;
};

// True when the line holds nothing but commas and blanks (spaces, tabs).
bool IsBlankLine(std::string_view line);

// The text without blanks (spaces, tabs, the ideographic space of UTF-8 and code page 932) at
// either end.
std::string_view TrimBlanks(std::string_view text);

// ASCII letters compared without case; other bytes as they are.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// True when some byte is not ASCII.
bool HasNonAscii(std::string_view text);

}  // namespace vmk
