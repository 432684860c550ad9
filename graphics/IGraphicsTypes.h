#pragma once
//! Small value types shared by the editor core and every control: rectangles,
//! colours, blends, text styles, images and pointer modifiers.

#include <cstdint>
#include <cstring>

class LICE_IBitmap;
class LICE_CachedFont;

//! Editor pixels, origin at the top-left corner. All four zero means empty;
//! any other rectangle is not empty, even with right < left.
struct IBounds
{
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr IBounds() = default;
  constexpr IBounds(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

  bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  int W() const { return right - left; }
  int H() const { return bottom - top; }

  //! Strict overlap test; an empty rectangle meets nothing.
  bool Meets(const IBounds& b) const
  {
    if (Empty() || b.Empty()) return false;
    return left < b.right && b.left < right && top < b.bottom && b.top < bottom;
  }
  IBounds Union(const IBounds& b) const
  {
    if (Empty()) return b;
    if (b.Empty()) return *this;
    return {left < b.left ? left : b.left, top < b.top ? top : b.top,
            right > b.right ? right : b.right, bottom > b.bottom ? bottom : b.bottom};
  }
  IBounds Intersect(const IBounds& b) const
  {
    if (!Meets(b)) return {};
    return {left > b.left ? left : b.left, top > b.top ? top : b.top,
            right < b.right ? right : b.right, bottom < b.bottom ? bottom : b.bottom};
  }
  //! Edges included.
  bool Holds(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
  bool operator==(const IBounds& b) const
  {
    return left == b.left && top == b.top && right == b.right && bottom == b.bottom;
  }
  bool operator!=(const IBounds& b) const { return !(*this == b); }
};

//! Colour channels 0..255, packed 0xAARRGGBB for the raster library.
struct IArgb
{
  int a = 255;
  int r = 0;
  int g = 0;
  int b = 0;

  constexpr IArgb() = default;
  constexpr IArgb(int alpha, int red, int green, int blue) : a(alpha), r(red), g(green), b(blue) {}

  std::uint32_t Word() const
  {
    return (std::uint32_t(a & 0xFF) << 24) | (std::uint32_t(r & 0xFF) << 16) |
           (std::uint32_t(g & 0xFF) << 8) | std::uint32_t(b & 0xFF);
  }
};

enum IBlendMode : int
{
  BlendNormal = 0,
  BlendOpaque = 1,
  BlendAdd = 2,
  BlendDodge = 3,
};

struct IBlend
{
  int mode = BlendNormal;
  float weight = 1.0f;

  constexpr IBlend() = default;
  constexpr IBlend(int m, float w) : mode(m), weight(w) {}
};

struct ITextStyle
{
  char face[32] = "Arial";
  int size = 15;
  IArgb colour{255, 0, 0, 0};
  int style = 0;        // bit 0 bold, bit 1 italic
  int alignment = 0;    // 0 left, 1 centre, 2 right
  int orientation = 0;  // degrees
  int quality = 0;      // 0 default, 1 not antialiased, 2 antialiased, 3 ClearType
  //! Belongs to the process-wide font cache; filled on first use.
  LICE_CachedFont* font = nullptr;

  ITextStyle() = default;
  ITextStyle(const char* faceName, int sizePx, IArgb c, int styleBits = 0, int align = 0,
             int orient = 0, int qual = 0)
    : size(sizePx), colour(c), style(styleBits), alignment(align), orientation(orient), quality(qual)
  {
    std::strncpy(face, faceName ? faceName : "", sizeof face - 1);
    face[sizeof face - 1] = '\0';
  }
};

enum ITextAlign : int
{
  AlignLeft = 0,
  AlignCentre = 1,
  AlignRight = 2,
};

//! A bitmap owned by the image cache. The bitmap is null when the image could
//! not be loaded; every drawing operation then draws nothing.
struct IImage
{
  LICE_IBitmap* bitmap = nullptr;
  int width = 0;
  int height = 0;
  int frames = 1;
  //! 0, or for the right half made by SplitImage the negative id of the left half.
  int cacheId = 0;
};

struct IPointerMods
{
  bool left = false;
  bool right = false;
  bool shift = false;
  bool control = false;
  bool alt = false;
};
