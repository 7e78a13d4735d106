#include "app/window/screenshot.h"

#include <array>
#include <utility>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QAction>
#include <QTabWidget>
#include <QTextBrowser>

#include "app/window/form1.h"
#include "app/window/frequency_grid_widget.h"
#include "app/window/manual_window.h"

namespace vmk {

namespace {

// Hours of one wind direction at an inland site over one year, by wind-speed class (rows 1 to
// 9 of the grid) and stability class (A to G). Row 1 and row 3 are over all directions.
constexpr std::array<std::array<const char*, 11>, 9> kSampleHours = {{
    {"  12", "  35", "  48", "  20", "  10", "   6", " 110", " 240", "  30", "  25", " 150"},
    {" 0.35", " 1.20", " 2.45", " 0.80", " 0.30", " 0.20", " 4.10", " 6.85", " 0.95", " 0.70", " 3.40"},
    {"   9", "  30", "  52", "  20", "   8", "   5", "  85", " 140", "  22", "  18", "  70"},
    {"   2", "  10", "  18", "   8", "   4", "   2", "  35", "  42", "   9", "   6", "  12"},
    {"   0", "   6", "  15", "  10", "   6", "   4", "  48", "  36", "  12", "   5", "   3"},
    {"   0", "   0", "   6", "   7", "   8", "   5", "  40", "  22", "   6", "   0", "   0"},
    {"   0", "   0", "   0", "   2", "   6", "   4", "  32", "  14", "   0", "   0", "   0"},
    {"   0", "   0", "   0", "   0", "   0", "   1", "  14", "   5", "   0", "   0", "   0"},
    {"   0", "   0", "   0", "   0", "   0", "   0", "   6", "   2", "   0", "   0", "   0"},
}};

void SetEdit(Form1& window, const char* name, const QString& text) {
  if (auto* edit = window.ControlAs<QLineEdit>(name)) {
    edit->setText(text);
  }
}

}  // namespace

void FillSampleCase(Form1& window) {
  // A 50 m stack with a warm exhaust: the ground-level maximum lies some way downwind.
  static constexpr std::array<std::array<const char*, 2>, 13> kSampleTexts = {{
      {"QgEdit", " 50"},          {"QpEdit", " 0.005"},         {"TempGEdit", " 150.0"},
      {"HoEdit", " 50.0"},        {"HmEdit", " 20.0"},          {"HrankgEdit", " 20.0"},
      {"dHformulaCalmEdit", " 1"}, {"dHformulaWWEdit", " 3"},   {"dHformulaWindyEdit", " 2"},
      {"WDEdit", " NE"},          {"XrpEdit", " 1000.0"},       {"HrpEdit", " 1.5"},
      {"memoOption", "サンプル計算 北東"},
  }};
  for (const auto& [name, text] : kSampleTexts) SetEdit(window, name, QString::fromUtf8(text));
  FrequencyGridWidget* grid = window.Grid();
  for (int row = 1; row <= 9; ++row) {
    for (int col = 2; col <= 12; ++col) {
      grid->SetCellText(row, col, QString::fromLatin1(kSampleHours[row - 1][col - 2]));
    }
  }
}

bool SaveWindowPictures(Form1& window, const QString& dir) {
  FillSampleCase(window);
  window.ControlAs<QPushButton>("CalcGoButton")->click();

  const std::array<const char*, 4> files = {"window-source.png", "window-met.png", "window-calc.png",
                                            "window-profile.png"};
  QTabWidget* tabs = window.Tabs();
  bool ok = QDir().mkpath(dir);
  for (int page = 0; page < tabs->count() && page < static_cast<int>(files.size()); ++page) {
    tabs->setCurrentIndex(page);
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    ok = picture.save(QDir(dir).filePath(QString::fromLatin1(files[static_cast<std::size_t>(page)])), "PNG") && ok;
  }
  tabs->setCurrentIndex(0);

  // The manual as F1 shows it: its table of contents, and the page of the calculation's options.
  if (auto* action = window.findChild<QAction*>(QStringLiteral("ManualAction"))) action->trigger();
  ManualWindow* manual = window.Manual();
  ok = manual != nullptr && ok;
  if (manual != nullptr) {
    const QUrl index = manual->Browser()->source();
    const std::array<std::pair<const char*, const char*>, 2> pages = {
        {{"", "window-manual.png"}, {"conditions.html#rise", "window-manual-conditions.png"}}};
    for (const auto& [link, file] : pages) {
      if (*link != '\0') manual->Browser()->setSource(index.resolved(QUrl(QString::fromLatin1(link))));
      QApplication::processEvents();
      ok = manual->grab().save(QDir(dir).filePath(QString::fromLatin1(file)), "PNG") && ok;
    }
    manual->close();
  }
  return ok;
}

}  // namespace vmk
