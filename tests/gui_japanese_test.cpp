// Japanese throughout the window: Qt's own texts (standard buttons, file dialogs) from its
// Japanese translation.
#include <gtest/gtest.h>

#include <memory>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "app/window/qt_translations.h"

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

}  // namespace
