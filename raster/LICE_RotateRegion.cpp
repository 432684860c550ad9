#include "raster/LICE_Compose.h"

#include "raster/LICE_CombineRules.h"

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

template <bool Bilinear, class Op>
void RotateRows(const Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, const Window& win,
                std::int64_t s0, std::int64_t t0, std::int64_t dsdx, std::int64_t dtdx, std::int64_t dsdy,
                std::int64_t dtdy, Op op)
{
  for (int row = 0; row < dh; ++row)
  {
    std::int64_t s = s0 + row * dsdy;
    std::int64_t t = t0 + row * dtdy;
    Px* out = dst.At(dx, dy + row);
    for (int i = 0; i < dw; ++i, s += dsdx, t += dtdx)
    {
      const std::int64_t xi = s >> 16, yi = t >> 16;
      if (xi < 0 || yi < 0 || xi >= win.width || yi >= win.height)
        continue;
      const Px* p = src.At(win.left + int(xi), win.top + int(yi));
      Px sample;
      if (!Bilinear)
      {
        sample = *p;
      }
      else
      {
        const std::uint32_t fx = std::uint32_t(s & 0xFFFF), fy = std::uint32_t(t & 0xFFFF);
        const bool lastCol = xi == win.width - 1, lastRow = yi == win.height - 1;
        if (lastCol && lastRow)
          sample = *p;
        else if (lastCol)
          sample = BlendPair(p[0], *(p + src.stride), fy);
        else if (lastRow)
          sample = BlendPair(p[0], p[1], fx);
        else
          sample = BlendFour(p[0], p[1], *(p + src.stride), *(p + src.stride + 1), fx, fy);
      }
      out[i] = op(out[i], sample);
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
