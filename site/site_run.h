// The site's concentrations: every stack at every receptor, their total, the maximum, and
// each stack's maximum along each of the 16 directions.
//
// A stack's value at a receptor is exactly what the window shows for that stack's inputs with
// XrpEdit the receptor's distance (computed in double, rounded to float), HrpEdit its height
// and the grid of the wind that carries the plume there: the receptor lies in direction
// sector k from the stack, k = floor((bearing + 11.25 deg) / 22.5 deg) mod 16, and the wind
// blows from the opposite direction k + 8. With "smooth", the values on the two sector centre
// lines on either side of the bearing are weighted linearly by angle.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "model/profile.h"
#include "site/site_plan.h"

namespace vmk {

// The width of one direction's sector, degrees.
inline constexpr double kSectorDegrees = 360.0 / kDirections;

// A receptor as one stack sees it.
struct StackView {
  float R = 0;         // distance, computed in double and rounded to float
  double Sectors = 0;  // bearing from the stack in sectors, 0 (N) to below kDirections
  bool InRange = false;  // R lies within the receptor distances the window accepts
};

// A receptor counts as on a sector's centre line when its distance across the line is at most
// this many units in the last place of the largest coordinate involved (the stack's or the
// receptor's, in metres): the coordinates cannot place it more finely, and a point placed on a
// centre line is then not weighted with the neighbouring sector for the rounding of its
// coordinates. The distance across is computed from the differences of the coordinates, within
// about two such units.
inline constexpr double kCenterLineUlps = 4;

StackView ViewFrom(double stackX, double stackY, double x, double y);

// The receptor directions (0 = N clockwise) whose values make a stack's value at a bearing,
// and the weight of the second: the value is (1 - W) * C[J0] + W * C[J1].
struct SectorWeights {
  int J0 = 0;
  int J1 = 0;
  double W = 0;
};
SectorWeights WeightsAt(SectorMode mode, double sectors);

// (1 - W) * c0 + W * c1 in extended precision, stored as float; exactly c0 when W is 0.
float Weighted(const SectorWeights& w, float c0, float c1);

// The wind direction (blowing from, 0 = N) of receptor direction j: the opposite one.
inline int WindFromOf(int j) { return (j + kDirections / 2) % kDirections; }

struct SiteResult {
  std::vector<std::vector<float>> StackC;  // [stack][receptor]; NaN where it has no value
  std::vector<float> Total;                // [receptor]; NaN where some stack has no value
  // Receptors without a value (nearer to a stack than `RLowerLimit` or farther than
  // `RUpperLimit`).
  std::size_t MissingGrid = 0;
  std::size_t MissingPolar = 0;
  std::size_t MissingPoints = 0;
  // The receptor of the largest total: over the grid, or the polar receptors when there is no
  // grid. Empty when none has a value.
  std::optional<std::size_t> MaxIndex;
  // [stack][receptor direction j]: the maximum along direction j from the stack at the
  // common receptor height, refined as the distance profile refines it.
  std::vector<std::array<ProfilePoint, kDirections>> AlongMax;
};

struct RunOptions {
  int Threads = 1;
  std::function<void(double)> Progress;  // share done, from the calling thread; may be empty
  // Set from any thread to stop the run: RunSite then raises SiteCancelled. May be null.
  const std::atomic<bool>* Cancel = nullptr;
};

// A run stopped by its caller (RunOptions::Cancel): nothing of it is kept.
class SiteCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "the computation was cancelled"; }
};

SiteResult RunSite(const SitePlan& plan, const RunOptions& options);

// One stack's value at a place and height (NaN when out of range): what RunSite gives for a
// receptor there.
float StackValueAt(const SitePlan& plan, std::size_t stack, double x, double y, float z);

// The sum over stacks in extended precision, stored as float; NaN when one is NaN.
float TotalOf(const std::vector<float>& values);

}  // namespace vmk
