// The summary of a site's run on standard output, as plain text or as one JSON object.
#pragma once

#include <string>
#include <vector>

#include "site/site_run.h"

namespace vmk {

// What a run wrote and left out, for the summary.
struct SiteRunNotes {
  std::vector<std::string> Written;  // file names in the output folder
  std::vector<std::string> Notes;    // one line each
};

// The site, the receptors (and how many have no value), the maximum with its distance and
// direction from each stack, the points' values, and for each stack alone the maximum along
// each of the 16 directions.
std::string SummaryText(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes);
// The same as one JSON object.
std::string SummaryJson(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes);

}  // namespace vmk
