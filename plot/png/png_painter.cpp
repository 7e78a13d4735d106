// The PNG back end of this build (plot/png_painter.h): the scene drawn by Qt's painter on an
// image, headless.
#include "plot/png_painter.h"

#include <QImage>
#include <QPainter>

#include "plot/png/gui_for_drawing.h"
#include "plot/png/scene_painter.h"

namespace vmk {

std::optional<std::string> PlotPngBytes(const PlotScene& scene, std::string& bytes) {
  const GuiForDrawing gui;
  QImage image(scene.Width, scene.Height, QImage::Format_RGB32);
  if (image.isNull()) return "not enough memory for the picture";
  image.fill(ToQColor(scene.Background));
  {
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    PaintScene(painter, scene);
  }
  return PngBytesOf(image, bytes);
}

}  // namespace vmk
