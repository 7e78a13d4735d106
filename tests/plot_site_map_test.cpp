// The site map's view (zoom, pan, wheel and keys) and its scale bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "plot/map_view.h"
#include "plot/site_map.h"

namespace vmk {
namespace {

// A 1000 x 800 picture with the site map's frame, showing (1000, -500) at 10 m a pixel.
MapScene SceneWithView(MapView view) {
  MapScene s;
  s.FrameLeft = 76;
  s.FrameTop = 64;
  s.FrameWidth = 708;
  s.FrameHeight = 692;
  s.View = view;
  return s;
}
const MapScene kBefore = SceneWithView({1000, -500, 10});

void ExpectSamePlace(std::pair<double, double> a, std::pair<double, double> b) {
  EXPECT_NEAR(a.first, b.first, 1e-9 * std::max(1.0, std::abs(b.first)));
  EXPECT_NEAR(a.second, b.second, 1e-9 * std::max(1.0, std::abs(b.second)));
}

TEST(MapView, ZoomKeepsTheGroundUnderTheCursorWithinTheLimits) {
  struct Case {
    double Factor, X, Y, MetresPerPixel;
  };
  for (const Case& c : {Case{2, 300, 250, 5}, Case{0.5, 76, 64, 20}, Case{1.25, 500, 400, 8},
                        Case{1e6, 500, 500, 0.01}, Case{1e-9, 10, 790, 1e5}}) {
    const MapScene after = SceneWithView(ZoomedView(kBefore, c.Factor, c.X, c.Y));
    EXPECT_DOUBLE_EQ(after.View.MetresPerPixel, c.MetresPerPixel) << c.Factor;
    ExpectSamePlace(after.ToGround(c.X, c.Y), kBefore.ToGround(c.X, c.Y));
  }
  // The keys zoom about the picture's centre, not the frame's.
  MapScene sized = kBefore;
  sized.Width = 1000;
  sized.Height = 800;
  EXPECT_EQ(KeyedView(sized, MapKey::ZoomIn).CenterX, ZoomedView(sized, 1.25, 500, 400).CenterX);
  EXPECT_DOUBLE_EQ(KeyedView(sized, MapKey::ZoomOut).MetresPerPixel, 12.5);
  EXPECT_GT(WheelZoomFactor(120), 1);  // away from the user: closer
  EXPECT_NEAR(WheelZoomFactor(120) * WheelZoomFactor(-120), 1, 1e-12);
}

// What lay under a pixel lies under the pixel moved by the drag, or by 40 px for a key.
TEST(MapView, PanMovesTheGroundByWholePixels) {
  const MapPoint g = kBefore.ToGround(300, 250);
  const std::pair<MapView, std::pair<double, double>> cases[] = {
      {PannedView(kBefore.View, 7, -3), {307, 247}},
      {KeyedView(kBefore, MapKey::Left), {340, 250}},
      {KeyedView(kBefore, MapKey::Right), {260, 250}},
      {KeyedView(kBefore, MapKey::Up), {300, 290}},
      {KeyedView(kBefore, MapKey::Down), {300, 210}}};
  for (const auto& [view, pixel] : cases) {
    ExpectSamePlace(SceneWithView(view).ToPixel(g.first, g.second), pixel);
  }
}

// The longest 1-2-5 length within a quarter of the 708 px frame.
TEST(SiteMapScene, ScaleBarLength) {
  SiteMapInput in;
  in.XMax = in.YMax = 1000;
  const std::pair<double, const char*> cases[] = {
      {10, "1 km"}, {3, "500 m"}, {0.05, "5 m"}, {100, "10 km"}, {0.5, "50 m"}, {30, "5 km"}};
  for (const auto& [metresPerPixel, label] : cases) {
    const MapScene s = BuildSiteMap(in, 1000, 800, MapView{0, 0, metresPerPixel});
    const auto& texts = s.Outside.Texts;
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const PlotText& t) {
      return t.Text == label;
    })) << metresPerPixel;
  }
}

}  // namespace
}  // namespace vmk
