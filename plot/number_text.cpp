#include "plot/number_text.h"

#include <cstdio>

namespace vmk {
namespace {

// "1.50e-05" -> "1.5e-5", "2e+07" -> "2e7": the exponent form without its padding.
std::string TidyExponent(std::string s) {
  const auto e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exponent = s.substr(e + 1);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  std::string sign;
  if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-')) {
    if (exponent.front() == '-') sign = "-";
    exponent.erase(0, 1);
  }
  while (exponent.size() > 1 && exponent.front() == '0') exponent.erase(0, 1);
  return mantissa + "e" + sign + exponent;
}

// One number through a printf format that takes a precision first ("%.*f").
std::string PrintfWithPrecision(const char* format, int precision, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, precision, v);
  return buf;
}

}  // namespace

std::string PrintfNumber(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string ShortNumberText(double v) { return TidyExponent(PrintfNumber("%.4g", v)); }

std::string FixedNumberText(double v, int decimals) {
  return PrintfWithPrecision("%.*f", decimals, v);
}

std::string ExponentNumberText(double v, int digits) {
  return TidyExponent(PrintfWithPrecision("%.*e", digits, v));
}

}  // namespace vmk
