#include "site/decimal.h"

#include <algorithm>
#include <cstdlib>

#include "common/numtext.h"

namespace vmk {
namespace {

using Integer = boost::multiprecision::cpp_int;

Integer Pow10(int n) { return boost::multiprecision::pow(Integer(10), static_cast<unsigned>(n)); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<Decimal> Decimal::Parse(std::string_view text) {
  if (text.empty() || text.size() > kMaxDecimalTextBytes) return std::nullopt;
  std::size_t i = 0;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  std::string digits;
  int decimals = 0;
  bool point = false;
  bool any = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      digits += c;
      any = true;
      if (point) ++decimals;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!any) return std::nullopt;
  long exponent = 0;
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E') return std::nullopt;
    ++i;
    bool expNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    for (; i < text.size(); ++i) {
      if (!IsDigit(text[i])) return std::nullopt;
      exponent = exponent * 10 + (text[i] - '0');
      if (exponent > kMaxDecimalExponent) return std::nullopt;
    }
    if (expNegative) exponent = -exponent;
  }
  const long e = exponent - decimals;
  if (e < -2L * kMaxDecimalExponent || e > kMaxDecimalExponent) return std::nullopt;
  // Without leading zeros: a text of cpp_int that begins with 0 is read as octal.
  const std::size_t first = digits.find_first_not_of('0');
  Integer m(first == std::string::npos ? std::string("0") : digits.substr(first));
  if (negative) m = -m;
  return Decimal(std::move(m), static_cast<int>(e));
}

Decimal Decimal::OfFloat(float v) { return *Parse(ShortestFloatText(v)); }

Decimal Decimal::OfDouble(double v) { return *Parse(ShortestDoubleText(v)); }

Decimal Decimal::OfInteger(long long v) { return Decimal(Integer(v), 0); }

Decimal Decimal::Shifted(int power) const { return Decimal(mantissa_, exponent_ + power); }

int Decimal::Digits(const Integer& m) {
  return static_cast<int>((m.sign() < 0 ? Integer(-m) : m).str().size());
}

Integer Decimal::At(int to) const { return mantissa_ * Pow10(exponent_ - to); }

Integer Decimal::DropDigits(const Integer& q, int drop, DecimalRounding rounding) {
  if (drop <= 0) return q;
  const Integer unit = Pow10(drop);
  const bool negative = q.sign() < 0;
  const Integer magnitude = negative ? Integer(-q) : q;
  Integer kept = magnitude / unit;
  const Integer dropped = magnitude % unit;
  // Half up: the dropped digits at least half a unit. A remainder below the digits (of a
  // quotient) cannot move a value from below half to half, so the digits decide alone.
  if (rounding == DecimalRounding::HalfUp && dropped * 2 >= unit) ++kept;
  return negative ? Integer(-kept) : kept;
}

Decimal Decimal::Rounded(int decimals, DecimalRounding rounding) const {
  const int to = -decimals;
  if (exponent_ >= to) return Decimal(At(to), to);  // padded with zeros
  return Decimal(DropDigits(mantissa_, to - exponent_, rounding), to);
}

Decimal Decimal::RoundedSignificant(int digits, DecimalRounding rounding) const {
  if (IsZero()) return *this;
  const int lead = exponent_ + Digits(mantissa_) - 1;  // the place of the first digit
  Decimal r = Rounded(std::max(digits, 1) - 1 - lead, rounding);
  // 9.99995 to five digits carries into a new first digit: 10.000, not 10.0000.
  if (Digits(r.mantissa_) > std::max(digits, 1)) r = Decimal(r.mantissa_ / 10, r.exponent_ + 1);
  return r;
}

Decimal Decimal::Trimmed() const {
  if (IsZero()) return Decimal(Integer(0), 0);
  Integer m = mantissa_;
  int e = exponent_;
  while (e < 0 && m % 10 == 0) {
    m /= 10;
    ++e;
  }
  return Decimal(std::move(m), e);
}

std::string Decimal::Text() const {
  const bool negative = mantissa_.sign() < 0;
  std::string digits = (negative ? Integer(-mantissa_) : mantissa_).str();
  if (exponent_ >= 0) {
    if (!mantissa_.is_zero()) digits.append(static_cast<std::size_t>(exponent_), '0');
  } else {
    const std::size_t decimals = static_cast<std::size_t>(-exponent_);
    if (digits.size() <= decimals) digits.insert(0, decimals - digits.size() + 1, '0');
    digits.insert(digits.size() - decimals, 1, '.');
  }
  return (negative ? "-" : "") + digits;
}

long double Decimal::ToLongDouble() const { return std::strtold(Text().c_str(), nullptr); }

Decimal operator+(const Decimal& a, const Decimal& b) {
  const int e = std::min(a.exponent_, b.exponent_);
  return Decimal(a.At(e) + b.At(e), e);
}

Decimal operator-(const Decimal& a, const Decimal& b) {
  const int e = std::min(a.exponent_, b.exponent_);
  return Decimal(a.At(e) - b.At(e), e);
}

Decimal operator*(const Decimal& a, const Decimal& b) {
  return Decimal(a.mantissa_ * b.mantissa_, a.exponent_ + b.exponent_);
}

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
  const int e = std::min(a.exponent_, b.exponent_);
  const Integer x = a.At(e);
  const Integer y = b.At(e);
  return x < y ? std::strong_ordering::less : x > y ? std::strong_ordering::greater : std::strong_ordering::equal;
}

Decimal Decimal::Quotient(const Decimal& a, const Decimal& b, int decimals, DecimalRounding rounding) {
  // a / b = (ma / mb) * 10^(ea - eb); one digit beyond the place asked, then rounded there.
  const int shift = a.exponent_ - b.exponent_ + decimals + 1;
  Integer num = a.mantissa_;
  Integer den = b.mantissa_;
  if (shift >= 0) {
    num *= Pow10(shift);
  } else {
    den *= Pow10(-shift);
  }
  if (den.sign() < 0) {
    num = -num;
    den = -den;
  }
  const Integer q = num / den;  // toward zero: the digits beyond decide the rounding alone
  return Decimal(DropDigits(q, 1, rounding), -decimals);
}

Decimal Decimal::QuotientSignificant(const Decimal& a, const Decimal& b, int digits,
                                     DecimalRounding rounding) {
  if (a.IsZero()) return Decimal(Integer(0), 0);
  // The first digit of a / b lies at `lead` or one place below it.
  const int lead = (a.exponent_ + Digits(a.mantissa_)) - (b.exponent_ + Digits(b.mantissa_));
  const Decimal wide = Quotient(a, b, std::max(digits, 1) - lead + 1, DecimalRounding::TowardZero);
  return wide.RoundedSignificant(digits, rounding);
}

}  // namespace vmk
