#include "plot/qt/map_files.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include "plot/png/gui_for_drawing.h"
#include "plot/png/scene_painter.h"
#include "plot/qt/map_painter.h"

namespace vmk {

std::string MapPngBytes(const MapScene& scene) {
  const GuiForDrawing gui;
  QImage image(scene.Width, scene.Height, QImage::Format_RGB32);
  if (image.isNull()) throw MapPictureError("not enough memory for the picture");
  {
    QPainter painter(&image);
    PaintMapScene(painter, scene);
  }
  std::string bytes;
  if (const auto problem = PngBytesOf(image, bytes)) throw MapPictureError(*problem);
  return bytes;
}

std::string MapSvgBytes(const MapScene& scene, const std::string& title) {
  const GuiForDrawing gui;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(scene.Width, scene.Height));
  svg.setViewBox(QRect(0, 0, scene.Width, scene.Height));
  svg.setTitle(QString::fromStdString(title));
  svg.setResolution(96);
  {
    QPainter painter;
    if (!painter.begin(&svg)) throw MapPictureError("cannot draw the SVG picture");
    PaintMapScene(painter, scene);
    painter.end();
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace vmk
