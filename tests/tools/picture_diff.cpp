// vmk-picture-diff: whether two pictures of the same scene, drawn by two painters (the Windows
// build's GDI+ under wine and the Linux build's Qt), look alike:
//   vmk-picture-diff A.png B.png RADIUS FUZZ LIMIT
// Two counts of pixels that tell them apart:
//  - unmatched: a pixel of one picture with no pixel of the other within RADIUS pixels (in x
//    and in y) of its colour, each channel within FUZZ % of the full scale. This forgives what
//    the painters may draw differently (antialiased or sharp edges, a 1 px line as two grey
//    rows or one black, a glyph's hinting, letters a pixel further along a line) and not a
//    missing or moved label or a shape moved by more than RADIUS;
//  - recoloured: a pixel amid a flat area (5 x 5 pixels of one colour) in both pictures whose
//    colours differ by more than 8 in a channel: a fill or a background of another colour,
//    however light.
// Prints the sizes and the counts; the exit status is 0 when the sizes are equal and at most
// LIMIT pixels are unmatched or recoloured together, 1 otherwise, 2 for an unreadable picture or
// argument.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QImage>

namespace {

// The pixels of `a` with no pixel of `b` near them of about their colour.
long Unmatched(const QImage& a, const QImage& b, int radius, int fuzz) {
  const int most = 255 * fuzz / 100;
  const auto alike = [most](QRgb p, QRgb q) {
    return std::abs(qRed(p) - qRed(q)) <= most && std::abs(qGreen(p) - qGreen(q)) <= most &&
           std::abs(qBlue(p) - qBlue(q)) <= most;
  };
  long count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      bool found = false;
      for (int v = std::max(0, y - radius); v <= std::min(b.height() - 1, y + radius) && !found; ++v) {
        for (int u = std::max(0, x - radius); u <= std::min(b.width() - 1, x + radius) && !found;
             ++u) {
          found = alike(p, b.pixel(u, v));
        }
      }
      if (!found) ++count;
    }
  }
  return count;
}

// Whether the 5 x 5 pixels around (x, y) have one colour.
bool Flat(const QImage& image, int x, int y) {
  if (x < 2 || y < 2 || x >= image.width() - 2 || y >= image.height() - 2) return false;
  const QRgb c = image.pixel(x, y);
  for (int v = y - 2; v <= y + 2; ++v) {
    for (int u = x - 2; u <= x + 2; ++u) {
      if (image.pixel(u, v) != c) return false;
    }
  }
  return true;
}

long Recoloured(const QImage& a, const QImage& b) {
  long count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      if (std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                    std::abs(qBlue(p) - qBlue(q))}) > 8 &&
          Flat(a, x, y) && Flat(b, x, y)) {
        ++count;
      }
    }
  }
  return count;
}

bool ReadNumber(const char* text, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  long radius = 0, fuzz = 0, limit = 0;
  if (argc != 6 || !ReadNumber(argv[3], radius) || !ReadNumber(argv[4], fuzz) || fuzz > 100 ||
      !ReadNumber(argv[5], limit)) {
    std::fprintf(stderr, "usage: vmk-picture-diff A.png B.png RADIUS FUZZ LIMIT\n");
    return 2;
  }
  const QImage a = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
  const QImage b = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
  if (a.isNull() || b.isNull()) {
    std::fprintf(stderr, "vmk-picture-diff: cannot read %s\n", a.isNull() ? argv[1] : argv[2]);
    return 2;
  }
  std::printf("%d x %d and %d x %d pixels", a.width(), a.height(), b.width(), b.height());
  if (a.size() != b.size()) {
    std::printf(": DIFFERENT SIZES\n");
    return 1;
  }
  const long inA = Unmatched(a, b, static_cast<int>(radius), static_cast<int>(fuzz));
  const long inB = Unmatched(b, a, static_cast<int>(radius), static_cast<int>(fuzz));
  const long recoloured = Recoloured(a, b);
  std::printf("; unmatched within %ld px and %ld %%: %ld and %ld; recoloured: %ld (at most %ld "
              "together)\n",
              radius, fuzz, inA, inB, recoloured, limit);
  return inA + inB + recoloured <= limit ? 0 : 1;
}
