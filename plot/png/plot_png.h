// Writes a chart scene of the command line as a PNG picture. The header is plain C++ so that
// vmk-calc needs no Qt headers; the drawing uses Qt's painter without a display.
#pragma once

#include <optional>
#include <string>

#include "plot/profile_plot.h"

namespace vmk {

// Draws `scene` and writes it to `path` (a local file name). Returns one line saying why the
// file could not be written, or nothing when it was.
std::optional<std::string> WritePlotPng(const PlotScene& scene, const std::string& path);

}  // namespace vmk
