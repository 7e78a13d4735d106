// The GDI+ painter: scenes drawn into PNG files and into a device context and read back with
// GDI+. The rules of scene.h and map_scene.h at known pixels (flat caps, dashes, open
// polylines, anchors on the baseline, the frame's clip, the odd-even fill, the order), then a
// picture of each kind with its size, background, colours and Japanese texts.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "plot/gdiplus/gdiplus_painter.h"
#include "plot/map_picture.h"
#include "plot/met_charts.h"
#include "plot/profile_chart.h"
#include "plot/svg_writer.h"
#include "plot_samples.h"

namespace vmk {
namespace {

// A picture read back: its size and its pixels, row by row.
struct Pixels {
  int Width = 0;
  int Height = 0;
  std::vector<PlotColor> Colors;
  PlotColor At(int x, int y) const { return Colors.at(static_cast<std::size_t>(y * Width + x)); }
};

PlotColor FromArgb(std::uint32_t argb) {
  return {static_cast<unsigned char>(argb >> 16), static_cast<unsigned char>(argb >> 8),
          static_cast<unsigned char>(argb)};
}

Pixels Decoded(const std::string& png) {
  static const bool started = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  Pixels p;
  IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(png.data()),
                                      static_cast<UINT>(png.size()));
  if (!started || stream == nullptr) return p;
  {
    Gdiplus::Bitmap bitmap(stream);
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
    if (bitmap.GetLastStatus() == Gdiplus::Ok &&
        bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) ==
            Gdiplus::Ok) {
      p.Width = all.Width;
      p.Height = all.Height;
      for (int y = 0; y < p.Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const unsigned char*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride);
        for (int x = 0; x < p.Width; ++x) p.Colors.push_back(FromArgb(row[x]));
      }
      bitmap.UnlockBits(&data);
    }
  }
  stream->Release();
  return p;
}

// The scene painted into a memory device context of its size (a 32-bit DIB section).
template <typename Scene>
Pixels PaintedIntoDc(const Scene& scene,
                     std::optional<std::string> (*paint)(WindowsDc, const Scene&)) {
  Pixels p;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = scene.Width;
  info.bmiHeader.biHeight = -scene.Height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dc == nullptr || dib == nullptr) return p;
  HGDIOBJ old = SelectObject(dc, dib);
  const auto problem = paint(WindowsDc{dc}, scene);
  GdiFlush();
  EXPECT_EQ(problem, std::nullopt);
  p.Width = scene.Width;
  p.Height = scene.Height;
  const auto* argb = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < scene.Width * scene.Height; ++i) p.Colors.push_back(FromArgb(argb[i]));
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);
  return p;
}

int Difference(PlotColor a, PlotColor b) {
  return std::max({std::abs(a.R - b.R), std::abs(a.G - b.G), std::abs(a.B - b.B)});
}

std::string Text(PlotColor c) {
  return "(" + std::to_string(c.R) + ", " + std::to_string(c.G) + ", " + std::to_string(c.B) + ")";
}

// The pixels in [x0, x1) x [y0, y1) that differ from `background` by more than 96 in a channel:
// the ink of a text or a shape there.
int InkIn(const Pixels& p, int x0, int y0, int x1, int y1, PlotColor background) {
  int ink = 0;
  for (int y = std::max(0, y0); y < std::min(p.Height, y1); ++y) {
    for (int x = std::max(0, x0); x < std::min(p.Width, x1); ++x) {
      if (Difference(p.At(x, y), background) > 96) ++ink;
    }
  }
  return ink;
}

struct Expected {
  int X, Y;
  PlotColor Color;
  const char* What;
};

void ExpectPixels(const Pixels& p, const std::vector<Expected>& table, const char* how) {
  for (const Expected& e : table) {
    EXPECT_LE(Difference(p.At(e.X, e.Y), e.Color), 8)
        << how << ": " << e.What << " at (" << e.X << ", " << e.Y << ") is "
        << Text(p.At(e.X, e.Y)) << ", not " << Text(e.Color);
  }
}

constexpr PlotColor kPaper{250, 250, 240};
constexpr PlotColor kWhite{255, 255, 255};
constexpr PlotColor kBlack{0, 0, 0};
constexpr PlotColor kRed{220, 30, 30};
constexpr PlotColor kBlue{30, 60, 200};
constexpr PlotColor kGreen{40, 160, 60};
constexpr PlotColor kOrange{250, 150, 50};

PlotText Label(double x, double y, const char* text, double size, TextAnchor anchor,
               bool bold = false) {
  return {x, y, text, size, anchor, bold, kBlack};
}

// One shape of each kind, with their rules' telling pixels below.
PlotScene RulesScene() {
  PlotScene s;
  s.Width = 220;
  s.Height = 170;
  s.Background = kPaper;
  s.Polygons.push_back({{{10, 10}, {60, 10}, {60, 50}, {10, 50}}, kGreen, PlotStroke{kBlack, 2}});
  s.Polygons.push_back({{{70, 10}, {110, 10}, {110, 50}, {70, 50}}, std::nullopt, PlotStroke{kBlue, 2}});
  s.Segments.push_back({130, 20, 200, 20, {kRed, 8}});
  s.Segments.push_back({10, 70, 110, 70, {kBlue, 2, true}});
  s.Polylines.push_back({{{130, 40}, {130, 80}, {190, 80}, {190, 40}}, {kBlack, 3}});
  s.Circles.push_back({40, 110, 15, kOrange, kBlack, 1.5});
  s.Texts = {Label(90, 110, "静穏", 24, TextAnchor::Start),
             Label(210, 110, "静穏", 24, TextAnchor::End),
             Label(120, 160, "静穏", 24, TextAnchor::Middle),
             Label(10, 160, "北", 20, TextAnchor::Start, true)};
  return s;
}

const std::vector<Expected> kRulesPixels = {
    {0, 0, kPaper, "the background's corner"},
    {219, 169, kPaper, "the opposite corner"},
    {35, 30, kGreen, "a filled polygon"},
    {10, 30, kBlack, "its outline"},
    {90, 30, kPaper, "inside a polygon without a fill"},
    {110, 30, kBlue, "that polygon's outline"},
    {165, 20, kRed, "the middle of a thick segment"},
    {165, 23, kRed, "a thick segment across its width"},
    {198, 20, kRed, "the segment's end"},
    {202, 20, kPaper, "past the end (flat cap)"},
    {127, 20, kPaper, "before the start (flat cap)"},
    {13, 70, kBlue, "the first dash"},
    {18, 70, kPaper, "the first gap"},
    {23, 70, kBlue, "the second dash"},
    {28, 70, kPaper, "the second gap"},
    {130, 60, kBlack, "a polyline's first line"},
    {160, 80, kBlack, "its second line"},
    {160, 40, kPaper, "the polyline stays open"},
    {40, 110, kOrange, "a circle's fill"},
    {60, 110, kPaper, "beside the circle"},
};

// The texts' ink, on their side of the anchor and above the baseline: boxes with ink (more
// than Least pixels) or without (Least < 0).
struct InkBox {
  int X0, Y0, X1, Y1, Least;
  const char* What;
};

const std::vector<InkBox> kRulesInk = {
    {90, 86, 138, 111, 40, "the Start text right of its anchor"},
    {62, 86, 89, 115, -1, "nothing left of a Start anchor"},
    {162, 86, 210, 111, 40, "the End text left of its anchor"},
    {212, 86, 220, 115, -1, "nothing right of an End anchor"},
    {96, 136, 119, 161, 20, "the Middle text left of its anchor"},
    {121, 136, 144, 161, 20, "and right of it"},
    {60, 130, 94, 170, -1, "nothing beyond the Middle text's left"},
    {147, 130, 220, 170, -1, "nor beyond its right"},
    {90, 165, 150, 170, -1, "nothing well below the baseline"},
    {96, 138, 144, 149, 20, "the glyphs' upper half"},
    {10, 141, 32, 161, 30, "a bold text"},
};

void ExpectRules(const Pixels& p, const char* how) {
  ExpectPixels(p, kRulesPixels, how);
  for (const InkBox& b : kRulesInk) {
    const int ink = InkIn(p, b.X0, b.Y0, b.X1, b.Y1, kPaper);
    if (b.Least < 0) {
      EXPECT_EQ(ink, 0) << how << ": " << b.What;
    } else {
      EXPECT_GT(ink, b.Least) << how << ": " << b.What;
    }
  }
}

// A map scene whose shapes cross its frame (40, 30, 120 x 90).
MapScene ClipScene() {
  MapScene s;
  s.Width = 200;
  s.Height = 150;
  s.Background = kWhite;
  s.FrameLeft = 40;
  s.FrameTop = 30;
  s.FrameWidth = 120;
  s.FrameHeight = 90;
  const auto box = [](double x0, double y0, double x1, double y1) {
    return std::vector<std::pair<double, double>>{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  };
  s.Fills.push_back({{box(0, 0, 200, 150), box(80, 60, 120, 90)}, kOrange, std::nullopt});
  s.Inside.Segments.push_back({0, 110, 200, 110, {kBlue, 4}});
  s.Marks.push_back({{box(140, 40, 180, 70)}, kBlack, std::nullopt});
  s.Marks.push_back({{box(60, 100, 70, 120)}, kGreen, std::nullopt});
  s.OutsideFills.push_back({{box(5, 5, 30, 25)}, kGreen, std::nullopt});
  s.Outside.Segments.push_back({0, 140, 200, 140, {kBlack, 4}});
  s.Outside.Texts.push_back(Label(170, 20, "北", 16, TextAnchor::Start));
  return s;
}

const std::vector<Expected> kClipPixels = {
    {50, 40, kOrange, "a fill inside the frame"},
    {100, 75, kWhite, "its hole (odd-even rule)"},
    {20, 50, kWhite, "the fill left of the frame"},
    {100, 10, kWhite, "the fill above the frame"},
    {180, 100, kWhite, "the fill right of the frame"},
    {100, 130, kWhite, "the fill below the frame"},
    {100, 110, kBlue, "an inside segment"},
    {20, 110, kWhite, "the inside segment left of the frame"},
    {180, 110, kWhite, "and right of it"},
    {150, 50, kBlack, "a mark inside the frame"},
    {170, 50, kWhite, "the mark beyond the frame"},
    {65, 110, kGreen, "a mark over an inside segment"},
    {15, 15, kGreen, "an outside fill"},
    {20, 140, kBlack, "an outside segment, unclipped"},
};

TEST(GdiplusPainter, ChartRulesInPngAndInADeviceContext) {
  const PlotScene scene = RulesScene();
  std::string png;
  ASSERT_EQ(PlotScenePngBytes(scene, png), std::nullopt);
  const Pixels fromPng = Decoded(png);
  ASSERT_EQ(fromPng.Width, 220);
  ASSERT_EQ(fromPng.Height, 170);
  ExpectRules(fromPng, "PNG");

  const Pixels fromDc = PaintedIntoDc<PlotScene>(scene, &PaintPlotScene);
  ASSERT_EQ(fromDc.Colors.size(), 220u * 170u);
  ExpectRules(fromDc, "device context");
}

TEST(GdiplusPainter, MapClippedToItsFrameInPngAndInADeviceContext) {
  const MapScene scene = ClipScene();
  std::string png;
  ASSERT_EQ(MapScenePngBytes(scene, png), std::nullopt);
  const Pixels fromPng = Decoded(png);
  ASSERT_EQ(fromPng.Width, 200);
  ASSERT_EQ(fromPng.Height, 150);
  const Pixels fromDc = PaintedIntoDc<MapScene>(scene, &PaintMapScene);
  ASSERT_EQ(fromDc.Colors.size(), 200u * 150u);
  for (const Pixels* p : {&fromPng, &fromDc}) {
    const char* how = p == &fromPng ? "PNG" : "device context";
    ExpectPixels(*p, kClipPixels, how);
    EXPECT_GT(InkIn(*p, 170, 4, 187, 21, kWhite), 15) << how << ": an outside text";
  }
}

// The basemap's parts: an image's pixels on their rectangle, clipped to the frame, its
// transparent pixel showing the background; a fill at 60 % cover; a name's white halo on a dark
// mark; and the image as a PNG of its own for the plain SVG writer.
TEST(GdiplusPainter, ImagesSeeThroughFillsAndHalos) {
  MapScene s = ClipScene();
  s.Fills.clear();
  s.Inside = {};
  s.Marks.clear();
  PlotImage image{20, 40, 60, 40, 3, 2, {}};
  for (const auto& [c, a] : {std::pair{kRed, 255}, {kBlue, 255}, {kGreen, 255}, {kBlack, 255}, {kWhite, 255}, {kRed, 0}}) {
    image.Rgba.insert(image.Rgba.end(), {c.R, c.G, c.B, static_cast<unsigned char>(a)});
  }
  s.Images.push_back(image);
  const auto box = [](double x0, double y0, double x1, double y1) {
    return std::vector<std::pair<double, double>>{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  };
  s.Fills.push_back({{box(100, 40, 140, 80)}, kBlue, std::nullopt, 0.6});
  s.Fills.push_back({{box(90, 85, 160, 120)}, kBlack, std::nullopt, 1});
  PlotText name = Label(100, 110, "最大", 16, TextAnchor::Start, true);
  name.Halo = kWhite;
  s.Inside.Texts.push_back(name);
  std::string png;
  ASSERT_EQ(MapScenePngBytes(s, png), std::nullopt);
  const Pixels painted = Decoded(png);
  ExpectPixels(painted,
               {{30, 50, kWhite, "the image left of the frame"},
                {50, 50, kBlue, "image pixel (1, 0)"},
                {70, 50, kGreen, "image pixel (2, 0)"},
                {50, 70, kWhite, "image pixel (1, 1)"},
                {70, 70, kWhite, "the transparent pixel (2, 1)"},
                {120, 60, {120, 138, 222}, "blue at 60 % over white"}},
               "PNG");
  EXPECT_GT(InkIn(painted, 96, 88, 150, 118, kBlack), 15) << "the halo on black";

  std::string imagePng;
  ASSERT_EQ(ImagePngBytes(image, imagePng), std::nullopt);
  const Pixels own = Decoded(imagePng);
  ASSERT_EQ(own.Width, 3);
  ASSERT_EQ(own.Height, 2);
  ExpectPixels(own, {{0, 0, kRed, "pixel (0, 0)"}, {2, 0, kGreen, "pixel (2, 0)"}, {0, 1, kBlack, "pixel (0, 1)"}}, "image");
}

TEST(GdiplusPainter, ProblemsAreOneLine) {
  PlotScene empty;
  empty.Width = 0;
  std::string bytes;
  EXPECT_EQ(PlotScenePngBytes(empty, bytes), "the picture has no pixels");
  PlotScene huge;
  huge.Width = 100000;
  huge.Height = 100000;
  EXPECT_EQ(PlotScenePngBytes(huge, bytes), "not enough memory for the picture");
  EXPECT_TRUE(bytes.empty());
  const auto noDc = PaintPlotScene(WindowsDc{}, RulesScene());
  ASSERT_TRUE(noDc.has_value());
  EXPECT_EQ(noDc->find('\n'), std::string::npos) << *noDc;
}

// The ink of a scene's text inside the box its anchor, size and length allow, on `background`.
int TextInk(const Pixels& p, const PlotText& t, PlotColor background) {
  int letters = 0;
  for (unsigned char c : t.Text) letters += (c & 0xC0) != 0x80;
  const double width = t.Size * letters;
  const double left = t.Anchor == TextAnchor::Start    ? t.X
                      : t.Anchor == TextAnchor::Middle ? t.X - width / 2
                                                       : t.X - width;
  return InkIn(p, static_cast<int>(left), static_cast<int>(t.Y - t.Size),
               static_cast<int>(left + width + 2), static_cast<int>(t.Y + t.Size / 4), background);
}

const PlotText& TextStartingWith(const PlotShapes& shapes, const std::string& start) {
  for (const PlotText& t : shapes.Texts) {
    if (t.Text.rfind(start, 0) == 0) return t;
  }
  ADD_FAILURE() << "no text " << start;
  return shapes.Texts.front();
}

// The pixel midway between two points of a line: the line's colour when it is drawn there.
Expected Midway(std::pair<double, double> a, std::pair<double, double> b, PlotColor c,
                const char* what) {
  return {static_cast<int>(std::floor((a.first + b.first) / 2)),
          static_cast<int>(std::floor((a.second + b.second) / 2)), c, what};
}

// The smaller side of a polygon's bounding box.
double Extent(const PlotPolygon& g) {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  for (const auto& [x, y] : g.Points) {
    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  }
  return std::min(x1 - x0, y1 - y0);
}

// The centre pixel of a polygon's bounding box.
Expected Centre(const PlotPolygon& g, const char* what) {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  for (const auto& [x, y] : g.Points) {
    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  }
  return {static_cast<int>((x0 + x1) / 2), static_cast<int>((y0 + y1) / 2), *g.Fill, what};
}

Profile SampleProfile() {
  Profile profile;
  for (int i = 0; i <= 40; ++i) {
    const float r = 10 * std::pow(2000.0f, i / 40.0f);
    profile.Points.push_back({r, 0.2f * std::exp(-std::pow(std::log(r / 900.0f), 2.0f))});
  }
  profile.Max = profile.Points[29];
  return profile;
}

// Each chart: its size, its background at a corner, the fill of every box (a bar, a legend's
// box), a thick line midway between two points (the curve), its title's (largest text's) ink.
TEST(GdiplusPictures, EachChartWithItsColoursAndTitle) {
  const Profile profile = SampleProfile();
  ClassCounts day{}, night{};
  day[2] = 40;
  night[10] = 90;
  const PlotScene scenes[] = {
      BuildProfilePlot({&profile, 10, 20000, true, std::pair{1000.0f, 0.19f}}),
      BuildWindRose(samples::SampleMetStats()),
      BuildStabilityChart(samples::SampleMetStats(), day, night)};
  for (const PlotScene& scene : scenes) {
    const PlotText& title = *std::max_element(
        scene.Texts.begin(), scene.Texts.end(),
        [](const PlotText& a, const PlotText& b) { return a.Size < b.Size; });
    SCOPED_TRACE(title.Text);
    std::string png;
    ASSERT_EQ(PlotScenePngBytes(scene, png), std::nullopt);
    const Pixels p = Decoded(png);
    ASSERT_EQ(p.Width, scene.Width);
    ASSERT_EQ(p.Height, scene.Height);
    std::vector<Expected> table = {{0, 0, scene.Background, "the background's corner"}};
    for (const PlotPolygon& g : scene.Polygons) {
      if (g.Fill && g.Points.size() == 4 && Extent(g) >= 10) table.push_back(Centre(g, "a box"));
    }
    for (const PlotPolyline& line : scene.Polylines) {
      const std::size_t mid = line.Points.size() / 2;
      if (line.Stroke.Width < 2 || mid == 0) continue;
      table.push_back(Midway(line.Points[mid - 1], line.Points[mid], line.Stroke.Color, "a line"));
    }
    EXPECT_GE(table.size(), 2u);
    ExpectPixels(p, table, "PNG");
    EXPECT_GT(TextInk(p, title, scene.Background), 100);
  }
}

TEST(GdiplusPictures, SiteMapThroughTheMapPictureFiles) {
  const MapScene scene = samples::SampleSiteMapScene();
  const std::string title = samples::SampleSiteMap().Title;
  std::string png;
  ASSERT_EQ(MapPictureBytes(scene, title, PictureKind::Png, png), std::nullopt);
  const Pixels p = Decoded(png);
  ASSERT_EQ(p.Width, 1000);
  ASSERT_EQ(p.Height, 800);
  const auto at = [&](double x, double y, PlotColor c, const char* what) {
    const auto [px, py] = scene.ToPixel(x, y);
    return Expected{static_cast<int>(px), static_cast<int>(py), c, what};
  };
  const int top = static_cast<int>(scene.FrameTop);
  const int left = static_cast<int>(scene.FrameLeft);
  const int right = static_cast<int>(scene.FrameLeft + scene.FrameWidth);
  const auto [maxX, maxY] = scene.ToPixel(20, 10);
  ExpectPixels(p,
               {{999, 799, kWhite, "the background's corner"},
                at(-1700, 1000, BandColor(1, 4), "the lowest band"),
                at(-600, -450, BandColor(2, 4), "the middle band"),
                at(-250, -220, BandColor(3, 4), "the highest band"),
                {left + 3, top + 300, BandColor(1, 4), "the lowest band at the frame's left"},
                {left - 3, top + 300, kWhite, "and none left of the frame"},
                {right + 3, top + 300, kWhite, "nor right of it"},
                {static_cast<int>(maxX) + 8, static_cast<int>(maxY), {0, 140, 60},
                 "the maximum's cross"}},
               "site map");
  EXPECT_GT(TextInk(p, TextStartingWith(scene.Outside, "二本煙突"), kWhite), 100);
  EXPECT_GT(TextInk(p, TextStartingWith(scene.Outside, "C (ppb"), kWhite), 50);

  std::string svg;
  ASSERT_EQ(MapPictureBytes(scene, title, PictureKind::Svg, svg), std::nullopt);
  EXPECT_EQ(svg, MapSvg(scene, title));  // no Qt here: the plain writer
}

}  // namespace
}  // namespace vmk
