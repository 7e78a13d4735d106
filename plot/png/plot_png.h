// Writes a chart scene of the command line as a PNG picture. The header is plain C++ so that
// vmk-calc needs no Qt headers; the drawing uses Qt's painter without a display.
#pragma once

#include <optional>
#include <string>

#include "plot/profile_plot.h"

namespace vmk {

// Draws `scene` as a PNG picture into `bytes`. Returns one line saying why it could not be
// drawn, or nothing.
std::optional<std::string> PlotPngBytes(const PlotScene& scene, std::string& bytes);

// Draws `scene` and writes it to `path` (UTF-8) whole, so that a failed write leaves no broken
// picture. Returns the cause in one line when the file could not be written, or nothing.
std::optional<std::string> WritePlotPng(const PlotScene& scene, const std::string& path);

}  // namespace vmk
