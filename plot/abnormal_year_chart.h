// The picture of the abnormal-year test: for each item, the range of acceptance (lower to upper
// bound) as a bar, the reference mean as a tick and the tested year's share as a mark, red when
// rejected; the directions and calm in one panel, the speed classes in another. Japanese labels.
#pragma once

#include "met/abnormal_year.h"
#include "plot/scene.h"

namespace vmk {

// 960 x 640 pixels.
PlotScene BuildAbnormalYearChart(const AbnormalYearResult& result);

}  // namespace vmk
