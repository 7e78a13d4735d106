#include "plot/png/plot_png.h"

#include <QImage>
#include <QPainter>

#include "common/atomic_file.h"
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

std::optional<std::string> WritePlotPng(const PlotScene& scene, const std::string& path) {
  std::string bytes;
  if (auto problem = PlotPngBytes(scene, bytes)) return problem;
  try {
    WriteFileAtomically(path, bytes);
  } catch (const FileWriteError& e) {
    return e.Cause;
  }
  return std::nullopt;
}

}  // namespace vmk
