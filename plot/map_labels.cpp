#include "plot/map_labels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>

namespace vmk {
namespace {

// The ascent and descent of the gothic fonts (0.88 and 0.21 of the size in IPA P Gothic),
// rounded up.
constexpr double kAscent = 0.9;
constexpr double kDescent = 0.22;

// Widths of the printable ASCII characters as shares of the size, each at least what the
// gothic fonts give it (IPA P Gothic: digits 0.63, "m" 0.87, "W" 0.93).
double AsciiWidth(char c) {
  if (c == ' ') return 0.3;
  if (c >= '0' && c <= '9') return 0.66;
  switch (c) {
    case 'i': case 'j': case 'l': case '.': case ',': case ':': case ';': case '!': case '\'':
    case '|': case '`':
      return 0.36;
    case '(': case ')': case '[': case ']': case '{': case '}': case 'f': case 'r': case 't':
    case 'I': case 'J': case '"': case '*': case '-':
      return 0.45;
    case 'm': case 'w': case 'M': case 'W': case '@': case '%':
      return 0.96;
    default: break;
  }
  if (c >= 'A' && c <= 'Z') return 0.84;
  return 0.66;
}

// The length of the UTF-8 sequence that starts with byte c (1 for a stray byte).
std::size_t SequenceLength(unsigned char c) {
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

double Distance(double ax, double ay, double bx, double by) { return std::hypot(ax - bx, ay - by); }

// The point of the box nearest to (x, y).
std::pair<double, double> NearestOnBox(const LabelBox& b, double x, double y) {
  return {std::clamp(x, b.Left, b.Right), std::clamp(y, b.Top, b.Bottom)};
}

double DistanceToBox(const LabelBox& b, double x, double y) {
  const auto [nx, ny] = NearestOnBox(b, x, y);
  return Distance(x, y, nx, ny);
}

double OverlapArea(const LabelBox& a, const LabelBox& b) {
  const double w = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
  const double h = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
  return w > 0 && h > 0 ? w * h : 0;
}

LabelBox Grown(const LabelBox& b, double d) { return {b.Left - d, b.Top - d, b.Right + d, b.Bottom + d}; }

bool Within(const LabelBox& inner, const LabelBox& outer) {
  return inner.Left >= outer.Left && inner.Right <= outer.Right && inner.Top >= outer.Top &&
         inner.Bottom <= outer.Bottom;
}

// Whether the segment passes through the box (Liang-Barsky).
bool SegmentMeetsBox(const PlotSegment& s, const LabelBox& b) {
  double t0 = 0, t1 = 1;
  const double dx = s.X2 - s.X1, dy = s.Y2 - s.Y1;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {s.X1 - b.Left, b.Right - s.X1, s.Y1 - b.Top, b.Bottom - s.Y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  return true;
}

double Cross(double ax, double ay, double bx, double by, double cx, double cy) {
  return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

bool SegmentsCross(const PlotSegment& a, const PlotSegment& b) {
  const double d1 = Cross(a.X1, a.Y1, a.X2, a.Y2, b.X1, b.Y1);
  const double d2 = Cross(a.X1, a.Y1, a.X2, a.Y2, b.X2, b.Y2);
  const double d3 = Cross(b.X1, b.Y1, b.X2, b.Y2, a.X1, a.Y1);
  const double d4 = Cross(b.X1, b.Y1, b.X2, b.Y2, a.X2, a.Y2);
  return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0));
}

// The distance from (x, y) to the segment.
double DistanceToSegment(const PlotSegment& s, double x, double y) {
  const double dx = s.X2 - s.X1, dy = s.Y2 - s.Y1;
  const double len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? std::clamp(((x - s.X1) * dx + (y - s.Y1) * dy) / len2, 0.0, 1.0) : 0;
  return Distance(x, y, s.X1 + t * dx, s.Y1 + t * dy);
}

// The room kept between a name and what it must not touch, pixels.
constexpr double kPadding = 1;
// How much nearer a name beside its symbol must be to its edge than to any other symbol's, pixels:
// a line of text, so that no reader takes it for the other's.
constexpr double kOwnMargin = 10;

// The leader line from the symbol's edge to the nearest point of the box.
PlotSegment LeaderFrom(const LabelBox& box, double x, double y, double radius, PlotColor color) {
  const auto [ex, ey] = NearestOnBox(box, x, y);
  const double d = Distance(x, y, ex, ey);
  PlotSegment s;
  s.X1 = d > 0 ? x + (ex - x) * radius / d : x;
  s.Y1 = d > 0 ? y + (ey - y) * radius / d : y;
  s.X2 = ex;
  s.Y2 = ey;
  s.Stroke.Color = color;
  s.Stroke.Width = 0.8;
  return s;
}

}  // namespace

double EstimatedTextWidth(const std::string& utf8, double size, bool bold) {
  double w = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const std::size_t n = std::min(SequenceLength(c), utf8.size() - i);
    if (n == 1) {
      w += c < 0x80 ? AsciiWidth(static_cast<char>(c)) * size : size;
    } else {
      // Halfwidth katakana and signs (U+FF61 to U+FF9F: EF BD A1 to EF BE 9F).
      const bool halfwidth = n == 3 && c == 0xEF &&
                             ((static_cast<unsigned char>(utf8[i + 1]) == 0xBD &&
                               static_cast<unsigned char>(utf8[i + 2]) >= 0xA1) ||
                              static_cast<unsigned char>(utf8[i + 1]) == 0xBE);
      w += halfwidth ? 0.55 * size : size;
    }
    i += n;
  }
  return bold ? w + std::max(1.0, size / 24) : w;
}

LabelBox TextBoxAt(double left, double base, double width, double size) {
  return {left, base - kAscent * size, left + width, base + kDescent * size};
}

int LabelPlacer::AddSymbol(double x, double y, double radius) {
  symbols_.push_back({x, y, radius});
  return static_cast<int>(symbols_.size()) - 1;
}

LabelPlacer::Conflict LabelPlacer::ConflictOf(const LabelBox& box, int symbol, bool withLeader) const {
  const LabelBox padded = Grown(box, kPadding);
  Conflict c;
  for (const LabelBox& n : names_) c.Overlap += OverlapArea(padded, n);
  for (const LabelBox& o : obstacles_) c.Overlap += OverlapArea(padded, o);
  for (const Symbol& s : symbols_) {
    c.Overlap += OverlapArea(padded, {s.X - s.Radius, s.Y - s.Radius, s.X + s.Radius, s.Y + s.Radius});
  }
  for (const PlotSegment& l : leaders_) c.Crossings += SegmentMeetsBox(l, padded);
  if (withLeader) {
    const PlotSegment leader = LeaderOf(box, symbol, {});
    const Symbol& own = symbols_[static_cast<std::size_t>(symbol)];
    for (std::size_t i = 0; i < symbols_.size(); ++i) {
      const Symbol& s = symbols_[i];
      // A symbol over its own (a stack a few metres off) is crossed by any leader.
      if (static_cast<int>(i) == symbol || Distance(s.X, s.Y, own.X, own.Y) < s.Radius + own.Radius) continue;
      c.Crossings += DistanceToSegment(leader, s.X, s.Y) < s.Radius + kPadding;
    }
    for (const LabelBox& n : names_) c.Crossings += SegmentMeetsBox(leader, n);
    for (const PlotSegment& l : leaders_) c.Crossings += SegmentsCross(leader, l);
  }
  return c;
}

bool LabelPlacer::NearestIsOwn(const LabelBox& box, int symbol) const {
  const Symbol& own = symbols_[static_cast<std::size_t>(symbol)];
  const double ownClearance = DistanceToBox(box, own.X, own.Y) - own.Radius;
  for (std::size_t i = 0; i < symbols_.size(); ++i) {
    if (static_cast<int>(i) == symbol) continue;
    const Symbol& s = symbols_[i];
    if (DistanceToBox(box, s.X, s.Y) - s.Radius < ownClearance + kOwnMargin) return false;
  }
  return true;
}

PlotSegment LabelPlacer::LeaderOf(const LabelBox& box, int symbol, PlotColor color) const {
  const Symbol& s = symbols_[static_cast<std::size_t>(symbol)];
  return LeaderFrom(box, s.X, s.Y, s.Radius, color);
}

PlacedLabel LabelPlacer::Place(int symbol, double gap, const std::string& text, double size,
                               bool bold, PlotColor color) {
  const Symbol& s = symbols_[static_cast<std::size_t>(symbol)];
  const double w = EstimatedTextWidth(text, size, bold);
  const double h = (kAscent + kDescent) * size;
  const double r = s.Radius;
  const double d = r * std::numbers::sqrt2 / 2;  // the symbol's edge at 45 degrees
  const auto box = [&](double left, double top) { return LabelBox{left, top, left + w, top + h}; };

  // Beside the symbol: upper right, right, lower right, the same on the left, above, below.
  std::vector<Candidate> candidates = {
      {box(s.X + d + gap, s.Y - d - gap - h), true}, {box(s.X + r + gap, s.Y - h / 2), true},
      {box(s.X + d + gap, s.Y + d + gap), true},     {box(s.X - d - gap - w, s.Y - d - gap - h), true},
      {box(s.X - r - gap - w, s.Y - h / 2), true},   {box(s.X - d - gap - w, s.Y + d + gap), true},
      {box(s.X - w / 2, s.Y - r - gap - h), true},   {box(s.X - w / 2, s.Y + r + gap), true}};
  // Farther out, with a leader: rings of 16 directions, a line's height apart, as far as the
  // area reaches.
  const double reach = std::max(area_.Right - area_.Left, area_.Bottom - area_.Top);
  for (double far = r + gap + h; far <= reach; far += h) {
    for (int k = 0; k < 16; ++k) {
      const double a = k * std::numbers::pi / 8 - std::numbers::pi / 4;
      const double px = s.X + far * std::cos(a);
      const double py = s.Y + far * std::sin(a);
      const double c = std::cos(a), sn = std::sin(a);
      const double left = c > 0.3 ? px : c < -0.3 ? px - w : px - w / 2;
      const double top = sn > 0.3 ? py : sn < -0.3 ? py - h : py - h / 2;
      candidates.push_back({box(left, top), false});
    }
  }

  // The first place clear of everything; failing that, the one that overlaps least, and of
  // those the one whose leader crosses least. A name beside another symbol then gets a leader
  // too, so that it still shows whose it is.
  std::optional<Candidate> chosen;
  Conflict least{std::numeric_limits<double>::infinity(), 0};
  for (const Candidate& c : candidates) {
    if (!Within(c.Box, area_)) continue;
    const Conflict conflict = ConflictOf(c.Box, symbol, !c.Beside);
    if (conflict.Clear() && (!c.Beside || NearestIsOwn(c.Box, symbol))) {
      chosen = c;
      break;
    }
    const Conflict withLeader = c.Beside ? ConflictOf(c.Box, symbol, true) : conflict;
    if (withLeader.Overlap < least.Overlap ||
        (withLeader.Overlap == least.Overlap && withLeader.Crossings < least.Crossings)) {
      least = withLeader;
      chosen = Candidate{c.Box, false};
    }
  }
  if (!chosen) chosen = candidates.front();  // an area smaller than the name

  PlacedLabel placed;
  placed.Box = chosen->Box;
  placed.Text.X = chosen->Box.Left;
  placed.Text.Y = chosen->Box.Top + kAscent * size;
  placed.Text.Text = text;
  placed.Text.Size = size;
  placed.Text.Anchor = TextAnchor::Start;
  placed.Text.Bold = bold;
  placed.Text.Color = color;
  if (!chosen->Beside) {
    placed.Leader = LeaderOf(chosen->Box, symbol, color);
    leaders_.push_back(*placed.Leader);
  }
  names_.push_back(chosen->Box);
  return placed;
}

}  // namespace vmk
