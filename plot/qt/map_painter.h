// Draws the map scene of a site with Qt's painter by the rules of plot/map_scene.h: onto the
// window, into a PNG picture (QImage) and into an SVG document (QSvgGenerator), all through the
// same drawing code.
#pragma once

#include "plot/map_scene.h"

class QPainter;

namespace vmk {

// Draws `scene` with the painter, whose device is scene.Width x scene.Height pixels.
void PaintMapScene(QPainter& painter, const MapScene& scene);

}  // namespace vmk
