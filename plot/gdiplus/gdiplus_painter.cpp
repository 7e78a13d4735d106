#include "plot/gdiplus/gdiplus_painter.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/wide_text.h"

namespace vmk {
namespace {

namespace gp = Gdiplus;

// GDI+ for the whole process, started by the first drawing. It is never shut down: a drawing
// may run on another thread until the process ends, and Windows frees it then.
gp::Status GdiplusStarted() {
  static const gp::Status status = [] {
    gp::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    const gp::Status s = gp::GdiplusStartup(&token, &input, nullptr);
    // The generic typographic format is cached by the C++ wrapper on first use; taking it here,
    // once, keeps two threads from creating it together.
    if (s == gp::Ok) gp::StringFormat::GenericTypographic();
    return s;
  }();
  return status;
}

std::string StatusProblem(gp::Status s) {
  if (s == gp::OutOfMemory) return "not enough memory for the picture";
  return "GDI+ cannot draw the picture (status " + std::to_string(static_cast<int>(s)) + ")";
}

// The system's message font, the face of the system's dialogs and message boxes.
std::wstring MessageFontName() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return {};
  return metrics.lfMessageFont.lfFaceName;
}

const std::wstring& ChosenFamilyName() {
  static const std::wstring name = [] {
    std::vector<std::wstring> candidates;
    // The last entry of the scene's list is the generic family; on Windows the gothic fonts of
    // Windows stand for it.
    for (std::size_t i = 0; i + 1 < kPlotFontFamilyList.size(); ++i) {
      candidates.push_back(platform::Widen(kPlotFontFamilyList[i]));
    }
    for (const char* f : kWindowsGothicFamilyList) candidates.push_back(platform::Widen(f));
    candidates.push_back(MessageFontName());
    for (const std::wstring& c : candidates) {
      if (c.empty()) continue;
      const gp::FontFamily family(c.c_str());
      if (family.IsAvailable() && family.GetLastStatus() == gp::Ok) return c;
    }
    gp::FontFamily::GenericSansSerif();  // cached by the C++ wrapper: taken once, here
    return std::wstring();
  }();
  return name;
}

// The texts' font family: the chosen one, or GDI+'s generic sans-serif family.
class TextFamily {
 public:
  TextFamily() {
    const std::wstring& name = ChosenFamilyName();
    if (!name.empty()) own_ = std::make_unique<gp::FontFamily>(name.c_str());
  }
  const gp::FontFamily* get() const {
    return own_ ? own_.get() : gp::FontFamily::GenericSansSerif();
  }

 private:
  std::unique_ptr<gp::FontFamily> own_;
};

gp::Color ToColor(PlotColor c) { return gp::Color(255, c.R, c.G, c.B); }

gp::PointF ToPoint(double x, double y) {
  return gp::PointF(static_cast<gp::REAL>(x), static_cast<gp::REAL>(y));
}

std::vector<gp::PointF> ToPoints(const std::vector<std::pair<double, double>>& points) {
  std::vector<gp::PointF> out;
  out.reserve(points.size());
  for (const auto& [x, y] : points) out.push_back(ToPoint(x, y));
  return out;
}

// A stroke as a pen: flat caps, round joins, the scene's dashes starting with a dash. A stroke
// thinner than a pixel is drawn a pixel wide with its colour's cover: the same ink, and the same
// look where GDI+ draws without antialiasing (wine), instead of a full pixel's line.
std::unique_ptr<gp::Pen> ToPen(const PlotStroke& s) {
  const double width = std::max(s.Width, 1.0);
  const auto cover = static_cast<BYTE>(std::lround(255 * std::clamp(s.Width, 0.0, 1.0)));
  const gp::Color color(cover, s.Color.R, s.Color.G, s.Color.B);
  auto pen = std::make_unique<gp::Pen>(color, static_cast<gp::REAL>(width));
  pen->SetLineCap(gp::LineCapFlat, gp::LineCapFlat, gp::DashCapFlat);
  pen->SetLineJoin(gp::LineJoinRound);
  if (s.Dashed) {
    // GDI+ counts dashes in pen widths.
    const gp::REAL dashes[] = {static_cast<gp::REAL>(kDashLength / width),
                               static_cast<gp::REAL>(kDashGap / width)};
    pen->SetDashPattern(dashes, 2);
    pen->SetDashOffset(0);
  }
  return pen;
}

// A path of closed figures, one per ring (or polygon), filled by the odd-even rule.
void AddClosedFigure(gp::GraphicsPath& path, const std::vector<std::pair<double, double>>& ring) {
  if (ring.size() < 2) return;
  const std::vector<gp::PointF> points = ToPoints(ring);
  path.StartFigure();
  path.AddLines(points.data(), static_cast<INT>(points.size()));
  path.CloseFigure();
}

void FillAndOutline(gp::Graphics& g, const gp::GraphicsPath& path,
                    const std::optional<PlotColor>& fill, const std::optional<PlotStroke>& outline,
                    double opacity = 1) {
  if (path.GetPointCount() == 0) return;
  if (fill) {
    const auto alpha = static_cast<BYTE>(std::lround(255 * std::clamp(opacity, 0.0, 1.0)));
    const gp::SolidBrush brush(gp::Color(alpha, fill->R, fill->G, fill->B));
    g.FillPath(&brush, &path);
  }
  if (outline) g.DrawPath(ToPen(*outline).get(), &path);
}

void DrawFill(gp::Graphics& g, const PlotFill& f) {
  gp::GraphicsPath path(gp::FillModeAlternate);
  for (const auto& ring : f.Rings) AddClosedFigure(path, ring);
  FillAndOutline(g, path, f.Color, f.Outline, f.Opacity);
}

// The image's pixels stretched over its rectangle, each pixel whole (no smoothing).
void DrawImage(gp::Graphics& g, const PlotImage& image) {
  if (image.Columns <= 0 || image.Rows <= 0 ||
      image.Rgba.size() != static_cast<std::size_t>(image.Columns) * image.Rows * 4) {
    return;
  }
  // GDI+ keeps 32-bit pixels as B, G, R, A in memory.
  std::vector<BYTE> bgra(image.Rgba.size());
  for (std::size_t i = 0; i < bgra.size(); i += 4) {
    bgra[i] = image.Rgba[i + 2];
    bgra[i + 1] = image.Rgba[i + 1];
    bgra[i + 2] = image.Rgba[i];
    bgra[i + 3] = image.Rgba[i + 3];
  }
  gp::Bitmap bitmap(image.Columns, image.Rows, image.Columns * 4, PixelFormat32bppARGB, bgra.data());
  if (bitmap.GetLastStatus() != gp::Ok) return;
  const gp::InterpolationMode before = g.GetInterpolationMode();
  g.SetInterpolationMode(gp::InterpolationModeNearestNeighbor);
  // The whole source, pixel edges on pixel edges: no half pixel of smoothing along the sides.
  gp::ImageAttributes attributes;
  attributes.SetWrapMode(gp::WrapModeTileFlipXY);
  g.DrawImage(&bitmap,
              gp::RectF(static_cast<gp::REAL>(image.Left), static_cast<gp::REAL>(image.Top),
                        static_cast<gp::REAL>(image.Width), static_cast<gp::REAL>(image.Height)),
              0, 0, static_cast<gp::REAL>(image.Columns), static_cast<gp::REAL>(image.Rows),
              gp::UnitPixel, &attributes);
  g.SetInterpolationMode(before);
}

// The text with its anchor on the baseline: GDI+ places the top of the line's cell at the
// layout point, the baseline one cell ascent below it; the generic typographic format adds no
// padding around the text and measures its trailing blanks, as the advance width does. A bold
// text in a family without a bold face is the regular one struck twice, a pixel (or a 24th of
// its size) apart, with the regular advance: as the pictures of the other systems embolden it,
// and narrower than GDI+'s own emboldening, which widens every letter's advance.
void DrawText(gp::Graphics& g, const PlotText& t, const gp::FontFamily& family) {
  const std::wstring text = platform::Widen(t.Text);
  if (text.empty()) return;
  const bool boldFace = t.Bold && family.IsStyleAvailable(gp::FontStyleBold);
  const INT style = boldFace ? gp::FontStyleBold : gp::FontStyleRegular;
  const gp::Font font(&family, static_cast<gp::REAL>(t.Size), style, gp::UnitPixel);
  gp::StringFormat format(gp::StringFormat::GenericTypographic());
  format.SetFormatFlags(format.GetFormatFlags() | gp::StringFormatFlagsMeasureTrailingSpaces |
                        gp::StringFormatFlagsNoWrap | gp::StringFormatFlagsNoClip);
  const INT length = static_cast<INT>(text.size());
  gp::RectF box;
  g.MeasureString(text.c_str(), length, &font, gp::PointF(0, 0), &format, &box);
  const double width = box.Width;
  const double dx = t.Anchor == TextAnchor::Start    ? 0
                    : t.Anchor == TextAnchor::Middle ? -width / 2
                                                     : -width;
  const double ascent =
      t.Size * family.GetCellAscent(style) / std::max<double>(1, family.GetEmHeight(style));
  const gp::SolidBrush brush(ToColor(t.Color));
  const double left = t.X + dx;
  const double top = t.Y - ascent;
  const double strike = std::max(1.0, t.Size / 24);
  if (t.Halo) {
    // The text itself drawn in the halo colour around its place, half the halo's width out in
    // eight directions: the glyphs' outlines as a path (AddString) are laid out apart from the
    // drawn glyphs' hinted advances, under wine by up to a letter along a long name.
    const gp::SolidBrush halo(ToColor(*t.Halo));
    const double r = kHaloWidth / 2, d = r / std::sqrt(2.0);
    const std::pair<double, double> around[] = {{r, 0}, {-r, 0}, {0, r}, {0, -r}, {d, d}, {d, -d}, {-d, d}, {-d, -d}};
    for (const auto& [ox, oy] : around) {
      g.DrawString(text.c_str(), length, &font, ToPoint(left + ox, top + oy), &format, &halo);
      if (t.Bold && !boldFace) {
        g.DrawString(text.c_str(), length, &font, ToPoint(left + strike + ox, top + oy), &format, &halo);
      }
    }
  }
  g.DrawString(text.c_str(), length, &font, ToPoint(left, top), &format, &brush);
  if (t.Bold && !boldFace) {
    g.DrawString(text.c_str(), length, &font, ToPoint(left + strike, top), &format, &brush);
  }
}

void DrawShapes(gp::Graphics& g, const PlotShapes& shapes, const gp::FontFamily& family) {
  for (const PlotPolygon& p : shapes.Polygons) {
    gp::GraphicsPath path(gp::FillModeAlternate);
    AddClosedFigure(path, p.Points);
    FillAndOutline(g, path, p.Fill, p.Outline);
  }
  for (const PlotSegment& s : shapes.Segments) {
    g.DrawLine(ToPen(s.Stroke).get(), ToPoint(s.X1, s.Y1), ToPoint(s.X2, s.Y2));
  }
  for (const PlotPolyline& line : shapes.Polylines) {
    if (line.Points.size() < 2) continue;
    const std::vector<gp::PointF> points = ToPoints(line.Points);
    g.DrawLines(ToPen(line.Stroke).get(), points.data(), static_cast<INT>(points.size()));
  }
  for (const PlotCircle& c : shapes.Circles) {
    const gp::REAL x = static_cast<gp::REAL>(c.X - c.Radius);
    const gp::REAL y = static_cast<gp::REAL>(c.Y - c.Radius);
    const gp::REAL d = static_cast<gp::REAL>(2 * c.Radius);
    const gp::SolidBrush brush(ToColor(c.Fill));
    g.FillEllipse(&brush, x, y, d, d);
    g.DrawEllipse(ToPen(PlotStroke{c.Outline, c.OutlineWidth}).get(), x, y, d, d);
  }
  for (const PlotText& t : shapes.Texts) DrawText(g, t, family);
}

// Antialiased shapes and texts, with pixel centres at half pixels as in the SVG and Qt
// pictures: a 1 px line along y = 10.5 fills the row of pixels 10 alone.
void SetUpGraphics(gp::Graphics& g) {
  g.SetSmoothingMode(gp::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(gp::PixelOffsetModeHalf);
  g.SetTextRenderingHint(gp::TextRenderingHintAntiAlias);
}

void FillBackground(gp::Graphics& g, PlotColor color, int width, int height) {
  const gp::SolidBrush brush(ToColor(color));
  g.FillRectangle(&brush, 0, 0, width, height);
}

void Paint(gp::Graphics& g, const PlotScene& scene, const gp::FontFamily& family) {
  SetUpGraphics(g);
  FillBackground(g, scene.Background, scene.Width, scene.Height);
  DrawShapes(g, scene, family);
}

void Paint(gp::Graphics& g, const MapScene& scene, const gp::FontFamily& family) {
  SetUpGraphics(g);
  FillBackground(g, scene.Background, scene.Width, scene.Height);
  const gp::GraphicsState unclipped = g.Save();
  g.IntersectClip(gp::RectF(static_cast<gp::REAL>(scene.FrameLeft),
                            static_cast<gp::REAL>(scene.FrameTop),
                            static_cast<gp::REAL>(scene.FrameWidth),
                            static_cast<gp::REAL>(scene.FrameHeight)));
  for (const PlotImage& image : scene.Images) DrawImage(g, image);
  for (const PlotFill& f : scene.GroundFills) DrawFill(g, f);
  DrawShapes(g, scene.Ground, family);
  for (const PlotFill& f : scene.Fills) DrawFill(g, f);
  DrawShapes(g, scene.Inside, family);
  for (const PlotFill& f : scene.Marks) DrawFill(g, f);
  g.Restore(unclipped);
  for (const PlotFill& f : scene.OutsideFills) DrawFill(g, f);
  DrawShapes(g, scene.Outside, family);
}

// Paints the scene with g, set up for it; returns the problem, or nothing.
template <typename Scene>
std::optional<std::string> PaintWith(gp::Graphics& g, const Scene& scene) {
  if (const gp::Status s = g.GetLastStatus(); s != gp::Ok) return StatusProblem(s);
  const TextFamily family;
  if (family.get() == nullptr) return "no font for the picture's texts";
  Paint(g, scene, *family.get());
  if (const gp::Status s = g.GetLastStatus(); s != gp::Ok) return StatusProblem(s);
  return std::nullopt;
}

template <typename Scene>
std::optional<std::string> PaintInto(WindowsDc dc, const Scene& scene) {
  if (const gp::Status s = GdiplusStarted(); s != gp::Ok) return StatusProblem(s);
  gp::Graphics g(static_cast<HDC>(dc.Hdc));
  return PaintWith(g, scene);
}

// The class id of GDI+'s PNG encoder.
std::optional<CLSID> PngEncoder() {
  UINT count = 0;
  UINT size = 0;
  if (gp::GetImageEncodersSize(&count, &size) != gp::Ok || size == 0) return std::nullopt;
  std::vector<unsigned char> buffer(size);
  auto* codecs = reinterpret_cast<gp::ImageCodecInfo*>(buffer.data());
  if (gp::GetImageEncoders(count, size, codecs) != gp::Ok) return std::nullopt;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType != nullptr && std::wstring_view(codecs[i].MimeType) == L"image/png") {
      return codecs[i].Clsid;
    }
  }
  return std::nullopt;
}

struct StreamRelease {
  void operator()(IStream* s) const { s->Release(); }
};

// The bitmap as the bytes of a PNG file, through a stream in memory.
std::optional<std::string> PngBytesOf(gp::Bitmap& bitmap, std::string& bytes) {
  static const std::optional<CLSID> encoder = PngEncoder();
  if (!encoder) return "GDI+ has no PNG encoder";
  IStream* raw = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &raw))) return "not enough memory for the picture";
  const std::unique_ptr<IStream, StreamRelease> stream(raw);
  if (const gp::Status s = bitmap.Save(stream.get(), &*encoder, nullptr); s != gp::Ok) {
    return StatusProblem(s);
  }
  STATSTG stat{};
  HGLOBAL memory = nullptr;
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
      FAILED(GetHGlobalFromStream(stream.get(), &memory))) {
    return "cannot read the PNG picture back from memory";
  }
  const void* data = GlobalLock(memory);
  if (data == nullptr) return "cannot read the PNG picture back from memory";
  bytes.assign(static_cast<const char*>(data), static_cast<std::size_t>(stat.cbSize.QuadPart));
  GlobalUnlock(memory);
  return std::nullopt;
}

template <typename Scene>
std::optional<std::string> PngOf(const Scene& scene, std::string& bytes) {
  if (const gp::Status s = GdiplusStarted(); s != gp::Ok) return StatusProblem(s);
  if (scene.Width <= 0 || scene.Height <= 0) return "the picture has no pixels";
  gp::Bitmap bitmap(scene.Width, scene.Height, PixelFormat24bppRGB);
  if (const gp::Status s = bitmap.GetLastStatus(); s != gp::Ok) {
    return "not enough memory for the picture";
  }
  {
    gp::Graphics g(&bitmap);
    if (auto problem = PaintWith(g, scene)) return problem;
  }
  return PngBytesOf(bitmap, bytes);
}

}  // namespace

std::string PlotFontFamilyOnWindows() {
  if (GdiplusStarted() != gp::Ok) return {};
  return platform::Narrow(ChosenFamilyName());
}

std::optional<std::string> PaintPlotScene(WindowsDc dc, const PlotScene& scene) {
  return PaintInto(dc, scene);
}

std::optional<std::string> PaintMapScene(WindowsDc dc, const MapScene& scene) {
  return PaintInto(dc, scene);
}

std::optional<std::string> PlotScenePngBytes(const PlotScene& scene, std::string& bytes) {
  return PngOf(scene, bytes);
}

std::optional<std::string> MapScenePngBytes(const MapScene& scene, std::string& bytes) {
  return PngOf(scene, bytes);
}

std::optional<std::string> ImagePngBytes(const PlotImage& image, std::string& bytes) {
  if (const gp::Status s = GdiplusStarted(); s != gp::Ok) return StatusProblem(s);
  if (image.Columns <= 0 || image.Rows <= 0 ||
      image.Rgba.size() != static_cast<std::size_t>(image.Columns) * image.Rows * 4) {
    return "the image has no pixels";
  }
  gp::Bitmap bitmap(image.Columns, image.Rows, PixelFormat32bppARGB);
  if (bitmap.GetLastStatus() != gp::Ok) return "not enough memory for the picture";
  gp::BitmapData data{};
  const gp::Rect all(0, 0, image.Columns, image.Rows);
  if (bitmap.LockBits(&all, gp::ImageLockModeWrite, PixelFormat32bppARGB, &data) != gp::Ok) {
    return "not enough memory for the picture";
  }
  for (int row = 0; row < image.Rows; ++row) {
    auto* out = static_cast<BYTE*>(data.Scan0) + static_cast<std::ptrdiff_t>(row) * data.Stride;
    const unsigned char* in = image.Rgba.data() + static_cast<std::size_t>(row) * image.Columns * 4;
    for (int i = 0; i < image.Columns; ++i, in += 4, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = in[3];
    }
  }
  bitmap.UnlockBits(&data);
  return PngBytesOf(bitmap, bytes);
}

}  // namespace vmk
