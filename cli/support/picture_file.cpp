#include "cli/support/picture_file.h"

namespace vmk::cli {

std::optional<std::string> PictureNameProblem(std::string_view program, std::string_view option,
                                              const std::string& path) {
  const std::string head = std::string(option) + " " + path + ": ";
  const auto kind = PictureKindOf(path);
  if (!kind) return head + "the file name must end in .png or .svg";
  if (*kind == PictureKind::Png && !PngPicturesBuiltIn()) {
    return head + "this " + std::string(program) +
           " was built without Qt 6 Gui and cannot write PNG; use .svg";
  }
  return std::nullopt;
}

}  // namespace vmk::cli
