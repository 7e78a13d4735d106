// The pictures on Windows, drawn with GDI+: the chart scenes (plot/scene.h) and the site map's
// scene (plot/map_scene.h) into a window's device context or into PNG files, by the rules those
// headers state. Plain C++: the device context travels as its handle, so that this header needs
// no windows.h. GDI+ is started once for the process on the first drawing (from any thread) and
// left running until the process ends.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "plot/map_scene.h"
#include "plot/scene.h"

namespace vmk {

// A Windows device context (an HDC) to paint into, in its own pixel coordinates: a window's
// during WM_PAINT, a memory DC's, a printer's.
struct WindowsDc {
  void* Hdc = nullptr;
};

// The Japanese gothic fonts of Windows that draw the texts when none of the families of
// kPlotFontFamilyList is installed (the IPA fonts seldom are), first choice first. After them
// comes the system's message font, then GDI+'s generic sans-serif family.
inline constexpr std::array<const char*, 4> kWindowsGothicFamilyList = {
    "Yu Gothic UI", "Meiryo", "MS UI Gothic", "MS PGothic"};

// The family the texts are drawn in on this machine (UTF-8): the first installed of
// kPlotFontFamilyList (without its generic last entry), kWindowsGothicFamilyList and the
// message font; empty when GDI+'s generic sans-serif family stands in. Chosen once per process.
std::string PlotFontFamilyOnWindows();

// Draws the scene into the device context: its background over Width x Height from the
// context's origin, then its shapes. Returns one line saying why it could not be drawn, or
// nothing.
std::optional<std::string> PaintPlotScene(WindowsDc dc, const PlotScene& scene);
std::optional<std::string> PaintMapScene(WindowsDc dc, const MapScene& scene);

// The scene as the bytes of a PNG file (24-bit RGB, the scene's size) into `bytes`. Returns
// one line saying why it could not be drawn ("not enough memory for the picture"), or nothing.
std::optional<std::string> PlotScenePngBytes(const PlotScene& scene, std::string& bytes);
std::optional<std::string> MapScenePngBytes(const MapScene& scene, std::string& bytes);

// The image's pixels as the bytes of a PNG file (32-bit RGBA) into `bytes`, for the images of
// the plain SVG writer. Returns one line saying why it could not be made, or nothing.
std::optional<std::string> ImagePngBytes(const PlotImage& image, std::string& bytes);

}  // namespace vmk
