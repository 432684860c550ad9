// thrumwell-placeholder-art RESOURCE_DIR [--force]
// Writes simple stand-in pictures, at the sizes the editor expects, for every
// image of RESOURCE_DIR/images.list whose file is missing, so that modules
// and tests build before the real artwork exists. Existing files are kept
// unless --force is given.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "raster/LICE_Bitmap.h"
#include "raster/LICE_PngWrite.h"

namespace {

enum class Look { Backdrop, Knob, WaveFrames, Button, Overlay, Handle, Switch };

struct Placeholder
{
  int number;
  int width, height;
  Look look;
};

// Sizes of the editor's images, by resource number.
const Placeholder placeholders[] = {
  {100, 368, 370, Look::Backdrop}, {101, 168, 84, Look::Knob},   {102, 128, 64, Look::Knob},
  {103, 120, 30, Look::WaveFrames}, {104, 68, 18, Look::Button},  {105, 92, 18, Look::Button},
  {106, 92, 25, Look::Button},     {107, 114, 28, Look::Button},  {108, 80, 96, Look::Overlay},
  {109, 16, 16, Look::Handle},     {110, 108, 20, Look::Switch},
};

LICE_PixelWord Argb(int a, int r, int g, int b)
{
  return LICE_PixelWord(a) << 24 | LICE_PixelWord(r) << 16 | LICE_PixelWord(g) << 8 | LICE_PixelWord(b);
}

void Put(LICE_IBitmap& bm, int x, int y, LICE_PixelWord p)
{
  if (x >= 0 && y >= 0 && x < bm.Width() && y < bm.Height()) {
    bm.Pixels()[y * bm.RowStride() + x] = p;
  }
}

// Coverage 0..255 of a disc of radius r about (cx, cy) at pixel (x, y).
int DiscCoverage(int x, int y, double cx, double cy, double r)
{
  const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
  const double c = r + 0.5 - d;
  return c <= 0 ? 0 : c >= 1 ? 255 : int(c * 255);
}

void Draw(LICE_IBitmap& bm, const Placeholder& p)
{
  const int w = p.width, h = p.height;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      LICE_PixelWord c = 0;
      switch (p.look) {
      case Look::Backdrop:
        c = Argb(255, 24 + y * 24 / h, 30 + y * 30 / h, 48 + y * 40 / h);
        break;
      case Look::Knob: {
        // Left half: a pointer dot near the top; right half: the face.
        const int half = w / 2;
        const double r = h / 2.0;
        if (x < half) {
          c = Argb(DiscCoverage(x, y, r, r * 0.3, r * 0.08), 255, 255, 255);
        } else {
          c = Argb(DiscCoverage(x - half, y, r, r, r * 0.62), 70, 76, 90);
        }
        break;
      }
      case Look::WaveFrames:
        c = Argb(0, 0, 0, 0);
        break;
      case Look::Button:
      case Look::Switch:
        c = (x == 0 || y == 0 || x == w - 1 || y == h - 1) ? Argb(255, 150, 200, 255) : Argb(160, 40, 60, 90);
        break;
      case Look::Overlay:
        c = Argb(200, 24, 30, 48);
        break;
      case Look::Handle:
        c = Argb(DiscCoverage(x, y, w / 2.0, h / 2.0, w / 2.0 - 1), 220, 220, 220);
        break;
      }
      Put(bm, x, y, c);
    }
  }
  if (p.look == Look::WaveFrames) {
    // One period of sine, triangle, saw and square, one frame each.
    const int frame = h;
    for (int f = 0; f < 4; ++f) {
      for (int x = 3; x < frame - 3; ++x) {
        const double t = (x - 3) / double(frame - 6);
        double v = 0;
        switch (f) {
        case 0: v = std::sin(t * 2 * M_PI); break;
        case 1: v = t < 0.25 ? 4 * t : t < 0.75 ? 2 - 4 * t : 4 * t - 4; break;
        case 2: v = 1 - 2 * t; break;
        default: v = t < 0.5 ? 1 : -1; break;
        }
        Put(bm, f * frame + x, int(frame / 2 - v * (frame / 2 - 5)), Argb(255, 200, 230, 255));
      }
    }
  }
  if (p.look == Look::Switch) {
    // Second frame lit.
    for (int y = 1; y < h - 1; ++y) {
      for (int x = w / 2 + 1; x < w - 1; ++x) {
        Put(bm, x, y, Argb(220, 90, 160, 230));
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s RESOURCE_DIR [--force]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const bool force = argc > 2 && std::strcmp(argv[2], "--force") == 0;
  std::ifstream list(dir + "/images.list");
  if (!list) {
    std::fprintf(stderr, "cannot read %s/images.list\n", dir.c_str());
    return 1;
  }
  int failures = 0;
  std::string line;
  while (std::getline(list, line)) {
    std::istringstream fields(line.substr(0, line.find('#')));
    int number = 0;
    std::string name;
    if (!(fields >> number >> name)) {
      continue;
    }
    const std::string path = dir + "/" + name;
    if (!force && std::ifstream(path)) {
      continue;
    }
    for (const Placeholder& p : placeholders) {
      if (p.number != number) {
        continue;
      }
      LICE_MemBitmap bm(p.width, p.height, 4);
      Draw(bm, p);
      if (LICE_WritePng(path.c_str(), &bm)) {
        std::printf("wrote %s (%d x %d)\n", path.c_str(), p.width, p.height);
      } else {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        ++failures;
      }
    }
  }
  return failures ? 1 : 0;
}
