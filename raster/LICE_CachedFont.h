#pragma once
//! Text: fonts that render each character once into an 8-bit coverage mask
//! (the glyph cache) and composite the masks with colour, opacity and combine
//! mode. On Windows the system may draw opaque text itself instead (see
//! RenderText). Fonts are used from one thread at a time; nothing here locks.

#include "raster/LICE_Compose.h"
#include "raster/LICE_GlyphSource.h"

#include <cstdint>
#include <vector>

//! Font flags. The graphics framework passes both.
constexpr int FontOwnsHandle = 0x200;    // delete the system font on adopting another, and on destruction
constexpr int FontPreferSystem = 0x400;  // let the system draw directly when the rules allow
//! Font flag bits for vertical, ASCII-only, inverted, aliased and outlined
//! glyphs; this system never sets them, and any of them keeps text in the cache.
constexpr int LICE_FontCacheOnlyBits = 0x1F7;

//! Text flags: the values of the Windows DT_ flags of the same names.
constexpr int LICE_DT_CENTER = 0x1;
constexpr int LICE_DT_RIGHT = 0x2;
constexpr int LICE_DT_VCENTER = 0x4;
constexpr int LICE_DT_BOTTOM = 0x8;
constexpr int LICE_DT_WORDBREAK = 0x10;
constexpr int LICE_DT_SINGLELINE = 0x20;
constexpr int LICE_DT_NOCLIP = 0x100;
constexpr int LICE_DT_CALCRECT = 0x400;  // measure instead of drawing
constexpr int LICE_DT_ALIGNMENT = LICE_DT_CENTER | LICE_DT_RIGHT | LICE_DT_VCENTER | LICE_DT_BOTTOM;
//! Multiply the opacity by the text colour's alpha.
constexpr int TextUseInkAlpha = 0x40000000;

//! Background modes, the GDI values.
constexpr int LICE_PaperTransparent = 1;
constexpr int LICE_PaperOpaque = 2;

//! One character of the glyph cache.
struct LICE_GlyphEntry
{
  int maskPosition;  // 1 + offset of the mask in the store; 0 not rendered yet; -1 renders to nothing
  int width;         // mask columns
  int height;        // mask rows
  int advance;       // pen advance in pixels
  int code;          // UTF-16 code unit
  int leftOffset;    // the mask is drawn this many pixels left of the pen
};

class LICE_IFont
{
public:
  virtual ~LICE_IFont() = default;
  //! Takes a system font (FontOwnsHandle: the font deletes it later) and
  //! empties the glyph cache.
  virtual void AdoptSystemFont(LICE_FontHandle font, int flags) = 0;
  virtual LICE_PixelWord SetInk(LICE_PixelWord colour) = 0;
  virtual LICE_PixelWord SetPaper(LICE_PixelWord colour) = 0;
  virtual LICE_PixelWord SetEdgeInk(LICE_PixelWord colour) = 0;
  //! LICE_PaperTransparent or LICE_PaperOpaque; returns the previous mode.
  virtual int SetPaperMode(int mode) = 0;
  virtual void SetBlend(LICE_ComposeMode mode, float opacity) = 0;
  //! Draws `length` bytes of UTF-8 `text` (-1: up to the terminating zero; it
  //! also stops at any zero byte) in `rect` with the text flags, or measures
  //! it with LICE_DT_CALCRECT, setting rect's right and bottom. Returns the
  //! height drawn or measured.
  virtual int RenderText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect,
                         int flags) = 0;
  virtual LICE_PixelWord Ink() const = 0;
  virtual LICE_FontHandle SystemFont() const = 0;
  virtual int LineHeight() const = 0;
  //! Extra pixels between lines.
  virtual void SetLineGap(int gap) = 0;
};

class LICE_CachedFont : public LICE_IFont
{
public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void AdoptSystemFont(LICE_FontHandle font, int flags) override;
  LICE_PixelWord SetInk(LICE_PixelWord colour) override;
  LICE_PixelWord SetPaper(LICE_PixelWord colour) override;
  LICE_PixelWord SetEdgeInk(LICE_PixelWord colour) override;
  int SetPaperMode(int mode) override;
  void SetBlend(LICE_ComposeMode mode, float opacity) override;
  int RenderText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect,
                 int flags) override;
  LICE_PixelWord Ink() const override { return ink; }
  LICE_FontHandle SystemFont() const override { return systemFont; }
  int LineHeight() const override { return lineHeight; }
  void SetLineGap(int gap) override { lineGap = gap; }

  //! Draws one character with its pen at (penX, penY), clipped to `clip` (null:
  //! the whole bitmap) and always to the bitmap, rendering it first if it is
  //! not cached yet. True when something was drawn.
  virtual bool RenderGlyph(LICE_IBitmap* dest, int code, int penX, int penY, const LICE_Rect* clip);

  //! The cached entry of a character, or null when it has none yet.
  const LICE_GlyphEntry* FindGlyph(int code) const;
  //! The coverage mask of a rendered entry (width x height bytes), or null.
  const std::uint8_t* GlyphMask(const LICE_GlyphEntry& entry) const;
  //! Bytes held by the mask store.
  int MaskStoreSize() const { return int(maskStore.size()); }

private:
  struct Layout;

  LICE_GlyphEntry* Entry(int code);
  const LICE_GlyphEntry& RenderedEntry(int code);
  void RenderEntry(LICE_GlyphEntry& entry);
  void RenderMissingGlyphs(const char* text, int length, int flags);
  bool UsesSystemDrawing(int flags) const;
  int DrawThroughCache(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags);
  void ClearCache();

  LICE_PixelWord ink = 0;
  LICE_PixelWord paper = 0xFFFFFFFF;
  LICE_PixelWord edgeInk = 0xFFFFFFFF;
  int paperMode = LICE_PaperTransparent;
  LICE_ComposeMode composeMode = ComposeCopy;
  float opacity = 1.0f;
  // Opacity RenderGlyph applies: the font's, times the ink alpha while
  // RenderText draws with TextUseInkAlpha.
  float glyphOpacity = 1.0f;
  int fontFlags = 0;
  int lineHeight = 0;
  int lineGap = 0;
  LICE_GlyphEntry asciiGlyphs[128] = {};
  std::vector<LICE_GlyphEntry> extendedGlyphs;  // sorted by code
  std::vector<std::uint8_t> maskStore;
  LICE_FontHandle systemFont = nullptr;
};
