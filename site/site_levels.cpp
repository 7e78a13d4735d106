#include "site/site_levels.h"

#include <array>
#include <cmath>
#include <limits>

#include "plot/ticks.h"

namespace vmk {

std::vector<double> ChooseLevels(double low, double high) {
  std::vector<double> levels;
  if (!(high > 0) || !std::isfinite(high)) return levels;
  if (!(low < high)) low = 0;
  const int top = static_cast<int>(std::floor(std::log10(high)));
  std::vector<double> candidates;
  for (int k = top - 3; k <= top; ++k) {
    const std::array<double, 4> steps = OneTwoFiveSteps(k);
    for (std::size_t i = 0; i < 3; ++i) {  // 1, 2 and 5 times 10^k
      const double v = steps[i];
      if (v > low && v <= high && v >= high / 1000) candidates.push_back(v);
    }
  }
  if (candidates.size() > 10) candidates.erase(candidates.begin(), candidates.end() - 10);
  if (candidates.size() >= 3) return candidates;
  double lo = low;
  double hi = high;
  for (const AxisTick& t : LinearTicks(lo, hi, 6, false)) {
    if (t.Value > low && t.Value <= high) levels.push_back(t.Value);
  }
  return levels;
}

std::pair<float, float> GridRange(const SiteResult& result, const ReceptorSet& receptors) {
  float lo = std::numeric_limits<float>::quiet_NaN();
  float hi = lo;
  for (std::size_t q = 0; q < receptors.GridCount; ++q) {
    const float v = result.Total[q];
    if (std::isnan(v)) continue;
    if (std::isnan(lo) || v < lo) lo = v;
    if (std::isnan(hi) || v > hi) hi = v;
  }
  return {lo, hi};
}

std::vector<double> SiteLevels(const SitePlan& plan, const SiteResult& result) {
  if (plan.Receptors.GridCount == 0) return {};
  if (!plan.Site.Levels.empty()) return plan.Site.Levels;
  const auto [lo, hi] = GridRange(result, plan.Receptors);
  if (std::isnan(hi)) return {};
  return ChooseLevels(lo, hi);
}

}  // namespace vmk
