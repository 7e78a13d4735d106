// What the site shows of its results, made once for the summary, the map and the site window:
// the maximum with its distance and direction from each stack, the points' values and the
// values at any place. The numbers come with their texts (the shortest that read back as the
// same value); each view only adds its own words.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "site/site_run.h"

namespace vmk {

// A concentration as the site shows it.
struct SiteValue {
  float C = 0;       // NaN without a value
  std::string Text;  // the shortest text that reads back as C; empty without a value
  bool Missing() const { return Text.empty(); }
};
SiteValue ValueOf(float c);

// The 16-point name of a bearing (in sectors of `kSectorDegrees` from north).
std::string_view DirectionName(double sectors);

// The receptors the maximum is looked for among: the grid, or without one the polar
// receptors; none when the site has points only.
enum class MaximumScope { None, Grid, Polar };
MaximumScope MaximumScopeOf(const ReceptorSet& receptors);

// The place of the maximum as one stack sees it.
struct MaximumFromStack {
  std::string Name;         // the stack's (UTF-8)
  float R = 0;              // distance, m
  std::string RText;
  std::string_view Toward;  // the 16-point name of the bearing from the stack
  double Bearing = 0;       // degrees from north, rounded to one decimal
  std::string BearingText;  // with one decimal: "143.1"
  SiteValue C;              // the stack's own value there
};

struct SiteMaximum {
  SiteValue C;
  double X = 0;
  double Y = 0;
  std::string XText;
  std::string YText;
  std::vector<MaximumFromStack> FromStacks;  // in the site's order of stacks
};

// The receptor of the largest total among `MaximumScopeOf`'s; nothing when none has a value.
std::optional<SiteMaximum> MaximumOf(const SitePlan& plan, const SiteResult& result);

// A named point with its values.
struct PointValues {
  std::string Name;  // UTF-8
  double X = 0;
  double Y = 0;
  float Z = 0;  // its own height or the common one
  std::string XText;
  std::string YText;
  std::string ZText;
  SiteValue C;
  std::vector<SiteValue> Stacks;  // in the site's order of stacks
};
// Point i of the site (from 0, in the site file's order).
PointValues PointValuesOf(const SitePlan& plan, const SiteResult& result, std::size_t i);

// The values at a place, at the common receptor height.
struct PlaceValues {
  double X = 0;
  double Y = 0;
  std::string XText;
  std::string YText;
  SiteValue C;                    // the total
  std::vector<SiteValue> Stacks;  // in the site's order of stacks
};
// The exact values at (x, y) rounded to whole metres: the place the texts name.
PlaceValues ValuesAtPlace(const SitePlan& plan, double x, double y);

// The receptors without a value, of all kinds.
std::size_t ReceptorsWithoutValue(const SiteResult& result);

}  // namespace vmk
