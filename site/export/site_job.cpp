#include "site/export/site_job.h"

#include "site/export/site_export.h"
#include "site/parallel.h"

namespace vmk {

ComputedSite ComputeSiteFile(const std::string& path, const SiteSteps& steps) {
  ComputedSite site;
  SiteDefinition definition = ReadSiteFile(path);
  // The units of every pollutant first, then the site's stacks, then each pollutant's.
  std::vector<AssessmentTerms> terms =
      ResolveAssessments(definition, steps.Standards ? *steps.Standards : DefaultStandardsTable());
  definition.Pollutants.clear();  // each run holds its own
  site.Plan = PlanSite(std::move(definition));
  site.Pollutants = PlanPollutants(site.Plan.Site, std::move(terms));
  CheckSiteForExport(site.Plan.Site);
  site.Basemap = ReadSiteBasemap(site.Plan.Site);
  if (steps.Checked) steps.Checked(site.Plan);
  // The site's run, then each pollutant's: equal shares of the progress.
  const double runs = 1.0 + static_cast<double>(site.Pollutants.size());
  double done = 0;
  RunOptions options;
  options.Threads = steps.Threads > 0 ? steps.Threads : AllCores();
  options.Cancel = steps.Cancel;
  if (steps.Progress) {
    options.Progress = [&](double share) { steps.Progress((done + share) / runs); };
  }
  site.Result = RunSite(site.Plan, options);
  for (PollutantRun& run : site.Pollutants) {
    done += 1;
    run.Result = RunSite(run.Plan, options);
  }
  return site;
}

SiteRunNotes WriteSiteFilesOf(const OutputFolder& folder, const ComputedSite& site) {
  const SiteExport files = MakeSiteFiles(site.Plan, site.Result, site.Basemap, site.Pollutants);
  const std::vector<std::string> kept = WriteSiteFiles(folder, files.Files);
  SiteRunNotes notes;
  for (const SiteFile& f : files.Files) notes.Written.push_back(f.Name);
  notes.Notes = files.Notes;
  notes.Warnings = files.Warnings;
  notes.Notes.insert(notes.Notes.end(), kept.begin(), kept.end());
  return notes;
}

}  // namespace vmk
