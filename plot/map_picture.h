// The picture files of the site map, by kind, as picture_file.h for the charts: PNG from the
// build's map painter (Qt's painter on Linux, GDI+ on Windows), SVG from Qt's SVG generator
// where Qt Svg is built and otherwise from the plain SVG writer (MapSvg of svg_writer.h).
#pragma once

#include <optional>
#include <string>

#include "plot/map_scene.h"
#include "plot/picture_file.h"

namespace vmk {

// Whether this build draws the map as PNG (Qt's painter or GDI+); SVG it always writes.
bool MapPngBuiltIn();

// The map as the bytes of a picture file of that kind into `bytes`; `title` (UTF-8) is the
// SVG document's title. Returns one line saying why it could not be drawn, or nothing.
std::optional<std::string> MapPictureBytes(const MapScene& scene, const std::string& title,
                                           PictureKind kind, std::string& bytes);

}  // namespace vmk
