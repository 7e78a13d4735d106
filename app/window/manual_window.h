// The manual (ヘルプ → 説明書) in a window of its own: its HTML pages in a text browser with the
// links between them, back, forward and the table of contents. Links outside the manual open in
// the system's browser.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace vmk {

inline constexpr char kManualWindowTitle[] = "VMK 説明書";

class ManualWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ManualWindow(QWidget* parent = nullptr);

  // Shows the page at `path` (an HTML file), brings the window to the front.
  void ShowPage(const QString& path);
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_ = nullptr;
};

}  // namespace vmk
