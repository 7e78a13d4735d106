#include "plot/ticks.h"

#include <algorithm>
#include <cmath>

#include "plot/number_text.h"

namespace vmk {
namespace {

// The power of ten at or below `v` (> 0), a value a rounding error below a power taking it.
int Decade(double v) { return static_cast<int>(std::floor(std::log10(v) + 1e-9)); }

// A tick label: as many decimals as the step needs, or the exponent form for very small or
// very large values.
std::string TickLabel(double v, double step, double largest) {
  if (std::fabs(v) < step * 1e-6) return "0";
  if (step < 1e-3 || largest >= 1e7) {
    return ExponentNumberText(v, std::max(0, Decade(std::fabs(v)) - Decade(step)));
  }
  return FixedNumberText(v, std::max(0, -Decade(step)));
}

}  // namespace

double PowerOfTen(int k) { return k >= 0 ? std::pow(10.0, k) : 1.0 / std::pow(10.0, -k); }

std::array<double, 4> OneTwoFiveSteps(int decade) {
  const double p = PowerOfTen(decade);
  return {p, 2 * p, 5 * p, 10 * p};
}

double OneTwoFiveAtLeast(double v) {
  const std::array<double, 4> steps = OneTwoFiveSteps(Decade(v));
  for (double s : steps) {
    if (s >= v * (1 - 1e-9)) return s;
  }
  return steps.back();
}

double OneTwoFiveAtMost(double v) {
  int decade = static_cast<int>(std::floor(std::log10(v)));
  if (PowerOfTen(decade) > v) --decade;  // log10 rounded up to a whole number
  const std::array<double, 4> steps = OneTwoFiveSteps(decade);
  for (int i = 2; i > 0; --i) {
    if (steps[static_cast<std::size_t>(i)] <= v) return steps[static_cast<std::size_t>(i)];
  }
  return steps.front();
}

std::vector<AxisTick> LinearTicks(double& lo, double& hi, int target, bool widen) {
  if (!(hi > lo)) hi = lo + 1;
  const double step = OneTwoFiveAtLeast((hi - lo) / std::max(1, target));
  if (widen) {
    lo = std::floor(lo / step + 1e-9) * step;
    hi = std::ceil(hi / step - 1e-9) * step;
  }
  const double largest = std::max(std::fabs(lo), std::fabs(hi));
  std::vector<AxisTick> ticks;
  const long long first = static_cast<long long>(std::ceil(lo / step - 1e-9));
  const long long last = static_cast<long long>(std::floor(hi / step + 1e-9));
  for (long long i = first; i <= last; ++i) {
    const double v = static_cast<double>(i) * step;
    ticks.push_back({v, TickLabel(v, step, largest)});
  }
  return ticks;
}

std::vector<AxisTick> LogTicks(double lo, double hi) {
  struct Candidate {
    double Value;
    int Multiple;
  };
  std::vector<Candidate> inRange;
  for (int k = Decade(lo); k <= Decade(hi); ++k) {
    for (int m = 1; m <= 9; ++m) {
      const double v = m * PowerOfTen(k);
      if (v >= lo * (1 - 1e-9) && v <= hi * (1 + 1e-9)) inRange.push_back({v, m});
    }
  }
  // The fewest labels that still give three: powers of ten, then 1-2-5, then every multiple.
  const auto labelledAt = [](int level, int m) {
    return m == 1 || (level >= 1 && (m == 2 || m == 5)) || level >= 2;
  };
  for (int level = 0; level < 3; ++level) {
    const auto count = std::count_if(inRange.begin(), inRange.end(), [&](const Candidate& c) {
      return labelledAt(level, c.Multiple);
    });
    if (count < 3 && level < 2) continue;
    if (count < 2) break;
    std::vector<AxisTick> ticks;
    for (const Candidate& c : inRange) {
      const double step = PowerOfTen(Decade(c.Value));
      ticks.push_back({c.Value, labelledAt(level, c.Multiple) ? TickLabel(c.Value, step, hi) : ""});
    }
    return ticks;
  }
  double a = lo;
  double b = hi;
  return LinearTicks(a, b, 4, false);
}

}  // namespace vmk
