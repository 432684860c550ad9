// The GDI side of text: which way RenderText draws, and the direct path into
// bitmaps with and without a device context.
#include "raster/LICE_CachedFont.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace
{
constexpr LICE_PixelWord kBackground = 0xFF204060;

int ChangedPixels(LICE_IBitmap& bitmap)
{
  int count = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      count += (bitmap.Pixels()[y * bitmap.RowStride() + x] & 0xFFFFFF) != (kBackground & 0xFFFFFF);
  return count;
}

void Clear(LICE_IBitmap& bitmap)
{
  LICE_FillArea(&bitmap, 0, 0, bitmap.Width(), bitmap.Height(), kBackground, 1.0f, ComposeCopy);
}

class SystemDrawingTest : public testing::Test
{
protected:
  void SetUp() override
  {
    font.AdoptSystemFont(LICE_GlyphSource::MakeSystemFont("Arial", 15, 0, false, false, 2),
                         FontOwnsHandle | FontPreferSystem);
    ASSERT_NE(font.SystemFont(), nullptr);
    font.SetInk(0xFFFFFFFF);
    Clear(sys);
    Clear(mem);
  }
  void TearDown() override { LICE_GlyphSource::OverrideWineAnswer(-1); }

  int Draw(LICE_IBitmap& dest, const char* text, int flags)
  {
    LICE_Rect rect = {4, 4, 156, 36};
    return font.RenderText(&dest, text, -1, &rect, flags);
  }

  LICE_CachedFont font;
  LICE_SysBitmap sys{160, 40};
  LICE_MemBitmap mem{160, 40};
};

TEST_F(SystemDrawingTest, TheWineAnswerFollowsTheRegistryKey)
{
  HKEY key = nullptr;
  const bool present = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) == ERROR_SUCCESS;
  if (key)
    RegCloseKey(key);
  EXPECT_EQ(LICE_GlyphSource::RunsUnderWine(), present);
}

TEST_F(SystemDrawingTest, UnderWineOpaqueTextGoesThroughTheCache)
{
  if (!LICE_GlyphSource::RunsUnderWine())
    GTEST_SKIP() << "not running under Wine";
  EXPECT_GT(Draw(sys, "THETA", LICE_DT_CENTER | LICE_DT_NOCLIP), 0);
  EXPECT_GT(font.MaskStoreSize(), 0);
  EXPECT_GT(ChangedPixels(sys), 0);
}

TEST_F(SystemDrawingTest, OnWindowsOpaqueTextIsDrawnByGdiAndTranslucentTextByTheCache)
{
  LICE_GlyphSource::OverrideWineAnswer(0);
  EXPECT_GT(Draw(sys, "THETA", LICE_DT_CENTER | LICE_DT_NOCLIP), 0);
  EXPECT_EQ(font.MaskStoreSize(), 0);
  EXPECT_GT(ChangedPixels(sys), 0);

  font.SetInk(0xFEFFFFFF);
  Draw(sys, "THETA", LICE_DT_CENTER | LICE_DT_NOCLIP | TextUseInkAlpha);
  EXPECT_GT(font.MaskStoreSize(), 0);

  // A line gap keeps multi-line text in the cache, single-line text not.
  LICE_CachedFont gapped;
  gapped.AdoptSystemFont(font.SystemFont(), FontPreferSystem);
  gapped.SetLineGap(2);
  LICE_Rect rect = {0, 0, 100, 40};
  gapped.RenderText(&sys, "A\nB", -1, &rect, LICE_DT_SINGLELINE);
  EXPECT_EQ(gapped.MaskStoreSize(), 0);
  gapped.RenderText(&sys, "A\nB", -1, &rect, 0);
  EXPECT_GT(gapped.MaskStoreSize(), 0);
}

TEST_F(SystemDrawingTest, GdiDrawsIntoBitmapsWithoutADeviceContext)
{
  LICE_GlyphSource::OverrideWineAnswer(0);
  ASSERT_EQ(mem.DeviceContext(), nullptr);
  EXPECT_GT(Draw(mem, "440.00 Hz", LICE_DT_RIGHT), 0);
  EXPECT_EQ(font.MaskStoreSize(), 0);
  EXPECT_GT(ChangedPixels(mem), 0);

  // Right-aligned: the ink sits in the right part of the rectangle.
  int leftmost = mem.Width();
  for (int y = 0; y < mem.Height(); ++y)
    for (int x = 0; x < mem.Width(); ++x)
      if ((mem.Pixels()[y * mem.RowStride() + x] & 0xFFFFFF) != (kBackground & 0xFFFFFF))
        leftmost = std::min(leftmost, x);
  LICE_Rect measured = {0, 0, 0, 0};
  font.RenderText(nullptr, "440.00 Hz", -1, &measured, LICE_DT_CALCRECT);
  EXPECT_GT(measured.right, 0);
  EXPECT_GE(leftmost, 156 - measured.right - 2);

  // Clipped to the rectangle: nothing left of a rectangle that starts mid-text.
  Clear(mem);
  LICE_Rect clip = {100, 4, 156, 36};
  font.RenderText(&mem, "440.00 Hz", -1, &clip, LICE_DT_RIGHT);
  for (int y = 0; y < mem.Height(); ++y)
    for (int x = 0; x < 100; ++x)
      ASSERT_EQ(mem.Pixels()[y * mem.RowStride() + x], kBackground) << x << "," << y;
}

TEST_F(SystemDrawingTest, MultiByteTextIsConvertedForGdi)
{
  LICE_GlyphSource::OverrideWineAnswer(0);
  LICE_Rect ascii = {0, 0, 0, 0};
  LICE_Rect utf8 = {0, 0, 0, 0};
  font.RenderText(nullptr, "e", -1, &ascii, LICE_DT_CALCRECT);
  font.RenderText(nullptr, "\xC3\xA9", -1, &utf8, LICE_DT_CALCRECT);
  // One e-acute is about as wide as one e, not two bytes' worth of characters.
  EXPECT_LE(utf8.right, ascii.right + 1);
  EXPECT_GT(Draw(sys, "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC", LICE_DT_NOCLIP), 0);
  EXPECT_GT(Draw(sys, "bad \xC3", LICE_DT_NOCLIP), 0);
}

TEST_F(SystemDrawingTest, FontsTallerThan255PixelsAreAlwaysDrawnByGdi)
{
  LICE_GlyphSource::OverrideWineAnswer(1);
  LICE_CachedFont big;
  big.AdoptSystemFont(LICE_GlyphSource::MakeSystemFont("Arial", 300, 0, false, false, 2),
                      FontOwnsHandle | FontPreferSystem);
  ASSERT_GT(big.LineHeight(), 255);
  big.SetInk(0x80FFFFFF);
  LICE_Rect rect = {0, 0, 160, 40};
  big.RenderText(&sys, "A", -1, &rect, TextUseInkAlpha);
  EXPECT_EQ(big.MaskStoreSize(), 0);
}
}  // namespace
