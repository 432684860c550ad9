// The editor's raster work, each operation against memcpy of the same number
// of bytes timed in the same run: region copies of a 368 x 370 picture in
// every mode the editor uses, fills of that area at the opacities with and
// without fast paths, a bilinear rotated copy of an 84 x 84 knob picture, one
// knob's ring of 22 antialiased arcs and 1,000 antialiased lines.
// Goals: plain copy within 1.5x memcpy, copy with source alpha within 6x.
// The counter "allocs" counts heap allocations per iteration; it must be 0.
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_Compose.h"
#include "raster/LICE_Lines.h"

#include <vector>

#include "bench/AgainstMemcpy.h"

namespace {

constexpr int kEditorWidth = 368;
constexpr int kEditorHeight = 370;
constexpr float kPi = 3.14159265f;

// A picture like the editor's images: opaque areas, fully transparent areas
// and every partial alpha along soft edges.
void Paint(LICE_IBitmap& b)
{
  LICE_PixelWord* p = b.Pixels();
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
    {
      const int band = (x / 16 + y / 16) % 3;
      const LICE_PixelWord alpha = band == 0 ? 255u : band == 1 ? 0u : LICE_PixelWord((x * 7 + y * 3) & 255);
      p[y * b.RowStride() + x] = alpha << 24 | LICE_PixelWord(x & 255) << 16 | LICE_PixelWord(y & 255) << 8 | 0x60;
    }
}

struct Surfaces
{
  LICE_SysBitmap dest{kEditorWidth, kEditorHeight};
  LICE_MemBitmap picture{kEditorWidth, kEditorHeight, 4};
  Surfaces()
  {
    Paint(picture);
    LICE_FillArea(&dest, 0, 0, kEditorWidth, kEditorHeight, 0xFF203040, 1.0f, ComposeCopy);
  }
};

constexpr size_t kEditorBytes = size_t(kEditorWidth) * kEditorHeight * 4;

void CopyRegion(benchmark::State& state, LICE_ComposeMode mode)
{
  Surfaces s;
  AgainstMemcpy(state, kEditorBytes,
                   [&] { LICE_CopyRegion(&s.dest, &s.picture, 0, 0, nullptr, 1.0f, mode); });
}
void BM_CopyRegion_Copy(benchmark::State& state) { CopyRegion(state, ComposeCopy); }
void BM_CopyRegion_CopySourceAlpha(benchmark::State& state) { CopyRegion(state, ComposeCopy | ComposeSourceAlpha); }
void BM_CopyRegion_AddSourceAlpha(benchmark::State& state) { CopyRegion(state, ComposeAdd | ComposeSourceAlpha); }
void BM_CopyRegion_DodgeSourceAlpha(benchmark::State& state) { CopyRegion(state, ComposeDodge | ComposeSourceAlpha); }

void BM_FillArea(benchmark::State& state)
{
  Surfaces s;
  const float alpha = float(state.range(0)) / 100.0f;
  AgainstMemcpy(state, kEditorBytes, [&] {
    LICE_FillArea(&s.dest, 0, 0, kEditorWidth, kEditorHeight, 0xFF8090A0, alpha, ComposeCopy);
  });
}

void BM_RotateBilinear84(benchmark::State& state)
{
  LICE_MemBitmap knob(84, 84, 4), dest(84, 84, 4);
  Paint(knob);
  float angle = 0.0f;
  AgainstMemcpy(state, size_t(84) * 84 * 4, [&] {
    angle += 0.01f;
    LICE_RotateRegion(&dest, &knob, 0, 0, 84, 84, 0, 0, 84, 84, angle, true, 1.0f,
                      ComposeCopy | ComposeSourceAlpha | ComposeBilinear);
  });
}

// One knob's value ring: 22 arcs from radius 33 to 39.3 over 300 degrees,
// against memcpy of the knob's 84 x 84 square.
void BM_KnobArcRing(benchmark::State& state)
{
  LICE_MemBitmap dest(84, 84, 4);
  AgainstMemcpy(state, size_t(84) * 84 * 4, [&] {
    for (int i = 0; i < 22; ++i)
      LICE_PlotArc(&dest, 42.0f, 42.0f, 33.0f + float(i) * 0.3f, -150.0f * kPi / 180.0f, 150.0f * kPi / 180.0f,
                   0xFFFFB030, 0.8f, ComposeCopy, true);
  });
}

// 1,000 antialiased lines across the editor, against memcpy of the editor.
void BM_Lines1000(benchmark::State& state)
{
  Surfaces s;
  struct Segment
  {
    float x1, y1, x2, y2;
  };
  std::vector<Segment> lines;
  unsigned seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return float((seed >> 8) % unsigned(range * 16)) / 16.0f;
  };
  for (int i = 0; i < 1000; ++i)
    lines.push_back({next(kEditorWidth), next(kEditorHeight), next(kEditorWidth), next(kEditorHeight)});
  AgainstMemcpy(state, kEditorBytes, [&] {
    for (const Segment& l : lines)
      LICE_PlotSmoothLine(&s.dest, l.x1, l.y1, l.x2, l.y2, 0xFFFFFFFF, 1.0f, ComposeCopy, true);
  });
}

}  // namespace

BENCHMARK(BM_CopyRegion_Copy);
BENCHMARK(BM_CopyRegion_CopySourceAlpha);
BENCHMARK(BM_CopyRegion_AddSourceAlpha);
BENCHMARK(BM_CopyRegion_DodgeSourceAlpha);
BENCHMARK(BM_FillArea)->Arg(100)->Arg(50)->Arg(30);
BENCHMARK(BM_RotateBilinear84);
BENCHMARK(BM_KnobArcRing);
BENCHMARK(BM_Lines1000);
