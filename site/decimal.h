// Exact decimal numbers for the assessment table: a whole number of any size times a power of
// ten. Sums, differences and products are exact; a quotient is rounded at a stated place. The
// contribution, the background and the standard are decimal texts, so that the future
// concentration, a change of unit and the comparison with the standard add no binary rounding.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

#include <boost/multiprecision/cpp_int.hpp>

namespace vmk {

// Texts longer than this, or with an exponent beyond kMaxDecimalExponent, are no numbers of an
// assessment (and would make numbers of millions of digits).
inline constexpr std::size_t kMaxDecimalTextBytes = 100;
inline constexpr int kMaxDecimalExponent = 400;

enum class DecimalRounding {
  HalfUp,      // half away from zero: 0.125 to two decimals is 0.13, -0.125 is -0.13
  TowardZero,  // the digits beyond are dropped
};

class Decimal {
 public:
  Decimal() = default;

  // "12", "-0.50", "+.5", "3.", "1.5e-3": an optional sign, digits with an optional point, an
  // optional exponent; nothing else (no blanks). The digits are kept as written: "0.50" holds
  // two decimals. Nothing for any other text.
  static std::optional<Decimal> Parse(std::string_view text);
  // The shortest decimal text that reads back as the same float (or double): the number the
  // program writes for it. `v` must be finite.
  static Decimal OfFloat(float v);
  static Decimal OfDouble(double v);
  static Decimal OfInteger(long long v);

  // The number times 10^power, exactly.
  Decimal Shifted(int power) const;

  int Sign() const { return mantissa_.sign(); }
  bool IsZero() const { return mantissa_.is_zero(); }
  // The decimals held: 2 for "0.50", 0 for "12" or "1.2e3".
  int Decimals() const { return exponent_ < 0 ? -exponent_ : 0; }

  // Rounded to `decimals` decimals (none when negative: to tens, hundreds ...), and holding
  // that many: 0.5 to two decimals is "0.50".
  Decimal Rounded(int decimals, DecimalRounding rounding) const;
  // Rounded to `digits` significant digits (at least 1).
  Decimal RoundedSignificant(int digits, DecimalRounding rounding) const;
  // The same number without trailing zeros after the point.
  Decimal Trimmed() const;

  // Plain digits, no exponent, the decimals held ("0.0006500753", "-12", "0.50").
  std::string Text() const;
  // The nearest long double (for what needs a square root).
  long double ToLongDouble() const;

  friend Decimal operator+(const Decimal& a, const Decimal& b);
  friend Decimal operator-(const Decimal& a, const Decimal& b);
  friend Decimal operator*(const Decimal& a, const Decimal& b);
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);
  friend bool operator==(const Decimal& a, const Decimal& b) { return (a <=> b) == 0; }

  // a / b rounded at 10^-decimals; b must not be zero.
  static Decimal Quotient(const Decimal& a, const Decimal& b, int decimals, DecimalRounding rounding);
  // a / b rounded to `digits` significant digits; b must not be zero.
  static Decimal QuotientSignificant(const Decimal& a, const Decimal& b, int digits,
                                     DecimalRounding rounding);

 private:
  using Integer = boost::multiprecision::cpp_int;
  Decimal(Integer mantissa, int exponent) : mantissa_(std::move(mantissa)), exponent_(exponent) {}
  // The number of decimal digits of |m| (1 for 0).
  static int Digits(const Integer& m);
  // The mantissa held at a lower exponent: m * 10^(exponent_ - to), to <= exponent_.
  Integer At(int to) const;
  // q rounded at its last `drop` digits, then without them.
  static Integer DropDigits(const Integer& q, int drop, DecimalRounding rounding);

  Integer mantissa_ = 0;
  int exponent_ = 0;  // the value is mantissa_ * 10^exponent_
};

}  // namespace vmk
