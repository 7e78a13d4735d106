// The pictures the command-line programs write: SVG, or PNG where Qt's painter is built in,
// chosen by the file's name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "plot/profile_plot.h"

namespace vmk::cli {

// What is wrong with `path` as the picture file of `option` ("--plot FILE: ..."), or nothing:
// the name must end in .png or .svg, and PNG needs Qt 6 Gui in this build of `program`.
std::optional<std::string> PictureNameProblem(std::string_view program, std::string_view option,
                                              const std::string& path);

// Writes the scene to `path` as its name asks, whole or not at all. Returns the system's
// words for a failure ("No space left on device"), or nothing.
std::optional<std::string> WritePictureFile(const PlotScene& scene, const std::string& path);

}  // namespace vmk::cli
