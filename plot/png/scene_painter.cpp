#include "plot/png/scene_painter.h"

#include <utility>
#include <vector>

#include <QBrush>
#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>

namespace vmk {

QColor ToQColor(PlotColor c) { return QColor(c.R, c.G, c.B); }

QPen ToQPen(const PlotStroke& s) {
  QPen pen(ToQColor(s.Color), s.Width);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  // The painter counts dashes in pen widths; the scene counts them in pixels.
  if (s.Dashed) pen.setDashPattern({kDashLength / s.Width, kDashGap / s.Width});
  return pen;
}

namespace {

QFont TextFont(const PlotText& t) {
  QStringList families;
  for (const char* f : kPlotFontFamilyList) families << QString::fromLatin1(f);
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
  const double dx = t.Anchor == TextAnchor::Start    ? 0
                    : t.Anchor == TextAnchor::Middle ? -width / 2
                                                          : -width;
  if (t.Halo) {
    QPainterPath outline;
    outline.addText(QPointF(t.X + dx, t.Y), font, text);
    QPen halo(ToQColor(*t.Halo), kHaloWidth);
    halo.setJoinStyle(Qt::RoundJoin);
    painter.strokePath(outline, halo);
  }
  painter.setFont(font);
  painter.setPen(ToQColor(t.Color));
  painter.drawText(QPointF(t.X + dx, t.Y), text);
}

QPolygonF ToPolygon(const std::vector<std::pair<double, double>>& points) {
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const auto& [x, y] : points) polygon << QPointF(x, y);
  return polygon;
}

}  // namespace

void PaintScene(QPainter& painter, const PlotShapes& shapes) {
  for (const PlotPolygon& g : shapes.Polygons) {
    painter.setPen(g.Outline ? ToQPen(*g.Outline) : QPen(Qt::NoPen));
    painter.setBrush(g.Fill ? QBrush(ToQColor(*g.Fill)) : QBrush(Qt::NoBrush));
    painter.drawPolygon(ToPolygon(g.Points));
  }
  painter.setBrush(Qt::NoBrush);
  for (const PlotSegment& g : shapes.Segments) {
    painter.setPen(ToQPen(g.Stroke));
    painter.drawLine(QPointF(g.X1, g.Y1), QPointF(g.X2, g.Y2));
  }
  for (const PlotPolyline& line : shapes.Polylines) {
    painter.setPen(ToQPen(line.Stroke));
    painter.drawPolyline(ToPolygon(line.Points));
  }
  for (const PlotCircle& c : shapes.Circles) {
    painter.setPen(QPen(ToQColor(c.Outline), c.OutlineWidth));
    painter.setBrush(ToQColor(c.Fill));
    painter.drawEllipse(QPointF(c.X, c.Y), c.Radius, c.Radius);
  }
  painter.setBrush(Qt::NoBrush);
  for (const PlotText& t : shapes.Texts) DrawText(painter, t);
}

std::optional<std::string> PngBytesOf(const QImage& image, std::string& bytes) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) return writer.errorString().toStdString();
  bytes.assign(png.constData(), static_cast<std::size_t>(png.size()));
  return std::nullopt;
}

}  // namespace vmk
