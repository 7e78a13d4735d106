#include "cli/support/picture_file.h"

#include "cli/support/cli_support.h"
#include "common/atomic_file.h"
#ifdef VMK_HAVE_PLOT_PNG
#include "plot/png/plot_png.h"
#endif

namespace vmk::cli {

std::optional<std::string> PictureNameProblem(std::string_view program, std::string_view option,
                                              const std::string& path) {
  const std::string head = std::string(option) + " " + path + ": ";
  const auto kind = PictureKindOf(path);
  if (!kind) return head + "the file name must end in .png or .svg";
#ifndef VMK_HAVE_PLOT_PNG
  if (*kind == PictureKind::Png) {
    return head + "this " + std::string(program) +
           " was built without Qt 6 Gui and cannot write PNG; use .svg";
  }
#else
  (void)program;
#endif
  return std::nullopt;
}

std::optional<std::string> WritePictureFile(const PlotScene& scene, const std::string& path) {
  if (PictureKindOf(path) == PictureKind::Svg) {
    try {
      WriteFileAtomically(path, PlotSvg(scene));
    } catch (const FileWriteError& e) {
      return e.Cause;
    }
    return std::nullopt;
  }
#ifdef VMK_HAVE_PLOT_PNG
  return WritePlotPng(scene, path);
#else
  return "this build cannot write PNG";
#endif
}

}  // namespace vmk::cli
