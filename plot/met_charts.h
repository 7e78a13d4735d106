// The pictures of a site's met statistics as scenes of plain shapes, with Japanese labels:
// the wind rose (the share of each of the 16 directions by speed class, calm in the centre)
// and the stability chart (hours of each stability class by day and by night).
#pragma once

#include <array>

#include "met/met_stats.h"
#include "plot/scene.h"

namespace vmk {

// The wind rose, 760 x 720 pixels: for each direction the wind blows from, a petal whose
// stacked parts are the shares (% of the valid hours) of weak wind and windy classes 1 to 6,
// on rings of a round scale; the calm share in the centre circle; a legend of the classes.
PlotScene BuildWindRose(const MetStats& stats);

// The stability chart, 800 x 480 pixels: for each of the 11 classes a bar of its day hours and
// one of its night hours.
PlotScene BuildStabilityChart(const MetStats& stats, const ClassCounts& dayHours,
                              const ClassCounts& nightHours);

// The share of a direction's hours (weak wind and windy classes 1 to 6, % of the valid hours),
// as the petal stacks them.
std::array<double, 7> DirectionShares(const MetStats& stats, int direction);

}  // namespace vmk
