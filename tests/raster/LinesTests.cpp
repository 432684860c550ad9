#include "raster/LICE_Lines.h"

#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr LICE_PixelWord kWhite = 0xFFFFFFFF;

TEST(PlotLine, EndPointsAreInclusive)
{
  ExactBitmap b(12, 3);
  LICE_PlotLine(&b, 0, 1, 10, 1, kWhite, 1.0f, 0, false);
  EXPECT_EQ(b.Mask()[1], "###########.");

  ExactBitmap dot(3, 3);
  LICE_PlotLine(&dot, 1, 1, 1, 1, kWhite, 1.0f, 0, true);
  EXPECT_EQ(dot.Mask(), (std::vector<std::string>{"...", ".#.", "..."}));

  ExactBitmap outside(3, 3);
  LICE_PlotLine(&outside, -5, -1, 10, -1, kWhite, 1.0f, 0, false);
  LICE_PlotLine(&outside, 3, -4, 3, 9, kWhite, 1.0f, 0, true);
  EXPECT_EQ(outside, ExactBitmap(3, 3));
}

TEST(ClipSegment, MovesEndsOntoTheEdgesTheyLieBeyond)
{
  const struct
  {
    int x1, y1, x2, y2;
    bool visible;
    int cx1, cy1, cx2, cy2;
  } cases[] = {
    {2, 3, 7, 8, true, 2, 3, 7, 8},              // inside
    {-10, 0, 9, 9, true, 0, 4, 9, 9},            // left
    {0, 0, 19, 9, true, 0, 0, 9, 4},             // right
    {4, -6, 4, 20, true, 4, 0, 4, 9},            // top and bottom
    {-5, 5, 5, -5, true, 0, 0, 0, 0},            // cuts the corner
    {-5, 12, 14, -7, true, 0, 7, 7, 0},          // through two edges
    {-5, -1, 20, -1, false, 0, 0, 0, 0},         // above
    {10, 0, 12, 9, false, 0, 0, 0, 0},           // right of it
    {-3, 1, 1, -3, false, 0, 0, 0, 0},           // misses the corner
    {INT_MIN, INT_MIN, INT_MAX, INT_MAX, true, 0, 0, 9, 9},
  };
  for (const auto& c : cases)
  {
    int x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
    const bool visible = LICE_ClipSegment(x1, y1, x2, y2, 10, 10);
    EXPECT_EQ(visible, c.visible) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    if (visible && c.visible)
    {
      EXPECT_EQ(x1, c.cx1);
      EXPECT_EQ(y1, c.cy1);
      EXPECT_EQ(x2, c.cx2);
      EXPECT_EQ(y2, c.cy2);
    }
  }
}

TEST(PlotLine, ClippedRunsStopAtEveryEdge)
{
  const struct
  {
    int x1, y1, x2, y2;
    std::vector<std::string> rows;
  } cases[] = {
    {-5, 1, 2, 1, {"....", "###.", "....", "...."}},
    {2, 1, 9, 1, {"....", "..##", "....", "...."}},
    {1, -5, 1, 1, {".#..", ".#..", "....", "...."}},
    {1, 2, 1, 9, {"....", "....", ".#..", ".#.."}},
  };
  for (bool antialias : {false, true})
    for (const auto& c : cases)
    {
      ExactBitmap b(4, 4);
      LICE_PlotLine(&b, c.x1, c.y1, c.x2, c.y2, kWhite, 0.6f, ComposeAdd, antialias);
      EXPECT_EQ(b.Mask(), c.rows) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

LICE_PixelWord RunPixel(LICE_PixelWord dst, LICE_PixelWord colour, float alpha)
{
  ExactBitmap b(3, 1, dst);
  LICE_PlotLine(&b, 0, 0, 2, 0, colour, alpha, 0, false);
  return b.At(1, 0);
}

TEST(PlotLine, RunFastPathsAndTheGeneralRule)
{
  EXPECT_EQ(RunPixel(0x11111111, 0x80FF4020, 1.0f), 0x80FF4020u);
  EXPECT_EQ(RunPixel(0x01010101, 0x01010101, 0.5f), 0x00000000u);   // word average drops low bits
  EXPECT_EQ(RunPixel(0x01010101, 0x01010101, 0.501f), 0x01010101u); // weight 128: (d + s) >> 1
  EXPECT_EQ(RunPixel(0xFFFFFFFF, 0x00000000, 0.25f), 0xBEBEBEBEu);
  EXPECT_EQ(RunPixel(0x00000000, 0xFFFFFFFF, 0.75f), 0xBEBEBEBEu);
  EXPECT_EQ(RunPixel(0x00000000, 0xFFFFFFFF, 0.3f), 0x4C4C4C4Cu);
  EXPECT_EQ(RunPixel(0x11223344, 0xFFFFFFFF, 0.0f), 0x11223344u);
  EXPECT_EQ(RunPixel(0x11223344, 0xFFFFFFFF, -0.5f), 0x11223344u);
}

TEST(PlotLine, ExactDiagonals)
{
  // Opaque antialiased: 3/4 colour on the diagonal, 1/4 on the neighbours one
  // step along x and along y (none after the last pixel).
  ExactBitmap aa(4, 4);
  LICE_PlotLine(&aa, 0, 0, 2, 2, kWhite, 1.0f, 0, true);
  const std::vector<int> row0 = {0xBE, 0x3F, 0, 0}, row1 = {0x3F, 0xBE, 0x3F, 0}, row2 = {0, 0x3F, 0xBE, 0};
  EXPECT_EQ(BlueRow(aa, 0), row0);
  EXPECT_EQ(BlueRow(aa, 1), row1);
  EXPECT_EQ(BlueRow(aa, 2), row2);
  EXPECT_EQ(BlueRow(aa, 3), (std::vector<int>{0, 0, 0, 0}));

  // Partial weight 128: 3w/4 = 96 on the diagonal, w/4 = 32 beside it.
  ExactBitmap partial(4, 4);
  LICE_PlotLine(&partial, 2, 2, 0, 0, kWhite, 0.5f, 0, true);
  EXPECT_EQ(BlueRow(partial, 0), (std::vector<int>{96, 32, 0, 0}));
  EXPECT_EQ(BlueRow(partial, 1), (std::vector<int>{32, 96, 32, 0}));
  EXPECT_EQ(BlueRow(partial, 2), (std::vector<int>{0, 32, 96, 0}));

  ExactBitmap plain(3, 3);
  LICE_PlotLine(&plain, 2, 0, 0, 2, kWhite, 1.0f, 0, false);
  EXPECT_EQ(plain.Mask(), (std::vector<std::string>{"..#", ".#.", "#.."}));
}

TEST(PlotLine, GeneralSegmentsMeetInTheMiddle)
{
  // Length 4 (even): three pixels from the first end, two from the second.
  ExactBitmap plain(5, 2);
  LICE_PlotLine(&plain, 0, 0, 4, 1, kWhite, 1.0f, 0, false);
  EXPECT_EQ(plain.Mask(), (std::vector<std::string>{"##...", "..###"}));

  // Antialiased: full-weight ends; in between the near pixel takes (255 - f)
  // and the far pixel f of the weight, f being the accumulator's fraction.
  ExactBitmap aa(5, 2);
  LICE_PlotLine(&aa, 0, 0, 4, 1, kWhite, 1.0f, 0, true);
  EXPECT_EQ(BlueRow(aa, 0), (std::vector<int>{255, 191, 127, 64, 0}));
  EXPECT_EQ(BlueRow(aa, 1), (std::vector<int>{0, 64, 128, 191, 255}));

  // Steep lines swap the axes; the middle pixel belongs to the first end's walk.
  ExactBitmap down(2, 5), up(2, 5);
  LICE_PlotLine(&down, 0, 0, 1, 4, kWhite, 1.0f, 0, false);
  LICE_PlotLine(&up, 1, 4, 0, 0, kWhite, 1.0f, 0, false);
  EXPECT_EQ(down.Mask(), (std::vector<std::string>{"#.", "#.", ".#", ".#", ".#"}));
  EXPECT_EQ(up.Mask(), (std::vector<std::string>{"#.", "#.", "#.", ".#", ".#"}));
}

TEST(PlotSmoothLine, AntialiasedPairsFollowTheFraction)
{
  ExactBitmap onRow(8, 6);
  LICE_PlotSmoothLine(&onRow, 0.0f, 2.0f, 5.0f, 2.0f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(BlueRow(onRow, 2), (std::vector<int>{255, 255, 255, 255, 255, 255, 0, 0}));
  EXPECT_EQ(BlueRow(onRow, 3), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0}));

  ExactBitmap between(8, 6);
  LICE_PlotSmoothLine(&between, 0.0f, 2.5f, 5.0f, 2.5f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(BlueRow(between, 2)[3], 127);
  EXPECT_EQ(BlueRow(between, 3)[3], 128);

  // Rising and falling lines put the heavier share on the nearer row.
  ExactBitmap rising(8, 8), falling(8, 8);
  LICE_PlotSmoothLine(&rising, 1.0f, 1.25f, 6.0f, 1.25f + 5 * 0.1f, kWhite, 1.0f, 0, true);
  LICE_PlotSmoothLine(&falling, 1.0f, 5.75f, 6.0f, 5.75f - 5 * 0.1f, kWhite, 1.0f, 0, true);
  EXPECT_GT(BlueRow(rising, 1)[1], BlueRow(rising, 2)[1]);
  EXPECT_GT(BlueRow(falling, 6)[1], BlueRow(falling, 5)[1]);
  EXPECT_EQ(BlueRow(rising, 1)[1], 191);
  EXPECT_EQ(BlueRow(falling, 6)[1], 192);  // the mirrored accumulator starts at 0xFFFF - fraction
}

TEST(PlotSmoothLine, UnsmoothedTruncatesToAnIntegerLine)
{
  ExactBitmap smooth(10, 10), integer(10, 10);
  LICE_PlotSmoothLine(&smooth, 1.9f, 2.7f, 8.2f, 6.99f, kWhite, 0.8f, ComposeAdd, false);
  LICE_PlotLine(&integer, 1, 2, 8, 6, kWhite, 0.8f, ComposeAdd, false);
  EXPECT_EQ(smooth, integer);

  // End points beyond int still draw the part that crosses the bitmap.
  ExactBitmap far(6, 3);
  LICE_PlotSmoothLine(&far, -1e20f, 1.0f, 1e20f, 1.0f, kWhite, 1.0f, 0, false);
  EXPECT_EQ(far.Mask()[1], "######");
}

TEST(PlotSmoothLine, ClipsSoThatBothPixelsOfAStepStayInside)
{
  for (int k = 0; k < 64; ++k)
  {
    const float a = float(k) * 0.1f;
    ExactBitmap b(7, 5);
    LICE_PlotSmoothLine(&b, 3.0f - 40.0f * std::sin(a), 2.0f + 40.0f * std::cos(a), 3.0f + 40.0f * std::sin(a),
                        2.0f - 40.0f * std::cos(a), kWhite, 1.0f, 0, true);
  }
  ExactBitmap nothing(7, 5);
  LICE_PlotSmoothLine(&nothing, 2.5f, 2.5f, 2.5f, 2.5f, kWhite, 1.0f, 0, true);
  LICE_PlotSmoothLine(&nothing, -3.0f, -1.0f, 20.0f, -1.0f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(nothing, ExactBitmap(7, 5));
}

}  // namespace
