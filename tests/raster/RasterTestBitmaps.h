#pragma once
// Bitmaps for the raster tests: pixels in a block of exactly width x height
// words (no row padding, no slack), so that AddressSanitizer reports any
// write outside the bitmap, and helpers to read and fill them.

#include "raster/LICE_Bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

class ExactBitmap : public LICE_IBitmap
{
public:
  ExactBitmap(int w, int h, LICE_PixelWord fill = 0, bool bottomUp = false)
    : w(w), h(h), bottomUp(bottomUp), pixels(size_t(w) * size_t(h), fill)
  {
  }
  LICE_PixelWord* Pixels() override { return pixels.empty() ? nullptr : pixels.data(); }
  int Width() const override { return w; }
  int Height() const override { return h; }
  int RowStride() const override { return w; }
  bool IsBottomUp() const override { return bottomUp; }
  bool SetSize(int, int) override { return false; }

  //! Pixel as drawn (row 0 at the top).
  LICE_PixelWord At(int x, int y) const { return pixels[size_t(bottomUp ? h - 1 - y : y) * size_t(w) + size_t(x)]; }
  void Set(int x, int y, LICE_PixelWord p) { pixels[size_t(bottomUp ? h - 1 - y : y) * size_t(w) + size_t(x)] = p; }
  //! Raw memory row order.
  const std::vector<LICE_PixelWord>& Memory() const { return pixels; }
  bool operator==(const ExactBitmap& o) const { return w == o.w && h == o.h && pixels == o.pixels; }

  //! Rows as text, one character per pixel: '.' for `background`, '#' otherwise.
  std::vector<std::string> Mask(LICE_PixelWord background = 0) const
  {
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y)
    {
      std::string row;
      for (int x = 0; x < w; ++x)
        row += At(x, y) == background ? '.' : '#';
      rows.push_back(row);
    }
    return rows;
  }

private:
  int w, h;
  bool bottomUp;
  std::vector<LICE_PixelWord> pixels;
};

//! Blue channel of each pixel of a row.
inline std::vector<int> BlueRow(const ExactBitmap& b, int y)
{
  std::vector<int> out;
  for (int x = 0; x < b.Width(); ++x)
    out.push_back(int(b.At(x, y) & 0xFF));
  return out;
}
