#include "app/window/screenshot.h"

#include <array>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include "app/frontend/sample_case.h"
#include "app/window/form1.h"

namespace vmk {

bool SaveWindowPictures(Form1& window, const QString& dir) {
  FillSampleCase(window.Front().Form);
  window.WriteWidgets();
  window.ControlAs<QPushButton>("CalcGoButton")->click();

  const std::array<const char*, 4> files = {"window-source.png", "window-met.png", "window-calc.png",
                                            "window-profile.png"};
  QTabWidget* tabs = window.Tabs();
  bool ok = QDir().mkpath(dir);
  for (int page = 0; page < tabs->count() && page < static_cast<int>(files.size()); ++page) {
    tabs->setCurrentIndex(page);
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    ok = picture.save(QDir(dir).filePath(QString::fromLatin1(files[static_cast<std::size_t>(page)])), "PNG") && ok;
  }
  tabs->setCurrentIndex(0);
  return ok;
}

}  // namespace vmk
