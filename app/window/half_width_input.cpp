#include "app/window/half_width_input.h"

#include <QLineEdit>
#include <QString>

#include "common/half_width.h"

namespace vmk {

void ConvertToHalfWidth(QLineEdit* edit) {
  QString text = edit->text();
  bool changed = false;
  for (QChar& ch : text) {
    // Every mapped character lies in the basic plane: one UTF-16 unit for one, so the cursor
    // position stays right.
    const char32_t c = ch.unicode();
    const char32_t half = HalfWidthNumberChar(c);
    if (half != c) {
      ch = QChar(static_cast<char16_t>(half));
      changed = true;
    }
  }
  if (!changed) return;
  const int cursor = edit->cursorPosition();
  edit->setText(text);
  edit->setCursorPosition(cursor);
}

}  // namespace vmk
