#include "raster/LICE_Compose.h"

#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

namespace {

ExactBitmap Numbered(int w, int h)
{
  ExactBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Set(x, y, 0xFF000000u | LICE_PixelWord(1 + x + 10 * y));
  return b;
}

constexpr float kQuarterTurn = 1.5707964f;

TEST(RotateRegion, UnrotatedUnscaledIsACopy)
{
  for (LICE_ComposeMode mode : {LICE_ComposeMode(0), ComposeBilinear})
  {
    ExactBitmap src = Numbered(4, 3), dst(4, 3);
    LICE_RotateRegion(&dst, &src, 0, 0, 4, 3, 0, 0, 4, 3, 0.0f, false, 1.0f, mode);
    EXPECT_EQ(dst, src) << "mode " << mode;
  }
}

TEST(RotateRegion, QuarterTurnIsClockwise)
{
  // Sampling at pixel corners: the destination column that maps onto the
  // window's far edge has no source pixel and is left alone.
  ExactBitmap src = Numbered(3, 3), dst(3, 3);
  LICE_RotateRegion(&dst, &src, 0, 0, 3, 3, 0, 0, 3, 3, kQuarterTurn, true, 1.0f, 0);
  EXPECT_EQ(BlueRow(dst, 0), (std::vector<int>{0, 21, 11}));
  EXPECT_EQ(BlueRow(dst, 1), (std::vector<int>{0, 22, 12}));
  EXPECT_EQ(BlueRow(dst, 2), (std::vector<int>{0, 23, 13}));
}

TEST(RotateRegion, NegativeSizesMirror)
{
  ExactBitmap src = Numbered(4, 1), dst(4, 1);
  LICE_RotateRegion(&dst, &src, 4, 0, -4, 1, 0, 0, 4, 1, 0.0f, true, 1.0f, 0);
  EXPECT_EQ(BlueRow(dst, 0), (std::vector<int>{0, 4, 3, 2}));

  ExactBitmap column = Numbered(1, 4), flipped(1, 4);
  LICE_RotateRegion(&flipped, &column, 0, 4, 1, -4, 0, 0, 1, 4, 0.0f, true, 1.0f, 0);
  EXPECT_EQ(flipped.At(0, 0) & 0xFF, 0u);
  EXPECT_EQ(flipped.At(0, 1) & 0xFF, 31u);
  EXPECT_EQ(flipped.At(0, 3) & 0xFF, 11u);
}

TEST(RotateRegion, BilinearWeightsAndWindowEdges)
{
  // 2 x 2 source scaled to 4 x 4: samples fall on quarter points. The last
  // column blends only vertically, the last row only horizontally.
  ExactBitmap src(2, 2);
  src.Set(0, 0, 0xFF000000);
  src.Set(1, 0, 0xFFFFFFFF);
  src.Set(0, 1, 0xFFFFFFFF);
  src.Set(1, 1, 0xFF000000);
  ExactBitmap dst(4, 4);
  LICE_RotateRegion(&dst, &src, 0, 0, 4, 4, 0, 0, 2, 2, 0.0f, false, 1.0f, ComposeBilinear);
  EXPECT_EQ(BlueRow(dst, 0), (std::vector<int>{0, 127, 255, 255}));
  EXPECT_EQ(BlueRow(dst, 1), (std::vector<int>{127, 127, 127, 127}));
  EXPECT_EQ(BlueRow(dst, 2), (std::vector<int>{255, 127, 0, 0}));
  EXPECT_EQ(BlueRow(dst, 3), (std::vector<int>{255, 127, 0, 0}));
  EXPECT_EQ(dst.At(1, 1) >> 24, 255u);
}

TEST(RotateRegion, NegativeDestinationMatchesTheUnclippedDrawing)
{
  ExactBitmap src = Numbered(8, 8);
  ExactBitmap whole(16, 16), clipped(16, 16);
  LICE_RotateRegion(&whole, &src, 0, 0, 16, 16, 0, 0, 8, 8, 0.0f, false, 1.0f, ComposeBilinear);
  LICE_RotateRegion(&clipped, &src, -3, -5, 16, 16, 0, 0, 8, 8, 0.0f, false, 1.0f, ComposeBilinear);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(clipped.At(x, y), whole.At(x + 3, y + 5)) << x << "," << y;
  EXPECT_EQ(clipped.At(13, 0), 0u);
  EXPECT_EQ(clipped.At(0, 11), 0u);
}

TEST(RotateRegion, SourceWindowAndCentreOffset)
{
  // The centre offset moves the samples one pixel right; with the window
  // clipped to the region the column beyond it is not drawn.
  ExactBitmap src = Numbered(4, 4);
  ExactBitmap clipped(2, 2), open(2, 2);
  LICE_RotateRegion(&clipped, &src, 0, 0, 2, 2, 1, 1, 2, 2, 0.0f, true, 1.0f, 0, 1.0f, 0.0f);
  LICE_RotateRegion(&open, &src, 0, 0, 2, 2, 1, 1, 2, 2, 0.0f, false, 1.0f, 0, 1.0f, 0.0f);
  EXPECT_EQ(BlueRow(clipped, 0), (std::vector<int>{13, 0}));
  EXPECT_EQ(BlueRow(open, 0), (std::vector<int>{13, 14}));
  EXPECT_EQ(BlueRow(open, 1), (std::vector<int>{23, 24}));
}

TEST(RotateRegion, CombinesLikeTheRegionCopy)
{
  const LICE_ComposeMode modes[] = {0, ComposeAdd, ComposeSourceAlpha, ComposeSourceAlpha | ComposeDodge};
  for (LICE_ComposeMode mode : modes)
  {
    ExactBitmap src(3, 2);
    for (int i = 0; i < 6; ++i)
      src.Set(i % 3, i / 3, 0x30405060u * LICE_PixelWord(i + 1));
    ExactBitmap rotated(3, 2, 0x80706050), copied(3, 2, 0x80706050);
    LICE_RotateRegion(&rotated, &src, 0, 0, 3, 2, 0, 0, 3, 2, 0.0f, false, 0.6f, mode);
    LICE_CopyRegion(&copied, &src, 0, 0, nullptr, 0.6f, mode);
    EXPECT_EQ(rotated, copied) << "mode " << mode;
  }
}

TEST(RotateRegion, BadArgumentsDrawNothing)
{
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  ExactBitmap src = Numbered(4, 4);
  const struct
  {
    int dx, dy, dw, dh;
    float sx, sy, sw, sh, angle, alpha;
  } cases[] = {
    {0, 0, 4, 4, 0, 0, 4, 4, nan, 1.0f},   {0, 0, 4, 4, 0, 0, 4, 4, inf, 1.0f},
    {0, 0, 4, 4, nan, 0, 4, 4, 0, 1.0f},   {0, 0, 4, 4, 0, 0, inf, 4, 0, 1.0f},
    {0, 0, 4, 4, 0, 0, 4, 4, 0, nan},      {0, 0, 4, 4, 0, 0, 4, 4, 0, 0.0f},
    {0, 0, 4, 4, 0, 0, 4, 4, 0, -1.0f},    {0, 0, 0, 4, 0, 0, 4, 4, 0, 1.0f},
    {4, 0, 4, 4, 0, 0, 4, 4, 0, 1.0f},     {-4, 0, 4, 4, 0, 0, 4, 4, 0, 1.0f},
    {0, 0, 4, 4, 8, 8, 4, 4, 0, 1.0f},
  };
  for (const auto& c : cases)
  {
    ExactBitmap dst(4, 4);
    LICE_RotateRegion(&dst, &src, c.dx, c.dy, c.dw, c.dh, c.sx, c.sy, c.sw, c.sh, c.angle, true, c.alpha,
                      ComposeBilinear);
    EXPECT_EQ(dst, ExactBitmap(4, 4));
  }
  // Extreme but finite arguments must stay inside the bitmap.
  ExactBitmap dst(4, 4);
  LICE_RotateRegion(&dst, &src, INT_MIN, INT_MIN, INT_MAX, INT_MAX, -1e30f, 1e30f, 1e30f, -1e30f, 1e20f, false,
                    1.0f, ComposeBilinear);
  LICE_RotateRegion(&dst, &src, INT_MAX, 0, INT_MIN, 4, 0, 0, 4, 4, 0.5f, false, 1.0f, 0);
  LICE_RotateRegion(&dst, &src, 0, 0, 4, 4, 0, 0, 1e-30f, 1e-30f, 0.5f, false, 1.0f, ComposeBilinear);
  LICE_RotateRegion(&dst, &src, 0, 0, 4, 4, 0, 0, 4e9f, 4e9f, 0.1f, false, 1.0f, ComposeBilinear);
  LICE_RotateRegion(nullptr, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0, false, 1.0f, 0);
  LICE_RotateRegion(&dst, nullptr, 0, 0, 4, 4, 0, 0, 4, 4, 0, false, 1.0f, 0);
}

}  // namespace
