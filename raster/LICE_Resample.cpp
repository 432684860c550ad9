#include "raster/LICE_Resample.h"

#include "raster/LICE_CombineRules.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace lice_detail;

namespace {

// The source pixels one output pixel takes and their weights (summing to
// 65536), for one axis.
struct Taps
{
  std::vector<int> first;   // per output pixel: index into index/weight
  std::vector<int> count;
  std::vector<int> index;
  std::vector<int> weight;
};

// begin, length: the region on this axis in source pixels; lo..hi: the
// source pixels the region may read (its edges clamped to the bitmap).
Taps AxisTaps(int outLength, double begin, double length, int lo, int hi)
{
  Taps t;
  t.first.resize(std::size_t(outLength));
  t.count.resize(std::size_t(outLength));
  const double ratio = length / outLength;
  std::vector<std::pair<int, double>> raw;
  for (int o = 0; o < outLength; ++o)
  {
    raw.clear();
    if (ratio > 1.0)
    {
      // Area: the part of each source pixel within [a, b).
      const double a = begin + o * ratio, b = a + ratio;
      for (int s = int(std::floor(a)); s < b; ++s)
      {
        const double part = std::min(b, s + 1.0) - std::max(a, double(s));
        if (part > 0.0) raw.emplace_back(std::clamp(s, lo, hi), part);
      }
    }
    else
    {
      // Linear between the pixel centres around the output pixel's centre.
      const double c = begin + (o + 0.5) * ratio - 0.5;
      const double f = std::floor(c);
      const double frac = c - f;
      raw.emplace_back(std::clamp(int(f), lo, hi), 1.0 - frac);
      if (frac > 0.0) raw.emplace_back(std::clamp(int(f) + 1, lo, hi), frac);
    }
    double total = 0.0;
    for (const auto& r : raw) total += r.second;
    t.first[std::size_t(o)] = int(t.index.size());
    int given = 0;
    for (std::size_t k = 0; k < raw.size(); ++k)
    {
      int w = total > 0.0 ? int(raw[k].second / total * 65536.0 + 0.5) : 0;
      if (k + 1 == raw.size()) w = 65536 - given;  // the weights sum exactly
      given += w;
      t.index.push_back(raw[k].first);
      t.weight.push_back(w);
    }
    t.count[std::size_t(o)] = int(raw.size());
  }
  return t;
}

// Alpha-weighted sums of one row of the horizontal pass: a, and b, g, r times a.
struct Sums
{
  std::int64_t a, b, g, r;
};

}  // namespace

bool LICE_ResampleRegion(LICE_MemBitmap* out, int outW, int outH, LICE_IBitmap* src, float srcX, float srcY,
                         float srcW, float srcH)
{
  for (float v : {srcX, srcY, srcW, srcH})
    if (!std::isfinite(v))
      return false;
  Surface s;
  if (!out || outW < 1 || outH < 1 || !(srcW > 0.0f) || !(srcH > 0.0f) || !GetSurface(src, s))
    return false;
  const int lx = std::max(0, int(std::floor(srcX))), ly = std::max(0, int(std::floor(srcY)));
  const int hx = std::min(s.width - 1, int(std::ceil(double(srcX) + srcW)) - 1);
  const int hy = std::min(s.height - 1, int(std::ceil(double(srcY) + srcH)) - 1);
  if (lx > hx || ly > hy)
    return false;
  out->SetSize(outW, outH);
  Surface d;
  if (!GetSurface(out, d) || d.width != outW || d.height != outH)
    return false;

  const Taps tx = AxisTaps(outW, srcX, srcW, lx, hx);
  const Taps ty = AxisTaps(outH, srcY, srcH, ly, hy);

  // Horizontal pass over the source rows the vertical taps need, into
  // 16.16-weighted sums, then the vertical pass per output pixel.
  const int rows = hy - ly + 1;
  std::vector<Sums> across(std::size_t(rows) * std::size_t(outW));
  for (int y = 0; y < rows; ++y)
  {
    const Px* row = s.Row(ly + y);
    Sums* to = &across[std::size_t(y) * std::size_t(outW)];
    for (int o = 0; o < outW; ++o)
    {
      Sums sum{0, 0, 0, 0};
      const int f = tx.first[std::size_t(o)];
      for (int k = 0; k < tx.count[std::size_t(o)]; ++k)
      {
        const Px p = row[tx.index[std::size_t(f + k)]];
        const std::int64_t wa = std::int64_t(tx.weight[std::size_t(f + k)]) * Ch(p, 24);
        sum.a += wa;
        sum.b += wa * Ch(p, 0);
        sum.g += wa * Ch(p, 8);
        sum.r += wa * Ch(p, 16);
      }
      to[o] = sum;
    }
  }
  for (int o = 0; o < outH; ++o)
  {
    Px* dst = d.Row(o);
    const int f = ty.first[std::size_t(o)];
    for (int x = 0; x < outW; ++x)
    {
      Sums sum{0, 0, 0, 0};
      for (int k = 0; k < ty.count[std::size_t(o)]; ++k)
      {
        const Sums& a = across[std::size_t(ty.index[std::size_t(f + k)] - ly) * std::size_t(outW) + std::size_t(x)];
        const std::int64_t w = ty.weight[std::size_t(f + k)];
        sum.a += a.a * w;
        sum.b += a.b * w;
        sum.g += a.g * w;
        sum.r += a.r * w;
      }
      // sum.a is alpha in 2^32 units; colours are alpha-weighted.
      const int alpha = Clamp255(int((sum.a + (std::int64_t(1) << 31)) >> 32));
      if (sum.a <= 0)
      {
        dst[x] = 0;
        continue;
      }
      auto colour = [&](std::int64_t c) { return Clamp255(int((c + sum.a / 2) / sum.a)); };
      dst[x] = Pack(colour(sum.b), colour(sum.g), colour(sum.r), alpha);
    }
  }
  return true;
}
