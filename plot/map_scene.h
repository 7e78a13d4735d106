// The scene of a site's map: the picture's size and background, the map's frame in pixels, the
// view (the ground shown) with the conversions between ground and pixels, and the shapes in
// five lists. A painter draws it by the rules of scene.h, and in this order:
//  1. the background over the whole Width x Height;
//  2. clipped to the frame rectangle (FrameLeft, FrameTop, FrameWidth, FrameHeight): the
//     Fills, the Inside shapes (as a PlotScene's), then the Marks;
//  3. unclipped: the OutsideFills, then the Outside shapes.
// A PlotFill is one path of all its rings, each ring closed, filled by the odd-even rule (a
// band's holes stay empty) and then outlined, when it has an Outline, along every ring.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "plot/scene.h"

namespace vmk {

// Ground coordinates, m: x east, y north.
using MapPoint = std::pair<double, double>;

// The part of the ground to show: its centre and metres per pixel.
struct MapView {
  double CenterX = 0;
  double CenterY = 0;
  double MetresPerPixel = 1;
};

// A filled area: its rings filled by the odd-even rule.
struct PlotFill {
  std::vector<std::vector<std::pair<double, double>>> Rings;  // pixel coordinates
  PlotColor Color;
  std::optional<PlotStroke> Outline;
};

struct MapScene {
  int Width = 1000;
  int Height = 800;
  PlotColor Background{255, 255, 255};
  // The map's frame in pixels: the fills, `Inside` and `Marks` are clipped to it.
  double FrameLeft = 0, FrameTop = 0, FrameWidth = 0, FrameHeight = 0;
  // Drawn in this order: the first three clipped to the frame, the last two not.
  std::vector<PlotFill> Fills;         // the bands, lowest first
  PlotShapes Inside;                   // grid lines, points, the maximum, names
  std::vector<PlotFill> Marks;         // the stacks' triangles, the north arrow, the scale bar
  std::vector<PlotFill> OutsideFills;  // the legend's boxes
  PlotShapes Outside;                  // frame, coordinates, title, legend texts
  MapView View;  // the frame's centre shows the view's centre

  // Ground coordinates of a pixel of the frame, and back.
  MapPoint ToGround(double px, double py) const;
  std::pair<double, double> ToPixel(double x, double y) const;
};

}  // namespace vmk
