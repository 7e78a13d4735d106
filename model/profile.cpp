#include "model/profile.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "model/model.h"

namespace vmk {

using ld = long double;

ProfilePoint ConcentrationAt(const ModelParameters& p, float r) {
  ModelParameters at = p;
  at.R = r;
  const ModelResult result = RunModel(at);
  return ProfilePoint{r, result.TotalConc, result.PuffSum, result.PlumeSum};
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

constexpr ld kGoldenSection = 0.3819660112501051518L;  // (3 - sqrt(5)) / 2
constexpr ld kRefineTolerance = 1e-4L;                  // relative width of the final bracket

// Golden-section search for the largest concentration between the neighbours lo and hi of the
// largest profile point `best`, on a log scale of the distance (the tolerance is relative).
// The search keeps `best` as its inner point, so a dip elsewhere in the bracket cannot lead it
// away from the peak. Returns the best point evaluated.
ProfilePoint RefineMaximum(const ModelParameters& p, float lo, float hi, ProfilePoint best) {
  if (!(lo > 0) || !(hi > lo)) return best;
  ld a = logl(lo);
  ld b = logl(hi);
  ld x = logl(best.R);
  float fx = best.C;
  while (b - a > kRefineTolerance) {
    const ld u = (b - x > x - a) ? x + kGoldenSection * (b - x) : x - kGoldenSection * (x - a);
    const ProfilePoint q = ConcentrationAt(p, static_cast<float>(expl(u)));
    if (q.C > fx) {
      (u > x ? a : b) = x;
      x = u;
      fx = q.C;
      best = q;
    } else {
      (u > x ? b : a) = u;
    }
  }
  return best;
}

}  // namespace

Profile ComputeProfile(const ModelParameters& p, std::span<const float> distances) {
  std::vector<ProfilePoint> points;
  points.reserve(distances.size());
  for (float r : distances) points.push_back(ConcentrationAt(p, r));
  return ProfileWithMaximum(p, std::move(points));
}

Profile ProfileWithMaximum(const ModelParameters& p, std::vector<ProfilePoint> points) {
  Profile out;
  out.Points = std::move(points);
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
