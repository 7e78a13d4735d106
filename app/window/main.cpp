// The program `vmk`: the calculator's window.
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QTimer>

#include "form/form_layout.h"
#include "app/window/form1.h"
#include "app/window/qt_translations.h"
#include "app/window/screenshot.h"
#include "platform/output_files.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::fprintf(stderr,
                 "vmk: no display here, so the window cannot open; the command line runs without one: "
                 "build/bin/vmk-calc CASE\n");
    return 1;
  }

  // A write beyond the file-size limit fails like any other; an interruption removes the
  // temporary files of a file being saved.
  vmk::platform::InstallInterruptCleanup();
  QApplication app(argc, argv);
  // The application title of the task bar and the message boxes. Only the name is set: a
  // display name would be appended to the window's own title.
  QApplication::setApplicationName(QString::fromUtf8(vmk::kApplicationTitle.data(),
                                                     static_cast<qsizetype>(vmk::kApplicationTitle.size())));

  // `vmk CASE.json` opens a case file at start; without one the window shows the defaults.
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.size() > 1 || (!args.isEmpty() && args.front().startsWith(QLatin1Char('-')))) {
    const bool help = args.size() == 1 && (args.front() == QStringLiteral("--help") ||
                                           args.front() == QStringLiteral("-h"));
    std::fprintf(help ? stdout : stderr,
                 "Usage: vmk [CASE.json]   (opens the window, with the case file)\n");
    return help ? 0 : 2;
  }

  // Qt's dialogs and buttons in Japanese, as everything else.
  const std::unique_ptr<QTranslator> qtTexts = vmk::LoadQtTranslations();
  if (qtTexts) {
    QCoreApplication::installTranslator(qtTexts.get());
  } else {
    std::fprintf(stderr, "vmk: Qt's Japanese texts (qtbase_ja.qm) are not installed: the file dialogs stay in "
                         "English (Debian package qt6-translations-l10n)\n");
  }

  vmk::Form1 window;
  window.show();
  if (!args.isEmpty()) {
    window.OpenCaseFile(args.front());  // a file that cannot be used is named in a message box
  }

  // Developer aid for the documentation pictures: VMK_SCREENSHOT_DIR names the folder.
  const QString pictureDir = qEnvironmentVariable("VMK_SCREENSHOT_DIR");
  if (!pictureDir.isEmpty()) {
    QTimer::singleShot(500, &window, [&window, pictureDir] {
      const bool saved = vmk::SaveWindowPictures(window, pictureDir);
      QCoreApplication::exit(saved ? 0 : 1);
    });
  }
  return QApplication::exec();
}
