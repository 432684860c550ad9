#include "raster/LICE_Compose.h"

#include "raster/LICE_CombineRules.h"
#include "raster/LICE_ComposeRows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

using namespace lice_detail;

namespace {

template <class Op>
void ComposeRows(const Surface& dst, int dx, int dy, const Surface& src, int sx, int sy, int width,
                 int height, Op op)
{
  for (int row = 0; row < height; ++row)
  {
    Px* d = dst.At(dx, dy + row);
    const Px* s = src.At(sx, sy + row);
    for (int i = 0; i < width; ++i)
      d[i] = op(d[i], s[i]);
  }
}

template <class Op>
void FillRows(const Surface& dst, int x, int y, int width, int height, Op op)
{
  for (int row = 0; row < height; ++row)
  {
    Px* d = dst.At(x, y + row);
    for (int i = 0; i < width; ++i)
      d[i] = op(d[i]);
  }
}

std::int64_t ClampToInt(std::int64_t v)
{
  return std::max<std::int64_t>(INT32_MIN, std::min<std::int64_t>(INT32_MAX, v));
}

}  // namespace

void LICE_CopyRegion(LICE_IBitmap* dest, LICE_IBitmap* src, int dstX, int dstY,
                     const LICE_Rect* srcRect, float alpha, LICE_ComposeMode mode)
{
  if (!dest || !src || alpha == 0.0f || std::isnan(alpha))
    return;

  // Coordinates are widened so that no combination of arguments overflows.
  std::int64_t dx = dstX, dy = dstY;
  std::int64_t sx = 0, sy = 0;
  std::int64_t right = src->Width(), bottom = src->Height();
  if (srcRect)
  {
    right = std::min<std::int64_t>(right, srcRect->right);
    bottom = std::min<std::int64_t>(bottom, srcRect->bottom);
    if (srcRect->left < 0)
      dx -= srcRect->left;
    else
      sx = srcRect->left;
    if (srcRect->top < 0)
      dy -= srcRect->top;
    else
      sy = srcRect->top;
  }
  if (dx < 0)
  {
    sx -= dx;
    dx = 0;
  }
  if (dy < 0)
  {
    sy -= dy;
    dy = 0;
  }
  const std::int64_t destW = dest->Width(), destH = dest->Height();
  if (sx < 0 || sx >= right || sy < 0 || sy >= bottom || dx >= destW || dy >= destH)
    return;
  const std::int64_t width = std::min(right, sx + destW - dx) - sx;
  const std::int64_t height = std::min(bottom, sy + destH - dy) - sy;
  Surface d, s;
  if (width <= 0 || height <= 0 || !GetSurface(dest, d) || !GetSurface(src, s))
    return;
  const int w = int(width), h = int(height), x = int(dx), y = int(dy), sxi = int(sx), syi = int(sy);

  const LICE_ComposeMode code = mode & ComposeCodeMask;
  if (code >= ComposeChannelCopy)
  {
    const int from = int(mode & 3) * 8;
    const int to = int((mode >> 2) & 3) * 8;
    ComposeRows(d, x, y, s, sxi, syi, w, h, [from, to](Px dp, Px sp) {
      return (dp & ~(Px(0xFF) << to)) | (((sp >> from) & 0xFF) << to);
    });
    return;
  }
  if ((mode & (ComposeSourceAlpha | ComposeCodeMask)) == ComposeCopy)
  {
    if (alpha == 1.0f)
    {
      for (int row = 0; row < h; ++row)
        std::memmove(d.At(x, y + row), s.At(sxi, syi + row), size_t(w) * sizeof(Px));
      return;
    }
    if (alpha == 0.5f)
    {
      ComposeRows(d, x, y, s, sxi, syi, w, h, [](Px dp, Px sp) { return Half(sp, dp); });
      return;
    }
  }
  const int weight = Weight(alpha);
  if ((mode & (ComposeSourceAlpha | ComposeCodeMask)) == (ComposeSourceAlpha | ComposeCopy) && weight == 256)
  {
    for (int row = 0; row < h; ++row)
      LICE_CopySourceAlphaRow(d.At(x, y + row), s.At(sxi, syi + row), w);
    return;
  }
  if ((mode & (ComposeSourceAlpha | ComposeCodeMask)) == (ComposeSourceAlpha | ComposeAdd) && weight > 0)
  {
    for (int row = 0; row < h; ++row)
      LICE_AddSourceAlphaRow(d.At(x, y + row), s.At(sxi, syi + row), w, weight);
    return;
  }
  WithPixelRule(mode, weight, [&](auto op) { ComposeRows(d, x, y, s, sxi, syi, w, h, op); });
}

void LICE_CopyBlock(LICE_IBitmap* dest, LICE_IBitmap* src, int dstX, int dstY, int srcX, int srcY,
                    int width, int height, float alpha, LICE_ComposeMode mode)
{
  const LICE_Rect rect = {srcX, srcY, int(ClampToInt(std::int64_t(srcX) + width)),
                          int(ClampToInt(std::int64_t(srcY) + height))};
  LICE_CopyRegion(dest, src, dstX, dstY, &rect, alpha, mode);
}

void LICE_FillArea(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_PixelWord colour,
                   float alpha, LICE_ComposeMode mode)
{
  if (mode & ComposeSourceAlpha)
    alpha = alpha * (float(colour >> 24) * 0.003921569f);

  std::int64_t x0 = x, y0 = y, w = width, h = height;
  if (x0 < 0)
  {
    w += x0;
    x0 = 0;
  }
  if (y0 < 0)
  {
    h += y0;
    y0 = 0;
  }
  Surface d;
  if (alpha == 0.0f || std::isnan(alpha) || !GetSurface(dest, d) || w <= 0 || h <= 0 || x0 >= d.width ||
      y0 >= d.height)
    return;
  w = std::min<std::int64_t>(w, d.width - x0);
  h = std::min<std::int64_t>(h, d.height - y0);
  const int xi = int(x0), yi = int(y0), wi = int(w), hi = int(h);
  const Px c = colour;
  const int weight = Weight(alpha);

  if ((mode & ComposeCodeMask) == ComposeCopy)
  {
    switch (weight)
    {
      case 256:
        for (int row = 0; row < hi; ++row)
          std::fill_n(d.At(xi, yi + row), wi, c);
        return;
      case 128: FillRows(d, xi, yi, wi, hi, [c](Px dp) { return Half(c, dp); }); return;
      case 64: FillRows(d, xi, yi, wi, hi, [c](Px dp) { return Quarter(c, dp); }); return;
      case 192: FillRows(d, xi, yi, wi, hi, [c](Px dp) { return ThreeQuarters(c, dp); }); return;
      default: break;
    }
    if (weight > 0)
      for (int row = 0; row < hi; ++row)
        LICE_FillCopyRow(d.At(xi, yi + row), wi, c, weight);
    return;
  }
  if (weight == 0)
    return;
  WithSolidRule(mode, [&](auto rule) {
    using Rule = decltype(rule);
    FillRows(d, xi, yi, wi, hi, [c, weight](Px dp) { return Rule::Apply(dp, c, weight); });
  });
}

void LICE_StampMask(LICE_IBitmap* dest, int x, int y, LICE_PixelWord colour, const std::uint8_t* mask,
                    int maskWidth, int maskStride, int maskHeight, float alpha, LICE_ComposeMode mode)
{
  Surface d;
  if (!mask || maskWidth <= 0 || maskHeight <= 0 || !GetSurface(dest, d))
    return;
  const int weight = Weight(alpha);
  if (weight == 0 || ((mode & ComposeCodeMask) == ComposeCopy && weight < 0))
    return;

  const std::int64_t firstCol = x < 0 ? -std::int64_t(x) : 0;
  const std::int64_t firstRow = y < 0 ? -std::int64_t(y) : 0;
  const std::int64_t endCol = std::min<std::int64_t>(maskWidth, std::int64_t(d.width) - x);
  const std::int64_t endRow = std::min<std::int64_t>(maskHeight, std::int64_t(d.height) - y);
  if (firstCol >= endCol || firstRow >= endRow)
    return;

  WithSolidRule(mode, [&](auto rule) {
    using Rule = decltype(rule);
    for (std::int64_t row = firstRow; row < endRow; ++row)
    {
      const std::uint8_t* m = mask + std::ptrdiff_t(row) * maskStride;
      Px* out = d.Row(int(y + row));
      for (std::int64_t col = firstCol; col < endCol; ++col)
        if (m[col])
          out[x + col] = Rule::Apply(out[x + col], colour, weight * m[col] / 256);
    }
  });
}
