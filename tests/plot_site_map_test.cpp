// The site map's view (zoom, pan, wheel and keys) and its scale bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
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
  for (const auto& [metresPerPixel, labelText] : cases) {
    const std::string label = labelText;
    const MapScene s = BuildSiteMap(in, 1000, 800, MapView{0, 0, metresPerPixel});
    const auto& texts = s.Outside.Texts;
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const PlotText& t) {
      return t.Text == label;
    })) << metresPerPixel;
  }
}


// The grid's value between its nodes: the nodes' own values on them, bilinear between, and
// nothing outside the extent, where a node without a value weighs in or for a grid of the wrong
// size.
TEST(SiteMapBandImage, GridValueIsBilinearBetweenTheNodes) {
  const float none = std::numeric_limits<float>::quiet_NaN();
  // 3 x 3 nodes, x fastest; the top right node has no value.
  const MapGrid g{{0, 10, 30}, {-5, 5, 15}, {1, 2, 4, 3, 6, 9, 5, 8, none}};
  const struct {
    double X, Y;
    std::optional<double> Value;
  } cases[] = {{0, -5, 1}, {30, -5, 4}, {10, 5, 6}, {5, -5, 1.5}, {0, 0, 2}, {5, 0, 3},
               {20, -5, 3}, {20, 5, 7.5}, {20, 0, 5.25}, {0, 15, 5}, {5, 15, 6.5},
               {-0.001, 0, std::nullopt}, {30.001, 0, std::nullopt}, {5, -5.001, std::nullopt},
               {5, 15.001, std::nullopt}, {20, 10, std::nullopt}, {30, 15, std::nullopt},
               {20, 15, std::nullopt}, {10, 15, 8}, {30, 5, 9}};
  for (const auto& c : cases) {
    const std::optional<double> v = GridValueAt(g, c.X, c.Y);
    ASSERT_EQ(v.has_value(), c.Value.has_value()) << c.X << ", " << c.Y;
    if (v) {
      EXPECT_NEAR(*v, *c.Value, 1e-12) << c.X << ", " << c.Y;
    }
  }
  EXPECT_FALSE(GridValueAt({{0, 10}, {0, 10}, {1, 2, 3}}, 5, 5));
  EXPECT_FALSE(GridValueAt({{0}, {0, 10}, {1, 2}}, 0, 5));
}

TEST(SiteMapBandImage, BandOfAValueCountsTheLevelsAtOrBelowIt) {
  const std::vector<double> levels = {0.5, 1, 5};
  const std::pair<double, int> cases[] = {{-1, 0}, {0, 0}, {0.4999, 0}, {0.5, 1}, {0.99, 1},
                                          {1, 2},  {4.9, 2}, {5, 3},     {1e30, 3}};
  for (const auto& [value, band] : cases) EXPECT_EQ(BandOfValue(levels, value), band) << value;
  EXPECT_EQ(BandOfValue({}, 7), 0);
}

// A field linear in x and y is its own bilinear interpolation: each pixel of the image takes the
// band of the field at its centre (pixels within a rounding of a level aside), the pixels
// outside the grid none, over random grids and views.
TEST(SiteMapBandImage, EachPixelTakesTheBandOfTheFieldAtItsCentre) {
  std::mt19937 random(20);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 12; ++trial) {
    const double a = unit(random) * 2 - 1, b = unit(random) * 2 - 1, c = 5000;
    const auto field = [&](double x, double y) { return a * x + b * y + c; };
    SiteMapInput in;
    MapGrid g;
    const int nx = 2 + static_cast<int>(unit(random) * 30), ny = 2 + static_cast<int>(unit(random) * 30);
    const double x0 = -3000 * unit(random), y0 = -3000 * unit(random), step = 50 + 200 * unit(random);
    for (int i = 0; i < nx; ++i) g.X.push_back(x0 + i * step);
    for (int j = 0; j < ny; ++j) g.Y.push_back(y0 + j * step * 0.75);
    for (int j = 0; j < ny; ++j) {
      for (int i = 0; i < nx; ++i) g.Values.push_back(static_cast<float>(field(g.X[i], g.Y[j])));
    }
    in.XMin = g.X.front(), in.XMax = g.X.back(), in.YMin = g.Y.front(), in.YMax = g.Y.back();
    in.Levels = {4000, 4900, 5000, 5100, 6000};
    in.BandGrid = g;
    // Sometimes a view that shows only part of the grid.
    std::optional<MapView> view;
    if (trial % 3 == 2) view = MapView{x0 + step, y0 + step, step / 40};
    const MapScene s = BuildSiteMap(in, 1000, 800, view);
    ASSERT_EQ(s.Images.size(), 1u) << trial;
    const PlotImage& image = s.Images.front();
    EXPECT_EQ(image.Left, std::floor(image.Left));
    EXPECT_EQ(image.Width, image.Columns);
    EXPECT_GE(image.Left, s.FrameLeft);
    EXPECT_LE(image.Top + image.Rows, s.FrameTop + s.FrameHeight);
    int coloured = 0;
    for (int row = 0; row < image.Rows; row += 7) {
      for (int column = 0; column < image.Columns; column += 5) {
        const auto [x, y] = s.ToGround(image.Left + column + 0.5, image.Top + row + 0.5);
        const unsigned char* p = &image.Rgba[(static_cast<std::size_t>(row) * image.Columns + column) * 4];
        const bool inside = x >= g.X.front() && x <= g.X.back() && y >= g.Y.front() && y <= g.Y.back();
        if (!inside) {
          EXPECT_EQ(p[3], 0) << trial << ": " << x << ", " << y;
          continue;
        }
        const double v = field(x, y);
        if (std::any_of(in.Levels.begin(), in.Levels.end(), [&](double l) { return std::abs(v - l) < 0.01; })) continue;
        const int band = static_cast<int>(std::count_if(in.Levels.begin(), in.Levels.end(), [&](double l) { return l <= v; }));
        const PlotColor expected = BandColor(band, 6);
        EXPECT_TRUE(p[0] == expected.R && p[1] == expected.G && p[2] == expected.B)
            << trial << ": " << x << ", " << y << " = " << v << " (band " << band << ")";
        EXPECT_EQ(p[3], 255);
        ++coloured;
      }
    }
    EXPECT_GT(coloured, 0) << trial;
  }
}

// The polygons, when there are, are the bands; no levels, no bands.
TEST(SiteMapBandImage, OnlyWithoutPolygonsAndWithLevels) {
  SiteMapInput in;
  in.XMax = in.YMax = 100;
  in.BandGrid = MapGrid{{0, 100}, {0, 100}, {1, 2, 3, 4}};
  EXPECT_TRUE(BuildSiteMap(in, 1000, 800).Images.empty());  // no levels
  in.Levels = {2.5};
  EXPECT_EQ(BuildSiteMap(in, 1000, 800).Images.size(), 1u);
  MapBand band;
  band.Index = 1;
  band.Polygons.push_back({{{{0, 0}, {100, 0}, {100, 100}, {0, 0}}}});
  in.Bands.push_back(band);
  const MapScene withPolygons = BuildSiteMap(in, 1000, 800);
  EXPECT_TRUE(withPolygons.Images.empty());
  EXPECT_EQ(withPolygons.Fills.size(), 1u);
}

}  // namespace
}  // namespace vmk
