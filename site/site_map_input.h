// What the map of a computed site shows: the grid's extent, the levels and bands, the stacks,
// the points and the maximum, and the title lines.
#pragma once

#include <vector>

#include "plot/site_map.h"
#include "site/site_run.h"

namespace vmk {

inline constexpr int kMapWidth = 1000;
inline constexpr int kMapHeight = 800;

// `bands` are the isopleth bands of the grid for `levels` (empty where none were made). The
// polar receptors are shown when the site has no grid; no basemap is set.
SiteMapInput MapInputOf(const SitePlan& plan, const SiteResult& result, const std::vector<double>& levels,
                        std::vector<MapBand> bands);

}  // namespace vmk
