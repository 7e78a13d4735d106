// The chart of a distance profile as a picture scene: the axes with their ticks, labels and
// titles, the curve, and the marks of the maximum and the receptor. Computed once; the SVG
// writer and the painters only draw it.
#pragma once

#include <optional>
#include <utility>

#include "model/profile.h"
#include "plot/scene.h"

namespace vmk {

struct ProfilePlotInput {
  const Profile* Data = nullptr;  // points ascending in R, from `From` to `To`
  float From = 0;
  float To = 0;
  bool LogScale = false;  // a log distance axis (the points evenly spaced on it)
  // The receptor of the calculation: its distance and concentration, marked when within the
  // distance range.
  std::optional<std::pair<float, float>> Receptor;
};

// The chart, 800 x 500 pixels, labelled in Japanese as the window: title "最大濃度 C = <C>
// (R = <R> m)", axis titles "風下距離 R (m)" and "濃度 C (ppb, ng/m3)", a linear concentration
// axis from zero, the curve of C over every finite point, the marks "最大" and "予測点 R = <R> m".
// A maximum on the first or last distance gets a line under the title saying that higher values
// may lie outside the range.
PlotScene BuildProfilePlot(const ProfilePlotInput& in);

}  // namespace vmk
