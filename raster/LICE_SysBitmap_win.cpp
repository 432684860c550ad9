// The system bitmap is a top-down 32-bit DIB section selected into its own
// memory device context: GDI draws text into it and the editor window
// BitBlts from it.
#include "raster/LICE_Bitmap.h"

#include <windows.h>

#include <climits>
#include <cstdint>

LICE_SysBitmap::LICE_SysBitmap(int w, int h)
{
  dc = CreateCompatibleDC(nullptr);
  SetSize(w, h);
}

LICE_SysBitmap::~LICE_SysBitmap()
{
  if (dc)
  {
    if (previousBitmap)
      SelectObject(dc, static_cast<HGDIOBJ>(previousBitmap));
    DeleteDC(dc);
  }
  if (section)
    DeleteObject(static_cast<HGDIOBJ>(section));
}

std::intptr_t LICE_SysBitmap::Query(int id, void*)
{
  return id == LICE_QueryDisplayScale ? displayScale : 0;
}

bool LICE_SysBitmap::SetSize(int w, int h)
{
  if (!dc)
  {
    width = 0;
    height = 0;
    bits = nullptr;
    return false;
  }
  if (w == width && h == height)
    return false;
  width = w;
  height = h;

  const std::int64_t sectionWidth = (std::int64_t(w) + 3) & ~std::int64_t(3);
  if (sectionWidth > 0 && h > 0 && section && allocatedWidth >= sectionWidth && allocatedHeight >= h)
    return true;

  if (section)
  {
    SelectObject(dc, static_cast<HGDIOBJ>(previousBitmap));
    previousBitmap = nullptr;
    DeleteObject(static_cast<HGDIOBJ>(section));
    section = nullptr;
  }
  bits = nullptr;
  allocatedWidth = 0;
  allocatedHeight = 0;
  if (w < 1 || h < 1)
  {
    width = 0;
    height = 0;
    return false;
  }
  if (sectionWidth > INT32_MAX / 4 / h)
  {
    width = 0;
    height = 0;
    return true;
  }

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = LONG(sectionWidth);
  info.bmiHeader.biHeight = IsBottomUp() ? h : -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP created = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!created || !pixels)
  {
    if (created)
      DeleteObject(created);
    width = 0;
    height = 0;
    return true;
  }
  section = created;
  previousBitmap = SelectObject(dc, created);
  bits = static_cast<LICE_PixelWord*>(pixels);
  allocatedWidth = int(sectionWidth);
  allocatedHeight = h;
  return true;
}
