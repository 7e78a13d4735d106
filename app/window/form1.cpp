#include "app/window/form1.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPalette>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

#include "app/window/frequency_grid_widget.h"
#include "app/window/half_width_input.h"
#include "app/window/profile_page.h"
#include "app/window/qt_text.h"
#ifdef VMK_HAVE_SITE_WINDOW
#include "app/window/site_window.h"
#endif
#include "app/window/window_fonts.h"
#include "casefile/case_file.h"
#include "casefile/input_help.h"
#include "common/atomic_file.h"
#include "common/json_document.h"
#include "common/tab_separated.h"
#include "form/grid_paste.h"

namespace vmk {

QColor SystemColor(SysColor color) {
  const QPalette system = QApplication::palette();
  switch (color) {
    case SysColor::Window:
      return system.color(QPalette::Active, QPalette::Base);
    case SysColor::ButtonFace:
      return system.color(QPalette::Active, QPalette::Button);
    case SysColor::HighlightText:
      return QColor(255, 255, 255);
    case SysColor::ActiveBorder:
      return QColor(0xB4, 0xB4, 0xB4);  // the classic light grey of an active window's border
    case SysColor::None:
      break;
  }
  return {};
}

namespace {

// The page that a page control belongs to, by the page's name in the layout.
std::string_view PageName(ControlParent parent) {
  switch (parent) {
    case ControlParent::SrcDataSheet:
      return "SrcDataSheet";
    case ControlParent::MetDataSheet:
      return "MetDataSheet";
    case ControlParent::CalcCondSheet:
      return "CalcCondSheet";
    case ControlParent::Window:
    case ControlParent::TabControl:
      break;
  }
  return {};
}

void SetPaletteColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
  QPalette pal = widget->palette();
  if (pal.color(QPalette::Active, role) == color && pal.color(QPalette::Disabled, role) == color &&
      pal.color(QPalette::Inactive, role) == color) {
    return;
  }
  pal.setColor(role, color);  // every colour group: disabled fields keep the colour too
  widget->setPalette(pal);
}

// The background colour of a control: the base of an edit field, the filled background of a
// label. `None` leaves a label transparent and an edit field in the window colour.
void ApplyColor(QWidget* widget, ControlKind kind, SysColor color) {
  switch (kind) {
    case ControlKind::Edit:
      SetPaletteColor(widget, QPalette::Base, SystemColor(color == SysColor::None ? SysColor::Window : color));
      break;
    case ControlKind::Label:
      if (color == SysColor::None) {
        widget->setAutoFillBackground(false);
      } else {
        SetPaletteColor(widget, QPalette::Window, SystemColor(color));
        widget->setAutoFillBackground(true);
      }
      break;
    default:
      break;
  }
}

// The layout's widths are those of the captions in the Windows gothic font. The free gothic
// fonts draw some characters wider (the ideographic space above all), so a one-line caption
// that would run past its design width is condensed horizontally until it fits, down to a
// limit beyond which it is cut like any caption too long for its control.
constexpr int kMinCaptionStretch = 75;  // percent

void FitCaption(QWidget* widget, const ControlDef& def) {
  QFont font = ControlFont();
  widget->setFont(font);
  for (int stretch = 98; widget->sizeHint().width() > def.Width && stretch >= kMinCaptionStretch; stretch -= 2) {
    font.setStretch(stretch);
    widget->setFont(font);
  }
}

// A label not marked fixed size takes the width of its caption; its height stays.
void FitLabel(QLabel* label, const ControlDef& def) {
  if ((def.Flags & kWordWrap) == 0) {
    FitCaption(label, def);
  }
  if ((def.Flags & kFixedSize) == 0) {
    label->resize(label->sizeHint().width(), def.Height);
  }
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QMainWindow(parent), form_(MakeStartupForm()), state_(std::make_unique<CalcState>()) {
  setObjectName(Utf8ToQString(kFormName));
  setFont(ControlFont());
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("ClientArea"));
  client_->setFixedSize(kFormClientWidth, kFormClientHeight);
  setCentralWidget(client_);
  BuildControls();
  AddProfilePage();
  ChainTabOrder();
  BuildMenus();
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::Edit) Control(def.Name)->installEventFilter(this);  // drops
  }
  Grid()->viewport()->installEventFilter(this);
  // The window is as large as the menu bar and the layout's client area, no larger.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setAcceptDrops(true);
  WriteWidgets();
  UpdateTitle();
}

Form1::~Form1() = default;

QWidget* Form1::Control(std::string_view name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

QTabWidget* Form1::Tabs() const {
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::TabControl) {
      return ControlAs<QTabWidget>(def.Name);
    }
  }
  return nullptr;
}

FrequencyGridWidget* Form1::Grid() const {
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::Grid) {
      return ControlAs<FrequencyGridWidget>(def.Name);
    }
  }
  return nullptr;
}

QWidget* Form1::ParentWidget(ControlParent parent) const {
  switch (parent) {
    case ControlParent::Window:
      return client_;
    case ControlParent::TabControl:
      return Tabs();
    default:
      return Control(PageName(parent));
  }
}

void Form1::BuildControls() {
  // The tab control and its pages first: the other controls are their children.
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::TabControl) {
      auto* tabs = new QTabWidget(ParentWidget(def.Parent));
      tabs->setGeometry(def.Left, def.Top, def.Width, def.Height);
      controls_.emplace(std::string(def.Name), tabs);
      tabs->setObjectName(Utf8ToQString(def.Name));
    }
  }
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::TabPage) {
      auto* page = new QWidget();
      page->setObjectName(Utf8ToQString(def.Name));
      // A page is button face, like the window around it, so that white captions stand out.
      SetPaletteColor(page, QPalette::Window, SystemColor(SysColor::ButtonFace));
      page->setAutoFillBackground(true);
      Tabs()->addTab(page, Utf8ToQString(def.Text));
      controls_.emplace(std::string(def.Name), page);
    }
  }

  for (const ControlDef& def : FormLayout()) {
    QWidget* parent = ParentWidget(def.Parent);
    QWidget* widget = nullptr;
    switch (def.Kind) {
      case ControlKind::TabControl:
      case ControlKind::TabPage:
        continue;
      case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap((def.Flags & kWordWrap) != 0);
        label->setAlignment(((def.Flags & kCentered) != 0 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        label->setGeometry(def.Left, def.Top, def.Width, def.Height);
        FitLabel(label, def);  // an empty caption until the form record writes it
        widget = label;
        break;
      }
      case ControlKind::Edit: {
        auto* edit = new QLineEdit(parent);
        // The grey text of a disabled field, readable on the active-border colour.
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Disabled, QPalette::Text, QColor(0x6D, 0x6D, 0x6D));
        edit->setPalette(pal);
        const bool numeric = def.Name != "memoOption" && def.Name != "WDEdit";
        connect(edit, &QLineEdit::textEdited, this, [this, edit, numeric] {
          if (numeric) ConvertToHalfWidth(edit);
          MarkEdited();
        });
        widget = edit;
        break;
      }
      case ControlKind::CheckBox: {
        auto* box = new QCheckBox(parent);
        connect(box, &QCheckBox::clicked, this, &Form1::MarkEdited);
        if (def.Name == "PHrHmCheckBox") {
          connect(box, &QCheckBox::clicked, this, &Form1::PHrHmCheckBoxClick);
        } else if (def.Name == "NOxTrnCheckBox") {
          connect(box, &QCheckBox::clicked, this, &Form1::NOxTrnCheckBoxClick);
        }
        widget = box;
        break;
      }
      case ControlKind::Button: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        if (def.Name == "CalcGoButton") {
          connect(button, &QPushButton::clicked, this, &Form1::CalcGoButtonClick);
        }
        widget = button;
        break;
      }
      case ControlKind::Grid: {
        auto* grid = new FrequencyGridWidget(parent);
        connect(grid, &FrequencyGridWidget::CellEdited, this, &Form1::MarkEdited);
        widget = grid;
        break;
      }
    }
    widget->setObjectName(Utf8ToQString(def.Name));
    if (def.Kind != ControlKind::Label) {
      widget->setGeometry(def.Left, def.Top, def.Width, def.Height);
    }
    controls_.emplace(std::string(def.Name), widget);
  }
  // Labels are painted on their parent, beneath the parent's other controls, whatever the
  // order of creation.
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::Label) {
      Control(def.Name)->lower();
    }
  }
}

// The profile page goes behind the layout's pages, so that their order and places stay.
void Form1::AddProfilePage() {
  profile_ = new ProfilePage();
  SetPaletteColor(profile_, QPalette::Window, SystemColor(SysColor::ButtonFace));
  profile_->setAutoFillBackground(true);
  Tabs()->addTab(profile_, QString::fromUtf8(kProfilePageCaption));
}

// Keyboard navigation in the order of the layout: the window's own controls by tab order,
// with the controls of every page (each page by its tab order) right behind the tab control,
// so that Tab walks from the tabs into the page shown and then on to the bottom bar.
void Form1::ChainTabOrder() {
  auto byTabOrder = [](ControlParent parent) {
    std::vector<const ControlDef*> defs;
    for (const ControlDef& def : FormLayout()) {
      if (def.Parent == parent && def.TabOrder >= 0 && def.Kind != ControlKind::TabPage) {
        defs.push_back(&def);
      }
    }
    std::stable_sort(defs.begin(), defs.end(),
                     [](const ControlDef* a, const ControlDef* b) { return a->TabOrder < b->TabOrder; });
    return defs;
  };

  std::vector<QWidget*> chain;
  for (const ControlDef* def : byTabOrder(ControlParent::Window)) {
    if (def->Kind == ControlKind::TabControl) {
      chain.push_back(Tabs()->tabBar());
      for (ControlParent page : {ControlParent::SrcDataSheet, ControlParent::MetDataSheet, ControlParent::CalcCondSheet}) {
        for (const ControlDef* pageDef : byTabOrder(page)) {
          chain.push_back(Control(pageDef->Name));
        }
      }
    } else {
      chain.push_back(Control(def->Name));
    }
  }
  for (std::size_t i = 1; i < chain.size(); ++i) {
    QWidget::setTabOrder(chain[i - 1], chain[i]);
  }
}

void Form1::ReadWidgets() {
  for (const ControlDef& def : FormLayout()) {
    if (!form_.Has(def.Name)) {
      continue;
    }
    ControlState& st = form_[def.Name];
    switch (def.Kind) {
      case ControlKind::Edit:
        st.Text = QStringToCp932(ControlAs<QLineEdit>(def.Name)->text());
        break;
      case ControlKind::CheckBox:
        st.Checked = ControlAs<QCheckBox>(def.Name)->isChecked();
        break;
      default:
        break;
    }
  }
  FrequencyGridWidget* grid = Grid();
  grid->CommitOpenEditor();
  for (int row = 0; row < kGridRows; ++row) {
    for (int col = 0; col < kGridCols; ++col) {
      form_.Grid[row][col] = QStringToCp932(grid->CellText(row, col));
    }
  }
}

void Form1::WriteWidgets() {
  for (const ControlDef& def : FormLayout()) {
    if (!form_.Has(def.Name)) {
      continue;
    }
    const ControlState& st = form_[def.Name];
    QWidget* widget = Control(def.Name);
    switch (def.Kind) {
      case ControlKind::Edit: {
        auto* edit = static_cast<QLineEdit*>(widget);
        // Compared in code page 932, so that a character the record cannot hold stays as
        // the user typed it until the record itself changes the text.
        if (QStringToCp932(edit->text()) != st.Text) {
          edit->setText(Cp932ToQString(st.Text));
        }
        break;
      }
      case ControlKind::Label: {
        auto* label = static_cast<QLabel*>(widget);
        if (QStringToCp932(label->text()) != st.Text) {
          label->setText(Cp932ToQString(st.Text));
          FitLabel(label, def);
        }
        break;
      }
      case ControlKind::CheckBox: {
        auto* box = static_cast<QCheckBox*>(widget);
        if (QStringToCp932(box->text()) != st.Text) {
          box->setText(Cp932ToQString(st.Text));
          FitCaption(box, def);
        }
        box->setChecked(st.Checked);
        break;
      }
      case ControlKind::Button: {
        auto* button = static_cast<QPushButton*>(widget);
        if (QStringToCp932(button->text()) != st.Text) {
          button->setText(Cp932ToQString(st.Text));
        }
        break;
      }
      default:
        break;
    }
    if (def.Kind != ControlKind::TabPage && def.Kind != ControlKind::TabControl) {
      widget->setEnabled(st.Enabled);
    }
    ApplyColor(widget, def.Kind, st.Color);
  }
  FrequencyGridWidget* grid = Grid();
  for (int row = 0; row < kGridRows; ++row) {
    for (int col = 0; col < kGridCols; ++col) {
      grid->SetCellText(row, col, Cp932ToQString(form_.Grid[row][col]));
    }
  }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched == Control("XrpEdit")) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      XrpEditKeyPress(watched, '\r');
    }
    return QMainWindow::eventFilter(watched, event);  // the field still receives the key
  }
  // A case file dragged over a field or the grid opens in the window rather than dropping
  // its name into the text.
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (!DroppedCaseFile(drag->mimeData()).isEmpty()) {
        drag->acceptProposedAction();
        return true;
      }
      break;
    }
    case QEvent::Drop:
      if (TakeDroppedCaseFile(static_cast<QDropEvent*>(event))) return true;
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void Form1::CalcGoButtonClick() { RunCalculation(); }

void Form1::XrpEditKeyPress(QObject* /*sender*/, char key) {
  if (key == '\r') {
    RunCalculation();
  }
}

void Form1::PHrHmCheckBoxClick() {
  ReadWidgets();
  vmk::PHrHmCheckBoxClick(form_);
  WriteWidgets();
}

void Form1::NOxTrnCheckBoxClick() {
  ReadWidgets();
  vmk::NOxTrnCheckBoxClick(form_);
  WriteWidgets();
}

void Form1::RunCalculation() {
  ReadWidgets();
  CalcSettings settings;  // the report folder stays the default one
  settings.DecimalSep = QStringToCp932(QLocale().decimalPoint());
  const Cp932 memoBefore = form_.Text("memoOption");
  CalcOutcome outcome;
  try {
    outcome = vmk::RunCalculation(form_, *state_, settings);
  } catch (const std::exception& error) {
    // The command reports its own failures in the outcome; anything that still escapes it
    // ends the calculation the same way instead of leaving through the event loop.
    outcome.MessageBox = Utf8ToCp932(error.what()) + ".";
  }
  WriteWidgets();
  // The version query rewrites the memo, which a case file holds.
  if (form_.Text("memoOption") != memoBefore) MarkEdited();
  UpdateProfile(outcome, settings.DecimalSep);
  if (outcome.MessageBox) {
    ShowErrorBox(*outcome.MessageBox);
  }
  if (outcome.Rejected) ShowRejectedInput(*outcome.Rejected);
}

// After the calculation, never inside it: the profile reruns the model at every distance
// for the inputs the calculation validated.
void Form1::UpdateProfile(const CalcOutcome& outcome, const std::string& sep) {
  if (outcome.NormalResult) {
    profile_->ShowProfile(state_->Params, state_->TotalConc, sep);
  } else {
    profile_->ShowNothing();
  }
}

void Form1::ShowErrorBox(const Cp932& text) {
  QString title = QCoreApplication::applicationName();
  if (title.isEmpty()) {
    title = Utf8ToQString(kApplicationTitle);
  }
  QMessageBox box(QMessageBox::Critical, title, Cp932ToQString(text), QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("ErrorMessageBox"));
  box.exec();
}

// ---------------------------------------------------------------------------------------------
// The menu bar.

namespace {

// Every entry of the menu bar, menu by menu in order: a new command is one more row here (and
// its slot). Only `XrpEdit` and the calculate button start a calculation; no entry does.
const MenuItem kMenuItems[] = {
    {"ファイル(&F)", MenuItemKind::Command, "新規作成(&N)", "Ctrl+N", &Form1::NewCase, "NewCaseAction"},
    {"ファイル(&F)", MenuItemKind::Command, "開く(&O)...", "Ctrl+O", &Form1::OpenCase, "OpenCaseAction"},
    {"ファイル(&F)", MenuItemKind::Command, "上書き保存(&S)", "Ctrl+S", &Form1::SaveCase, "SaveCaseAction"},
    {"ファイル(&F)", MenuItemKind::Command, "名前を付けて保存(&A)...", "Ctrl+Shift+S", &Form1::SaveCaseAs,
     "SaveCaseAsAction"},
    {"ファイル(&F)", MenuItemKind::Separator},
    {"ファイル(&F)", MenuItemKind::Command, "気象統計から読み込む(&M)...", "", &Form1::ImportMetStats,
     "ImportMetStatsAction"},
#ifdef VMK_HAVE_SITE_WINDOW
    {"ファイル(&F)", MenuItemKind::Command, "サイト濃度分布(&D)...", "", &Form1::OpenSite, "OpenSiteAction"},
#endif
    {"ファイル(&F)", MenuItemKind::Separator},
    {"ファイル(&F)", MenuItemKind::RecentFiles, "最近使ったファイル(&R)"},
    {"ファイル(&F)", MenuItemKind::Separator},
    {"ファイル(&F)", MenuItemKind::Command, "終了(&X)", "", &Form1::CloseWindow, "ExitAction"},
    {"編集(&E)", MenuItemKind::Command, "コピー(&C)", "Ctrl+C", &Form1::CopyGridCells, "CopyCellsAction", true},
    {"編集(&E)", MenuItemKind::Command, "貼り付け(&P)", "Ctrl+V", &Form1::PasteGridCells, "PasteCellsAction",
     true},
    {"ヘルプ(&H)", MenuItemKind::Command, "バージョン情報(&A)", "", &Form1::ShowVersion, "VersionAction"},
};

}  // namespace

std::span<const MenuItem> MenuItems() { return kMenuItems; }

void Form1::BuildMenus() {
  std::map<std::string, QMenu*> menus;
  for (const MenuItem& item : MenuItems()) {
    QMenu*& menu = menus[item.Menu];
    if (menu == nullptr) menu = menuBar()->addMenu(QString::fromUtf8(item.Menu));
    switch (item.Kind) {
      case MenuItemKind::Separator:
        menu->addSeparator();
        break;
      case MenuItemKind::RecentFiles:
        recentMenu_ = menu->addMenu(QString::fromUtf8(item.Text));
        recentMenu_->setObjectName(QStringLiteral("RecentFilesMenu"));
        RebuildRecentMenu();
        break;
      case MenuItemKind::Command: {
        QAction* action = menu->addAction(QString::fromUtf8(item.Text));
        action->setObjectName(QString::fromUtf8(item.Name));
        if (*item.Shortcut != '\0') {
          action->setShortcut(QKeySequence(QString::fromUtf8(item.Shortcut)));
        }
        if (item.GridOnly) {
          // Copy and paste of cells belong to the grid: in a field (or a cell's editor) the
          // keys keep their usual meaning.
          action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
          Grid()->addAction(action);
        }
        const auto command = item.Command;
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
        break;
      }
    }
  }
}

void Form1::CloseWindow() { close(); }

void Form1::ShowVersion() {
  QMessageBox box(QMessageBox::Information, Utf8ToQString(kApplicationTitle),
                  Utf8ToQString(kApplicationTitle) + QStringLiteral("\nバージョン ") + Utf8ToQString(VersionStamp),
                  QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("VersionBox"));
  box.exec();
}

// ---------------------------------------------------------------------------------------------
// Case files, the title and unsaved edits.

QString DroppedCaseFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)) {
      return url.toLocalFile();
    }
  }
  return {};
}

void Form1::UpdateTitle() {
  QString title = Utf8ToQString(kWindowTitle);
  if (!casePath_.isEmpty()) title += QStringLiteral(" - ") + QFileInfo(casePath_).fileName();
  if (edited_) title += QStringLiteral(" *");
  setWindowTitle(title);
}

void Form1::MarkEdited() {
  if (edited_) return;
  edited_ = true;
  UpdateTitle();
}

bool Form1::MayDiscardEdits() {
  if (!edited_) return true;
  QMessageBox box(QMessageBox::Question, Utf8ToQString(kApplicationTitle), QStringLiteral("保存しますか?"),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  box.setObjectName(QStringLiteral("SaveQuestionBox"));
  box.setInformativeText(casePath_.isEmpty()
                             ? QStringLiteral("保存していない変更があります。")
                             : QStringLiteral("%1 に保存していない変更があります。")
                                   .arg(QFileInfo(casePath_).fileName()));
  box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
  box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
  box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return SaveOrAsk();
    case QMessageBox::No:
      return true;
    default:
      return false;
  }
}

bool Form1::SaveOrAsk() {
  QString path = casePath_;
  if (path.isEmpty()) {
    path = ChooseFile(true);
    if (path.isEmpty()) return false;
  }
  return SaveCaseFile(path);
}

QString Form1::ChooseOpenFile(const QString& suggested, const QString& caption, const QString& filter) {
  if (chooseFile_) return chooseFile_(false, suggested);
  return QFileDialog::getOpenFileName(this, caption, QFileInfo(suggested).path(), filter);
}

QString Form1::ChooseFile(bool forSave) {
  const QString suggested = casePath_.isEmpty() ? QDir::current().filePath(QStringLiteral("case.json"))
                                                : casePath_;
  const QString filter = QStringLiteral("ケースファイル (*.json);;すべてのファイル (*)");
  QString path;
  if (!forSave) {
    path = ChooseOpenFile(suggested, QStringLiteral("開く"), filter);
  } else if (chooseFile_) {
    path = chooseFile_(true, suggested);
  } else {
    path = QFileDialog::getSaveFileName(this, QStringLiteral("名前を付けて保存"), suggested, filter);
  }
  // A name typed without an extension is a case file.
  if (forSave && !path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".json");
  return path;
}

void Form1::NewCase() {
  if (!MayDiscardEdits()) return;
  ResetToStartup();
  casePath_.clear();
  edited_ = false;
  UpdateTitle();
}

void Form1::OpenCase() {
  if (!MayDiscardEdits()) return;
  const QString path = ChooseFile(false);
  if (!path.isEmpty()) OpenCaseFile(path);
}

void Form1::SaveCase() { SaveOrAsk(); }

void Form1::SaveCaseAs() {
  const QString path = ChooseFile(true);
  if (!path.isEmpty()) SaveCaseFile(path);
}

// The start-up form, as when the program starts. The calculation state is the program's for
// its whole run and stays as the last calculation left it, as it does when a user types the
// start-up values back by hand.
void Form1::ResetToStartup() {
  FrequencyGridWidget* grid = Grid();
  grid->FinishEditing();
  form_ = MakeStartupForm();
  WriteWidgets();
  profile_->ShowNothing();
}

void Form1::ShowFileProblem(const QString& text) {
  QMessageBox box(QMessageBox::Warning, Utf8ToQString(kApplicationTitle), text, QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("FileProblemBox"));
  box.exec();
}

bool Form1::OpenCaseFile(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  CaseFile file;
  try {
    file = ParseCaseFile(ReadCaseBytes(path.toStdString()));
  } catch (const CaseFileError& e) {
    ShowFileProblem(QStringLiteral("%1 を開けません:\n%2").arg(name, QString::fromUtf8(e.what())));
    return false;
  }
  if (file.IsArray) {
    ShowFileProblem(QStringLiteral("%1 を開けません:\n計算の並び (配列) のケースファイルです。"
                                   "ウィンドウで開けるのは一つのオブジェクトのファイルだけです"
                                   " (並びは vmk-calc で計算できます)。")
                        .arg(name));
    return false;
  }
  ResetToStartup();
  ApplyCaseStep(file.Steps.front(), form_);
  WriteWidgets();
  casePath_ = QFileInfo(path).absoluteFilePath();
  edited_ = false;
  AddRecentFile(casePath_);
  UpdateTitle();
  return true;
}

bool Form1::SaveCaseFile(const QString& path) {
  ReadWidgets();
  try {
    WriteFileAtomically(path.toStdString(), CaseFileText(form_));
  } catch (const FileWriteError& e) {
    ShowFileProblem(QStringLiteral("保存できませんでした (前のファイルはそのままです):\n") +
                    QString::fromUtf8(e.what()));
    return false;
  }
  casePath_ = QFileInfo(path).absoluteFilePath();
  edited_ = false;
  AddRecentFile(casePath_);
  UpdateTitle();
  return true;
}

void Form1::AddRecentFile(const QString& path) {
  recent_.removeAll(path);
  recent_.prepend(path);
  while (recent_.size() > kMaxRecentFiles) recent_.removeLast();
  RebuildRecentMenu();
}

void Form1::RebuildRecentMenu() {
  if (recentMenu_ == nullptr) return;
  recentMenu_->clear();
  if (recent_.isEmpty()) {
    recentMenu_->addAction(QStringLiteral("(なし)"))->setEnabled(false);
    return;
  }
  for (int i = 0; i < recent_.size(); ++i) {
    const QString path = recent_[i];
    QString text = QDir::toNativeSeparators(path);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* action = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(text));
    connect(action, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
  }
}

void Form1::ImportMetStats() {
  const QString path = ChooseOpenFile(QDir::current().filePath(QStringLiteral("met.json")),
                                      QStringLiteral("気象統計から読み込む"),
                                      QStringLiteral("気象統計ファイル (*.json);;すべてのファイル (*)"));
  if (!path.isEmpty()) ImportMetDirection(path, -1);
}

void Form1::OpenSite() {
#ifdef VMK_HAVE_SITE_WINDOW
  const QString path = ChooseOpenFile(QDir::current().filePath(QStringLiteral("site.json")),
                                      QStringLiteral("サイト濃度分布"),
                                      QStringLiteral("サイトファイル (*.json);;すべてのファイル (*)"));
  // A window of its own; this window and its inputs stay as they are.
  if (!path.isEmpty()) OpenSiteWindow(this, path);
#endif
}

bool Form1::ImportMetDirection(const QString& path, int direction) {
  const QString name = QFileInfo(path).fileName();
  MetStats stats;
  try {
    stats = ParseMetStats(ReadFileBytes(path.toStdString()));
  } catch (const std::exception& e) {  // unreadable, or not a met statistics file
    ShowFileProblem(QStringLiteral("%1 を読み込めません:\n%2").arg(name, QString::fromUtf8(e.what())));
    return false;
  }
  if (direction < 0) {
    direction = chooseDirection_ ? chooseDirection_(stats) : AskDirection(stats);
    if (direction < 0 || direction >= kDirections) return false;
  }
  ReadWidgets();
  ApplyMetDirection(stats, direction, form_);
  WriteWidgets();
  MarkEdited();
  return true;
}

// The list of the 16 directions with the hours of each, the one with the most hours first
// selected.
int Form1::AskDirection(const MetStats& stats) {
  QStringList items;
  int busiest = 0;
  int most = -1;
  for (int d = 0; d < kDirections; ++d) {
    const MetDirection& dir = stats.Directions[static_cast<std::size_t>(d)];
    if (TotalHours(dir) > most) {
      most = TotalHours(dir);
      busiest = d;
    }
    items << QStringLiteral("%1  %2  (弱風 %3 時間, 有風 %4 時間)")
                 .arg(Utf8ToQString(kDirectionNames[static_cast<std::size_t>(d)]), -3)
                 .arg(Utf8ToQString(kDirectionNamesJa[static_cast<std::size_t>(d)]))
                 .arg(TotalHours(dir.Weak))
                 .arg(WindyHours(dir));
  }
  bool ok = false;
  const QString chosen = QInputDialog::getItem(
      this, QStringLiteral("気象統計から読み込む"), QStringLiteral("風向 (風の吹いてくる方向):"),
      items, busiest, false, &ok);
  return ok ? static_cast<int>(items.indexOf(chosen)) : -1;
}

void Form1::OpenRecentFile(const QString& path) {
  if (!MayDiscardEdits()) return;
  if (!OpenCaseFile(path) && !QFileInfo::exists(path)) {
    recent_.removeAll(path);  // gone: the list keeps only files that can be opened
    RebuildRecentMenu();
  }
}

void Form1::OpenDroppedFile(const QString& path) {
  // After the drop has ended: the question and the message boxes are modal, and the program
  // the file came from waits for the drop to finish.
  QTimer::singleShot(0, this, [this, path] {
    if (MayDiscardEdits()) OpenCaseFile(path);
  });
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedCaseFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) { TakeDroppedCaseFile(event); }

bool Form1::TakeDroppedCaseFile(QDropEvent* event) {
  const QString path = DroppedCaseFile(event->mimeData());
  if (path.isEmpty()) return false;
  event->acceptProposedAction();
  OpenDroppedFile(path);
  return true;
}

void Form1::closeEvent(QCloseEvent* event) {
  if (MayDiscardEdits()) {
    event->accept();
  } else {
    event->ignore();
  }
}

// ---------------------------------------------------------------------------------------------
// Copy and paste of the grid's cells.

void Form1::CopyGridCells() {
  FrequencyGridWidget* grid = Grid();
  grid->CommitOpenEditor();
  int top = kGridInputFirstRow;
  int left = kGridInputFirstCol;
  int bottom = kGridInputLastRow;
  int right = kGridInputLastCol;
  const QList<QTableWidgetSelectionRange> ranges = grid->selectedRanges();
  if (!ranges.isEmpty()) {
    top = ranges.front().topRow();
    left = ranges.front().leftColumn();
    bottom = ranges.front().bottomRow();
    right = ranges.front().rightColumn();
  }
  TextBlock block;
  for (int row = top; row <= bottom; ++row) {
    block.emplace_back();
    for (int col = left; col <= right; ++col) block.back().push_back(grid->CellText(row, col).toStdString());
  }
  QApplication::clipboard()->setText(QString::fromStdString(TabSeparatedText(block)));
}

void Form1::PasteGridCells() {
  FrequencyGridWidget* grid = Grid();
  grid->FinishEditing();
  const QByteArray text = QApplication::clipboard()->text().toUtf8();
  const std::string_view utf8(text.constData(), static_cast<std::size_t>(text.size()));
  const GridPaste paste = PlanGridPaste(utf8, grid->currentRow(), grid->currentColumn());
  if (!paste.Problem.empty()) {
    QMessageBox box(QMessageBox::Warning, Utf8ToQString(kApplicationTitle), QString::fromStdString(paste.Problem),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("PasteProblemBox"));
    box.exec();
    return;
  }
  bool changed = false;
  int bottom = grid->currentRow();
  int right = grid->currentColumn();
  for (const GridCellText& cell : paste.Cells) {
    const QString value = QString::fromStdString(cell.Text);
    changed = changed || grid->CellText(cell.Row, cell.Col) != value;
    grid->SetCellText(cell.Row, cell.Col, value);
    bottom = std::max(bottom, cell.Row);
    right = std::max(right, cell.Col);
  }
  grid->clearSelection();
  const QTableWidgetSelectionRange pasted(grid->currentRow(), grid->currentColumn(), bottom, right);
  grid->setRangeSelected(pasted, true);
  if (changed) MarkEdited();
}

// ---------------------------------------------------------------------------------------------
// The input that stopped a calculation: its page shown, the focus in it with its text
// selected, and the accepted range in a tooltip. The status line keeps its message.

namespace {

// Shows the tip with its top-left corner beside the right edge of `area` (global coordinates),
// level with its top: below the field it would hide the status line or the next fields. The
// tooltip puts itself a mouse cursor's height below the point it is given.
void ShowTipBeside(const QRect& area, const QString& tip, QWidget* owner) {
  constexpr int kGap = 4;
  constexpr int kCursorHeight = 16;
  QToolTip::showText(QPoint(area.right() + kGap - 2, area.top() - kCursorHeight), tip, owner);
}

}  // namespace

void Form1::ShowRejectedInput(const RejectedInput& rejected) {
  const QString tip = QString::fromStdString(AcceptedRangeTip(rejected, form_));
  const ControlDef* def = FindControl(rejected.Control);
  if (def == nullptr) return;
  if (def->Parent != ControlParent::Window && def->Parent != ControlParent::TabControl) {
    Tabs()->setCurrentWidget(Control(PageName(def->Parent)));
  }
  if (def->Kind == ControlKind::Grid) {
    FrequencyGridWidget* grid = Grid();
    QTableWidgetItem* item = grid->item(rejected.Row, rejected.Col);
    grid->setFocus(Qt::OtherFocusReason);
    grid->setCurrentCell(rejected.Row, rejected.Col);
    grid->scrollToItem(item);
    grid->editItem(item);
    if (auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()))) editor->selectAll();
    const QRect cell = grid->visualItemRect(item);
    ShowTipBeside(QRect(grid->viewport()->mapToGlobal(cell.topLeft()), cell.size()), tip, grid->viewport());
    return;
  }
  auto* edit = ControlAs<QLineEdit>(rejected.Control);
  if (edit == nullptr) return;
  if (edit->isEnabled()) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
  }
  ShowTipBeside(QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()), tip, edit);
}

}  // namespace vmk
