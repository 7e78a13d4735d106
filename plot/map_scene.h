// The scene of a site's map: the picture's size and background, the map's frame in pixels, the
// view (the ground shown) with the conversions between ground and pixels, and the shapes in
// eight lists. A painter draws it by the rules of scene.h, and in this order:
//  1. the background over the whole Width x Height;
//  2. clipped to the frame rectangle (FrameLeft, FrameTop, FrameWidth, FrameHeight): the
//     Images, the GroundFills, the Ground shapes, the Fills, the Inside shapes (as a
//     PlotScene's), then the Marks;
//  3. unclipped: the OutsideFills, then the Outside shapes.
// A PlotFill is one path of all its rings, each ring closed, filled by the odd-even rule (a
// band's holes stay empty) with its colour at its Opacity (1: opaque), and then outlined, when
// it has an Outline, along every ring, opaque.
// A PlotImage is drawn with its pixels stretched over its rectangle (the map's images are made
// at one image pixel to one picture pixel on whole pixels, so that no painter resamples them),
// each pixel blended over what lies below by its alpha.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "plot/scene.h"

namespace vmk {

// Ground coordinates, m: x east, y north.
using MapPoint = std::pair<double, double>;
using MapRing = std::vector<MapPoint>;

// One polygon: its outer ring, then its holes.
struct MapPolygon {
  std::vector<MapRing> Rings;
};

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
  double Opacity = 1;  // of the fill: 0 transparent to 1 opaque
};

// Pixels placed on the picture: Columns x Rows RGBA pixels (rows from the top, 4 bytes each,
// alpha not premultiplied) over the rectangle (Left, Top, Width, Height) in pixels.
struct PlotImage {
  double Left = 0, Top = 0, Width = 0, Height = 0;
  int Columns = 0;
  int Rows = 0;
  std::vector<unsigned char> Rgba;  // Columns * Rows * 4 bytes
};

struct MapScene {
  int Width = 1000;
  int Height = 800;
  PlotColor Background{255, 255, 255};
  // The map's frame in pixels: every list but the two Outside ones is clipped to it.
  double FrameLeft = 0, FrameTop = 0, FrameWidth = 0, FrameHeight = 0;
  // Drawn in this order: the first six clipped to the frame, the last two not.
  std::vector<PlotImage> Images;       // the basemap's raster, resampled to the view
  std::vector<PlotFill> GroundFills;   // the basemap's polygons
  PlotShapes Ground;                   // the basemap's lines
  std::vector<PlotFill> Fills;         // the bands, lowest first
  PlotShapes Inside;                   // grid lines, receptors, the maximum, names
  std::vector<PlotFill> Marks;         // the stacks' triangles, the north arrow, the scale bar
  std::vector<PlotFill> OutsideFills;  // the legend's boxes
  PlotShapes Outside;                  // frame, coordinates, title, legend texts
  MapView View;  // the frame's centre shows the view's centre

  // Ground coordinates of a pixel of the frame, and back.
  MapPoint ToGround(double px, double py) const;
  std::pair<double, double> ToPixel(double x, double y) const;
};

// An image of transparent pixels, one to a picture pixel, over the whole pixels of the frame
// that the ground from (xMin, yMin) to (xMax, yMax) covers; nothing when the frame shows none.
std::optional<PlotImage> FrameImage(const MapScene& scene, double xMin, double yMin, double xMax, double yMax);

}  // namespace vmk
