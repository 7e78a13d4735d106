#include "app/window/screenshot.h"

#include <array>
#include <utility>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QAction>
#include <QTabWidget>
#include <QTextBrowser>

#include "app/frontend/sample_case.h"
#include "app/window/form1.h"
#include "app/window/manual_window.h"

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

  // The manual as F1 shows it: its table of contents, and the page of the calculation's options.
  if (auto* action = window.findChild<QAction*>(QStringLiteral("ManualAction"))) action->trigger();
  ManualWindow* manual = window.Manual();
  ok = manual != nullptr && ok;
  if (manual != nullptr) {
    const QUrl index = manual->Browser()->source();
    const std::array<std::pair<const char*, const char*>, 2> pages = {
        {{"", "window-manual.png"}, {"conditions.html#rise", "window-manual-conditions.png"}}};
    for (const auto& [link, file] : pages) {
      if (*link != '\0') manual->Browser()->setSource(index.resolved(QUrl(QString::fromLatin1(link))));
      QApplication::processEvents();
      ok = manual->grab().save(QDir(dir).filePath(QString::fromLatin1(file)), "PNG") && ok;
    }
    manual->close();
  }
  return ok;
}

}  // namespace vmk
