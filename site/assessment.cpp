#include "site/assessment.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/json_document.h"
#include "common/numtext.h"
#include "site/site_tables.h"

namespace vmk {
namespace {

[[noreturn]] void Fail(const PollutantDefinition& p, const std::string& what) {
  throw SiteError(PollutantPlace(p.Name) + ": " + what);
}

// "r = 0.9123": the correlation with four decimals.
std::string RText(long double r) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4Lf", r);
  return buf;
}

// The distinct texts in the order they first come.
std::string Distinct(const std::vector<StationYear>& points, std::string StationYear::*field) {
  std::vector<std::string> seen;
  for (const StationYear& p : points) {
    const std::string& t = p.*field;
    if (!t.empty() && std::find(seen.begin(), seen.end(), t) == seen.end()) seen.push_back(t);
  }
  std::string out;
  for (const std::string& t : seen) out += (out.empty() ? "" : ", ") + t;
  return out;
}

}  // namespace

AssessmentTerms ResolveAssessment(const PollutantDefinition& pollutant, const StandardsTable& table) {
  AssessmentTerms terms;
  terms.Pollutant = pollutant;
  if (pollutant.GivenStandard) {
    terms.Std = *pollutant.GivenStandard;
  } else {
    const Standard* s = table.Find(pollutant.StandardName);
    if (s == nullptr) {
      Fail(pollutant, "no standard named " + QuoteForMessage(pollutant.StandardName) +
                          " in the standards table (" + table.Names() + ")");
    }
    terms.Std = *s;
  }
  terms.CUnit = ModelUnit(pollutant.Unit);
  const std::optional<int> cShift = UnitShift(terms.CUnit, terms.Std.Unit);
  if (!cShift) {
    Fail(pollutant, "the standard's unit " + UnitText(terms.Std.Unit) + " cannot be converted from C's unit " +
                        UnitText(terms.CUnit) + " (from an emission in " + UnitText(pollutant.Unit) +
                        "): " + WhyNotConvertible(terms.CUnit, terms.Std.Unit));
  }
  terms.CShift = *cShift;
  const std::optional<int> bShift = UnitShift(pollutant.BackgroundUnit, terms.Std.Unit);
  if (!bShift) {
    Fail(pollutant, "the background's unit " + UnitText(pollutant.BackgroundUnit) +
                        " cannot be converted to the standard's unit " + UnitText(terms.Std.Unit) + ": " +
                        WhyNotConvertible(pollutant.BackgroundUnit, terms.Std.Unit));
  }
  terms.Background = pollutant.Background.Shifted(*bShift).Trimmed();
  const bool annual = terms.Std.Compared == Statistic::AnnualMean;
  const bool converted = pollutant.Convert.Kind != ConversionKind::None;
  if (annual && converted) {
    Fail(pollutant, "the standard compares the annual mean (年平均値): the conversion must be \"none\"");
  }
  if (!annual && !converted) {
    Fail(pollutant, "the standard compares " + std::string(StatisticName(terms.Std.Compared)) +
                        ": give a \"conversion\" from the annual mean (\"linear\" or \"fit\")");
  }
  return terms;
}

SiteDefinition PollutantSite(const SiteDefinition& site, const PollutantDefinition& pollutant) {
  SiteDefinition s = site;
  s.Pollutants.clear();
  s.Stacks.clear();
  s.Levels = pollutant.Levels;
  for (std::size_t i = 0; i < site.Stacks.size(); ++i) {
    const PollutantStack& part = pollutant.Stacks.at(i);
    if (!part.Emits) continue;
    StackDefinition stack = site.Stacks[i];
    const CaseStep& c = part.Controls;
    stack.Controls.Texts.insert(stack.Controls.Texts.end(), c.Texts.begin(), c.Texts.end());
    stack.Controls.Checks.insert(stack.Controls.Checks.end(), c.Checks.begin(), c.Checks.end());
    s.Stacks.push_back(std::move(stack));
  }
  return s;
}

std::vector<AssessmentTerms> ResolveAssessments(const SiteDefinition& site, const StandardsTable& table) {
  std::vector<AssessmentTerms> terms;
  for (const PollutantDefinition& p : site.Pollutants) terms.push_back(ResolveAssessment(p, table));
  return terms;
}

std::vector<PollutantRun> PlanPollutants(const SiteDefinition& site, std::vector<AssessmentTerms> terms) {
  std::vector<PollutantRun> runs;
  for (AssessmentTerms& terms : terms) runs.push_back({std::move(terms), {}, {}});
  for (PollutantRun& run : runs) {
    try {
      run.Plan = PlanSite(PollutantSite(site, run.Terms.Pollutant));
    } catch (const SiteError& e) {
      // The stack's field or point that fails keeps its place, now under the pollutant's name.
      SiteProblem problem = e.Problem();
      problem.Pollutant = run.Terms.Pollutant.Name;
      throw SiteError(PollutantPlace(run.Terms.Pollutant.Name) + ": " + e.what(), std::move(problem));
    }
  }
  return runs;
}

AssessmentRow AssessRow(const AssessmentTerms& terms, float c) {
  AssessmentRow row;
  row.C = ValueOf(c);
  if (row.C.Missing()) return row;
  row.HasValue = true;
  row.Contribution = Decimal::OfFloat(c).Shifted(terms.CShift).Trimmed();
  row.Background = terms.Background;
  row.Future = (row.Background + row.Contribution).Trimmed();
  if (!row.Future.IsZero()) {
    const Decimal percent = row.Contribution * Decimal::OfInteger(100);
    row.Share = Decimal::QuotientSignificant(percent, row.Future, kShareDigits, DecimalRounding::TowardZero).Trimmed();
    row.ShareShown = Decimal::Quotient(percent, row.Future, kShareShownDecimals, DecimalRounding::HalfUp).Text();
  }
  const Conversion& conv = terms.Pollutant.Convert;
  row.Value = conv.Kind == ConversionKind::None ? row.Future : (conv.A * row.Future + conv.B).Trimmed();
  row.Meets = row.Value <= terms.Std.Value;
  const std::optional<int> decimals = terms.Std.ShownDecimals();
  row.ValueShown = decimals ? row.Value.Rounded(*decimals, DecimalRounding::HalfUp).Text() : row.Value.Text();
  return row;
}

std::vector<AssessmentRow> AssessmentRows(const PollutantRun& run) {
  std::vector<AssessmentRow> rows;
  if (const std::optional<SiteMaximum> max = MaximumOf(run.Plan, run.Result)) {
    AssessmentRow row = AssessRow(run.Terms, max->C.C);
    row.Place = kMaximumPlace;
    row.Maximum = true;
    row.XText = max->XText;
    row.YText = max->YText;
    rows.push_back(std::move(row));
  }
  for (std::size_t i = 0; i < run.Plan.Receptors.PointCount; ++i) {
    const PointValues p = PointValuesOf(run.Plan, run.Result, i);
    AssessmentRow row = AssessRow(run.Terms, p.C.C);
    row.Place = p.Name;
    row.XText = p.XText;
    row.YText = p.YText;
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string_view Verdict(bool meets) { return meets ? "適合" : "不適合"; }

std::string_view StatisticShortName(Statistic statistic) {
  switch (statistic) {
    case Statistic::AnnualMean: return "年平均値";
    case Statistic::Daily98: return "98%値";
    case Statistic::Daily2Excluded: return "2%除外値";
  }
  return "";
}

std::string ConversionText(const AssessmentTerms& terms) {
  const Conversion& c = terms.Pollutant.Convert;
  if (c.Kind == ConversionKind::None) return "なし";
  std::string text = "y = " + c.A.Text() + " x " + (c.B.Sign() < 0 ? "- " + (Decimal() - c.B).Text() : "+ " + c.B.Text());
  if (c.Fit) {
    const StationFit& f = *c.Fit;
    text += " (least squares over " + c.FitFile + ": n = " + std::to_string(f.Points.size()) + ", r = " + RText(f.R);
    const std::string stations = Distinct(f.Points, &StationYear::Station);
    const std::string years = Distinct(f.Points, &StationYear::Year);
    if (!stations.empty()) text += "; stations " + stations;
    if (!years.empty()) text += "; years " + years;
    text += ")";
  }
  return text;
}

std::string AssessmentCsv(const std::vector<PollutantRun>& runs) {
  std::string out = "\xEF\xBB\xBF";
  out += "物質,地点,x (m),y (m),C,C の単位,単位,寄与濃度,バックグラウンド濃度,将来濃度,寄与率 (%),"
         "評価の統計値,換算値,環境基準,適否,換算式\n";
  for (const PollutantRun& run : runs) {
    const AssessmentTerms& terms = run.Terms;
    const std::string unit = UnitText(terms.Std.Unit);
    const std::string conversion = CsvField(ConversionText(terms));
    for (const AssessmentRow& r : AssessmentRows(run)) {
      out += CsvField(terms.Pollutant.Name) + "," + CsvField(r.Place) + "," + r.XText + "," + r.YText + "," +
             r.C.Text + "," + UnitText(terms.CUnit) + "," + unit + ",";
      if (r.HasValue) {
        out += r.Contribution.Text() + "," + r.Background.Text() + "," + r.Future.Text() + "," +
               (r.Share ? r.Share->Text() : std::string()) + ",";
      } else {
        out += ",,,,";
      }
      out += std::string(StatisticName(terms.Std.Compared)) + "," + (r.HasValue ? r.Value.Text() : std::string()) +
             "," + terms.Std.Value.Text() + "," + (r.HasValue ? std::string(Verdict(r.Meets)) : std::string("値なし")) +
             "," + conversion + "\n";
    }
  }
  return out;
}

}  // namespace vmk
