// Number texts of the window, the frequency grid and the report.
//
// Rounding is half away from zero on the exact decimal expansion of the binary value: a float
// just below a decimal tie rounds down, one exactly on a tie rounds away from zero.
#pragma once

#include <string>
#include <string_view>

namespace vmk {

// p significant digits, trailing zeros dropped; scientific ("5.741E5", "5E-5") when the
// decimal exponent E of 0.d1d2.. x 10^E is above p or below -3, else fixed ("0.0005", "12.5").
std::string FormatGeneral(long double x, int p, std::string_view sep = ".");

// d1, separator, d2..dp, "E", sign, exponent with at least d digits ("5.000E-4").
std::string FormatExponent(long double x, int p, int d, std::string_view sep = ".");

// Rounded to d decimals, at least one digit before the separator; FormatGeneral's scientific
// form when more than p digits stand before the separator ("12.500" for 12.5, p 8, d 3).
std::string FormatFixed(long double x, int p, int d, std::string_view sep = ".");

// The shortest decimal text that reads back as the same float ("574092", "3.4055e-05", "inf",
// "nan"): how files for other programs carry a single-precision value exactly.
std::string ShortestFloatText(float value);

// The same for a double, in plain digits from 1e-5 to 1e15 ("150", "-5000.5", "300000"), else
// with an exponent ("1e+20"): coordinates read from a file, written back unchanged.
std::string ShortestDoubleText(double value);

}  // namespace vmk
