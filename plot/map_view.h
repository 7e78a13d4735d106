// Moving the view of a site's map: zooming about a pixel, panning by pixels, and the steps of
// the wheel and the keys, within the limits of the scale. Plain functions of the view and the
// scene drawn for it, so that a window only forwards its mouse and key events.
#pragma once

#include "plot/map_scene.h"

namespace vmk {

// The scales a view may take, metres per pixel: 1 cm to 100 km.
inline constexpr double kMinMetresPerPixel = 0.01;
inline constexpr double kMaxMetresPerPixel = 1e5;

// The view of `scene` zoomed by `factor` (above 1: closer; the scale kept within the limits)
// so that the ground under the pixel (x, y) stays under it.
MapView ZoomedView(const MapScene& scene, double factor, double x, double y);

// The view moved so that the ground follows the mouse by (dx, dy) pixels: what was under the
// pixel (x, y) is under (x + dx, y + dy).
MapView PannedView(const MapView& view, double dx, double dy);

// The zoom factor of a turn of the mouse wheel, in eighths of a degree (120 a notch; positive
// away from the user: closer).
double WheelZoomFactor(int angleDelta);

// The steps of the keyboard: zoom in or out about the picture's centre, or move the ground by
// kKeyPanPixels (Left moves it to the right, as dragging it would).
enum class MapKey { ZoomIn, ZoomOut, Left, Right, Up, Down };
inline constexpr double kKeyPanPixels = 40;
MapView KeyedView(const MapScene& scene, MapKey key);

}  // namespace vmk
