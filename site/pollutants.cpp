#include "site/pollutant_definition.h"

#include <filesystem>
#include <set>

#include "common/json_document.h"
#include "common/number_read.h"
#include "platform/files.h"
#include "site/site_json.h"

namespace vmk {
namespace {

using Json = nlohmann::json;

// The keys a pollutant may set for one stack: the rest are the stack's own.
constexpr std::string_view kPollutantControls[] = {"QpEdit", "NOxTrnCheckBox"};

// A number as a decimal: a JSON number (its shortest text, which is the number as typed for up
// to 15 digits) or a string of a decimal number (kept digit for digit).
Decimal DecimalOf(const Json& v, const std::string& where) {
  if (v.is_string()) {
    const std::string text = v.get<std::string>();
    const std::optional<Decimal> d = Decimal::Parse(text);
    if (!d) FailJsonValue(where, "must be a number, not " + QuoteForMessage(text));
    return *d;
  }
  return Decimal::OfDouble(SiteJsonNumber(v, where));
}

ConcentrationUnit ConcentrationUnitOf(const Json& v, const std::string& where) {
  const std::string text = JsonStringValue(v, where);
  const std::optional<ConcentrationUnit> unit = ParseConcentrationUnit(text);
  if (!unit) {
    FailJsonValue(where, QuoteForMessage(text) + " is not a concentration unit: " +
                             std::string(kConcentrationUnitsAccepted));
  }
  return *unit;
}

// One stack's emission: its QpEdit text, or the controls {"QpEdit", "NOxTrnCheckBox"}.
PollutantStack StackPart(const Json& v, const std::string& where) {
  PollutantStack part;
  Json controls;
  if (v.is_string()) {
    controls = {{"QpEdit", v}};
  } else if (v.is_object()) {
    for (const auto& [key, value] : v.items()) {
      if (key != kPollutantControls[0] && key != kPollutantControls[1]) {
        FailJsonValue(where, QuoteForMessage(key) +
                                 " cannot be set for one pollutant: only \"QpEdit\" and "
                                 "\"NOxTrnCheckBox\" differ between pollutants, the rest is the stack's");
      }
    }
    RequiredJsonMember(v, "QpEdit", where);
    controls = v;
  } else {
    FailJsonValue(where, "must be the stack's QpEdit text or {\"QpEdit\", \"NOxTrnCheckBox\"}, not " +
                             JsonTypeName(v));
  }
  part.Controls = SiteJsonControls(controls, where, true);
  // Off unless the pollutant turns it on: a stack's own conversion is for its own QpEdit.
  bool no2 = false;
  for (const auto& [name, checked] : part.Controls.Checks) {
    if (name == "NOxTrnCheckBox") no2 = checked;
  }
  if (part.Controls.Checks.empty()) part.Controls.Checks.push_back({"NOxTrnCheckBox", false});
  part.No2 = no2;
  const std::string qp = JsonStringValue(controls["QpEdit"], JsonMemberPlace(where, "QpEdit"));
  double value = 1;
  part.Emits = !(ReadNumber(qp, value) == NumberReading::Finite && value == 0);
  return part;
}

std::vector<PollutantStack> Stacks(const Json& v, const std::vector<std::string>& stacks,
                                   const std::string& where) {
  SiteJsonObject(v, where);
  for (const auto& [key, value] : v.items()) {
    bool known = false;
    for (const std::string& s : stacks) known = known || s == key;
    if (!known) FailJsonValue(where, "no stack named " + QuoteForMessage(key) + " in \"sources\"");
  }
  std::vector<PollutantStack> parts;
  bool any = false;
  for (const std::string& s : stacks) {
    const Json* part = FindJsonMember(v, s);
    if (part == nullptr) {
      FailJsonValue(where, "stack " + QuoteForMessage(s) +
                               " is missing: give its QpEdit for this pollutant (\"0\" when it does not emit it)");
    }
    parts.push_back(StackPart(*part, where + "[" + QuoteForMessage(s) + "]"));
    any = any || parts.back().Emits;
  }
  if (!any) FailJsonValue(where, "no stack emits the pollutant: every QpEdit is 0");
  return parts;
}

StationFit FitOf(const std::string& written, const std::string& baseDir, const std::string& where) {
  const std::string place = where + " " + QuoteForMessage(written);
  const std::filesystem::path full = platform::PathFromUtf8(baseDir) / platform::PathFromUtf8(written);
  std::string bytes;
  try {
    bytes = ReadFileBytes(platform::PathToUtf8(full), kMaxStationFileBytes);
  } catch (const JsonFileError& e) {
    FailJsonValue(place, e.what());
  }
  try {
    return FitStationYears(ParseStationYears(bytes));
  } catch (const StationFitError& e) {
    FailJsonValue(place, e.what());
  }
}

Conversion ConversionOf(const Json& v, const std::string& baseDir, const std::string& where) {
  Conversion c;
  const std::string forms = "must be \"none\", {\"linear\": {\"a\": A, \"b\": B}} or {\"fit\": \"STATIONS.csv\"}";
  if (v.is_string()) {
    if (v.get<std::string>() != "none") FailJsonValue(where, forms + ", not " + QuoteForMessage(v.get<std::string>()));
    return c;
  }
  if (!v.is_object() || v.size() != 1) FailJsonValue(where, forms);
  CheckJsonKeys(v, {"linear", "fit"}, where, true);
  if (const Json* linear = FindJsonMember(v, "linear")) {
    const std::string w = JsonMemberPlace(where, "linear");
    SiteJsonObject(*linear, w);
    CheckJsonKeys(*linear, {"a", "b"}, w, true);
    c.Kind = ConversionKind::Linear;
    c.A = DecimalOf(RequiredJsonMember(*linear, "a", w), JsonMemberPlace(w, "a"));
    c.B = DecimalOf(RequiredJsonMember(*linear, "b", w), JsonMemberPlace(w, "b"));
    return c;
  }
  const std::string w = JsonMemberPlace(where, "fit");
  c.Kind = ConversionKind::Fit;
  c.FitFile = JsonStringValue(v["fit"], w);
  if (c.FitFile.empty()) FailJsonValue(w, "must name the station-year file");
  c.Fit = FitOf(c.FitFile, baseDir, w);
  c.A = c.Fit->A;
  c.B = c.Fit->B;
  return c;
}

Standard GivenStandardOf(const Json& v, const std::string& where) {
  CheckJsonKeys(v, {"value", "unit", "statistic", "source", "substance", "decimals"}, where, true);
  Standard s;
  const std::string vw = JsonMemberPlace(where, "value");
  s.Value = DecimalOf(RequiredJsonMember(v, "value", where), vw);
  if (s.Value.Sign() <= 0 || s.Value.Decimals() > kMaxStandardDecimals) {
    FailJsonValue(vw, "must be a positive number with at most " + std::to_string(kMaxStandardDecimals) + " decimals");
  }
  s.Unit = ConcentrationUnitOf(RequiredJsonMember(v, "unit", where), JsonMemberPlace(where, "unit"));
  const std::string sw = JsonMemberPlace(where, "statistic");
  const std::string stat = JsonStringValue(RequiredJsonMember(v, "statistic", where), sw);
  const std::optional<Statistic> compared = ParseStatistic(stat);
  if (!compared) FailJsonValue(sw, QuoteForMessage(stat) + " is not " + StatisticNames());
  s.Compared = *compared;
  const std::string srcw = JsonMemberPlace(where, "source");
  s.Source = JsonStringValue(RequiredJsonMember(v, "source", where), srcw);
  if (s.Source.empty()) FailJsonValue(srcw, "must say where the value comes from");
  if (const Json* substance = FindJsonMember(v, "substance")) {
    s.Substance = JsonStringValue(*substance, JsonMemberPlace(where, "substance"));
  }
  if (const Json* d = FindJsonMember(v, "decimals")) {
    const std::string dw = JsonMemberPlace(where, "decimals");
    if (!d->is_number_integer() || d->get<long long>() < 0 || d->get<long long>() > kMaxStandardDecimals) {
      FailJsonValue(dw, "must be a whole number from 0 to " + std::to_string(kMaxStandardDecimals));
    }
    s.Decimals = d->get<int>();
  }
  return s;
}

PollutantDefinition Pollutant(const Json& v, const std::vector<std::string>& stacks, const std::string& baseDir,
                              std::string where) {
  SiteJsonObject(v, where);
  CheckJsonKeys(v, {"name", "unit", "stacks", "background", "conversion", "standard", "levels"}, where, true);
  PollutantDefinition p;
  p.Name = SiteJsonName(RequiredJsonMember(v, "name", where), JsonMemberPlace(where, "name"));
  p.FileName = SafeFileName(p.Name);
  where = PollutantPlace(p.Name);
  const std::string uw = JsonMemberPlace(where, "unit");
  const std::string unit = JsonStringValue(RequiredJsonMember(v, "unit", where), uw);
  const std::optional<EmissionUnit> emission = ParseEmissionUnit(unit);
  if (!emission) {
    FailJsonValue(uw, QuoteForMessage(unit) + " is not an emission unit: " + std::string(kEmissionUnitsAccepted));
  }
  p.Unit = *emission;
  p.Stacks = Stacks(RequiredJsonMember(v, "stacks", where), stacks, JsonMemberPlace(where, "stacks"));

  const std::string bw = JsonMemberPlace(where, "background");
  const Json& background = SiteJsonObject(RequiredJsonMember(v, "background", where), bw);
  CheckJsonKeys(background, {"value", "unit"}, bw, true);
  const std::string bvw = JsonMemberPlace(bw, "value");
  p.Background = DecimalOf(RequiredJsonMember(background, "value", bw), bvw);
  if (p.Background.Sign() < 0) FailJsonValue(bvw, "must be 0 or more");
  p.BackgroundUnit = ConcentrationUnitOf(RequiredJsonMember(background, "unit", bw), JsonMemberPlace(bw, "unit"));

  if (const Json* c = FindJsonMember(v, "conversion")) {
    p.Convert = ConversionOf(*c, baseDir, JsonMemberPlace(where, "conversion"));
  }
  const std::string sw = JsonMemberPlace(where, "standard");
  const Json& standard = RequiredJsonMember(v, "standard", where);
  if (standard.is_string()) {
    p.StandardName = standard.get<std::string>();
    if (p.StandardName.empty()) FailJsonValue(sw, "must name a standard of the table");
  } else if (standard.is_object()) {
    p.GivenStandard = GivenStandardOf(standard, sw);
  } else {
    FailJsonValue(sw, "must be the name of a standard of the table or {\"value\", \"unit\", \"statistic\", "
                      "\"source\"}, not " + JsonTypeName(standard));
  }
  if (const Json* l = FindJsonMember(v, "levels")) p.Levels = SiteJsonLevels(*l, JsonMemberPlace(where, "levels"));
  return p;
}

// The file name compared as Windows compares it: ASCII letters without case.
std::string FoldedFileName(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

}  // namespace

std::string PollutantPlace(std::string_view name) { return "pollutant " + QuoteForMessage(name); }

std::string SafeFileName(std::string_view name) {
  std::string out;
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool bad = u < 0x20 || u == 0x7f || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
    out += bad ? '_' : c;
  }
  if (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.back() = '_';
  return out;
}

std::vector<PollutantDefinition> ReadPollutants(const Json& v, const std::vector<std::string>& stacks,
                                                const std::string& baseDir) {
  const std::string where = "pollutants";
  if (!v.is_array()) FailJsonValue(where, "must be a list of pollutants, not " + JsonTypeName(v));
  if (v.empty()) FailJsonValue(where, "names no pollutant: leave \"pollutants\" out for none");
  if (v.size() > kMaxSitePollutants) {
    FailJsonValue(where, "holds more than " + std::to_string(kMaxSitePollutants) + " pollutants");
  }
  std::vector<PollutantDefinition> pollutants;
  std::set<std::string> names;
  std::set<std::string> files;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = where + "[" + std::to_string(i + 1) + "]";
    PollutantDefinition p = Pollutant(v[i], stacks, baseDir, w);
    if (!names.insert(p.Name).second) FailJsonValue(w, "a second pollutant named " + QuoteForMessage(p.Name));
    if (!files.insert(FoldedFileName(p.FileName)).second) {
      FailJsonValue(w, QuoteForMessage(p.Name) + " would write the files of an earlier pollutant (map-" +
                           p.FileName + ".png): names that differ only in case or in characters a file "
                           "name cannot hold");
    }
    pollutants.push_back(std::move(p));
  }
  return pollutants;
}

}  // namespace vmk
