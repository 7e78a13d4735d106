// Texts between the windows and the plain code: the UTF-8 texts of the site, the case files and
// the messages, and the code page 932 texts of the form record, to QString and back.
#pragma once

#include <string_view>

#include <QByteArray>
#include <QString>

#include "common/cp932.h"

namespace vmk {

inline QString Utf8ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline QString Cp932ToQString(std::string_view cp932) { return Utf8ToQString(Cp932ToUtf8(cp932)); }

inline Cp932 QStringToCp932(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace vmk
