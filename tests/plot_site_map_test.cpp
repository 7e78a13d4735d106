// The site map's view (zoom, pan, wheel and keys) and the parts of its scene that carry numbers:
// the scale bar and the legend.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plot/map_view.h"
#include "plot/site_map.h"

namespace vmk {
namespace {

// A 1000 x 800 picture with the frame the site map gives it, showing (1000, -500) at 10 m a
// pixel.
MapScene SceneWithView(MapView view) {
  MapScene s;
  s.FrameLeft = 76;
  s.FrameTop = 64;
  s.FrameWidth = 708;
  s.FrameHeight = 692;
  s.View = view;
  return s;
}
const MapView kView{1000, -500, 10};

void ExpectSamePlace(std::pair<double, double> a, std::pair<double, double> b, const char* what) {
  EXPECT_NEAR(a.first, b.first, 1e-9 * std::max(1.0, std::abs(b.first))) << what;
  EXPECT_NEAR(a.second, b.second, 1e-9 * std::max(1.0, std::abs(b.second))) << what;
}

TEST(MapView, GroundAndPixelsOfTheFrame) {
  const MapScene s = SceneWithView(kView);
  ExpectSamePlace(s.ToGround(76 + 354, 64 + 346), {1000, -500}, "the frame's centre");
  ExpectSamePlace(s.ToGround(76 + 364, 64 + 336), {1100, -400}, "10 px right and up");
  ExpectSamePlace(s.ToPixel(1100, -400), {440, 400}, "and back");
}

TEST(MapView, ZoomKeepsTheGroundUnderTheCursorWithinTheLimits) {
  struct Case {
    double Factor, X, Y, MetresPerPixel;
  };
  for (const Case& c : {Case{2, 300, 250, 5}, Case{0.5, 76, 64, 20}, Case{1.25, 900, 700, 8},
                        Case{1e6, 500, 500, kMinMetresPerPixel},
                        Case{1e-9, 10, 790, kMaxMetresPerPixel}}) {
    const MapScene before = SceneWithView(kView);
    const MapScene after = SceneWithView(ZoomedView(before, c.Factor, c.X, c.Y));
    EXPECT_DOUBLE_EQ(after.View.MetresPerPixel, c.MetresPerPixel) << c.Factor;
    ExpectSamePlace(after.ToGround(c.X, c.Y), before.ToGround(c.X, c.Y), "under the cursor");
  }
  EXPECT_EQ(kMinMetresPerPixel, 0.01);
  EXPECT_EQ(kMaxMetresPerPixel, 1e5);
}

TEST(MapView, PanMovesTheGroundByWholePixels) {
  const MapScene before = SceneWithView(kView);
  for (const auto& [dx, dy] : {std::pair{7.0, -3.0}, std::pair{-40.0, 0.0}, std::pair{0.0, 1.0}}) {
    const MapScene after = SceneWithView(PannedView(kView, dx, dy));
    const MapPoint g = before.ToGround(300, 250);
    ExpectSamePlace(after.ToPixel(g.first, g.second), {300 + dx, 250 + dy}, "dragged");
  }
}

TEST(MapView, KeysAndWheelStep) {
  MapScene s = SceneWithView(kView);
  s.Width = 1000;
  s.Height = 800;
  const MapPoint centre = s.ToGround(500, 400);  // the picture's centre, not the frame's
  const MapScene in = SceneWithView(KeyedView(s, MapKey::ZoomIn));
  EXPECT_DOUBLE_EQ(in.View.MetresPerPixel, 8);
  ExpectSamePlace(in.ToGround(500, 400), centre, "zoomed about the picture's centre");
  EXPECT_DOUBLE_EQ(KeyedView(s, MapKey::ZoomOut).MetresPerPixel, 12.5);
  struct Step {
    MapKey Key;
    double Dx, Dy;
  };
  for (const Step& k : {Step{MapKey::Left, 40, 0}, Step{MapKey::Right, -40, 0},
                        Step{MapKey::Up, 0, 40}, Step{MapKey::Down, 0, -40}}) {
    const MapScene moved = SceneWithView(KeyedView(s, k.Key));
    ExpectSamePlace(moved.ToPixel(centre.first, centre.second), {500 + k.Dx, 400 + k.Dy}, "key");
  }
  EXPECT_DOUBLE_EQ(WheelZoomFactor(0), 1);
  EXPECT_GT(WheelZoomFactor(120), 1);  // away from the user: closer
  EXPECT_DOUBLE_EQ(WheelZoomFactor(120) * WheelZoomFactor(-120), 1);
}

std::vector<std::string> Texts(const PlotShapes& shapes) {
  std::vector<std::string> out;
  for (const PlotText& t : shapes.Texts) out.push_back(t.Text);
  return out;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The scale bar: the longest 1-2-5 length within a quarter of the 708 px frame.
TEST(SiteMapScene, ScaleBarLength) {
  SiteMapInput in;
  in.XMax = in.YMax = 1000;
  const std::pair<double, const char*> cases[] = {
      {10, "1 km"}, {3, "500 m"}, {0.05, "5 m"}, {100, "10 km"}, {0.5, "50 m"}, {30, "5 km"}};
  for (const auto& [metresPerPixel, label] : cases) {
    const MapScene s = BuildSiteMap(in, 1000, 800, MapView{0, 0, metresPerPixel});
    EXPECT_TRUE(Has(Texts(s.Outside), label)) << metresPerPixel;
  }
}

TEST(SiteMapScene, LegendFromTheHighestBandDown) {
  SiteMapInput in;
  in.XMax = in.YMax = 1000;
  in.Levels = {0.01, 0.1};
  in.Points.push_back({"学校", 100, 100});
  const std::vector<std::string> texts = Texts(BuildSiteMap(in, 1000, 800).Outside);
  const auto at = [&](const char* t) { return std::find(texts.begin(), texts.end(), t); };
  ASSERT_NE(at("0.01 未満"), texts.end());
  EXPECT_LT(at("0.1 以上"), at("0.01 – 0.1"));
  EXPECT_LT(at("0.01 – 0.1"), at("0.01 未満"));
  EXPECT_LT(at("煙突"), at("予測地点"));
  EXPECT_FALSE(Has(texts, "最大濃度"));  // no maximum given

  in.Levels.clear();
  const MapScene none = BuildSiteMap(in, 1000, 800);
  EXPECT_TRUE(Has(Texts(none.Outside), "(等濃度線なし)"));
  EXPECT_EQ(none.OutsideFills.size(), 1u);  // the stack's triangle alone
}

}  // namespace
}  // namespace vmk
