// The concentration along the wind direction: the same model at a list of receptor distances,
// and the distance of the maximum.
#pragma once

#include <span>
#include <vector>

#include "input/model_parameters.h"

namespace vmk {

struct ProfilePoint {
  float R = 0;       // receptor distance, m
  float C = 0;       // TotalConc a calculation with this R would give
  float CPuff = 0;   // the puff section's sum
  float CPlume = 0;  // the plume section's sum
};

struct Profile {
  std::vector<ProfilePoint> Points;
  ProfilePoint Max;  // the maximum, refined between the neighbouring points
};

// The concentration at distance r for the validated inputs `p`, computed exactly as a
// calculation with that R computes TotalConc. Writes no report and leaves `p` untouched.
ProfilePoint ConcentrationAt(const ModelParameters& p, float r);

// The window's distance profile: 200 distances on a log scale from 10 m to 20 km (the window
// widens the range to take in its receptor distance).
inline constexpr float kProfileFrom = 10.0f;   // m
inline constexpr float kProfileTo = 20000.0f;  // m
inline constexpr int kProfilePoints = 200;

// n distances from `from` to `to` (both included), evenly spaced, or evenly on a log scale.
// Requires n >= 2 and 0 < from < to for the log scale.
std::vector<float> ProfileDistances(float from, float to, int n, bool logScale);

// The profile at the given distances (ascending) and its maximum: the largest point, then a
// golden-section search between its neighbours, to 0.01 % in distance.
Profile ComputeProfile(const ModelParameters& p, std::span<const float> distances);

// The profile of points already computed for `p` (ascending in R, each what `ConcentrationAt`
// gives), with its maximum found as `ComputeProfile` finds it.
Profile ProfileWithMaximum(const ModelParameters& p, std::vector<ProfilePoint> points);

}  // namespace vmk
