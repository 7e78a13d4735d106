// The SVG documents of the picture scenes: the one drawing of the scenes without a painter,
// plain C++ on every system.
#pragma once

#include <string>

#include "plot/map_scene.h"
#include "plot/scene.h"

namespace vmk {

// The scene as an SVG document (UTF-8 text), following the painter's rules of scene.h.
std::string PlotSvg(const PlotScene& scene);

// The site map's scene as an SVG document (UTF-8 text) with `title` (UTF-8; none when empty),
// following the rules of map_scene.h: the frame a clip path, each fill one path of its rings
// with the even-odd fill rule. The map's SVG where Qt's SVG generator is not built.
std::string MapSvg(const MapScene& scene, const std::string& title);

}  // namespace vmk
