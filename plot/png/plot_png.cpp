#include "plot/png/plot_png.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QBrush>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
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
  for (const QString& f : QString::fromLatin1(vmk::kPlotFontFamilies).split(u',')) {
    families << f.trimmed();
  }
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
  painter.setFont(font);
  painter.setPen(ToColor(t.Color));
  painter.drawText(QPointF(t.X + dx, t.Y), text);
}

void Draw(const PlotScene& scene, QImage& image) {
  image.fill(ToColor(scene.Background));
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  for (const PlotPolygon& g : scene.Polygons) {
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(g.Points.size()));
    for (const auto& [x, y] : g.Points) points << QPointF(x, y);
    if (g.Outline) {
      painter.setPen(ToPen(*g.Outline));
    } else {
      painter.setPen(Qt::NoPen);
    }
    painter.setBrush(g.Fill ? QBrush(ToColor(*g.Fill)) : QBrush(Qt::NoBrush));
    painter.drawPolygon(points);
  }
  painter.setBrush(Qt::NoBrush);
  for (const PlotSegment& g : scene.Segments) {
    painter.setPen(ToPen(g.Stroke));
    painter.drawLine(QPointF(g.X1, g.Y1), QPointF(g.X2, g.Y2));
  }
  for (const PlotPolyline& line : scene.Polylines) {
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(line.Points.size()));
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

// Qt's notes on the way (a missing runtime folder, a font it substituted) are not results of
// the program; only its errors are worth a line.
void KeepOnlyErrors(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "vmk-calc: Qt: %s\n", message.toLocal8Bit().constData());
  }
}

}  // namespace

std::optional<std::string> WritePlotPng(const PlotScene& scene, const std::string& path) {
  const QtMessageHandler previousHandler = qInstallMessageHandler(KeepOnlyErrors);
  // Fonts need a GUI application; the offscreen platform gives one without a display. A
  // platform the user chose explicitly is left alone.
  std::unique_ptr<QGuiApplication> app;
  if (QCoreApplication::instance() == nullptr) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "vmk-calc";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }

  QImage image(scene.Width, scene.Height, QImage::Format_RGB32);
  Draw(scene, image);

  std::optional<std::string> problem;
  QFile file(QFile::decodeName(path.c_str()));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    problem = file.errorString().toStdString();
  } else {
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
      problem = writer.errorString().toStdString();
    } else if (!file.flush()) {
      problem = file.errorString().toStdString();
    }
    file.close();
  }
  app.reset();
  qInstallMessageHandler(previousHandler);
  return problem;
}

}  // namespace vmk
