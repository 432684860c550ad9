// Without GDI the system bitmap owns a plain block with the same row padding
// and keep-when-shrinking rules as the Windows DIB section; the Linux editor
// window copies from its pixels.
#include "raster/LICE_Bitmap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

LICE_SysBitmap::LICE_SysBitmap(int w, int h)
{
  SetSize(w, h);
}

LICE_SysBitmap::~LICE_SysBitmap()
{
  std::free(section);
}

std::intptr_t LICE_SysBitmap::Query(int id, void*)
{
  return id == LICE_QueryDisplayScale ? displayScale : 0;
}

bool LICE_SysBitmap::SetSize(int w, int h)
{
  if (w == width && h == height)
    return false;
  width = w;
  height = h;

  const std::int64_t sectionWidth = (std::int64_t(w) + 3) & ~std::int64_t(3);
  if (sectionWidth > 0 && h > 0 && bits && allocatedWidth >= sectionWidth && allocatedHeight >= h)
    return true;

  std::free(section);
  section = nullptr;
  bits = nullptr;
  allocatedWidth = 0;
  allocatedHeight = 0;
  if (w < 1 || h < 1)
  {
    width = 0;
    height = 0;
    return false;
  }

  if (sectionWidth <= INT32_MAX / 4 / h)
    section = std::calloc(size_t(sectionWidth) * size_t(h), 4);
  if (!section)
  {
    width = 0;
    height = 0;
    return true;
  }
  bits = static_cast<LICE_PixelWord*>(section);
  allocatedWidth = int(sectionWidth);
  allocatedHeight = h;
  return true;
}
