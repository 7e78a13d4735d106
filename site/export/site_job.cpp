#include "site/export/site_job.h"

#include "site/export/site_export.h"
#include "site/parallel.h"

namespace vmk {

ComputedSite ComputeSiteFile(const std::string& path, const SiteSteps& steps) {
  ComputedSite site;
  site.Plan = PlanSite(ReadSiteFile(path));
  CheckSiteForExport(site.Plan.Site);
  site.Basemap = ReadSiteBasemap(site.Plan.Site);
  if (steps.Checked) steps.Checked(site.Plan);
  RunOptions options;
  options.Threads = steps.Threads > 0 ? steps.Threads : AllCores();
  options.Progress = steps.Progress;
  site.Result = RunSite(site.Plan, options);
  return site;
}

SiteRunNotes WriteSiteFilesOf(const OutputFolder& folder, const ComputedSite& site) {
  const SiteExport files = MakeSiteFiles(site.Plan, site.Result, site.Basemap);
  const std::vector<std::string> kept = WriteSiteFiles(folder, files.Files);
  SiteRunNotes notes;
  for (const SiteFile& f : files.Files) notes.Written.push_back(f.Name);
  notes.Notes = files.Notes;
  notes.Notes.insert(notes.Notes.end(), kept.begin(), kept.end());
  return notes;
}

}  // namespace vmk
