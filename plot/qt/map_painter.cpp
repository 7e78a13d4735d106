#include "plot/qt/map_painter.h"

#include <algorithm>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "plot/png/scene_painter.h"

namespace vmk {
namespace {

void DrawFill(QPainter& painter, const PlotFill& f) {
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  for (const auto& ring : f.Rings) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(ring.size()));
    for (const auto& [x, y] : ring) polygon << QPointF(x, y);
    path.addPolygon(polygon);
    path.closeSubpath();
  }
  QColor fill = ToQColor(f.Color);
  fill.setAlphaF(static_cast<float>(std::clamp(f.Opacity, 0.0, 1.0)));
  painter.setPen(f.Outline ? ToQPen(*f.Outline) : QPen(Qt::NoPen));
  painter.setBrush(fill);
  painter.drawPath(path);
}

// The image's pixels stretched over its rectangle, each pixel whole (no smoothing).
void DrawImage(QPainter& painter, const PlotImage& image) {
  if (image.Columns <= 0 || image.Rows <= 0 ||
      image.Rgba.size() != static_cast<std::size_t>(image.Columns) * image.Rows * 4) {
    return;
  }
  const QImage pixels(image.Rgba.data(), image.Columns, image.Rows, image.Columns * 4,
                      QImage::Format_RGBA8888);
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRectF(image.Left, image.Top, image.Width, image.Height), pixels);
  painter.restore();
}

}  // namespace

void PaintMapScene(QPainter& painter, const MapScene& scene) {
  painter.save();
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  painter.fillRect(QRectF(0, 0, scene.Width, scene.Height), ToQColor(scene.Background));
  painter.setClipRect(QRectF(scene.FrameLeft, scene.FrameTop, scene.FrameWidth, scene.FrameHeight));
  for (const PlotImage& image : scene.Images) DrawImage(painter, image);
  for (const PlotFill& f : scene.GroundFills) DrawFill(painter, f);
  PaintScene(painter, scene.Ground);
  for (const PlotFill& f : scene.Fills) DrawFill(painter, f);
  PaintScene(painter, scene.Inside);
  for (const PlotFill& f : scene.Marks) DrawFill(painter, f);
  painter.setClipping(false);
  for (const PlotFill& f : scene.OutsideFills) DrawFill(painter, f);
  PaintScene(painter, scene.Outside);
  painter.restore();
}

}  // namespace vmk
