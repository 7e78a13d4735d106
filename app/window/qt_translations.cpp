#include "app/window/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>

namespace vmk {

QStringList QtTranslationFolders() {
  return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
          QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
}

std::unique_ptr<QTranslator> LoadQtTranslations() {
  auto translator = std::make_unique<QTranslator>();
  // Japanese whatever the system's language: every other text of the window is Japanese.
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  // qtbase_ja.qm as Debian installs it; qt_ja.qm, the catalogue of all modules, as windeployqt
  // gathers it beside the program.
  for (const QString& folder : QtTranslationFolders()) {
    for (const QString& name : {QStringLiteral("qtbase"), QStringLiteral("qt")}) {
      if (translator->load(japanese, name, QStringLiteral("_"), folder)) return translator;
    }
  }
  return nullptr;
}

}  // namespace vmk
