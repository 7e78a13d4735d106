#include "plot/png/gui_for_drawing.h"

#include <cstdio>

#include <QGuiApplication>

namespace vmk {
namespace {

// Qt's notes on the way (a missing runtime folder, a font it substituted) are not results of
// the program; only its errors are worth a line.
void KeepOnlyErrors(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "Qt: %s\n", message.toLocal8Bit().constData());
  }
}

}  // namespace

GuiForDrawing::GuiForDrawing() {
  if (QCoreApplication::instance() != nullptr) return;
  previous_ = qInstallMessageHandler(KeepOnlyErrors);
  installed_ = true;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "vmk";
  static char* argv[] = {name, nullptr};
  app_ = std::make_unique<QGuiApplication>(argc, argv);
}

GuiForDrawing::~GuiForDrawing() {
  app_.reset();
  if (installed_) qInstallMessageHandler(previous_);
}

}  // namespace vmk
