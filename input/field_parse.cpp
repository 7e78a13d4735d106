// The two field parsers and the right-aligned integer text.
//
// Both parsers judge only the first 20 bytes of a text and name the input by at most 30 bytes
// of its label. The accepted forms are deliberately narrow: leading blanks (0x20 only), an
// optional sign, digits, and for reals a point and an exponent; nothing may follow.

#include "input/field_parse.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace vmk {
namespace {

constexpr std::size_t kTextMax = 20;   // bytes of an input text that are judged
constexpr std::size_t kLabelMax = 30;  // bytes of a label that reach the message
constexpr int kFieldWidthMax = 30;     // FormatIntRight pads to at most this width

// Exponents beyond this magnitude give 0 or infinity after rounding to single precision
// whatever the mantissa; capping them keeps the arithmetic in range.
constexpr long kExponentCap = 100000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::size_t SkipBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return i;
}

void Reject(std::string_view label, Cp932& status) {
  status = "Error: ";
  status += CutBytes(label, kLabelMax);
}

// The real syntax over the whole (already cut) text. On success `value` is the number rounded
// to single precision; it may be infinite when the magnitude is beyond the single range.
bool ConvertReal(std::string_view s, float& value) {
  std::size_t i = SkipBlanks(s);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }

  // Mantissa digits, the point and the digits after it. Leading zeros carry no value and are
  // left out of the significant digits (at most 20 remain, since the whole text is 20 bytes).
  std::string digits;
  std::size_t mantissaDigits = 0;
  long fractionDigits = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i, ++mantissaDigits) {
    if (!digits.empty() || s[i] != '0') digits.push_back(s[i]);
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    // A point must be followed by a digit or the exponent letter: "10." is not a number.
    if (i == s.size()) return false;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++mantissaDigits, ++fractionDigits) {
      if (!digits.empty() || s[i] != '0') digits.push_back(s[i]);
    }
  }
  // A mantissa without any digit ("E5", ".E5", "-e3") is refused outright. Reading it as 0
  // would put a value into the assessment that the user never typed.
  if (mantissaDigits == 0) return false;

  long exponent = 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
      negativeExponent = s[i] == '-';
      ++i;
    }
    std::size_t exponentStart = i;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (s[i] - '0');
    }
    if (i == exponentStart) return false;  // "1.0E", "1.0E+"
    if (negativeExponent) exponent = -exponent;
  }
  if (i != s.size()) return false;  // anything left over: a blank, a comma, a letter

  // The value is the significant digits read as an integer times ten to the power
  // (exponent - digits after the point). The digits and that power are handed to strtold
  // as a plain integer mantissa with an exponent, so the conversion to extended precision is
  // correctly rounded and independent of the locale's decimal point; the extended value is
  // then rounded to single precision once. The sign is applied last.
  long double magnitude = 0.0L;
  if (!digits.empty()) {
    std::string normal = digits;
    normal += 'E';
    normal += std::to_string(exponent - fractionDigits);
    magnitude = std::strtold(normal.c_str(), nullptr);
  }
  long double extended = negative ? -magnitude : magnitude;
  value = static_cast<float>(extended);
  return true;
}

// The integer syntax over the whole (already cut) text, to a 32-bit signed integer.
bool ConvertInt(std::string_view s, std::int32_t& value) {
  std::size_t i = SkipBlanks(s);
  if (i < s.size() && s[i] == '$') {
    // "$" and hexadecimal digits, no sign; the 32 bits are read as a signed number.
    ++i;
    if (i == s.size()) return false;
    std::uint64_t bits = 0;
    for (; i < s.size(); ++i) {
      int h = HexValue(s[i]);
      if (h < 0) return false;
      bits = bits * 16 + static_cast<std::uint64_t>(h);
      if (bits > 0xFFFFFFFFu) return false;
    }
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
    return true;
  }

  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  if (i == s.size()) return false;
  std::int64_t magnitude = 0;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return false;
    magnitude = magnitude * 10 + (s[i] - '0');
    if (magnitude > limit) return false;
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

}  // namespace

bool ParseRealField(std::string_view text, float& target, std::string_view label, float low,
                    float high, Cp932& status) {
  float value = 0.0f;  // what a text that is not a number leaves in the field
  bool converted = ConvertReal(text.substr(0, kTextMax), value);
  target = value;
  // Both sides are single-precision numbers; infinities (magnitudes beyond the single range)
  // never pass, whatever the limits.
  bool accepted = converted && std::isfinite(value) && low <= value && value <= high;
  if (!accepted) Reject(label, status);
  return accepted;
}

bool ParseIntField(std::string_view text, std::int16_t& target, std::string_view label,
                   std::int16_t low, std::int16_t high, Cp932& status) {
  std::int32_t value = 0;  // what a text that is not a number leaves in the field
  bool converted = ConvertInt(text.substr(0, kTextMax), value);
  // A value beyond the 16-bit range is stored as its low 16 bits (and rejected below).
  target = static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value)));
  bool accepted = converted && value >= INT16_MIN && value <= INT16_MAX && low <= value &&
                  value <= high;
  if (!accepted) Reject(label, status);
  return accepted;
}

std::string FormatIntRight(std::int32_t value, int width) {
  std::string digits = std::to_string(value);
  int w = width < kFieldWidthMax ? width : kFieldWidthMax;
  if (static_cast<int>(digits.size()) >= w) return digits;
  return std::string(static_cast<std::size_t>(w) - digits.size(), ' ') + digits;
}

}  // namespace vmk
