// The isopleth levels of a site's map and GIS files: the site's own, or 1-2-5 steps chosen over
// the values of its grid.
#pragma once

#include <utility>
#include <vector>

#include "site/site_run.h"

namespace vmk {

// Isopleth levels for values from `low` to `high`: 1, 2 and 5 times the powers of ten over
// the top three decades below `high` (at most 10 levels); when fewer than three of them lie
// above `low`, evenly spaced 1-2-5 steps over the range instead. Empty when high is not
// positive.
std::vector<double> ChooseLevels(double low, double high);

// The isopleth levels: the site's own, or levels chosen over the grid's values; none without
// a grid (the isopleths are drawn over the grid only).
std::vector<double> SiteLevels(const SitePlan& plan, const SiteResult& result);

// The smallest and largest grid value with a value (NaN, NaN when none has).
std::pair<float, float> GridRange(const SiteResult& result, const ReceptorSet& receptors);

}  // namespace vmk
