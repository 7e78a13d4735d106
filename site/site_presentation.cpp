#include "site/site_presentation.h"

#include <cmath>
#include <cstdio>

#include "common/numtext.h"

namespace vmk {
namespace {

// "143.1": the bearing in degrees with one decimal.
std::string OneDecimal(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

std::vector<SiteValue> StackValues(const SiteResult& result, std::size_t q) {
  std::vector<SiteValue> values;
  values.reserve(result.StackC.size());
  for (const std::vector<float>& c : result.StackC) values.push_back(ValueOf(c[q]));
  return values;
}

}  // namespace

SiteValue ValueOf(float c) { return {c, std::isnan(c) ? std::string() : ShortestFloatText(c)}; }

std::string_view DirectionName(double sectors) {
  return kDirectionNames[static_cast<std::size_t>(WeightsAt(SectorMode::Sector, sectors).J0)];
}

MaximumScope MaximumScopeOf(const ReceptorSet& receptors) {
  if (receptors.GridCount > 0) return MaximumScope::Grid;
  return receptors.PolarCount > 0 ? MaximumScope::Polar : MaximumScope::None;
}

std::optional<SiteMaximum> MaximumOf(const SitePlan& plan, const SiteResult& result) {
  if (!result.MaxIndex) return std::nullopt;
  const std::size_t q = *result.MaxIndex;
  const Receptor& m = plan.Receptors.All[q];
  SiteMaximum max;
  max.C = ValueOf(result.Total[q]);
  max.X = m.X;
  max.Y = m.Y;
  max.XText = ShortestDoubleText(m.X);
  max.YText = ShortestDoubleText(m.Y);
  for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
    const StackPlan& st = plan.Stacks[s];
    const StackView v = ViewFrom(st.X, st.Y, m.X, m.Y);
    MaximumFromStack from;
    from.Name = st.Name;
    from.R = v.R;
    from.RText = ShortestFloatText(v.R);
    from.Toward = DirectionName(v.Sectors);
    from.Bearing = std::round(v.Sectors * kSectorDegrees * 10) / 10;
    from.BearingText = OneDecimal(v.Sectors * kSectorDegrees);
    from.C = ValueOf(result.StackC[s][q]);
    max.FromStacks.push_back(std::move(from));
  }
  return max;
}

PointValues PointValuesOf(const SitePlan& plan, const SiteResult& result, std::size_t i) {
  const ReceptorSet& rs = plan.Receptors;
  const std::size_t q = rs.PointBegin() + i;
  const PointDefinition& p = plan.Site.Points.at(i);
  PointValues v;
  v.Name = p.Name;
  v.X = p.X;
  v.Y = p.Y;
  v.Z = rs.All[q].Z;
  v.XText = ShortestDoubleText(p.X);
  v.YText = ShortestDoubleText(p.Y);
  v.ZText = ShortestFloatText(v.Z);
  v.C = ValueOf(result.Total[q]);
  v.Stacks = StackValues(result, q);
  return v;
}

PlaceValues ValuesAtPlace(const SitePlan& plan, double x, double y) {
  PlaceValues v;
  v.X = std::round(x);
  v.Y = std::round(y);
  v.XText = ShortestDoubleText(v.X);
  v.YText = ShortestDoubleText(v.Y);
  std::vector<float> values;
  for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
    values.push_back(StackValueAt(plan, s, v.X, v.Y, plan.DefaultZ));
    v.Stacks.push_back(ValueOf(values.back()));
  }
  v.C = ValueOf(TotalOf(values));
  return v;
}

std::size_t ReceptorsWithoutValue(const SiteResult& result) {
  return result.MissingGrid + result.MissingPolar + result.MissingPoints;
}

}  // namespace vmk
