// The texts of a site's results: the CSV tables, the isopleth levels and the summary (plain
// text and JSON).
#pragma once

#include <string>
#include <vector>

#include "site/site_run.h"

namespace vmk {

// The empty text of a missing value, or the shortest text that reads back as the same float.
std::string ValueText(float value);

// UTF-8 with a byte order mark (so that spreadsheets read the names), one header line, then
// one line per receptor; a missing value is an empty field.
// points.csv: name,x (m),y (m),z (m),C,C <stack>,...
std::string PointsCsv(const SitePlan& plan, const SiteResult& result);
// grid.csv: x (m),y (m),C,C <stack>,... (x fastest, then y, both ascending)
std::string GridCsv(const SitePlan& plan, const SiteResult& result);
// polar.csv: direction,R (m),C,C <stack>,... (the direction of the receptor from the centre)
std::string PolarCsv(const SitePlan& plan, const SiteResult& result);

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

// The 16-point name of a bearing (in sectors of 22.5 degrees from north).
std::string_view DirectionName(double sectors);

// What a run wrote and left out, for the summary.
struct SiteRunNotes {
  std::vector<std::string> Written;  // file names in the output folder
  std::vector<std::string> Notes;    // one line each
};

// The summary on standard output: the site, the receptors (and how many have no value), the
// maximum with its distance and direction from each stack, the points' values, and for each
// stack alone the maximum along each of the 16 directions.
std::string SummaryText(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes);
// The same as one JSON object.
std::string SummaryJson(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes);

}  // namespace vmk
