#include "plot/png/plot_png.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include "plot/png/scene_painter.h"

namespace vmk {
namespace {

void Draw(const PlotScene& scene, QImage& image) {
  image.fill(ToQColor(scene.Background));
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  PaintScene(painter, scene);
}

// Qt's notes on the way (a missing runtime folder, a font it substituted) are not results of
// the program; only its errors are worth a line.
void KeepOnlyErrors(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "Qt: %s\n", message.toLocal8Bit().constData());
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
