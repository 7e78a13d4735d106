#include "plot/qt/map_files.h"

#include <cstdio>
#include <memory>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

#include "plot/qt/map_painter.h"

namespace vmk {
namespace {

// Qt's notes on the way (a missing runtime folder, a font it substituted) are not results of
// the program; only its errors are worth a line.
void KeepOnlyErrors(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "Qt: %s\n", message.toLocal8Bit().constData());
  }
}

// Fonts need a GUI application: an offscreen one for the time of a drawing when the program
// runs none (the command line). A platform the user chose is left alone.
class GuiForDrawing {
 public:
  GuiForDrawing() {
    if (QCoreApplication::instance() != nullptr) return;
    previous_ = qInstallMessageHandler(KeepOnlyErrors);
    installed_ = true;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vmk-site";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  ~GuiForDrawing() {
    app_.reset();
    if (installed_) qInstallMessageHandler(previous_);
  }
  GuiForDrawing(const GuiForDrawing&) = delete;
  GuiForDrawing& operator=(const GuiForDrawing&) = delete;

 private:
  std::unique_ptr<QGuiApplication> app_;
  QtMessageHandler previous_ = nullptr;
  bool installed_ = false;
};

}  // namespace

std::string MapPngBytes(const MapScene& scene) {
  GuiForDrawing gui;
  QImage image(scene.Width, scene.Height, QImage::Format_RGB32);
  if (image.isNull()) throw MapPictureError("not enough memory for the picture");
  {
    QPainter painter(&image);
    PaintMapScene(painter, scene);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) throw MapPictureError(writer.errorString().toStdString());
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string MapSvgBytes(const MapScene& scene, const std::string& title) {
  GuiForDrawing gui;
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
