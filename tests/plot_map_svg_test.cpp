// The site map's picture files: the plain SVG writer of the map (the Windows build's map.svg)
// and the map picture files by kind.
#include <gtest/gtest.h>

#include <string>

#include "plot/map_picture.h"
#include "plot/svg_writer.h"
#include "plot_samples.h"

namespace vmk {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(MapSvg, FrameClipsTheFillsTheInsideAndTheMarks) {
  MapScene s;
  s.Width = 300;
  s.Height = 200;
  s.Background = {250, 250, 240};
  s.FrameLeft = 40;
  s.FrameTop = 30.5;
  s.FrameWidth = 200;
  s.FrameHeight = 150.25;
  // A band with a hole, outlined; a stack's mark; an inside and an outside text.
  s.Fills.push_back({{{{0, 0}, {300, 0}, {300, 200}}, {{100, 50}, {120, 50}, {110, 70}}},
                     {254, 217, 118},
                     PlotStroke{{1, 2, 3}, 0.6, true}, 1});
  s.Marks.push_back({{{{60, 60}, {66, 70}, {54, 70}, {60, 60}}}, {0, 0, 0}, std::nullopt, 1});
  s.Inside.Texts.push_back({60, 80, "煙突<1> & \"A\"", 13, TextAnchor::Start, true, {0, 0, 0}, {}});
  s.OutsideFills.push_back({{{{250, 40}, {272, 40}, {272, 55}, {250, 55}}}, {255, 255, 204}, {}, 1});
  s.Outside.Texts.push_back({250, 70, "以上", 12, TextAnchor::Start, false, {30, 30, 30}, {}});
  const std::string svg = MapSvg(s, "二本煙突 <NO2>");

  const auto at = [&](const std::string& part) {
    const auto i = svg.find(part);
    EXPECT_NE(i, std::string::npos) << part << "\n" << svg;
    return i;
  };
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  at("xml:space=\"preserve\" width=\"300\" height=\"200\" viewBox=\"0 0 300 200\"");
  at("<title>二本煙突 &lt;NO2&gt;</title>");
  const auto clip = at(
      "<clipPath id=\"frame\"><rect x=\"40\" y=\"30.5\" width=\"200\" height=\"150.25\"/>"
      "</clipPath>");
  const auto background = at("<rect width=\"300\" height=\"200\" fill=\"#fafaf0\" stroke=\"none\"/>");
  const auto group = at("<g clip-path=\"url(#frame)\">");
  const auto band = at(
      "<path d=\"M0,0 L300,0 300,200 Z M100,50 L120,50 110,70 Z\" fill=\"#fed976\" "
      "fill-rule=\"evenodd\" stroke-linejoin=\"round\" stroke=\"#010203\" stroke-width=\"0.6\" "
      "stroke-dasharray=\"6,4\"/>");
  const auto inside = at(">煙突&lt;1&gt; &amp; &quot;A&quot;</text>");
  const auto mark = at("<path d=\"M60,60 L66,70 54,70 60,60 Z\" fill=\"#000000\" "
                       "fill-rule=\"evenodd\" stroke=\"none\"/>");
  const auto groupEnd = at("</g>");
  const auto legend = at("<path d=\"M250,40 L272,40 272,55 250,55 Z\" fill=\"#ffffcc\"");
  const auto outside = at(">以上</text>");
  // The order of map_scene.h: background, then clipped fills, inside shapes and marks, then the
  // outside fills and shapes unclipped.
  EXPECT_LT(clip, background);
  EXPECT_LT(background, group);
  EXPECT_LT(group, band);
  EXPECT_LT(band, inside);
  EXPECT_LT(inside, mark);
  EXPECT_LT(mark, groupEnd);
  EXPECT_LT(groupEnd, legend);
  EXPECT_LT(legend, outside);
  EXPECT_EQ(Count(svg, "<g "), 1u);
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
}

// The basemap's image as a PNG from the build's encoder (base64 with its padding), under the
// ground's shapes and the see-through bands; a name's halo stroked under the name.
TEST(MapSvg, ImageGroundHaloAndOpacity) {
  MapScene s;
  s.Images.push_back({80, 70, 2, 1, 2, 1, std::vector<unsigned char>(8, 7)});
  s.GroundFills.push_back({{{{0, 0}, {5, 0}, {5, 5}}}, {222, 222, 216}, std::nullopt, 0.7});
  s.Fills.push_back({{{{1, 1}, {4, 1}, {4, 4}}}, {255, 221, 87}, std::nullopt, 0.6});
  PlotText name{5, 6, "煙突", 13, TextAnchor::Start, true, {0, 0, 0}, PlotColor{255, 255, 255}};
  s.Inside.Texts.push_back(name);
  for (const auto& [bytes, base64] : {std::pair{"abc", "YWJj"}, {"ab", "YWI="}, {"abcd", "YWJjZA=="}}) {
    const std::string png = bytes;
    const std::string svg = MapSvg(s, "", [&](const PlotImage& image, std::string& out) -> std::optional<std::string> {
      EXPECT_EQ(image.Columns, 2);
      out = png;
      return std::nullopt;
    });
    const auto image = svg.find("<image x=\"80\" y=\"70\" width=\"2\" height=\"1\" preserveAspectRatio=\"none\" "
                                "style=\"image-rendering:pixelated\" href=\"data:image/png;base64," +
                                std::string(base64) + "\"/>");
    const auto ground = svg.find("fill=\"#deded8\" fill-rule=\"evenodd\" fill-opacity=\"0.7\"");
    const auto band = svg.find("fill=\"#ffdd57\" fill-rule=\"evenodd\" fill-opacity=\"0.6\"");
    const auto halo = svg.find("fill=\"none\" stroke=\"#ffffff\" stroke-width=\"3\" stroke-linejoin=\"round\">煙突</text>");
    const auto text = svg.find("fill=\"#000000\" stroke=\"none\">煙突</text>");
    ASSERT_NE(image, std::string::npos) << svg;
    EXPECT_LT(image, ground);
    EXPECT_LT(ground, band);
    EXPECT_LT(band, halo);
    EXPECT_LT(halo, text);
    EXPECT_NE(text, std::string::npos);
  }
  // Without an encoder, or when it fails, the image is left out and the SVG says why.
  EXPECT_NE(MapSvg(s, "").find("<!-- an image is left out: this build has no PNG encoder"), std::string::npos);
  const std::string failed = MapSvg(s, "", [](const PlotImage&, std::string&) -> std::optional<std::string> {
    return "out of memory -- twice";
  });
  EXPECT_NE(failed.find("<!-- an image is left out: out of memory -  twice -->"), std::string::npos) << failed;
  EXPECT_EQ(failed.find("<image"), std::string::npos);
}

TEST(MapSvg, ControlCharactersAndAnEmptyTitleLeaveValidXml) {
  MapScene s;
  s.Inside.Texts.push_back({1, 2, "a\tb\x01", 12, TextAnchor::Start, false, {}, {}});
  s.Fills.push_back({{{}}, {1, 1, 1}, std::nullopt, 1});  // no points: no path
  const std::string svg = MapSvg(s, "");
  EXPECT_EQ(svg.find("<title>"), std::string::npos);
  EXPECT_NE(svg.find(">a\xEF\xBF\xBD" "b\xEF\xBF\xBD</text>"), std::string::npos) << svg;
  EXPECT_EQ(svg.find("<path"), std::string::npos);
}

TEST(MapPictureFiles, EveryKindOfTheSampleMap) {
  const MapScene scene = samples::SampleSiteMapScene();
  std::string svg;
  ASSERT_EQ(MapPictureBytes(scene, "二本煙突の例", PictureKind::Svg, svg), std::nullopt);
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("<title>二本煙突の例</title>"), std::string::npos);
  EXPECT_NE(svg.find("学校"), std::string::npos);
  std::string png;
  const auto problem = MapPictureBytes(scene, "", PictureKind::Png, png);
  if (PngPicturesBuiltIn()) {
    ASSERT_EQ(problem, std::nullopt);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x03\xe8\0\0\x03\x20", 8));  // 1000 x 800
  } else {
    EXPECT_EQ(problem, "this build cannot write PNG");
  }
}

}  // namespace
}  // namespace vmk
