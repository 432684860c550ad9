#include "raster/LICE_Bitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

bool Aligned64(const void* p)
{
  return (reinterpret_cast<std::uintptr_t>(p) & 63) == 0;
}

TEST(MemBitmap, RowStrideFollowsTheAlignment)
{
  const struct
  {
    int alignment, width, stride;
  } cases[] = {
    {0, 10, 10}, {1, 10, 10}, {4, 10, 12}, {4, 12, 12}, {3, 10, 10},  // 3: lowest set bit 1, no padding
    {8, 9, 16},  {6, 9, 10},  {64, 17, 33},                            // masks capped at 16
    {64, 31, 47},  {64, 40, 40},
  };
  for (const auto& c : cases)
  {
    LICE_MemBitmap b(c.width, 2, c.alignment);
    EXPECT_EQ(b.RowStride(), c.stride) << "alignment " << c.alignment << " width " << c.width;
    EXPECT_GE(b.RowStride(), b.Width());
  }
}

TEST(MemBitmap, PixelsAreAlignedTo64Bytes)
{
  for (int w : {1, 3, 7, 100})
  {
    LICE_MemBitmap b(w, 3, 4);
    ASSERT_NE(b.Pixels(), nullptr);
    EXPECT_TRUE(Aligned64(b.Pixels()));
  }
}

TEST(MemBitmap, ShrinkKeepsTheBlockAndGrowthLeavesHeadroom)
{
  LICE_MemBitmap b(100, 100, 4);
  LICE_PixelWord* block = b.Pixels();
  EXPECT_TRUE(b.SetSize(10, 10));
  EXPECT_EQ(b.Pixels(), block);
  EXPECT_EQ(b.RowStride(), 12);
  EXPECT_TRUE(b.SetSize(100, 100));
  EXPECT_EQ(b.Pixels(), block);

  // Growing past the block adds a quarter: 100 x 101 needs 40400 bytes and
  // gets 50500, so 100 x 126 (50400 bytes) still fits.
  ASSERT_TRUE(b.SetSize(100, 101));
  LICE_PixelWord* grown = b.Pixels();
  ASSERT_NE(grown, nullptr);
  b.Pixels()[100 * 101 - 1] = 7;
  EXPECT_TRUE(b.SetSize(100, 126));
  EXPECT_EQ(b.Pixels(), grown);
  b.Pixels()[100 * 126 - 1] = 7;
}

TEST(MemBitmap, SameSizeReportsNoChangeAndKeepsPixels)
{
  LICE_MemBitmap b(4, 4);
  b.Pixels()[5] = 0x12345678;
  EXPECT_FALSE(b.SetSize(4, 4));
  EXPECT_EQ(b.Pixels()[5], 0x12345678u);
}

TEST(MemBitmap, SizesThatCannotBeHeldLeaveAnEmptyBitmap)
{
  const struct
  {
    int w, h;
  } cases[] = {{INT_MAX, INT_MAX}, {INT_MAX, 1}, {1, INT_MAX}, {65536, 65536}, {-5, 10}, {10, -5}, {0, 10}, {INT_MIN, INT_MIN}};
  for (const auto& c : cases)
  {
    LICE_MemBitmap b(8, 8, 4);
    EXPECT_TRUE(b.SetSize(c.w, c.h));
    EXPECT_EQ(b.Width(), 0) << c.w << " x " << c.h;
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_EQ(b.RowStride(), 0);
    // The bitmap recovers with a sensible size.
    EXPECT_TRUE(b.SetSize(3, 3));
    ASSERT_NE(b.Pixels(), nullptr);
    b.Pixels()[b.RowStride() * 3 - 1] = 1;
  }
  LICE_MemBitmap negative(-3, -3, 4);
  EXPECT_EQ(negative.Width(), 0);
  EXPECT_EQ(negative.Pixels(), nullptr);
}

TEST(MemBitmap, AnswersNoDisplayScaleAndNoDeviceContext)
{
  LICE_MemBitmap b(2, 2);
  EXPECT_EQ(b.Query(LICE_QueryDisplayScale, nullptr), 0);
  EXPECT_EQ(b.DeviceContext(), nullptr);
  EXPECT_FALSE(b.IsBottomUp());
}

TEST(SysBitmap, RowsArePaddedToFourPixelsAndKeptWhenShrinking)
{
  LICE_SysBitmap b(10, 6);
  ASSERT_NE(b.Pixels(), nullptr);
  EXPECT_EQ(b.RowStride(), 12);
  LICE_PixelWord* section = b.Pixels();
  section[12 * 6 - 1] = 1;

  EXPECT_TRUE(b.SetSize(5, 3));
  EXPECT_EQ(b.Width(), 5);
  EXPECT_EQ(b.Height(), 3);
  EXPECT_EQ(b.Pixels(), section);
  EXPECT_EQ(b.RowStride(), 12);

  EXPECT_FALSE(b.SetSize(5, 3));
  EXPECT_TRUE(b.SetSize(13, 6));
  EXPECT_EQ(b.RowStride(), 16);
  b.Pixels()[16 * 6 - 1] = 1;
  EXPECT_EQ(b.Query(LICE_QueryDisplayScale, nullptr), 0);
  EXPECT_FALSE(b.IsBottomUp());
}

TEST(SysBitmap, EmptyAndUnallocatableSizesLeaveNoPixels)
{
  LICE_SysBitmap b(4, 4);
  EXPECT_FALSE(b.SetSize(0, 4));
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_EQ(b.Pixels(), nullptr);

  EXPECT_TRUE(b.SetSize(INT_MAX, INT_MAX));
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Pixels(), nullptr);

  EXPECT_TRUE(b.SetSize(2, 2));
  ASSERT_NE(b.Pixels(), nullptr);
  b.Pixels()[b.RowStride() * 2 - 1] = 1;
}

TEST(SysBitmap, HasADeviceContextOnlyWhereGdiDraws)
{
  LICE_SysBitmap b(8, 8);
#ifdef _WIN32
  EXPECT_NE(b.DeviceContext(), nullptr);
#else
  EXPECT_EQ(b.DeviceContext(), nullptr);
#endif
}

}  // namespace
