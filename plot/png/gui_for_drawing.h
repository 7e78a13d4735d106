// Fonts need a Qt GUI application: an offscreen one for the time of a drawing when the program
// runs none (the command lines), with Qt's notes kept off the terminal. A platform the user
// chose, or the application the window runs, is left alone.
#pragma once

#include <memory>

#include <QtGlobal>

class QGuiApplication;

namespace vmk {

class GuiForDrawing {
 public:
  GuiForDrawing();
  ~GuiForDrawing();
  GuiForDrawing(const GuiForDrawing&) = delete;
  GuiForDrawing& operator=(const GuiForDrawing&) = delete;

 private:
  std::unique_ptr<QGuiApplication> app_;
  QtMessageHandler previous_ = nullptr;
  bool installed_ = false;
};

}  // namespace vmk
