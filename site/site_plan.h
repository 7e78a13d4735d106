// A site made ready to compute: every stack's inputs validated by the window's own rules for
// each of the 16 wind directions, the model's direction-free work of each stack done once, and
// the receptors laid out.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "input/model_parameters.h"
#include "met/met_stats.h"
#include "model/direction_cases.h"
#include "site/site_file.h"

namespace vmk {

struct StackPlan {
  std::string Name;  // UTF-8
  double X = 0;
  double Y = 0;
  // The validated inputs with the grid of each wind direction d (the direction the wind blows
  // from, 0 = N clockwise), as the window reads them; R and z are the validation's.
  std::array<ModelParameters, kDirections> ByWind;
  std::array<DirectionHours, kDirections> Hours;
  std::shared_ptr<const DirectionCases> Cases;
};

enum class ReceptorKind : unsigned char { Grid, Polar, Point };

struct Receptor {
  double X = 0;
  double Y = 0;
  float Z = 0;  // receptor height as the window reads it
};

struct ReceptorSet {
  // Grid nodes first (x fastest, then y, both ascending), then the polar receptors (the 16
  // directions N, NNE, ... clockwise, each with its distances ascending), then the points.
  std::vector<Receptor> All;
  std::size_t GridCount = 0;
  std::size_t PolarCount = 0;
  std::size_t PointCount = 0;
  std::vector<double> GridX;         // node coordinates, ascending
  std::vector<double> GridY;
  std::vector<float> PolarDistances;  // the nominal distances from the centre, ascending

  std::size_t PolarBegin() const { return GridCount; }
  std::size_t PointBegin() const { return GridCount + PolarCount; }
  ReceptorKind KindOf(std::size_t i) const {
    return i < GridCount ? ReceptorKind::Grid
                         : i < PointBegin() ? ReceptorKind::Polar : ReceptorKind::Point;
  }
};

struct SitePlan {
  SiteDefinition Site;
  std::vector<StackPlan> Stacks;
  float DefaultZ = 0;        // the common HrpEdit as validated
  ReceptorSet Receptors;
};

// The unit vector (east, north) of direction j (0 = N, clockwise in steps of 22.5 degrees),
// exact for the multiples of 90 degrees.
std::array<double, 2> DirectionVector(int j);

// Validates every stack with the window's rules and builds the receptors. Raises SiteError
// with the window's message, prefixed by the stack's (or point's) name.
SitePlan PlanSite(SiteDefinition site);

}  // namespace vmk
