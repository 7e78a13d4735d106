// The PNG back end of the Windows build (plot/png_painter.h): the scene drawn by GDI+.
#include "plot/png_painter.h"

#include "plot/gdiplus/gdiplus_painter.h"

namespace vmk {

std::optional<std::string> PlotPngBytes(const PlotScene& scene, std::string& bytes) {
  return PlotScenePngBytes(scene, bytes);
}

}  // namespace vmk
