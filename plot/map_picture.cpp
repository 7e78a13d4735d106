#include "plot/map_picture.h"

#include "plot/svg_writer.h"
#if defined(VMK_MAP_PICTURES_QT)
#include "plot/qt/map_files.h"
#elif defined(VMK_MAP_PICTURES_GDIPLUS)
#include "plot/gdiplus/gdiplus_painter.h"
#endif

namespace vmk {

bool MapPngBuiltIn() {
#if defined(VMK_MAP_PICTURES_QT) || defined(VMK_MAP_PICTURES_GDIPLUS)
  return true;
#else
  return false;
#endif
}

std::optional<std::string> MapPictureBytes(const MapScene& scene, const std::string& title,
                                           PictureKind kind, std::string& bytes) {
#if defined(VMK_MAP_PICTURES_QT)
  try {
    bytes = kind == PictureKind::Svg ? MapSvgBytes(scene, title) : MapPngBytes(scene);
  } catch (const MapPictureError& e) {
    return e.what();
  }
  return std::nullopt;
#else
  if (kind == PictureKind::Svg) {
#if defined(VMK_MAP_PICTURES_GDIPLUS)
    bytes = MapSvg(scene, title, ImagePngBytes);
#else
    bytes = MapSvg(scene, title);
#endif
    return std::nullopt;
  }
#if defined(VMK_MAP_PICTURES_GDIPLUS)
  return MapScenePngBytes(scene, bytes);
#else
  return "this build cannot write PNG";
#endif
#endif
}

}  // namespace vmk
