// Resampling a picture region to another size: what an output pixel takes
// when shrinking and enlarging, the region's edges, transparent pixels, and
// the inputs it refuses.
#include "raster/LICE_Resample.h"

#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

LICE_PixelWord PixelOf(LICE_MemBitmap& b, int x, int y) { return b.Pixels()[y * b.RowStride() + x]; }

TEST(ResampleRegion, HalvingAveragesEachTwoByTwoBlock)
{
  ExactBitmap src(4, 2);
  const LICE_PixelWord left[] = {0xFF000000u, 0xFF0000C8u};   // blue 0 and 200
  const LICE_PixelWord right[] = {0xFF000064u, 0xFF000064u};  // blue 100
  for (int y = 0; y < 2; ++y)
  {
    src.Set(0, y, left[y]);
    src.Set(1, y, left[1 - y]);
    src.Set(2, y, right[y]);
    src.Set(3, y, right[y]);
  }
  LICE_MemBitmap out;
  ASSERT_TRUE(LICE_ResampleRegion(&out, 2, 1, &src, 0, 0, 4, 2));
  EXPECT_EQ(PixelOf(out, 0, 0), 0xFF000064u);
  EXPECT_EQ(PixelOf(out, 1, 0), 0xFF000064u);
}

TEST(ResampleRegion, DoublingInterpolatesBetweenCentresAndKeepsTheEdges)
{
  ExactBitmap src(2, 1);
  src.Set(0, 0, 0xFF000000u);
  src.Set(1, 0, 0xFF0000FFu);
  LICE_MemBitmap out;
  ASSERT_TRUE(LICE_ResampleRegion(&out, 4, 1, &src, 0, 0, 2, 1));
  // Output centres fall at source x -0.25, 0.25, 0.75, 1.25.
  EXPECT_EQ(PixelOf(out, 0, 0) & 0xFF, 0u);
  EXPECT_EQ(PixelOf(out, 1, 0) & 0xFF, 64u);
  EXPECT_EQ(PixelOf(out, 2, 0) & 0xFF, 191u);
  EXPECT_EQ(PixelOf(out, 3, 0) & 0xFF, 255u);
}

TEST(ResampleRegion, ReadsOnlyItsRegionSoFramesDoNotBleed)
{
  // Two frames side by side, black and white: the black frame enlarged
  // stays black to its edge.
  ExactBitmap src(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) src.Set(x, y, x < 2 ? 0xFF000000u : 0xFFFFFFFFu);
  LICE_MemBitmap out;
  ASSERT_TRUE(LICE_ResampleRegion(&out, 6, 6, &src, 0, 0, 2, 2));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(PixelOf(out, x, y), 0xFF000000u) << x << "," << y;
}

TEST(ResampleRegion, TransparentPixelsLendNoColour)
{
  // An opaque red pixel beside a transparent green one: the mix is red,
  // half transparent.
  ExactBitmap src(2, 1);
  src.Set(0, 0, 0xFFFF0000u);
  src.Set(1, 0, 0x0000FF00u);
  LICE_MemBitmap out;
  ASSERT_TRUE(LICE_ResampleRegion(&out, 1, 1, &src, 0, 0, 2, 1));
  EXPECT_EQ(PixelOf(out, 0, 0), 0x80FF0000u);
}

TEST(ResampleRegion, RefusesWhatCannotBeResampled)
{
  ExactBitmap src(4, 4);
  LICE_MemBitmap out(3, 3);
  const float nan = std::nanf("");
  EXPECT_FALSE(LICE_ResampleRegion(nullptr, 2, 2, &src, 0, 0, 4, 4));
  EXPECT_FALSE(LICE_ResampleRegion(&out, 2, 2, nullptr, 0, 0, 4, 4));
  EXPECT_FALSE(LICE_ResampleRegion(&out, 0, 2, &src, 0, 0, 4, 4));
  EXPECT_FALSE(LICE_ResampleRegion(&out, 2, 2, &src, 0, 0, 0, 4));
  EXPECT_FALSE(LICE_ResampleRegion(&out, 2, 2, &src, nan, 0, 4, 4));
  EXPECT_FALSE(LICE_ResampleRegion(&out, 2, 2, &src, 10, 10, 4, 4));
  EXPECT_EQ(out.Width(), 3);
}

}  // namespace
