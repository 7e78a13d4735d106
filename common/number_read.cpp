#include "common/number_read.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace vmk {
namespace {

// A leading "+" is allowed once, before the digits ("+-5" is no number).
bool DropPlus(std::string_view& text) {
  if (!text.starts_with('+')) return true;
  text.remove_prefix(1);
  return !text.starts_with('-');
}

template <class Real>
NumberReading ReadReal(std::string_view text, Real& value) {
  if (!DropPlus(text) || text.empty()) return NumberReading::NotANumber;
  Real v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (ptr != end || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
    return NumberReading::NotANumber;
  }
  if (ec == std::errc::result_out_of_range || !std::isfinite(v)) return NumberReading::NotFinite;
  value = v;
  return NumberReading::Finite;
}

template <class Real>
std::optional<RangeStepsProblem> ReadSteps(std::string_view text, RangeSteps<Real>& steps) {
  using Part = RangeStepsProblem::Part;
  const auto c1 = text.find(':');
  const auto c2 = c1 == std::string_view::npos ? c1 : text.find(':', c1 + 1);
  if (c2 == std::string_view::npos || text.find(':', c2 + 1) != std::string_view::npos) {
    return RangeStepsProblem{Part::Form};
  }
  RangeSteps<Real> s;
  const NumberReading from = ReadReal(text.substr(0, c1), s.From);
  if (from != NumberReading::Finite) return RangeStepsProblem{Part::From, from};
  const NumberReading to = ReadReal(text.substr(c1 + 1, c2 - c1 - 1), s.To);
  if (to != NumberReading::Finite) return RangeStepsProblem{Part::To, to};
  if (!ReadWholeNumber(text.substr(c2 + 1), s.N)) return RangeStepsProblem{Part::N};
  steps = s;
  return std::nullopt;
}

}  // namespace

NumberReading ReadNumber(std::string_view text, double& value) { return ReadReal(text, value); }
NumberReading ReadNumber(std::string_view text, float& value) { return ReadReal(text, value); }

bool ReadWholeNumber(std::string_view text, long long& value) {
  if (!DropPlus(text) || text.empty()) return false;
  long long v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || ptr != end) return false;
  value = v;
  return true;
}

std::optional<RangeStepsProblem> ReadRangeSteps(std::string_view text, RangeSteps<double>& steps) {
  return ReadSteps(text, steps);
}
std::optional<RangeStepsProblem> ReadRangeSteps(std::string_view text, RangeSteps<float>& steps) {
  return ReadSteps(text, steps);
}

}  // namespace vmk
