#include "plot/map_labels.h"

#include <cstddef>
#include <iterator>
#include <utility>

namespace vmk {

double EstimatedTextWidth(const std::string& utf8, double size) {
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

void LabelPlacer::Occupy(double x, double y, double radius) {
  taken_.push_back({x - radius, y - radius, x + radius, y + radius});
}

PlotText LabelPlacer::Place(double x, double y, double gap, const std::string& text, double size,
                            bool bold, PlotColor color) {
  const double w = EstimatedTextWidth(text, size);
  const double h = size;
  // (dx of the text's left edge, dy of its baseline) around the mark.
  const std::pair<double, double> places[] = {
      {gap, -gap},        {gap, gap + h},        {-gap - w, -gap}, {-gap - w, gap + h},
      {-w / 2, -gap - 2}, {-w / 2, gap + h + 2}, {gap, h / 2 - 1}, {-gap - w, h / 2 - 1}};
  std::size_t chosen = 0;
  for (std::size_t i = 0; i < std::size(places); ++i) {
    const PixelBox b = TextBoxAt(x + places[i].first, y + places[i].second, w, h);
    bool free = true;
    for (const PixelBox& t : taken_) free = free && !b.Overlaps(t);
    if (free) {
      chosen = i;
      break;
    }
  }
  const double left = x + places[chosen].first;
  const double base = y + places[chosen].second;
  taken_.push_back(TextBoxAt(left, base, w, h));
  PlotText t;
  t.X = left;
  t.Y = base;
  t.Text = text;
  t.Size = size;
  t.Anchor = TextAnchor::Start;
  t.Bold = bold;
  t.Color = color;
  return t;
}

}  // namespace vmk
