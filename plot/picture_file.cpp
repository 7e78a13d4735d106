#include "plot/picture_file.h"

#include "common/atomic_file.h"
#include "plot/png_painter.h"
#include "plot/svg_writer.h"

namespace vmk {

std::optional<PictureKind> PictureKindOf(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (ext == "svg") return PictureKind::Svg;
  if (ext == "png") return PictureKind::Png;
  return std::nullopt;
}

bool PngPicturesBuiltIn() {
#ifdef VMK_HAVE_PNG_PAINTER
  return true;
#else
  return false;
#endif
}

std::optional<std::string> PictureBytes(const PlotScene& scene, PictureKind kind,
                                        std::string& bytes) {
  if (kind == PictureKind::Svg) {
    bytes = PlotSvg(scene);
    return std::nullopt;
  }
#ifdef VMK_HAVE_PNG_PAINTER
  return PlotPngBytes(scene, bytes);
#else
  return "this build cannot write PNG";
#endif
}

std::optional<std::string> WritePictureFile(const PlotScene& scene, const std::string& path) {
  const std::optional<PictureKind> kind = PictureKindOf(path);
  if (!kind) return "the file name must end in .png or .svg";
  std::string bytes;
  if (auto problem = PictureBytes(scene, *kind, bytes)) return problem;
  try {
    WriteFileAtomically(path, bytes);
  } catch (const FileWriteError& e) {
    return e.Cause;
  }
  return std::nullopt;
}

}  // namespace vmk
