#include "raster/LICE_Lines.h"
#include "raster/LICE_SmallDiscMasks.h"

#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr LICE_PixelWord kWhite = 0xFFFFFFFF;
constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;

TEST(PlotRing, MidpointOutline)
{
  ExactBitmap b(11, 11);
  LICE_PlotRing(&b, 5.0f, 5.0f, 3.2f, kWhite, 1.0f, 0, false);
  const std::vector<std::string> expected = {
    "...........", "...........", "....###....", "...#...#...", "..#.....#..", "..#.....#..",
    "..#.....#..", "...#...#...", "....###....", "...........", "...........",
  };
  EXPECT_EQ(b.Mask(), expected);
}

// Each row of a filled disc is one run spanning the outline's extremes on that
// row, and (drawn with add at weight 1) every pixel is written exactly once.
void ExpectFilledMatchesOutline(bool antialias, float r)
{
  SCOPED_TRACE(testing::Message() << "antialias " << antialias << " radius " << r);
  ExactBitmap ring(25, 25), disc(25, 25);
  LICE_PlotRing(&ring, 12.0f, 12.0f, r, kWhite, 1.0f, 0, antialias);
  LICE_FillDisc(&disc, 12.0f, 12.0f, r, 0x10101010, 1.0f, ComposeAdd, antialias);
  for (int y = 0; y < 25; ++y)
  {
    int first = -1, last = -1;
    for (int x = 0; x < 25; ++x)
    {
      EXPECT_LE(disc.At(x, y) & 0xFF, 0x10u) << x << "," << y;
      if (ring.At(x, y))
      {
        last = x;
        if (first < 0)
          first = x;
      }
    }
    for (int x = 0; x < 25; ++x)
    {
      const bool inside = first >= 0 && x > first && x < last;
      if (inside && !antialias)
      {
        EXPECT_EQ(disc.At(x, y), 0x10101010u) << x << "," << y;
      }
      if (first < 0 || x < first || x > last)
      {
        EXPECT_EQ(disc.At(x, y), 0u) << x << "," << y;
      }
    }
  }
}

TEST(FillDisc, WritesEachCoveredPixelOnceWithinTheOutline)
{
  for (float r : {4.6f, 6.3f, 9.5f, 10.9f})
  {
    ExpectFilledMatchesOutline(false, r);
    ExpectFilledMatchesOutline(true, r);
  }
}

TEST(PlotRing, AntialiasedRowRule)
{
  // r = 10.5: a0 = 128 outside and w - a0 inside on the axes; on row i = 3,
  // h = 10.062, so the pixels beyond and on the edge take 15 and 241.
  ExactBitmap b(25, 25);
  LICE_PlotRing(&b, 12.0f, 12.0f, 10.5f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(b.At(12, 1), 0x80808080u);
  EXPECT_EQ(b.At(12, 2), 0x80808080u);
  EXPECT_EQ(b.At(15, 1), 0x0F0F0F0Fu);
  EXPECT_EQ(b.At(22, 9), 0xF1F1F1F1u);
  EXPECT_EQ(b.At(12, 12), 0u);
}

TEST(SmallDiscMasks, StampedForTheListedRadii)
{
  ExactBitmap plain(16, 16), smooth(16, 16);
  LICE_PlotRing(&plain, 10.0f, 10.0f, 1.5f, kWhite, 1.0f, 0, false);
  LICE_FillDisc(&smooth, 10.0f, 10.0f, 1.5f, kWhite, 1.0f, 0, true);
  // Stamped at (cx - r, cy - r) truncated: the 4 x 4 cell covers 8..11.
  EXPECT_EQ(plain.Mask()[7], "................");
  EXPECT_EQ(plain.Mask()[8], ".........##.....");
  EXPECT_EQ(plain.Mask()[9], "........#..#....");
  EXPECT_EQ(smooth.At(8, 8), 0x4F4F4F4Fu);  // coverage 79
  EXPECT_EQ(smooth.At(9, 9), kWhite);

  for (float r : {1.5f, 2.0f, 2.5f, 3.0f, 3.5f, 4.0f, 5.0f, 6.0f, 7.0f})
  {
    const LICE_SmallDiscMask* mask = LICE_SmallDiscMasks(r);
    ASSERT_NE(mask, nullptr) << r;
    EXPECT_EQ(mask->side, r == 1.5f ? 4 : int(2 * r + 1));
    EXPECT_EQ(mask->outline != nullptr, r <= 4.0f);
    // Every cell is symmetric about both axes and the diagonal.
    for (const std::uint8_t* cells : {mask->outline, mask->filled, mask->outlineAntialiased, mask->filledAntialiased})
    {
      if (!cells)
        continue;
      const int n = mask->side;
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
        {
          const int v = cells[y * n + x];
          EXPECT_EQ(v, cells[y * n + (n - 1 - x)]) << r;
          EXPECT_EQ(v, cells[(n - 1 - y) * n + x]) << r;
          EXPECT_EQ(v, cells[x * n + y]) << r;
        }
    }
  }
  EXPECT_EQ(LICE_SmallDiscMasks(4.5f), nullptr);
}

TEST(PlotArc, EachQuarterStaysInItsQuadrant)
{
  const struct
  {
    float from, to;
    int sx, sy;  // sign of x - X and y - Y allowed
  } quarters[] = {{0, kHalfPi, 1, -1}, {kHalfPi, kPi, 1, 1}, {kPi, 3 * kHalfPi, -1, 1}, {-kHalfPi, 0, -1, -1}};
  for (bool antialias : {false, true})
    for (const auto& q : quarters)
    {
      ExactBitmap b(21, 21);
      LICE_PlotArc(&b, 10.0f, 10.0f, 6.3f, q.from, q.to, kWhite, 1.0f, 0, antialias);
      int drawn = 0;
      for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
          if (b.At(x, y))
          {
            ++drawn;
            EXPECT_GE((x - 10) * q.sx, 0) << q.from << " " << x << "," << y;
            EXPECT_GE((y - 10) * q.sy, 0) << q.from << " " << x << "," << y;
          }
      EXPECT_GT(drawn, 5);
    }
}

TEST(PlotArc, EndsAreOrderedAndFullTurnsDrawTheRing)
{
  for (bool antialias : {false, true})
  {
    ExactBitmap forward(21, 21), backward(21, 21), turn(21, 21), ring(21, 21), wrapped(21, 21);
    LICE_PlotArc(&forward, 10.0f, 10.0f, 6.3f, 0.0f, kHalfPi, kWhite, 1.0f, 0, antialias);
    LICE_PlotArc(&backward, 10.0f, 10.0f, 6.3f, kHalfPi, 0.0f, kWhite, 1.0f, 0, antialias);
    LICE_PlotArc(&turn, 10.0f, 10.0f, 6.3f, 0.0f, 7.0f, kWhite, 1.0f, 0, antialias);
    LICE_PlotRing(&ring, 10.0f, 10.0f, 6.3f, kWhite, 1.0f, 0, antialias);
    LICE_PlotArc(&wrapped, 10.0f, 10.0f, 6.3f, 4 * kPi + 0.25f, 4 * kPi + 1.25f, kWhite, 1.0f, 0, antialias);
    EXPECT_EQ(backward, forward);
    EXPECT_EQ(turn, ring);

    ExactBitmap unwrapped(21, 21);
    LICE_PlotArc(&unwrapped, 10.0f, 10.0f, 6.3f, 0.25f, 1.25f, kWhite, 1.0f, 0, antialias);
    EXPECT_EQ(wrapped, unwrapped);
  }
}

TEST(PlotArc, QuartersJoinWithoutBlendingTheSharedAxisTwice)
{
  ExactBitmap whole(21, 21), pieces(21, 21);
  LICE_PlotArc(&whole, 10.0f, 10.0f, 6.3f, -kHalfPi, kHalfPi, kWhite, 1.0f, 0, false);
  LICE_PlotArc(&pieces, 10.0f, 10.0f, 6.3f, -kHalfPi, 0.0f, kWhite, 1.0f, 0, false);
  LICE_PlotArc(&pieces, 10.0f, 10.0f, 6.3f, 0.0f, kHalfPi, kWhite, 1.0f, 0, false);
  EXPECT_EQ(whole, pieces);

  for (bool antialias : {false, true})
  {
    ExactBitmap half(21, 21);
    LICE_PlotArc(&half, 10.0f, 10.0f, 6.3f, -kHalfPi, kPi, kWhite, 0.5f, 0, antialias);
    ExactBitmap once(21, 21);
    LICE_PlotRing(&once, 10.0f, 10.0f, 6.3f, kWhite, 0.5f, 0, antialias);
    EXPECT_EQ(half.At(10, 4), once.At(10, 4)) << antialias;  // top of the circle, between two quarters
    EXPECT_EQ(half.At(16, 10), once.At(16, 10)) << antialias;
    EXPECT_EQ(half.At(10, 16), once.At(10, 16)) << antialias;
  }
}

TEST(FillWedge, FillsTheQuarterSector)
{
  ExactBitmap b(21, 21);
  LICE_FillWedge(&b, 10.0f, 10.0f, 6.3f, 0.0f, kHalfPi, kWhite, 1.0f, 0, false);
  EXPECT_EQ(b.At(12, 8), kWhite);
  EXPECT_EQ(b.At(10, 5), kWhite);
  EXPECT_EQ(b.At(15, 10), kWhite);
  EXPECT_EQ(b.At(8, 8), 0u);
  EXPECT_EQ(b.At(12, 12), 0u);
  EXPECT_EQ(b.At(16, 4), 0u);
}

TEST(Circles, ClipAtTheBitmapEdges)
{
  for (bool antialias : {false, true})
    for (float cx : {-3.0f, 0.0f, 4.0f, 7.0f, 10.0f})
    {
      ExactBitmap b(8, 8);
      LICE_FillDisc(&b, cx, cx, 9.7f, kWhite, 0.7f, ComposeAdd, antialias);
      LICE_PlotRing(&b, cx, 8.0f - cx, 5.0f, kWhite, 1.0f, 0, antialias);
      LICE_PlotRing(&b, cx, 2.0f, 1.5f, kWhite, 1.0f, 0, antialias);
      LICE_FillWedge(&b, 8.0f - cx, cx, 12.2f, -2.0f, 2.5f, kWhite, 1.0f, 0, antialias);
      LICE_PlotArc(&b, cx, 3.0f, 6.6f, 1.0f, 5.0f, kWhite, 1.0f, ComposeDodge, antialias);
    }
}

TEST(Circles, BadArgumentsDrawNothing)
{
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct
  {
    float cx, cy, r, from, to, alpha;
  } cases[] = {
    {5, 5, -1, 0, 1, 1},     {5, 5, nan, 0, 1, 1},   {5, 5, inf, 0, 1, 1},    {nan, 5, 3, 0, 1, 1},
    {5, inf, 3, 0, 1, 1},    {5, 5, 3, nan, 1, 1},   {5, 5, 3, 0, inf, 1},    {5, 5, 3, -inf, inf, 1},
    {5, 5, 3, 0, 1, 0},      {5, 5, 3, 0, 1, -1},    {5, 5, 3, 0, 1, nan},    {5, 5, 1e9f, 0, 1, 1},
    {5, 5, 1e9f, 0, 7, 1},   {-50, 5, 3, 0, 7, 1},   {5, 60, 40, 0, 7, 1},    {1e30f, 5, 3, 0, 1, 1},
  };
  for (bool antialias : {false, true})
    for (const auto& c : cases)
    {
      ExactBitmap b(11, 11);
      LICE_PlotArc(&b, c.cx, c.cy, c.r, c.from, c.to, kWhite, c.alpha, 0, antialias);
      LICE_FillWedge(&b, c.cx, c.cy, c.r, c.from, c.to, kWhite, c.alpha, 0, antialias);
      if (std::isfinite(c.from) && std::isfinite(c.to))
      {
        LICE_PlotRing(&b, c.cx, c.cy, c.r, kWhite, c.alpha, 0, antialias);
        LICE_FillDisc(&b, c.cx, c.cy, c.r, kWhite, c.alpha, 0, antialias);
      }
      EXPECT_EQ(b, ExactBitmap(11, 11)) << c.cx << "," << c.cy << " r " << c.r << " " << c.from << ".." << c.to;
    }
}

}  // namespace
