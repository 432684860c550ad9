// Glyph source on GDI. Glyphs are drawn white on black into a shared scratch
// DIB and its red byte becomes the coverage; opaque text may be drawn by GDI
// straight into the destination instead (LICE_CachedFont decides when).
#include "raster/LICE_GlyphSource.h"

#include "raster/LICE_CachedFont.h"
#include "raster/LICE_Utf8.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace
{
// Process-wide, created on first need and deleted with the last font. Fonts
// are used from one thread at a time, so none of this needs a lock.
LICE_SysBitmap* glyphScratch = nullptr;  // white-on-black glyph rendering
LICE_SysBitmap* drawScratch = nullptr;   // GDI drawing for bitmaps without a DC
int wineAnswer = -1;                     // -1 not asked yet, 0 no, 1 yes
int wineOverride = -1;

// Text flags GDI is given. Anything else (DT_MODIFYSTRING in particular, which
// would make GDI write into the caller's text) is not passed on.
constexpr UINT kGdiTextFlags = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_WORDBREAK |
                               DT_SINGLELINE | DT_NOCLIP | DT_CALCRECT;

// Grows a scratch bitmap to at least width x height; true when it has pixels
// and a device context afterwards. Returns in `resized` whether it changed.
bool EnsureScratch(LICE_SysBitmap*& scratch, int width, int height, bool& resized)
{
  resized = false;
  if (!scratch)
    scratch = new LICE_SysBitmap();
  if (scratch->Width() < width || scratch->Height() < height)
    resized = scratch->SetSize(std::max(width, scratch->Width()), std::max(height, scratch->Height()));
  return scratch->DeviceContext() && scratch->Pixels();
}

HDC GlyphScratchDC(int size)
{
  bool resized = false;
  if (!EnsureScratch(glyphScratch, size, size, resized))
    return nullptr;
  HDC dc = glyphScratch->DeviceContext();
  if (resized)
  {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
  }
  return dc;
}

COLORREF ColourRef(LICE_PixelWord c)
{
  return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

RECT ToRECT(const LICE_Rect& r)
{
  return RECT{r.left, r.top, r.right, r.bottom};
}

// The text as GDI takes it: UTF-16 when it holds multi-byte sequences that
// convert cleanly, else the bytes as they are.
class GdiText
{
public:
  GdiText(const char* text, int length) : bytes(text), byteCount(length)
  {
    if (!LICE_HasUtf8Sequences(text, length))
      return;
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
    if (units <= 0)
      return;
    wchar_t* buffer = local;
    int capacity = int(sizeof(local) / sizeof(local[0]));
    if (units > 999)
    {
      heap.resize(std::size_t(units) + 32);
      buffer = heap.data();
      capacity = int(heap.size());
    }
    const int converted = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, buffer, capacity);
    if (converted > 0)
    {
      wide = buffer;
      wideCount = converted;
    }
  }

  int Draw(HDC dc, RECT* rect, UINT flags) const
  {
    if (wide)
      return DrawTextW(dc, wide, wideCount, rect, flags | DT_NOPREFIX);
    return DrawTextA(dc, bytes, byteCount, rect, flags | DT_NOPREFIX);
  }

private:
  const char* bytes;
  int byteCount;
  const wchar_t* wide = nullptr;
  int wideCount = 0;
  wchar_t local[1024];
  std::vector<wchar_t> heap;
};

// Draws with GDI into a device context in the font's colours.
int DrawInto(HDC dc, const LICE_SystemText& call, const GdiText& text, RECT* rect, UINT flags)
{
  HGDIOBJ previous = SelectObject(dc, call.font);
  SetTextColor(dc, ColourRef(call.ink));
  SetBkMode(dc, call.paperMode == LICE_PaperOpaque ? OPAQUE : TRANSPARENT);
  if (call.paperMode == LICE_PaperOpaque)
    SetBkColor(dc, ColourRef(call.paper));
  const int result = text.Draw(dc, rect, flags);
  SelectObject(dc, previous);
  return result;
}

// A destination without a device context: GDI draws into the scratch over a
// copy of the destination's area, which is then copied back.
int DrawWithoutContext(const LICE_SystemText& call, const GdiText& text, UINT flags)
{
  bool resized = false;
  if (!EnsureScratch(drawScratch, 1, 1, resized))
    return 0;
  HDC dc = drawScratch->DeviceContext();
  LICE_Rect& rect = *call.rect;

  RECT measured = ToRECT(rect);
  HGDIOBJ previous = SelectObject(dc, call.font);
  text.Draw(dc, &measured, (flags & ~UINT(LICE_DT_ALIGNMENT)) | DT_CALCRECT);
  SelectObject(dc, previous);
  const int width = measured.right - measured.left;
  const int height = measured.bottom - measured.top;
  if (flags & DT_CALCRECT)
  {
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return height;
  }
  LICE_IBitmap* dest = call.dest;
  if (!dest)
    return 0;

  int x = rect.left;
  if (flags & DT_CENTER)
    x = (rect.left + rect.right - width) / 2;
  else if (flags & DT_RIGHT)
    x = rect.right - width;
  int y = rect.top;
  if (flags & DT_VCENTER)
    y = (rect.top + rect.bottom - height) / 2;
  else if (flags & DT_BOTTOM)
    y = rect.bottom - height;

  LICE_Rect clip = {0, 0, dest->Width(), dest->Height()};
  if (!(flags & DT_NOCLIP))
    clip = {std::max(clip.left, rect.left), std::max(clip.top, rect.top),
            std::min(clip.right, rect.right), std::min(clip.bottom, rect.bottom)};
  // Ink left of the pen (italic overhang) is kept by taking a few more
  // columns on the left.
  const int spill = call.lineHeight / 16 + 2;
  LICE_Rect area = {std::max(clip.left, x - spill), std::max(clip.top, y), std::min(clip.right, x + width),
                    std::min(clip.bottom, y + height)};
  if (area.left >= area.right || area.top >= area.bottom)
    return 0;
  const int areaWidth = area.right - area.left;
  const int areaHeight = area.bottom - area.top;
  if (!EnsureScratch(drawScratch, areaWidth, areaHeight, resized))
    return 0;

  LICE_CopyRegion(drawScratch, dest, 0, 0, &area, 1.0f, ComposeCopy);
  RECT place = {x - area.left, y - area.top, x - area.left + width, y - area.top + height};
  const int result = DrawInto(dc, call, text, &place, flags);
  GdiFlush();
  const LICE_Rect back = {0, 0, areaWidth, areaHeight};
  LICE_CopyRegion(dest, drawScratch, area.left, area.top, &back, call.opacity, ComposeCopy);
  return result;
}
}  // namespace

LICE_FontHandle LICE_GlyphSource::MakeSystemFont(const char* face, int height, int escapement, bool bold,
                                                 bool italic, int quality)
{
  DWORD gdiQuality = NONANTIALIASED_QUALITY;
  if (quality == 0)
    gdiQuality = DEFAULT_QUALITY;
  else if (quality == 2)
    gdiQuality = ANTIALIASED_QUALITY;
  else if (quality == 3)
    gdiQuality = CLEARTYPE_QUALITY;
  return CreateFontA(height, 0, escapement, escapement, bold ? FW_BOLD : FW_NORMAL, italic, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, gdiQuality, DEFAULT_PITCH,
                     face ? face : "");
}

void LICE_GlyphSource::DeleteSystemFont(LICE_FontHandle font)
{
  if (font)
    DeleteObject(font);
}

bool LICE_GlyphSource::IsLiveSystemFont(LICE_FontHandle font)
{
  return font && GetObjectType(font) == OBJ_FONT;
}

int LICE_GlyphSource::LineHeight(LICE_FontHandle font)
{
  HDC dc = font ? GlyphScratchDC(256) : nullptr;
  if (!dc)
    return 0;
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  const BOOL ok = GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  return ok ? int(metrics.tmHeight) : 0;
}

bool LICE_GlyphSource::RenderGlyph(LICE_FontHandle font, int lineHeight, unsigned short code,
                                   LICE_GlyphRaster& out)
{
  const int size = std::max(1, lineHeight) * 2 + 8;
  HDC dc = font ? GlyphScratchDC(size) : nullptr;
  if (!dc)
    return false;
  HGDIOBJ previous = SelectObject(dc, font);
  const wchar_t unit = wchar_t(code);
  RECT measured = {0, 0, 0, 0};
  DrawTextW(dc, &unit, 1, &measured, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
  int advance = measured.right;
  int height = measured.bottom;
  const int margin = lineHeight / 16 + 2;
  int right = advance + (lineHeight / 8 + 2) + margin;

  LICE_FillArea(glyphScratch, 0, 0, right, height, 0, 1.0f, ComposeCopy);
  RECT place = {margin, 0, right, height};
  DrawTextW(dc, &unit, 1, &place, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
  GdiFlush();
  advance = std::min(advance, glyphScratch->Width());
  right = std::min(right, glyphScratch->Width());
  height = std::min(height, glyphScratch->Height());
  SelectObject(dc, previous);

  out.advance = advance;
  out.height = height;
  out.boxWidth = right;
  out.margin = margin;
  // Pixels are blue, green, red, alpha in memory: coverage is byte 2 of each.
  out.coverage = reinterpret_cast<const std::uint8_t*>(glyphScratch->Pixels()) + 2;
  out.columnStep = 4;
  out.rowStride = glyphScratch->RowStride() * 4;
  return true;
}

bool LICE_GlyphSource::HasSystemDrawing()
{
  return true;
}

int LICE_GlyphSource::DrawSystemText(const LICE_SystemText& call)
{
  if (!call.font || !call.text || !call.rect)
    return 0;
  const GdiText text(call.text, call.length);
  const UINT flags = UINT(call.flags) & kGdiTextFlags;
  HDC dc = call.dest ? call.dest->DeviceContext() : nullptr;
  if (!dc)
    return DrawWithoutContext(call, text, flags);
  RECT rect = ToRECT(*call.rect);
  const int result = DrawInto(dc, call, text, &rect, flags);
  if (flags & DT_CALCRECT)
    *call.rect = {int(rect.left), int(rect.top), int(rect.right), int(rect.bottom)};
  return result;
}

bool LICE_GlyphSource::RunsUnderWine()
{
  if (wineOverride >= 0)
    return wineOverride == 1;
  if (wineAnswer < 0)
  {
    HKEY key = nullptr;
    wineAnswer = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) == ERROR_SUCCESS ? 1 : 0;
    if (key)
      RegCloseKey(key);
  }
  return wineAnswer == 1;
}

void LICE_GlyphSource::OverrideWineAnswer(int answer)
{
  wineOverride = answer < 0 ? -1 : (answer ? 1 : 0);
}

void LICE_GlyphSource::ReleaseScratch()
{
  delete glyphScratch;
  glyphScratch = nullptr;
  delete drawScratch;
  drawScratch = nullptr;
}
