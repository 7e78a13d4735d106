// Inputs of the pictures for the tests and vmk-map-sample: met statistics and a site map.
#pragma once

#include "met/met_stats.h"
#include "plot/site_map.h"

namespace vmk::samples {

// 100 valid hours: 50 calm, N with 10 weak and 20 windy 1, E with 20 windy 6.
inline MetStats SampleMetStats() {
  MetStats m;
  m.Station = "東京";
  m.From = "2025-04-01 01:00";
  m.To = "2025-04-05 04:00";
  m.ValidHours = 100;
  m.CalmAll[10] = 50;
  m.Directions[0].Weak[10] = 10;
  m.WeakAll[10] = 10;
  m.Directions[0].Windy[0][4] = 20;
  m.Directions[4].Windy[5][6] = 20;
  return m;
}

// A square ring around (0, 0), m.
inline MapRing SquareRing(double halfWidth, double halfHeight) {
  return {{-halfWidth, -halfHeight},
          {halfWidth, -halfHeight},
          {halfWidth, halfHeight},
          {-halfWidth, halfHeight},
          {-halfWidth, -halfHeight}};
}

// A site map to draw on every system: three bands as nested squares, the middle one with a
// hole and the lowest reaching beyond the grid (so beyond the frame), two stacks, two points
// and the maximum, all with Japanese names. vmk-map-sample draws it for the comparison of the
// Windows build's map with the Linux build's.
inline SiteMapInput SampleSiteMap() {
  SiteMapInput in;
  in.XMin = -2000;
  in.XMax = 2000;
  in.YMin = -1500;
  in.YMax = 1500;
  in.Levels = {0.1, 0.2, 0.5};
  in.Bands = {
      {1, 0.1, 0.2, {{{SquareRing(6000, 6000), SquareRing(900, 700)}}}},
      {2, 0.2, 0.5, {{{SquareRing(900, 700), SquareRing(300, 250)}}}},
      {3, 0.5, 1, {{{SquareRing(300, 250)}}}},
  };
  in.Stacks = {{"煙突1", -200, 100}, {"煙突2", 250, -150}};
  in.Points = {{"学校", 1200, 800}, {"病院", -1400, -900}};
  in.Maximum = MapMark{"0.63", 20, 10};
  in.Title = "二本煙突の例  NO2 年平均";
  in.Subtitle = "格子 41 x 31, 100 m";
  return in;
}

// The sample's map at the size of the site's map files.
inline MapScene SampleSiteMapScene() { return BuildSiteMap(SampleSiteMap(), 1000, 800); }

}  // namespace vmk::samples
