#include "raster/LICE_Bitmap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {
// Storage is counted in a 32-bit field; anything larger cannot be held.
constexpr std::int64_t kMaxPixelBytes = INT32_MAX - 63;
}

LICE_MemBitmap::LICE_MemBitmap(int width, int height, int rowAlignment)
{
  if (rowAlignment >= 2)
  {
    const int lowestBit = rowAlignment & -rowAlignment;
    alignMask = lowestBit - 1 > 16 ? 16 : lowestBit - 1;
  }
  if (width > 0 && height > 0)
    SetSize(width, height);
}

LICE_MemBitmap::~LICE_MemBitmap()
{
  std::free(buffer);
}

LICE_PixelWord* LICE_MemBitmap::Pixels()
{
  if (!buffer)
    return nullptr;
  const std::uintptr_t aligned = (reinterpret_cast<std::uintptr_t>(buffer) + 63) & ~std::uintptr_t(63);
  return reinterpret_cast<LICE_PixelWord*>(aligned);
}

bool LICE_MemBitmap::SetSize(int newWidth, int newHeight)
{
  if (newWidth == width && newHeight == height)
    return false;
  width = newWidth;
  height = newHeight;

  const std::int64_t stride = (std::int64_t(newWidth) + alignMask) & ~std::int64_t(alignMask);
  const bool fits = newWidth > 0 && newHeight > 0 && stride <= kMaxPixelBytes / 4 / newHeight;
  const std::int64_t bytes = fits ? std::int64_t(newHeight) * stride * 4 : 0;
  if (fits)
  {
    if (!buffer)
    {
      buffer = static_cast<std::uint8_t*>(std::malloc(size_t(bytes) + 63));
      allocated = buffer ? int(bytes) : 0;
    }
    else if (bytes > allocated)
    {
      std::int64_t grown = (bytes / 4) * 5;
      if (grown > kMaxPixelBytes)
        grown = kMaxPixelBytes;
      if (void* bigger = std::realloc(buffer, size_t(grown) + 63))
      {
        buffer = static_cast<std::uint8_t*>(bigger);
        allocated = int(grown);
      }
      else
      {
        std::free(buffer);
        buffer = static_cast<std::uint8_t*>(std::malloc(size_t(bytes) + 63));
        allocated = buffer ? int(bytes) : 0;
      }
    }
  }
  else
  {
    std::free(buffer);
    buffer = nullptr;
    allocated = 0;
  }
  if (!buffer)
  {
    width = 0;
    height = 0;
  }
  return true;
}
