// One stack's model run for many wind directions and distances at once.
//
// The calculations of one stack for the 16 wind directions differ only in the hours of the
// direction: the weak-wind hours of row 2 and the windy hours of rows 4 to 9. A case's
// concentration before it is weighted by its hours (C1) depends on the distance and the
// receptor height but not on those hours, and the wind and rise of a case depend on neither.
// So the wind and rise of every case that some direction needs are computed once, C1 once per
// distance, and each direction's sums are then formed exactly as `RunModel` forms them: the
// same cases skipped, the same weak-wind frequency correction, the same weighting and the same
// single-precision additions in the same order. Every result is bit for bit what `RunModel`
// gives for that direction's parameters at that distance.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "input/model_parameters.h"
#include "model/plume.h"
#include "model/puff.h"

namespace vmk {

// The hours of one wind direction: the fields of the parameter set that differ between the
// directions of one site.
struct DirectionHours {
  std::array<float, 12> WeakFreq{};                          // [s]
  std::array<std::array<std::int16_t, 12>, 7> WindyFreq{};   // [k 1..6][s 1..11]
};

// The hours of the direction whose grid `p` was validated with.
DirectionHours DirectionHoursOf(const ModelParameters& p);

// What `RunModel` returns for the concentration.
struct DirectionSums {
  float PuffSum = 0;
  float PlumeSum = 0;
  float TotalConc = 0;
  bool ModelError = false;  // some counted windy case could not evaluate sigma-z
};

class DirectionCases {
 public:
  // C1 of every needed case at one distance and receptor height.
  struct AtDistance {
    float Rc = 0;
    std::array<float, 12> CalmC1{};
    std::array<float, 12> WeakC1{};
    std::array<std::array<float, 12>, 7> PlumeC1{};
    std::array<std::array<bool, 12>, 7> PlumeError{};
  };

  // `p` passed `ReadModelParameters` (its R, z and direction hours are not used);
  // `directions` holds the hours of every direction that `Sum` will be asked for.
  DirectionCases(const ModelParameters& p, std::span<const DirectionHours> directions);

  // C1 of the needed cases at receptor distance r and height z (both as validated).
  void Evaluate(float r, float z, AtDistance& out) const;

  // The sums a model run with the hours `d` at the distance of `at` gives.
  DirectionSums Sum(const AtDistance& at, const DirectionHours& d) const;

  float Qh() const { return qh_; }

 private:
  ModelParameters p_;
  float qh_ = 0;
  // The prepared rows (wind, rise, alpha, gamma) of the calm and weak-wind cases whose wind
  // some direction computes, and the wind and rise of the windy cases with hours in some
  // direction.
  std::array<std::optional<PuffRow>, 12> calm_;
  std::array<std::optional<PuffRow>, 12> weak_;
  std::array<std::array<std::optional<PlumeRow>, 12>, 7> plume_;
};

}  // namespace vmk
