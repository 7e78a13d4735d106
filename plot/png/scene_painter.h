// Draws a picture scene with Qt's painter: the one drawing code of the PNG pictures, the site
// map's PNG and SVG files and its window.
#pragma once

#include <optional>
#include <string>

#include <QColor>
#include <QPen>

#include "plot/profile_plot.h"

class QImage;
class QPainter;

namespace vmk {

QColor ToQColor(PlotColor c);

// The stroke as a pen: flat caps, round joins, dashes of 6 and gaps of 4 pixels.
QPen ToQPen(const PlotStroke& s);

// The scene's polygons, segments, polylines, circles and texts, in that order, over whatever
// the painter's device holds (the background is the caller's).
void PaintScene(QPainter& painter, const PlotScene& scene);

// The image as the bytes of a PNG file; returns the problem, or nothing.
std::optional<std::string> PngBytesOf(const QImage& image, std::string& bytes);

}  // namespace vmk
