// Helpers shared by the model tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "input/model_parameters.h"

namespace vmk::model_test {

// True when `actual` agrees with the decimal text `printed` to the digits the text shows, that
// is, within half a unit of its last digit ("340.37" allows 0.005, "2.10215e-5" 5e-11).
inline ::testing::AssertionResult ShowsAs(long double actual, const std::string& printed) {
  const std::size_t epos = printed.find_first_of("eE");
  const std::string mantissa = printed.substr(0, epos);
  const int exponent = epos == std::string::npos ? 0 : std::atoi(printed.c_str() + epos + 1);
  const std::size_t dot = mantissa.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
  const long double expected = std::strtold(printed.c_str(), nullptr);
  const long double tolerance = 0.5L * powl(10.0L, static_cast<long double>(exponent - decimals));
  if (fabsl(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << static_cast<double>(actual) << " does not show as " << printed;
}

// The window's starting values: a source of Qh = 574092 cal/s at 10 m, every height 10 m,
// constant exponent 0 from Hr to Hm, multipliers 1, dtheta/dz 0.003 / 0.010, upper limits 2.
inline ModelParameters StartingParameters() {
  ModelParameters p;
  p.Qg = 10.0f; p.Qp = 1.0e-3f; p.T = 200.0f; p.Ta = 15.0f; p.Dens = 1293.0f;
  p.Ho = 10.0f; p.Hm = 10.0f; p.Hr = 10.0f;
  p.PHrHmDependent = false; p.PHrHmConst = 0.0f;
  p.PHrHmMult = 1.0f; p.PHmHoMult = 1.0f; p.PHoHeMult = 1.0f;
  p.DthDzDay = 0.003f; p.DthDzNight = 0.010f; p.IntULDay = 2.0f; p.IntULNight = 2.0f;
  p.Alpha = 0.83f; p.BetaDay = 0.3f; p.BetaNight = 0.0f; p.K = 0.0062f;
  p.O3Day = 0.020f; p.O3Night = 0.010f;
  p.R = 100.0f; p.z = 0.0f; p.FreqTotal = 8760;
  return p;
}

}  // namespace vmk::model_test
