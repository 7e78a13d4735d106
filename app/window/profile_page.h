// The window's fourth tab page " 距離分布 ": the concentration along the wind direction for the
// inputs of the last calculation, drawn on a log scale of the distance, with the receptor and
// the maximum marked and the maximum written out below the chart. A view of a computed
// result only: it holds no input and is not one of the layout's controls.
#pragma once

#include <string>
#include <utility>

#include <QString>
#include <QWidget>

#include "input/model_parameters.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QLogValueAxis;
class QScatterSeries;
class QValueAxis;

namespace vmk {

inline constexpr char kProfilePageName[] = "ProfileSheet";
inline constexpr char kProfilePageCaption[] = " 距離分布 ";
inline constexpr float kProfileFrom = 10.0f;     // m
inline constexpr float kProfileTo = 20000.0f;    // m
inline constexpr int kProfilePoints = 200;

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
};

}  // namespace vmk
