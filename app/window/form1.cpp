#include "app/window/form1.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "app/window/frequency_grid_widget.h"
#include "app/window/profile_page.h"
#include "app/window/window_fonts.h"

namespace vmk {

QString ToQString(std::string_view cp932) {
  const std::string utf8 = Cp932ToUtf8(cp932);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Cp932 ToCp932(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QColor SystemColour(SysColor colour) {
  const QPalette system = QApplication::palette();
  switch (colour) {
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

QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

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

void SetPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette pal = widget->palette();
  if (pal.color(QPalette::Active, role) == colour && pal.color(QPalette::Disabled, role) == colour &&
      pal.color(QPalette::Inactive, role) == colour) {
    return;
  }
  pal.setColor(role, colour);  // every colour group: disabled fields keep the colour too
  widget->setPalette(pal);
}

// The background colour of a control: the base of an edit field, the filled background of a
// label. `None` leaves a label transparent and an edit field in the window colour.
void ApplyColour(QWidget* widget, ControlKind kind, SysColor colour) {
  switch (kind) {
    case ControlKind::Edit:
      SetPaletteColour(widget, QPalette::Base,
                       SystemColour(colour == SysColor::None ? SysColor::Window : colour));
      break;
    case ControlKind::Label:
      if (colour == SysColor::None) {
        widget->setAutoFillBackground(false);
      } else {
        SetPaletteColour(widget, QPalette::Window, SystemColour(colour));
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

Form1::Form1(QWidget* parent) : QWidget(parent), form_(MakeStartupForm()) {
  setObjectName(FromUtf8(kFormName));
  setWindowTitle(FromUtf8(kWindowTitle));
  setFont(ControlFont());
  setFixedSize(kFormClientWidth, kFormClientHeight);
  BuildControls();
  AddProfilePage();
  ChainTabOrder();
  WriteWidgets();
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
      return const_cast<Form1*>(this);
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
      tabs->setObjectName(FromUtf8(def.Name));
    }
  }
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::TabPage) {
      auto* page = new QWidget();
      page->setObjectName(FromUtf8(def.Name));
      // A page is button face, like the window around it, so that white captions stand out.
      SetPaletteColour(page, QPalette::Window, SystemColour(SysColor::ButtonFace));
      page->setAutoFillBackground(true);
      Tabs()->addTab(page, FromUtf8(def.Text));
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
        label->setAlignment(((def.Flags & kCentred) != 0 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
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
        if (def.Name == "XrpEdit") {
          edit->installEventFilter(this);  // `XrpEditKeyPress`
        }
        widget = edit;
        break;
      }
      case ControlKind::CheckBox: {
        auto* box = new QCheckBox(parent);
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
      case ControlKind::Grid:
        widget = new FrequencyGridWidget(parent);
        break;
    }
    widget->setObjectName(FromUtf8(def.Name));
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
  SetPaletteColour(profile_, QPalette::Window, SystemColour(SysColor::ButtonFace));
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
        st.Text = ToCp932(ControlAs<QLineEdit>(def.Name)->text());
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
      form_.Grid[row][col] = ToCp932(grid->CellText(row, col));
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
        if (ToCp932(edit->text()) != st.Text) {
          edit->setText(ToQString(st.Text));
        }
        break;
      }
      case ControlKind::Label: {
        auto* label = static_cast<QLabel*>(widget);
        if (ToCp932(label->text()) != st.Text) {
          label->setText(ToQString(st.Text));
          FitLabel(label, def);
        }
        break;
      }
      case ControlKind::CheckBox: {
        auto* box = static_cast<QCheckBox*>(widget);
        if (ToCp932(box->text()) != st.Text) {
          box->setText(ToQString(st.Text));
          FitCaption(box, def);
        }
        box->setChecked(st.Checked);
        break;
      }
      case ControlKind::Button: {
        auto* button = static_cast<QPushButton*>(widget);
        if (ToCp932(button->text()) != st.Text) {
          button->setText(ToQString(st.Text));
        }
        break;
      }
      default:
        break;
    }
    if (def.Kind != ControlKind::TabPage && def.Kind != ControlKind::TabControl) {
      widget->setEnabled(st.Enabled);
    }
    ApplyColour(widget, def.Kind, st.Color);
  }
  FrequencyGridWidget* grid = Grid();
  for (int row = 0; row < kGridRows; ++row) {
    for (int col = 0; col < kGridCols; ++col) {
      grid->SetCellText(row, col, ToQString(form_.Grid[row][col]));
    }
  }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched == Control("XrpEdit")) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      XrpEditKeyPress(watched, '\r');
    }
  }
  return QWidget::eventFilter(watched, event);  // the field still receives the key
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
  settings.DecimalSep = ToCp932(QLocale().decimalPoint());
  CalcOutcome outcome;
  try {
    outcome = vmk::RunCalculation(form_, state_, settings);
  } catch (const std::exception& error) {
    // The command reports its own failures in the outcome; anything that still escapes it
    // ends the calculation the same way instead of leaving through the event loop.
    outcome.MessageBox = Utf8ToCp932(error.what()) + ".";
  }
  WriteWidgets();
  UpdateProfile(outcome, settings.DecimalSep);
  if (outcome.MessageBox) {
    ShowErrorBox(*outcome.MessageBox);
  }
}

// After the calculation, never inside it: the profile reruns the model at every distance
// for the inputs the calculation validated.
void Form1::UpdateProfile(const CalcOutcome& outcome, const std::string& sep) {
  if (outcome.NormalResult) {
    profile_->ShowProfile(state_.Params, state_.TotalConc, sep);
  } else {
    profile_->ShowNothing();
  }
}

void Form1::ShowErrorBox(const Cp932& text) {
  QString title = QCoreApplication::applicationName();
  if (title.isEmpty()) {
    title = FromUtf8(kApplicationTitle);
  }
  QMessageBox box(QMessageBox::Critical, title, ToQString(text), QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("ErrorMessageBox"));
  box.exec();
}

}  // namespace vmk
