// The site-file reader over any bytes: a file is refused with one line saying why, or it holds
// at least one stack, no two stacks of one name, no control the met file or the receptors set,
// at most the receptors the program allows, ascending levels, basemap files named by plain
// paths (the reader never opens them) and pollutants of unique names and file names each with
// a part for every stack and one stack at least that emits; and a small one plans, each stack's
// inputs then being what the window accepts for every wind direction, and so does each
// pollutant whose units and standard resolve. Every refusal also has its Japanese text.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "site/assessment.h"
#include "site/site_file.h"
#include "site/site_messages.h"
#include "site/site_plan.h"
#include "fuzz_support.h"

namespace {

std::size_t Count(const vmk::AxisSteps& a) { return a.N < 0 ? 0 : static_cast<std::size_t>(a.N); }

// What the site window shows of the same problem: a text, never empty.
void CheckJapanese(const vmk::SiteError& e) {
  if (vmk::SiteProblemText(e).empty()) Broken("a problem without its Japanese text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // A met file named by path is read from the disk: keep the fuzzer off device files that
  // never end.
  if (bytes.find("/dev") != std::string_view::npos || bytes.find("/proc") != std::string_view::npos) {
    return 0;
  }
  vmk::SiteDefinition site;
  try {
    site = vmk::ParseSiteFile(bytes, "/nonexistent-vmk-fuzz-folder");
  } catch (const vmk::SiteError& e) {
    CheckOneLine(e.what());
    CheckJapanese(e);
    return 0;
  }
  if (site.Stacks.empty() || site.Stacks.size() > vmk::kMaxSiteStacks) Broken("stack count");
  std::set<std::string> names;
  for (const vmk::StackDefinition& s : site.Stacks) {
    if (!names.insert(s.Name).second) Broken("two stacks of one name");
    for (const auto& [control, text] : s.Controls.Texts) {
      for (std::string_view owned : vmk::kSiteOwnedControls) {
        if (control == owned) Broken("a stack names " + control);
      }
    }
    if (!s.Controls.Cells.empty()) Broken("a stack sets grid cells");
  }
  std::size_t receptors = site.Points.size();
  if (site.Grid) receptors += Count(site.Grid->X) * Count(site.Grid->Y);
  if (site.Polar) receptors += 16 * Count(site.Polar->Distances);
  if (receptors == 0 || receptors > vmk::kMaxSiteReceptors) Broken("receptor count");
  for (std::size_t i = 1; i < site.Levels.size(); ++i) {
    if (!(site.Levels[i - 1] < site.Levels[i])) Broken("levels not ascending");
  }
  // The basemap's files are named, never read, by the reader: each one a plain path.
  if (site.Basemap) {
    std::vector<const vmk::BasemapLayerDefinition*> layers;
    if (site.Basemap->Raster) layers.push_back(&*site.Basemap->Raster);
    for (const vmk::BasemapLayerDefinition& v : site.Basemap->Vectors) layers.push_back(&v);
    if (layers.empty() || site.Basemap->Vectors.size() > vmk::kMaxBasemapVectors) Broken("basemap files");
    for (const vmk::BasemapLayerDefinition* l : layers) {
      if (l->Path.empty() || l->FullPath.rfind("/vsi", 0) == 0) Broken("basemap path " + l->Path);
    }
  }
  if (site.Pollutants.size() > vmk::kMaxSitePollutants) Broken("pollutant count");
  std::set<std::string> pollutants;
  for (const vmk::PollutantDefinition& p : site.Pollutants) {
    if (!pollutants.insert(p.Name).second) Broken("two pollutants of one name");
    if (p.Stacks.size() != site.Stacks.size()) Broken("a pollutant without every stack");
    bool emits = false;
    for (const vmk::PollutantStack& s : p.Stacks) emits = emits || s.Emits;
    if (!emits) Broken("a pollutant that no stack emits");
    if (p.Background.Sign() < 0) Broken("a negative background");
    if (p.FileName.find_first_of("/\\:*?\"<>|") != std::string::npos) Broken("an unsafe file name");
    if (p.Convert.Kind == vmk::ConversionKind::Fit && (!p.Convert.Fit || p.Convert.Fit->Points.size() < 3)) {
      Broken("a fit of fewer than 3 points");
    }
  }
  if (receptors > 20000 || site.Stacks.size() > 8) return 0;  // planning big sites is slow
  if (receptors * (1 + site.Pollutants.size()) > 20000) return 0;
  try {
    for (const vmk::PollutantRun& run :
         vmk::PlanPollutants(site, vmk::ResolveAssessments(site, vmk::DefaultStandardsTable()))) {
      if (!vmk::UnitShift(run.Terms.CUnit, run.Terms.Std.Unit)) Broken("units that do not convert");
      if (run.Plan.Stacks.empty()) Broken("a pollutant planned without a stack");
    }
  } catch (const vmk::SiteError& e) {
    CheckOneLine(e.what());
    CheckJapanese(e);
  }
  try {
    const vmk::SitePlan plan = vmk::PlanSite(std::move(site));
    if (plan.Receptors.All.size() != receptors) Broken("planned receptors differ");
    for (const vmk::StackPlan& s : plan.Stacks) {
      for (const vmk::ModelParameters& p : s.ByWind) {
        if (p.FreqTotal < 1 || p.FreqTotal > vmk::MaxFreqHours) Broken("valid hours");
        if (!(p.Qp >= 9.99e-16f) || !std::isfinite(p.Ho)) Broken("stack inputs");
      }
    }
  } catch (const vmk::SiteError& e) {
    CheckOneLine(e.what());
    CheckJapanese(e);
  }
  return 0;
}
