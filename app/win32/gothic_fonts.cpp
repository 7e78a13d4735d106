#include "app/win32/gothic_fonts.h"

#include <map>
#include <mutex>

namespace vmk::win32 {
namespace {

// The system's Japanese UI fonts, then the older gothic ones, then the free ones a Linux
// machine (and so wine) has.
constexpr const wchar_t* kControlFamilies[] = {L"Yu Gothic UI", L"Meiryo UI",  L"MS UI Gothic", L"MS PGothic",
                                               L"IPAPGothic",   L"VL PGothic", L"IPAGothic"};
constexpr const wchar_t* kGridFamilies[] = {L"MS Gothic", L"IPAGothic", L"VL Gothic"};

int CALLBACK NoteFound(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metric*/, DWORD /*type*/, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool Installed(const wchar_t* family) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, family, LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &query, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

std::wstring MessageFontFamily() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return L"MS Shell Dlg";
  return metrics.lfMessageFont.lfFaceName;
}

template <std::size_t N>
std::wstring FirstInstalled(const wchar_t* const (&families)[N], const std::wstring& otherwise) {
  for (const wchar_t* family : families) {
    if (Installed(family)) return family;
  }
  return otherwise;
}

HFONT MakeFont(const std::wstring& family, int width, bool fixedPitch) {
  return CreateFontW(-kFontPixels, width, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, (fixedPitch ? FIXED_PITCH : VARIABLE_PITCH) | FF_MODERN,
                     family.c_str());
}

// The average character width of the control font, which a condensed one scales.
int AverageWidth(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metric{};
  GetTextMetricsW(dc, &metric);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metric.tmAveCharWidth;
}

std::mutex fontsMutex;

}  // namespace

std::wstring ControlFontFamily() {
  static const std::wstring family = FirstInstalled(kControlFamilies, MessageFontFamily());
  return family;
}

std::wstring GridFontFamily() {
  static const std::wstring family = FirstInstalled(kGridFamilies, ControlFontFamily());
  return family;
}

HFONT ControlFont() {
  static const HFONT font = MakeFont(ControlFontFamily(), 0, false);
  return font;
}

HFONT GridFont() {
  static const HFONT font = MakeFont(GridFontFamily(), 0, true);
  return font;
}

HFONT CondensedControlFont(int percent) {
  if (percent >= 100) return ControlFont();
  static std::map<int, HFONT> fonts;
  static const int average = AverageWidth(ControlFont());
  const std::lock_guard lock(fontsMutex);
  HFONT& font = fonts[percent];
  if (font == nullptr) font = MakeFont(ControlFontFamily(), std::max(1, (average * percent + 50) / 100), false);
  return font;
}

int TextWidth(HFONT font, const std::wstring& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

HFONT FittingControlFont(const std::wstring& text, int width) {
  HFONT font = ControlFont();
  for (int stretch = 98; TextWidth(font, text) > width && stretch >= kMinCaptionStretch; stretch -= 2) {
    font = CondensedControlFont(stretch);
  }
  return font;
}

}  // namespace vmk::win32
