#include "plot/qt/map_painter.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QStringList>

namespace vmk {
namespace {

QColor ToColor(PlotColor c) { return QColor(c.R, c.G, c.B); }

QPen ToPen(const PlotStroke& s) {
  QPen pen(ToColor(s.Color), s.Width);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  // The painter counts dashes in pen widths; the scene counts them in pixels.
  if (s.Dashed) pen.setDashPattern({6 / s.Width, 4 / s.Width});
  return pen;
}

QFont TextFont(const PlotText& t) {
  QStringList families;
  for (const QString& f : QString::fromLatin1(kPlotFontFamilies).split(u',')) families << f.trimmed();
  QFont font(families.front());
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(static_cast<int>(t.Size + 0.5));
  font.setBold(t.Bold);
  return font;
}

void DrawText(QPainter& painter, const PlotText& t) {
  const QFont font = TextFont(t);
  const QString text = QString::fromUtf8(t.Text.data(), static_cast<qsizetype>(t.Text.size()));
  const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
  const double dx = t.Anchor == TextAnchor::Start ? 0 : t.Anchor == TextAnchor::Middle ? -width / 2 : -width;
  painter.setFont(font);
  painter.setPen(ToColor(t.Color));
  painter.drawText(QPointF(t.X + dx, t.Y), text);
}

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
  painter.setPen(f.Outline ? ToPen(*f.Outline) : QPen(Qt::NoPen));
  painter.setBrush(ToColor(f.Color));
  painter.drawPath(path);
}

void DrawScene(QPainter& painter, const PlotScene& scene) {
  painter.setBrush(Qt::NoBrush);
  for (const PlotSegment& g : scene.Segments) {
    painter.setPen(ToPen(g.Stroke));
    painter.drawLine(QPointF(g.X1, g.Y1), QPointF(g.X2, g.Y2));
  }
  for (const PlotPolyline& line : scene.Polylines) {
    QPolygonF points;
    for (const auto& [x, y] : line.Points) points << QPointF(x, y);
    painter.setPen(ToPen(line.Stroke));
    painter.drawPolyline(points);
  }
  for (const PlotCircle& c : scene.Circles) {
    painter.setPen(QPen(ToColor(c.Outline), 1.5));
    painter.setBrush(ToColor(c.Fill));
    painter.drawEllipse(QPointF(c.X, c.Y), c.Radius, c.Radius);
  }
  painter.setBrush(Qt::NoBrush);
  for (const PlotText& t : scene.Texts) DrawText(painter, t);
}

}  // namespace

void PaintMapScene(QPainter& painter, const MapScene& scene) {
  painter.save();
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  painter.fillRect(QRectF(0, 0, scene.Width, scene.Height), ToColor(scene.Background));
  painter.setClipRect(QRectF(scene.FrameLeft, scene.FrameTop, scene.FrameWidth, scene.FrameHeight));
  for (const PlotFill& f : scene.Fills) DrawFill(painter, f);
  DrawScene(painter, scene.Inside);
  for (const PlotFill& f : scene.Marks) DrawFill(painter, f);
  painter.setClipping(false);
  for (const PlotFill& f : scene.OutsideFills) DrawFill(painter, f);
  DrawScene(painter, scene.Outside);
  painter.restore();
}

}  // namespace vmk
