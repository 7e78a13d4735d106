#include "site/site_outputs.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "common/json_writer.h"
#include "common/numtext.h"
#include "plot/ticks.h"

namespace vmk {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string StackColumns(const SitePlan& plan) {
  std::string h = ",C";
  for (const StackPlan& s : plan.Stacks) h += "," + CsvField("C " + s.Name);
  return h;
}

std::string Values(const SiteResult& result, std::size_t q) {
  std::string line = "," + ValueText(result.Total[q]);
  for (const std::vector<float>& c : result.StackC) line += "," + ValueText(c[q]);
  return line;
}

std::string Fixed1(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

// "x = 150 m, y = -50 m"
std::string Place(double x, double y) {
  return "x = " + ShortestDoubleText(x) + " m, y = " + ShortestDoubleText(y) + " m";
}

std::string Quoted(const std::string& name) { return JsonQuote(name); }

std::string ReceptorCounts(const SitePlan& plan) {
  const ReceptorSet& r = plan.Receptors;
  std::vector<std::string> parts;
  if (r.GridCount > 0) {
    parts.push_back("grid " + std::to_string(r.GridX.size()) + " x " + std::to_string(r.GridY.size()) +
                    " (" + std::to_string(r.GridCount) + ")");
  }
  if (r.PolarCount > 0) {
    parts.push_back("polar 16 x " + std::to_string(r.PolarDistances.size()) + " (" +
                    std::to_string(r.PolarCount) + ")");
  }
  if (r.PointCount > 0) parts.push_back(std::to_string(r.PointCount) + " points");
  std::string s;
  for (const std::string& p : parts) s += (s.empty() ? "" : ", ") + p;
  return s;
}

std::string_view MaximumScope(const SitePlan& plan) {
  return plan.Receptors.GridCount > 0 ? "grid" : "polar receptors";
}

}  // namespace

std::string ValueText(float value) { return std::isnan(value) ? std::string() : ShortestFloatText(value); }

std::string_view DirectionName(double sectors) {
  return kDirectionNames[static_cast<std::size_t>(WeightsAt(SectorMode::Sector, sectors).J0)];
}

std::string PointsCsv(const SitePlan& plan, const SiteResult& result) {
  std::string out(kBom);
  out += "name,x (m),y (m),z (m)" + StackColumns(plan) + "\n";
  const ReceptorSet& r = plan.Receptors;
  for (std::size_t i = 0; i < r.PointCount; ++i) {
    const std::size_t q = r.PointBegin() + i;
    const PointDefinition& p = plan.Site.Points[i];
    out += CsvField(p.Name) + "," + ShortestDoubleText(p.X) + "," + ShortestDoubleText(p.Y) + "," +
           ShortestFloatText(r.All[q].Z) + Values(result, q) + "\n";
  }
  return out;
}

std::string GridCsv(const SitePlan& plan, const SiteResult& result) {
  std::string out(kBom);
  out += "x (m),y (m)" + StackColumns(plan) + "\n";
  const ReceptorSet& r = plan.Receptors;
  for (std::size_t q = 0; q < r.GridCount; ++q) {
    out += ShortestDoubleText(r.All[q].X) + "," + ShortestDoubleText(r.All[q].Y) + Values(result, q) + "\n";
  }
  return out;
}

std::string PolarCsv(const SitePlan& plan, const SiteResult& result) {
  std::string out(kBom);
  out += "direction,R (m)" + StackColumns(plan) + "\n";
  const ReceptorSet& r = plan.Receptors;
  const std::size_t n = r.PolarDistances.size();
  for (std::size_t i = 0; i < r.PolarCount; ++i) {
    const std::size_t q = r.PolarBegin() + i;
    out += std::string(kDirectionNames[i / n]) + "," + ShortestFloatText(r.PolarDistances[i % n]) +
           Values(result, q) + "\n";
  }
  return out;
}

std::vector<double> ChooseLevels(double low, double high) {
  std::vector<double> levels;
  if (!(high > 0) || !std::isfinite(high)) return levels;
  if (!(low < high)) low = 0;
  const int top = static_cast<int>(std::floor(std::log10(high)));
  std::vector<double> candidates;
  for (int k = top - 3; k <= top; ++k) {
    const std::array<double, 4> steps = OneTwoFiveSteps(k);
    for (std::size_t i = 0; i < 3; ++i) {  // 1, 2 and 5 times 10^k
      const double v = steps[i];
      if (v > low && v <= high && v >= high / 1000) candidates.push_back(v);
    }
  }
  if (candidates.size() > 10) candidates.erase(candidates.begin(), candidates.end() - 10);
  if (candidates.size() >= 3) return candidates;
  double lo = low;
  double hi = high;
  for (const AxisTick& t : LinearTicks(lo, hi, 6, false)) {
    if (t.Value > low && t.Value <= high) levels.push_back(t.Value);
  }
  return levels;
}

std::pair<float, float> GridRange(const SiteResult& result, const ReceptorSet& receptors) {
  float lo = std::numeric_limits<float>::quiet_NaN();
  float hi = lo;
  for (std::size_t q = 0; q < receptors.GridCount; ++q) {
    const float v = result.Total[q];
    if (std::isnan(v)) continue;
    if (std::isnan(lo) || v < lo) lo = v;
    if (std::isnan(hi) || v > hi) hi = v;
  }
  return {lo, hi};
}

std::vector<double> SiteLevels(const SitePlan& plan, const SiteResult& result) {
  if (plan.Receptors.GridCount == 0) return {};
  if (!plan.Site.Levels.empty()) return plan.Site.Levels;
  const auto [lo, hi] = GridRange(result, plan.Receptors);
  if (std::isnan(hi)) return {};
  return ChooseLevels(lo, hi);
}

std::string SummaryText(const SitePlan& plan, const SiteResult& result, const SiteRunNotes& notes) {
  const SiteDefinition& site = plan.Site;
  const ReceptorSet& rs = plan.Receptors;
  std::string o;
  o += "stacks     : " + std::to_string(plan.Stacks.size()) + " (";
  for (std::size_t i = 0; i < plan.Stacks.size(); ++i) {
    o += (i ? ", " : "") + Quoted(plan.Stacks[i].Name);
  }
  o += ")\n";
  o += "met        : " + site.MetSource;
  if (!site.Met.Station.empty()) o += ", station " + site.Met.Station;
  o += ", " + std::to_string(site.Met.ValidHours) + " valid hours\n";
  o += "sectors    : " + std::string(site.Sectors == SectorMode::Smooth ? "smooth" : "sector") + "\n";
  o += "receptors  : " + ReceptorCounts(plan) + ", height z = " + ShortestFloatText(plan.DefaultZ) +
       " m unless a point gives its own\n";
  const std::size_t missing = result.MissingGrid + result.MissingPolar + result.MissingPoints;
  o += "no value   : " + std::to_string(missing) + " of " + std::to_string(rs.All.size()) +
       " receptors (nearer to a stack than 0.09999 m or farther than 100001 m)";
  if (missing > 0) {
    o += ": " + std::to_string(result.MissingGrid) + " grid, " + std::to_string(result.MissingPolar) +
         " polar, " + std::to_string(result.MissingPoints) + " points";
  }
  o += "\n";

  if (rs.GridCount + rs.PolarCount > 0) {
    o += "\nmaximum over the " + std::string(MaximumScope(plan)) + ":\n";
    if (!result.MaxIndex) {
      o += "  none: no receptor has a value\n";
    } else {
      const Receptor& m = rs.All[*result.MaxIndex];
      o += "  C = " + ValueText(result.Total[*result.MaxIndex]) + " at " + Place(m.X, m.Y) + "\n";
      for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
        const StackPlan& st = plan.Stacks[s];
        const StackView v = ViewFrom(st.X, st.Y, m.X, m.Y);
        o += "  from " + Quoted(st.Name) + ": R = " + ShortestFloatText(v.R) + " m toward " +
             std::string(DirectionName(v.Sectors)) + " (bearing " + Fixed1(v.Sectors * 22.5) +
             " deg), C = " + ValueText(result.StackC[s][*result.MaxIndex]) + "\n";
      }
    }
  }

  if (rs.PointCount > 0) {
    o += "\npoints (C, then each stack):\n";
    for (std::size_t i = 0; i < rs.PointCount; ++i) {
      const std::size_t q = rs.PointBegin() + i;
      const PointDefinition& p = site.Points[i];
      o += "  " + Quoted(p.Name) + " at " + Place(p.X, p.Y) + ", z = " + ShortestFloatText(rs.All[q].Z) +
           " m: C = " + (std::isnan(result.Total[q]) ? std::string("(no value)") : ValueText(result.Total[q]));
      for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
        o += "; " + plan.Stacks[s].Name + " " +
             (std::isnan(result.StackC[s][q]) ? std::string("(no value)") : ValueText(result.StackC[s][q]));
      }
      o += "\n";
    }
  }

  o += "\nmaximum along each direction, each stack alone (z = " + ShortestFloatText(plan.DefaultZ) +
       " m, distance profile 10 m to 20 km, refined):\n";
  for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
    o += "  " + Quoted(plan.Stacks[s].Name) + ":\n";
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
    w.Key("name");
    w.String(s.Name);
    w.Key("x");
    w.Double(s.X);
    w.Key("y");
    w.Double(s.Y);
    w.EndObject();
  }
  w.EndArray();
  w.Key("met");
  w.BeginObject();
  w.Key("source");
  w.String(site.MetSource);
  w.Key("station");
  w.String(site.Met.Station);
  w.Key("validHours");
  w.Int(site.Met.ValidHours);
  w.EndObject();
  w.Key("sectors");
  w.String(site.Sectors == SectorMode::Smooth ? "smooth" : "sector");
  w.Key("z");
  w.Float(plan.DefaultZ);
  w.Key("receptors");
  w.BeginObject();
  w.Key("grid");
  w.Int(static_cast<long long>(rs.GridCount));
  w.Key("polar");
  w.Int(static_cast<long long>(rs.PolarCount));
  w.Key("points");
  w.Int(static_cast<long long>(rs.PointCount));
  w.Key("withoutValue");
  w.BeginObject();
  w.Key("grid");
  w.Int(static_cast<long long>(result.MissingGrid));
  w.Key("polar");
  w.Int(static_cast<long long>(result.MissingPolar));
  w.Key("points");
  w.Int(static_cast<long long>(result.MissingPoints));
  w.EndObject();
  w.EndObject();

  w.Key("maximum");
  if (!result.MaxIndex) {
    w.BeginObject();
    w.Key("over");
    w.String(rs.GridCount + rs.PolarCount > 0 ? std::string(MaximumScope(plan)) : "none");
    w.Key("C");
    w.Float(std::numeric_limits<float>::quiet_NaN());
    w.EndObject();
  } else {
    const std::size_t q = *result.MaxIndex;
    const Receptor& m = rs.All[q];
    w.BeginObject();
    w.Key("over");
    w.String(MaximumScope(plan));
    w.Key("C");
    w.Float(result.Total[q]);
    w.Key("x");
    w.Double(m.X);
    w.Key("y");
    w.Double(m.Y);
    w.Key("fromStacks");
    w.BeginArray();
    for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
      const StackPlan& st = plan.Stacks[s];
      const StackView v = ViewFrom(st.X, st.Y, m.X, m.Y);
      w.BeginObject();
      w.Key("name");
      w.String(st.Name);
      w.Key("R");
      w.Float(v.R);
      w.Key("bearing");
      w.Double(std::round(v.Sectors * 22.5 * 10) / 10);
      w.Key("toward");
      w.String(DirectionName(v.Sectors));
      w.Key("C");
      w.Float(result.StackC[s][q]);
      w.EndObject();
    }
    w.EndArray();
    w.EndObject();
  }

  w.Key("points");
  w.BeginArray();
  for (std::size_t i = 0; i < rs.PointCount; ++i) {
    const std::size_t q = rs.PointBegin() + i;
    const PointDefinition& p = site.Points[i];
    w.BeginObject();
    w.Key("name");
    w.String(p.Name);
    w.Key("x");
    w.Double(p.X);
    w.Key("y");
    w.Double(p.Y);
    w.Key("z");
    w.Float(rs.All[q].Z);
    w.Key("C");
    w.Float(result.Total[q]);
    w.Key("stacks");
    w.BeginObject();
    for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
      w.Key(plan.Stacks[s].Name);
      w.Float(result.StackC[s][q]);
    }
    w.EndObject();
    w.EndObject();
  }
  w.EndArray();

  w.Key("alongDirections");
  w.BeginArray();
  for (std::size_t s = 0; s < plan.Stacks.size(); ++s) {
    w.BeginObject();
    w.Key("name");
    w.String(plan.Stacks[s].Name);
    w.Key("maxima");
    w.BeginArray();
    for (int j = 0; j < kDirections; ++j) {
      const ProfilePoint& m = result.AlongMax[s][static_cast<std::size_t>(j)];
      w.BeginObject();
      w.Key("toward");
      w.String(kDirectionNames[static_cast<std::size_t>(j)]);
      w.Key("windFrom");
      w.String(kDirectionNames[static_cast<std::size_t>(WindFromOf(j))]);
      w.Key("C");
      w.Float(m.C);
      w.Key("R");
      w.Float(m.R);
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
