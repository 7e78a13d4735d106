// Numbers typed as text by the user in command lines and files: one finite-number reader and
// one "FROM:TO:N" reader, so that every program refuses and accepts the same texts. (The
// window's fields keep the parsers of input/, which follow the window's own rules.)
#pragma once

#include <optional>
#include <string_view>

namespace vmk {

// How a number's text reads.
enum class NumberReading {
  Finite,      // a usable number
  NotANumber,  // not a number written in full
  NotFinite,   // "inf", "nan", or beyond the range of the type (1e39 or 1e-50 as a float)
};

// A decimal number written in full: an optional sign ("+" or "-"), digits with an optional
// point and exponent ("12", "-0.5", "+1e3", ".5"); no blank and no other character. A float
// is read as a float, never through a double, so that it is the nearest float to the text.
// `value` is set only for a finite number.
NumberReading ReadNumber(std::string_view text, double& value);
NumberReading ReadNumber(std::string_view text, float& value);

// A whole number in plain digits with an optional sign ("201", "+5", "-3"); false for
// anything else, or beyond long long.
bool ReadWholeNumber(std::string_view text, long long& value);

// "FROM:TO:N": two numbers and a whole number, separated by two colons. The caller checks
// their ranges and their order.
template <class Real>
struct RangeSteps {
  Real From = 0;
  Real To = 0;
  long long N = 0;
};

// What cannot be read in a "FROM:TO:N" text: the first part that fails.
struct RangeStepsProblem {
  enum class Part { Form, From, To, N };  // Form: not three parts separated by colons
  Part Where = Part::Form;
  NumberReading Reading = NumberReading::NotANumber;  // for From and To: why
};

std::optional<RangeStepsProblem> ReadRangeSteps(std::string_view text, RangeSteps<double>& steps);
std::optional<RangeStepsProblem> ReadRangeSteps(std::string_view text, RangeSteps<float>& steps);

}  // namespace vmk
