// Shared by the window tests: showing and closing a window, answering its modal boxes, typing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVariant>

namespace vmk::guitest {

// A modal message box that was shown: its name, title, text and the button pressed.
struct SeenBox {
  QString Name;
  QString Title;
  QString Text;
  QString Informative;
  QStringList Buttons;
};

// Answers every message box that opens while it lives, in order: the i-th box gets the button
// whose text is answers[i] (the last answer again for any further box; "" presses the default
// or OK). Records each box.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<QString> answers = {QString()}) : answers_(std::move(answers)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(5);
  }
  ~BoxAnswerer() { timer_.stop(); }
  const std::vector<SeenBox>& Seen() const { return seen_; }

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || box->property("vmkAnswered").toBool()) return;
    box->setProperty("vmkAnswered", true);
    SeenBox seen{box->objectName(), box->windowTitle(), box->text(), box->informativeText(), {}};
    for (QAbstractButton* b : box->buttons()) seen.Buttons << b->text();
    const QString answer = answers_[std::min(seen_.size(), answers_.size() - 1)];
    seen_.push_back(seen);
    QAbstractButton* press = box->defaultButton();
    for (QAbstractButton* b : box->buttons()) {
      if (!answer.isEmpty() && b->text() == answer) press = b;
    }
    if (press != nullptr) {
      press->click();
    } else {
      box->accept();
    }
  }

  std::vector<QString> answers_;
  std::vector<SeenBox> seen_;
  QTimer timer_;
};

// Types text into a widget one key at a time, any characters (QTest's own key clicks take
// ASCII letters only): each character as the text of a key press and release.
inline void TypeText(QWidget* widget, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(widget, &release);
  }
}

// Shows the window and waits until it is on the screen and, when `active`, has the focus.
// Call it through ASSERT_NO_FATAL_FAILURE.
inline void ShowAndWait(QWidget* window, bool active = false) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  if (!active) return;
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

// Closes the window, answering いいえ if it asks whether to save its edits.
inline void CloseWithoutSaving(QWidget* window) {
  BoxAnswerer no({QStringLiteral("いいえ")});
  window->close();
}

}  // namespace vmk::guitest
