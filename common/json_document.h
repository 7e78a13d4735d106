// Reading the program's JSON files (case files, met statistics, site files): the whole text
// checked before it is used, every problem one line that says what and where.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vmk {

// Limits that keep a hostile or mistaken file from exhausting the machine. A real file of the
// program is a few kilobytes to a few megabytes and a few levels deep.
inline constexpr std::size_t kMaxJsonFileBytes = 16u * 1024u * 1024u;
inline constexpr int kMaxJsonNestingDepth = 64;

// A JSON file that cannot be used; what() is one line of UTF-8.
class JsonFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bytes of the file at `path`, or of standard input for "-". Raises JsonFileError when
// the file cannot be read or holds more than `maxBytes`.
std::string ReadFileBytes(const std::string& path, std::size_t maxBytes = kMaxJsonFileBytes);

// Raises JsonFileError when brackets (outside strings) nest deeper than kMaxJsonNestingDepth:
// counted before parsing, so that a file of a million "[" is refused at its place.
void CheckJsonNesting(std::string_view text);

// One line from a parser message and the byte where it stopped: "not valid JSON at line 1,
// column 5 (byte 5): ...". `kind` names the file in the hint on bad UTF-8 ("a case file").
std::string DescribeJsonParseError(const std::string& what, std::size_t byte,
                                   std::string_view kind);

// A key or name as it appears in a message: quoted, control characters escaped, and cut (on a
// character boundary) when it is long.
std::string QuoteForMessage(std::string_view text);

// The document of a JSON text, checked for nesting, syntax and keys that appear twice in one
// object. Raises JsonFileError.
nlohmann::json ParseJsonDocument(std::string_view text, std::string_view kind);

// A short name of a value's type for messages: "a string", "an object", "a number", ...
std::string JsonTypeName(const nlohmann::json& value);

// ---- Reading a checked document's values
//
// Each problem raises JsonFileError with "<where>: <what>" (<what> alone when `where` is
// empty), `where` naming the place in the document ("sources[2].x"); the reader of one kind of
// file turns it into its own error type.

[[noreturn]] void FailJsonValue(const std::string& where, const std::string& what);

// The place of member `key` of the value at `where`: "where.key", or "key" at the top.
std::string JsonMemberPlace(const std::string& where, std::string_view key);

// Every key of `object` must be one of `known`: "unknown key "x"", followed by
// " (known: a, b, ...)" when `listKnown`.
void CheckJsonKeys(const nlohmann::json& object, std::initializer_list<std::string_view> known,
                   const std::string& where, bool listKnown = false);

// The member `key` of `object`, or null when it has none.
const nlohmann::json* FindJsonMember(const nlohmann::json& object, std::string_view key);

// The member `key` of `object`; raises "the key "key" is missing" when it has none.
const nlohmann::json& RequiredJsonMember(const nlohmann::json& object, std::string_view key,
                                         const std::string& where);

// The text of a string value; raises "must be a string, not ..." for any other value.
std::string JsonStringValue(const nlohmann::json& value, const std::string& where);

}  // namespace vmk
