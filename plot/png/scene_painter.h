// Draws the shapes of a picture scene with Qt's painter by the rules of plot/scene.h: the one
// drawing code of the PNG pictures, the site map's PNG and SVG files and its window.
#pragma once

#include <optional>
#include <string>

#include <QColor>
#include <QPen>

#include "plot/scene.h"

class QImage;
class QPainter;

namespace vmk {

QColor ToQColor(PlotColor c);

// The stroke as a pen: flat caps, round joins, the scene's dashes.
QPen ToQPen(const PlotStroke& s);

// The polygons, segments, polylines, circles and texts, in that order, over whatever the
// painter's device holds (a scene's background is the caller's).
void PaintScene(QPainter& painter, const PlotShapes& shapes);

// The image as the bytes of a PNG file; returns the problem, or nothing.
std::optional<std::string> PngBytesOf(const QImage& image, std::string& bytes);

}  // namespace vmk
