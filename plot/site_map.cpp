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

constexpr PlotColor kMaximumLabel{0, 85, 35};  // darker than the mark: it reads on dark red
constexpr PlotColor kPolarColor{45, 45, 45};
constexpr PlotColor kHalo{255, 255, 255};

// Yellow to dark red, nine steps, light to dark. The first is a saturated yellow that stands
// out from the white of the ground below the lowest level.
constexpr std::array<PlotColor, 9> kPalette = {{{255, 221, 87}, {254, 190, 60}, {253, 156, 45},
                                                 {247, 120, 38}, {235, 84, 35},  {214, 47, 39},
                                                 {184, 20, 45},  {148, 5, 50},   {105, 0, 45}}};

// The symbols' radii for the names around them, pixels (the stack's triangle reaches 8 px from
// its centre, with its outline 9).
constexpr double kStackSize = 8;
constexpr double kStackRadius = 9;
constexpr double kPointRadius = 4;
constexpr double kMaximumRadius = 10;
constexpr double kLabelGap = 3;

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

bool OverGround(const SiteMapInput& in) { return in.Basemap && !in.Basemap->Empty(); }

void AddBands(MapScene& m, const SiteMapInput& in) {
  const int bands = static_cast<int>(in.Levels.size()) + 1;
  const bool overGround = OverGround(in);
  for (const MapBand& b : in.Bands) {
    if (overGround && b.Index <= 0) continue;  // the ground shows below the first level
    PlotFill f;
    f.Color = BandColor(b.Index, bands);
    f.Opacity = overGround ? kBandOpacity : 1;
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

// The bands as an image of whole pixels over the part of the frame the grid covers, each pixel
// in the colour of its centre's band, drawn as the polygons would be (see AddBands).
void AddBandImage(MapScene& m, const SiteMapInput& in) {
  if (!in.Bands.empty() || !in.BandGrid || in.Levels.empty()) return;
  const MapGrid& g = *in.BandGrid;
  if (g.X.size() < 2 || g.Y.size() < 2 || g.Values.size() != g.X.size() * g.Y.size()) return;
  std::optional<PlotImage> placed = FrameImage(m, g.X.front(), g.Y.front(), g.X.back(), g.Y.back());
  if (!placed) return;
  PlotImage& image = *placed;
  const int bands = static_cast<int>(in.Levels.size()) + 1;
  const bool overGround = OverGround(in);
  const auto alpha = static_cast<unsigned char>(std::lround((overGround ? kBandOpacity : 1) * 255));
  for (int row = 0; row < image.Rows; ++row) {
    const double gy = m.ToGround(0, image.Top + row + 0.5).second;
    for (int column = 0; column < image.Columns; ++column) {
      const double gx = m.ToGround(image.Left + column + 0.5, 0).first;
      const std::optional<double> v = GridValueAt(g, gx, gy);
      if (!v) continue;
      const int band = BandOfValue(in.Levels, *v);
      if (overGround && band <= 0) continue;  // the ground shows below the first level
      const PlotColor c = BandColor(band, bands);
      unsigned char* p = &image.Rgba[(static_cast<std::size_t>(row) * image.Columns + column) * 4];
      p[0] = c.R;
      p[1] = c.G;
      p[2] = c.B;
      p[3] = alpha;
    }
  }
  m.Images.push_back(std::move(image));
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

// The north arrow's place: its centre, top right of the frame.
std::pair<double, double> NorthArrowAt(const MapScene& m) {
  const FrameEdges e = EdgesOf(m);
  return {e.Right - 30, e.Top + 22};
}

// The scale bar's place and length: its left end, bottom left of the frame, and the metres and
// pixels of its length, a quarter of the frame's width or less.
struct ScaleBarPlace {
  double X, Y, Metres, Pixels;
};
ScaleBarPlace ScaleBarOf(const MapScene& m) {
  const FrameEdges e = EdgesOf(m);
  const double metres = OneTwoFiveAtMost(m.FrameWidth * m.View.MetresPerPixel / 4);
  return {e.Left + 16, e.Bottom - 18, metres, metres / m.View.MetresPerPixel};
}

std::string ScaleBarText(double m) {
  return m >= 1000 ? PrintfNumber("%g km", m / 1000) : PrintfNumber("%g m", m);
}

// The polar receptors as small dots.
void AddPolarReceptors(MapScene& m, const SiteMapInput& in) {
  if (!in.ShowPolar) return;
  const FrameEdges e = EdgesOf(m);
  for (const auto& [x, y] : in.PolarReceptors) {
    const auto [px, py] = m.ToPixel(x, y);
    if (px < e.Left - 2 || px > e.Right + 2 || py < e.Top - 2 || py > e.Bottom + 2) continue;
    m.Inside.Circles.push_back({px, py, 1.6, kPolarColor, kPolarColor, 0.4});
  }
}

bool InFrame(const FrameEdges& e, std::pair<double, double> p) {
  return p.first >= e.Left && p.first <= e.Right && p.second >= e.Top && p.second <= e.Bottom;
}

// Points, stacks and the maximum, each name by its own symbol, clear of the others, of every
// symbol, of the north arrow and of the scale bar; a name that cannot stand beside its symbol
// stands away from it with a leader line. The names of symbols outside the frame are left out.
void AddMarksAndLabels(MapScene& m, const SiteMapInput& in) {
  const FrameEdges e = EdgesOf(m);
  LabelPlacer labels({e.Left + 2, e.Top + 2, e.Right - 2, e.Bottom - 2});
  const auto [ax, ay] = NorthArrowAt(m);
  labels.AddObstacle({ax - 10, ay - 16, ax + 10, ay + 30});
  const ScaleBarPlace bar = ScaleBarOf(m);
  const double barText = EstimatedTextWidth(ScaleBarText(bar.Metres), 11) / 2;
  labels.AddObstacle({bar.X - 6, bar.Y - 20, bar.X + bar.Pixels + std::max(6.0, barText), bar.Y + 12});

  struct Named {
    std::pair<double, double> At;
    int Symbol;
  };
  const auto add = [&](const MapMark& mark, double radius) {
    const auto at = m.ToPixel(mark.X, mark.Y);
    return Named{at, labels.AddSymbol(at.first, at.second, radius)};
  };
  std::vector<Named> stacks, points;
  for (const MapMark& s : in.Stacks) stacks.push_back(add(s, kStackRadius));
  for (const MapMark& p : in.Points) points.push_back(add(p, kPointRadius + 1));
  std::optional<Named> maximum;
  if (in.Maximum) maximum = add(*in.Maximum, kMaximumRadius);

  const auto name = [&](const Named& n, const std::string& text, double size, bool bold, PlotColor color) {
    if (!InFrame(e, n.At)) return;
    PlacedLabel placed = labels.Place(n.Symbol, kLabelGap, text, size, bold, color);
    placed.Text.Halo = kHalo;
    if (placed.Leader) m.Inside.Segments.push_back(*placed.Leader);
    m.Inside.Texts.push_back(std::move(placed.Text));
  };
  if (maximum) {
    const auto [px, py] = maximum->At;
    m.Inside.Circles.push_back({px, py, 6, kMaximumColor, kWhite});
    m.Inside.Segments.push_back(MapSegment(px - 10, py, px + 10, py, kMaximumColor, 2));
    m.Inside.Segments.push_back(MapSegment(px, py - 10, px, py + 10, kMaximumColor, 2));
    name(*maximum, in.Maximum->Name, 13, true, kMaximumLabel);
  }
  for (std::size_t i = 0; i < in.Stacks.size(); ++i) {
    m.Marks.push_back(TriangleFill(stacks[i].At.first, stacks[i].At.second, kStackSize, kBlack));
    name(stacks[i], in.Stacks[i].Name, 13, true, kBlack);
  }
  for (std::size_t i = 0; i < in.Points.size(); ++i) {
    const auto [px, py] = points[i].At;
    m.Inside.Circles.push_back({px, py, kPointRadius, kPointColor, kWhite});
    name(points[i], in.Points[i].Name, 12, false, kPointColor);
  }
}

// The north arrow, top right of the frame.
void AddNorthArrow(MapScene& m) {
  const auto [ax, ay] = NorthArrowAt(m);
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
  const ScaleBarPlace bar = ScaleBarOf(m);
  const double metres = bar.Metres;
  const double px = bar.Pixels;
  const double bx = bar.X;
  const double by = bar.Y;
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
    if (OverGround(in)) m.OutsideFills.back().Opacity = i == 0 ? 0 : kBandOpacity;
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
  if (in.ShowPolar && !in.PolarReceptors.empty()) {
    ly += 22;
    m.Outside.Circles.push_back({lx + 11, ly + 7, 1.6, kPolarColor, kPolarColor, 0.4});
    m.Outside.Texts.push_back(MapText(lx + 30, ly + 12, "極座標の受容点", 12));
  }
}

// The index of the cell [i, i + 1] of the ascending nodes that holds v (the last cell for the
// last node); nothing outside.
std::optional<std::size_t> CellOf(const std::vector<double>& nodes, double v) {
  if (!(v >= nodes.front() && v <= nodes.back())) return std::nullopt;
  const auto above = std::upper_bound(nodes.begin(), nodes.end(), v);
  const auto i = static_cast<std::size_t>(above - nodes.begin());
  return std::min(i, nodes.size() - 1) - 1;
}

}  // namespace

std::optional<double> GridValueAt(const MapGrid& grid, double x, double y) {
  const std::size_t nx = grid.X.size();
  if (nx < 2 || grid.Y.size() < 2 || grid.Values.size() != nx * grid.Y.size()) return std::nullopt;
  const std::optional<std::size_t> i = CellOf(grid.X, x);
  const std::optional<std::size_t> j = CellOf(grid.Y, y);
  if (!i || !j) return std::nullopt;
  const double u = (x - grid.X[*i]) / (grid.X[*i + 1] - grid.X[*i]);
  const double t = (y - grid.Y[*j]) / (grid.Y[*j + 1] - grid.Y[*j]);
  // The four nodes by their weights; a node without a value counts only where it weighs.
  const double weights[4] = {(1 - u) * (1 - t), u * (1 - t), (1 - u) * t, u * t};
  const std::size_t nodes[4] = {*j * nx + *i, *j * nx + *i + 1, (*j + 1) * nx + *i, (*j + 1) * nx + *i + 1};
  double value = 0;
  for (int k = 0; k < 4; ++k) {
    if (weights[k] == 0) continue;
    const double v = grid.Values[nodes[k]];
    if (std::isnan(v)) return std::nullopt;
    value += v * weights[k];
  }
  return value;
}

int BandOfValue(const std::vector<double>& levels, double value) {
  return static_cast<int>(std::upper_bound(levels.begin(), levels.end(), value) - levels.begin());
}

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
  if (OverGround(in)) AddBasemap(m, *in.Basemap);
  AddBands(m, in);
  AddBandImage(m, in);
  AddCoordinates(m, in);
  AddPolarReceptors(m, in);
  AddMarksAndLabels(m, in);
  AddNorthArrow(m);
  AddScaleBar(m);
  AddFrameAndTitle(m, in);
  AddLegend(m, in);
  return m;
}

}  // namespace vmk
