// Helpers of the site tests: a met file whose directions all differ, a site of two stacks, and
// the window's own calculation for one stack, one wind direction and one receptor.
#pragma once

#include <bit>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

#include "app/command/calculation.h"
#include "input/frequency_grid.h"
#include "casefile/case_file.h"
#include "common/cp932.h"
#include "common/numtext.h"
#include "met/met_stats.h"
#include "site/site_file.h"
#include "site/site_plan.h"
#include "site/site_run.h"

namespace vmk::site_test {

using Json = nlohmann::json;

inline std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

// Hours in most cases, different in every direction, some cases empty.
inline MetStats VariedMet(unsigned seed = 1) {
  std::mt19937 gen(seed);
  const auto hours = [&](int most) {
    return std::uniform_int_distribution<int>(0, 3)(gen) == 0 ? 0 : std::uniform_int_distribution<int>(1, most)(gen);
  };
  MetStats m;
  m.Station = "テスト局";
  m.ValidHours = 8760;
  m.RepresentativeSpeeds = {0.4f, 0.7f, 1.5f, 2.5f, 3.5f, 5.0f, 7.0f, 9.0f};
  for (int s = 0; s < kStabilityClasses; ++s) {
    m.CalmAll[s] = hours(60);
    m.WeakAll[s] = hours(200);
    for (int d = 0; d < kDirections; ++d) {
      m.Directions[d].Weak[s] = hours(25);
      for (int k = 0; k < kWindyClasses; ++k) m.Directions[d].Windy[k][s] = hours(150 - 20 * k);
    }
  }
  return m;
}

// The same table in every direction.
inline MetStats UniformMet() {
  MetStats m = VariedMet(5);
  for (int d = 1; d < kDirections; ++d) m.Directions[d] = m.Directions[0];
  return m;
}

// Two stacks with different sources and rise formulas, one with the NO2 conversion, and the
// near-source weak-wind correction on: every part of the model has work.
inline Json TwoStackSite(const MetStats& met) {
  Json site = {
      {"format", "vmk-site/1"},
      {"met", Json::parse(MetStatsJson(met))},
      {"common",
       {{"HrpEdit", "1.5"},
        {"WDdistributeCheckBox", true},
        {"dHformulaCalmEdit", "1"},
        {"dHformulaWWEdit", "4"},
        {"dHformulaWindyEdit", "3"},
        {"SigZshiftModeEdit", "1"},
        {"SigZshiftEdit", "1"}}},
      {"sources",
       Json::array({{{"name", "煙突A"},
                     {"x", 0},
                     {"y", 0},
                     {"controls", {{"QgEdit", "30"}, {"QpEdit", "0.5"}, {"HoEdit", "40"}}}},
                    {{"name", "No.2"},
                     {"x", 300.5},
                     {"y", -200},
                     {"controls",
                      {{"QgEdit", "12"}, {"QpEdit", "0.08"}, {"HoEdit", "25"}, {"TempGEdit", "150"},
                       {"NOxTrnCheckBox", true}}}}})},
      {"receptors", Json::object()}};
  return site;
}

inline SitePlan PlanOf(const Json& site) { return PlanSite(ParseSiteFile(site.dump(), ".")); }

inline SiteResult RunOf(const SitePlan& plan, int threads = 1) {
  RunOptions o;
  o.Threads = threads;
  return RunSite(plan, o);
}

inline CaseStep StepOf(const Json& controls) {
  CaseFile f = ParseCaseFile(controls.dump());
  return f.Steps.empty() ? CaseStep{} : f.Steps.front();
}

// What the window shows for stack `stack` of `site` with the grid of wind direction
// `windFrom`, XrpEdit = r and HrpEdit = z, through the calculation command.
inline float WindowConc(const Json& site, int stack, int windFrom, float r, float z,
                        std::string* status = nullptr) {
  FormRecord form = MakeStartupForm();
  if (site.contains("common")) ApplyCaseStep(StepOf(site["common"]), form);
  const Json& s = site["sources"][static_cast<std::size_t>(stack)];
  if (s.contains("controls")) ApplyCaseStep(StepOf(s["controls"]), form);
  const MetStats met = ParseMetStats(site["met"].dump());
  ApplyMetDirection(met, windFrom, form);
  form.Text("XrpEdit") = ShortestFloatText(r);
  form.Text("HrpEdit") = ShortestFloatText(z);
  CalcState st;
  const CalcOutcome outcome = RunCalculation(form, st, {});
  if (status != nullptr) *status = Cp932ToUtf8(form.Text("messageLabel"));
  return outcome.NormalResult ? st.TotalConc : -1.0f;
}

// The two stacks over a small grid and one point "p" at z = 2 m.
inline Json SmallSite() {
  Json site = TwoStackSite(VariedMet());
  site["receptors"] = {{"grid", {{"x", "-500:500:5"}, {"y", "-500:500:5"}}},
                       {"points", Json::array({{{"name", "p"}, {"x", 100}, {"y", 250}, {"z", 2}}})}};
  return site;
}

}  // namespace vmk::site_test
