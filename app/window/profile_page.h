// The window's fourth tab page " 距離分布 ": the concentration along the wind direction for the
// inputs of the last calculation, drawn on a log scale of the distance, with the receptor and
// the maximum marked and the maximum written out below the chart. A view of a computed
// result only: it holds no input and is not one of the layout's controls.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include <QString>
#include <QWidget>

#include "input/model_parameters.h"
#include "model/profile.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QLogValueAxis;
class QPushButton;
class QScatterSeries;
class QValueAxis;

namespace vmk {

inline constexpr char kProfilePageName[] = "ProfileSheet";
inline constexpr char kProfilePageCaption[] = " 距離分布 ";

// The distance range of the profile: 10 m to 20 km, widened to take in the receptor distance.
std::pair<float, float> ProfileRange(float receptorR);

class ProfilePage : public QWidget {
  Q_OBJECT

 public:
  explicit ProfilePage(QWidget* parent = nullptr);

  // Draws the profile for the validated inputs of a calculation that ended normally, with
  // its receptor distance p.R at the concentration `totalConc` it showed. `sep` is the
  // decimal separator of the window's number texts.
  void ShowProfile(const ModelParameters& p, float totalConc, const std::string& sep);
  // Empties the chart: the last calculation has no result to draw.
  void ShowNothing();

  // Writes the profile shown to `path`: a PNG or SVG picture (the command line's plot) or the
  // CSV of vmk-calc --profile, as the name ends (.png, .svg, .csv, in any case). Returns why it
  // could not be written (one line), or an empty text when it was.
  QString ExportTo(const QString& path) const;
  // Asks for a file and exports to it (the button 保存...).
  void Export();
  QPushButton* ExportButton() const { return export_; }

  // Chooses the export file; an empty text when cancelled. The page uses a file dialog; the
  // tests put their own chooser here.
  using FileChooser = std::function<QString(const QString& suggested)>;
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

  // The parts of the page, for the tests and the documentation pictures.
  QChart* Chart() const { return chart_; }
  QLineSeries* Curve() const { return curve_; }
  QScatterSeries* ReceptorMark() const { return receptor_; }
  QScatterSeries* MaximumMark() const { return maximum_; }
  QLabel* Summary() const { return summary_; }

  static QString NothingText();  // " 計算結果がありません"

 private:
  QChart* chart_ = nullptr;
  QChartView* view_ = nullptr;
  QLineSeries* curve_ = nullptr;
  QScatterSeries* receptor_ = nullptr;
  QScatterSeries* maximum_ = nullptr;
  QLogValueAxis* axisR_ = nullptr;
  QValueAxis* axisC_ = nullptr;
  QLabel* summary_ = nullptr;
  QPushButton* export_ = nullptr;
  FileChooser chooseFile_;

  // What the chart shows, for the export.
  Profile profile_;
  float from_ = 0;
  float to_ = 0;
  std::pair<float, float> receptorPoint_;  // R and C of the calculation
};

}  // namespace vmk
