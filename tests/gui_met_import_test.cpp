// ファイル → 気象統計から読み込む...: one direction of a met statistics file into the grid.
#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/window/form1.h"
#include "form_test_support.h"
#include "gui_test_support.h"
#include "met/met_stats.h"

namespace {

using vmk::guitest::BoxAnswerer;

vmk::MetStats SampleStats() {
  vmk::MetStats m;
  m.ValidHours = 8700;
  for (int s = 0; s < vmk::kStabilityClasses; ++s) {
    m.CalmAll[s] = 10 + s;
    m.WeakAll[s] = 20 + s;
    for (int d = 0; d < vmk::kDirections; ++d) {
      m.Directions[d].Weak[s] = d;
      for (int k = 0; k < vmk::kWindyClasses; ++k) m.Directions[d].Windy[k][s] = 100 * d + 10 * k + s;
    }
  }
  return m;
}

class MetImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    window_ = std::make_unique<vmk::Form1>();
    ASSERT_NO_FATAL_FAILURE(vmk::guitest::ShowAndWait(window_.get()));
    window_->SetFileChooser([this](bool, const QString&) { return chosenFile_; });
    window_->SetDirectionChooser([this](const vmk::MetStats&) { return chosenDirection_; });
  }
  QString Write(const char* name, const std::string& bytes) {
    const QString path = dir_.filePath(QString::fromUtf8(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }
  void Import() { window_->findChild<QAction*>(QStringLiteral("ImportMetStatsAction"))->trigger(); }

  QTemporaryDir dir_;
  std::unique_ptr<vmk::Form1> window_;
  QString chosenFile_;
  int chosenDirection_ = -1;
};

TEST_F(MetImportTest, FillsTheGridOfTheChosenDirectionAsAnEdit) {
  chosenFile_ = Write("met.json", vmk::MetStatsJson(SampleStats()));
  chosenDirection_ = 2;  // NE
  Import();
  const vmk::FormRecord& form = window_->Form();
  EXPECT_EQ(form.Text("FreqTotalEdit"), " 8700");
  EXPECT_EQ(form.Text("WDEdit"), " NE");
  EXPECT_EQ(form.Grid[1][2], "10");
  EXPECT_EQ(form.Grid[2][2], "2");
  EXPECT_EQ(form.Grid[3][12], "30");
  EXPECT_EQ(form.Grid[9][12], "260");  // windy 6 of NE, class G
  EXPECT_EQ(form.Grid[1][1], "0.4");
  EXPECT_TRUE(window_->HasUnsavedEdits());
  EXPECT_TRUE(window_->windowTitle().endsWith(QStringLiteral(" *")));

  // The imported table computes as typed.
  window_->CalcGoButtonClick();
  EXPECT_EQ(window_->Form().Text("messageLabel"), vmk::Sj(" 入力・条件 : O.K."));
}

TEST_F(MetImportTest, CancelledOrBadFilesChangeNothing) {
  const vmk::FormRecord before = window_->Form();
  chosenFile_ = Write("met.json", vmk::MetStatsJson(SampleStats()));
  chosenDirection_ = -1;  // the direction list cancelled
  Import();
  EXPECT_EQ(window_->Form().Grid, before.Grid);
  vmk::formtest::ExpectSameInputs(window_->Form(), before);
  EXPECT_FALSE(window_->HasUnsavedEdits());

  chosenFile_ = Write("case.json", R"({"QgEdit": " 1"})");  // a case file, not met statistics
  chosenDirection_ = 0;
  BoxAnswerer answers;
  Import();
  ASSERT_EQ(answers.Seen().size(), 1u);
  EXPECT_EQ(answers.Seen()[0].Name, QStringLiteral("FileProblemBox"));
  EXPECT_TRUE(answers.Seen()[0].Text.contains(QStringLiteral("case.json を読み込めません")));
  EXPECT_TRUE(answers.Seen()[0].Text.contains(QStringLiteral("vmk-met/1")));
  EXPECT_EQ(window_->Form().Grid, before.Grid);
  vmk::formtest::ExpectSameInputs(window_->Form(), before);
  EXPECT_FALSE(window_->HasUnsavedEdits());
}

}  // namespace
