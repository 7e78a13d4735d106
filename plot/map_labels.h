// The names beside the marks of a site's map, placed so that they overlap neither each other
// nor the marks. The texts' widths are estimated without fonts, so that every painter draws
// the same placement.
#pragma once

#include <string>
#include <vector>

#include "plot/scene.h"

namespace vmk {

// The width of a text estimated without fonts: Latin letters about 0.6 of the height, other
// characters (kana, kanji) a full height.
double EstimatedTextWidth(const std::string& utf8, double size);

// Places names around marks: the first of eight places around the mark that is free, or the
// first place when none is.
class LabelPlacer {
 public:
  // A mark of that radius at (x, y) that no name may cover.
  void Occupy(double x, double y, double radius);

  // The name of the mark at (x, y), `gap` pixels off it, as a text anchored at its start; the
  // place it takes is then occupied.
  PlotText Place(double x, double y, double gap, const std::string& text, double size, bool bold,
                 PlotColor color);

 private:
  struct PixelBox {
    double L, T, R, B;
    bool Overlaps(const PixelBox& o) const { return L < o.R && o.L < R && T < o.B && o.T < B; }
  };
  // The box of a text of width w and height h whose baseline starts at (left, base).
  static PixelBox TextBoxAt(double left, double base, double w, double h) {
    return {left, base - h, left + w, base + 3};
  }
  std::vector<PixelBox> taken_;
};

}  // namespace vmk
