#include "app/window/form1.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
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
#include "app/window/manual_window.h"
#include "app/window/profile_page.h"
#include "app/window/qt_text.h"
#ifdef VMK_HAVE_SITE_WINDOW
#include "app/window/site_editor.h"
#include "app/window/site_window.h"
#endif
#include "app/window/window_fonts.h"

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

QColor ToQColor(PlotColor c) { return QColor(c.R, c.G, c.B); }

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

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
  setObjectName(Utf8ToQString(kFormName));
  setFont(ControlFont());
  fe_.Settings.DecimalSep = QStringToCp932(QLocale().decimalPoint());  // the report keeps "."
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("ClientArea"));
  client_->setFixedSize(kFormClientWidth, kFormClientHeight);
  setCentralWidget(client_);
  BuildControls();
  AddMarkLabels();
  AddProfilePage();
  ChainTabOrder();
  InstallHooks();  // before the menus: they leave out what the window has no hook for
  BuildMenus();
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::Edit) Control(def.Name)->installEventFilter(this);  // Enter, drops
  }
  Grid()->viewport()->installEventFilter(this);
  // The window is as large as the menu bar and the layout's client area, no larger.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setAcceptDrops(true);
  ShowAll(fe_);
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
        const std::string_view name = def.Name;
        connect(edit, &QLineEdit::textEdited, this, [this, edit, name] {
          if (IsNumericField(name)) ConvertToHalfWidth(edit);
          FieldTyped(fe_, name);
        });
        widget = edit;
        break;
      }
      case ControlKind::CheckBox: {
        auto* box = new QCheckBox(parent);
        const std::string_view name = def.Name;
        connect(box, &QCheckBox::clicked, this, [this, name] { CheckBoxClicked(fe_, name); });
        widget = box;
        break;
      }
      case ControlKind::Button: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        const std::string_view name = def.Name;
        connect(button, &QPushButton::clicked, this, [this, name] { ButtonClicked(fe_, name); });
        widget = button;
        break;
      }
      case ControlKind::Grid: {
        auto* grid = new FrequencyGridWidget(parent);
        connect(grid, &FrequencyGridWidget::CellEdited, this, [this] { CellEdited(fe_); });
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

// The marks' labels: empty and hidden until the frontend shows a mark.
void Form1::AddMarkLabels() {
  for (const vmk::MarkLabel& def : MarkLabels()) {
    auto* label = new QLabel(ParentWidget(def.Parent));
    label->setObjectName(Utf8ToQString(def.Name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(ControlFont());
    label->setGeometry(def.Left, def.Top, def.Width, def.Height);
    SetPaletteColor(label, QPalette::WindowText,
                    ToQColor(def.Name == kHoursWarningLabel.Name ? kWarningTextColor : kStaleTextColor));
    label->hide();
    marks_.emplace(std::string(def.Name), label);
  }
}

ManualWindow* Form1::Manual() const { return manual_; }

QLabel* Form1::MarkLabel(std::string_view name) const {
  const auto it = marks_.find(name);
  return it == marks_.end() ? nullptr : it->second;
}

void Form1::ShowMarks(const WindowMarks& marks) {
  const auto show = [this](std::string_view name, const std::string& text) {
    QLabel* label = MarkLabel(name);
    label->setText(Utf8ToQString(text));
    label->setVisible(!text.empty());
  };
  show(kQhStaleLabel.Name, marks.StaleNote);
  show(kConcStaleLabel.Name, marks.StaleNote);
  show(kHoursWarningLabel.Name, marks.HoursWarning);
  // The result labels keep their texts; only their colour says that they are stale.
  const QColor text = marks.ResultsStale ? ToQColor(kStaleTextColor)
                                         : QApplication::palette().color(QPalette::Active, QPalette::WindowText);
  for (const std::string_view name : kResultLabels) SetPaletteColor(Control(name), QPalette::WindowText, text);
}

// The profile page goes behind the layout's pages, so that their order and places stay.
void Form1::AddProfilePage() {
  profile_ = new ProfilePage();
  SetPaletteColor(profile_, QPalette::Window, SystemColor(SysColor::ButtonFace));
  profile_->setAutoFillBackground(true);
  connect(profile_, &ProfilePage::ExportClicked, this, [this] { ExportProfile(fe_); });
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
    if (!fe_.Form.Has(def.Name)) {
      continue;
    }
    ControlState& st = fe_.Form[def.Name];
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
      fe_.Form.Grid[row][col] = QStringToCp932(grid->CellText(row, col));
    }
  }
}

void Form1::WriteWidgets() {
  for (const ControlDef& def : FormLayout()) {
    if (!fe_.Form.Has(def.Name)) {
      continue;
    }
    const ControlState& st = fe_.Form[def.Name];
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
      grid->SetCellText(row, col, Cp932ToQString(fe_.Form.Grid[row][col]));
    }
  }
}

namespace {

// Shows the tip with its top-left corner beside the right edge of `area` (global coordinates),
// level with its top: below the field it would hide the status line or the next fields. The
// tooltip puts itself a mouse cursor's height below the point it is given.
void ShowTipBeside(const QRect& area, const QString& tip, QWidget* owner) {
  constexpr int kGap = 4;
  constexpr int kCursorHeight = 16;
  QToolTip::showText(QPoint(area.right() + kGap - 2, area.top() - kCursorHeight), tip, owner);
}

QString ToQString(const std::string& utf8) { return Utf8ToQString(utf8); }
std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Critical:
      break;
  }
  return QMessageBox::Critical;
}

QMessageBox::StandardButton BoxButton(SaveAnswer answer) {
  switch (answer) {
    case SaveAnswer::Save:
      return QMessageBox::Yes;
    case SaveAnswer::Discard:
      return QMessageBox::No;
    case SaveAnswer::Cancel:
      break;
  }
  return QMessageBox::Cancel;
}

}  // namespace

// The frontend's hooks: Qt's dialogs, message boxes and widgets.
void Form1::InstallHooks() {
  WindowHooks& h = fe_.Hooks;
  h.AskSave = [this](const SaveQuestion& q) {
    QMessageBox box(QMessageBox::Question, ToQString(q.Title), ToQString(q.Text), QMessageBox::NoButton, this);
    box.setObjectName(ToQString(q.Name));
    box.setInformativeText(ToQString(q.Informative));
    for (const auto& [answer, text] : q.Buttons) {
      box.addButton(BoxButton(answer))->setText(ToQString(text));
    }
    box.setDefaultButton(BoxButton(q.Default));
    box.setEscapeButton(BoxButton(q.Escape));
    const int pressed = box.exec();
    for (const auto& [answer, text] : q.Buttons) {
      if (pressed == BoxButton(answer)) return answer;
    }
    return q.Escape;
  };
  h.ChooseFile = [this](const FileDialog& d) {
    QStringList filters;
    for (const FileFilter& f : d.Filters) filters << ToQString(FilterLabel(f));
    QString chosenFilter = filters.value(0);
    const QString suggested = ToQString(d.Suggested);
    const QString path =
        d.ForSave ? QFileDialog::getSaveFileName(this, ToQString(d.Caption), suggested, filters.join(QStringLiteral(";;")),
                                                 &chosenFilter)
                  : QFileDialog::getOpenFileName(this, ToQString(d.Caption), QFileInfo(suggested).path(),
                                                 filters.join(QStringLiteral(";;")), &chosenFilter);
    return FileChoice{ToUtf8(path), std::max(0, static_cast<int>(filters.indexOf(chosenFilter)))};
  };
  h.ChooseDirection = [this](const DirectionQuestion& q) {
    QStringList items;
    for (const std::string& item : q.Items) items << ToQString(item);
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(this, ToQString(q.Title), ToQString(q.Label), items, q.Preselected, false, &ok);
    return ok ? static_cast<int>(items.indexOf(chosen)) : -1;
  };
  h.ShowMessage = [this](const MessageText& m) {
    QMessageBox box(BoxIcon(m.Icon), ToQString(m.Title), ToQString(m.Text), QMessageBox::Ok, this);
    box.setObjectName(ToQString(m.Name));
    box.exec();
  };
  h.ReadWidgets = [this] { ReadWidgets(); };
  h.WriteWidgets = [this] { WriteWidgets(); };
  h.EndEditing = [this] { Grid()->FinishEditing(); };
  h.SetTitle = [this](const std::string& title) { setWindowTitle(ToQString(title)); };
  h.SetRecentMenu = [this](const std::vector<RecentMenuEntry>& entries) { SetRecentMenu(entries); };
  h.Close = [this] { close(); };
  h.ShowProfile = [this](const ProfileView& view) { profile_->Show(view); };
  h.ShowRejectedInput = [this](const RejectedInputView& view) { ShowRejectedInput(view); };
  h.ShowMarks = [this](const WindowMarks& marks) { ShowMarks(marks); };
  h.ReadClipboard = [] { return ToUtf8(QApplication::clipboard()->text()); };
  h.WriteClipboard = [](const std::string& text) { QApplication::clipboard()->setText(ToQString(text)); };
  h.ReadGridSelection = [this] {
    FrequencyGridWidget* grid = Grid();
    GridSelection selection{grid->currentRow(), grid->currentColumn(), std::nullopt};
    const QList<QTableWidgetSelectionRange> ranges = grid->selectedRanges();
    if (!ranges.isEmpty()) {
      const QTableWidgetSelectionRange& r = ranges.front();
      selection.Selected = GridRange{r.topRow(), r.leftColumn(), r.bottomRow(), r.rightColumn()};
    }
    return selection;
  };
  h.SelectCells = [this](const GridRange& r) {
    FrequencyGridWidget* grid = Grid();
    grid->clearSelection();
    grid->setRangeSelected(QTableWidgetSelectionRange(r.Top, r.Left, r.Bottom, r.Right), true);
  };
#ifdef VMK_HAVE_SITE_WINDOW
  h.OpenSite = [this](const std::string& path) { OpenSiteWindow(this, ToQString(path)); };
  h.EditSite = [this] { OpenSiteEditor(this); };
#endif
  h.OpenManual = [this](const std::string& indexPath) {
    if (manual_ == nullptr) manual_ = new ManualWindow(this);
    manual_->ShowPage(ToQString(indexPath));
  };
}

bool Form1::OpenCaseFile(const QString& path) { return vmk::OpenCaseFile(fe_, ToUtf8(path)); }

void Form1::SetFileChooser(FileChooser chooser) {
  fe_.Hooks.ChooseFile = [chooser = std::move(chooser)](const FileDialog& d) {
    return FileChoice{ToUtf8(chooser(d.ForSave, ToQString(d.Suggested))), 0};
  };
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      EnterPressed(fe_, ToUtf8(watched->objectName()));
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

// ---------------------------------------------------------------------------------------------
// The menu bar, from the menu table.

void Form1::BuildMenus() {
  std::map<std::string_view, QMenu*> menus;
  for (const std::string_view caption : MenuCaptions()) {
    menus[caption] = menuBar()->addMenu(Utf8ToQString(caption));
  }
  for (const MenuItem& item : MenuItems()) {
    QMenu* menu = menus[item.Menu];
    switch (item.Kind) {
      case MenuItemKind::Separator:
        menu->addSeparator();
        break;
      case MenuItemKind::RecentFiles:
        recentMenu_ = menu->addMenu(Utf8ToQString(item.Text));
        recentMenu_->setObjectName(Utf8ToQString(item.Name));
        break;
      case MenuItemKind::Command: {
        if (!CommandAvailable(fe_, item.Command)) break;
        QAction* action = menu->addAction(Utf8ToQString(item.Text));
        action->setObjectName(Utf8ToQString(item.Name));
        if (!item.Shortcut.empty()) action->setShortcut(QKeySequence(Utf8ToQString(item.Shortcut)));
        if (item.GridOnly) {
          // Copy and paste of cells belong to the grid: in a field (or a cell's editor) the
          // keys keep their usual meaning.
          action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
          Grid()->addAction(action);
        }
        const MenuCommand command = item.Command;
        connect(action, &QAction::triggered, this, [this, command] { Execute(fe_, command); });
        break;
      }
    }
  }
}

void Form1::SetRecentMenu(const std::vector<RecentMenuEntry>& entries) {
  if (recentMenu_ == nullptr) return;
  recentMenu_->clear();
  for (const RecentMenuEntry& entry : entries) {
    QAction* action = recentMenu_->addAction(ToQString(entry.Text));
    action->setEnabled(entry.Enabled);
    if (entry.Path.empty()) continue;
    const std::string path = entry.Path;
    connect(action, &QAction::triggered, this, [this, path] { OpenRecentFile(fe_, path); });
  }
}

// ---------------------------------------------------------------------------------------------
// Dropped files and closing.

QString DroppedCaseFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  std::vector<std::string> paths;
  for (const QUrl& url : mime->urls()) paths.push_back(url.isLocalFile() ? ToUtf8(url.toLocalFile()) : std::string());
  return ToQString(DroppedCaseFile(paths));
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedCaseFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) { TakeDroppedCaseFile(event); }

bool Form1::TakeDroppedCaseFile(QDropEvent* event) {
  const QString path = DroppedCaseFile(event->mimeData());
  if (path.isEmpty()) return false;
  event->acceptProposedAction();
  // After the drop has ended: the question and the message boxes are modal, and the program
  // the file came from waits for the drop to finish.
  QTimer::singleShot(0, this, [this, file = ToUtf8(path)] { OpenDroppedFile(fe_, file); });
  return true;
}

void Form1::closeEvent(QCloseEvent* event) {
  if (MayClose(fe_)) {
    event->accept();
  } else {
    event->ignore();
  }
}

// ---------------------------------------------------------------------------------------------
// The input that stopped a calculation: its page shown, the focus in it with its text
// selected, and the accepted range in a tooltip. The status line keeps its message.

void Form1::ShowRejectedInput(const RejectedInputView& view) {
  const QString tip = ToQString(view.Tip);
  if (!view.Page.empty()) Tabs()->setCurrentWidget(Control(view.Page));
  if (view.Kind == ControlKind::Grid) {
    FrequencyGridWidget* grid = Grid();
    QTableWidgetItem* item = grid->item(view.Row, view.Col);
    grid->setFocus(Qt::OtherFocusReason);
    grid->setCurrentCell(view.Row, view.Col);
    grid->scrollToItem(item);
    grid->editItem(item);
    if (auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()))) editor->selectAll();
    const QRect cell = grid->visualItemRect(item);
    ShowTipBeside(QRect(grid->viewport()->mapToGlobal(cell.topLeft()), cell.size()), tip, grid->viewport());
    return;
  }
  auto* edit = ControlAs<QLineEdit>(view.Control);
  if (edit == nullptr) return;
  if (view.Focus) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
  }
  ShowTipBeside(QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()), tip, edit);
}

}  // namespace vmk
