// Text samples of the raster sheet, drawn the way the editor draws text: a
// font per style made from face, size, weight and quality, owned by the
// cached font, with the style's colour as ink and TextUseInkAlpha exactly
// when that colour is not opaque.
#include "tools/rastersheet/TextSheet.h"

#include "raster/LICE_CachedFont.h"
#include "raster/LICE_Compose.h"

#include <memory>

namespace
{
struct Style
{
  const char* face;
  int size;
  LICE_PixelWord colour;
  int alignment;  // text flags
};

// The editor's four text styles: readout, version, value label, switch label
// (size 0 and fully transparent: it shows nothing, by design).
constexpr Style kReadout = {"Arial", 15, 0xC8FFFFFF, LICE_DT_CENTER};
constexpr Style kVersion = {"Verdana", 13, 0x64FFFFFF, 0};
constexpr Style kValueLabel = {"Arial", 15, 0xC8FFFFFF, 0};
constexpr Style kSwitchLabel = {"Arial", 0, 0x00000000, LICE_DT_CENTER};

constexpr LICE_PixelWord kBox = 0xFF3A4148;

std::unique_ptr<LICE_CachedFont> MakeFont(const Style& style, bool bold = false)
{
  auto font = std::make_unique<LICE_CachedFont>();
  font->AdoptSystemFont(LICE_GlyphSource::MakeSystemFont(style.face, style.size, 0, bold, false, 0),
                        FontOwnsHandle | FontPreferSystem);
  return font;
}

void Text(LICE_CachedFont& font, LICE_IBitmap& sheet, const char* text, LICE_Rect rect, LICE_PixelWord ink,
          int alignment)
{
  font.SetInk(ink);
  const int flags = LICE_DT_NOCLIP | alignment | ((ink >> 24) != 0xFF ? TextUseInkAlpha : 0);
  font.RenderText(&sheet, text, -1, &rect, flags);
}

// A box showing the rectangle a text is placed in.
void Box(LICE_IBitmap& sheet, const LICE_Rect& r)
{
  LICE_FillArea(&sheet, r.left, r.top, r.right - r.left, r.bottom - r.top, kBox, 1.0f, ComposeCopy);
}

void StyledText(LICE_IBitmap& sheet, const Style& style, const char* text, LICE_Rect rect)
{
  Box(sheet, rect);
  auto font = MakeFont(style);
  Text(*font, sheet, text, rect, style.colour, style.alignment);
}
}  // namespace

void DrawTextSamples(LICE_IBitmap& sheet, int x, int y)
{
  // Row 1: the four styles in rectangles of the editor's sizes.
  const int row1 = y + 4;
  StyledText(sheet, kReadout, "THETA", {x + 10, row1, x + 112, row1 + 18});
  StyledText(sheet, kReadout, "440.00 Hz", {x + 120, row1, x + 205, row1 + 18});
  StyledText(sheet, kVersion, "v2.3", {x + 215, row1, x + 265, row1 + 18});
  StyledText(sheet, kValueLabel, "20000.0", {x + 275, row1, x + 350, row1 + 18});
  StyledText(sheet, kSwitchLabel, "hidden", {x + 360, row1, x + 420, row1 + 18});

  // Row 1, right: opaque and bold text, and a mixture of ink alphas over a
  // gradient, so that translucency and edge quality are both visible.
  const int gradientLeft = x + 440;
  for (int i = 0; i < 300; ++i)
  {
    const LICE_PixelWord level = LICE_PixelWord(i * 255 / 299);
    LICE_FillArea(&sheet, gradientLeft + i, row1, 1, 40, 0xFF000000 | level << 16 | level << 8 | level, 1.0f,
                  ComposeCopy);
  }
  auto arial = MakeFont(kReadout);
  const LICE_PixelWord inks[] = {0xFFFFFFFF, 0xC8FFFFFF, 0x64FFFFFF, 0x32FFFFFF, 0xFF000000, 0x80000000};
  for (int i = 0; i < 6; ++i)
    Text(*arial, sheet, i < 4 ? "Ink" : "ink", {gradientLeft + 8 + i * 48, row1 + 2, 0, 0}, inks[i], 0);
  auto bold = MakeFont(kReadout, true);
  Text(*bold, sheet, "Bold 0xFF", {gradientLeft + 8, row1 + 21, 0, 0}, 0xFFFFB030, 0);
  Text(*bold, sheet, "Bold 0xC8", {gradientLeft + 150, row1 + 21, 0, 0}, 0xC8FFB030, 0);

  // Row 2: left, centred and right alignment in equal boxes, and UTF-8.
  const int row2 = y + 26;
  const struct
  {
    const char* text;
    int flags;
  } alignments[] = {{"left", 0}, {"centre", LICE_DT_CENTER}, {"right", LICE_DT_RIGHT}};
  for (int i = 0; i < 3; ++i)
  {
    const LICE_Rect r = {x + 10 + i * 110, row2, x + 110 + i * 110, row2 + 18};
    Box(sheet, r);
    Text(*arial, sheet, alignments[i].text, r, 0xFFFFFFFF, alignments[i].flags);
  }
  Text(*arial, sheet, "caf\xC3\xA9 na\xC3\xAFve 5\xE2\x82\xAC \xC2\xB1\xC2\xB0 \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE2\x80\x93 \xF0\x9F\x98\x80",
       {x + 340, row2 + 20, 0, 0}, 0xFFFFFFFF, 0);

  // Right of the gradient: two lines with a line feed, centred.
  const LICE_Rect lines = {x + 760, row1, x + 900, row1 + 40};
  Box(sheet, lines);
  Text(*arial, sheet, "freq by note\n440.00 Hz", lines, 0xC8FFFFFF, LICE_DT_CENTER);
}
