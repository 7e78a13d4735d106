#include "app/window/window_fonts.h"

#include <QStringList>

namespace vmk {

QString ProportionalGothicFamily() { return QStringLiteral("ＭＳ Ｐゴシック"); }
QString FixedGothicFamily() { return QStringLiteral("ＭＳ ゴシック"); }

void InstallGothicSubstitutes() {
  static bool installed = false;
  if (installed) {
    return;
  }
  installed = true;
  // Proportional first, then the fixed-pitch faces as a last resort: any Japanese gothic
  // beats a Latin font with boxes for kana.
  const QStringList proportional = {
      QStringLiteral("MS PGothic"),  QStringLiteral("IPAPGothic"),    QStringLiteral("IPA Pゴシック"),
      QStringLiteral("VL PGothic"),  QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")};
  const QStringList fixed = {
      QStringLiteral("MS Gothic"),  QStringLiteral("IPAGothic"),       QStringLiteral("IPAゴシック"),
      QStringLiteral("VL Gothic"),  QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAPGothic")};
  QFont::insertSubstitutions(ProportionalGothicFamily(), proportional);
  QFont::insertSubstitutions(QStringLiteral("MS PGothic"), proportional.mid(1));
  QFont::insertSubstitutions(FixedGothicFamily(), fixed);
  QFont::insertSubstitutions(QStringLiteral("MS Gothic"), fixed.mid(1));
}

namespace {

QFont MakeFont(const QString& family, bool fixedPitch) {
  InstallGothicSubstitutes();
  QFont font(family);
  font.setPixelSize(kWindowFontPixels);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setFixedPitch(fixedPitch);
  font.setStyleHint(fixedPitch ? QFont::TypeWriter : QFont::SansSerif);
  return font;
}

}  // namespace

QFont ControlFont() { return MakeFont(ProportionalGothicFamily(), false); }
QFont GridFont() { return MakeFont(FixedGothicFamily(), true); }

}  // namespace vmk
