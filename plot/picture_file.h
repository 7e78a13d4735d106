// The picture files of the charts: SVG from the SVG writer, PNG from the build's PNG back end
// (png_painter.h), the format chosen by the file's extension. The one writer of the command
// lines and the window.
#pragma once

#include <optional>
#include <string>

#include "plot/scene.h"

namespace vmk {

enum class PictureKind { Svg, Png };

// The picture format a file's name asks for by its extension (in any case), or nothing.
std::optional<PictureKind> PictureKindOf(const std::string& path);

// Whether this build has a PNG back end; without one only SVG pictures can be written.
bool PngPicturesBuiltIn();

// The scene as the bytes of a picture file of that kind into `bytes`. Returns one line saying
// why it could not be drawn, or nothing.
std::optional<std::string> PictureBytes(const PlotScene& scene, PictureKind kind,
                                        std::string& bytes);

// Writes the scene to `path` (UTF-8) as its extension asks, whole or not at all, so that a
// failed write leaves no broken picture. Returns the system's words for a failure ("No space
// left on device"), why the picture could not be drawn or that the name has neither
// extension, or nothing.
std::optional<std::string> WritePictureFile(const PlotScene& scene, const std::string& path);

}  // namespace vmk
