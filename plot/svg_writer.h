// The SVG documents of the picture scenes: the one drawing of the scenes without a painter,
// plain C++ on every system.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "plot/map_scene.h"
#include "plot/scene.h"

namespace vmk {

// The scene as an SVG document (UTF-8 text), following the painter's rules of scene.h.
std::string PlotSvg(const PlotScene& scene);

// Makes the bytes of a PNG file of the image into `bytes`; returns why it cannot, or nothing.
using ImagePngEncoder =
    std::function<std::optional<std::string>(const PlotImage& image, std::string& bytes)>;

// The site map's scene as an SVG document (UTF-8 text) with `title` (UTF-8; none when empty),
// following the rules of map_scene.h: the frame a clip path, each fill one path of its rings
// with the even-odd fill rule, each image a PNG made by `png` in a data address (without `png`,
// or when it fails, the image is left out with a comment saying why). The map's SVG where Qt's
// SVG generator is not built.
std::string MapSvg(const MapScene& scene, const std::string& title, const ImagePngEncoder& png = {});

}  // namespace vmk
