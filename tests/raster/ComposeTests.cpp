#include "raster/LICE_Compose.h"

#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

LICE_PixelWord CopyOne(LICE_PixelWord dst, LICE_PixelWord src, float alpha, LICE_ComposeMode mode)
{
  ExactBitmap d(1, 1, dst), s(1, 1, src);
  LICE_CopyRegion(&d, &s, 0, 0, nullptr, alpha, mode);
  return d.At(0, 0);
}

LICE_PixelWord FillOne(LICE_PixelWord dst, LICE_PixelWord colour, float alpha, LICE_ComposeMode mode)
{
  ExactBitmap d(1, 1, dst);
  LICE_FillArea(&d, 0, 0, 1, 1, colour, alpha, mode);
  return d.At(0, 0);
}

struct CombineCase
{
  const char* what;
  LICE_PixelWord dst, src;
  float alpha;
  LICE_ComposeMode mode;
  LICE_PixelWord expected;
};

TEST(CopyRegion, CombineRules)
{
  const CombineCase cases[] = {
    // Copy with source alpha at full weight.
    {"half-alpha black over white keeps 127/256", 0xFFFFFFFF, 0x80000000, 1.0f, 0x10000, 0xFF7E7E7E},
    {"transparent source leaves the pixel", 0x12345678, 0x00FFFFFF, 1.0f, 0x10000, 0x12345678},
    {"opaque source replaces it", 0x12345678, 0xFF102030, 1.0f, 0x10000, 0xFF102030},
    {"alpha is the saturated sum", 0x40000000, 0x30FFFFFF, 1.0f, 0x10000, 0x70313131},
    // Copy with source alpha at partial weight: w' = 128 * 128 / 256 = 64.
    {"partial weight", 0x00FFFFFF, 0x7F000000, 0.5f, 0x10000, 0x40BFBFBF},
    {"partial weight, transparent source", 0x11223344, 0x00FFFFFF, 0.5f, 0x10000, 0x11223344},
    // Plain copy: the general rule truncates toward zero (255 - 191, not 63).
    {"copy at a quarter", 0x00000000, 0xFFFFFFFF, 0.25f, 0, 0x40404040},
    {"copy at a quarter toward black", 0xFFFFFFFF, 0x00000000, 0.25f, 0, 0xBFBFBFBF},
    {"copy at full strength", 0x11111111, 0x22446688, 1.0f, 0, 0x22446688},
    {"opacity above 1 is full strength", 0x10101010, 0xF0F0F0F0, 2.0f, 0, 0xF0F0F0F0},
    // Add and dodge without source alpha act on all four channels.
    {"add at half", 0x10203040, 0xFFFFFFFF, 0.5f, ComposeAdd, 0x8F9FAFBF},
    {"add saturates", 0xF0F0F0F0, 0x20202020, 1.0f, ComposeAdd, 0xFFFFFFFF},
    {"dodge", 0xFF003264, 0x00FFFF80, 1.0f, ComposeDodge, 0xFF00FFC8},
    // Add with source alpha: w' = 256 at alpha 255, so the source adds in full.
    {"add, opaque source", 0x40102030, 0xFF203040, 1.0f, 0x10001, 0xFF305070},
    {"add, half-alpha source", 0x00000000, 0x7FFFFFFF, 1.0f, 0x10001, 0x3F7F7F7F},
    {"add, transparent source", 0x01020304, 0x00FFFFFF, 1.0f, 0x10001, 0x01020304},
    // Dodge with source alpha: w' = 128 at alpha 127; a transparent source still
    // goes through the rule (w' = 1, which changes nothing here).
    {"dodge, half-alpha source", 0x64646464, 0x7F0000C8, 1.0f, 0x10002, 0x846464A4},
    {"dodge, transparent source", 0x64646464, 0x00FFFFFF, 1.0f, 0x10002, 0x64646464},
    // Channel copy: source blue into destination red, opacity ignored.
    {"channel copy", 0xFF000000, 0x000000AB, 0.3f, 0xF8, 0xFFAB0000},
    {"channel copy alpha to green", 0x11223344, 0x9A000000, 1.0f, 0xF3 | (1 << 2), 0x11229A44},
    // Codes that draw nothing, and opacities that draw nothing.
    {"multiply draws nothing", 0x11223344, 0xFFFFFFFF, 1.0f, ComposeMultiply, 0x11223344},
    {"overlay draws nothing", 0x11223344, 0xFFFFFFFF, 1.0f, ComposeOverlay, 0x11223344},
    {"HSV shift draws nothing", 0x11223344, 0xFFFFFFFF, 1.0f, ComposeHsvShift, 0x11223344},
    {"unknown code draws nothing", 0x11223344, 0xFFFFFFFF, 1.0f, 0x37, 0x11223344},
    {"zero opacity", 0x11223344, 0xFFFFFFFF, 0.0f, 0, 0x11223344},
    {"opacity below one weight step", 0x11223344, 0xFFFFFFFF, 0.003f, ComposeAdd, 0x11223344},
    {"negative opacity copy", 0x11223344, 0xFFFFFFFF, -0.5f, 0, 0x11223344},
    {"negative opacity copy with alpha", 0x11223344, 0xFFFFFFFF, -0.5f, 0x10000, 0x11223344},
    {"NaN opacity", 0x11223344, 0xFFFFFFFF, kNaN, 0x10000, 0x11223344},
  };
  for (const CombineCase& c : cases)
    EXPECT_EQ(CopyOne(c.dst, c.src, c.alpha, c.mode), c.expected) << c.what;
}

TEST(CopyRegion, HalfOpacityPlainCopyAveragesWholeWords)
{
  // The word average drops the low bit of both sides; the general rule at
  // weight 128 (opacity just above 0.5) keeps it.
  EXPECT_EQ(CopyOne(0x01010101, 0x01010101, 0.5f, 0), 0x00000000u);
  EXPECT_EQ(CopyOne(0x01010101, 0x01010101, 0.501f, 0), 0x01010101u);
  EXPECT_EQ(CopyOne(0xFF00FF00, 0x00FF00FF, 0.5f, 0), 0x7F7F7F7Fu);
}

TEST(FillArea, SolidColourRulesAndFastPaths)
{
  const CombineCase cases[] = {
    {"full opacity stores the colour", 0x11111111, 0x80FF0000, 1.0f, 0, 0x80FF0000},
    {"half: word average", 0x01010101, 0x01010101, 0.5f, 0, 0x00000000},
    {"weight 128 still averages words", 0x01010101, 0x01010101, 0.501f, 0, 0x00000000},
    {"weight 130: general rule", 0x01010101, 0x01010101, 0.51f, 0, 0x01010101},
    {"quarter: word shifts", 0xFFFFFFFF, 0x00000000, 0.25f, 0, 0xBEBEBEBE},
    {"three quarters: word shifts", 0x00000000, 0xFFFFFFFF, 0.75f, 0, 0xBEBEBEBE},
    {"0.3: general rule", 0x00000000, 0xFFFFFFFF, 0.3f, 0, 0x4C4C4C4C},
    {"source alpha scales the opacity into the half path", 0xFF000000, 0x80FFFFFF, 1.0f, 0x10000, 0xBF7F7F7F},
    {"transparent colour with source alpha", 0x11223344, 0x00FFFFFF, 1.0f, 0x10000, 0x11223344},
    {"add", 0x10101010, 0x20304050, 1.0f, ComposeAdd, 0x30405060},
    {"add saturates", 0xF8F8F8F8, 0x10101010, 1.0f, ComposeAdd, 0xFFFFFFFF},
    {"dodge", 0x00646464, 0x00800000, 1.0f, ComposeDodge, 0x00C86464},
    {"dodge at k = 255 from black stays black", 0x00000000, 0xFFFFFFFF, 1.0f, ComposeDodge, 0x00000000},
    {"multiply draws nothing", 0x11223344, 0xFFFFFFFF, 1.0f, ComposeMultiply, 0x11223344},
    {"negative opacity copy", 0x11223344, 0xFFFFFFFF, -1.0f, 0, 0x11223344},
    {"NaN opacity", 0x11223344, 0xFFFFFFFF, kNaN, 0, 0x11223344},
  };
  for (const CombineCase& c : cases)
    EXPECT_EQ(FillOne(c.dst, c.src, c.alpha, c.mode), c.expected) << c.what;
}

TEST(FillArea, ClipsAtEveryEdge)
{
  const struct
  {
    int x, y, w, h;
    std::vector<std::string> rows;
  } cases[] = {
    {-2, -1, 4, 3, {"##...", "##...", ".....", "....."}},
    {3, 2, 10, 10, {".....", ".....", "...##", "...##"}},
    {-100, 1, 1000, 1, {".....", "#####", ".....", "....."}},
    {5, 0, 3, 3, {".....", ".....", ".....", "....."}},
    {0, 4, 3, 3, {".....", ".....", ".....", "....."}},
    {1, 1, 0, 2, {".....", ".....", ".....", "....."}},
    {INT_MIN, INT_MIN, INT_MAX, INT_MAX, {".....", ".....", ".....", "....."}},
    {INT_MAX, 0, INT_MAX, 1, {".....", ".....", ".....", "....."}},
  };
  for (const auto& c : cases)
  {
    ExactBitmap b(5, 4);
    LICE_FillArea(&b, c.x, c.y, c.w, c.h, 0xFFFFFFFF, 1.0f, 0);
    EXPECT_EQ(b.Mask(), c.rows) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
}

TEST(FillArea, LeavesRowPaddingAlone)
{
  LICE_MemBitmap b(5, 3, 8);
  ASSERT_EQ(b.RowStride(), 8);
  for (int i = 0; i < 8 * 3; ++i)
    b.Pixels()[i] = 0x5A5A5A5A;
  LICE_FillArea(&b, -3, -3, 100, 100, 0xFFFFFFFF, 0.6f, ComposeAdd);
  for (int y = 0; y < 3; ++y)
    for (int x = 5; x < 8; ++x)
      EXPECT_EQ(b.Pixels()[y * 8 + x], 0x5A5A5A5Au);
}

TEST(FillArea, AddressesRowsBottomUpWhenTheBitmapSaysSo)
{
  ExactBitmap b(2, 3, 0, true);
  LICE_FillArea(&b, 0, 0, 2, 1, 0xFFFFFFFF, 1.0f, 0);
  EXPECT_EQ(b.Memory()[4], 0xFFFFFFFFu);  // last memory row is row 0
  EXPECT_EQ(b.Memory()[0], 0u);
}

ExactBitmap Numbered(int w, int h)
{
  ExactBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Set(x, y, LICE_PixelWord(1 + x + 10 * y));
  return b;
}

std::vector<int> Row(const ExactBitmap& b, int y)
{
  return BlueRow(b, y);
}

TEST(CopyRegion, ClipsSourceAndDestination)
{
  const ExactBitmap src = Numbered(4, 2);  // rows 1 2 3 4 / 11 12 13 14
  const struct
  {
    const char* what;
    int dx, dy;
    bool useRect;
    LICE_Rect rect;
    std::vector<int> row0, row1;
  } cases[] = {
    {"whole source", 0, 0, false, {}, {1, 2, 3, 4, 0}, {11, 12, 13, 14, 0}},
    {"negative x takes from further right", -1, 0, false, {}, {2, 3, 4, 0, 0}, {12, 13, 14, 0, 0}},
    {"negative y takes from further down", 0, -1, false, {}, {11, 12, 13, 14, 0}, {0, 0, 0, 0, 0}},
    {"right edge", 3, 0, false, {}, {0, 0, 0, 1, 2}, {0, 0, 0, 11, 12}},
    {"bottom edge", 0, 1, false, {}, {0, 0, 0, 0, 0}, {1, 2, 3, 4, 0}},
    {"rectangle", 0, 0, true, {1, 1, 3, 2}, {12, 13, 0, 0, 0}, {0, 0, 0, 0, 0}},
    {"negative rectangle left moves the destination", 0, 0, true, {-2, 0, 3, 1}, {0, 0, 1, 2, 3}, {0, 0, 0, 0, 0}},
    {"negative rectangle top moves the destination", 0, 0, true, {0, -1, 2, 5}, {0, 0, 0, 0, 0}, {1, 2, 0, 0, 0}},
    {"rectangle beyond the source", 1, 0, true, {2, 0, 100, 100}, {0, 3, 4, 0, 0}, {0, 13, 14, 0, 0}},
    {"empty rectangle", 0, 0, true, {2, 0, 2, 2}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
    {"source start beyond the source", 0, 0, true, {4, 0, 9, 2}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
    {"destination beyond the right edge", 5, 0, false, {}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
    {"fully left of the destination", -4, 0, false, {}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
    {"extreme coordinates", INT_MIN, INT_MAX, true, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases)
  {
    ExactBitmap dst(5, 2);
    ExactBitmap source = src;
    LICE_CopyRegion(&dst, &source, c.dx, c.dy, c.useRect ? &c.rect : nullptr, 1.0f, 0);
    EXPECT_EQ(Row(dst, 0), c.row0) << c.what;
    EXPECT_EQ(Row(dst, 1), c.row1) << c.what;
  }
}

TEST(CopyBlock, IsARegionCopyOfTheBlock)
{
  ExactBitmap src = Numbered(4, 2);
  ExactBitmap a(5, 2), b(5, 2);
  LICE_CopyBlock(&a, &src, 1, 0, 1, 1, 2, 1, 0.7f, ComposeAdd);
  const LICE_Rect rect = {1, 1, 3, 2};
  LICE_CopyRegion(&b, &src, 1, 0, &rect, 0.7f, ComposeAdd);
  EXPECT_EQ(a, b);
  EXPECT_EQ(Row(a, 0), (std::vector<int>{0, 8, 9, 0, 0}));

  ExactBitmap c(5, 2);
  LICE_CopyBlock(&c, &src, 0, 0, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 1.0f, 0);
  EXPECT_EQ(Row(c, 0), (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST(CopyRegion, EveryModeHonoursTheClippedWindow)
{
  // Paths with their own loops (row copy, word average, channel copy, the
  // general rules) all stop at the same clipped edges.
  const LICE_ComposeMode modes[] = {0, 0, 0x10000, ComposeAdd, 0x10002, 0xF4};
  const float alphas[] = {1.0f, 0.5f, 0.8f, 1.0f, 1.0f, 1.0f};
  for (int i = 0; i < 6; ++i)
  {
    ExactBitmap src(3, 3, 0xFFFFFFFF), dst(4, 4, 0x01010101);
    LICE_CopyRegion(&dst, &src, 2, -1, nullptr, alphas[i], modes[i]);
    const std::vector<std::string> expected = {"..##", "..##", "....", "...."};
    EXPECT_EQ(dst.Mask(0x01010101), expected) << "mode " << modes[i];
  }
}

TEST(StampMask, WeightsTheColourByCoverage)
{
  const std::uint8_t mask[] = {0, 128, 255, 64};
  ExactBitmap b(4, 1);
  LICE_StampMask(&b, 0, 0, 0xFFFFFFFF, mask, 4, 4, 1, 1.0f, 0);
  EXPECT_EQ(b.At(0, 0), 0u);
  EXPECT_EQ(b.At(1, 0), 0x80808080u);  // 255 - 255 * 128 / 256 (truncated toward zero)
  EXPECT_EQ(b.At(2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(b.At(3, 0), 0x40404040u);

  ExactBitmap half(4, 1);
  LICE_StampMask(&half, 0, 0, 0xFFFFFFFF, mask, 4, 4, 1, 0.5f, ComposeAdd);
  EXPECT_EQ(half.At(1, 0), 0x3F3F3F3Fu);  // weight 128 * 128 / 256 = 64
  EXPECT_EQ(half.At(2, 0), 0x7E7E7E7Eu);
}

TEST(StampMask, ClipsAndRunsRowsUpwardWithANegativeStride)
{
  const std::uint8_t mask[] = {255, 0, 0,  //
                               0, 255, 0,  //
                               0, 0, 255};
  ExactBitmap down(3, 3), up(3, 3), clipped(3, 3);
  LICE_StampMask(&down, 0, 0, 0xFFFFFFFF, mask, 3, 3, 3, 1.0f, 0);
  LICE_StampMask(&up, 0, 0, 0xFFFFFFFF, mask + 6, 3, -3, 3, 1.0f, 0);
  LICE_StampMask(&clipped, -1, 1, 0xFFFFFFFF, mask, 3, 3, 3, 1.0f, 0);
  EXPECT_EQ(down.Mask(), (std::vector<std::string>{"#..", ".#.", "..#"}));
  EXPECT_EQ(up.Mask(), (std::vector<std::string>{"..#", ".#.", "#.."}));
  EXPECT_EQ(clipped.Mask(), (std::vector<std::string>{"...", "...", "#.."}));

  ExactBitmap edge(3, 3);
  LICE_StampMask(&edge, 2, 2, 0xFFFFFFFF, mask, 3, 3, 3, 1.0f, 0);
  EXPECT_EQ(edge.Mask(), (std::vector<std::string>{"...", "...", "..#"}));
  LICE_StampMask(&edge, INT_MIN, INT_MAX, 0xFFFFFFFF, mask, 3, 3, 3, 1.0f, 0);
  LICE_StampMask(&edge, 0, 0, 0xFFFFFFFF, nullptr, 3, 3, 3, 1.0f, 0);
  LICE_StampMask(&edge, 0, 0, 0xFFFFFFFF, mask, 0, 3, 3, 1.0f, 0);
  EXPECT_EQ(edge.Mask(), (std::vector<std::string>{"...", "...", "..#"}));
}

}  // namespace

namespace {

TEST(FillArea, DodgeMatchesTheDivisionForEveryChannelPair)
{
  // Row k dodges destinations 0..255 with colour channel k at full weight.
  ExactBitmap b(256, 256);
  for (int k = 0; k < 256; ++k)
  {
    for (int d = 0; d < 256; ++d)
      b.Set(d, k, LICE_PixelWord(d));
    LICE_FillArea(&b, 0, k, 256, 1, LICE_PixelWord(k), 1.0f, ComposeDodge);
  }
  for (int k = 0; k < 256; ++k)
    for (int d = 0; d < 256; ++d)
    {
      const int expected = k > 254 ? (d == 0 ? 0 : 255) : std::min(255, d * 256 / (256 - k));
      ASSERT_EQ(int(b.At(d, k) & 0xFF), expected) << "d " << d << " k " << k;
    }
}

}  // namespace

namespace {

// The rule for copy with source alpha at full weight, written out per channel.
LICE_PixelWord CopySourceAlphaRule(LICE_PixelWord d, LICE_PixelWord s)
{
  const int sa = int(s >> 24);
  if (sa == 0)
    return d;
  LICE_PixelWord out = LICE_PixelWord(std::min(255, int(d >> 24) + sa)) << 24;
  for (int shift = 0; shift < 24; shift += 8)
  {
    const int dc = int((d >> shift) & 0xFF), sc = int((s >> shift) & 0xFF);
    out |= LICE_PixelWord(sc + (dc - sc) * (255 - sa) / 256) << shift;
  }
  return out;
}

TEST(CopyRegion, SourceAlphaRowsFollowTheRuleForAnyPixels)
{
  // Rows of odd length mix the four-pixel loop with its tail; the runs of
  // equal alpha exercise the opaque and transparent shortcuts.
  constexpr int kWidth = 257, kHeight = 64;
  ExactBitmap src(kWidth, kHeight), dst(kWidth, kHeight), expected(kWidth, kHeight);
  std::uint32_t seed = 1;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
    {
      LICE_PixelWord s = next();
      if (y % 4 == 1)
        s |= 0xFF000000u;
      else if (y % 4 == 2)
        s &= 0x00FFFFFFu;
      const LICE_PixelWord d = next();
      src.Set(x, y, s);
      dst.Set(x, y, d);
      expected.Set(x, y, CopySourceAlphaRule(d, s));
    }
  LICE_CopyRegion(&dst, &src, 0, 0, nullptr, 1.0f, ComposeCopy | ComposeSourceAlpha);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      ASSERT_EQ(dst.At(x, y), expected.At(x, y)) << x << "," << y;
}

}  // namespace

namespace {

TEST(FillArea, CopyAtEveryWeightFollowsTheRule)
{
  // Rows of 37 pixels: the four-pixel loop and its tail. Weights 64, 128 and
  // 192 take the word shortcuts and are tested above.
  std::uint32_t seed = 7;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int w = 1; w < 256; ++w)
  {
    if (w == 64 || w == 128 || w == 192)
      continue;
    ExactBitmap b(37, 1), expected(37, 1);
    const LICE_PixelWord colour = next();
    for (int x = 0; x < 37; ++x)
    {
      const LICE_PixelWord d = next();
      b.Set(x, 0, d);
      LICE_PixelWord out = 0;
      for (int shift = 0; shift < 32; shift += 8)
      {
        const int dc = int((d >> shift) & 0xFF), sc = int((colour >> shift) & 0xFF);
        out |= LICE_PixelWord(sc + (dc - sc) * (256 - w) / 256) << shift;
      }
      expected.Set(x, 0, out);
    }
    LICE_FillArea(&b, 0, 0, 37, 1, colour, float(w) / 256.0f, ComposeCopy);
    ASSERT_EQ(b, expected) << "weight " << w;
  }
}

}  // namespace
