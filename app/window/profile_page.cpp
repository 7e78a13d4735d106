#include "app/window/profile_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/window/qt_text.h"
#include "app/window/window_fonts.h"
#include "plot/png/scene_painter.h"

namespace vmk {

// The chart: the scene fitted to the widget, painted as the PNG pictures are.
class ProfilePage::ChartWidget : public QWidget {
 public:
  explicit ChartWidget(QWidget* parent) : QWidget(parent) {}
  void SetScene(PlotScene scene) {
    scene_ = std::move(scene);
    update();
  }
  const PlotScene& Scene() const { return scene_; }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    const PlotScene fitted = FitScene(scene_, width(), height());
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(fitted.Background));
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    PaintScene(painter, fitted);
  }

 private:
  PlotScene scene_;
};

ProfilePage::ProfilePage(QWidget* parent) : QWidget(parent) {
  setObjectName(QString::fromUtf8(kProfilePageName));
  const QFont font = ControlFont();
  setFont(font);

  view_ = new ChartWidget(this);
  view_->setObjectName(QStringLiteral("ProfileChartView"));
  view_->setFocusPolicy(Qt::NoFocus);  // nothing to edit: Tab skips the page's contents

  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("ProfileSummaryLabel"));
  summary_->setTextFormat(Qt::PlainText);
  summary_->setFont(font);
  summary_->setFixedHeight(14);

  export_ = new QPushButton(QStringLiteral("保存..."), this);
  export_->setObjectName(QStringLiteral("ProfileExportButton"));
  export_->setFont(font);
  export_->setAutoDefault(false);
  export_->setFixedHeight(20);
  export_->setToolTip(QStringLiteral("距離分布を PNG・SVG の図、または CSV に保存します"));
  connect(export_, &QPushButton::clicked, this, &ProfilePage::ExportClicked);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 3);
  layout->setSpacing(2);
  layout->addWidget(view_, 1);
  auto* bottom = new QHBoxLayout();
  bottom->setContentsMargins(0, 0, 0, 0);
  bottom->addWidget(summary_, 1);
  bottom->addWidget(export_);
  layout->addLayout(bottom);

  Show(NoProfile());
}

void ProfilePage::Show(const ProfileView& view) {
  view_->SetScene(view.Scene);
  summary_->setText(Utf8ToQString(view.Summary));
  export_->setEnabled(view.HasProfile);
}

QWidget* ProfilePage::ChartView() const { return view_; }

const PlotScene& ProfilePage::Scene() const { return view_->Scene(); }

}  // namespace vmk
