#include "site/site_map_input.h"

#include <cmath>

#include "common/numtext.h"
#include "plot/number_text.h"
#include "site/site_presentation.h"

namespace vmk {

SiteMapInput MapInputOf(const SitePlan& plan, const SiteResult& result, const std::vector<double>& levels,
                        std::vector<MapBand> bands) {
  SiteMapInput in;
  const ReceptorSet& rs = plan.Receptors;
  if (!rs.GridX.empty()) {
    in.XMin = rs.GridX.front();
    in.XMax = rs.GridX.back();
    in.YMin = rs.GridY.front();
    in.YMax = rs.GridY.back();
  } else {
    // Without a grid, the ground of all receptors and stacks.
    bool first = true;
    const auto take = [&](double x, double y) {
      if (first) {
        in.XMin = in.XMax = x;
        in.YMin = in.YMax = y;
        first = false;
      }
      in.XMin = std::min(in.XMin, x);
      in.XMax = std::max(in.XMax, x);
      in.YMin = std::min(in.YMin, y);
      in.YMax = std::max(in.YMax, y);
    };
    for (const Receptor& r : rs.All) take(r.X, r.Y);
    for (const StackPlan& s : plan.Stacks) take(s.X, s.Y);
  }
  in.Levels = levels;
  in.Bands = std::move(bands);
  for (const StackPlan& s : plan.Stacks) in.Stacks.push_back({s.Name, s.X, s.Y});
  for (const PointDefinition& p : plan.Site.Points) in.Points.push_back({p.Name, p.X, p.Y});
  for (std::size_t i = rs.PolarBegin(); i < rs.PointBegin(); ++i) in.PolarReceptors.emplace_back(rs.All[i].X, rs.All[i].Y);
  in.ShowPolar = rs.GridCount == 0;
  in.Title = "長期平均濃度 C (ppb, ng/m3)  " + std::to_string(plan.Stacks.size()) + " 煙突の合計";
  std::string sub = plan.Site.Sectors == SectorMode::Smooth ? "方位間を角度で補間"
                                                            : std::to_string(kDirections) + " 方位の扇形";
  sub += "  気象 " + (plan.Site.Met.Station.empty() ? plan.Site.MetSource : plan.Site.Met.Station) + " " +
         std::to_string(plan.Site.Met.ValidHours) + " 時間";
  if (const std::optional<SiteMaximum> max = MaximumOf(plan, result)) {
    in.Maximum = MapMark{"最大 " + ShortNumberText(max->C.C), max->X, max->Y};
    sub = "最大 C = " + max->C.Text + " (x = " + max->XText + " m, y = " + max->YText + " m)   " + sub;
  }
  in.Subtitle = sub;
  return in;
}

std::string AssessmentLabel(const AssessmentRow& row) {
  const std::string name = row.Maximum ? std::string("最大") : row.Place;
  if (!row.HasValue) return name + " 値なし";
  std::string label = name + " " + row.ValueShown + " " + std::string(Verdict(row.Meets));
  if (row.Share) label += " (" + row.ShareShown + "%)";
  return label;
}

SiteMapInput AssessmentMapInput(const PollutantRun& run, const std::vector<double>& levels,
                                std::vector<MapBand> bands) {
  SiteMapInput in = MapInputOf(run.Plan, run.Result, levels, std::move(bands));
  const AssessmentTerms& terms = run.Terms;
  const std::string unit = UnitText(terms.Std.Unit);
  in.Title = terms.Pollutant.Name + " 寄与濃度 C (" + UnitText(terms.CUnit) + ")  " +
             std::to_string(run.Plan.Stacks.size()) + " 煙突の合計";
  in.Subtitle = "地点: " + std::string(StatisticName(terms.Std.Compared)) + " (" + unit + ") と環境基準 " +
                terms.Std.Value.Text() + " " + unit + " 以下への適否 (寄与率)   バックグラウンド " +
                terms.Background.Text() + " " + unit;
  in.LegendTitle = "C (" + UnitText(terms.CUnit) + ")";
  std::size_t point = 0;  // the rows after the maximum are the points, in their order
  for (const AssessmentRow& row : AssessmentRows(run)) {
    if (row.Maximum) {
      if (in.Maximum) in.Maximum->Name = AssessmentLabel(row);
    } else {
      in.Points.at(point++).Name = AssessmentLabel(row);
    }
  }
  return in;
}

}  // namespace vmk
