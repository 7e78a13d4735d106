// The site computation of one stack: 16 directions x 200 distances, and a 201 x 201 grid at
// 50 m with "smooth" sectors on 1 and 2 threads (the speed-up of the second thread). The site
// is validated once; each iteration computes every receptor, the total, the maximum and the
// maximum along each of the 16 directions. Wall-clock time.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include "met/met_stats.h"
#include "site/site_file.h"
#include "site/site_plan.h"
#include "site/site_run.h"

namespace {

using Json = nlohmann::json;

// Hours in every case of every direction: every case of the model has work.
vmk::MetStats FullMet() {
  vmk::MetStats m;
  m.ValidHours = 8760;
  for (int s = 0; s < vmk::kStabilityClasses; ++s) {
    m.CalmAll[s] = 7;
    m.WeakAll[s] = 20;
    for (int d = 0; d < vmk::kDirections; ++d) {
      m.Directions[d].Weak[s] = 2 + d % 3;
      for (int k = 0; k < vmk::kWindyClasses; ++k) m.Directions[d].Windy[k][s] = 7 + (d + k) % 5;
    }
  }
  return m;
}

// The stack of the distance-profile benchmark, at the origin.
vmk::SitePlan OneStack(const Json& receptors, const char* sectors) {
  const Json site = {
      {"format", "vmk-site/1"},
      {"met", Json::parse(vmk::MetStatsJson(FullMet()))},
      {"common",
       {{"dHformulaCalmEdit", " 1"}, {"dHformulaWWEdit", " 4"}, {"dHformulaWindyEdit", " 2"},
        {"NOxTrnCheckBox", true}, {"WDdistributeCheckBox", true}}},
      {"sources", Json::array({{{"name", "S"}, {"x", 0}, {"y", 0},
                                {"controls", {{"QgEdit", " 50"}, {"HoEdit", " 50.0"}}}}})},
      {"receptors", receptors},
      {"sectors", sectors}};
  return vmk::PlanSite(vmk::ParseSiteFile(site.dump(), "."));
}

void RunSiteLoop(benchmark::State& state, const vmk::SitePlan& plan) {
  vmk::RunOptions options;
  options.Threads = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(vmk::RunSite(plan, options));
  state.counters["receptors"] = static_cast<double>(plan.Receptors.All.size());
}

void BM_SitePolar(benchmark::State& state) {
  const vmk::SitePlan plan = OneStack(
      {{"polar", {{"center", {0, 0}}, {"distances", "10:20000:200"}, {"log", true}}}}, "sector");
  RunSiteLoop(state, plan);
}
BENCHMARK(BM_SitePolar)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SiteGrid201(benchmark::State& state) {
  const vmk::SitePlan plan =
      OneStack({{"grid", {{"x", "-5000:5000:201"}, {"y", "-5000:5000:201"}}}}, "smooth");
  RunSiteLoop(state, plan);
}
BENCHMARK(BM_SiteGrid201)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same grid with the stack between the nodes, where no two nodes share a distance.
void BM_SiteGrid201OffNode(benchmark::State& state) {
  const vmk::SitePlan plan =
      OneStack({{"grid", {{"x", "-4987.3:5012.7:201"}, {"y", "-5031.1:4968.9:201"}}}}, "smooth");
  RunSiteLoop(state, plan);
}
BENCHMARK(BM_SiteGrid201OffNode)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
