// The window's fourth tab page " 距離分布 ": the chart scene of the frontend's profile
// (app/frontend/profile_view.h) painted by the scene painter, fitted to the page, the line
// under it and the button 保存.... A view of a computed result only: it holds no input and is
// not one of the layout's controls.
#pragma once

#include <QWidget>

#include "app/frontend/profile_view.h"
#include "plot/scene.h"

class QLabel;
class QPushButton;

namespace vmk {

class ProfilePage : public QWidget {
  Q_OBJECT

 public:
  explicit ProfilePage(QWidget* parent = nullptr);

  // Shows the frontend's profile page: its chart, its line, 保存... enabled with a profile.
  void Show(const ProfileView& view);

  // The parts of the page, for the tests and the documentation pictures.
  QWidget* ChartView() const;
  QLabel* Summary() const { return summary_; }
  QPushButton* ExportButton() const { return export_; }
  const PlotScene& Scene() const;  // the chart's scene before it is fitted to the page

 signals:
  void ExportClicked();  // 保存...

 private:
  class ChartWidget;
  ChartWidget* view_ = nullptr;
  QLabel* summary_ = nullptr;
  QPushButton* export_ = nullptr;
};

}  // namespace vmk
