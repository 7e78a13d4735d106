#include "site/site_run.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "site/parallel.h"

namespace vmk {
namespace {

constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();
constexpr std::uint64_t kOutOfRange = std::numeric_limits<std::uint64_t>::max();

// Work of one distance profile's maximum, in model runs: about 25 runs of the search.
constexpr double kRefineUnits = 25;

std::uint64_t DistanceKey(float r, float z) {
  return (std::uint64_t{std::bit_cast<std::uint32_t>(r)} << 32) | std::bit_cast<std::uint32_t>(z);
}

// The value of direction j at one distance, each direction summed once.
class DirectionValues {
 public:
  DirectionValues(const StackPlan& stack, const DirectionCases::AtDistance& at)
      : stack_(stack), at_(at) {}
  float operator()(int j) {
    const std::uint32_t bit = 1u << j;
    if ((have_ & bit) == 0) {
      const DirectionSums s = stack_.Cases->Sum(at_, stack_.Hours[static_cast<std::size_t>(WindFromOf(j))]);
      values_[static_cast<std::size_t>(j)] = s.ModelError ? kNoValue : s.TotalConc;
      have_ |= bit;
    }
    return values_[static_cast<std::size_t>(j)];
  }
  float At(const SectorWeights& w) { return Weighted(w, (*this)(w.J0), w.W == 0 ? 0.0f : (*this)(w.J1)); }

 private:
  const StackPlan& stack_;
  const DirectionCases::AtDistance& at_;
  std::array<float, kDirections> values_{};
  std::uint32_t have_ = 0;
};

struct KeyedReceptor {
  std::uint64_t Key;
  std::uint32_t Index;
  friend bool operator<(const KeyedReceptor& a, const KeyedReceptor& b) {
    return a.Key != b.Key ? a.Key < b.Key : a.Index < b.Index;
  }
};

// Sorts the parts on their own threads, then merges them.
void SortOnThreads(std::vector<KeyedReceptor>& v, int threads) {
  const std::size_t parts = std::min<std::size_t>(static_cast<std::size_t>(threads), v.size() / 4096 + 1);
  if (parts <= 1) {
    std::sort(v.begin(), v.end());
    return;
  }
  std::vector<std::size_t> bounds;
  for (std::size_t i = 0; i <= parts; ++i) bounds.push_back(v.size() * i / parts);
  ParallelFor(parts, 1, threads, [&](std::size_t b, std::size_t e) {
    for (std::size_t i = b; i < e; ++i) std::sort(v.begin() + static_cast<std::ptrdiff_t>(bounds[i]), v.begin() + static_cast<std::ptrdiff_t>(bounds[i + 1]));
  });
  for (std::size_t i = 1; i < parts; ++i) {
    std::inplace_merge(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(bounds[i]),
                       v.begin() + static_cast<std::ptrdiff_t>(bounds[i + 1]));
  }
}

// Raises SiteCancelled once the caller has asked the run to stop.
void StopIfCancelled(const std::atomic<bool>* cancel) {
  if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) throw SiteCancelled();
}

// One stack at every receptor: receptors at the same distance and height share one
// evaluation of the cases.
void RunStack(const SitePlan& plan, std::size_t s, int threads, ProgressMeter& meter,
              std::vector<float>& values, const std::atomic<bool>* cancel) {
  const StackPlan& stack = plan.Stacks[s];
  const std::vector<Receptor>& all = plan.Receptors.All;
  const std::size_t n = all.size();
  const SectorMode mode = plan.Site.Sectors;

  std::vector<KeyedReceptor> keyed(n);
  std::vector<double> sectors(n);
  ParallelFor(n, 8192, threads, [&](std::size_t b, std::size_t e) {
    for (std::size_t q = b; q < e; ++q) {
      const StackView v = ViewFrom(stack.X, stack.Y, all[q].X, all[q].Y);
      sectors[q] = v.Sectors;
      keyed[q] = {v.InRange ? DistanceKey(v.R, all[q].Z) : kOutOfRange, static_cast<std::uint32_t>(q)};
    }
  });
  SortOnThreads(keyed, threads);
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < n; ++i) {
    if (i == 0 || keyed[i].Key != keyed[i - 1].Key) starts.push_back(i);
  }
  starts.push_back(n);

  const std::size_t groups = starts.size() - 1;
  ParallelFor(groups, 16, threads, [&](std::size_t gb, std::size_t ge) {
    DirectionCases::AtDistance at;
    std::size_t receptors = 0;
    for (std::size_t g = gb; g < ge; ++g) {
      StopIfCancelled(cancel);
      const std::size_t first = starts[g];
      const std::size_t last = starts[g + 1];
      receptors += last - first;
      const std::uint64_t key = keyed[first].Key;
      if (key == kOutOfRange) continue;  // no value: stays NaN
      const float r = std::bit_cast<float>(static_cast<std::uint32_t>(key >> 32));
      const float z = std::bit_cast<float>(static_cast<std::uint32_t>(key));
      stack.Cases->Evaluate(r, z, at);
      DirectionValues c(stack, at);
      for (std::size_t i = first; i < last; ++i) {
        const std::uint32_t q = keyed[i].Index;
        values[q] = c.At(WeightsAt(mode, sectors[q]));
      }
    }
    meter.Add(static_cast<double>(receptors));
  }, &meter, 0);  // each chunk adds the receptors of its distances
}

// The maximum along each of the 16 directions from one stack.
void RunAlong(const SitePlan& plan, std::size_t s, int threads, ProgressMeter& meter,
              std::array<ProfilePoint, kDirections>& out, const std::atomic<bool>* cancel) {
  const StackPlan& stack = plan.Stacks[s];
  const std::vector<float> distances = ProfileDistances(kProfileFrom, kProfileTo, kProfilePoints, true);
  std::vector<std::array<DirectionSums, kDirections>> sums(distances.size());
  ParallelFor(distances.size(), 4, threads, [&](std::size_t b, std::size_t e) {
    DirectionCases::AtDistance at;
    for (std::size_t i = b; i < e; ++i) {
      StopIfCancelled(cancel);
      stack.Cases->Evaluate(distances[i], plan.DefaultZ, at);
      for (int d = 0; d < kDirections; ++d) {
        sums[i][static_cast<std::size_t>(d)] = stack.Cases->Sum(at, stack.Hours[static_cast<std::size_t>(d)]);
      }
    }
  }, &meter, 1);
  ParallelFor(kDirections, 1, threads, [&](std::size_t b, std::size_t e) {
    for (std::size_t j = b; j < e; ++j) {
      const std::size_t wind = static_cast<std::size_t>(WindFromOf(static_cast<int>(j)));
      ModelParameters p = stack.ByWind[wind];
      p.z = plan.DefaultZ;
      std::vector<ProfilePoint> points;
      points.reserve(distances.size());
      for (std::size_t i = 0; i < distances.size(); ++i) {
        const DirectionSums& d = sums[i][wind];
        points.push_back({distances[i], d.TotalConc, d.PuffSum, d.PlumeSum});
      }
      out[j] = ProfileWithMaximum(p, std::move(points)).Max;
    }
  }, &meter, kRefineUnits);
}

}  // namespace

StackView ViewFrom(double stackX, double stackY, double x, double y) {
  StackView v;
  const double dx = x - stackX;
  const double dy = y - stackY;
  // Plain operations (no hypot) so that every platform rounds the distance alike.
  v.R = static_cast<float>(std::sqrt(dx * dx + dy * dy));
  v.InRange = v.R >= RLowerLimit && v.R <= RUpperLimit;
  double u = std::atan2(dx, dy) / (2 * std::numbers::pi / kDirections);
  if (u < 0) u += kDirections;
  const double nearest = std::round(u);
  // The distance across the nearest centre line, against the resolution of the coordinates
  // (north twice: as direction 0 and as the bearing rounded up to a whole turn).
  static const std::array<std::array<double, 2>, kDirections + 1> kLines = [] {
    std::array<std::array<double, 2>, kDirections + 1> lines{};
    for (int j = 0; j <= kDirections; ++j) lines[static_cast<std::size_t>(j)] = DirectionVector(j);
    return lines;
  }();
  const auto [east, north] = kLines[static_cast<std::size_t>(nearest)];
  const double across = std::fabs(dx * north - dy * east);
  const double largest = std::max({std::fabs(stackX), std::fabs(stackY), std::fabs(x), std::fabs(y)});
  const double unit = std::nextafter(largest, std::numeric_limits<double>::infinity()) - largest;
  if (across <= kCenterLineUlps * unit) u = nearest;
  if (u >= kDirections) u -= kDirections;
  v.Sectors = u;
  return v;
}

SectorWeights WeightsAt(SectorMode mode, double sectors) {
  SectorWeights w;
  if (mode == SectorMode::Sector) {
    w.J0 = static_cast<int>(std::floor(sectors + 0.5)) % kDirections;
    w.J1 = w.J0;
    return w;
  }
  const double base = std::floor(sectors);
  w.J0 = static_cast<int>(base) % kDirections;
  w.J1 = (w.J0 + 1) % kDirections;
  w.W = sectors - base;
  return w;
}

float Weighted(const SectorWeights& w, float c0, float c1) {
  if (w.W == 0) return c0;
  return static_cast<float>((1.0L - w.W) * c0 + static_cast<long double>(w.W) * c1);
}

float TotalOf(const std::vector<float>& values) {
  long double sum = 0;
  for (float v : values) {
    if (std::isnan(v)) return kNoValue;
    sum += v;
  }
  return static_cast<float>(sum);
}

float StackValueAt(const SitePlan& plan, std::size_t stack, double x, double y, float z) {
  const StackPlan& s = plan.Stacks.at(stack);
  const StackView v = ViewFrom(s.X, s.Y, x, y);
  if (!v.InRange) return kNoValue;
  DirectionCases::AtDistance at;
  s.Cases->Evaluate(v.R, z, at);
  DirectionValues c(s, at);
  return c.At(WeightsAt(plan.Site.Sectors, v.Sectors));
}

SiteResult RunSite(const SitePlan& plan, const RunOptions& options) {
  const int threads = options.Threads < 1 ? 1 : options.Threads;
  const std::size_t n = plan.Receptors.All.size();
  const std::size_t stacks = plan.Stacks.size();
  SiteResult out;
  out.StackC.assign(stacks, std::vector<float>(n, kNoValue));
  out.AlongMax.resize(stacks);

  const double alongUnits = kProfilePoints + kDirections * kRefineUnits;
  ProgressMeter meter(static_cast<double>(stacks) * (static_cast<double>(n) + alongUnits),
                      options.Progress);
  for (std::size_t s = 0; s < stacks; ++s) {
    RunStack(plan, s, threads, meter, out.StackC[s], options.Cancel);
    RunAlong(plan, s, threads, meter, out.AlongMax[s], options.Cancel);
  }

  out.Total.assign(n, kNoValue);
  ParallelFor(n, 16384, threads, [&](std::size_t b, std::size_t e) {
    for (std::size_t q = b; q < e; ++q) {
      long double sum = 0;
      bool all = true;
      for (std::size_t s = 0; s < stacks && all; ++s) {
        const float v = out.StackC[s][q];
        all = !std::isnan(v);
        sum += v;
      }
      out.Total[q] = all ? static_cast<float>(sum) : kNoValue;
    }
  });

  const ReceptorSet& rs = plan.Receptors;
  for (std::size_t q = 0; q < n; ++q) {
    if (!std::isnan(out.Total[q])) continue;
    switch (rs.KindOf(q)) {
      case ReceptorKind::Grid: ++out.MissingGrid; break;
      case ReceptorKind::Polar: ++out.MissingPolar; break;
      case ReceptorKind::Point: ++out.MissingPoints; break;
    }
  }
  const std::size_t from = rs.GridCount > 0 ? 0 : rs.PolarBegin();
  const std::size_t to = rs.GridCount > 0 ? rs.GridCount : rs.PointBegin();
  for (std::size_t q = from; q < to; ++q) {
    const float v = out.Total[q];
    if (std::isnan(v)) continue;
    if (!out.MaxIndex || v > out.Total[*out.MaxIndex]) out.MaxIndex = q;
  }
  return out;
}

}  // namespace vmk
