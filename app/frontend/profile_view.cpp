#include "app/frontend/profile_view.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <tuple>

#include "casefile/profile_csv.h"
#include "common/atomic_file.h"
#include "common/cp932.h"
#include "common/numtext.h"
#include "plot/picture_file.h"
#include "plot/profile_chart.h"

namespace vmk {
namespace {

// The unit as the window's result label states it: the page cannot know whether the emission
// was a gas volume (ppb) or a mass rate (ng/m3).
constexpr char kUnit[] = "(ppb, ng/m3)";

// Four significant digits with the window's decimal separator.
std::string GeneralText(long double x, const std::string& sep) { return Cp932ToUtf8(FormatGeneral(x, 4, sep)); }

// The empty chart: white, with the page's words in the middle.
PlotScene NothingScene() {
  PlotScene scene;
  PlotText text;
  text.X = scene.Width / 2.0;
  text.Y = scene.Height / 2.0;
  std::string words(kProfileNothingText);
  text.Text = words.substr(words.find_first_not_of(' '));
  text.Size = 16;
  text.Anchor = TextAnchor::Middle;
  text.Color = {96, 96, 96};
  scene.Texts.push_back(text);
  return scene;
}

bool IsCsv(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find_first_of("/\\", dot) != std::string::npos) return false;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == "csv";
}

}  // namespace

std::pair<float, float> ProfileRange(float receptorR) {
  return {std::min(kProfileFrom, receptorR), std::max(kProfileTo, receptorR)};
}

ProfileView NoProfile() {
  ProfileView view;
  view.Summary = kProfileNothingText;
  view.Scene = NothingScene();
  return view;
}

ProfileView ProfileOf(const ModelParameters& p, float totalConc, const std::string& sep) {
  ProfileView view;
  std::tie(view.From, view.To) = ProfileRange(p.R);
  try {
    view.Data = ComputeProfile(p, ProfileDistances(view.From, view.To, kProfilePoints, true));
  } catch (const std::exception&) {
    return NoProfile();
  }
  if (view.Data.Points.empty()) return NoProfile();
  view.HasProfile = true;
  view.Receptor = {p.R, totalConc};
  view.Top = view.Data.Max;
  if (totalConc > view.Top.C) view.Top = ProfilePoint{p.R, totalConc, 0, 0};

  view.Summary = " 最大濃度 C = " + GeneralText(view.Top.C, sep) + " " + kUnit;
  if (view.Top.C > 0) {
    view.Summary += "   距離 R = " + GeneralText(view.Top.R, sep) + " m";
    view.PeakAtEdge = view.Top.R == view.Data.Points.front().R || view.Top.R == view.Data.Points.back().R;
    if (view.PeakAtEdge) view.Summary += "  (範囲の端: ピークは範囲の外かもしれません)";
  }

  ProfilePlotInput in;
  in.Data = &view.Data;
  in.From = view.From;
  in.To = view.To;
  in.LogScale = true;
  in.Receptor = view.Receptor;
  view.Scene = BuildProfilePlot(in);
  return view;
}

PlotScene FitScene(const PlotScene& scene, int width, int height) {
  PlotScene fitted;
  fitted.Width = std::max(width, 1);
  fitted.Height = std::max(height, 1);
  fitted.Background = scene.Background;
  const double sx = static_cast<double>(fitted.Width) / scene.Width;
  const double sy = static_cast<double>(fitted.Height) / scene.Height;
  const double s = std::min(sx, sy);
  const double textScale = std::max(s, 0.75);
  const auto stroke = [&](PlotStroke st) {
    st.Width = std::max(st.Width * s, 1.0);
    return st;
  };
  const auto points = [&](std::vector<std::pair<double, double>> pts) {
    for (auto& [x, y] : pts) {
      x *= sx;
      y *= sy;
    }
    return pts;
  };
  for (PlotPolygon polygon : scene.Polygons) {
    polygon.Points = points(std::move(polygon.Points));
    if (polygon.Outline) polygon.Outline = stroke(*polygon.Outline);
    fitted.Polygons.push_back(std::move(polygon));
  }
  for (PlotSegment seg : scene.Segments) {
    seg.X1 *= sx;
    seg.X2 *= sx;
    seg.Y1 *= sy;
    seg.Y2 *= sy;
    seg.Stroke = stroke(seg.Stroke);
    fitted.Segments.push_back(seg);
  }
  for (PlotPolyline line : scene.Polylines) {
    line.Points = points(std::move(line.Points));
    line.Stroke = stroke(line.Stroke);
    fitted.Polylines.push_back(std::move(line));
  }
  for (PlotCircle circle : scene.Circles) {
    circle.X *= sx;
    circle.Y *= sy;
    circle.Radius *= std::max(s, 0.75);
    circle.OutlineWidth = std::max(circle.OutlineWidth * s, 1.0);
    fitted.Circles.push_back(circle);
  }
  for (PlotText text : scene.Texts) {
    text.X *= sx;
    text.Y *= sy;
    text.Size = std::max(1.0, std::round(text.Size * textScale));  // whole pixels, as every scene
    fitted.Texts.push_back(std::move(text));
  }
  return fitted;
}

std::string ExportProfileTo(const ProfileView& view, const std::string& path) {
  if (!view.HasProfile) return "保存する距離分布がありません。";
  const std::optional<PictureKind> picture = PictureKindOf(path);
  const bool csv = IsCsv(path);
  if (!csv && !picture) return "ファイル名の終わりを .png, .svg, .csv のどれかにしてください。";
  if (picture == PictureKind::Png && !PngPicturesBuiltIn()) {
    return "この版は PNG を書けません。SVG か CSV にしてください。";
  }
  try {
    std::string bytes;
    if (csv) {
      bytes = ProfileCsvText(view.Data);
    } else if (const auto problem = PictureBytes(view.Scene, *picture, bytes)) {
      return *problem;
    }
    WriteFileAtomically(path, bytes);
  } catch (const std::exception& e) {
    return e.what();
  }
  return {};
}

}  // namespace vmk
