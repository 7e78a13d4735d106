// A site file from its path to its results and files, in the steps the command line and the
// site window share: read, plan (every stack validated with the window's rules), check what
// the output files need, and only then compute. A bad site file so costs no computing time
// and writes nothing.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "plot/map_basemap.h"
#include "site/assessment.h"
#include "site/export/output_folder.h"
#include "site/site_plan.h"
#include "site/site_run.h"
#include "site/site_summary.h"

namespace vmk {

struct ComputedSite {
  SitePlan Plan;
  SiteResult Result;
  std::shared_ptr<const MapBasemap> Basemap;  // the ground under the map; none: white
  std::vector<PollutantRun> Pollutants;       // the site file's pollutants, each computed
};

// What the caller adds to the steps.
struct SiteSteps {
  // Called when every check has passed, just before the computation: the caller's own checks
  // (raising SiteError) and preparations. May be empty.
  std::function<void(const SitePlan&)> Checked;
  int Threads = 0;                       // 0: all cores
  const StandardsTable* Standards = nullptr;  // the standards table; none: the built-in one
  std::function<void(double)> Progress;  // the share computed; may be empty
  // Set from any thread to stop the computation: ComputeSiteFile then raises SiteCancelled.
  const std::atomic<bool>* Cancel = nullptr;
};

// Reads, plans, checks, reads the basemap and computes the site file at `path`, and each of
// its pollutants. Raises SiteError at the first problem, before anything is computed.
ComputedSite ComputeSiteFile(const std::string& path, const SiteSteps& steps);

// Makes every file of a computed site and puts them into the held output folder all together,
// in place of the previous run's (WriteSiteFiles). Raises SiteError when a file cannot be made
// and FileWriteError when it cannot be written; the folder is then as it was.
SiteRunNotes WriteSiteFilesOf(const OutputFolder& folder, const ComputedSite& site);

}  // namespace vmk
