#include "plot/qt/map_painter.h"

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
  painter.setPen(f.Outline ? ToQPen(*f.Outline) : QPen(Qt::NoPen));
  painter.setBrush(ToQColor(f.Color));
  painter.drawPath(path);
}

}  // namespace

void PaintMapScene(QPainter& painter, const MapScene& scene) {
  painter.save();
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  painter.fillRect(QRectF(0, 0, scene.Width, scene.Height), ToQColor(scene.Background));
  painter.setClipRect(QRectF(scene.FrameLeft, scene.FrameTop, scene.FrameWidth, scene.FrameHeight));
  for (const PlotFill& f : scene.Fills) DrawFill(painter, f);
  PaintScene(painter, scene.Inside);
  for (const PlotFill& f : scene.Marks) DrawFill(painter, f);
  painter.setClipping(false);
  for (const PlotFill& f : scene.OutsideFills) DrawFill(painter, f);
  PaintScene(painter, scene.Outside);
  painter.restore();
}

}  // namespace vmk
