#include "plot/map_basemap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

namespace vmk {
namespace {

// The halvings stop at this size, pixels along the longer side.
constexpr int kCoarsestLevel = 256;
// The shapes are cut this far outside the frame, so that the cut edges never show.
constexpr double kCutMargin = 8;

constexpr PlotColor kPolygonFill{222, 222, 216};
constexpr double kPolygonOpacity = 0.35;
constexpr PlotColor kPolygonEdge{140, 140, 140};
constexpr PlotColor kLineColor{110, 110, 110};

using Pixel = std::pair<double, double>;

// A pixel's four channels with the colour multiplied by its alpha (0 to 1), for averaging.
struct Premultiplied {
  double R = 0, G = 0, B = 0, A = 0;
};

Premultiplied At(const BasemapRaster& r, int column, int row) {
  const std::size_t i = (static_cast<std::size_t>(row) * r.Columns + column) * 4;
  const double a = r.Rgba[i + 3] / 255.0;
  return {r.Rgba[i] * a, r.Rgba[i + 1] * a, r.Rgba[i + 2] * a, a};
}

void Store(std::vector<unsigned char>& rgba, std::size_t i, const Premultiplied& p) {
  const auto channel = [](double v) {
    return static_cast<unsigned char>(std::clamp(std::lround(v), 0L, 255L));
  };
  if (p.A <= 0) {
    rgba[i] = rgba[i + 1] = rgba[i + 2] = rgba[i + 3] = 0;
    return;
  }
  rgba[i] = channel(p.R / p.A);
  rgba[i + 1] = channel(p.G / p.A);
  rgba[i + 2] = channel(p.B / p.A);
  rgba[i + 3] = channel(p.A * 255);
}

// The raster at half the resolution: each pixel the average of the (up to) four it covers.
BasemapRaster Halved(const BasemapRaster& r) {
  BasemapRaster h;
  h.Columns = (r.Columns + 1) / 2;
  h.Rows = (r.Rows + 1) / 2;
  h.Left = r.Left;
  h.Top = r.Top;
  h.PixelWidth = r.PixelWidth * 2;
  h.PixelHeight = r.PixelHeight * 2;
  h.Rgba.assign(static_cast<std::size_t>(h.Columns) * h.Rows * 4, 0);
  for (int row = 0; row < h.Rows; ++row) {
    for (int column = 0; column < h.Columns; ++column) {
      Premultiplied sum;
      int n = 0;
      for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
          const int c = 2 * column + dx, w = 2 * row + dy;
          if (c >= r.Columns || w >= r.Rows) continue;
          const Premultiplied p = At(r, c, w);
          sum = {sum.R + p.R, sum.G + p.G, sum.B + p.B, sum.A + p.A};
          ++n;
        }
      }
      Store(h.Rgba, (static_cast<std::size_t>(row) * h.Columns + column) * 4,
            {sum.R / n, sum.G / n, sum.B / n, sum.A / n});
    }
  }
  return h;
}

// The raster's colour at the fractional pixel position (u, v) (pixel centres at whole
// numbers), bilinear; transparent outside the raster.
Premultiplied Sample(const BasemapRaster& r, double u, double v) {
  if (u < -0.5 || v < -0.5 || u > r.Columns - 0.5 || v > r.Rows - 0.5) return {};
  const double cu = std::clamp(u, 0.0, r.Columns - 1.0);
  const double cv = std::clamp(v, 0.0, r.Rows - 1.0);
  const int c0 = static_cast<int>(cu), r0 = static_cast<int>(cv);
  const int c1 = std::min(c0 + 1, r.Columns - 1), r1 = std::min(r0 + 1, r.Rows - 1);
  const double fu = cu - c0, fv = cv - r0;
  const Premultiplied p00 = At(r, c0, r0), p10 = At(r, c1, r0), p01 = At(r, c0, r1),
                      p11 = At(r, c1, r1);
  const auto mix = [&](double a, double b, double c, double d) {
    return (a * (1 - fu) + b * fu) * (1 - fv) + (c * (1 - fu) + d * fu) * fv;
  };
  return {mix(p00.R, p10.R, p01.R, p11.R), mix(p00.G, p10.G, p01.G, p11.G),
          mix(p00.B, p10.B, p01.B, p11.B), mix(p00.A, p10.A, p01.A, p11.A)};
}

// The frame's whole pixels.
struct PixelRect {
  double Left, Top, Right, Bottom;
};

void AddRaster(MapScene& m, const std::vector<BasemapRaster>& levels) {
  if (levels.empty()) return;
  // The coarsest halving still as fine as the view.
  std::size_t level = 0;
  while (level + 1 < levels.size() &&
         std::max(levels[level + 1].PixelWidth, levels[level + 1].PixelHeight) <= m.View.MetresPerPixel) {
    ++level;
  }
  const BasemapRaster& r = levels[level];
  if (r.Columns <= 0 || r.Rows <= 0) return;
  std::optional<PlotImage> placed =
      FrameImage(m, r.Left, r.Top - r.Rows * r.PixelHeight, r.Left + r.Columns * r.PixelWidth, r.Top);
  if (!placed) return;
  PlotImage& image = *placed;
  for (int row = 0; row < image.Rows; ++row) {
    const double gy = m.ToGround(0, image.Top + row + 0.5).second;
    const double v = (r.Top - gy) / r.PixelHeight - 0.5;
    for (int column = 0; column < image.Columns; ++column) {
      const double gx = m.ToGround(image.Left + column + 0.5, 0).first;
      const double u = (gx - r.Left) / r.PixelWidth - 0.5;
      Store(image.Rgba, (static_cast<std::size_t>(row) * image.Columns + column) * 4, Sample(r, u, v));
    }
  }
  m.Images.push_back(std::move(image));
}

// The part of a ring inside the rectangle (Sutherland-Hodgman): the same area within it.
std::vector<Pixel> CutRing(std::vector<Pixel> ring, const PixelRect& c) {
  const std::array<std::pair<int, double>, 4> edges = {
      {{0, c.Left}, {1, c.Right}, {2, c.Top}, {3, c.Bottom}}};
  for (const auto& edge : edges) {
    if (ring.empty()) break;
    // Plain copies: clang 14 cannot capture structured bindings in a lambda.
    const int side = edge.first;
    const double at = edge.second;
    const auto inside = [side, at](const Pixel& p) {
      switch (side) {
        case 0: return p.first >= at;
        case 1: return p.first <= at;
        case 2: return p.second >= at;
        default: return p.second <= at;
      }
    };
    const auto cross = [side, at](const Pixel& a, const Pixel& b) {
      const bool vertical = side < 2;
      const double t = vertical ? (at - a.first) / (b.first - a.first) : (at - a.second) / (b.second - a.second);
      return vertical ? Pixel{at, a.second + t * (b.second - a.second)}
                      : Pixel{a.first + t * (b.first - a.first), at};
    };
    std::vector<Pixel> out;
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const Pixel& a = ring[(i + ring.size() - 1) % ring.size()];
      const Pixel& b = ring[i];
      if (inside(b)) {
        if (!inside(a)) out.push_back(cross(a, b));
        out.push_back(b);
      } else if (inside(a)) {
        out.push_back(cross(a, b));
      }
    }
    ring = std::move(out);
  }
  return ring;
}

// The parts of a line inside the rectangle, each an open polyline (Liang-Barsky per segment).
std::vector<std::vector<Pixel>> CutLine(const std::vector<Pixel>& line, const PixelRect& c) {
  std::vector<std::vector<Pixel>> parts;
  std::vector<Pixel> part;
  for (std::size_t i = 1; i < line.size(); ++i) {
    const Pixel& a = line[i - 1];
    const Pixel& b = line[i];
    double t0 = 0, t1 = 1;
    const double dx = b.first - a.first, dy = b.second - a.second;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.first - c.Left, c.Right - a.first, a.second - c.Top, c.Bottom - a.second};
    bool visible = true;
    for (int k = 0; k < 4 && visible; ++k) {
      if (p[k] == 0) {
        visible = q[k] >= 0;
      } else if (p[k] < 0) {
        t0 = std::max(t0, q[k] / p[k]);
      } else {
        t1 = std::min(t1, q[k] / p[k]);
      }
      if (t0 > t1) visible = false;
    }
    if (!visible) {
      if (part.size() > 1) parts.push_back(std::move(part));
      part.clear();
      continue;
    }
    const Pixel from{a.first + t0 * dx, a.second + t0 * dy};
    const Pixel to{a.first + t1 * dx, a.second + t1 * dy};
    if (part.empty() || t0 > 0) {
      if (part.size() > 1) parts.push_back(std::move(part));
      part = {from};
    }
    part.push_back(to);
    if (t1 < 1) {
      parts.push_back(std::move(part));
      part.clear();
    }
  }
  if (part.size() > 1) parts.push_back(std::move(part));
  return parts;
}

}  // namespace

MapBasemap MakeBasemap(BasemapRaster raster, std::vector<MapRing> lines,
                       std::vector<MapPolygon> polygons) {
  MapBasemap b;
  if (raster.Columns > 0 && raster.Rows > 0 &&
      raster.Rgba.size() == static_cast<std::size_t>(raster.Columns) * raster.Rows * 4) {
    b.Levels.push_back(std::move(raster));
    while (std::max(b.Levels.back().Columns, b.Levels.back().Rows) > kCoarsestLevel) {
      b.Levels.push_back(Halved(b.Levels.back()));
    }
  }
  const auto box = [](const MapRing& ring, auto& item) {
    for (const auto& [x, y] : ring) {
      item.XMin = std::min(item.XMin, x);
      item.XMax = std::max(item.XMax, x);
      item.YMin = std::min(item.YMin, y);
      item.YMax = std::max(item.YMax, y);
    }
  };
  for (MapRing& line : lines) {
    if (line.size() < 2) continue;
    BasemapLine l{std::move(line), 0, 0, 0, 0};
    l.XMin = l.XMax = l.Points.front().first;
    l.YMin = l.YMax = l.Points.front().second;
    box(l.Points, l);
    b.Lines.push_back(std::move(l));
  }
  for (MapPolygon& polygon : polygons) {
    if (polygon.Rings.empty() || polygon.Rings.front().size() < 3) continue;
    BasemapPolygon p{std::move(polygon), 0, 0, 0, 0};
    p.XMin = p.XMax = p.Polygon.Rings.front().front().first;
    p.YMin = p.YMax = p.Polygon.Rings.front().front().second;
    for (const MapRing& ring : p.Polygon.Rings) box(ring, p);
    b.Polygons.push_back(std::move(p));
  }
  return b;
}

void AddBasemap(MapScene& m, const MapBasemap& basemap) {
  AddRaster(m, basemap.Levels);
  const PixelRect cut{m.FrameLeft - kCutMargin, m.FrameTop - kCutMargin,
                      m.FrameLeft + m.FrameWidth + kCutMargin, m.FrameTop + m.FrameHeight + kCutMargin};
  const MapPoint low = m.ToGround(cut.Left, cut.Bottom);
  const MapPoint high = m.ToGround(cut.Right, cut.Top);
  const auto seen = [&](const auto& item) {
    return item.XMax >= low.first && item.XMin <= high.first && item.YMax >= low.second &&
           item.YMin <= high.second;
  };
  const auto pixels = [&](const MapRing& ring) {
    std::vector<Pixel> out;
    out.reserve(ring.size());
    for (const auto& [x, y] : ring) out.push_back(m.ToPixel(x, y));
    return out;
  };
  for (const BasemapPolygon& p : basemap.Polygons) {
    if (!seen(p)) continue;
    PlotFill f;
    for (const MapRing& ring : p.Polygon.Rings) {
      std::vector<Pixel> kept = CutRing(pixels(ring), cut);
      if (kept.size() >= 3) f.Rings.push_back(std::move(kept));
    }
    if (f.Rings.empty()) continue;
    f.Color = kPolygonFill;
    f.Opacity = kPolygonOpacity;
    f.Outline = PlotStroke{kPolygonEdge, 0.8, false};
    m.GroundFills.push_back(std::move(f));
  }
  for (const BasemapLine& l : basemap.Lines) {
    if (!seen(l)) continue;
    for (std::vector<Pixel>& part : CutLine(pixels(l.Points), cut)) {
      m.Ground.Polylines.push_back({std::move(part), PlotStroke{kLineColor, 1.2, false}});
    }
  }
}

}  // namespace vmk
