// The assessment of a site's pollutants: for each, at the maximum of the grid and at each named
// point, the contribution (the pollutant's own run of the site, in the standard's unit), the
// background, the future concentration (background + contribution), the contribution's share of
// it (寄与率), the value of the standard's statistic converted from the future annual mean, the
// standard, and whether it is met (適合 when the value is at most the standard).
//
// The numbers are exact decimals: the contribution is the shortest text of the model's float
// with its decimal point moved for the unit, the background and the standard their decimal
// texts, the sums and products exact. 寄与率 is a quotient: its exact value decides the rounding
// of what is shown, and files carry it to kShareDigits significant digits, the digits beyond
// dropped. What is shown is rounded half up: 寄与率 to two decimals, a converted daily value to
// the standard's decimals; the comparison with the standard takes the exact value.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "site/site_presentation.h"
#include "site/site_run.h"

namespace vmk {

inline constexpr int kShareDigits = 15;
inline constexpr int kShareShownDecimals = 2;

// A pollutant resolved against the standards table, its units checked.
struct AssessmentTerms {
  PollutantDefinition Pollutant;
  Standard Std;               // from the table, or given in full
  ConcentrationUnit CUnit;    // the unit of the model's C for the pollutant's emission
  int CShift = 0;             // C in the standard's unit: times 10^CShift
  Decimal Background;         // in the standard's unit
};

// Raises SiteError, naming the pollutant, for a standard name not in `table`, a background or
// standard unit that C's unit does not convert to, or a conversion that does not fit the
// standard's statistic (a daily statistic needs one, an annual mean takes none).
AssessmentTerms ResolveAssessment(const PollutantDefinition& pollutant, const StandardsTable& table);

// The site of one pollutant: the stacks that emit it, each with its own controls and the
// pollutant's QpEdit and NOxTrnCheckBox over them; the pollutant's levels.
SiteDefinition PollutantSite(const SiteDefinition& site, const PollutantDefinition& pollutant);

// A pollutant's run: its plan (PlanSite of PollutantSite) and result.
struct PollutantRun {
  AssessmentTerms Terms;
  SitePlan Plan;
  SiteResult Result;
};

// Every pollutant of `site` resolved, in order. Raises SiteError.
std::vector<AssessmentTerms> ResolveAssessments(const SiteDefinition& site, const StandardsTable& table);

// Plans each pollutant in the stacks of `site` (the checks of PlanSite, each message prefixed
// with the pollutant). Raises SiteError.
std::vector<PollutantRun> PlanPollutants(const SiteDefinition& site, std::vector<AssessmentTerms> terms);

// One row of a pollutant's table.
struct AssessmentRow {
  std::string Place;  // kMaximumPlace or the point's name (UTF-8)
  bool Maximum = false;
  std::string XText;
  std::string YText;
  SiteValue C;  // the model's total, in the pollutant's C unit
  bool HasValue = false;  // false: the receptor has no value, nor has any column below
  Decimal Contribution;   // in the standard's unit
  Decimal Background;
  Decimal Future;
  std::optional<Decimal> Share;  // 寄与率 (%), kShareDigits significant digits; none when Future is 0
  Decimal Value;                 // the standard's statistic: Future, or A Future + B
  bool Meets = false;            // Value <= the standard
  std::string ShareShown;        // two decimals, half up; empty without a share
  std::string ValueShown;        // to the standard's shown decimals, half up (an annual mean without them exact)
};

inline constexpr char kMaximumPlace[] = "最大着地濃度地点";

// The maximum (when the site has one) and every named point, in the site file's order.
std::vector<AssessmentRow> AssessmentRows(const PollutantRun& run);

// The row of a total C at a place.
AssessmentRow AssessRow(const AssessmentTerms& terms, float c);

// "適合" or "不適合".
std::string_view Verdict(bool meets);

// The conversion as one line: "なし", "y = 1.5 x + 0.002" or, for a fit, with its file, n and r.
std::string ConversionText(const AssessmentTerms& terms);
// The short name of the statistic for labels: 年平均値, 98%値, 2%除外値.
std::string_view StatisticShortName(Statistic statistic);

// assessment.csv: UTF-8 with a byte order mark, one header line, the rows of every pollutant.
std::string AssessmentCsv(const std::vector<PollutantRun>& runs);

}  // namespace vmk
