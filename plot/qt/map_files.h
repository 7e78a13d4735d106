// The map of a site as PNG and SVG bytes. Plain C++ header: the command line needs no Qt
// headers; the drawing uses Qt's painter without a display (the offscreen platform when no Qt
// application runs).
#pragma once

#include <stdexcept>
#include <string>

#include "plot/site_map.h"

namespace vmk {

// The picture could not be made; what() is one line.
class MapPictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string MapPngBytes(const MapScene& scene);
std::string MapSvgBytes(const MapScene& scene, const std::string& title);

}  // namespace vmk
