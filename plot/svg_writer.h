// The SVG document of a picture scene: the one drawing of the scenes without a painter, plain
// C++ on every system.
#pragma once

#include <string>

#include "plot/scene.h"

namespace vmk {

// The scene as an SVG document (UTF-8 text), following the painter's rules of scene.h.
std::string PlotSvg(const PlotScene& scene);

}  // namespace vmk
