#include "app/window/manual_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/window/window_fonts.h"

namespace vmk {

ManualWindow::ManualWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("ManualWindow"));
  setWindowTitle(QString::fromUtf8(kManualWindowTitle));
  resize(900, 760);

  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("ManualBrowser"));
  browser_->setOpenExternalLinks(true);
  QFont font = ControlFont();
  font.setPixelSize(14);
  browser_->setFont(font);

  auto* back = new QPushButton(QStringLiteral("戻る"), this);
  back->setObjectName(QStringLiteral("ManualBackButton"));
  auto* forward = new QPushButton(QStringLiteral("進む"), this);
  forward->setObjectName(QStringLiteral("ManualForwardButton"));
  auto* home = new QPushButton(QStringLiteral("目次"), this);
  home->setObjectName(QStringLiteral("ManualHomeButton"));
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString page = browser_->documentTitle();
    setWindowTitle(page.isEmpty() ? QString::fromUtf8(kManualWindowTitle) : page);
  });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addWidget(home);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_, 1);
}

void ManualWindow::ShowPage(const QString& path) {
  browser_->setSource(QUrl::fromLocalFile(path));
  show();
  raise();
  activateWindow();
}

}  // namespace vmk
