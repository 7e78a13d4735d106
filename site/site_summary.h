// The summary of a site's run on standard output, as plain text or as one JSON object.
#pragma once

#include <string>
#include <vector>

#include "site/assessment.h"
#include "site/site_run.h"

namespace vmk {

// What a run wrote and left out, for the summary.
struct SiteRunNotes {
  std::vector<std::string> Written;  // file names in the output folder
  std::vector<std::string> Notes;    // one line each
  // Those of the notes that the user is also told on standard error: what this build cannot make.
  std::vector<std::string> Warnings;
};

// The site, the receptors (and how many have no value), the maximum with its distance and
// direction from each stack, the points' values, for each stack alone the maximum along each
// of the 16 directions, and the assessment of each pollutant (none without pollutants).
std::string SummaryText(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes,
                        const std::vector<PollutantRun>& pollutants = {});
// The same as one JSON object.
std::string SummaryJson(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes,
                        const std::vector<PollutantRun>& pollutants = {});

// The assessment of the pollutants as lines of the summary text.
std::string AssessmentText(const std::vector<PollutantRun>& pollutants);

}  // namespace vmk
