#include "common/json_writer.h"

#include <cmath>
#include <cstdint>

#include "common/numtext.h"

namespace vmk {
namespace {

// Length of the well-formed UTF-8 sequence at the start of `s`, or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = b(0);
  if (lead < 0x80) return 1;
  std::size_t n = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    if (lead == 0xE0) lo = 0xA0;  // no overlong forms
    if (lead == 0xED) hi = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (s.size() < n) return 0;
  if (b(1) < lo || b(1) > hi) return 0;
  for (std::size_t i = 2; i < n; ++i) {
    if (b(i) < 0x80 || b(i) > 0xBF) return 0;
  }
  return n;
}

}  // namespace

std::string JsonQuote(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  out += '"';
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      const std::size_t n = Utf8SequenceLength(s.substr(i));
      if (n == 0) {
        out += "\xEF\xBF\xBD";  // U+FFFD
        ++i;
      } else {
        out.append(s.substr(i, n));
        i += n;
      }
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          static constexpr char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  out += '"';
  return out;
}

std::string FloatJsonText(float value) {
  if (!std::isfinite(value)) return "null";
  return ShortestFloatText(value);
}

void JsonWriter::Indent() {
  out_ += '\n';
  out_.append(2 * levels_.size(), ' ');
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!levels_.empty()) {
    Level& level = levels_.back();
    if (!level.Empty) out_ += level.Inline ? ", " : ",";
    level.Empty = false;
    if (!level.Inline) Indent();
  }
}

void JsonWriter::BeginObject() {
  BeforeValue();
  out_ += '{';
  levels_.push_back({});
}

void JsonWriter::BeginArray() {
  BeforeValue();
  out_ += '[';
  levels_.push_back({});
}

void JsonWriter::BeginInlineArray() {
  BeforeValue();
  out_ += '[';
  levels_.push_back({.Empty = true, .Inline = true});
}

void JsonWriter::Close(char bracket) {
  const Level level = levels_.back();
  levels_.pop_back();
  if (!level.Empty && !level.Inline) Indent();
  out_ += bracket;
}

void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Key(std::string_view utf8) {
  BeforeValue();
  out_ += JsonQuote(utf8);
  out_ += ": ";
  afterKey_ = true;
}

void JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  out_ += JsonQuote(utf8);
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
}

void JsonWriter::Int(long long value) {
  BeforeValue();
  out_ += std::to_string(value);
}

void JsonWriter::Float(float value) {
  BeforeValue();
  out_ += FloatJsonText(value);
}

void JsonWriter::Double(double value) {
  BeforeValue();
  out_ += std::isfinite(value) ? ShortestDoubleText(value) : "null";
}

void JsonWriter::Number(std::string_view decimal) {
  BeforeValue();
  out_ += decimal.empty() ? std::string_view("null") : decimal;
}

std::string JsonWriter::Drain() {
  std::string text;
  text.swap(out_);
  return text;
}

std::string JsonWriter::Finish() {
  out_ += '\n';
  return std::move(out_);
}

}  // namespace vmk
