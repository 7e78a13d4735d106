#include "site/site_summary.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "common/json_writer.h"
#include "common/numtext.h"
#include "site/site_presentation.h"

namespace vmk {
namespace {

// "x = 150 m, y = -50 m"
std::string Place(const std::string& x, const std::string& y) { return "x = " + x + " m, y = " + y + " m"; }

std::string ReceptorCounts(const SitePlan& plan) {
  const ReceptorSet& r = plan.Receptors;
  std::vector<std::string> parts;
  if (r.GridCount > 0) {
    parts.push_back("grid " + std::to_string(r.GridX.size()) + " x " + std::to_string(r.GridY.size()) +
                    " (" + std::to_string(r.GridCount) + ")");
  }
  if (r.PolarCount > 0) {
    parts.push_back("polar " + std::to_string(kDirections) + " x " + std::to_string(r.PolarDistances.size()) +
                    " (" + std::to_string(r.PolarCount) + ")");
  }
  if (r.PointCount > 0) parts.push_back(std::to_string(r.PointCount) + " points");
  std::string s;
  for (const std::string& p : parts) s += (s.empty() ? "" : ", ") + p;
  return s;
}

std::string_view ScopeName(MaximumScope scope) {
  switch (scope) {
    case MaximumScope::Grid: return "grid";
    case MaximumScope::Polar: return "polar receptors";
    case MaximumScope::None: break;
  }
  return "none";
}

std::string ValueOrNone(const SiteValue& v) { return v.Missing() ? std::string("(no value)") : v.Text; }

// One "key": value member of the object being written.
void StringMember(JsonWriter& w, std::string_view key, std::string_view utf8) {
  w.Key(key);
  w.String(utf8);
}
void DoubleMember(JsonWriter& w, std::string_view key, double v) {
  w.Key(key);
  w.Double(v);
}
void FloatMember(JsonWriter& w, std::string_view key, float v) {
  w.Key(key);
  w.Float(v);
}
void CountMember(JsonWriter& w, std::string_view key, long long n) {
  w.Key(key);
  w.Int(n);
}
// "name", "x" and "y" of a stack or point.
void NamedPlace(JsonWriter& w, std::string_view name, double x, double y) {
  StringMember(w, "name", name);
  DoubleMember(w, "x", x);
  DoubleMember(w, "y", y);
}
// The counts of the receptors of each kind.
void KindCounts(JsonWriter& w, std::size_t grid, std::size_t polar, std::size_t points) {
  CountMember(w, "grid", static_cast<long long>(grid));
  CountMember(w, "polar", static_cast<long long>(polar));
  CountMember(w, "points", static_cast<long long>(points));
}

// The stacks that emit a pollutant (the stacks of its run, in the site's order), each with
// its NO2 conversion when on.
std::string EmittingStacks(const PollutantRun& run) {
  std::string s;
  std::size_t k = 0;
  for (const PollutantStack& part : run.Terms.Pollutant.Stacks) {
    if (!part.Emits) continue;
    s += (s.empty() ? "" : ", ") + JsonQuote(run.Plan.Stacks.at(k++).Name) + (part.No2 ? " (NO2 conversion)" : "");
  }
  return s;
}

std::string StandardText(const Standard& s) {
  std::string t = (s.Name.empty() ? std::string("(given in full)") : s.Name);
  if (!s.Substance.empty()) t += " (" + s.Substance + ")";
  return t + ": " + std::string(StatisticName(s.Compared)) + " <= " + s.Value.Text() + " " + UnitText(s.Unit) +
         "; source: " + s.Source;
}

// One row: "最大着地濃度地点 (x = 600 m, y = -800 m): C = 0.65 ppb; ..."
std::string RowText(const AssessmentTerms& terms, const AssessmentRow& r) {
  const std::string unit = " " + UnitText(terms.Std.Unit);
  std::string t = "    " + (r.Maximum ? r.Place : JsonQuote(r.Place)) + " (" + Place(r.XText, r.YText) + "): ";
  if (!r.HasValue) return t + "no value\n";
  t += "C = " + r.C.Text + " " + UnitText(terms.CUnit) + "; contribution " + r.Contribution.Text() + " + background " +
       r.Background.Text() + " = future " + r.Future.Text() + unit + ", 寄与率 " +
       (r.Share ? r.ShareShown + " %" : std::string("(none: the future is 0)")) + ", " +
       std::string(StatisticName(terms.Std.Compared)) + " " + r.ValueShown + unit + ": " +
       std::string(Verdict(r.Meets)) + "\n";
  return t;
}

void DecimalMember(JsonWriter& w, std::string_view key, const Decimal& v) {
  w.Key(key);
  w.Number(v.Text());
}

void AssessmentJson(JsonWriter& w, const std::vector<PollutantRun>& pollutants) {
  w.Key("assessment");
  w.BeginArray();
  for (const PollutantRun& run : pollutants) {
    const AssessmentTerms& terms = run.Terms;
    const PollutantDefinition& p = terms.Pollutant;
    w.BeginObject();
    StringMember(w, "pollutant", p.Name);
    StringMember(w, "emissionUnit", UnitText(p.Unit));
    StringMember(w, "cUnit", UnitText(terms.CUnit));
    StringMember(w, "unit", UnitText(terms.Std.Unit));
    w.Key("stacks");
    w.BeginArray();
    std::size_t k = 0;
    for (const PollutantStack& part : p.Stacks) {
      if (!part.Emits) continue;
      w.BeginObject();
      StringMember(w, "name", run.Plan.Stacks.at(k++).Name);
      w.Key("no2");
      w.Bool(part.No2);
      w.EndObject();
    }
    w.EndArray();
    w.Key("standard");
    w.BeginObject();
    StringMember(w, "name", terms.Std.Name);
    StringMember(w, "substance", terms.Std.Substance);
    DecimalMember(w, "value", terms.Std.Value);
    StringMember(w, "statistic", StatisticName(terms.Std.Compared));
    w.Key("decimals");
    if (const std::optional<int> d = terms.Std.ShownDecimals()) {
      w.Int(*d);
    } else {
      w.Number("");
    }
    StringMember(w, "source", terms.Std.Source);
    w.EndObject();
    DecimalMember(w, "background", terms.Background);
    w.Key("conversion");
    w.BeginObject();
    const Conversion& c = p.Convert;
    StringMember(w, "kind", c.Kind == ConversionKind::None ? "none" : c.Kind == ConversionKind::Linear ? "linear" : "fit");
    if (c.Kind != ConversionKind::None) {
      DecimalMember(w, "a", c.A);
      DecimalMember(w, "b", c.B);
    }
    if (c.Fit) {
      StringMember(w, "file", c.FitFile);
      CountMember(w, "n", static_cast<long long>(c.Fit->Points.size()));
      DoubleMember(w, "r", static_cast<double>(c.Fit->R));
      w.Key("stationYears");
      w.BeginArray();
      for (const StationYear& y : c.Fit->Points) {
        w.BeginObject();
        StringMember(w, "station", y.Station);
        StringMember(w, "year", y.Year);
        DecimalMember(w, "annual", y.Annual);
        DecimalMember(w, "daily", y.Daily);
        w.EndObject();
      }
      w.EndArray();
    }
    w.EndObject();
    w.Key("rows");
    w.BeginArray();
    for (const AssessmentRow& r : AssessmentRows(run)) {
      w.BeginObject();
      StringMember(w, "place", r.Place);
      w.Key("maximum");
      w.Bool(r.Maximum);
      w.Key("x");
      w.Number(r.XText);
      w.Key("y");
      w.Number(r.YText);
      FloatMember(w, "C", r.C.C);
      if (r.HasValue) {
        DecimalMember(w, "contribution", r.Contribution);
        DecimalMember(w, "background", r.Background);
        DecimalMember(w, "future", r.Future);
        w.Key("share");
        w.Number(r.Share ? r.Share->Text() : std::string());
        DecimalMember(w, "value", r.Value);
        w.Key("meets");
        w.Bool(r.Meets);
        StringMember(w, "verdict", Verdict(r.Meets));
        StringMember(w, "shareShown", r.ShareShown);
        StringMember(w, "valueShown", r.ValueShown);
      }
      w.EndObject();
    }
    w.EndArray();
    w.EndObject();
  }
  w.EndArray();
}

}  // namespace

std::string AssessmentText(const std::vector<PollutantRun>& pollutants) {
  if (pollutants.empty()) return "";
  std::string o = "\nassessment (exact values; 寄与率 shown to two decimals and daily values to the standard's "
                  "decimals, rounded half up; the unrounded value is compared with the standard):\n";
  for (const PollutantRun& run : pollutants) {
    const AssessmentTerms& terms = run.Terms;
    const PollutantDefinition& p = terms.Pollutant;
    o += "  " + JsonQuote(p.Name) + ": emission in " + UnitText(p.Unit) + ", C in " + UnitText(terms.CUnit) +
         ", from " + EmittingStacks(run) + "\n";
    o += "    standard   : " + StandardText(terms.Std) + "\n";
    o += "    background : " + terms.Background.Text() + " " + UnitText(terms.Std.Unit) + "\n";
    o += "    conversion : " + ConversionText(terms) + "\n";
    for (const AssessmentRow& r : AssessmentRows(run)) o += RowText(terms, r);
  }
  return o;
}

std::string SummaryText(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes,
                        const std::vector<PollutantRun>& pollutants) {
  const SiteDefinition& site = plan.Site;
  const ReceptorSet& rs = plan.Receptors;
  std::string o;
  o += "stacks     : " + std::to_string(plan.Stacks.size()) + " (";
  for (std::size_t i = 0; i < plan.Stacks.size(); ++i) {
    o += (i ? ", " : "") + JsonQuote(plan.Stacks[i].Name);
  }
  o += ")\n";
  o += "met        : " + site.MetSource;
  if (!site.Met.Station.empty()) o += ", station " + site.Met.Station;
  o += ", " + std::to_string(site.Met.ValidHours) + " valid hours\n";
  o += "sectors    : " + std::string(site.Sectors == SectorMode::Smooth ? "smooth" : "sector") + "\n";
  o += "receptors  : " + ReceptorCounts(plan) + ", height z = " + ShortestFloatText(plan.DefaultZ) +
       " m unless a point gives its own\n";
  const std::size_t missing = ReceptorsWithoutValue(result);
  const DistanceRangeText range = ReceptorDistanceRange();
  o += "no value   : " + std::to_string(missing) + " of " + std::to_string(rs.All.size()) +
       " receptors (nearer to a stack than " + range.From + " m or farther than " + range.To + " m)";
  if (missing > 0) {
    o += ": " + std::to_string(result.MissingGrid) + " grid, " + std::to_string(result.MissingPolar) +
         " polar, " + std::to_string(result.MissingPoints) + " points";
  }
  o += "\n";

  const MaximumScope scope = MaximumScopeOf(rs);
  if (scope != MaximumScope::None) {
    o += "\nmaximum over the " + std::string(ScopeName(scope)) + ":\n";
    if (const std::optional<SiteMaximum> max = MaximumOf(plan, result)) {
      o += "  C = " + max->C.Text + " at " + Place(max->XText, max->YText) + "\n";
      for (const MaximumFromStack& from : max->FromStacks) {
        o += "  from " + JsonQuote(from.Name) + ": R = " + from.RText + " m toward " + std::string(from.Toward) +
             " (bearing " + from.BearingText + " deg), C = " + from.C.Text + "\n";
      }
    } else {
      o += "  none: no receptor has a value\n";
    }
  }

  if (rs.PointCount > 0) {
    o += "\npoints (C, then each stack):\n";
    for (std::size_t i = 0; i < rs.PointCount; ++i) {
      const PointValues p = PointValuesOf(plan, result, i);
      o += "  " + JsonQuote(p.Name) + " at " + Place(p.XText, p.YText) + ", z = " + p.ZText +
           " m: C = " + ValueOrNone(p.C);
      for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
        o += "; " + plan.Stacks[s].Name + " " + ValueOrNone(p.Stacks[s]);
      }
      o += "\n";
    }
  }

  o += "\nmaximum along each direction, each stack alone (z = " + ShortestFloatText(plan.DefaultZ) +
       " m, distance profile 10 m to 20 km, refined):\n";
  for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
    o += "  " + JsonQuote(plan.Stacks[s].Name) + ":\n";
    for (int j = 0; j < kDirections; ++j) {
      const ProfilePoint& m = result.AlongMax[s][static_cast<std::size_t>(j)];
      char line[160];
      std::snprintf(line, sizeof line, "    toward %-3s (wind from %-3s): C = %s at R = %s m\n",
                    std::string(kDirectionNames[static_cast<std::size_t>(j)]).c_str(),
                    std::string(kDirectionNames[static_cast<std::size_t>(WindFromOf(j))]).c_str(),
                    ShortestFloatText(m.C).c_str(), ShortestFloatText(m.R).c_str());
      o += line;
    }
  }

  o += AssessmentText(pollutants);

  if (!notes.Written.empty() || !notes.Notes.empty()) {
    o += "\n";
    if (!notes.Written.empty()) {
      o += "files      :";
      for (const std::string& f : notes.Written) o += " " + f;
      o += "\n";
    }
    for (const std::string& n : notes.Notes) o += "note       : " + n + "\n";
  }
  return o;
}

std::string SummaryJson(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes,
                        const std::vector<PollutantRun>& pollutants) {
  const SiteDefinition& site = plan.Site;
  const ReceptorSet& rs = plan.Receptors;
  JsonWriter w;
  w.BeginObject();
  w.Key("stacks");
  w.BeginArray();
  for (const StackPlan& s : plan.Stacks) {
    w.BeginObject();
    NamedPlace(w, s.Name, s.X, s.Y);
    w.EndObject();
  }
  w.EndArray();
  w.Key("met");
  w.BeginObject();
  StringMember(w, "source", site.MetSource);
  StringMember(w, "station", site.Met.Station);
  CountMember(w, "validHours", site.Met.ValidHours);
  w.EndObject();
  StringMember(w, "sectors", site.Sectors == SectorMode::Smooth ? "smooth" : "sector");
  FloatMember(w, "z", plan.DefaultZ);
  w.Key("receptors");
  w.BeginObject();
  KindCounts(w, rs.GridCount, rs.PolarCount, rs.PointCount);
  w.Key("withoutValue");
  w.BeginObject();
  KindCounts(w, result.MissingGrid, result.MissingPolar, result.MissingPoints);
  w.EndObject();
  w.EndObject();

  w.Key("maximum");
  w.BeginObject();
  StringMember(w, "over", ScopeName(MaximumScopeOf(rs)));
  if (const std::optional<SiteMaximum> max = MaximumOf(plan, result)) {
    FloatMember(w, "C", max->C.C);
    DoubleMember(w, "x", max->X);
    DoubleMember(w, "y", max->Y);
    w.Key("fromStacks");
    w.BeginArray();
    for (const MaximumFromStack& from : max->FromStacks) {
      w.BeginObject();
      StringMember(w, "name", from.Name);
      FloatMember(w, "R", from.R);
      DoubleMember(w, "bearing", from.Bearing);
      StringMember(w, "toward", from.Toward);
      FloatMember(w, "C", from.C.C);
      w.EndObject();
    }
    w.EndArray();
  } else {
    FloatMember(w, "C", std::numeric_limits<float>::quiet_NaN());
  }
  w.EndObject();

  w.Key("points");
  w.BeginArray();
  for (std::size_t i = 0; i < rs.PointCount; ++i) {
    const PointValues p = PointValuesOf(plan, result, i);
    w.BeginObject();
    NamedPlace(w, p.Name, p.X, p.Y);
    FloatMember(w, "z", p.Z);
    FloatMember(w, "C", p.C.C);
    w.Key("stacks");
    w.BeginObject();
    for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
      FloatMember(w, plan.Stacks[s].Name, p.Stacks[s].C);
    }
    w.EndObject();
    w.EndObject();
  }
  w.EndArray();

  w.Key("alongDirections");
  w.BeginArray();
  for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
    w.BeginObject();
    StringMember(w, "name", plan.Stacks[s].Name);
    w.Key("maxima");
    w.BeginArray();
    for (int j = 0; j < kDirections; ++j) {
      const ProfilePoint& m = result.AlongMax[s][static_cast<std::size_t>(j)];
      w.BeginObject();
      StringMember(w, "toward", kDirectionNames[static_cast<std::size_t>(j)]);
      StringMember(w, "windFrom", kDirectionNames[static_cast<std::size_t>(WindFromOf(j))]);
      FloatMember(w, "C", m.C);
      FloatMember(w, "R", m.R);
      w.EndObject();
    }
    w.EndArray();
    w.EndObject();
  }
  w.EndArray();

  if (!pollutants.empty()) AssessmentJson(w, pollutants);

  w.Key("files");
  w.BeginInlineArray();
  for (const std::string& f : notes.Written) w.String(f);
  w.EndArray();
  w.Key("notes");
  w.BeginArray();
  for (const std::string& n : notes.Notes) w.String(n);
  w.EndArray();
  w.EndObject();
  return w.Finish();
}

}  // namespace vmk
