// What the map of a computed site shows: the grid's extent, the levels and bands, the stacks,
// the points and the maximum, and the title lines.
#pragma once

#include <vector>

#include "plot/site_map.h"
#include "site/assessment.h"
#include "site/site_run.h"

namespace vmk {

inline constexpr int kMapWidth = 1000;
inline constexpr int kMapHeight = 800;

// `bands` are the isopleth bands of the grid for `levels` (empty where none were made). The
// polar receptors are shown when the site has no grid; no basemap is set.
SiteMapInput MapInputOf(const SitePlan& plan, const SiteResult& result, const std::vector<double>& levels,
                        std::vector<MapBand> bands);

// The map of a pollutant: its own run's grid and levels, the maximum's and points' labels with
// the assessment as the summary shows it, and a subtitle that says what the labels hold.
SiteMapInput AssessmentMapInput(const PollutantRun& run, const std::vector<double>& levels,
                                std::vector<MapBand> bands);

// The label of one row of a pollutant's table: the name, the standard's statistic, the verdict
// and 寄与率 ("みなと小学校 0.029 適合 (0.57%)"; the maximum "最大 ...").
std::string AssessmentLabel(const AssessmentRow& row);

}  // namespace vmk
