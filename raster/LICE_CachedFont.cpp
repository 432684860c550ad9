#include "raster/LICE_CachedFont.h"

#include "raster/LICE_CombineRules.h"
#include "raster/LICE_Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace
{
// Fonts alive in the process; the glyph sources' scratch goes with the last.
// Fonts are used from one thread at a time, so a plain counter is enough.
int liveFonts = 0;

constexpr int kLineFeed = 10;
constexpr int kCarriageReturn = 13;
constexpr int kSpace = 32;

// Rectangles are clamped to this magnitude so that pen arithmetic on them,
// plus any sane run of advances, stays far inside 32 bits.
constexpr int kCoordinateLimit = 1 << 28;

const LICE_GlyphEntry kNoGlyph = {-1, 0, 0, 0, 0, 0};

// Bytes of `text` up to `length` (negative: no limit) or the first zero byte.
int TextLength(const char* text, int length)
{
  if (length < 0)
    return int(std::min<std::size_t>(std::strlen(text), INT32_MAX));
  const void* zero = std::memchr(text, 0, std::size_t(length));
  return zero ? int(static_cast<const char*>(zero) - text) : length;
}

int ClampCoordinate(std::int64_t v)
{
  return int(std::clamp<std::int64_t>(v, -kCoordinateLimit, kCoordinateLimit));
}

LICE_Rect ClampedRect(const LICE_Rect& r)
{
  return {ClampCoordinate(r.left), ClampCoordinate(r.top), ClampCoordinate(r.right),
          ClampCoordinate(r.bottom)};
}

// Reads the next character of a text the way drawing sees it: carriage
// returns are dropped (-1), and a line feed is a space on a single line.
int NextCharacter(const char* text, int length, int& pos, bool singleLine)
{
  int used = 0;
  const int code = LICE_NextUtf8Unit(text + pos, length - pos, &used);
  pos += used;
  if (code == kCarriageReturn)
    return -1;
  if (code == kLineFeed && singleLine)
    return kSpace;
  return code;
}

// Lays a text out from pen (0, 0) and calls visit(code, entry, x, y) for each
// character. A line feed (unless single-line) starts a new line at x = 0,
// lineStep further down; with word break, a word that would pass wrapWidth
// starts a new line too, unless it already starts one.
template <typename Lookup, typename Visit>
void LayOut(const char* text, int length, int flags, int lineStep, std::int64_t wrapWidth,
            const Lookup& lookup, const Visit& visit)
{
  const bool singleLine = (flags & LICE_DT_SINGLELINE) != 0;
  const bool wordBreak = (flags & LICE_DT_WORDBREAK) != 0;
  std::int64_t x = 0;
  std::int64_t y = 0;
  bool wordStart = true;
  int pos = 0;
  while (pos < length)
  {
    const int code = NextCharacter(text, length, pos, singleLine);
    if (code < 0)
      continue;
    if (code == kLineFeed)
    {
      x = 0;
      y += lineStep;
      wordStart = true;
      continue;
    }
    if (wordBreak && wordStart && code != kSpace && x > 0)
    {
      std::int64_t wordWidth = lookup(code).advance;
      for (int next = pos; next < length;)
      {
        const int c = NextCharacter(text, length, next, singleLine);
        if (c == kSpace || c == kLineFeed)
          break;
        if (c >= 0)
          wordWidth += lookup(c).advance;
      }
      if (x + wordWidth > wrapWidth)
      {
        x = 0;
        y += lineStep;
      }
    }
    wordStart = code == kSpace;
    const LICE_GlyphEntry entry = lookup(code);
    visit(code, entry, x, y);
    x += entry.advance;
  }
}

// The copy rule d = t + (d - t) * keep / 256, truncating toward zero, on two
// channels at once in the 16-bit lanes of (d & 0x00FF00FF): truncation is the
// floor of t * (256 - keep) + d * keep, plus 255 where d < t, over 256, and no
// lane ever reaches 65536. Gives exactly the per-channel rule.
inline LICE_PixelWord CopyTowardInk(LICE_PixelWord d, LICE_PixelWord inkLanesLo, LICE_PixelWord inkLanesHi,
                                    LICE_PixelWord keep)
{
  const auto lanes = [keep](LICE_PixelWord dl, LICE_PixelWord tl) {
    const LICE_PixelWord bias = (((tl + 0x01000100u - dl) >> 8) & 0x00010001u) * 255u;
    return ((tl * (256u - keep) + dl * keep + bias) >> 8) & 0x00FF00FFu;
  };
  return lanes(d & 0x00FF00FFu, inkLanesLo) | lanes((d >> 8) & 0x00FF00FFu, inkLanesHi) << 8;
}
}  // namespace

LICE_CachedFont::LICE_CachedFont()
{
  ++liveFonts;
}

LICE_CachedFont::~LICE_CachedFont()
{
  if ((fontFlags & FontOwnsHandle) && systemFont)
    LICE_GlyphSource::DeleteSystemFont(systemFont);
  if (--liveFonts == 0)
    LICE_GlyphSource::ReleaseScratch();
}

void LICE_CachedFont::AdoptSystemFont(LICE_FontHandle font, int flags)
{
  if ((fontFlags & FontOwnsHandle) && systemFont && font != systemFont)
    LICE_GlyphSource::DeleteSystemFont(systemFont);
  fontFlags = flags;
  systemFont = font;
  lineHeight = font ? LICE_GlyphSource::LineHeight(font) : 0;
  ClearCache();
}

void LICE_CachedFont::ClearCache()
{
  std::memset(asciiGlyphs, 0, sizeof(asciiGlyphs));
  extendedGlyphs.clear();
  maskStore.clear();
}

LICE_PixelWord LICE_CachedFont::SetInk(LICE_PixelWord colour)
{
  return std::exchange(ink, colour);
}

LICE_PixelWord LICE_CachedFont::SetPaper(LICE_PixelWord colour)
{
  return std::exchange(paper, colour);
}

LICE_PixelWord LICE_CachedFont::SetEdgeInk(LICE_PixelWord colour)
{
  return std::exchange(edgeInk, colour);
}

int LICE_CachedFont::SetPaperMode(int mode)
{
  return std::exchange(paperMode, mode);
}

void LICE_CachedFont::SetBlend(LICE_ComposeMode mode, float alpha)
{
  composeMode = mode;
  opacity = alpha;
  glyphOpacity = alpha;
}

const LICE_GlyphEntry* LICE_CachedFont::FindGlyph(int code) const
{
  if (code >= 0 && code < 128)
    return asciiGlyphs[code].maskPosition ? &asciiGlyphs[code] : nullptr;
  const auto it = std::lower_bound(extendedGlyphs.begin(), extendedGlyphs.end(), code,
                                   [](const LICE_GlyphEntry& e, int c) { return e.code < c; });
  return it != extendedGlyphs.end() && it->code == code && it->maskPosition ? &*it : nullptr;
}

const std::uint8_t* LICE_CachedFont::GlyphMask(const LICE_GlyphEntry& entry) const
{
  if (entry.maskPosition < 1 || std::size_t(entry.maskPosition - 1) >= maskStore.size())
    return nullptr;
  return maskStore.data() + entry.maskPosition - 1;
}

LICE_GlyphEntry* LICE_CachedFont::Entry(int code)
{
  if (code < 128)
  {
    asciiGlyphs[code].code = code;
    return &asciiGlyphs[code];
  }
  // Kept sorted by inserting in place, which is what appending and sorting
  // again would give.
  const auto it = std::lower_bound(extendedGlyphs.begin(), extendedGlyphs.end(), code,
                                   [](const LICE_GlyphEntry& e, int c) { return e.code < c; });
  if (it != extendedGlyphs.end() && it->code == code)
    return &*it;
  return &*extendedGlyphs.insert(it, LICE_GlyphEntry{0, 0, 0, 0, code, 0});
}

const LICE_GlyphEntry& LICE_CachedFont::RenderedEntry(int code)
{
  if (code < 0 || code > 0xFFFF)
    code = kSpace;
  LICE_GlyphEntry* entry = Entry(code);
  if (entry->maskPosition == 0)
    RenderEntry(*entry);
  return *entry;
}

void LICE_CachedFont::RenderEntry(LICE_GlyphEntry& entry)
{
  const int code = entry.code;
  entry = kNoGlyph;
  entry.code = code;

  LICE_GlyphRaster raster;
  if (!systemFont || !LICE_GlyphSource::RenderGlyph(systemFont, lineHeight, std::uint16_t(code), raster))
    return;
  const int advance = raster.advance;
  const int height = raster.height;
  const int right = raster.boxWidth;
  const int margin = std::min(raster.margin, right);
  if (advance < 1 || height < 1 || right < 1 || !raster.coverage)
    return;
  const std::size_t position = maskStore.size();
  const std::size_t boxBytes = std::size_t(right) * std::size_t(height);
  if (position + boxBytes >= std::size_t(INT32_MAX))
    return;

  // Coverage is copied into the store while the ink's horizontal extent is
  // found: the leftmost inked column, looked for only inside the margin, and
  // the right edge, margin + advance moved out past any ink beyond it.
  maskStore.resize(position + boxBytes);
  std::uint8_t* box = maskStore.data() + position;
  int leftmost = margin;
  int rightEdge = std::min(margin + advance, right);
  for (int y = 0; y < height; ++y)
  {
    const std::uint8_t* src = raster.coverage + std::ptrdiff_t(y) * raster.rowStride;
    std::uint8_t* dst = box + std::size_t(y) * right;
    for (int x = 0; x < right; ++x)
    {
      const std::uint8_t c = src[std::ptrdiff_t(x) * raster.columnStep];
      dst[x] = c;
      if (!c)
        continue;
      if (x < leftmost)
        leftmost = x;
      if (x >= margin + advance && x + 1 > rightEdge)
        rightEdge = x + 1;
    }
  }

  const int width = rightEdge - leftmost;
  if (rightEdge < right || leftmost > 0)
  {
    for (int y = 0; y < height; ++y)
      std::memmove(box + std::size_t(y) * width, box + std::size_t(y) * right + leftmost, std::size_t(width));
    maskStore.resize(position + std::size_t(width) * height);
  }

  entry.maskPosition = int(position) + 1;
  entry.width = width;
  entry.height = height;
  entry.advance = advance;
  entry.leftOffset = margin - leftmost;
}

void LICE_CachedFont::RenderMissingGlyphs(const char* text, int length, int flags)
{
  const bool singleLine = (flags & LICE_DT_SINGLELINE) != 0;
  for (int pos = 0; pos < length;)
  {
    const int code = NextCharacter(text, length, pos, singleLine);
    if (code >= 0 && code != kLineFeed)
      RenderedEntry(code);
  }
}

bool LICE_CachedFont::UsesSystemDrawing(int flags) const
{
  if (!LICE_GlyphSource::HasSystemDrawing())
    return false;
  if (lineHeight > 255)
    return true;
  // The Wine question is asked last, so that it is only asked when it matters.
  return (fontFlags & FontPreferSystem) && systemFont && !(flags & TextUseInkAlpha) &&
         !(fontFlags & LICE_FontCacheOnlyBits) && (lineGap == 0 || (flags & LICE_DT_SINGLELINE)) &&
         !LICE_GlyphSource::RunsUnderWine();
}

int LICE_CachedFont::RenderText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect,
                                int flags)
{
  const bool measuring = (flags & LICE_DT_CALCRECT) != 0;
  if (!text || !rect || (!dest && !measuring))
    return 0;
  length = TextLength(text, length);
  LICE_Rect r = ClampedRect(*rect);

  int result = 0;
  if (UsesSystemDrawing(flags))
  {
    LICE_SystemText call;
    call.font = systemFont;
    call.lineHeight = lineHeight;
    call.dest = dest;
    call.text = text;
    call.length = length;
    call.rect = &r;
    call.flags = flags;
    call.ink = ink;
    call.paper = paper;
    call.paperMode = paperMode;
    call.opacity = opacity;
    result = LICE_GlyphSource::DrawSystemText(call);
  }
  else
  {
    result = DrawThroughCache(dest, text, length, &r, flags);
  }
  if (measuring)
    *rect = r;
  return result;
}

int LICE_CachedFont::DrawThroughCache(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect,
                                      int flags)
{
  RenderMissingGlyphs(text, length, flags);
  const auto lookup = [this](int code) -> const LICE_GlyphEntry& {
    const LICE_GlyphEntry* entry = FindGlyph(code);
    return entry ? *entry : kNoGlyph;
  };
  const int lineStep = lineHeight + std::clamp(lineGap, -kCoordinateLimit, kCoordinateLimit);
  const std::int64_t wrapWidth = std::int64_t(rect->right) - rect->left;

  if (flags & LICE_DT_CALCRECT)
  {
    std::int64_t width = 0;
    std::int64_t height = 0;
    LayOut(text, length, flags, lineStep, wrapWidth, lookup,
           [&](int, const LICE_GlyphEntry& e, std::int64_t x, std::int64_t y) {
             width = std::max({width, x + e.advance, x + e.width - e.leftOffset});
             height = std::max(height, y + e.height);
           });
    rect->right = ClampCoordinate(rect->left + width);
    rect->bottom = ClampCoordinate(rect->top + height);
    return int(std::min<std::int64_t>(height, kCoordinateLimit));
  }

  float alpha = opacity;
  if (flags & TextUseInkAlpha)
    alpha *= float(ink >> 24) / 255.0f;
  if (!(alpha * 256.0f >= 1.0f))
    return 0;

  std::int64_t x = rect->left;
  std::int64_t y = rect->top;
  if (flags & LICE_DT_ALIGNMENT)
  {
    LICE_Rect measured = {0, 0, 0, 0};
    RenderText(dest, text, length, &measured, LICE_DT_CALCRECT | (flags & LICE_DT_SINGLELINE));
    const std::int64_t width = std::int64_t(measured.right) - measured.left;
    const std::int64_t height = std::int64_t(measured.bottom) - measured.top;
    if (flags & LICE_DT_CENTER)
      x = rect->left + (rect->right - width - rect->left) / 2;
    else if (flags & LICE_DT_RIGHT)
      x = rect->right - width;
    if (flags & LICE_DT_VCENTER)
      y = rect->top + (rect->bottom - height - rect->top) / 2;
    else if (flags & LICE_DT_BOTTOM)
      y = rect->bottom - height;
  }

  LICE_Rect clip = {0, 0, dest->Width(), dest->Height()};
  if (!(flags & LICE_DT_NOCLIP))
  {
    clip.left = std::max(clip.left, rect->left);
    clip.top = std::max(clip.top, rect->top);
    clip.right = std::min(clip.right, rect->right);
    clip.bottom = std::min(clip.bottom, rect->bottom);
  }
  if (clip.left >= clip.right || clip.top >= clip.bottom)
    return 0;

  std::int64_t bottom = 0;
  glyphOpacity = alpha;
  LayOut(text, length, flags, lineStep, wrapWidth, lookup,
         [&](int code, const LICE_GlyphEntry& e, std::int64_t penX, std::int64_t penY) {
           RenderGlyph(dest, code, ClampCoordinate(x + penX), ClampCoordinate(y + penY), &clip);
           bottom = std::max(bottom, penY + e.height);
         });
  glyphOpacity = opacity;
  return int(std::min<std::int64_t>(bottom, kCoordinateLimit));
}

bool LICE_CachedFont::RenderGlyph(LICE_IBitmap* dest, int code, int penX, int penY, const LICE_Rect* clip)
{
  lice_detail::Surface surface;
  if (!lice_detail::GetSurface(dest, surface))
    return false;
  const LICE_GlyphEntry entry = RenderedEntry(code);
  const std::uint8_t* mask = GlyphMask(entry);
  if (!mask || entry.width < 1 || entry.height < 1)
    return false;

  std::int64_t clipLeft = 0;
  std::int64_t clipTop = 0;
  std::int64_t clipRight = surface.width;
  std::int64_t clipBottom = surface.height;
  if (clip)
  {
    clipLeft = std::max<std::int64_t>(clipLeft, clip->left);
    clipTop = std::max<std::int64_t>(clipTop, clip->top);
    clipRight = std::min<std::int64_t>(clipRight, clip->right);
    clipBottom = std::min<std::int64_t>(clipBottom, clip->bottom);
  }
  const std::int64_t x = std::int64_t(penX) - entry.leftOffset;
  const std::int64_t y = penY;
  const int x0 = int(std::max(x, clipLeft));
  const int x1 = int(std::min(x + entry.width, clipRight));
  const int y0 = int(std::max(y, clipTop));
  const int y1 = int(std::min(y + entry.height, clipBottom));
  if (x0 >= x1 || y0 >= y1)
    return false;

  const bool opaque = paperMode == LICE_PaperOpaque;
  if (opaque)
    LICE_FillArea(dest, x0, y0, x1 - x0, y1 - y0, paper, glyphOpacity,
                  (composeMode & ~ComposeSourceAlpha) | ComposeUnscaled);
  const int weight = lice_detail::Weight(glyphOpacity);
  if (weight <= 0)
    return opaque;

  // Each covered pixel takes the solid-colour rule of the combine code with a
  // weight from its coverage: c + 1 at full opacity, so that full coverage
  // gives the ink exactly, else weight x c / 256. Copy, the editor's mode,
  // has a loop of its own.
  const LICE_PixelWord colour = ink;
  const auto coverageWeight = [weight](int c) { return weight == 256 ? c + 1 : std::min(256, weight * c / 256); };
  if ((composeMode & ComposeCodeMask) == ComposeCopy)
  {
    const LICE_PixelWord inkLo = colour & 0x00FF00FFu;
    const LICE_PixelWord inkHi = (colour >> 8) & 0x00FF00FFu;
    for (int row = y0; row < y1; ++row)
    {
      const std::uint8_t* m = mask + std::size_t(row - y) * entry.width + (x0 - x);
      LICE_PixelWord* d = surface.At(x0, row);
      for (int i = 0, n = x1 - x0; i < n; ++i)
      {
        if (!m[i])
          continue;
        const int w = coverageWeight(m[i]);
        d[i] = w >= 256 ? colour : CopyTowardInk(d[i], inkLo, inkHi, LICE_PixelWord(256 - w));
      }
    }
    return true;
  }
  bool drawn = opaque;
  lice_detail::WithSolidRule(composeMode, [&](auto rule) {
    drawn = true;
    for (int row = y0; row < y1; ++row)
    {
      const std::uint8_t* m = mask + std::size_t(row - y) * entry.width + (x0 - x);
      LICE_PixelWord* d = surface.At(x0, row);
      for (int i = 0, n = x1 - x0; i < n; ++i)
      {
        if (m[i])
          d[i] = rule.Apply(d[i], colour, coverageWeight(m[i]));
      }
    }
  });
  return drawn;
}
