// The ticks of the pictures' axes and the 1-2-5 steps they stand on: linear ticks at 1, 2 or 5
// times a power of ten, the ticks of a log axis, and the steps themselves for the other
// scales of the program (the map's scale bar, the site's isopleth levels).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vmk {

// 10^k as the double nearest to the decimal value (0.1, not 10^-1 by repeated products).
double PowerOfTen(int k);

// The 1-2-5 steps of a decade: 1, 2 and 5 times 10^decade, and 10 times it (the next decade's
// first step), ascending. Every step, scale and level of the pictures is one of these.
std::array<double, 4> OneTwoFiveSteps(int decade);

// The smallest 1-2-5 step not below `v` (> 0), a value a rounding error below a step taking
// that step.
double OneTwoFiveAtLeast(double v);

// The largest 1-2-5 step not above `v` (> 0).
double OneTwoFiveAtMost(double v);

// The tick labels of an axis: value and text.
struct AxisTick {
  double Value = 0;
  std::string Label;  // empty for an unlabelled (minor) tick
};

// Ticks at 1, 2 or 5 times a power of ten covering [lo, hi] (lo and hi widened outwards to
// whole steps when `widen`), about `target` of them.
std::vector<AxisTick> LinearTicks(double& lo, double& hi, int target, bool widen);

// Ticks of a log axis over [lo, hi] (lo > 0): every power of ten labelled and its multiples 2
// to 9 unlabelled; over a short range 2 and 5 times the powers are labelled too, or all of them,
// and over a range too short for two of those, linear ticks.
std::vector<AxisTick> LogTicks(double lo, double hi);

}  // namespace vmk
