#include "common/json_document.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "common/json_writer.h"
#include "platform/files.h"

namespace vmk {
namespace {

constexpr std::string_view kNumberBeyondRange = "a number beyond the range the program can hold";

}  // namespace

std::string ReadFileBytes(const std::string& path, std::size_t maxBytes) {
  const bool fromStdin = path == "-";
  // A folder is no file to read, whether or not the system lets it be opened as one.
  if (!fromStdin && platform::IsFolder(path)) {
    throw JsonFileError(std::string("cannot read: ") + std::strerror(EISDIR));
  }
  std::FILE* f = fromStdin ? stdin : platform::OpenFile(path, "rb");
  if (f == nullptr) throw JsonFileError(std::string("cannot open: ") + std::strerror(errno));
  std::string data;
  std::string problem;
  char buf[1 << 16];
  for (;;) {
    const std::size_t n = std::fread(buf, 1, sizeof buf, f);
    data.append(buf, n);
    if (data.size() > maxBytes) {
      problem = "larger than " + std::to_string(maxBytes) + " bytes";
      break;
    }
    if (n < sizeof buf) {
      if (std::ferror(f)) problem = std::string("cannot read: ") + std::strerror(errno);
      break;
    }
  }
  if (!fromStdin) std::fclose(f);
  if (!problem.empty()) throw JsonFileError(problem);
  return data;
}

void CheckJsonNesting(std::string_view s) {
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxJsonNestingDepth) {
        throw JsonFileError("nested deeper than " + std::to_string(kMaxJsonNestingDepth) +
                            " levels at byte " + std::to_string(i + 1));
      }
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
}

std::string DescribeJsonParseError(const std::string& what, std::size_t byte,
                                   std::string_view kind) {
  // The parser's message without its prefix and without the text it had read (which can be as
  // long as the file and need not be printable).
  std::string where;
  std::string detail = what;
  static constexpr std::string_view kHead = "parse error";
  if (const auto p = what.find(kHead); p != std::string::npos) {
    if (const auto colon = what.find(": ", p); colon != std::string::npos) {
      const std::size_t from = p + kHead.size();
      where = what.substr(from, colon - from);  // " at line 1, column 5" or empty
      detail = what.substr(colon + 2);
    }
  }
  if (const auto cut = detail.find("; last read:"); cut != std::string::npos) detail.resize(cut);
  // A number beyond double ("8e4888") comes as the library's range error, with its own code.
  if (detail.find("number overflow") != std::string::npos) detail = kNumberBeyondRange;
  if (detail.find("UTF-8") != std::string::npos) {
    detail += " (" + std::string(kind) + " is UTF-8 text)";
  }
  return "not valid JSON" + where + " (byte " + std::to_string(byte) + "): " + detail;
}

std::string QuoteForMessage(std::string_view text) {
  constexpr std::size_t kMaxShown = 40;
  if (text.size() <= kMaxShown) return JsonQuote(text);
  std::size_t n = kMaxShown;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return JsonQuote(text.substr(0, n)) + "...";
}

nlohmann::json ParseJsonDocument(std::string_view text, std::string_view kind) {
  using Json = nlohmann::json;
  CheckJsonNesting(text);
  std::vector<std::set<std::string>> keys;  // the keys seen in each open object
  const Json::parser_callback_t watch = [&](int, Json::parse_event_t event, Json& parsed) {
    switch (event) {
      case Json::parse_event_t::object_start:
        keys.emplace_back();
        break;
      case Json::parse_event_t::object_end:
        keys.pop_back();
        break;
      case Json::parse_event_t::key:
        if (!keys.back().insert(parsed.get<std::string>()).second) {
          throw JsonFileError("key " + QuoteForMessage(parsed.get<std::string>()) +
                              " appears twice in one object");
        }
        break;
      default:
        break;
    }
    return true;
  };
  try {
    return Json::parse(text.begin(), text.end(), watch);
  } catch (const Json::parse_error& e) {
    throw JsonFileError(DescribeJsonParseError(e.what(), e.byte, kind));
  } catch (const Json::exception&) {
    // The parser reports a number beyond the range of double ("8e4888") apart from syntax
    // errors, with the whole number in its text.
    throw JsonFileError("not valid JSON: " + std::string(kNumberBeyondRange));
  }
}

std::string JsonTypeName(const nlohmann::json& value) {
  switch (value.type()) {
    case nlohmann::json::value_t::null: return "null";
    case nlohmann::json::value_t::boolean: return "true or false";
    case nlohmann::json::value_t::string: return "a string";
    case nlohmann::json::value_t::object: return "an object";
    case nlohmann::json::value_t::array: return "an array";
    default: return "a number";
  }
}

void FailJsonValue(const std::string& where, const std::string& what) {
  throw JsonFileError(where.empty() ? what : where + ": " + what);
}

std::string JsonMemberPlace(const std::string& where, std::string_view key) {
  return where.empty() ? std::string(key) : where + "." + std::string(key);
}

void CheckJsonKeys(const nlohmann::json& object, std::initializer_list<std::string_view> known,
                   const std::string& where, bool listKnown) {
  for (const auto& [key, value] : object.items()) {
    bool ok = false;
    for (std::string_view k : known) ok = ok || key == k;
    if (ok) continue;
    std::string message = "unknown key " + QuoteForMessage(key);
    if (listKnown) {
      std::string list;
      for (std::string_view k : known) list += (list.empty() ? "" : ", ") + std::string(k);
      message += " (known: " + list + ")";
    }
    FailJsonValue(where, message);
  }
}

const nlohmann::json* FindJsonMember(const nlohmann::json& object, std::string_view key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

const nlohmann::json& RequiredJsonMember(const nlohmann::json& object, std::string_view key,
                                         const std::string& where) {
  const nlohmann::json* v = FindJsonMember(object, key);
  if (v == nullptr) FailJsonValue(where, "the key \"" + std::string(key) + "\" is missing");
  return *v;
}

std::string JsonStringValue(const nlohmann::json& value, const std::string& where) {
  if (!value.is_string()) FailJsonValue(where, "must be a string, not " + JsonTypeName(value));
  return value.get<std::string>();
}

}  // namespace vmk
