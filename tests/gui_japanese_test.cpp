// Japanese throughout the window: Qt's own texts (standard buttons, file dialogs) from its
// Japanese translation, and the manual in a window of its own (ヘルプ → 説明書, F1).
#include <gtest/gtest.h>

#include <memory>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "app/window/form1.h"
#include "app/window/manual_window.h"
#include "app/window/qt_text.h"
#include "app/window/qt_translations.h"
#include "gui_test_support.h"

namespace {

// Installed for one test only: the other window tests expect Qt's texts untranslated.
class QtJapanese {
 public:
  QtJapanese() : translator_(vmk::LoadQtTranslations()) {
    if (translator_) QCoreApplication::installTranslator(translator_.get());
  }
  ~QtJapanese() {
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
  }
  bool Loaded() const { return translator_ != nullptr; }

 private:
  std::unique_ptr<QTranslator> translator_;
};

TEST(QtTranslationsTest, StandardButtonsAndFileDialogsSpeakJapanese) {
  ASSERT_FALSE(vmk::QtTranslationFolders().isEmpty());
  const QtJapanese japanese;
  ASSERT_TRUE(japanese.Loaded()) << "qtbase_ja.qm not found in " << vmk::QtTranslationFolders().join(", ").toStdString();

  QMessageBox box;
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
  EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')).left(2), QStringLiteral("はい"));

  // Qt's own file dialog (the one the window shows where the system offers none).
  QFileDialog dialog(nullptr, QStringLiteral("開く"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  bool anyJapaneseLabel = false;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    for (const QChar c : label->text()) anyJapaneseLabel = anyJapaneseLabel || c.unicode() >= 0x3040;
  }
  EXPECT_TRUE(anyJapaneseLabel);
  const auto* buttons = dialog.findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

// F1 opens the manual at its table of contents; each link leads to its page (the window named
// after it), 戻る comes back, and a second F1 shows the same window.
TEST(ManualWindowTest, F1ShowsTheManualAndItsLinksWork) {
  vmk::Form1 window;
  ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(&window, true));
  EXPECT_EQ(window.Manual(), nullptr);
  QTest::keyClick(&window, Qt::Key_F1);
  vmk::ManualWindow* manual = window.Manual();
  ASSERT_NE(manual, nullptr);
  EXPECT_TRUE(manual->isVisible());
  QTextBrowser* browser = manual->Browser();
  const QUrl index = QUrl::fromLocalFile(vmk::Utf8ToQString(vmk::ManualIndexPath()));
  EXPECT_EQ(browser->source(), index);
  EXPECT_EQ(manual->windowTitle(), QStringLiteral("VMK 説明書"));
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("説明ﾌｧｲﾙ")));
  auto* back = manual->findChild<QPushButton*>(QStringLiteral("ManualBackButton"));
  ASSERT_NE(back, nullptr);
  EXPECT_FALSE(back->isEnabled());

  const struct {
    const char* link;
    const char* title;
    const char* text;
  } pages[] = {
      {"source.html", "発生源データ - VMK 説明書", "熱流量"},
      {"met.html#import", "気象条件 - VMK 説明書", "全方位有効頻度"},
      {"conditions.html", "計算条件 - VMK 説明書", "4:(2)(3)の最小"},
      {"site.html", "サイト濃度分布 (vmk-site) - VMK 説明書", "vmk-site"},
  };
  for (const auto& page : pages) {
    SCOPED_TRACE(page.link);
    const QUrl target = index.resolved(QUrl(QString::fromUtf8(page.link)));
    browser->setSource(target);
    EXPECT_EQ(browser->source(), target);
    EXPECT_EQ(manual->windowTitle(), QString::fromUtf8(page.title));
    EXPECT_TRUE(browser->toPlainText().contains(QString::fromUtf8(page.text)));
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(browser->source(), index);
  }

  window.findChild<QAction*>(QStringLiteral("ManualAction"))->trigger();
  EXPECT_EQ(window.Manual(), manual);
}

}  // namespace
