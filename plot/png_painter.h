// The PNG back end of the picture scenes: one per build, chosen when the program is built. It is
// the library vmk_plot_png, which the picture files link when it exists: where Qt 6 Gui is
// installed, Qt's painter (plot/png); on Windows, GDI+ (plot/gdiplus). A build without one
// writes SVG pictures only (PngPicturesBuiltIn() in picture_file.h says which). Each back end
// implements this one function and draws by the rules of scene.h.
#pragma once

#include <optional>
#include <string>

#include "plot/scene.h"

namespace vmk {

// Draws `scene` as the bytes of a PNG file into `bytes`. Returns one line saying why it could
// not be drawn ("not enough memory for the picture"), or nothing.
std::optional<std::string> PlotPngBytes(const PlotScene& scene, std::string& bytes);

}  // namespace vmk
