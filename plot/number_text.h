// The numbers of the pictures as texts: the short form of titles, marks and legends, the tick
// labels' fixed and exponent forms, and one number through a printf format.
#pragma once

#include <string>

namespace vmk {

// A number as a picture writes it in titles, marks and legends: up to 4 significant digits,
// the exponent without padding ("0.0125", "1.5e-5", "2e7").
std::string ShortNumberText(double v);

// `v` with `decimals` decimals ("%.*f": "0.25", "1200").
std::string FixedNumberText(double v, int decimals);

// `v` in the exponent form with `digits` decimals in the mantissa, trailing zeros and the
// exponent's padding removed ("%.*e" then "1.50e-05" -> "1.5e-5", "2e+07" -> "2e7").
std::string ExponentNumberText(double v, int digits);

// One number through a printf format ("%g km").
std::string PrintfNumber(const char* format, double v);

}  // namespace vmk
