// Qt's own texts in Japanese, as the rest of the window: the file dialogs, the standard buttons
// of the message boxes, the context menus of the fields. Qt ships them as qtbase_ja.qm (Debian:
// qt6-translations-l10n).
#pragma once

#include <memory>

#include <QString>
#include <QTranslator>

namespace vmk {

// The folders searched for qtbase_ja.qm (or qt_ja.qm), in order: Qt's translations folder
// (QLibraryInfo::TranslationsPath), then "translations" beside the program, where windeployqt
// puts them in a Windows installation.
QStringList QtTranslationFolders();

// Qt's Japanese texts, loaded from the first folder that has them; nullptr when none has.
std::unique_ptr<QTranslator> LoadQtTranslations();

}  // namespace vmk
