// The names beside the symbols of a site's map, placed so that each stands by its own symbol and
// overlaps neither another name nor any symbol. The texts' sizes are estimated without fonts,
// generously, so that every painter draws the same placement and no font's text is wider than
// the room it was given.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plot/scene.h"

namespace vmk {

// A rectangle in pixels.
struct LabelBox {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Overlaps(const LabelBox& o) const {
    return Left < o.Right && o.Left < Right && Top < o.Bottom && o.Top < Bottom;
  }
};

// The advance width of a text estimated without fonts, never less than a gothic font's: each
// Latin letter, digit or sign by its own class of width, halfwidth kana half the size, every
// other character (kanji, kana, full-width signs) the full size; a bold text a pixel more for
// the emboldening.
double EstimatedTextWidth(const std::string& utf8, double size, bool bold = false);

// The box a text of that size and width takes with its baseline starting at (left, base): the
// ascent and descent of the gothic fonts, rounded up.
LabelBox TextBoxAt(double left, double base, double width, double size);

// A name placed: the text (anchored at its start), its box and, when the name had to stand
// away from its symbol, the leader line from the symbol's edge to the box.
struct PlacedLabel {
  PlotText Text;
  LabelBox Box;
  std::optional<PlotSegment> Leader;
};

// Places names around round symbols, each by its own: the first of eight places around the
// symbol that is free of the other names, symbols and obstacles and is nearer to its own
// symbol than to any other; when none is, the nearest free place farther out with a leader
// line that crosses no symbol, name or other leader. A name that finds no free place within
// the area at all still gets the place that overlaps least, with its leader: none is dropped.
class LabelPlacer {
 public:
  // Names are kept within `area` (the map's frame).
  explicit LabelPlacer(LabelBox area) : area_(area) {}

  // A symbol of that radius at (x, y) that no name may cover; returns its number.
  int AddSymbol(double x, double y, double radius);
  // A part of the picture (a north arrow, a scale bar) that no name may cover.
  void AddObstacle(const LabelBox& box) { obstacles_.push_back(box); }

  // The name of symbol `symbol`, `gap` pixels off its edge when beside it.
  PlacedLabel Place(int symbol, double gap, const std::string& text, double size, bool bold,
                    PlotColor color);

 private:
  struct Symbol {
    double X, Y, Radius;
  };
  struct Candidate {
    LabelBox Box;
    bool Beside;  // no leader line
  };
  // What a name's box would overlap (square pixels of names, symbols and obstacles) and how
  // often it or its leader would cross a leader, a symbol or a name.
  struct Conflict {
    double Overlap = 0;
    int Crossings = 0;
    bool Clear() const { return Overlap == 0 && Crossings == 0; }
  };
  Conflict ConflictOf(const LabelBox& box, int symbol, bool withLeader) const;
  // Whether the box is clearly nearer to the edge of its symbol than to any other's.
  bool NearestIsOwn(const LabelBox& box, int symbol) const;
  PlotSegment LeaderOf(const LabelBox& box, int symbol, PlotColor color) const;

  LabelBox area_;
  std::vector<Symbol> symbols_;
  std::vector<LabelBox> obstacles_;
  std::vector<LabelBox> names_;
  std::vector<PlotSegment> leaders_;
};

}  // namespace vmk
