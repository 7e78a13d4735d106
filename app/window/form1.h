// The main window `Form1`: a thin view over the form record. It builds its widgets from the
// layout table, copies them into the form record before a calculation or a check-box
// handler and copies the record back into them afterwards. Everything the window shows is
// decided by the plain code behind the record.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include <QWidget>

#include "app/command/calculation.h"
#include "form/form_record.h"
#include "app/command/calc_state.h"

class QTabWidget;

namespace vmk {

class FrequencyGridWidget;
class ProfilePage;

// Texts between the form record (code page 932) and Qt.
QString ToQString(std::string_view cp932);
Cp932 ToCp932(const QString& text);

// The colour of a classic system colour, as this window paints it.
QColor SystemColour(SysColor colour);

class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  // The widget of a control of the layout, by its name; nullptr for an unknown name.
  QWidget* Control(std::string_view name) const;
  template <class W>
  W* ControlAs(std::string_view name) const {
    return qobject_cast<W*>(Control(name));
  }
  QTabWidget* Tabs() const;
  FrequencyGridWidget* Grid() const;
  // The fourth tab page, behind the layout's three: the distance profile of the last result.
  ProfilePage* ProfileSheet() const { return profile_; }

  // The process-wide records of this run of the program.
  const FormRecord& Form() const { return form_; }
  const CalcState& State() const { return state_; }

  // Widgets -> form record (edit texts, check marks, grid cells).
  void ReadWidgets();
  // Form record -> widgets (texts, captions, check marks, enabled states, colours, cells).
  void WriteWidgets();

 public slots:
  void CalcGoButtonClick();
  void PHrHmCheckBoxClick();
  void NOxTrnCheckBoxClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ChainTabOrder();
  void AddProfilePage();
  void UpdateProfile(const CalcOutcome& outcome, const std::string& sep);
  void XrpEditKeyPress(QObject* sender, char key);
  void RunCalculation();
  void ShowErrorBox(const Cp932& text);
  QWidget* ParentWidget(ControlParent parent) const;

  FormRecord form_;
  CalcState state_;
  std::map<std::string, QWidget*, std::less<>> controls_;
  ProfilePage* profile_ = nullptr;  // not a control of the layout, so not in `controls_`
};

}  // namespace vmk
