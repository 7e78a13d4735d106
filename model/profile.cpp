#include "model/profile.h"

#include <algorithm>
#include <cmath>

#include "model/calc_state.h"
#include "model/model.h"

namespace vmk {

using ld = long double;

ProfilePoint ConcentrationAt(const ModelParameters& p, float r) {
  // A private state: the report stays off and the caller's record (its per-case working
  // values included) is not touched, so later calculations see what the last one left.
  CalcState local;
  local.Params = p;
  local.Params.R = r;
  const SectionSums sums = RunModel(local);
  return ProfilePoint{r, local.TotalConc, sums.Puff, sums.Plume};
}

std::vector<float> ProfileDistances(float from, float to, int n, bool logScale) {
  std::vector<float> out;
  if (n < 2) return out;
  out.reserve(static_cast<std::size_t>(n));
  const ld a = logScale ? logl(from) : from;
  const ld b = logScale ? logl(to) : to;
  for (int i = 0; i < n; ++i) {
    const ld t = a + (b - a) * i / (n - 1);
    out.push_back(static_cast<float>(logScale ? expl(t) : t));
  }
  out.front() = from;  // the ends exactly as asked
  out.back() = to;
  return out;
}

namespace {

constexpr ld kGoldenRatio = 0.6180339887498948482L;  // (sqrt(5) - 1) / 2
constexpr ld kRefineTolerance = 1e-4L;                // relative width of the final bracket

// Golden-section search for the largest concentration in [lo, hi], on a log scale of the
// distance (the tolerance is relative). Returns the best point evaluated.
ProfilePoint RefineMaximum(const ModelParameters& p, float lo, float hi, ProfilePoint best) {
  if (!(lo > 0) || !(hi > lo)) return best;
  ld a = logl(lo);
  ld b = logl(hi);
  auto eval = [&](ld t) {
    ProfilePoint q = ConcentrationAt(p, static_cast<float>(expl(t)));
    if (q.C > best.C) best = q;
    return q.C;
  };
  ld x1 = b - kGoldenRatio * (b - a);
  ld x2 = a + kGoldenRatio * (b - a);
  float f1 = eval(x1);
  float f2 = eval(x2);
  while (b - a > kRefineTolerance) {
    if (f1 < f2) {
      a = x1;
      x1 = x2;
      f1 = f2;
      x2 = a + kGoldenRatio * (b - a);
      f2 = eval(x2);
    } else {
      b = x2;
      x2 = x1;
      f2 = f1;
      x1 = b - kGoldenRatio * (b - a);
      f1 = eval(x1);
    }
  }
  return best;
}

}  // namespace

Profile ComputeProfile(const ModelParameters& p, std::span<const float> distances) {
  Profile out;
  out.Points.reserve(distances.size());
  for (float r : distances) out.Points.push_back(ConcentrationAt(p, r));
  if (out.Points.empty()) return out;

  std::size_t i = 0;
  for (std::size_t j = 1; j < out.Points.size(); ++j) {
    if (out.Points[j].C > out.Points[i].C) i = j;
  }
  out.Max = out.Points[i];
  if (out.Max.C > 0) {
    const float lo = out.Points[i == 0 ? 0 : i - 1].R;
    const float hi = out.Points[std::min(i + 1, out.Points.size() - 1)].R;
    out.Max = RefineMaximum(p, lo, hi, out.Max);
  }
  return out;
}

}  // namespace vmk
