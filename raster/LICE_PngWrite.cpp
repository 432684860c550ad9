// PNG writing through libpng. As in the reader, the function that sets the
// error jump point holds no C++ object with a destructor and reads no local
// changed after setjmp once a jump has landed.

#include "raster/LICE_PngWrite.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include "raster/LICE_PngShared.h"

namespace {

struct Encoder
{
  png_structp png;
  png_infop info;
  LICE_IBitmap* bitmap;
  bool keepAlpha;
  png_bytep row;  // one row of output samples, 4 bytes a pixel at most
};

bool WriteImage(Encoder* e)
{
  if (setjmp(png_jmpbuf(e->png))) {
    return false;
  }
  const int width = e->bitmap->Width();
  const int height = e->bitmap->Height();
  png_set_IHDR(e->png, e->info, png_uint_32(width), png_uint_32(height), 8,
               e->keepAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(e->png, e->info);
  const LICE_PixelWord* pixels = e->bitmap->Pixels();
  const std::ptrdiff_t stride = e->bitmap->RowStride();
  for (int y = 0; y < height; ++y) {
    const int memoryRow = e->bitmap->IsBottomUp() ? height - 1 - y : y;
    const LICE_PixelWord* in = pixels + memoryRow * stride;
    png_bytep out = e->row;
    for (int x = 0; x < width; ++x) {
      const LICE_PixelWord p = in[x];
      *out++ = png_byte(p >> 16);
      *out++ = png_byte(p >> 8);
      *out++ = png_byte(p);
      if (e->keepAlpha) {
        *out++ = png_byte(p >> 24);
      }
    }
    png_write_row(e->png, e->row);
  }
  png_write_end(e->png, nullptr);
  return true;
}

}  // namespace

bool LICE_WritePng(const char* path, LICE_IBitmap* bitmap, bool keepAlpha)
{
  if (!path || !bitmap || bitmap->Width() <= 0 || bitmap->Height() <= 0 || !bitmap->Pixels()) {
    return false;
  }
  std::vector<png_byte> row;
  try {
    row.resize(std::size_t(bitmap->Width()) * 4);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::FILE* file = lice_png::OpenFileUtf8(path, true);
  if (!file) {
    return false;
  }
  Encoder e{nullptr, nullptr, bitmap, keepAlpha, row.data()};
  e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, lice_png::SilentError, lice_png::SilentWarning);
  if (e.png) {
    e.info = png_create_info_struct(e.png);
  }
  bool ok = false;
  if (e.png && e.info) {
    png_init_io(e.png, file);
    ok = WriteImage(&e);
  }
  if (e.png) {
    png_destroy_write_struct(&e.png, e.info ? &e.info : nullptr);
  }
  ok = std::fclose(file) == 0 && ok;
  return ok;
}
