#include "met/met_stats.h"

#include <cmath>
#include <set>

#include "common/cp932.h"
#include "common/json_document.h"
#include "common/json_writer.h"
#include "common/numtext.h"
#include "input/model_parameters.h"

namespace vmk {
namespace {

using Json = nlohmann::json;

void WriteCounts(JsonWriter& w, const ClassCounts& counts) {
  w.BeginInlineArray();
  for (int n : counts) w.Int(n);
  w.EndArray();
}

int ReadCount(const Json& v, const std::string& where, int low) {
  if (!v.is_number_integer()) {
    FailJsonValue(where, "must be a whole number of hours, not " + JsonTypeName(v));
  }
  const long long n = v.get<long long>();
  if (n < low || n > MaxFreqHours) {
    FailJsonValue(where, std::to_string(n) + " is not from " + std::to_string(low) + " to " +
                             std::to_string(MaxFreqHours) + " hours");
  }
  return static_cast<int>(n);
}

ClassCounts ReadCounts(const Json& v, const std::string& where) {
  if (!v.is_array() || v.size() != kStabilityClasses) {
    FailJsonValue(where, "must be a list of 11 hours, one per stability class (A ... G)");
  }
  ClassCounts out{};
  for (int s = 0; s < kStabilityClasses; ++s) {
    out[static_cast<std::size_t>(s)] =
        ReadCount(v[static_cast<std::size_t>(s)], where + "[" + std::to_string(s + 1) + "]", 0);
  }
  return out;
}

MetDirection ReadDirection(const Json& v, const std::string& where) {
  if (!v.is_object()) FailJsonValue(where, "must be an object with \"weak\" and \"windy\"");
  CheckJsonKeys(v, {"weak", "windy"}, where);
  MetDirection d;
  d.Weak = ReadCounts(RequiredJsonMember(v, "weak", where), where + ".weak");
  const Json& windy = RequiredJsonMember(v, "windy", where);
  if (!windy.is_array() || windy.size() != kWindyClasses) {
    FailJsonValue(where + ".windy", "must be a list of 6 lists (windy classes 1 to 6)");
  }
  for (int k = 0; k < kWindyClasses; ++k) {
    d.Windy[static_cast<std::size_t>(k)] =
        ReadCounts(windy[static_cast<std::size_t>(k)], where + ".windy[" + std::to_string(k + 1) + "]");
  }
  return d;
}

}  // namespace

std::string MetStatsJson(const MetStats& stats) {
  JsonWriter w;
  w.BeginObject();
  w.Key("format");
  w.String(kMetFormat);
  w.Key("station");
  w.String(stats.Station);
  w.Key("from");
  w.String(stats.From);
  w.Key("to");
  w.String(stats.To);
  w.Key("hoursRead");
  w.Int(stats.HoursRead);
  w.Key("validHours");
  w.Int(stats.ValidHours);
  w.Key("missingHours");
  w.BeginObject();
  for (const auto& [cause, hours] : stats.MissingHours) {
    w.Key(cause);
    w.Int(hours);
  }
  w.EndObject();
  if (stats.NightMethods) {
    w.Key("nightMethod");
    w.BeginObject();
    for (std::size_t i = 0; i < kNightMethodNames.size(); ++i) {
      w.Key(kNightMethodNames[i]);
      w.Int((*stats.NightMethods)[i]);
    }
    w.EndObject();
  }
  w.Key("representativeSpeeds");
  w.BeginInlineArray();
  for (float v : stats.RepresentativeSpeeds) w.Float(v);
  w.EndArray();
  w.Key("stabilityClasses");
  w.BeginInlineArray();
  for (std::string_view name : kMetStabilityNames) w.String(name);
  w.EndArray();
  w.Key("calmAll");
  WriteCounts(w, stats.CalmAll);
  w.Key("weakAll");
  WriteCounts(w, stats.WeakAll);
  w.Key("directions");
  w.BeginObject();
  for (int d = 0; d < kDirections; ++d) {
    const MetDirection& dir = stats.Directions[static_cast<std::size_t>(d)];
    w.Key(kDirectionNames[static_cast<std::size_t>(d)]);
    w.BeginObject();
    w.Key("weak");
    WriteCounts(w, dir.Weak);
    w.Key("windy");
    w.BeginArray();
    for (const ClassCounts& counts : dir.Windy) WriteCounts(w, counts);
    w.EndArray();
    w.EndObject();
  }
  w.EndObject();
  w.EndObject();
  return w.Finish();
}

namespace {

// The document's problems raise JsonFileError; ParseMetStats makes them MetStatsError.
MetStats ReadMetStats(std::string_view utf8) {
  const Json doc = ParseJsonDocument(utf8, "a met statistics file");
  if (!doc.is_object()) {
    FailJsonValue("", "a met statistics file holds one object, not " + JsonTypeName(doc));
  }
  const auto format = doc.find("format");
  if (format == doc.end() || !format->is_string() || format->get<std::string>() != kMetFormat) {
    FailJsonValue("", "not a met statistics file: \"format\" must be \"" + std::string(kMetFormat) +
                          "\"");
  }
  CheckJsonKeys(doc,
                {"format", "station", "from", "to", "hoursRead", "validHours", "missingHours",
                 "nightMethod", "representativeSpeeds", "stabilityClasses", "calmAll", "weakAll", "directions"},
                "");
  MetStats m;
  if (doc.contains("station")) m.Station = JsonStringValue(doc["station"], "station");
  if (doc.contains("from")) m.From = JsonStringValue(doc["from"], "from");
  if (doc.contains("to")) m.To = JsonStringValue(doc["to"], "to");
  if (doc.contains("hoursRead")) {
    const Json& v = doc["hoursRead"];
    if (!v.is_number_integer() || v.get<long long>() < 0 || v.get<long long>() > 1000000000) {
      FailJsonValue("hoursRead", "must be a whole number of hours");
    }
    m.HoursRead = static_cast<int>(v.get<long long>());
  }
  m.ValidHours = ReadCount(RequiredJsonMember(doc, "validHours", ""), "validHours", 1);
  if (doc.contains("missingHours")) {
    const Json& v = doc["missingHours"];
    if (!v.is_object()) FailJsonValue("missingHours", "must be an object of cause: hours");
    for (const auto& [cause, hours] : v.items()) {
      if (!hours.is_number_integer() || hours.get<long long>() < 0 ||
          hours.get<long long>() > 1000000000) {
        FailJsonValue("missingHours." + cause, "must be a whole number of hours");
      }
      m.MissingHours.emplace_back(cause, static_cast<int>(hours.get<long long>()));
    }
  }
  if (doc.contains("nightMethod")) {
    const Json& v = doc["nightMethod"];
    if (!v.is_object()) FailJsonValue("nightMethod", "must be an object of method: night hours");
    CheckJsonKeys(v, {kNightMethodNames[0], kNightMethodNames[1], kNightMethodNames[2]},
                  "nightMethod");
    NightMethodCounts counts{};
    long long sum = 0;
    for (std::size_t i = 0; i < kNightMethodNames.size(); ++i) {
      const std::string name(kNightMethodNames[i]);
      if (v.contains(name)) counts[i] = ReadCount(v[name], "nightMethod." + name, 0);
      sum += counts[i];
    }
    if (sum > m.ValidHours) {
      FailJsonValue("nightMethod", std::to_string(sum) + " night hours, more than the " +
                                       std::to_string(m.ValidHours) + " valid hours");
    }
    m.NightMethods = counts;
  }
  {
    const Json& v = RequiredJsonMember(doc, "representativeSpeeds", "");
    if (!v.is_array() || v.size() != m.RepresentativeSpeeds.size()) {
      FailJsonValue("representativeSpeeds",
                    "must be a list of 8 speeds (calm, weak wind, windy 1 to 6)");
    }
    for (std::size_t i = 0; i < m.RepresentativeSpeeds.size(); ++i) {
      // A speed is kept as a single-precision number, as the window keeps it.
      const float speed = v[i].is_number() ? static_cast<float>(v[i].get<double>()) : NAN;
      if (!std::isfinite(speed)) {
        FailJsonValue("representativeSpeeds[" + std::to_string(i + 1) + "]",
                      "must be a number (m/s)");
      }
      m.RepresentativeSpeeds[i] = speed;
    }
  }
  if (doc.contains("stabilityClasses")) {
    const Json& v = doc["stabilityClasses"];
    bool same = v.is_array() && v.size() == kMetStabilityNames.size();
    for (std::size_t i = 0; same && i < v.size(); ++i) {
      same = v[i].is_string() && v[i].get<std::string>() == kMetStabilityNames[i];
    }
    if (!same) {
      FailJsonValue("stabilityClasses",
                    "must be the 11 classes A, A-B, B, B-C, C, C-D, Dd, Dn, E, F, G");
    }
  }
  m.CalmAll = ReadCounts(RequiredJsonMember(doc, "calmAll", ""), "calmAll");
  m.WeakAll = ReadCounts(RequiredJsonMember(doc, "weakAll", ""), "weakAll");
  const Json& dirs = RequiredJsonMember(doc, "directions", "");
  if (!dirs.is_object()) FailJsonValue("directions", "must be an object keyed N, NNE, ..., NNW");
  for (const auto& [key, value] : dirs.items()) {
    if (!DirectionIndex(key) || key != kDirectionNames[static_cast<std::size_t>(*DirectionIndex(key))]) {
      FailJsonValue("directions", "unknown direction " + QuoteForMessage(key) + " (N, NNE, ..., NNW)");
    }
  }
  for (int d = 0; d < kDirections; ++d) {
    const std::string name(kDirectionNames[static_cast<std::size_t>(d)]);
    m.Directions[static_cast<std::size_t>(d)] =
        ReadDirection(RequiredJsonMember(dirs, name, "directions"), "directions." + name);
  }
  return m;
}

}  // namespace

MetStats ParseMetStats(std::string_view utf8) {
  try {
    return ReadMetStats(utf8);
  } catch (const JsonFileError& e) {
    throw MetStatsError(e.what());
  }
}

std::optional<int> DirectionIndex(std::string_view name) {
  for (int d = 0; d < kDirections; ++d) {
    const std::string_view n = kDirectionNames[static_cast<std::size_t>(d)];
    if (n.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < n.size() && same; ++i) {
      const char c = name[i];
      same = (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == n[i];
    }
    if (same) return d;
  }
  return std::nullopt;
}

void ApplyMetDirection(const MetStats& stats, int d, FormRecord& form) {
  const MetDirection& dir = stats.Directions.at(static_cast<std::size_t>(d));
  GridCells& g = form.Grid;
  // Column 1: the representative speeds of rows 1, 2 and 4 to 9 (row 3 shows "  -").
  constexpr std::array<int, 8> kSpeedRows = {1, 2, 4, 5, 6, 7, 8, 9};
  for (std::size_t i = 0; i < kSpeedRows.size(); ++i) {
    g[static_cast<std::size_t>(kSpeedRows[i])][1] = ShortestFloatText(stats.RepresentativeSpeeds[i]);
  }
  for (int s = 0; s < kStabilityClasses; ++s) {
    const std::size_t c = static_cast<std::size_t>(s) + 2;
    const std::size_t i = static_cast<std::size_t>(s);
    g[1][c] = std::to_string(stats.CalmAll[i]);
    g[2][c] = std::to_string(dir.Weak[i]);
    g[3][c] = std::to_string(stats.WeakAll[i]);
    for (int k = 0; k < kWindyClasses; ++k) {
      g[static_cast<std::size_t>(k) + 4][c] = std::to_string(dir.Windy[static_cast<std::size_t>(k)][i]);
    }
  }
  form.Text("FreqTotalEdit") = " " + std::to_string(stats.ValidHours);
  form.Text("WDEdit") = " " + std::string(kDirectionNames[static_cast<std::size_t>(d)]);
}

}  // namespace vmk
