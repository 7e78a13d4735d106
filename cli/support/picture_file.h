// The check of a picture file's name on the command lines: the file itself is written by the
// picture writer of plot/ (plot/picture_file.h), SVG, or PNG where the build has a PNG back end.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "plot/picture_file.h"

namespace vmk::cli {

// What is wrong with `path` as the picture file of `option` ("--plot FILE: ..."), or nothing:
// the name must end in .png or .svg, and PNG needs Qt 6 Gui in this build of `program`.
std::optional<std::string> PictureNameProblem(std::string_view program, std::string_view option,
                                              const std::string& path);

}  // namespace vmk::cli
