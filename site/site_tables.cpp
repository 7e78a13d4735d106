#include "site/site_tables.h"

#include "common/numtext.h"
#include "site/site_presentation.h"

namespace vmk {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string StackColumns(const SitePlan& plan) {
  std::string h = ",C";
  for (const StackPlan& s : plan.Stacks) h += "," + CsvField("C " + s.Name);
  return h;
}

// ",C,C <stack>,..." of receptor q.
std::string ValueFields(const SiteResult& result, std::size_t q) {
  std::string line = "," + ValueOf(result.Total[q]).Text;
  for (const std::vector<float>& c : result.StackC) line += "," + ValueOf(c[q]).Text;
  return line;
}

}  // namespace

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string PointsCsv(const SitePlan& plan, const SiteResult& result) {
  std::string out(kBom);
  out += "name,x (m),y (m),z (m)" + StackColumns(plan) + "\n";
  for (std::size_t i = 0; i < plan.Receptors.PointCount; ++i) {
    const PointValues p = PointValuesOf(plan, result, i);
    out += CsvField(p.Name) + "," + p.XText + "," + p.YText + "," + p.ZText + "," + p.C.Text;
    for (const SiteValue& c : p.Stacks) out += "," + c.Text;
    out += "\n";
  }
  return out;
}

std::string GridCsv(const SitePlan& plan, const SiteResult& result) {
  std::string out(kBom);
  out += "x (m),y (m)" + StackColumns(plan) + "\n";
  const ReceptorSet& r = plan.Receptors;
  for (std::size_t q = 0; q < r.GridCount; ++q) {
    out += ShortestDoubleText(r.All[q].X) + "," + ShortestDoubleText(r.All[q].Y) + ValueFields(result, q) + "\n";
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
           ValueFields(result, q) + "\n";
  }
  return out;
}

}  // namespace vmk
