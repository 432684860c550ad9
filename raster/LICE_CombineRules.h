#pragma once
// Private to raster/: the per-pixel combine rules and the addressing shared by
// the compositing and line drawing code. Every rule works on the four 8-bit
// channels of 0xAARRGGBB words in integers; "/ 256" truncates toward zero on
// signed values, as the rules require.

#include "raster/LICE_Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace lice_detail {

using Px = LICE_PixelWord;

inline int Ch(Px p, int shift) { return int((p >> shift) & 0xFF); }
inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline Px Pack(int b, int g, int r, int a)
{
  return Px(b) | (Px(g) << 8) | (Px(r) << 16) | (Px(a) << 24);
}

// The weight of an opacity, 1.0 -> 256. NaN counts as 0 and weights beyond
// full strength are held at +-256, so that no rule can leave 0..255.
inline int Weight(float alpha)
{
  if (!(alpha == alpha))
    return 0;
  const float scaled = alpha * 256.0f;
  if (scaled >= 256.0f)
    return 256;
  if (scaled <= -256.0f)
    return -256;
  return int(scaled);
}

// Whole-word averages used by the fast paths at opacities 1/2, 1/4 and 3/4.
inline Px Half(Px c, Px d) { return ((c >> 1) & 0x7F7F7F7Fu) + ((d >> 1) & 0x7F7F7F7Fu); }
inline Px Quarter(Px c, Px d)
{
  return ((c >> 2) & 0x3F3F3F3Fu) + ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu);
}
inline Px ThreeQuarters(Px c, Px d)
{
  return ((c >> 1) & 0x7F7F7F7Fu) + ((c >> 2) & 0x3F3F3F3Fu) + ((d >> 2) & 0x3F3F3F3Fu);
}

inline int CopyChannel(int d, int s, int keep) { return s + (d - s) * keep / 256; }
// Division by 1..511 as a multiply: floor(x / n) = (x * (2^32 / n + 1)) >> 32
// holds exactly for every x below 2^23, and dodge divides at most 255 * 256.
struct Reciprocals
{
  std::uint64_t of[512];
  constexpr Reciprocals() : of()
  {
    for (int n = 1; n < 512; ++n)
      of[n] = (std::uint64_t(1) << 32) / std::uint64_t(n) + 1;
  }
};
inline constexpr Reciprocals kReciprocals{};

// k is the weighted source channel, -255..255.
inline int DodgeChannel(int d, int k)
{
  if (k > 254)
    return d == 0 ? 0 : 255;
  const int q = int((std::uint64_t(d * 256) * kReciprocals.of[256 - k]) >> 32);
  return q > 255 ? 255 : q;
}

// Solid-colour rules: colour c on all four channels at weight w. A copy at
// weight 0 or below leaves the pixel alone.
struct SolidCopy
{
  static Px Apply(Px d, Px c, int w)
  {
    if (w >= 256)
      return c;
    if (w <= 0)
      return d;
    const int keep = 256 - w;
    return Pack(CopyChannel(Ch(d, 0), Ch(c, 0), keep), CopyChannel(Ch(d, 8), Ch(c, 8), keep),
                CopyChannel(Ch(d, 16), Ch(c, 16), keep), CopyChannel(Ch(d, 24), Ch(c, 24), keep));
  }
};

struct SolidAdd
{
  static Px Apply(Px d, Px c, int w)
  {
    return Pack(Clamp255(Ch(d, 0) + Ch(c, 0) * w / 256), Clamp255(Ch(d, 8) + Ch(c, 8) * w / 256),
                Clamp255(Ch(d, 16) + Ch(c, 16) * w / 256), Clamp255(Ch(d, 24) + Ch(c, 24) * w / 256));
  }
};

struct SolidDodge
{
  static Px Apply(Px d, Px c, int w)
  {
    return Pack(DodgeChannel(Ch(d, 0), Ch(c, 0) * w / 256), DodgeChannel(Ch(d, 8), Ch(c, 8) * w / 256),
                DodgeChannel(Ch(d, 16), Ch(c, 16) * w / 256), DodgeChannel(Ch(d, 24), Ch(c, 24) * w / 256));
  }
};

// Calls fn with the solid rule of the combine code in bits 0-7; codes without
// a rule here (multiply, overlay, HSV shift and unknown ones) draw nothing.
template <class Fn>
void WithSolidRule(LICE_ComposeMode mode, Fn&& fn)
{
  switch (mode & ComposeCodeMask)
  {
    case ComposeCopy: fn(SolidCopy{}); break;
    case ComposeAdd: fn(SolidAdd{}); break;
    case ComposeDodge: fn(SolidDodge{}); break;
    default: break;
  }
}

// Source-pixel rules. Each is a small function object so that every mode gets
// its own inner loop with no per-pixel mode test.
struct PixStore
{
  Px operator()(Px, Px s) const { return s; }
};
struct PixCopy
{
  int w;
  Px operator()(Px d, Px s) const { return SolidCopy::Apply(d, s, w); }
};
struct PixAdd
{
  int w;
  Px operator()(Px d, Px s) const { return SolidAdd::Apply(d, s, w); }
};
struct PixDodge
{
  int w;
  Px operator()(Px d, Px s) const { return SolidDodge::Apply(d, s, w); }
};

// The copy-with-source-alpha rules: colour channels keep keep/256 of the
// destination, alpha is the saturated sum of the destination and `alphaAdd`.
inline Px CopyColourAddAlpha(Px d, Px s, int keep, int alphaAdd)
{
  return Pack(CopyChannel(Ch(d, 0), Ch(s, 0), keep), CopyChannel(Ch(d, 8), Ch(s, 8), keep),
              CopyChannel(Ch(d, 16), Ch(s, 16), keep), std::min(255, Ch(d, 24) + alphaAdd));
}

// Copy with source alpha at full weight: the destination keeps (255 - sa)/256
// of its colour and its alpha saturates at d + sa. At sa = 255 the rule gives
// the source exactly; only sa = 0 needs to be told apart. The rules below are
// written without branches so that the compiler can vectorise the row loops.
struct PixCopySourceAlphaFull
{
  Px operator()(Px d, Px s) const
  {
    const int sa = int(s >> 24);
    return sa ? CopyColourAddAlpha(d, s, 255 - sa, sa) : d;
  }
};

// Copy with source alpha at partial weight: w' = w (sa + 1) / 256.
struct PixCopySourceAlpha
{
  int w;
  Px operator()(Px d, Px s) const
  {
    const int sa = int(s >> 24);
    const int ws = w * (sa + 1) / 256;
    return sa ? CopyColourAddAlpha(d, s, 256 - ws, ws) : d;
  }
};

struct PixAddSourceAlpha
{
  int w;
  Px operator()(Px d, Px s) const
  {
    const int sa = int(s >> 24);
    const Px out = SolidAdd::Apply(d, s, w * (sa + 1) / 256);
    return sa ? out : d;
  }
};

// Dodge scales by the source alpha too, but does not skip transparent pixels.
struct PixDodgeSourceAlpha
{
  int w;
  Px operator()(Px d, Px s) const { return SolidDodge::Apply(d, s, w * (int(s >> 24) + 1) / 256); }
};

// Calls fn with the source-pixel rule selected by mode & 0x100FF at weight w.
// Weight 0, a negative copy weight and codes without a rule draw nothing.
template <class Fn>
void WithPixelRule(LICE_ComposeMode mode, int w, Fn&& fn)
{
  if (w == 0)
    return;
  switch (mode & (ComposeSourceAlpha | ComposeCodeMask))
  {
    case ComposeCopy:
      if (w >= 256)
        fn(PixStore{});
      else if (w > 0)
        fn(PixCopy{w});
      break;
    case ComposeAdd: fn(PixAdd{w}); break;
    case ComposeDodge: fn(PixDodge{w}); break;
    case ComposeSourceAlpha | ComposeCopy:
      if (w >= 256)
        fn(PixCopySourceAlphaFull{});
      else if (w > 0)
        fn(PixCopySourceAlpha{w});
      break;
    case ComposeSourceAlpha | ComposeAdd: fn(PixAddSourceAlpha{w}); break;
    case ComposeSourceAlpha | ComposeDodge: fn(PixDodgeSourceAlpha{w}); break;
    default: break;
  }
}

// Rows of a bitmap as the drawing code sees them: row 0 at the top whether or
// not the memory runs bottom-up.
struct Surface
{
  Px* row0 = nullptr;
  std::ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;

  Px* Row(int y) const { return row0 + std::ptrdiff_t(y) * stride; }
  Px* At(int x, int y) const { return Row(y) + x; }
  bool Contains(int x, int y) const { return unsigned(x) < unsigned(width) && unsigned(y) < unsigned(height); }
};

// False for a null or empty bitmap, or one whose rows cannot hold its width.
inline bool GetSurface(LICE_IBitmap* bitmap, Surface& out)
{
  if (!bitmap)
    return false;
  Px* pixels = bitmap->Pixels();
  const int width = bitmap->Width();
  const int height = bitmap->Height();
  const int stride = bitmap->RowStride();
  if (!pixels || width <= 0 || height <= 0 || stride < width)
    return false;
  out.width = width;
  out.height = height;
  if (bitmap->IsBottomUp())
  {
    out.row0 = pixels + std::ptrdiff_t(height - 1) * stride;
    out.stride = -std::ptrdiff_t(stride);
  }
  else
  {
    out.row0 = pixels;
    out.stride = stride;
  }
  return true;
}

}  // namespace lice_detail
