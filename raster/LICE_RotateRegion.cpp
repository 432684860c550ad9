#include "raster/LICE_Compose.h"

#include "raster/LICE_CombineRules.h"
#include "raster/LICE_ComposeRows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace lice_detail;

namespace {

// The source window in pixels; samples outside it draw nothing.
struct Window
{
  int left, top, width, height;
};

// 16.16 values are kept in 64 bits; starts and steps are limited so that a
// whole destination of any size can be stepped without overflow.
std::int64_t ToFixed(double v, double limit)
{
  const double scaled = v * 65536.0;
  return std::int64_t(std::max(-limit, std::min(limit, scaled)));
}

inline Px BlendPair(Px a, Px b, std::uint32_t fb)
{
  const std::uint32_t fa = 65536 - fb;
  Px out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= Px(((((a >> shift) & 0xFF) * fa + ((b >> shift) & 0xFF) * fb) >> 16) & 0xFF) << shift;
  return out;
}

inline Px BlendFour(Px tl, Px tr, Px bl, Px br, std::uint32_t fx, std::uint32_t fy)
{
  const std::uint32_t q = (fx * fy) >> 16;
  const std::uint32_t wtl = 65536 - fx - fy + q, wtr = fx - q, wbl = fy - q, wbr = q;
  Px out = 0;
  for (int shift = 0; shift < 32; shift += 8)
  {
    const std::uint32_t sum = ((tl >> shift) & 0xFF) * wtl + ((tr >> shift) & 0xFF) * wtr +
                              ((bl >> shift) & 0xFF) * wbl + ((br >> shift) & 0xFF) * wbr;
    out |= Px((sum >> 16) & 0xFF) << shift;
  }
  return out;
}

// A sample at integer point (xi, yi) of the window, with the neighbours the
// window holds.
inline Px EdgeSample(const Px* p, std::ptrdiff_t stride, bool lastCol, bool lastRow, std::uint32_t fx,
                     std::uint32_t fy)
{
  if (lastCol && lastRow)
    return *p;
  if (lastCol)
    return BlendPair(p[0], *(p + stride), fy);
  if (lastRow)
    return BlendPair(p[0], p[1], fx);
  return BlendFour(p[0], p[1], *(p + stride), *(p + stride + 1), fx, fy);
}

// Rules that leave the destination alone under a source pixel of alpha 0,
// whatever its colour.
template <class Op>
constexpr bool kIgnoresTransparent = false;
template <>
constexpr bool kIgnoresTransparent<PixCopySourceAlphaFull> = true;
template <>
constexpr bool kIgnoresTransparent<PixCopySourceAlpha> = true;
template <>
constexpr bool kIgnoresTransparent<PixAddSourceAlpha> = true;

// The rule applied to a run of samples; copy with source alpha at full
// weight, the knobs' own case, has a vector loop.
template <class Op>
void CombineRun(Px* out, const Px* samples, int count, Op op)
{
  for (int i = 0; i < count; ++i)
    out[i] = op(out[i], samples[i]);
}
inline void CombineRun(Px* out, const Px* samples, int count, PixCopySourceAlphaFull)
{
  LICE_CopySourceAlphaRow(out, samples, count);
}

// Each destination row is walked in chunks: the samples of a chunk are
// gathered first (runs whose neighbours all lie inside the window in one
// vector call) and then combined with the destination as runs. Which pixels
// are drawn depends only on the integer part of the 16.16 point, exactly as
// when every pixel is tested and combined on its own.
template <bool Bilinear, class Op>
void RotateRows(const Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, const Window& win,
                std::int64_t s0, std::int64_t t0, std::int64_t dsdx, std::int64_t dtdx, std::int64_t dsdy,
                std::int64_t dtdy, Op op)
{
  constexpr int kChunk = 128;
  Px samples[kChunk];
  const Px* origin = src.At(win.left, win.top);
  const std::uint64_t width = std::uint64_t(win.width), height = std::uint64_t(win.height);
  auto inside = [&](std::int64_t s, std::int64_t t) {
    return std::uint64_t(s >> 16) < width && std::uint64_t(t >> 16) < height;
  };
  auto interior = [&](std::int64_t s, std::int64_t t) {
    return std::uint64_t(s >> 16) < width - 1 && std::uint64_t(t >> 16) < height - 1;
  };
  for (int row = 0; row < dh; ++row)
  {
    Px* out = dst.At(dx, dy + row);
    const std::int64_t rowS = s0 + row * dsdy, rowT = t0 + row * dtdy;
    for (int chunk = 0; chunk < dw; chunk += kChunk)
    {
      const int chunkEnd = std::min(dw, chunk + kChunk);
      int i = chunk;
      while (i < chunkEnd)
      {
        std::int64_t s = rowS + i * dsdx, t = rowT + i * dtdx;
        if (!inside(s, t))
        {
          ++i;
          continue;
        }
        const int first = i;
        while (i < chunkEnd && inside(s, t))
        {
          if (Bilinear && interior(s, t))
          {
            int end = i + 1;
            std::int64_t es = s + dsdx, et = t + dtdx;
            while (end < chunkEnd && interior(es, et))
            {
              ++end;
              es += dsdx;
              et += dtdx;
            }
            LICE_BilinearInteriorRun(samples + (i - chunk), origin, src.stride, s, t, dsdx, dtdx, end - i,
                                     kIgnoresTransparent<Op>);
            i = end;
            s = es;
            t = et;
            continue;
          }
          const std::int64_t xi = s >> 16, yi = t >> 16;
          const Px* p = origin + yi * src.stride + xi;
          samples[i - chunk] =
            Bilinear ? EdgeSample(p, src.stride, xi == win.width - 1, yi == win.height - 1,
                                  std::uint32_t(s & 0xFFFF), std::uint32_t(t & 0xFFFF))
                     : *p;
          ++i;
          s += dsdx;
          t += dtdx;
        }
        CombineRun(out + first, samples + (first - chunk), i - first, op);
      }
    }
  }
}

}  // namespace

void LICE_RotateRegion(LICE_IBitmap* dest, LICE_IBitmap* src, int dstX, int dstY, int dstW, int dstH,
                       float srcX, float srcY, float srcW, float srcH, float angle, bool clipToSourceRect,
                       float alpha, LICE_ComposeMode mode, float centreOffsetX, float centreOffsetY)
{
  if (!dest || !src || dstW == 0 || dstH == 0)
    return;
  for (float v : {srcX, srcY, srcW, srcH, angle, alpha, centreOffsetX, centreOffsetY})
    if (!std::isfinite(v))
      return;

  const int srcWidth = src->Width(), srcHeight = src->Height();
  double wl = 0, wt = 0, wr = srcWidth, wb = srcHeight;
  if (clipToSourceRect)
  {
    wl = std::max(0.0, double(srcX));
    wt = std::max(0.0, double(srcY));
    wr = std::min(double(srcWidth), double(srcX) + srcW);
    wb = std::min(double(srcHeight), double(srcY) + srcH);
  }
  wl = std::min(wl, double(srcWidth));
  wt = std::min(wt, double(srcHeight));
  wr = std::max(wr, wl);
  wb = std::max(wb, wt);
  const Window win = {int(wl), int(wt), int(wr) - int(wl), int(wb) - int(wt)};

  // Coordinates are widened so that mirroring and clipping cannot overflow.
  std::int64_t dx = dstX, dy = dstY, dw = dstW, dh = dstH;
  if (dw < 0)
  {
    dx += dw;
    dw = -dw;
    srcX += srcW;
    srcW = -srcW;
  }
  if (dh < 0)
  {
    dy += dh;
    dh = -dh;
    srcY += srcH;
    srcH = -srcH;
  }

  const float sn = std::sin(angle), cs = std::cos(angle);
  const float xScale = srcW / float(dw), yScale = srcH / float(dh);
  const float dsdx = xScale * cs, dtdx = -yScale * sn;
  const float dsdy = xScale * sn, dtdy = yScale * cs;
  double s0 = srcX - ((float(dh) * dsdy + float(dw) * dsdx - srcW) / 2 - centreOffsetX);
  double t0 = srcY - ((float(dw) * dtdx + float(dh) * dtdy - srcH) / 2 - centreOffsetY);

  if (dx < 0)
  {
    s0 -= double(dx) * dsdx;
    t0 -= double(dx) * dtdx;
    dw += dx;
    dx = 0;
  }
  if (dy < 0)
  {
    s0 -= double(dy) * dsdy;
    t0 -= double(dy) * dtdy;
    dh += dy;
    dy = 0;
  }
  Surface d, s;
  if (dw < 1 || dh < 1 || !GetSurface(dest, d) || dx >= d.width || dy >= d.height)
    return;
  dw = std::min<std::int64_t>(dw, d.width - dx);
  dh = std::min<std::int64_t>(dh, d.height - dy);
  if (win.width <= 0 || win.height <= 0 || !GetSurface(src, s))
    return;

  constexpr double kStartLimit = 70368744177664.0;  // 2^46
  constexpr double kStepLimit = 1073741824.0;       // 2^30
  const std::int64_t fs0 = ToFixed(s0 - win.left, kStartLimit), ft0 = ToFixed(t0 - win.top, kStartLimit);
  const std::int64_t fdsdx = ToFixed(dsdx, kStepLimit), fdtdx = ToFixed(dtdx, kStepLimit);
  const std::int64_t fdsdy = ToFixed(dsdy, kStepLimit), fdtdy = ToFixed(dtdy, kStepLimit);
  const int x = int(dx), y = int(dy), w = int(dw), h = int(dh);

  WithPixelRule(mode, Weight(alpha), [&](auto op) {
    if (mode & ComposeBilinear)
      RotateRows<true>(d, x, y, w, h, s, win, fs0, ft0, fdsdx, fdtdx, fdsdy, fdtdy, op);
    else
      RotateRows<false>(d, x, y, w, h, s, win, fs0, ft0, fdsdx, fdtdx, fdsdy, fdtdy, op);
  });
}
