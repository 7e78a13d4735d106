// The window's fourth tab page " 距離分布 ": the concentration along the wind direction for the
// inputs of the last calculation, as the chart scene that 保存... writes (plot/profile_chart.h)
// and the line under it, and the export of that profile by the file's extension. Both windows
// paint the same scene, fitted to their page.
#pragma once

#include <string>
#include <utility>

#include "input/model_parameters.h"
#include "model/profile.h"
#include "plot/scene.h"

namespace vmk {

inline constexpr char kProfilePageName[] = "ProfileSheet";
inline constexpr char kProfilePageCaption[] = " 距離分布 ";

// The line under an empty chart, and the chart's own words.
inline constexpr char kProfileNothingText[] = " 計算結果がありません";

// The distance range of the profile: 10 m to 20 km, widened to take in the receptor distance.
std::pair<float, float> ProfileRange(float receptorR);

struct ProfileView {
  bool HasProfile = false;  // false before the first calculation and after one without a result
  Profile Data;             // the points and the maximum, from From to To
  float From = kProfileFrom;
  float To = kProfileTo;
  std::pair<float, float> Receptor;  // R and C of the calculation
  // The highest point: the profile's maximum, or the receptor when it lies a trifle higher (the
  // search stops between two of the points).
  ProfilePoint Top;
  bool PeakAtEdge = false;  // the top on the range's first or last distance: the peak may lie beyond
  std::string Summary;      // the line under the chart (UTF-8)
  PlotScene Scene;          // the chart
};

// The page without a profile: the chart says kProfileNothingText, and so does the line.
ProfileView NoProfile();

// The profile for the validated inputs of a calculation that ended normally, with its receptor
// distance p.R at the concentration `totalConc` it showed. `sep` is the decimal separator of
// the window's number texts (code page 932), used in the line under the chart. A profile that
// cannot be computed is NoProfile().
ProfileView ProfileOf(const ModelParameters& p, float totalConc, const std::string& sep);

// The scene drawn into an area of width x height pixels: every point stretched to fill it, the
// lines, marks and texts scaled by the smaller of the two factors, the texts no smaller than
// three quarters of their size, so that the page stays readable.
PlotScene FitScene(const PlotScene& scene, int width, int height);

// Writes the profile shown to `path`: a PNG or SVG picture of its scene or the CSV of
// vmk-calc --profile, as the name ends (.png, .svg, .csv, in any case), whole or not at all.
// Returns why it could not be written (one line, UTF-8), or an empty text when it was.
std::string ExportProfileTo(const ProfileView& view, const std::string& path);

}  // namespace vmk
