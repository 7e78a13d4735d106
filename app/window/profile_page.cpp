#include "app/window/profile_page.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

#include <QChart>
#include <QCoreApplication>
#include <QChartView>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QList>
#include <QLocale>
#include <QLogValueAxis>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QPen>
#include <QPointF>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include "app/window/form1.h"
#include "app/window/qt_text.h"
#include "app/window/window_fonts.h"
#include "casefile/profile_csv.h"
#include "common/atomic_file.h"
#include "common/numtext.h"
#include "model/profile.h"
#include "plot/picture_file.h"
#include "plot/profile_chart.h"

namespace vmk {

namespace {

// The unit as the window's result label states it: the page cannot know whether the
// emission was a gas volume (ppb) or a mass rate (ng/m3).
const QString kUnit = QStringLiteral("(ppb, ng/m3)");

// Four significant digits with the window's decimal separator (code page 932, as the form's).
QString GeneralText(long double x, const std::string& sep) { return Cp932ToQString(FormatGeneral(x, 4, sep)); }

}  // namespace

std::pair<float, float> ProfileRange(float receptorR) {
  return {std::min(kProfileFrom, receptorR), std::max(kProfileTo, receptorR)};
}

QString ProfilePage::NothingText() { return QStringLiteral(" 計算結果がありません"); }

ProfilePage::ProfilePage(QWidget* parent) : QWidget(parent) {
  setObjectName(QString::fromUtf8(kProfilePageName));
  const QFont font = ControlFont();
  setFont(font);

  chart_ = new QChart();
  // The legend names the two marks; the curve needs no entry.
  chart_->legend()->setAlignment(Qt::AlignTop);
  chart_->legend()->setFont(font);
  chart_->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
  chart_->setMargins(QMargins(4, 4, 12, 2));
  chart_->setBackgroundRoundness(0);
  chart_->setTitleFont(font);
  chart_->setLocalizeNumbers(true);  // the axes' numbers with the window's decimal separator
  chart_->setLocale(QLocale());

  curve_ = new QLineSeries(chart_);
  curve_->setObjectName(QStringLiteral("ProfileCurve"));
  QPen curvePen(QColor(0x1F, 0x4E, 0xA8));
  curvePen.setWidthF(1.8);
  curve_->setPen(curvePen);

  auto makeMark = [&](const char* name, QScatterSeries::MarkerShape shape, qreal size, const QColor& color) {
    auto* mark = new QScatterSeries(chart_);
    mark->setObjectName(QString::fromLatin1(name));
    mark->setMarkerShape(shape);
    mark->setMarkerSize(size);
    mark->setColor(color);
    mark->setBorderColor(color.darker(140));
    return mark;
  };
  // The receptor's square drawn over the larger circle of the maximum, so that both show
  // when the receptor lies at the maximum.
  maximum_ = makeMark("MaximumMark", QScatterSeries::MarkerShapeCircle, 11, QColor(0xD0, 0x30, 0x20));
  receptor_ = makeMark("ReceptorMark", QScatterSeries::MarkerShapeRectangle, 7, QColor(0x2E, 0x8B, 0x3A));

  chart_->addSeries(curve_);
  chart_->addSeries(maximum_);
  chart_->addSeries(receptor_);
  for (QLegendMarker* marker : chart_->legend()->markers(curve_)) {
    marker->setVisible(false);
  }

  axisR_ = new QLogValueAxis(chart_);
  axisR_->setBase(10);
  // The localised label formats want an explicit precision.
  axisR_->setLabelFormat(QStringLiteral("%.0f"));
  axisR_->setMinorTickCount(8);
  axisR_->setTitleText(QStringLiteral("R (m)"));
  axisC_ = new QValueAxis(chart_);
  axisC_->setLabelFormat(QStringLiteral("%.3g"));
  axisC_->setTitleText(QStringLiteral("C ") + kUnit);
  for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(axisR_), static_cast<QAbstractAxis*>(axisC_)}) {
    axis->setTitleFont(font);
    axis->setLabelsFont(font);
  }
  chart_->addAxis(axisR_, Qt::AlignBottom);
  chart_->addAxis(axisC_, Qt::AlignLeft);
  for (QXYSeries* series : {static_cast<QXYSeries*>(curve_), static_cast<QXYSeries*>(maximum_),
                            static_cast<QXYSeries*>(receptor_)}) {
    series->attachAxis(axisR_);
    series->attachAxis(axisC_);
  }

  view_ = new QChartView(chart_, this);  // takes the chart
  view_->setObjectName(QStringLiteral("ProfileChartView"));
  view_->setRenderHint(QPainter::Antialiasing);
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
  connect(export_, &QPushButton::clicked, this, &ProfilePage::Export);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 3);
  layout->setSpacing(2);
  layout->addWidget(view_, 1);
  auto* bottom = new QHBoxLayout();
  bottom->setContentsMargins(0, 0, 0, 0);
  bottom->addWidget(summary_, 1);
  bottom->addWidget(export_);
  layout->addLayout(bottom);

  ShowNothing();
}

void ProfilePage::ShowProfile(const ModelParameters& p, float totalConc, const std::string& sep) {
  const auto [from, to] = ProfileRange(p.R);
  Profile profile;
  try {
    profile = ComputeProfile(p, ProfileDistances(from, to, kProfilePoints, true));
  } catch (const std::exception&) {
    ShowNothing();
    return;
  }
  if (profile.Points.empty()) {
    ShowNothing();
    return;
  }
  // The search stops between two of the points: the receptor itself may lie a trifle higher.
  ProfilePoint top = profile.Max;
  if (totalConc > top.C) {
    top = ProfilePoint{p.R, totalConc, 0, 0};
  }

  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(profile.Points.size()));
  for (const ProfilePoint& pt : profile.Points) {
    points.append(QPointF(pt.R, pt.C));
  }
  curve_->replace(points);

  receptor_->replace(QList<QPointF>{QPointF(p.R, totalConc)});
  receptor_->setName(QStringLiteral("予測点 C = ") + GeneralText(totalConc, sep));
  const bool hasMaximum = top.C > 0;
  if (hasMaximum) {
    maximum_->replace(QList<QPointF>{QPointF(top.R, top.C)});
    maximum_->setName(QStringLiteral("最大 C = ") + GeneralText(top.C, sep));
  } else {
    maximum_->clear();  // zero everywhere: no place is the maximum
  }

  for (QLegendMarker* marker : chart_->legend()->markers(maximum_)) {
    marker->setVisible(hasMaximum);
  }

  axisR_->setRange(from, to);
  axisC_->setRange(0, hasMaximum ? top.C : 1.0f);
  axisC_->applyNiceNumbers();
  chart_->setTitle(QString());
  chart_->legend()->show();

  QString line = QStringLiteral(" 最大濃度 C = ") + GeneralText(top.C, sep) + QStringLiteral(" ") + kUnit;
  if (hasMaximum) {
    line += QStringLiteral("   距離 R = ") + GeneralText(top.R, sep) + QStringLiteral(" m");
    // A maximum on the range's first or last distance: the concentration may rise beyond it.
    if (top.R == profile.Points.front().R || top.R == profile.Points.back().R) {
      line += QStringLiteral("  (範囲の端: ピークは範囲の外かもしれません)");
    }
  }
  summary_->setText(line);

  profile_ = std::move(profile);
  from_ = from;
  to_ = to;
  receptorPoint_ = {p.R, totalConc};
  export_->setEnabled(true);
}

QString ProfilePage::ExportTo(const QString& path) const {
  if (profile_.Points.empty()) return QStringLiteral("保存する距離分布がありません。");
  const std::string file = path.toStdString();
  const std::optional<PictureKind> picture = PictureKindOf(file);
  const bool csv = QFileInfo(path).suffix().toLower() == QStringLiteral("csv");
  if (!csv && !picture) {
    return QStringLiteral("ファイル名の終わりを .png, .svg, .csv のどれかにしてください。");
  }
  if (picture == PictureKind::Png && !PngPicturesBuiltIn()) {
    return QStringLiteral("この版は PNG を書けません。SVG か CSV にしてください。");
  }
  try {
    if (csv) {
      WriteFileAtomically(file, ProfileCsvText(profile_));
      return {};
    }
    ProfilePlotInput in;
    in.Data = &profile_;
    in.From = from_;
    in.To = to_;
    in.LogScale = true;
    in.Receptor = receptorPoint_;
    std::string bytes;
    if (const auto problem = PictureBytes(BuildProfilePlot(in), *picture, bytes)) {
      return QString::fromStdString(*problem);
    }
    WriteFileAtomically(file, bytes);
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  }
  return {};
}

void ProfilePage::Export() {
  if (profile_.Points.empty()) return;
  const QString suggested = QStringLiteral("profile.png");
  QString path;
  if (chooseFile_) {
    path = chooseFile_(suggested);
  } else {
    QString filter;
    path = QFileDialog::getSaveFileName(this, QStringLiteral("距離分布を保存"), suggested,
                                        QStringLiteral("PNG 画像 (*.png);;SVG 画像 (*.svg);;CSV (*.csv)"),
                                        &filter);
    // A name typed without an extension takes the one of the chosen kind.
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
      path += filter.contains(QStringLiteral("*.svg"))   ? QStringLiteral(".svg")
              : filter.contains(QStringLiteral("*.csv")) ? QStringLiteral(".csv")
                                                         : QStringLiteral(".png");
    }
  }
  if (path.isEmpty()) return;
  const QString problem = ExportTo(path);
  if (problem.isEmpty()) return;
  QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                  QStringLiteral("保存できませんでした:\n") + problem, QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("ExportProblemBox"));
  box.exec();
}

void ProfilePage::ShowNothing() {
  profile_ = Profile{};
  export_->setEnabled(false);
  curve_->clear();
  receptor_->clear();
  maximum_->clear();
  axisR_->setRange(kProfileFrom, kProfileTo);
  axisC_->setRange(0, 1);
  axisC_->applyNiceNumbers();
  chart_->setTitle(NothingText().trimmed());
  chart_->legend()->hide();
  summary_->setText(NothingText());
}

}  // namespace vmk
