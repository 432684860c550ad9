#pragma once
// Slow, literal versions of the rotated copy and the arc rasteriser: one
// pixel at a time, every rule written out channel by channel, every point
// tested against its box. The library's loops are tuned for speed; the
// guard tests hold them to these pixel for pixel.

#include "raster/LICE_Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace reference {

using Px = LICE_PixelWord;

inline int Ch(Px p, int shift) { return int((p >> shift) & 0xFF); }
inline int Clamp(int v) { return std::max(0, std::min(255, v)); }
inline Px Pack(const int c[4])
{
  return Px(c[0]) | Px(c[1]) << 8 | Px(c[2]) << 16 | Px(c[3]) << 24;
}

inline int WeightOf(float alpha)
{
  if (std::isnan(alpha))
    return 0;
  const float scaled = alpha * 256.0f;
  return scaled >= 256.0f ? 256 : scaled <= -256.0f ? -256 : int(scaled);
}

inline int Dodge(int d, int k)
{
  if (k > 254)
    return Clamp(d * 256);
  return Clamp(d * 256 / (256 - k));
}

//! Solid-colour rule of combine code `code` (0 copy, 1 add, 2 dodge) at w.
inline Px Solid(int code, Px d, Px s, int w)
{
  int out[4];
  for (int k = 0; k < 4; ++k)
  {
    const int dc = Ch(d, 8 * k), sc = Ch(s, 8 * k);
    if (code == 0)
      out[k] = w >= 256 ? sc : w <= 0 ? dc : sc + (dc - sc) * (256 - w) / 256;
    else if (code == 1)
      out[k] = Clamp(dc + sc * w / 256);
    else
      out[k] = Dodge(dc, sc * w / 256);
  }
  return Pack(out);
}

//! Source-pixel rule of `mode` (code and source-alpha bit) at weight w.
inline Px FromSource(LICE_ComposeMode mode, Px d, Px s, int w)
{
  const int code = int(mode & ComposeCodeMask);
  if (!(mode & ComposeSourceAlpha))
    return Solid(code, d, s, w);
  const int sa = Ch(s, 24);
  if (code == 2)
    return Solid(2, d, s, w * (sa + 1) / 256);
  if (sa == 0)
    return d;
  int out[4];
  if (code == 1)
  {
    const int ws = w * (sa + 1) / 256;
    for (int k = 0; k < 3; ++k)
      out[k] = Clamp(Ch(d, 8 * k) + Ch(s, 8 * k) * ws / 256);
    out[3] = Clamp(Ch(d, 24) + sa * ws / 256);
    return Pack(out);
  }
  const int keep = w >= 256 ? 255 - sa : 256 - w * (sa + 1) / 256;
  const int add = w >= 256 ? sa : w * (sa + 1) / 256;
  for (int k = 0; k < 3; ++k)
    out[k] = Ch(s, 8 * k) + (Ch(d, 8 * k) - Ch(s, 8 * k)) * keep / 256;
  out[3] = std::min(255, Ch(d, 24) + add);
  return Pack(out);
}

struct Canvas
{
  LICE_IBitmap* bitmap;
  Px* At(int x, int y) const
  {
    const int row = bitmap->IsBottomUp() ? bitmap->Height() - 1 - y : y;
    return bitmap->Pixels() + std::ptrdiff_t(row) * bitmap->RowStride() + x;
  }
};

// ---- Rotated copy. ----

inline Px Bilinear(const Canvas& src, int left, int top, int width, int height, std::int64_t s, std::int64_t t)
{
  const int x = int(s >> 16), y = int(t >> 16);
  const std::uint32_t fx = std::uint32_t(s & 0xFFFF), fy = std::uint32_t(t & 0xFFFF);
  const bool lastCol = x == width - 1, lastRow = y == height - 1;
  const Px tl = *src.At(left + x, top + y);
  if (lastCol && lastRow)
    return tl;
  int out[4];
  for (int k = 0; k < 4; ++k)
  {
    const std::uint32_t a = std::uint32_t(Ch(tl, 8 * k));
    std::uint32_t sum;
    if (lastCol)
      sum = a * (65536 - fy) + std::uint32_t(Ch(*src.At(left + x, top + y + 1), 8 * k)) * fy;
    else if (lastRow)
      sum = a * (65536 - fx) + std::uint32_t(Ch(*src.At(left + x + 1, top + y), 8 * k)) * fx;
    else
    {
      const std::uint32_t q = (fx * fy) >> 16;
      sum = a * (65536 - fx - fy + q) + std::uint32_t(Ch(*src.At(left + x + 1, top + y), 8 * k)) * (fx - q) +
            std::uint32_t(Ch(*src.At(left + x, top + y + 1), 8 * k)) * (fy - q) +
            std::uint32_t(Ch(*src.At(left + x + 1, top + y + 1), 8 * k)) * q;
    }
    out[k] = int((sum >> 16) & 0xFF);
  }
  return Pack(out);
}

inline std::int64_t Fixed(double v, double limit)
{
  return std::int64_t(std::max(-limit, std::min(limit, v * 65536.0)));
}

inline void RotateRegion(LICE_IBitmap* dest, LICE_IBitmap* src, int dstX, int dstY, int dstW, int dstH, float srcX,
                         float srcY, float srcW, float srcH, float angle, bool clip, float alpha,
                         LICE_ComposeMode mode, float offX = 0, float offY = 0)
{
  const int srcWidth = src->Width(), srcHeight = src->Height();
  double wl = 0, wt = 0, wr = srcWidth, wb = srcHeight;
  if (clip)
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
  const int left = int(wl), top = int(wt), width = int(wr) - left, height = int(wb) - top;
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
  const float dsdx = xScale * cs, dtdx = -yScale * sn, dsdy = xScale * sn, dtdy = yScale * cs;
  double s0 = srcX - ((float(dh) * dsdy + float(dw) * dsdx - srcW) / 2 - offX);
  double t0 = srcY - ((float(dw) * dtdx + float(dh) * dtdy - srcH) / 2 - offY);
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
  const int w = WeightOf(alpha);
  const int code = int(mode & ComposeCodeMask);
  if (dw < 1 || dh < 1 || dx >= dest->Width() || dy >= dest->Height() || width <= 0 || height <= 0 || w == 0 ||
      code > 2 || (code == 0 && w < 0))
    return;
  dw = std::min<std::int64_t>(dw, dest->Width() - dx);
  dh = std::min<std::int64_t>(dh, dest->Height() - dy);
  const std::int64_t fs0 = Fixed(s0 - left, 70368744177664.0), ft0 = Fixed(t0 - top, 70368744177664.0);
  const std::int64_t fdsdx = Fixed(dsdx, 1073741824.0), fdtdx = Fixed(dtdx, 1073741824.0);
  const std::int64_t fdsdy = Fixed(dsdy, 1073741824.0), fdtdy = Fixed(dtdy, 1073741824.0);
  const Canvas d{dest}, s{src};
  for (std::int64_t row = 0; row < dh; ++row)
    for (std::int64_t i = 0; i < dw; ++i)
    {
      const std::int64_t sp = fs0 + row * fdsdy + i * fdsdx, tp = ft0 + row * fdtdy + i * fdtdx;
      const std::int64_t x = sp >> 16, y = tp >> 16;
      if (x < 0 || y < 0 || x >= width || y >= height)
        continue;
      const Px sample =
        (mode & ComposeBilinear) ? Bilinear(s, left, top, width, height, sp, tp) : *s.At(left + int(x), top + int(y));
      Px* out = d.At(int(dx + i), int(dy + row));
      *out = FromSource(mode, *out, sample, w);
    }
}

// ---- Arcs. ----

struct Box
{
  int left, top, right, bottom;
};

struct Pen
{
  Canvas canvas;
  Box box;
  Px colour;
  int code;
  void Put(int x, int y, int w) const
  {
    if (w != 0 && x >= box.left && x < box.right && y >= box.top && y < box.bottom)
      *canvas.At(x, y) = Solid(code, *canvas.At(x, y), colour, w);
  }
  void Row(int y, int x0, int x1, int w) const
  {
    for (int x = x0; x <= x1; ++x)
      Put(x, y, w);
  }
  void Column(int x, int y0, int y1, int w) const
  {
    for (int y = y0; y <= y1; ++y)
      Put(x, y, w);
  }
  void FillRound(int X, int Y, int i, int extent, int w) const
  {
    for (int col : {X - i, X + i})
    {
      Column(col, Y - extent, Y - i - 1, w);
      Column(col, Y + i + 1, Y + extent, w);
    }
    for (int row : {Y - i, Y + i})
    {
      Row(row, X - extent, X - i, w);
      Row(row, X + i, X + extent, w);
    }
  }
};

inline void Circle(const Pen& pen, float cx, float cy, float r, int w, bool filled, bool antialias)
{
  const int X = int(cx + 0.5), Y = int(cy + 0.5);
  if (!antialias)
  {
    const int R = int(r + 0.5);
    if (filled)
    {
      pen.Column(X, Y - R, Y - 1, w);
      pen.Column(X, Y + 1, Y + R, w);
      pen.Row(Y, X - R, X + R, w);
    }
    else
    {
      pen.Put(X, Y - R, w);
      pen.Put(X + R, Y, w);
      pen.Put(X, Y + R, w);
      pen.Put(X - R, Y, w);
    }
    int x = R, e = -R;
    for (int i = 1; i < x; ++i)
    {
      const int xp = e >= 0 ? x - 1 : x;
      if (filled)
        pen.FillRound(X, Y, i, xp, w);
      else
        for (int sy : {-1, 1})
          for (int sx : {-1, 1})
          {
            pen.Put(X + sx * i, Y + sy * xp, w);
            if (i != xp)
              pen.Put(X + sx * xp, Y + sy * i, w);
          }
      e += 2 * i + (e < 0 ? 1 : 3 - 2 * x);
      x = xp;
    }
    return;
  }
  const int R = int(r);
  const int a0 = int((double(r) - std::floor(double(r))) * w);
  pen.Put(X, Y - R - 1, a0);
  pen.Put(X, Y + R + 1, a0);
  pen.Put(X - R - 1, Y, a0);
  pen.Put(X + R + 1, Y, a0);
  if (filled)
  {
    pen.Column(X, Y - R, Y - 1, w);
    pen.Column(X, Y + 1, Y + R, w);
    pen.Row(Y, X - R, X + R, w);
  }
  else
  {
    pen.Put(X, Y - R, w - a0);
    pen.Put(X + R, Y, w - a0);
    pen.Put(X, Y + R, w - a0);
    pen.Put(X - R, Y, w - a0);
  }
  for (int i = 1; double(r) * r - double(i) * i >= 0; ++i)
  {
    const double h = std::sqrt(double(r) * r - double(i) * i);
    const int H = int(h), a = int((h - std::floor(h)) * w), m = int(h + 0.5);
    if (i > m)
      break;
    const bool last = i == m;
    for (int s : {-1, 1})
    {
      pen.Put(X + s * i, Y - H - 1, a);
      pen.Put(X + s * i, Y + H + 1, a);
      if (!last)
      {
        pen.Put(X + s * (H + 1), Y - i, a);
        pen.Put(X + s * (H + 1), Y + i, a);
      }
    }
    if (filled)
    {
      pen.FillRound(X, Y, i, H, w);
      continue;
    }
    for (int s : {-1, 1})
    {
      pen.Put(X + s * H, Y - i, w - a);
      pen.Put(X + s * i, Y + H, w - a);
      if (!last)
      {
        pen.Put(X + s * i, Y - H, w - a);
        pen.Put(X + s * H, Y + i, w - a);
      }
    }
  }
}

//! An arc or sector below a full turn, within the bitmap, at a usable weight.
inline void ArcPieces(LICE_IBitmap* dest, float cx, float cy, float r, float from, float to, Px colour, float alpha,
                      LICE_ComposeMode mode, bool antialias, bool filled)
{
  constexpr float kTwoPi = 6.2831855f, kHalfPi = 1.5707964f;
  if (from > to)
    std::swap(from, to);
  if (to >= kTwoPi)
  {
    const float wrapped = std::fmod(to, kTwoPi);
    from += wrapped - to;
    to = wrapped;
  }
  else if (from <= -kTwoPi)
  {
    const float wrapped = std::fmod(from, kTwoPi);
    to += wrapped - from;
    from = wrapped;
  }
  const int w = WeightOf(alpha);
  from += kTwoPi;
  to += kTwoPi;
  const int X = int(cx + 0.5), Y = int(cy + 0.5);
  const Pen base{Canvas{dest}, {}, colour, int(mode & ComposeCodeMask)};
  float a = from;
  for (int piece = 0; piece < 6 && a < to; ++piece)
  {
    float next = (std::floor(a / kHalfPi) + 1.0f) * kHalfPi;
    if (!(next > a))
      next = (std::floor(a / kHalfPi) + 2.0f) * kHalfPi;
    const float end = std::min(next, to);
    const int x1 = int(double(cx) + double(r) * std::sin(double(a)) + 0.5);
    const int y1 = int(double(cy) - double(r) * std::cos(double(a)) + 0.5);
    const int x2 = int(double(cx) + double(r) * std::sin(double(end)) + 0.5);
    const int y2 = int(double(cy) - double(r) * std::cos(double(end)) + 0.5);
    const int maxX = std::max(x1, x2), maxY = std::max(y1, y2);
    Box box = {std::min(x1, x2), std::min(y1, y2), maxX + (maxX != X ? 2 : 1), maxY + (maxY != Y ? 2 : 1)};
    if (piece > 0)
    {
      // The shared axis line was drawn by the previous piece.
      const int quarter = int(std::lround(a / kHalfPi)) & 3;
      if (quarter == 0 || quarter == 2)
      {
        if (box.left == X)
          box.left = X + 1;
        else if (box.right - 1 == X)
          box.right = X;
      }
      else if (box.top == Y)
        box.top = Y + 1;
      else if (box.bottom - 1 == Y)
        box.bottom = Y;
    }
    box.left = std::max(box.left, 0);
    box.top = std::max(box.top, 0);
    box.right = std::min(box.right, dest->Width());
    box.bottom = std::min(box.bottom, dest->Height());
    Pen pen = base;
    pen.box = box;
    if (box.left < box.right && box.top < box.bottom)
      Circle(pen, cx, cy, r, w, filled, antialias);
    a = end;
  }
}

}  // namespace reference
