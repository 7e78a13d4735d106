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

}  // namespace

std::string SummaryText(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes) {
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

std::string SummaryJson(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes) {
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
