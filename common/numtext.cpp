#include "common/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vmk {
namespace {

// A finite value written as sign, 0.d1d2... x 10^e. Empty digits mean zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  int e = 0;
};

// The exact decimal expansion of a finite value. An x87 long double is M x 2^(b-64) with a
// 64-bit integer M, so it has at most 64 - b digits after the point and a finite expansion;
// glibc's printf writes that expansion exactly when asked for enough digits.
Decimal ExactDecimal(long double x) {
  Decimal dec;
  dec.negative = std::signbit(x) && x != 0;
  if (x == 0) return dec;
  const long double mag = std::fabs(x);
  int b = 0;
  std::frexp(mag, &b);  // mag = f x 2^b with 0.5 <= f < 1
  const int fractionDigits = b < 64 ? 64 - b : 0;
  // Digits from the leading one (at most 10^(0.30103 b)) down to 10^-fractionDigits.
  const int leadExponent = static_cast<int>(std::floor(b * 0.30103)) + 1;
  const int significant = leadExponent + fractionDigits + 3;
  std::vector<char> buf(static_cast<std::size_t>(significant) + 32);
  std::snprintf(buf.data(), buf.size(), "%.*Le", significant, mag);
  // Text "d.ddddde[+-]xx".
  const char* s = buf.data();
  dec.digits.push_back(s[0]);
  const char* p = s + 2;
  while (*p != 'e') dec.digits.push_back(*p++);
  dec.e = std::atoi(p + 1) + 1;
  while (!dec.digits.empty() && dec.digits.back() == '0') dec.digits.pop_back();
  return dec;
}

// Rounds to n digits, half away from zero. The digits are exact, so the first dropped digit
// alone decides: 5 or more is at least half a unit of the last kept digit.
Decimal RoundDigits(Decimal dec, int n) {
  if (dec.digits.empty()) return dec;
  if (n < 0) return Decimal{};
  const std::size_t keep = static_cast<std::size_t>(n);
  if (dec.digits.size() <= keep) return dec;
  const bool up = dec.digits[keep] >= '5';
  dec.digits.resize(keep);
  if (up) {
    std::size_t i = keep;
    while (i > 0 && dec.digits[i - 1] == '9') dec.digits[--i] = '0';
    if (i > 0) {
      ++dec.digits[i - 1];
    } else {
      // All nines (or nothing kept): the carry opens a new leading digit.
      dec.digits.insert(dec.digits.begin(), '1');
      ++dec.e;
    }
  }
  while (!dec.digits.empty() && dec.digits.back() == '0') dec.digits.pop_back();
  if (dec.digits.empty()) return Decimal{};
  return dec;
}

// Texts for values that are not finite; they take the general form wherever they appear.
bool NonFinite(long double x, std::string& out) {
  if (std::isnan(x)) {
    out = "NAN";
    return true;
  }
  if (std::isinf(x)) {
    out = x < 0 ? "-INF" : "INF";
    return true;
  }
  return false;
}

// d1[sep d2..]E[-]n from digits already rounded and without trailing zeros.
std::string Scientific(const Decimal& dec, std::string_view sep) {
  std::string out = dec.negative ? "-" : "";
  out += dec.digits[0];
  if (dec.digits.size() > 1) {
    out += sep;
    out.append(dec.digits, 1);
  }
  out += 'E';
  out += std::to_string(dec.e - 1);
  return out;
}

}  // namespace

std::string FormatGeneral(long double x, int p, std::string_view sep) {
  std::string out;
  if (NonFinite(x, out)) return out;
  if (p < 1) p = 1;
  const Decimal dec = RoundDigits(ExactDecimal(x), p);
  if (dec.digits.empty()) return "0";
  if (dec.e > p || dec.e < -3) return Scientific(dec, sep);
  if (dec.negative) out = "-";
  if (dec.e <= 0) {
    out += '0';
    out += sep;
    out.append(static_cast<std::size_t>(-dec.e), '0');
    out += dec.digits;
    return out;
  }
  const std::size_t whole = static_cast<std::size_t>(dec.e);
  if (dec.digits.size() <= whole) {
    out += dec.digits;
    out.append(whole - dec.digits.size(), '0');
  } else {
    out.append(dec.digits, 0, whole);
    out += sep;
    out.append(dec.digits, whole);
  }
  return out;
}

std::string FormatExponent(long double x, int p, int d, std::string_view sep) {
  std::string out;
  if (NonFinite(x, out)) return out;
  if (p < 1) p = 1;
  Decimal dec = RoundDigits(ExactDecimal(x), p);
  // Zero is written with zero digits and the exponent +0.
  const int exponent = dec.digits.empty() ? 0 : dec.e - 1;
  dec.digits.resize(static_cast<std::size_t>(p), '0');
  if (dec.negative) out = "-";
  out += dec.digits[0];
  if (p > 1) {
    out += sep;
    out.append(dec.digits, 1);
  }
  out += 'E';
  out += exponent < 0 ? '-' : '+';
  std::string magnitude = std::to_string(std::abs(exponent));
  if (static_cast<int>(magnitude.size()) < d) {
    magnitude.insert(0, static_cast<std::size_t>(d) - magnitude.size(), '0');
  }
  out += magnitude;
  return out;
}

std::string FormatFixed(long double x, int p, int d, std::string_view sep) {
  std::string out;
  if (NonFinite(x, out)) return out;
  if (p < 1) p = 1;
  if (d < 0) d = 0;
  const Decimal exact = ExactDecimal(x);
  Decimal dec = RoundDigits(exact, exact.e + d);
  if (!dec.digits.empty() && dec.e > p) {
    return Scientific(RoundDigits(exact, p), sep);
  }
  // A value that rounds to zero is written without a minus sign.
  const int whole = dec.digits.empty() ? 0 : std::max(dec.e, 0);
  // All digits from 10^(whole-1) down to 10^-d.
  std::string all;
  if (!dec.digits.empty() && dec.e < 0) all.append(static_cast<std::size_t>(-dec.e), '0');
  all += dec.digits;
  all.resize(static_cast<std::size_t>(whole + d), '0');
  if (dec.negative && !dec.digits.empty()) out = "-";
  if (whole == 0) {
    out += '0';
  } else {
    out.append(all, 0, static_cast<std::size_t>(whole));
  }
  if (d > 0) {
    out += sep;
    out.append(all, static_cast<std::size_t>(whole));
  }
  return out;
}

std::string ShortestFloatText(float value) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);  // shortest round trip
  return std::string(buf, res.ptr);
}

std::string ShortestDoubleText(double value) {
  char buf[64];
  // Plain digits over the range of coordinates and distances ("300000", not "3e+05").
  const double magnitude = std::fabs(value);
  const bool plain = value == 0 || (magnitude >= 1e-5 && magnitude < 1e15);
  const auto res = plain ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed)
                         : std::to_chars(buf, buf + sizeof buf, value);  // shortest round trip
  return std::string(buf, res.ptr);
}

}  // namespace vmk
