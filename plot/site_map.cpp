#include "plot/site_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

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

PlotText Text(double x, double y, std::string s, double size, TextAnchor anchor = TextAnchor::Start,
              bool bold = false, PlotColor color = kText) {
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

PlotSegment Segment(double x1, double y1, double x2, double y2, PlotColor c, double width = 1) {
  PlotSegment s;
  s.X1 = x1;
  s.Y1 = y1;
  s.X2 = x2;
  s.Y2 = y2;
  s.Stroke.Color = c;
  s.Stroke.Width = width;
  return s;
}

PlotFill Box(double x, double y, double w, double h, PlotColor fill, std::optional<PlotStroke> outline) {
  PlotFill f;
  f.Rings.push_back({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}});
  f.Color = fill;
  f.Outline = outline;
  return f;
}

PlotFill Triangle(double x, double y, double size, PlotColor fill) {
  PlotFill f;
  f.Rings.push_back({{x, y - size}, {x + size * 0.87, y + size * 0.5}, {x - size * 0.87, y + size * 0.5}, {x, y - size}});
  f.Color = fill;
  PlotStroke s;
  s.Color = kWhite;
  s.Width = 1;
  f.Outline = s;
  return f;
}

// A scale-bar length: 1, 2 or 5 times a power of ten, at most `metres`.
double ScaleLength(double metres) {
  const double p = std::pow(10.0, std::floor(std::log10(metres)));
  for (double m : {5.0, 2.0, 1.0}) {
    if (m * p <= metres) return m * p;
  }
  return p;
}

std::string DistanceText(double m) {
  return m >= 1000 ? PrintfNumber("%g km", m / 1000) : PrintfNumber("%g m", m);
}

// The width of a text estimated without fonts: Latin letters about 0.6 of the height, other
// characters (kana, kanji) a full height.
double TextWidth(const std::string& utf8, double size) {
  double w = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      w += 0.6 * size;
    } else if ((c & 0xC0) != 0x80) {
      w += size;
    }
  }
  return w;
}

struct Box2 {
  double L, T, R, B;
  bool Overlaps(const Box2& o) const { return L < o.R && o.L < R && T < o.B && o.T < B; }
};

// Places the names of the marks so that they overlap neither each other nor the marks: the
// first of eight places around the mark that is free, or the first place when none is.
class LabelPlacer {
 public:
  void Occupy(double x, double y, double radius) { taken_.push_back({x - radius, y - radius, x + radius, y + radius}); }

  PlotText Place(double x, double y, double gap, const std::string& text, double size, bool bold,
                 PlotColor color) {
    const double w = TextWidth(text, size);
    const double h = size;
    // (dx of the text's left edge, dy of its baseline) around the mark.
    const std::pair<double, double> places[] = {
        {gap, -gap},          {gap, gap + h},          {-gap - w, -gap},     {-gap - w, gap + h},
        {-w / 2, -gap - 2},   {-w / 2, gap + h + 2},   {gap, h / 2 - 1},     {-gap - w, h / 2 - 1}};
    std::size_t chosen = 0;
    for (std::size_t i = 0; i < std::size(places); ++i) {
      const Box2 b = BoxAt(x + places[i].first, y + places[i].second, w, h);
      bool free = true;
      for (const Box2& t : taken_) free = free && !b.Overlaps(t);
      if (free) {
        chosen = i;
        break;
      }
    }
    const double left = x + places[chosen].first;
    const double base = y + places[chosen].second;
    taken_.push_back(BoxAt(left, base, w, h));
    return Text(left, base, text, size, TextAnchor::Start, bold, color);
  }

 private:
  static Box2 BoxAt(double left, double base, double w, double h) { return {left, base - h, left + w, base + 3}; }
  std::vector<Box2> taken_;
};

}  // namespace

MapPoint MapScene::ToGround(double px, double py) const {
  return {View.CenterX + (px - (FrameLeft + FrameWidth / 2)) * View.MetresPerPixel,
          View.CenterY - (py - (FrameTop + FrameHeight / 2)) * View.MetresPerPixel};
}

std::pair<double, double> MapScene::ToPixel(double x, double y) const {
  return {FrameLeft + FrameWidth / 2 + (x - View.CenterX) / View.MetresPerPixel,
          FrameTop + FrameHeight / 2 - (y - View.CenterY) / View.MetresPerPixel};
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
  MapScene m;
  m.Width = width;
  m.Height = height;
  m.FrameLeft = kLeftMargin;
  m.FrameTop = kTitleHeight;
  m.FrameWidth = std::max(10.0, width - kLeftMargin - kLegendWidth - kRightGap);
  m.FrameHeight = std::max(10.0, height - kTitleHeight - kBottomMargin);
  m.View = view ? *view : FitView(in, width, height);
  if (!(m.View.MetresPerPixel > 0)) m.View.MetresPerPixel = 1;
  const double left = m.FrameLeft;
  const double top = m.FrameTop;
  const double right = left + m.FrameWidth;
  const double bottom = top + m.FrameHeight;

  // The bands.
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

  // Coordinates: light lines inside, labels outside.
  const MapPoint lowGround = m.ToGround(left, bottom);
  const MapPoint highGround = m.ToGround(right, top);
  double x0 = lowGround.first, x1 = highGround.first;
  double y0 = lowGround.second, y1 = highGround.second;
  for (const AxisTick& t : LinearTicks(x0, x1, 6, false)) {
    const double px = m.ToPixel(t.Value, 0).first;
    if (px < left || px > right) continue;
    m.Inside.Segments.push_back(Segment(px, top, px, bottom, kGridLine, 0.6));
    m.Outside.Texts.push_back(Text(px, bottom + 16, t.Label, 11, TextAnchor::Middle));
  }
  for (const AxisTick& t : LinearTicks(y0, y1, 6, false)) {
    const double py = m.ToPixel(0, t.Value).second;
    if (py < top || py > bottom) continue;
    m.Inside.Segments.push_back(Segment(left, py, right, py, kGridLine, 0.6));
    m.Outside.Texts.push_back(Text(left - 6, py + 4, t.Label, 11, TextAnchor::End));
  }
  m.Outside.Texts.push_back(Text((left + right) / 2, bottom + 34, "x (m)  東 →", 12, TextAnchor::Middle));
  m.Outside.Texts.push_back(Text(8, top - 8, "y (m) 北 ↑", 12));

  // The grid's extent.
  {
    const auto [ax, ay] = m.ToPixel(in.XMin, in.YMax);
    const auto [bx, by] = m.ToPixel(in.XMax, in.YMin);
    PlotPolyline outline;
    outline.Points = {{ax, ay}, {bx, ay}, {bx, by}, {ax, by}, {ax, ay}};
    outline.Stroke.Color = kExtent;
    outline.Stroke.Width = 1;
    outline.Stroke.Dashed = true;
    m.Inside.Polylines.push_back(outline);
  }

  // Points, stacks and the maximum, with their names placed clear of each other.
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
    m.Inside.Segments.push_back(Segment(px - 10, py, px + 10, py, kMaximumColor, 2));
    m.Inside.Segments.push_back(Segment(px, py - 10, px, py + 10, kMaximumColor, 2));
    m.Inside.Texts.push_back(labels.Place(px, py, 11, in.Maximum->Name, 13, true, kMaximumColor));
  }
  for (std::size_t i = 0; i < in.Stacks.size(); ++i) {
    const auto [px, py] = stackPx[i];
    m.Marks.push_back(Triangle(px, py, 8, kBlack));
    m.Inside.Texts.push_back(labels.Place(px, py, 9, in.Stacks[i].Name, 13, true, kBlack));
  }
  for (std::size_t i = 0; i < in.Points.size(); ++i) {
    const auto [px, py] = pointPx[i];
    m.Inside.Circles.push_back({px, py, 4, kPointColor, kWhite});
    m.Inside.Texts.push_back(labels.Place(px, py, 6, in.Points[i].Name, 12, false, kPointColor));
  }

  // North arrow, top right of the frame.
  {
    const double ax = right - 30;
    const double ay = top + 22;
    PlotFill arrow;
    arrow.Rings.push_back({{ax, ay - 14}, {ax + 8, ay + 10}, {ax, ay + 4}, {ax - 8, ay + 10}, {ax, ay - 14}});
    arrow.Color = kBlack;
    PlotStroke white;
    white.Color = kWhite;
    white.Width = 1;
    arrow.Outline = white;
    m.Marks.push_back(arrow);
    m.Outside.Texts.push_back(Text(ax, ay + 26, "N", 14, TextAnchor::Middle, true, kBlack));
  }

  // Scale bar, bottom left of the frame: black and white halves.
  {
    const double metres = ScaleLength(m.FrameWidth * m.View.MetresPerPixel / 4);
    const double px = metres / m.View.MetresPerPixel;
    const double bx = left + 16;
    const double by = bottom - 18;
    PlotStroke black;
    black.Color = kBlack;
    black.Width = 1;
    m.Marks.push_back(Box(bx - 4, by - 18, px + 8, 28, kWhite, std::nullopt));
    m.Marks.push_back(Box(bx, by, px / 2, 6, kBlack, black));
    m.Marks.push_back(Box(bx + px / 2, by, px / 2, 6, kWhite, black));
    m.Outside.Texts.push_back(Text(bx, by - 4, "0", 11, TextAnchor::Middle));
    m.Outside.Texts.push_back(Text(bx + px, by - 4, DistanceText(metres), 11, TextAnchor::Middle));
  }

  // Frame, title and legend.
  {
    PlotPolyline frame;
    frame.Points = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    frame.Stroke.Color = kBlack;
    frame.Stroke.Width = 1;
    m.Outside.Polylines.push_back(frame);
  }
  m.Outside.Texts.push_back(Text(left, 26, in.Title, 18, TextAnchor::Start, true));
  m.Outside.Texts.push_back(Text(left, 48, in.Subtitle, 13));

  const double lx = right + kRightGap + 8;
  double ly = top + 4;
  m.Outside.Texts.push_back(Text(lx, ly + 12, "C (ppb, ng/m3)", 13, TextAnchor::Start, true));
  ly += 24;
  PlotStroke edge;
  edge.Color = {120, 120, 120};
  edge.Width = 0.8;
  const int n = static_cast<int>(in.Levels.size());
  for (int i = n; i >= 0 && n > 0; --i) {
    std::string label;
    if (i == n) {
      label = ShortNumberText(in.Levels[static_cast<std::size_t>(n - 1)]) + " 以上";
    } else if (i == 0) {
      label = ShortNumberText(in.Levels[0]) + " 未満";
    } else {
      label = ShortNumberText(in.Levels[static_cast<std::size_t>(i - 1)]) + " – " +
              ShortNumberText(in.Levels[static_cast<std::size_t>(i)]);
    }
    m.Outside.Texts.push_back(Text(lx + 30, ly + 12, label, 12));
    m.OutsideFills.push_back(Box(lx, ly, 22, 15, BandColor(i, bands), edge));
    ly += 20;
  }
  if (n == 0) {
    m.Outside.Texts.push_back(Text(lx, ly + 12, "(等濃度線なし)", 12));
    ly += 20;
  }
  ly += 14;
  m.OutsideFills.push_back(Triangle(lx + 11, ly + 8, 7, kBlack));
  m.Outside.Texts.push_back(Text(lx + 30, ly + 12, "煙突", 12));
  if (!in.Points.empty()) {
    ly += 22;
    m.Outside.Circles.push_back({lx + 11, ly + 7, 4, kPointColor, kWhite});
    m.Outside.Texts.push_back(Text(lx + 30, ly + 12, "予測地点", 12));
  }
  if (in.Maximum) {
    ly += 22;
    m.Outside.Circles.push_back({lx + 11, ly + 7, 6, kMaximumColor, kWhite});
    m.Outside.Texts.push_back(Text(lx + 30, ly + 12, "最大濃度", 12));
  }
  return m;
}

}  // namespace vmk
