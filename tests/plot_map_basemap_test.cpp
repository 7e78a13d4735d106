// The basemap under the site map: the raster resampled to each view (placed at its corners,
// the halving that matches the view), the lines and polygons cut to the frame, and the bands
// let through to the ground.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "plot/map_basemap.h"
#include "plot/site_map.h"

namespace vmk {
namespace {

using Rgba = std::array<unsigned char, 4>;

Rgba PixelOf(const PlotImage& image, int column, int row) {
  const std::size_t i = (static_cast<std::size_t>(row) * image.Columns + column) * 4;
  return {image.Rgba[i], image.Rgba[i + 1], image.Rgba[i + 2], image.Rgba[i + 3]};
}

// Columns x rows pixels of 10 m from (0, 20), each pixel's colour (10 * column, 10 * row, 200).
BasemapRaster Raster(int columns, int rows, double pixel = 10) {
  BasemapRaster r;
  r.Columns = columns;
  r.Rows = rows;
  r.Left = 0;
  r.Top = 20;
  r.PixelWidth = r.PixelHeight = pixel;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      r.Rgba.insert(r.Rgba.end(), {static_cast<unsigned char>(10 * column), static_cast<unsigned char>(10 * row), 200, 255});
    }
  }
  return r;
}

SiteMapInput OverGround(MapBasemap basemap) {
  SiteMapInput in;
  in.XMin = in.YMin = 0;
  in.XMax = in.YMax = 40;
  in.Levels = {1, 2};
  in.Bands = {{0, 0, 1, {{{{{0, 0}, {1, 0}, {1, 1}, {0, 0}}}}}}, {1, 1, 2, {{{{{0, 0}, {2, 0}, {2, 2}, {0, 0}}}}}}};
  in.Basemap = std::make_shared<const MapBasemap>(std::move(basemap));
  return in;
}

// A 4 x 2 raster at 1 m a pixel: its picture covers exactly its ground, each corner pixel of
// the picture the colour of the raster's corner pixel.
TEST(MapBasemap, RasterPlacedAtItsCorners) {
  const SiteMapInput in = OverGround(MakeBasemap(Raster(4, 2), {}, {}));
  const MapScene m = BuildSiteMap(in, 1000, 800, MapView{20, 10, 1});
  ASSERT_EQ(m.Images.size(), 1u);
  const PlotImage& image = m.Images[0];
  const auto [left, top] = m.ToPixel(0, 20);
  const auto [right, bottom] = m.ToPixel(40, 0);
  EXPECT_EQ(image.Left, left);
  EXPECT_EQ(image.Top, top);
  EXPECT_EQ(image.Left + image.Width, right);
  EXPECT_EQ(image.Top + image.Height, bottom);
  EXPECT_EQ(image.Columns, 40);
  EXPECT_EQ(image.Rows, 20);
  EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{0, 0, 200, 255}));
  EXPECT_EQ(PixelOf(image, 39, 0), (Rgba{30, 0, 200, 255}));
  EXPECT_EQ(PixelOf(image, 0, 19), (Rgba{0, 10, 200, 255}));
  EXPECT_EQ(PixelOf(image, 39, 19), (Rgba{30, 10, 200, 255}));
  // Between the raster's pixels (1, 0) to (2, 1): at u = 1.55, v = 0.55 of them, 15.5 and 5.5.
  EXPECT_EQ(PixelOf(image, 20, 10), (Rgba{16, 6, 200, 255}));
  // Over the ground, the band below the first level is left out and the others let it through.
  ASSERT_EQ(m.Fills.size(), 1u);
  EXPECT_EQ(m.Fills[0].Opacity, kBandOpacity);
}

// Only the part in the frame is resampled; a view beside the raster has no image.
TEST(MapBasemap, RasterCutToTheFrame) {
  const SiteMapInput in = OverGround(MakeBasemap(Raster(100, 100), {}, {}));
  const MapScene m = BuildSiteMap(in, 1000, 800, MapView{500, -480, 0.5});
  ASSERT_EQ(m.Images.size(), 1u);
  EXPECT_EQ(m.Images[0].Left, m.FrameLeft);
  EXPECT_EQ(m.Images[0].Width, m.FrameWidth);
  EXPECT_EQ(m.Images[0].Height, m.FrameHeight);
  EXPECT_TRUE(BuildSiteMap(in, 1000, 800, MapView{5000, 5000, 1}).Images.empty());
}

// Columns black and white in turn: a view at the raster's resolution sees them, one four times
// coarser sees the halving's grey.
TEST(MapBasemap, HalvingsForTheViewsFarOut) {
  BasemapRaster r = Raster(1024, 2);
  for (std::size_t i = 0; i < r.Rgba.size(); i += 4) {
    const unsigned char v = (i / 4) % 2 == 0 ? 0 : 255;
    r.Rgba[i] = r.Rgba[i + 1] = r.Rgba[i + 2] = v;
  }
  const MapBasemap b = MakeBasemap(r, {}, {});
  ASSERT_EQ(b.Levels.size(), 3u);  // 1024, 512, 256 columns
  EXPECT_EQ(b.Levels[2].PixelWidth, 40);
  const auto middle = [&](double metresPerPixel) {
    const MapScene m = BuildSiteMap(OverGround(b), 1000, 800, MapView{5120, 10, metresPerPixel});
    const PlotImage& image = m.Images.at(0);
    return PixelOf(image, image.Columns / 2, image.Rows / 2)[0];
  };
  EXPECT_TRUE(middle(10) == 0 || middle(10) == 255);
  EXPECT_NEAR(middle(20), 128, 1);
  EXPECT_NEAR(middle(45), 128, 1);
}

// A road across the whole ground and a coast polygon larger than the view: both cut to a
// little more than the frame, the road one polyline still, the polygon with its hole.
TEST(MapBasemap, ShapesCutToTheFrame) {
  const MapRing road = {{-1e6, 5}, {0, 5}, {1e6, 5}};
  MapPolygon coast;
  coast.Rings = {{{-1e6, -1e6}, {1e6, -1e6}, {1e6, 1e6}, {-1e6, 1e6}}, {{-5, -5}, {5, -5}, {5, 5}, {-5, 5}}};
  const MapScene m = BuildSiteMap(OverGround(MakeBasemap({}, {road}, {coast})), 1000, 800, MapView{0, 0, 0.1});
  EXPECT_TRUE(m.Images.empty());
  ASSERT_EQ(m.Ground.Polylines.size(), 1u);
  ASSERT_EQ(m.GroundFills.size(), 1u);
  ASSERT_EQ(m.GroundFills[0].Rings.size(), 2u);
  const double margin = 8 + 1e-9;
  const auto inCut = [&](double x, double y) {
    return x >= m.FrameLeft - margin && x <= m.FrameLeft + m.FrameWidth + margin && y >= m.FrameTop - margin &&
           y <= m.FrameTop + m.FrameHeight + margin;
  };
  const auto& line = m.Ground.Polylines[0].Points;
  EXPECT_EQ(line.front().first, m.FrameLeft - 8);
  EXPECT_EQ(line.back().first, m.FrameLeft + m.FrameWidth + 8);
  for (const auto& [x, y] : line) {
    EXPECT_TRUE(inCut(x, y));
    EXPECT_NEAR(y, m.ToPixel(0, 5).second, 1e-9);
  }
  for (const auto& ring : m.GroundFills[0].Rings) {
    for (const auto& [x, y] : ring) EXPECT_TRUE(inCut(x, y)) << x << " " << y;
  }
  // The hole is untouched: 10 m at 0.1 m a pixel.
  const auto& hole = m.GroundFills[0].Rings[1];
  EXPECT_EQ(hole.size(), 4u);
  EXPECT_NEAR(hole[1].first - hole[0].first, 100, 1e-9);
  // A view elsewhere draws none of them.
  const MapScene away = BuildSiteMap(OverGround(MakeBasemap({}, {road}, {})), 1000, 800, MapView{0, 1e5, 1});
  EXPECT_TRUE(away.Ground.Polylines.empty());
}

}  // namespace
}  // namespace vmk
