#include "site/site_plan.h"

#include <bit>
#include <cmath>
#include <map>
#include <numbers>

#include "input/frequency_grid.h"
#include "common/cp932.h"
#include "common/json_document.h"
#include "common/numtext.h"
#include "input/read_parameters.h"
#include "casefile/input_help.h"
#include "model/model.h"
#include "model/profile.h"

namespace vmk {
namespace {

// Any distance the window accepts: the receptors' own distances are checked one by one.
constexpr float kValidationDistance = 100.0f;

std::string Status(const FormRecord& form) { return Cp932ToUtf8(form.Text("messageLabel")); }

// The rejected input of a stack's form, with its text and the window's input help.
SiteProblem InputProblem(SiteProblem::Kind kind, const std::string& stack, const FormRecord& form,
                         const RejectedInput& rejected) {
  SiteProblem p;
  p.What = kind;
  p.Stack = stack;
  p.Rejected = rejected;
  p.Text = rejected.Control == "MetStringGrid"
               ? Cp932ToUtf8(form.Grid.at(static_cast<std::size_t>(rejected.Row)).at(static_cast<std::size_t>(rejected.Col)))
               : Cp932ToUtf8(form.Text(rejected.Control));
  p.RangeTip = AcceptedRangeTip(rejected, form);
  return p;
}

// The form of one stack: the start-up form, the common texts, the stack's own texts.
FormRecord StackForm(const SiteDefinition& site, const StackDefinition& stack) {
  FormRecord form = MakeStartupForm();
  ApplyCaseStep(site.Common, form);
  ApplyCaseStep(stack.Controls, form);
  form.Text("XrpEdit") = ShortestFloatText(kValidationDistance);
  return form;
}

StackPlan PlanStack(const SiteDefinition& site, const StackDefinition& stack) {
  StackPlan plan;
  plan.Name = stack.Name;
  plan.X = stack.X;
  plan.Y = stack.Y;
  const std::string who = "stack " + QuoteForMessage(stack.Name);
  const FormRecord form = StackForm(site, stack);
  for (int d = 0; d < kDirections; ++d) {
    FormRecord f = form;
    ApplyMetDirection(site.Met, d, f);
    ModelParameters p;
    RejectedInput rejected;
    if (!ReadModelParameters(f, p, &rejected)) {
      // A problem of one direction's grid only shows after the first direction passed.
      const std::string where =
          d == 0 ? who : who + ", wind from " + std::string(kDirectionNames[static_cast<std::size_t>(d)]);
      SiteProblem problem = InputProblem(SiteProblem::Kind::StackInput, stack.Name, f, rejected);
      if (d != 0) problem.Direction = d;
      throw SiteError(where + ": " + Status(f), std::move(problem));
    }
    const ModelResult check = RunModel(p);
    if (check.ModelError) {
      SiteProblem problem;
      problem.What = SiteProblem::Kind::ModelFailure;
      problem.Stack = stack.Name;
      problem.Direction = d;
      problem.Detail = Cp932ToUtf8(check.ModelErrorText);
      throw SiteError(who + ", wind from " + std::string(kDirectionNames[static_cast<std::size_t>(d)]) +
                          ": the model cannot compute it: " + problem.Detail,
                      std::move(problem));
    }
    plan.ByWind[static_cast<std::size_t>(d)] = p;
    plan.Hours[static_cast<std::size_t>(d)] = DirectionHoursOf(p);
  }
  plan.Cases = std::make_shared<const DirectionCases>(plan.ByWind[0], plan.Hours);
  return plan;
}

// A point's own height goes through the window's check of HrpEdit for every stack.
void CheckPointHeights(const SiteDefinition& site) {
  std::map<std::uint32_t, const PointDefinition*> heights;  // by the float's bits: one check each
  for (const PointDefinition& point : site.Points) {
    if (point.Z) heights.emplace(std::bit_cast<std::uint32_t>(static_cast<float>(*point.Z)), &point);
  }
  for (const auto& [bits, point] : heights) {
    for (const StackDefinition& stack : site.Stacks) {
      FormRecord f = StackForm(site, stack);
      ApplyMetDirection(site.Met, 0, f);
      f.Text("HrpEdit") = ShortestFloatText(static_cast<float>(*point->Z));
      ModelParameters p;
      RejectedInput rejected;
      if (!ReadModelParameters(f, p, &rejected)) {
        SiteProblem problem = InputProblem(SiteProblem::Kind::PointHeight, stack.Name, f, rejected);
        problem.Point = point->Name;
        throw SiteError("point " + QuoteForMessage(point->Name) + ": " + Status(f), std::move(problem));
      }
    }
  }
}

ReceptorSet LayOutReceptors(const SiteDefinition& site, float defaultZ) {
  ReceptorSet set;
  if (site.Grid) {
    set.GridX = AxisValues(site.Grid->X);
    set.GridY = AxisValues(site.Grid->Y);
    set.GridCount = set.GridX.size() * set.GridY.size();
  }
  if (site.Polar) {
    const AxisSteps& a = site.Polar->Distances;
    set.PolarDistances = a.N == 1 ? std::vector<float>{static_cast<float>(a.From)}
                                  : ProfileDistances(static_cast<float>(a.From),
                                                     static_cast<float>(a.To), a.N, site.Polar->Log);
    set.PolarCount = set.PolarDistances.size() * kDirections;
  }
  set.PointCount = site.Points.size();
  set.All.reserve(set.GridCount + set.PolarCount + set.PointCount);
  for (double y : set.GridY) {
    for (double x : set.GridX) set.All.push_back({x, y, defaultZ});
  }
  if (site.Polar) {
    for (int j = 0; j < kDirections; ++j) {
      const auto [east, north] = DirectionVector(j);
      for (float r : set.PolarDistances) {
        set.All.push_back({site.Polar->CenterX + r * east, site.Polar->CenterY + r * north, defaultZ});
      }
    }
  }
  for (const PointDefinition& p : site.Points) {
    set.All.push_back({p.X, p.Y, p.Z ? static_cast<float>(*p.Z) : defaultZ});
  }
  return set;
}

}  // namespace

std::array<double, 2> DirectionVector(int j) {
  j = ((j % kDirections) + kDirections) % kDirections;
  switch (j) {
    case 0: return {0.0, 1.0};
    case 4: return {1.0, 0.0};
    case 8: return {0.0, -1.0};
    case 12: return {-1.0, 0.0};
    default: break;
  }
  const double a = j * (2 * std::numbers::pi / kDirections);
  if (j % 4 == 2) {  // the diagonals: both parts the same magnitude
    const double h = std::sqrt(0.5);
    return {std::sin(a) < 0 ? -h : h, std::cos(a) < 0 ? -h : h};
  }
  return {std::sin(a), std::cos(a)};
}

SitePlan PlanSite(SiteDefinition site) {
  SitePlan plan;
  plan.Stacks.reserve(site.Stacks.size());
  for (const StackDefinition& stack : site.Stacks) plan.Stacks.push_back(PlanStack(site, stack));
  CheckPointHeights(site);
  // HrpEdit is common to all stacks (a stack may not set it).
  plan.DefaultZ = plan.Stacks.front().ByWind[0].z;
  plan.Receptors = LayOutReceptors(site, plan.DefaultZ);
  plan.Site = std::move(site);
  return plan;
}

}  // namespace vmk
