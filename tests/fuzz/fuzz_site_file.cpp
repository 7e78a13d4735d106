// The site-file reader over any bytes: a file is refused with one line saying why, or it holds
// at least one stack, no two stacks of one name, no control the met file or the receptors set,
// at most the receptors the program allows, ascending levels and basemap files named by plain
// paths (the reader never opens them); and a small one plans, each
// stack's inputs then being what the window accepts for every wind direction.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "site/site_file.h"
#include "site/site_plan.h"
#include "fuzz_support.h"

namespace {

std::size_t Count(const vmk::AxisSteps& a) { return a.N < 0 ? 0 : static_cast<std::size_t>(a.N); }

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
  if (receptors > 20000 || site.Stacks.size() > 8) return 0;  // planning big sites is slow
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
  }
  return 0;
}
