#include "raster/LICE_CachedFont.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr LICE_PixelWord kBackground = 0xFF204060;

// Records where the layout puts each character, then draws it as usual.
class RecordingFont : public LICE_CachedFont
{
public:
  struct Pen
  {
    int code;
    int x;
    int y;
  };
  std::vector<Pen> pens;

  bool RenderGlyph(LICE_IBitmap* dest, int code, int penX, int penY, const LICE_Rect* clip) override
  {
    pens.push_back({code, penX, penY});
    return LICE_CachedFont::RenderGlyph(dest, code, penX, penY, clip);
  }
};

void Fill(LICE_MemBitmap& bitmap, LICE_PixelWord colour)
{
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.RowStride(); ++x)
      bitmap.Pixels()[y * bitmap.RowStride() + x] = colour;
}

int InkedPixels(LICE_MemBitmap& bitmap, LICE_PixelWord background)
{
  int count = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      count += bitmap.Pixels()[y * bitmap.RowStride() + x] != background;
  return count;
}

// Fonts as the editor makes them; the glyph cache draws everything here
// (the Windows system path has its own tests).
class CachedFontTest : public testing::Test
{
protected:
  void SetUp() override
  {
    LICE_GlyphSource::OverrideWineAnswer(1);
    font.AdoptSystemFont(LICE_GlyphSource::MakeSystemFont("Arial", 15, 0, false, false, 2),
                         FontOwnsHandle | FontPreferSystem);
    ASSERT_NE(font.SystemFont(), nullptr);
    ASSERT_GT(font.LineHeight(), 0);
    font.SetInk(0xFFFFFFFF);
    Fill(canvas, kBackground);
  }
  void TearDown() override { LICE_GlyphSource::OverrideWineAnswer(-1); }

  LICE_Rect Measure(const char* text, int flags = 0, int width = 0)
  {
    LICE_Rect r = {0, 0, width, 0};
    font.RenderText(nullptr, text, -1, &r, flags | LICE_DT_CALCRECT);
    return r;
  }

  std::vector<RecordingFont::Pen> Pens(const char* text, LICE_Rect rect, int flags)
  {
    font.pens.clear();
    font.RenderText(&canvas, text, -1, &rect, flags);
    return font.pens;
  }

  RecordingFont font;
  LICE_MemBitmap canvas{160, 80};
};

TEST_F(CachedFontTest, LineHeightIsTheFontHeightInPixels)
{
  EXPECT_NEAR(font.LineHeight(), 15, 1);
  EXPECT_EQ(Measure("THETA").bottom, font.LineHeight());
}

TEST_F(CachedFontTest, CentredTextStartsHalfTheSpareWidthIn)
{
  // The rectangle is built around the measured width, so the arithmetic is
  // checked whatever the font's outlines: 41 px of text in 100 starts 29 in.
  const int width = Measure("440.00 Hz").right;
  ASSERT_GT(width, 0);
  const struct
  {
    int spare;
    int offset;
  } cases[] = {{59, 29}, {58, 29}, {1, 0}, {0, 0}, {-58, -29}, {-59, -29}};
  for (const auto& c : cases)
  {
    const auto pens = Pens("440.00 Hz", {10, 5, 10 + width + c.spare, 23}, LICE_DT_CENTER | LICE_DT_NOCLIP);
    ASSERT_FALSE(pens.empty());
    EXPECT_EQ(pens[0].x, 10 + c.offset) << "spare " << c.spare;
    EXPECT_EQ(pens[0].y, 5);
  }
}

TEST_F(CachedFontTest, AlignsToTheRectangleEdges)
{
  const LICE_Rect m = Measure("freq by note");
  const int w = m.right;
  const int h = m.bottom;
  const LICE_Rect rect = {20, 10, 140, 70};
  const struct
  {
    int flags;
    int x;
    int y;
  } cases[] = {
      {0, 20, 10},
      {LICE_DT_RIGHT, 140 - w, 10},
      {LICE_DT_CENTER | LICE_DT_VCENTER, 20 + (120 - w) / 2, 10 + (60 - h) / 2},
      {LICE_DT_RIGHT | LICE_DT_BOTTOM, 140 - w, 70 - h},
  };
  for (const auto& c : cases)
  {
    const auto pens = Pens("freq by note", rect, c.flags);
    ASSERT_EQ(pens.size(), 12u);
    EXPECT_EQ(pens[0].x, c.x) << "flags " << c.flags;
    EXPECT_EQ(pens[0].y, c.y) << "flags " << c.flags;
    // The last character ends at the measured width.
    const LICE_GlyphEntry* e = font.FindGlyph('e');
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(pens.back().x + e->advance, c.x + w);
  }
}

TEST_F(CachedFontTest, LineFeedsStartNewLinesUnlessSingleLine)
{
  font.SetLineGap(3);
  const int lh = font.LineHeight();
  const int advanceA = Measure("A").right;
  const int advanceAB = Measure("AB").right;
  const int advanceABspace = Measure("AB ").right;

  auto pens = Pens("AB\nCD", {10, 5, 150, 75}, 0);
  ASSERT_EQ(pens.size(), 4u);
  EXPECT_EQ(pens[2].code, 'C');
  EXPECT_EQ(pens[2].x, 10);
  EXPECT_EQ(pens[2].y, 5 + lh + 3);
  EXPECT_EQ(pens[1].x, 10 + advanceA);

  const LICE_Rect twoLines = Measure("AB\nCD");
  EXPECT_EQ(twoLines.bottom, 2 * lh + 3);

  // A centred second line starts at the same aligned x as the first.
  pens = Pens("AB\nCD", {10, 5, 150, 75}, LICE_DT_CENTER);
  ASSERT_EQ(pens.size(), 4u);
  EXPECT_EQ(pens[2].x, pens[0].x);
  EXPECT_EQ(pens[2].y, pens[0].y + lh + 3);

  // On a single line a line feed is a space.
  pens = Pens("AB\nCD", {10, 5, 150, 75}, LICE_DT_SINGLELINE);
  ASSERT_EQ(pens.size(), 5u);
  EXPECT_EQ(pens[2].code, ' ');
  EXPECT_EQ(pens[2].x, 10 + advanceAB);
  EXPECT_EQ(pens[3].x, 10 + advanceABspace);
  EXPECT_EQ(pens[3].y, 5);
  EXPECT_EQ(Measure("AB\nCD", LICE_DT_SINGLELINE).bottom, lh);
}

TEST_F(CachedFontTest, CarriageReturnsTakeNoRoom)
{
  const auto plain = Pens("AB", {4, 4, 150, 40}, 0);
  const auto withReturns = Pens("\rA\r\rB\r", {4, 4, 150, 40}, 0);
  ASSERT_EQ(withReturns.size(), 2u);
  for (size_t i = 0; i < plain.size(); ++i)
  {
    EXPECT_EQ(withReturns[i].code, plain[i].code);
    EXPECT_EQ(withReturns[i].x, plain[i].x);
  }
  EXPECT_EQ(Measure("A\r\nB").bottom, 2 * font.LineHeight());
}

TEST_F(CachedFontTest, DrawsUtf8AsUtf16Units)
{
  const struct
  {
    const char* text;
    std::vector<int> codes;
  } cases[] = {
      {"\xC3\xA9t\xC3\xA9", {0xE9, 't', 0xE9}},
      {"5\xE2\x82\xAC", {'5', 0x20AC}},
      {"A\xF0\x9F\x98\x80" "B", {'A', ' ', 'B'}},
      {"\x80" "A", {0x80, 'A'}},
      {"\xE2\x82", {0xE2, 0x82}},
  };
  for (const auto& c : cases)
  {
    const auto pens = Pens(c.text, {0, 0, 150, 40}, 0);
    std::vector<int> codes;
    for (const auto& p : pens)
      codes.push_back(p.code);
    EXPECT_EQ(codes, c.codes) << c.text;
  }
  // Non-ASCII characters land in the sorted extended list.
  EXPECT_NE(font.FindGlyph(0x20AC), nullptr);
  EXPECT_NE(font.FindGlyph(0xE9), nullptr);
  EXPECT_EQ(font.FindGlyph(0x20AD), nullptr);
}

TEST_F(CachedFontTest, WordBreakWrapsBeforeTheWordThatWouldPassTheWidth)
{
  const int full = Measure("aaa bbb").right;
  const int firstWord = Measure("aaa ").right;
  const auto pens = Pens("aaa bbb", {0, 0, full - 1, 60}, LICE_DT_WORDBREAK);
  ASSERT_EQ(pens.size(), 7u);
  EXPECT_EQ(pens[4].x, 0);
  EXPECT_EQ(pens[4].y, font.LineHeight());
  EXPECT_EQ(Measure("aaa bbb", LICE_DT_WORDBREAK, full - 1).bottom, 2 * font.LineHeight());
  EXPECT_EQ(Measure("aaa bbb", LICE_DT_WORDBREAK, full).bottom, font.LineHeight());
  EXPECT_EQ(Pens("aaa bbb", {0, 0, firstWord, 60}, LICE_DT_WORDBREAK)[4].y, font.LineHeight());
}

// Every pixel of a glyph drawn on a plain background matches the glyph rule
// computed from its cached mask; every other pixel is untouched.
TEST_F(CachedFontTest, CompositesMasksByTheGlyphRule)
{
  const struct
  {
    const char* name;
    LICE_PixelWord ink;
    int flags;
    LICE_ComposeMode mode;
    float opacity;
  } cases[] = {
      {"copy at full opacity", 0xFF102030, 0, ComposeCopy, 1.0f},
      {"copy with ink alpha 200", 0xC8FFFFFF, TextUseInkAlpha, ComposeCopy, 1.0f},
      {"copy at half opacity", 0xFFF0E0D0, 0, ComposeCopy, 0.5f},
      {"add at full opacity", 0xFF808080, 0, ComposeAdd, 1.0f},
      {"add at 0.3", 0xFF808080, 0, ComposeAdd, 0.3f},
  };
  for (const auto& c : cases)
  {
    Fill(canvas, kBackground);
    font.SetInk(c.ink);
    font.SetBlend(c.mode, c.opacity);
    LICE_Rect rect = {7, 9, 150, 70};
    font.RenderText(&canvas, "W", -1, &rect, c.flags);
    const LICE_GlyphEntry* e = font.FindGlyph('W');
    ASSERT_NE(e, nullptr);
    const std::uint8_t* mask = font.GlyphMask(*e);
    ASSERT_NE(mask, nullptr);

    float alpha = c.opacity;
    if (c.flags & TextUseInkAlpha)
      alpha *= float(c.ink >> 24) / 255.0f;
    const int w = int(alpha * 256.0f);
    const int x0 = 7 - e->leftOffset;
    int mismatches = 0;
    for (int y = 0; y < canvas.Height(); ++y)
    {
      for (int x = 0; x < canvas.Width(); ++x)
      {
        int cov = 0;
        if (x >= x0 && x < x0 + e->width && y >= 9 && y < 9 + e->height)
          cov = mask[(y - 9) * e->width + (x - x0)];
        LICE_PixelWord expected = kBackground;
        if (cov)
        {
          expected = 0;
          for (int shift = 0; shift < 32; shift += 8)
          {
            const int d = (kBackground >> shift) & 0xFF;
            const int t = (c.ink >> shift) & 0xFF;
            int v;
            if (c.mode == ComposeCopy)
            {
              const int k = w == 256 ? 255 - cov : 256 - std::min(256, w * cov / 256);
              v = t + (d - t) * k / 256;
            }
            else
            {
              const int weight = w == 256 ? cov + 1 : std::min(256, w * cov / 256);
              v = std::min(255, d + t * weight / 256);
            }
            expected |= LICE_PixelWord(v) << shift;
          }
        }
        mismatches += canvas.Pixels()[y * canvas.RowStride() + x] != expected;
      }
    }
    EXPECT_EQ(mismatches, 0) << c.name;
  }
}

TEST_F(CachedFontTest, FullCoverageAtFullOpacityTakesTheInkExactly)
{
  // Not antialiased, so that the mask holds full coverage whatever the hinting.
  font.AdoptSystemFont(LICE_GlyphSource::MakeSystemFont("Arial", 15, 0, false, false, 1), FontOwnsHandle);
  font.SetInk(0xFF123456);
  LICE_Rect rect = {5, 5, 150, 70};
  font.RenderText(&canvas, "H", -1, &rect, 0);
  const LICE_GlyphEntry* e = font.FindGlyph('H');
  ASSERT_NE(e, nullptr);
  const std::uint8_t* mask = font.GlyphMask(*e);
  bool sawFull = false;
  for (int y = 0; y < e->height; ++y)
    for (int x = 0; x < e->width; ++x)
      if (mask[y * e->width + x] == 255)
      {
        sawFull = true;
        EXPECT_EQ(canvas.Pixels()[(5 + y) * canvas.RowStride() + 5 - e->leftOffset + x], 0xFF123456u);
      }
  EXPECT_TRUE(sawFull);
}

TEST_F(CachedFontTest, NothingIsDrawnAtZeroOpacity)
{
  const struct
  {
    const char* name;
    LICE_PixelWord ink;
    int flags;
    float opacity;
  } cases[] = {
      {"ink alpha 0 with TextUseInkAlpha", 0x00FFFFFF, TextUseInkAlpha, 1.0f},
      {"opacity 0", 0xFFFFFFFF, 0, 0.0f},
      {"negative opacity", 0xFFFFFFFF, 0, -1.0f},
      {"opacity not a number", 0xFFFFFFFF, 0, std::nanf("")},
  };
  for (const auto& c : cases)
  {
    font.SetInk(c.ink);
    font.SetBlend(ComposeCopy, c.opacity);
    font.SetPaperMode(LICE_PaperOpaque);
    LICE_Rect rect = {0, 0, 150, 70};
    EXPECT_EQ(font.RenderText(&canvas, "THETA", -1, &rect, c.flags | LICE_DT_CENTER), 0) << c.name;
    EXPECT_EQ(InkedPixels(canvas, kBackground), 0) << c.name;
  }
  // The same ink alpha without TextUseInkAlpha draws.
  font.SetBlend(ComposeCopy, 1.0f);
  font.SetPaperMode(LICE_PaperTransparent);
  font.SetInk(0x00FFFFFF);
  LICE_Rect rect = {0, 0, 150, 70};
  EXPECT_EQ(font.RenderText(&canvas, "THETA", -1, &rect, 0), font.LineHeight());
  EXPECT_GT(InkedPixels(canvas, kBackground), 0);
}

TEST_F(CachedFontTest, OpaquePaperFillsEachGlyphCell)
{
  font.SetPaperMode(LICE_PaperOpaque);
  font.SetPaper(0xFF0000FF);
  LICE_Rect rect = {3, 4, 150, 70};
  font.RenderText(&canvas, " ", -1, &rect, 0);
  const LICE_GlyphEntry* space = font.FindGlyph(' ');
  ASSERT_NE(space, nullptr);
  ASSERT_GT(space->advance, 0);
  EXPECT_EQ(space->width, space->advance);
  EXPECT_EQ(InkedPixels(canvas, kBackground), space->advance * font.LineHeight());
  EXPECT_EQ(canvas.Pixels()[4 * canvas.RowStride() + 3], 0xFF0000FFu);
}

TEST_F(CachedFontTest, RendersEachGlyphOnceAndReusesIt)
{
  LICE_Rect rect = {0, 0, 150, 70};
  font.RenderText(&canvas, "AAAA", -1, &rect, 0);
  const LICE_GlyphEntry* a = font.FindGlyph('A');
  ASSERT_NE(a, nullptr);
  const int position = a->maskPosition;
  EXPECT_EQ(position, 1);
  EXPECT_EQ(font.MaskStoreSize(), a->width * a->height);

  rect = {0, 20, 150, 70};
  font.RenderText(&canvas, "AA", -1, &rect, 0);
  EXPECT_EQ(font.FindGlyph('A')->maskPosition, position);
  EXPECT_EQ(font.MaskStoreSize(), a->width * a->height);

  // Measuring renders too, and drawing afterwards adds nothing.
  Measure("B");
  const int afterMeasure = font.MaskStoreSize();
  rect = {0, 40, 150, 70};
  font.RenderText(&canvas, "BA", -1, &rect, 0);
  EXPECT_EQ(font.MaskStoreSize(), afterMeasure);
}

TEST_F(CachedFontTest, AdoptingAnotherFontEmptiesTheCacheAndDeletesAnOwnedHandle)
{
  LICE_Rect rect = {0, 0, 150, 70};
  font.RenderText(&canvas, "A\xE2\x82\xAC", -1, &rect, 0);
  ASSERT_NE(font.FindGlyph('A'), nullptr);
  const LICE_FontHandle first = font.SystemFont();
  ASSERT_TRUE(LICE_GlyphSource::IsLiveSystemFont(first));

  const LICE_FontHandle second = LICE_GlyphSource::MakeSystemFont("Verdana", 30, 0, true, false, 2);
  ASSERT_NE(second, nullptr);
  font.AdoptSystemFont(second, 0);
  EXPECT_FALSE(LICE_GlyphSource::IsLiveSystemFont(first));
  EXPECT_EQ(font.FindGlyph('A'), nullptr);
  EXPECT_EQ(font.FindGlyph(0x20AC), nullptr);
  EXPECT_EQ(font.MaskStoreSize(), 0);
  EXPECT_NEAR(font.LineHeight(), 30, 2);

  // A handle adopted without FontOwnsHandle stays the caller's.
  const LICE_FontHandle third = LICE_GlyphSource::MakeSystemFont("Arial", 12, 0, false, true, 2);
  font.AdoptSystemFont(third, FontOwnsHandle);
  EXPECT_TRUE(LICE_GlyphSource::IsLiveSystemFont(second));
  LICE_GlyphSource::DeleteSystemFont(second);

  // Re-adopting the same handle keeps it, and a destroyed font deletes what it owns.
  font.AdoptSystemFont(third, FontOwnsHandle);
  EXPECT_TRUE(LICE_GlyphSource::IsLiveSystemFont(third));
  font.AdoptSystemFont(nullptr, 0);
  EXPECT_FALSE(LICE_GlyphSource::IsLiveSystemFont(third));
  EXPECT_EQ(font.LineHeight(), 0);

  LICE_FontHandle owned = nullptr;
  {
    LICE_CachedFont owner;
    owner.AdoptSystemFont(LICE_GlyphSource::MakeSystemFont("Arial", 12, 0, false, false, 0), FontOwnsHandle);
    owned = owner.SystemFont();
    ASSERT_TRUE(LICE_GlyphSource::IsLiveSystemFont(owned));
  }
  EXPECT_FALSE(LICE_GlyphSource::IsLiveSystemFont(owned));
}

TEST_F(CachedFontTest, ClipsToTheRectangleUnlessNoClip)
{
  const LICE_Rect inside = {30, 20, 50, 40};
  auto outsideInk = [&] {
    int count = 0;
    for (int y = 0; y < canvas.Height(); ++y)
      for (int x = 0; x < canvas.Width(); ++x)
        if (x < inside.left || x >= inside.right || y < inside.top || y >= inside.bottom)
          count += canvas.Pixels()[y * canvas.RowStride() + x] != kBackground;
    return count;
  };
  LICE_Rect rect = inside;
  EXPECT_GT(font.RenderText(&canvas, "WWWWWW", -1, &rect, LICE_DT_CENTER), 0);
  EXPECT_GT(InkedPixels(canvas, kBackground), 0);
  EXPECT_EQ(outsideInk(), 0);
  rect = inside;
  font.RenderText(&canvas, "WWWWWW", -1, &rect, LICE_DT_CENTER | LICE_DT_NOCLIP);
  EXPECT_GT(outsideInk(), 0);
}

TEST_F(CachedFontTest, BadTextAndRectanglesHaveDefinedResults)
{
  LICE_Rect rect = {0, 0, 150, 70};
  EXPECT_EQ(font.RenderText(&canvas, nullptr, -1, &rect, 0), 0);
  EXPECT_EQ(font.RenderText(&canvas, "A", -1, nullptr, 0), 0);
  EXPECT_EQ(font.RenderText(nullptr, "A", -1, &rect, 0), 0);
  EXPECT_EQ(font.RenderText(&canvas, "", -1, &rect, LICE_DT_CENTER), 0);
  EXPECT_EQ(font.RenderText(&canvas, "A", 0, &rect, 0), 0);
  EXPECT_EQ(InkedPixels(canvas, kBackground), 0);

  rect = {5, 6, 0, 0};
  EXPECT_EQ(font.RenderText(&canvas, "", -1, &rect, LICE_DT_CALCRECT), 0);
  EXPECT_EQ(rect.right, 5);
  EXPECT_EQ(rect.bottom, 6);

  // A length beyond the text stops at its terminating zero; the text lives in
  // a block of exactly its size so that the sanitizer sees any over-read.
  auto exact = std::make_unique<char[]>(3);
  std::memcpy(exact.get(), "AB", 3);
  const auto whole = Pens("AB", {0, 0, 150, 70}, 0);
  EXPECT_EQ(Pens(exact.get(), {0, 0, 150, 70}, 0).size(), whole.size());
  font.pens.clear();
  rect = {0, 0, 150, 70};
  font.RenderText(&canvas, exact.get(), 1000, &rect, 0);
  EXPECT_EQ(font.pens.size(), 2u);
  font.pens.clear();
  rect = {0, 0, 150, 70};
  font.RenderText(&canvas, "AB", 1, &rect, 0);
  EXPECT_EQ(font.pens.size(), 1u);

  // Invalid UTF-8 of every kind still lays out one unit per bad byte.
  const std::string invalid = "\xFF\xFE\xC0\xAF\xED\xA0\x80\xF8\x88\x80\x80\x80\xE2\x82";
  auto bytes = std::make_unique<char[]>(invalid.size());
  std::memcpy(bytes.get(), invalid.data(), invalid.size());
  font.pens.clear();
  rect = {0, 0, 150, 70};
  font.RenderText(&canvas, bytes.get(), int(invalid.size()), &rect, 0);
  EXPECT_FALSE(font.pens.empty());

  // Extreme rectangles, gaps and characters outside 16 bits.
  font.SetLineGap(INT_MAX);
  for (LICE_Rect extreme : {LICE_Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, LICE_Rect{INT_MAX, INT_MAX, INT_MIN, INT_MIN},
                            LICE_Rect{-1000000000, 0, 1000000000, 70}})
  {
    LICE_Rect r = extreme;
    font.RenderText(&canvas, "A\nB", -1, &r, LICE_DT_CENTER | LICE_DT_VCENTER);
    r = extreme;
    font.RenderText(&canvas, "A\nB", -1, &r, LICE_DT_CALCRECT | LICE_DT_WORDBREAK);
  }
  font.SetLineGap(0);
  EXPECT_FALSE(font.RenderGlyph(&canvas, -5, INT_MAX, INT_MAX, nullptr));
  font.RenderGlyph(&canvas, 0x110000, 0, 0, nullptr);
  font.RenderGlyph(nullptr, 'A', 0, 0, nullptr);
}

// Fonts of unusual families and sizes still give defined results, and
// nothing is written outside the bitmap: the bitmap's rows are padded, and
// the padding must keep its sentinel.
TEST(CachedFontInput, OddFontsDrawOnlyInsideTheBitmap)
{
  const struct
  {
    const char* face;
    int height;
  } cases[] = {
      {"NoSuchFamilyAtAll", 15}, {"", 15}, {nullptr, 15}, {"Arial", 0},    {"Arial", -20},
      {"Arial", 1},              {"Arial", 256}, {"Arial", 300},   {"Verdana", 100000},
  };
  for (const auto& c : cases)
  {
    const std::string name = std::string(c.face ? c.face : "(null)") + " " + std::to_string(c.height);
    LICE_CachedFont font;
    font.AdoptSystemFont(LICE_GlyphSource::MakeSystemFont(c.face, c.height, 0, false, false, 2),
                         FontOwnsHandle | FontPreferSystem);
    ASSERT_NE(font.SystemFont(), nullptr) << name;
    EXPECT_GT(font.LineHeight(), 0) << name;
    font.SetInk(0xFFFFFFFF);

    LICE_MemBitmap bitmap(40, 12, 16);
    ASSERT_EQ(bitmap.RowStride(), 48);
    Fill(bitmap, 0xFF000000);
    for (const LICE_Rect start : {LICE_Rect{-7, -5, 60, 30}, LICE_Rect{30, 6, 45, 20}, LICE_Rect{0, 0, 40, 12}})
    {
      for (const int flags : {LICE_DT_NOCLIP, LICE_DT_CENTER | LICE_DT_VCENTER, TextUseInkAlpha | LICE_DT_NOCLIP})
      {
        LICE_Rect rect = start;
        font.RenderText(&bitmap, "Wg\xC3\xA9\n20000.0", -1, &rect, flags);
      }
    }
    int padding = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = bitmap.Width(); x < bitmap.RowStride(); ++x)
        padding += bitmap.Pixels()[y * bitmap.RowStride() + x] != 0xFF000000;
    EXPECT_EQ(padding, 0) << name;
    // Large glyphs have no ink in the few rows at the top of their cell.
    if (c.height > 0 && c.height < 100)
    {
      EXPECT_GT(InkedPixels(bitmap, 0xFF000000), 0) << name;
    }
  }
}
}  // namespace
