// The tuned region copy, rotation and arc loops against the slow versions in
// ReferenceRaster.h, every pixel compared, over many angles, scales, radii,
// opacities and modes, on backgrounds that show any difference in any byte.
#include "raster/LICE_Compose.h"
#include "raster/LICE_Lines.h"

#include "tests/raster/RasterTestBitmaps.h"
#include "tests/raster/ReferenceRaster.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Pseudo-random pixels with every alpha, including runs of 0 and 255.
void Scatter(ExactBitmap& b, std::uint32_t seed)
{
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
    {
      seed = seed * 1664525u + 1013904223u;
      LICE_PixelWord p = seed;
      const int band = (x / 5 + y / 7) % 4;
      if (band == 0)
        p |= 0xFF000000u;
      else if (band == 1)
        p &= 0x00FFFFFFu;
      b.Set(x, y, p);
    }
}

::testing::AssertionResult SamePixels(const ExactBitmap& got, const ExactBitmap& want)
{
  for (int y = 0; y < want.Height(); ++y)
    for (int x = 0; x < want.Width(); ++x)
      if (got.At(x, y) != want.At(x, y))
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << ": " << std::hex << got.At(x, y)
                                             << " instead of " << want.At(x, y);
  return ::testing::AssertionSuccess();
}

const LICE_ComposeMode kSourceModes[] = {
  ComposeCopy, ComposeAdd, ComposeDodge, ComposeSourceAlpha | ComposeCopy, ComposeSourceAlpha | ComposeAdd,
  ComposeSourceAlpha | ComposeDodge,
};

TEST(ReferenceMatch, RotatedCopyAtManyAnglesScalesAndModes)
{
  ExactBitmap knob(23, 19);
  Scatter(knob, 7);
  const struct
  {
    int dx, dy, dw, dh;
    float sx, sy, sw, sh;
    bool clip;
    float offX, offY;
  } placements[] = {
    {4, 3, 23, 19, 0, 0, 23, 19, false, 0, 0},        // the knob's use: same size, whole source
    {-6, 5, 23, 19, 0, 0, 23, 19, false, -0.4f, -0.4f},  // clipped left, wobbling centre
    {9, -4, 31, 27, 2, 1, 17, 15, true, 0.3f, 0},     // enlarged part of the source, clipped top
    {2, 2, 12, 9, 0, 0, 23, 19, false, 0, 0.7f},      // reduced
    {30, 20, -25, -21, 1.5f, 0.5f, 20, 17, true, 0, 0},  // mirrored both ways, fractional source
    {20, 9, 30, 30, -3, -2, 29, 25, false, 0, 0},     // source region beyond the bitmap, runs off right
  };
  const float opacities[] = {1.0f, 0.6f, 0.2f};
  int angleIndex = 0;
  for (LICE_ComposeMode code : kSourceModes)
    for (bool bilinear : {true, false})
      for (const auto& p : placements)
        for (float alpha : opacities)
        {
          const LICE_ComposeMode mode = code | (bilinear ? ComposeBilinear : 0);
          for (int k = 0; k < 4; ++k)
          {
            // Angles over the whole turn, exact quarter turns among them.
            const float angle = (k == 0) ? 1.5707964f * float(angleIndex % 5)
                                         : -3.3f + 0.7913f * float((angleIndex * 7 + k) % 13);
            ++angleIndex;
            ExactBitmap got(40, 32), want(40, 32);
            Scatter(got, 99);
            Scatter(want, 99);
            LICE_RotateRegion(&got, &knob, p.dx, p.dy, p.dw, p.dh, p.sx, p.sy, p.sw, p.sh, angle, p.clip, alpha,
                              mode, p.offX, p.offY);
            reference::RotateRegion(&want, &knob, p.dx, p.dy, p.dw, p.dh, p.sx, p.sy, p.sw, p.sh, angle, p.clip,
                                    alpha, mode, p.offX, p.offY);
            ASSERT_TRUE(SamePixels(got, want)) << "mode " << std::hex << mode << std::dec << " angle " << angle
                                               << " alpha " << alpha << " at " << p.dx << "," << p.dy;
          }
        }
}

TEST(ReferenceMatch, RotatedCopyIntoBottomUpRowsAndFromOnePixel)
{
  ExactBitmap src(9, 9, 0, true), one(1, 1, 0x80FF4020);
  Scatter(src, 3);
  for (float angle : {0.0f, 0.3f, 2.0f, -1.1f})
  {
    ExactBitmap got(12, 12, 0x40102030, true), want(12, 12, 0x40102030, true);
    LICE_RotateRegion(&got, &src, 1, 2, 9, 9, 0, 0, 9, 9, angle, false, 1.0f, ComposeSourceAlpha | ComposeBilinear);
    reference::RotateRegion(&want, &src, 1, 2, 9, 9, 0, 0, 9, 9, angle, false, 1.0f,
                            ComposeSourceAlpha | ComposeBilinear);
    EXPECT_TRUE(SamePixels(got, want)) << angle;

    ExactBitmap gotOne(5, 5, 0xFF808080), wantOne(5, 5, 0xFF808080);
    LICE_RotateRegion(&gotOne, &one, 0, 0, 5, 5, 0, 0, 1, 1, angle, true, 0.7f, ComposeSourceAlpha | ComposeBilinear);
    reference::RotateRegion(&wantOne, &one, 0, 0, 5, 5, 0, 0, 1, 1, angle, true, 0.7f,
                            ComposeSourceAlpha | ComposeBilinear);
    EXPECT_TRUE(SamePixels(gotOne, wantOne)) << angle;
  }
}

TEST(ReferenceMatch, RegionCopyInEveryModeAndOpacity)
{
  // Odd widths mix the vector loops with their tails.
  ExactBitmap src(37, 9);
  Scatter(src, 11);
  for (LICE_ComposeMode mode : kSourceModes)
    for (float alpha : {1.0f, 0.999f, 0.6f, 0.2f, 0.004f, -0.3f})
    {
      ExactBitmap got(41, 12), want(41, 12);
      Scatter(got, 13);
      Scatter(want, 13);
      LICE_CopyRegion(&got, &src, 3, 2, nullptr, alpha, mode);
      const int w = reference::WeightOf(alpha);
      const int code = int(mode & ComposeCodeMask);
      const bool plainCopyAt = !(mode & ComposeSourceAlpha) && code == 0 && (alpha == 1.0f || alpha == 0.5f);
      if (w != 0 && !plainCopyAt && !(code == 0 && w < 0))
        for (int y = 0; y < 9; ++y)
          for (int x = 0; x < 37; ++x)
            want.Set(x + 3, y + 2, reference::FromSource(mode, want.At(x + 3, y + 2), src.At(x, y), w));
      if (plainCopyAt && alpha == 1.0f)
        for (int y = 0; y < 9; ++y)
          for (int x = 0; x < 37; ++x)
            want.Set(x + 3, y + 2, src.At(x, y));
      ASSERT_TRUE(SamePixels(got, want)) << "mode " << mode << " alpha " << alpha;
    }
}

TEST(ReferenceMatch, ArcsAndSectorsAtManyRadiiAnglesAndWeights)
{
  // Ranges: the knob ring's 300 degrees, single quarters, ranges starting and
  // ending on quarter turns, almost full turns, negative and wrapped angles.
  const float ranges[][2] = {
    {-2.6179938f, 2.6179938f}, {0.0f, 1.5707964f}, {-1.5707964f, 0.0f}, {3.1415927f, 4.712389f},
    {0.1f, 6.2f},              {-0.3f, 0.2f},       {2.0f, 2.9f},        {5.5f, 9.0f},
    {-8.0f, -6.5f},            {1.5707964f, 4.0f},  {-3.0f, 3.1f},       {12.0f, 14.5f},
  };
  const float radii[] = {0.4f, 1.2f, 2.6f, 4.5f, 8.0f, 11.3f, 17.7f, 33.0f, 36.9f, 39.3f};
  const float opacities[] = {1.0f, 0.8f, 0.35f};
  const LICE_ComposeMode modes[] = {ComposeCopy, ComposeAdd, ComposeDodge};
  const float centres[][2] = {{42.0f, 42.0f}, {41.8f, 42.3f}, {3.2f, 80.6f}, {-6.5f, 30.0f}};
  int variant = 0;
  for (bool filled : {false, true})
    for (bool antialias : {true, false})
      for (float r : radii)
        for (const auto& range : ranges)
        {
          const float* c = centres[variant % 4];
          const float alpha = opacities[variant % 3];
          const LICE_ComposeMode mode = modes[(variant / 3) % 3];
          ++variant;
          ExactBitmap got(84, 84), want(84, 84);
          Scatter(got, 5);
          Scatter(want, 5);
          const LICE_PixelWord colour = 0xC864C8FF;
          if (filled)
            LICE_FillWedge(&got, c[0], c[1], r, range[0], range[1], colour, alpha, mode, antialias);
          else
            LICE_PlotArc(&got, c[0], c[1], r, range[0], range[1], colour, alpha, mode, antialias);
          reference::ArcPieces(&want, c[0], c[1], r, range[0], range[1], colour, alpha, mode, antialias, filled);
          ASSERT_TRUE(SamePixels(got, want)) << (filled ? "sector" : "arc") << " r " << r << " " << range[0] << ".."
                                             << range[1] << " alpha " << alpha << " mode " << mode << " antialias "
                                             << antialias << " centre " << c[0] << "," << c[1];
        }
}

}  // namespace
