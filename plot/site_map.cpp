#include "plot/site_map.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "plot/map_labels.h"
#include "plot/number_text.h"
#include "plot/ticks.h"

namespace vmk {
namespace {

// The picture: the title lines above, the legend on the right, coordinates below and left.
constexpr double kTitleHeight = 64;
constexpr double kLegendWidth = 200;
constexpr double kLeftMargin = 76;
constexpr double kBottomMargin = 44;
constexpr double kRightGap = 16;

constexpr PlotColor kBlack{0, 0, 0};
constexpr PlotColor kWhite{255, 255, 255};
constexpr PlotColor kGridLine{205, 205, 205};
constexpr PlotColor kExtent{110, 110, 110};
constexpr PlotColor kPointColor{31, 95, 191};
constexpr PlotColor kMaximumColor{0, 140, 60};
constexpr PlotColor kText{30, 30, 30};

// Light yellow to dark red, nine steps.
constexpr std::array<PlotColor, 9> kPalette = {{{255, 255, 204}, {255, 237, 160}, {254, 217, 118},
                                                 {254, 178, 76},  {253, 141, 60},  {252, 78, 42},
                                                 {227, 26, 28},   {189, 0, 38},    {128, 0, 38}}};

PlotText MapText(double x, double y, std::string s, double size,
                 TextAnchor anchor = TextAnchor::Start, bool bold = false, PlotColor color = kText) {
  PlotText t;
  t.X = x;
  t.Y = y;
  t.Text = std::move(s);
  t.Size = size;
  t.Anchor = anchor;
  t.Bold = bold;
  t.Color = color;
  return t;
}

PlotSegment MapSegment(double x1, double y1, double x2, double y2, PlotColor c, double width = 1) {
  PlotSegment s;
  s.X1 = x1;
  s.Y1 = y1;
  s.X2 = x2;
  s.Y2 = y2;
  s.Stroke.Color = c;
  s.Stroke.Width = width;
  return s;
}

PlotStroke SolidStroke(PlotColor c, double width) {
  PlotStroke s;
  s.Color = c;
  s.Width = width;
  return s;
}

PlotFill BoxFill(double x, double y, double w, double h, PlotColor fill,
                 std::optional<PlotStroke> outline) {
  PlotFill f;
  f.Rings.push_back({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}});
  f.Color = fill;
  f.Outline = outline;
  return f;
}

// The stack's mark: a triangle pointing up, centred on (x, y), outlined in white.
PlotFill TriangleFill(double x, double y, double size, PlotColor fill) {
  PlotFill f;
  f.Rings.push_back({{x, y - size},
                     {x + size * 0.87, y + size * 0.5},
                     {x - size * 0.87, y + size * 0.5},
                     {x, y - size}});
  f.Color = fill;
  f.Outline = SolidStroke(kWhite, 1);
  return f;
}

std::string ScaleBarText(double m) {
  return m >= 1000 ? PrintfNumber("%g km", m / 1000) : PrintfNumber("%g m", m);
}

// The frame's edges in pixels.
struct FrameEdges {
  double Left, Top, Right, Bottom;
};

FrameEdges EdgesOf(const MapScene& m) {
  return {m.FrameLeft, m.FrameTop, m.FrameLeft + m.FrameWidth, m.FrameTop + m.FrameHeight};
}

// The scene's size, frame and view, with no shapes yet.
MapScene EmptyMapScene(const SiteMapInput& in, int width, int height,
                       const std::optional<MapView>& view) {
  MapScene m;
  m.Width = width;
  m.Height = height;
  m.FrameLeft = kLeftMargin;
  m.FrameTop = kTitleHeight;
  m.FrameWidth = std::max(10.0, width - kLeftMargin - kLegendWidth - kRightGap);
  m.FrameHeight = std::max(10.0, height - kTitleHeight - kBottomMargin);
  m.View = view ? *view : FitView(in, width, height);
  if (!(m.View.MetresPerPixel > 0)) m.View.MetresPerPixel = 1;
  return m;
}

void AddBands(MapScene& m, const SiteMapInput& in) {
  const int bands = static_cast<int>(in.Levels.size()) + 1;
  for (const MapBand& b : in.Bands) {
    PlotFill f;
    f.Color = BandColor(b.Index, bands);
    for (const MapPolygon& p : b.Polygons) {
      for (const MapRing& r : p.Rings) {
        std::vector<std::pair<double, double>> ring;
        ring.reserve(r.size());
        for (const auto& [x, y] : r) ring.push_back(m.ToPixel(x, y));
        f.Rings.push_back(std::move(ring));
      }
    }
    m.Fills.push_back(std::move(f));
  }
}

// Coordinates: light lines inside, labels outside, the axes' names; the grid's extent dashed.
void AddCoordinates(MapScene& m, const SiteMapInput& in) {
  const FrameEdges e = EdgesOf(m);
  const MapPoint lowGround = m.ToGround(e.Left, e.Bottom);
  const MapPoint highGround = m.ToGround(e.Right, e.Top);
  double x0 = lowGround.first, x1 = highGround.first;
  double y0 = lowGround.second, y1 = highGround.second;
  for (const AxisTick& t : LinearTicks(x0, x1, 6, false)) {
    const double px = m.ToPixel(t.Value, 0).first;
    if (px < e.Left || px > e.Right) continue;
    m.Inside.Segments.push_back(MapSegment(px, e.Top, px, e.Bottom, kGridLine, 0.6));
    m.Outside.Texts.push_back(MapText(px, e.Bottom + 16, t.Label, 11, TextAnchor::Middle));
  }
  for (const AxisTick& t : LinearTicks(y0, y1, 6, false)) {
    const double py = m.ToPixel(0, t.Value).second;
    if (py < e.Top || py > e.Bottom) continue;
    m.Inside.Segments.push_back(MapSegment(e.Left, py, e.Right, py, kGridLine, 0.6));
    m.Outside.Texts.push_back(MapText(e.Left - 6, py + 4, t.Label, 11, TextAnchor::End));
  }
  m.Outside.Texts.push_back(
      MapText((e.Left + e.Right) / 2, e.Bottom + 34, "x (m)  東 →", 12, TextAnchor::Middle));
  m.Outside.Texts.push_back(MapText(8, e.Top - 8, "y (m) 北 ↑", 12));

  const auto [ax, ay] = m.ToPixel(in.XMin, in.YMax);
  const auto [bx, by] = m.ToPixel(in.XMax, in.YMin);
  PlotPolyline outline;
  outline.Points = {{ax, ay}, {bx, ay}, {bx, by}, {ax, by}, {ax, ay}};
  outline.Stroke = SolidStroke(kExtent, 1);
  outline.Stroke.Dashed = true;
  m.Inside.Polylines.push_back(outline);
}

// Points, stacks and the maximum, with their names placed clear of each other.
void AddMarksAndLabels(MapScene& m, const SiteMapInput& in) {
  LabelPlacer labels;
  std::vector<std::pair<double, double>> stackPx, pointPx;
  for (const MapMark& s : in.Stacks) {
    stackPx.push_back(m.ToPixel(s.X, s.Y));
    labels.Occupy(stackPx.back().first, stackPx.back().second, 9);
  }
  for (const MapMark& p : in.Points) {
    pointPx.push_back(m.ToPixel(p.X, p.Y));
    labels.Occupy(pointPx.back().first, pointPx.back().second, 5);
  }
  if (in.Maximum) {
    const auto [px, py] = m.ToPixel(in.Maximum->X, in.Maximum->Y);
    labels.Occupy(px, py, 10);
    m.Inside.Circles.push_back({px, py, 6, kMaximumColor, kWhite});
    m.Inside.Segments.push_back(MapSegment(px - 10, py, px + 10, py, kMaximumColor, 2));
    m.Inside.Segments.push_back(MapSegment(px, py - 10, px, py + 10, kMaximumColor, 2));
    m.Inside.Texts.push_back(labels.Place(px, py, 11, in.Maximum->Name, 13, true, kMaximumColor));
  }
  for (std::size_t i = 0; i < in.Stacks.size(); ++i) {
    const auto [px, py] = stackPx[i];
    m.Marks.push_back(TriangleFill(px, py, 8, kBlack));
    m.Inside.Texts.push_back(labels.Place(px, py, 9, in.Stacks[i].Name, 13, true, kBlack));
  }
  for (std::size_t i = 0; i < in.Points.size(); ++i) {
    const auto [px, py] = pointPx[i];
    m.Inside.Circles.push_back({px, py, 4, kPointColor, kWhite});
    m.Inside.Texts.push_back(labels.Place(px, py, 6, in.Points[i].Name, 12, false, kPointColor));
  }
}

// The north arrow, top right of the frame.
void AddNorthArrow(MapScene& m) {
  const FrameEdges e = EdgesOf(m);
  const double ax = e.Right - 30;
  const double ay = e.Top + 22;
  PlotFill arrow;
  arrow.Rings.push_back(
      {{ax, ay - 14}, {ax + 8, ay + 10}, {ax, ay + 4}, {ax - 8, ay + 10}, {ax, ay - 14}});
  arrow.Color = kBlack;
  arrow.Outline = SolidStroke(kWhite, 1);
  m.Marks.push_back(arrow);
  m.Outside.Texts.push_back(MapText(ax, ay + 26, "N", 14, TextAnchor::Middle, true, kBlack));
}

// The scale bar, bottom left of the frame: black and white halves, a quarter of the frame's
// width or less.
void AddScaleBar(MapScene& m) {
  const FrameEdges e = EdgesOf(m);
  const double metres = OneTwoFiveAtMost(m.FrameWidth * m.View.MetresPerPixel / 4);
  const double px = metres / m.View.MetresPerPixel;
  const double bx = e.Left + 16;
  const double by = e.Bottom - 18;
  const PlotStroke black = SolidStroke(kBlack, 1);
  m.Marks.push_back(BoxFill(bx - 4, by - 18, px + 8, 28, kWhite, std::nullopt));
  m.Marks.push_back(BoxFill(bx, by, px / 2, 6, kBlack, black));
  m.Marks.push_back(BoxFill(bx + px / 2, by, px / 2, 6, kWhite, black));
  m.Outside.Texts.push_back(MapText(bx, by - 4, "0", 11, TextAnchor::Middle));
  m.Outside.Texts.push_back(MapText(bx + px, by - 4, ScaleBarText(metres), 11, TextAnchor::Middle));
}

void AddFrameAndTitle(MapScene& m, const SiteMapInput& in) {
  const FrameEdges e = EdgesOf(m);
  PlotPolyline frame;
  frame.Points = {{e.Left, e.Top}, {e.Right, e.Top}, {e.Right, e.Bottom}, {e.Left, e.Bottom},
                  {e.Left, e.Top}};
  frame.Stroke = SolidStroke(kBlack, 1);
  m.Outside.Polylines.push_back(frame);
  m.Outside.Texts.push_back(MapText(e.Left, 26, in.Title, 18, TextAnchor::Start, true));
  m.Outside.Texts.push_back(MapText(e.Left, 48, in.Subtitle, 13));
}

// The legend's text of band i of the levels: below the first, between two, from the last on.
std::string BandLabel(const std::vector<double>& levels, int i) {
  const int n = static_cast<int>(levels.size());
  if (i == n) return ShortNumberText(levels[static_cast<std::size_t>(n - 1)]) + " 以上";
  if (i == 0) return ShortNumberText(levels[0]) + " 未満";
  return ShortNumberText(levels[static_cast<std::size_t>(i - 1)]) + " – " +
         ShortNumberText(levels[static_cast<std::size_t>(i)]);
}

// The legend right of the frame: the bands from the highest down, then the marks.
void AddLegend(MapScene& m, const SiteMapInput& in) {
  const double lx = EdgesOf(m).Right + kRightGap + 8;
  double ly = m.FrameTop + 4;
  m.Outside.Texts.push_back(MapText(lx, ly + 12, in.LegendTitle, 13, TextAnchor::Start, true));
  ly += 24;
  const PlotStroke edge = SolidStroke({120, 120, 120}, 0.8);
  const int n = static_cast<int>(in.Levels.size());
  for (int i = n; i >= 0 && n > 0; --i) {
    m.Outside.Texts.push_back(MapText(lx + 30, ly + 12, BandLabel(in.Levels, i), 12));
    m.OutsideFills.push_back(BoxFill(lx, ly, 22, 15, BandColor(i, n + 1), edge));
    ly += 20;
  }
  if (n == 0) {
    m.Outside.Texts.push_back(MapText(lx, ly + 12, "(等濃度線なし)", 12));
    ly += 20;
  }
  ly += 14;
  m.OutsideFills.push_back(TriangleFill(lx + 11, ly + 8, 7, kBlack));
  m.Outside.Texts.push_back(MapText(lx + 30, ly + 12, "煙突", 12));
  if (!in.Points.empty()) {
    ly += 22;
    m.Outside.Circles.push_back({lx + 11, ly + 7, 4, kPointColor, kWhite});
    m.Outside.Texts.push_back(MapText(lx + 30, ly + 12, "予測地点", 12));
  }
  if (in.Maximum) {
    ly += 22;
    m.Outside.Circles.push_back({lx + 11, ly + 7, 6, kMaximumColor, kWhite});
    m.Outside.Texts.push_back(MapText(lx + 30, ly + 12, "最大濃度", 12));
  }
}

}  // namespace

PlotColor BandColor(int band, int bands) {
  if (band <= 0) return kWhite;
  const int coloured = bands - 1;
  if (coloured <= 1) return kPalette[4];
  const double t = static_cast<double>(band - 1) / (coloured - 1) * (kPalette.size() - 1);
  const std::size_t i = std::min(static_cast<std::size_t>(t), kPalette.size() - 2);
  const double f = t - static_cast<double>(i);
  const auto mix = [&](unsigned char a, unsigned char b) {
    return static_cast<unsigned char>(std::lround(a + (b - a) * f));
  };
  return {mix(kPalette[i].R, kPalette[i + 1].R), mix(kPalette[i].G, kPalette[i + 1].G),
          mix(kPalette[i].B, kPalette[i + 1].B)};
}

MapView FitView(const SiteMapInput& in, int width, int height) {
  const double frameW = width - kLeftMargin - kLegendWidth - kRightGap;
  const double frameH = height - kTitleHeight - kBottomMargin;
  MapView v;
  v.CenterX = (in.XMin + in.XMax) / 2;
  v.CenterY = (in.YMin + in.YMax) / 2;
  const double w = std::max(in.XMax - in.XMin, 1.0);
  const double h = std::max(in.YMax - in.YMin, 1.0);
  v.MetresPerPixel = std::max(w / std::max(frameW, 10.0), h / std::max(frameH, 10.0)) * 1.04;
  return v;
}

MapScene BuildSiteMap(const SiteMapInput& in, int width, int height, std::optional<MapView> view) {
  MapScene m = EmptyMapScene(in, width, height, view);
  AddBands(m, in);
  AddCoordinates(m, in);
  AddMarksAndLabels(m, in);
  AddNorthArrow(m);
  AddScaleBar(m);
  AddFrameAndTitle(m, in);
  AddLegend(m, in);
  return m;
}

}  // namespace vmk
