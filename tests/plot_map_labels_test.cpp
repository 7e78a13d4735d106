// The names on the site map, checked on the scene's own geometry: each stands by its own symbol
// (or has a leader line that ends there), none overlaps another name or any symbol, none is
// dropped, at every zoom; and the colours of the bands and names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "plot/map_labels.h"
#include "plot/site_map.h"

namespace vmk {
namespace {

// A box around the points of a ring.
LabelBox BoxOf(const std::vector<std::pair<double, double>>& ring) {
  LabelBox b{1e300, 1e300, -1e300, -1e300};
  for (const auto& [x, y] : ring) {
    b = {std::min(b.Left, x), std::min(b.Top, y), std::max(b.Right, x), std::max(b.Bottom, y)};
  }
  return b;
}

double DistanceToBox(const LabelBox& b, double x, double y) {
  return std::hypot(x - std::clamp(x, b.Left, b.Right), y - std::clamp(y, b.Top, b.Bottom));
}

bool OnEdge(const LabelBox& b, double x, double y) {
  return DistanceToBox(b, x, y) < 1e-6 &&
         (std::abs(x - b.Left) < 1e-6 || std::abs(x - b.Right) < 1e-6 || std::abs(y - b.Top) < 1e-6 ||
          std::abs(y - b.Bottom) < 1e-6);
}

struct Symbol {
  std::string Name;
  double X, Y, Radius;
};

// Checks every name of the scene against its symbol and the others.
void CheckNames(const SiteMapInput& in, const MapScene& m, const std::string& where) {
  SCOPED_TRACE(where);
  std::vector<Symbol> symbols;
  const auto add = [&](const MapMark& mark, double radius) {
    const auto [x, y] = m.ToPixel(mark.X, mark.Y);
    symbols.push_back({mark.Name, x, y, radius});
  };
  for (const MapMark& s : in.Stacks) add(s, 9);
  for (const MapMark& p : in.Points) add(p, 5);
  if (in.Maximum) add(*in.Maximum, 10);
  // What no name may cover: the symbols' boxes, the marks (triangles, north arrow, scale bar).
  std::vector<LabelBox> covered;
  for (const Symbol& s : symbols) covered.push_back({s.X - s.Radius, s.Y - s.Radius, s.X + s.Radius, s.Y + s.Radius});
  for (const PlotFill& f : m.Marks) covered.push_back(BoxOf(f.Rings.front()));
  const LabelBox frame{m.FrameLeft, m.FrameTop, m.FrameLeft + m.FrameWidth, m.FrameTop + m.FrameHeight};
  std::map<std::string, LabelBox> names;
  for (const PlotText& t : m.Inside.Texts) {
    ASSERT_TRUE(t.Halo.has_value()) << t.Text;
    EXPECT_EQ(t.Anchor, TextAnchor::Start);
    const LabelBox box = TextBoxAt(t.X, t.Y, EstimatedTextWidth(t.Text, t.Size, t.Bold), t.Size);
    EXPECT_TRUE(names.emplace(t.Text, box).second) << "two names " << t.Text;
    EXPECT_TRUE(box.Left >= frame.Left && box.Right <= frame.Right && box.Top >= frame.Top &&
                box.Bottom <= frame.Bottom) << t.Text;
  }
  std::size_t shown = 0;
  for (const Symbol& s : symbols) {
    const bool inFrame = DistanceToBox(frame, s.X, s.Y) == 0;
    const auto it = names.find(s.Name);
    ASSERT_EQ(it != names.end(), inFrame) << s.Name << " in the frame: " << inFrame;
    if (!inFrame) continue;
    ++shown;
    const LabelBox& box = it->second;
    for (const auto& [other, otherBox] : names) {
      if (other != s.Name) { EXPECT_FALSE(box.Overlaps(otherBox)) << s.Name << " / " << other; }
    }
    for (const LabelBox& c : covered) EXPECT_FALSE(box.Overlaps(c)) << s.Name << " covers a symbol";
    // A leader from the symbol's edge to the name's box, or the name beside its own symbol and
    // nearer to it than to any other.
    const auto leader = std::find_if(m.Inside.Segments.begin(), m.Inside.Segments.end(), [&](const PlotSegment& g) {
      return OnEdge(box, g.X2, g.Y2) && std::abs(std::hypot(g.X1 - s.X, g.Y1 - s.Y) - s.Radius) < 1e-6;
    });
    if (leader != m.Inside.Segments.end()) continue;
    const double own = DistanceToBox(box, s.X, s.Y) - s.Radius;
    EXPECT_LE(own, 3 * std::sqrt(2.0) + 1e-9) << s.Name << " stands away from its symbol without a leader";
    for (const Symbol& o : symbols) {
      if (&o != &s) { EXPECT_GT(DistanceToBox(box, o.X, o.Y) - o.Radius, own) << s.Name << " stands by " << o.Name; }
    }
  }
  EXPECT_EQ(shown, names.size());
}

// Five stacks 3 m apart, points around them (two only 4 m from the stacks), the maximum 10 m
// off, at the full view and zoomed in on the stacks.
TEST(MapLabels, EachNameByItsOwnSymbolAtEveryZoom) {
  SiteMapInput in;
  in.XMin = in.YMin = -5000;
  in.XMax = in.YMax = 5000;
  in.Stacks = {{"1号ボイラ", 0, 0}, {"2号ボイラ", 3, 0}, {"3号焼却炉", 0, 3}, {"No.4", 3, 3}, {"排ガス5", 6, 0}};
  in.Points = {{"北門", 4, 7}, {"南門", -4, -4}, {"みなと小学校", 1800, 900}, {"東町住宅地", -1200, -2500},
               {"市民病院", 3000, -800}, {"P-1", 40, 0}, {"P-2", 0, 40}, {"P-3", -40, 0}};
  in.Maximum = MapMark{"最大 0.6501", 10, -10};
  for (const double metresPerPixel : {14.7, 5.0, 1.0, 0.3, 0.1, 0.03}) {
    CheckNames(in, BuildSiteMap(in, 1000, 800, MapView{3, 3, metresPerPixel}), "m/px " + std::to_string(metresPerPixel));
  }
  // Many points crowded into a small window: names farther out, with leaders, none dropped.
  SiteMapInput crowd = in;
  for (int i = 0; i < 30; ++i) crowd.Points.push_back({"地点" + std::to_string(i), 30.0 * (i % 6) - 75, 25.0 * (i / 6) - 60});
  for (const double metresPerPixel : {2.0, 0.8}) {
    CheckNames(crowd, BuildSiteMap(crowd, 700, 560, MapView{0, 0, metresPerPixel}), "crowd " + std::to_string(metresPerPixel));
  }
}

// The example site's two stacks at the full view of its 10 km grid: each name by its own
// triangle (they stood by each other's).
TEST(MapLabels, TwoStacksOfTheExampleAtTheFullView) {
  SiteMapInput in;
  in.XMin = in.YMin = -5000;
  in.XMax = in.YMax = 5000;
  in.Stacks = {{"1号ボイラ", 0, 0}, {"2号焼却炉", 350, -120}};
  in.Points = {{"みなと小学校", 1800, 900}, {"東町住宅地", -1200, -2500}, {"市民病院", 3000, -800}};
  in.Maximum = MapMark{"最大 0.6501", 600, -800};
  const MapScene m = BuildSiteMap(in, 1000, 800);
  CheckNames(in, m, "example");
  const auto name = [&](const std::string& text) {
    return *std::find_if(m.Inside.Texts.begin(), m.Inside.Texts.end(), [&](const PlotText& t) { return t.Text == text; });
  };
  // The first stack lies west of the second: so do their names.
  EXPECT_LT(name("1号ボイラ").X, name("2号焼却炉").X);
}

// A name the area cannot hold clear of the others still gets a place, with its leader.
TEST(MapLabels, NoNameIsDropped) {
  LabelPlacer placer({0, 0, 120, 60});
  std::vector<int> symbols;
  for (int i = 0; i < 6; ++i) symbols.push_back(placer.AddSymbol(60, 30, 5));
  int leaders = 0;
  for (int i = 0; i < 6; ++i) {
    const PlacedLabel p = placer.Place(symbols[static_cast<std::size_t>(i)], 3, "煙突" + std::to_string(i), 13, true, {});
    EXPECT_EQ(p.Text.Text, "煙突" + std::to_string(i));
    leaders += p.Leader.has_value();
  }
  EXPECT_EQ(leaders, 6);  // six symbols on one spot: none can be told by its place alone
}

// Estimated widths: full size for kanji and kana, half for halfwidth kana, per character for
// Latin; never below the gothic fonts' advances (IPA P Gothic: digits 0.63 of the size).
TEST(MapLabels, EstimatedWidths) {
  const std::pair<const char*, double> cases[] = {
      {"煙突", 2 * 13}, {"ｱｲ", 2 * 0.55 * 13}, {"0.6501", 5 * 0.66 * 13 + 0.36 * 13}, {"", 0}};
  for (const auto& [text, width] : cases) EXPECT_NEAR(EstimatedTextWidth(text, 13), width, 1e-9) << text;
  EXPECT_NEAR(EstimatedTextWidth("煙突", 13, true), 27, 1e-9);
  for (char c = '0'; c <= '9'; ++c) EXPECT_GE(EstimatedTextWidth(std::string(1, c), 100), 63);
}

// Band 1 stands out from white; the colours darken from each band to the next; the maximum's
// name is darker than its mark; every band drawn opaque without a basemap.
TEST(MapColours, BandsLightToDarkAndTheFirstClearOfWhite) {
  const auto luminance = [](PlotColor c) { return 0.2126 * c.R + 0.7152 * c.G + 0.0722 * c.B; };
  for (int bands = 2; bands <= 12; ++bands) {
    const PlotColor white = BandColor(0, bands), first = BandColor(1, bands);
    EXPECT_EQ(white.R + white.G + white.B, 3 * 255);
    EXPECT_GE(255 - std::min({first.R, first.G, first.B}), 150) << bands;  // saturated
    for (int i = 2; i < bands; ++i) {
      EXPECT_LT(luminance(BandColor(i, bands)), luminance(BandColor(i - 1, bands))) << bands << " " << i;
    }
  }
  SiteMapInput in;
  in.XMax = in.YMax = 100;
  in.Maximum = MapMark{"最大 1", 50, 50};
  const MapScene m = BuildSiteMap(in, 1000, 800);
  ASSERT_EQ(m.Inside.Texts.size(), 1u);
  EXPECT_LT(luminance(m.Inside.Texts[0].Color), 70);
  EXPECT_GT(luminance(*m.Inside.Texts[0].Halo), 250);
}

// The polar receptors as dots when asked for, within the frame only, with their legend line.
TEST(MapReceptors, PolarDotsOnlyWhenShown) {
  SiteMapInput in;
  in.XMin = in.YMin = -100;
  in.XMax = in.YMax = 100;
  for (int i = 0; i < 16; ++i) in.PolarReceptors.emplace_back(50 * std::sin(i * 0.3927), 50 * std::cos(i * 0.3927));
  in.PolarReceptors.emplace_back(1e6, 0);
  const auto dots = [](const MapScene& m) {
    return std::count_if(m.Inside.Circles.begin(), m.Inside.Circles.end(), [](const PlotCircle& c) { return c.Radius < 2; });
  };
  EXPECT_EQ(dots(BuildSiteMap(in, 1000, 800)), 0);
  in.ShowPolar = true;
  const MapScene shown = BuildSiteMap(in, 1000, 800);
  EXPECT_EQ(dots(shown), 16);  // the one far outside left out
  EXPECT_TRUE(std::any_of(shown.Outside.Texts.begin(), shown.Outside.Texts.end(),
                          [](const PlotText& t) { return t.Text == "極座標の受容点"; }));
}

}  // namespace
}  // namespace vmk
