#include "plot/map_view.h"

#include <algorithm>
#include <cmath>

namespace vmk {
namespace {

constexpr double kKeyZoomIn = 1.25;
constexpr double kKeyZoomOut = 0.8;
constexpr double kWheelZoomPerEighth = 1.0015;

}  // namespace

MapPoint MapScene::ToGround(double px, double py) const {
  return {View.CenterX + (px - (FrameLeft + FrameWidth / 2)) * View.MetresPerPixel,
          View.CenterY - (py - (FrameTop + FrameHeight / 2)) * View.MetresPerPixel};
}

std::pair<double, double> MapScene::ToPixel(double x, double y) const {
  return {FrameLeft + FrameWidth / 2 + (x - View.CenterX) / View.MetresPerPixel,
          FrameTop + FrameHeight / 2 - (y - View.CenterY) / View.MetresPerPixel};
}

std::optional<PlotImage> FrameImage(const MapScene& scene, double xMin, double yMin, double xMax, double yMax) {
  const auto [ax, ay] = scene.ToPixel(xMin, yMax);
  const auto [bx, by] = scene.ToPixel(xMax, yMin);
  const double x0 = std::max(std::floor(ax), std::floor(scene.FrameLeft));
  const double y0 = std::max(std::floor(ay), std::floor(scene.FrameTop));
  const double x1 = std::min(std::ceil(bx), std::ceil(scene.FrameLeft + scene.FrameWidth));
  const double y1 = std::min(std::ceil(by), std::ceil(scene.FrameTop + scene.FrameHeight));
  if (!(x1 > x0 && y1 > y0)) return std::nullopt;
  PlotImage image;
  image.Left = x0;
  image.Top = y0;
  image.Columns = static_cast<int>(x1 - x0);
  image.Rows = static_cast<int>(y1 - y0);
  image.Width = image.Columns;
  image.Height = image.Rows;
  image.Rgba.assign(static_cast<std::size_t>(image.Columns) * image.Rows * 4, 0);
  return image;
}

MapView ZoomedView(const MapScene& scene, double factor, double x, double y) {
  const MapPoint g = scene.ToGround(x, y);
  MapView v = scene.View;
  v.MetresPerPixel = std::clamp(v.MetresPerPixel / factor, kMinMetresPerPixel, kMaxMetresPerPixel);
  const double frameCentreX = scene.FrameLeft + scene.FrameWidth / 2;
  const double frameCentreY = scene.FrameTop + scene.FrameHeight / 2;
  v.CenterX = g.first - (x - frameCentreX) * v.MetresPerPixel;
  v.CenterY = g.second + (y - frameCentreY) * v.MetresPerPixel;
  return v;
}

MapView PannedView(const MapView& view, double dx, double dy) {
  MapView v = view;
  v.CenterX -= dx * v.MetresPerPixel;
  v.CenterY += dy * v.MetresPerPixel;
  return v;
}

double WheelZoomFactor(int angleDelta) { return std::pow(kWheelZoomPerEighth, angleDelta); }

MapView KeyedView(const MapScene& scene, MapKey key) {
  const double centreX = scene.Width / 2.0;
  const double centreY = scene.Height / 2.0;
  switch (key) {
    case MapKey::ZoomIn: return ZoomedView(scene, kKeyZoomIn, centreX, centreY);
    case MapKey::ZoomOut: return ZoomedView(scene, kKeyZoomOut, centreX, centreY);
    case MapKey::Left: return PannedView(scene.View, kKeyPanPixels, 0);
    case MapKey::Right: return PannedView(scene.View, -kKeyPanPixels, 0);
    case MapKey::Up: return PannedView(scene.View, 0, kKeyPanPixels);
    case MapKey::Down: return PannedView(scene.View, 0, -kKeyPanPixels);
  }
  return scene.View;
}

}  // namespace vmk
