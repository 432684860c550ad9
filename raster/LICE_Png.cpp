// PNG decoding through libpng. libpng reports errors by long-jumping back to
// a setjmp point; each function below that sets one keeps no C++ object with
// a destructor in its frame and changes no local after the setjmp, so a jump
// leaves nothing half-destroyed. Bitmaps and the row array are made between
// the two decoder phases, outside any jump range.

#include "raster/LICE_Png.h"

#include <png.h>

#include <atomic>
#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "raster/LICE_PngShared.h"

namespace {

const unsigned char pngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

std::atomic<LICE_ModuleHandle> defaultResourceModule{nullptr};

// Memory source: the unread rest of the caller's bytes. A read that runs
// over the end gets zeros for the missing bytes, which the decoder then
// rejects as a bad chunk or CRC. A read that starts at the end is an error:
// otherwise a chunk claiming up to 2 GiB, which libpng only warns about,
// would be skipped by checksumming gigabytes of zeros.
struct MemoryCursor
{
  const unsigned char* next;
  std::size_t remaining;
};

void ReadFromCursor(png_structp png, png_bytep out, png_size_t wanted)
{
  auto* cursor = static_cast<MemoryCursor*>(png_get_io_ptr(png));
  if (cursor->remaining == 0 && wanted > 0) {
    png_error(png, "read past the end of the data");
  }
  std::memset(out, 0, wanted);
  const std::size_t n = wanted < cursor->remaining ? wanted : cursor->remaining;
  std::memcpy(out, cursor->next, n);
  cursor->next += n;
  cursor->remaining -= n;
}

// Owns the decoder structures for one call.
struct Decoder
{
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_uint_32 width = 0;
  png_uint_32 height = 0;

  Decoder()
  {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, lice_png::SilentError, lice_png::SilentWarning);
    if (png) {
      info = png_create_info_struct(png);
    }
  }
  ~Decoder() { Destroy(); }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  bool Created() const { return png && info; }
  void Destroy()
  {
    if (png) {
      png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
    png = nullptr;
    info = nullptr;
  }
};

// Reads the header and requests the transformations that turn every PNG kind
// into 8-bit alpha, red, green, blue samples. False on any decoder error, or
// when the decoder would not deliver exactly four bytes per pixel.
bool ReadHeader(Decoder* d)
{
  if (setjmp(png_jmpbuf(d->png))) {
    return false;
  }
  // Only the header, palette, tRNS and image data matter here. libpng reads
  // every other chunk it knows into a buffer of the length the chunk claims
  // (a warning, not an error, above its own limit), so a tiny file could make
  // it allocate and clear gigabytes; skipped chunks only pass through the CRC.
  png_set_keep_unknown_chunks(d->png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(d->png, d->info);

  png_uint_32 width = 0, height = 0;
  int depth = 0, colour = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(d->png, d->info, &width, &height, &depth, &colour, &interlace, &compression, &filter);

  if (colour == PNG_COLOR_TYPE_PALETTE) {
    png_set_palette_to_rgb(d->png);
  }
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) {
    png_set_expand_gray_1_2_4_to_8(d->png);
  }
  if (png_get_valid(d->png, d->info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(d->png);
    colour |= PNG_COLOR_MASK_ALPHA;
  }
  if (depth == 16) {
    png_set_strip_16(d->png);
  }
  if (depth < 8) {
    png_set_packing(d->png);
  }
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(d->png);
  }
  if (colour & PNG_COLOR_MASK_ALPHA) {
    png_set_swap_alpha(d->png);
  } else {
    png_set_filler(d->png, 0xFF, PNG_FILLER_BEFORE);
  }
  png_set_interlace_handling(d->png);
  png_read_update_info(d->png, d->info);

  // The rows are sized for four bytes a pixel; anything else is refused
  // rather than written past them.
  if (png_get_rowbytes(d->png, d->info) != static_cast<png_size_t>(width) * 4 ||
      png_get_bit_depth(d->png, d->info) != 8 || png_get_channels(d->png, d->info) != 4) {
    return false;
  }
  d->width = width;
  d->height = height;
  return true;
}

bool ReadRows(Decoder* d, png_bytepp rows)
{
  if (setjmp(png_jmpbuf(d->png))) {
    return false;
  }
  png_read_image(d->png, rows);
  return true;
}

// The decoder delivers bytes alpha, red, green, blue; a pixel word stores
// them as blue, green, red, alpha in memory.
void ArgbBytesToWords(LICE_IBitmap* bitmap)
{
  const int width = bitmap->Width();
  const int height = bitmap->Height();
  const std::ptrdiff_t stride = bitmap->RowStride();
  LICE_PixelWord* row = bitmap->Pixels();
  for (int y = 0; y < height; ++y, row += stride) {
    auto* bytes = reinterpret_cast<const unsigned char*>(row);
    for (int x = 0; x < width; ++x, bytes += 4) {
      row[x] = LICE_PixelWord(bytes[0]) << 24 | LICE_PixelWord(bytes[1]) << 16 |
               LICE_PixelWord(bytes[2]) << 8 | LICE_PixelWord(bytes[3]);
    }
  }
}

// Everything after the source is installed: header, sizing, rows, pixels.
LICE_IBitmap* DecodeInto(Decoder& d, LICE_IBitmap* target)
{
  if (!ReadHeader(&d)) {
    return nullptr;
  }
  // A bitmap holds at most INT_MAX bytes of pixels; larger images are
  // refused before anything is allocated for them.
  const std::uint64_t paddedWidth = (std::uint64_t(d.width) + 15) & ~std::uint64_t(15);
  if (d.width > INT_MAX || d.height > INT_MAX || paddedWidth * d.height * 4 > std::uint64_t(INT_MAX)) {
    return nullptr;
  }
  const int width = int(d.width);
  const int height = int(d.height);

  std::unique_ptr<LICE_IBitmap> created;
  LICE_IBitmap* bitmap = target;
  if (bitmap) {
    bitmap->SetSize(width, height);
  } else {
    created.reset(new (std::nothrow) LICE_MemBitmap(width, height, 4));
    bitmap = created.get();
  }
  if (!bitmap || bitmap->Width() != width || bitmap->Height() != height || !bitmap->Pixels()) {
    return nullptr;
  }

  std::vector<png_bytep> rows;
  try {
    rows.resize(std::size_t(height));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  const std::ptrdiff_t stride = bitmap->RowStride();
  png_bytep first = reinterpret_cast<png_bytep>(bitmap->Pixels());
  std::ptrdiff_t step = stride * 4;
  if (bitmap->IsBottomUp()) {
    first += (height - 1) * step;
    step = -step;
  }
  for (int r = 0; r < height; ++r) {
    rows[std::size_t(r)] = first + r * step;
  }

  if (!ReadRows(&d, rows.data())) {
    return nullptr;
  }
  // Chunks after the image data are of no interest.
  d.Destroy();
  ArgbBytesToWords(bitmap);
  return created ? created.release() : bitmap;
}

bool HasPngSignature(const void* data, std::size_t length)
{
  return data && length >= sizeof pngSignature && std::memcmp(data, pngSignature, sizeof pngSignature) == 0;
}

LICE_IBitmap* ReadPngFileIfNamed(const char* path, LICE_IBitmap* target)
{
  return LICE_IsPngFileName(path) ? LICE_DecodePngFile(path, target) : nullptr;
}

LICE_ImageFileReader pngFileReader = {ReadPngFileIfNamed, "PNG files (*.PNG)", nullptr};

}  // namespace

LICE_IBitmap* LICE_DecodePngMemory(const void* data, std::size_t length, LICE_IBitmap* target)
{
  if (!HasPngSignature(data, length)) {
    return nullptr;
  }
  Decoder d;
  if (!d.Created()) {
    return nullptr;
  }
  MemoryCursor cursor{static_cast<const unsigned char*>(data), length};
  png_set_read_fn(d.png, &cursor, ReadFromCursor);
  return DecodeInto(d, target);
}

LICE_IBitmap* LICE_DecodePngFile(const char* path, LICE_IBitmap* target)
{
  if (!path) {
    return nullptr;
  }
  std::FILE* file = lice_png::OpenFileUtf8(path, false);
  if (!file) {
    return nullptr;
  }
  LICE_IBitmap* result = nullptr;
  {
    Decoder d;
    if (d.Created()) {
      png_init_io(d.png, file);
      result = DecodeInto(d, target);
    }
  }
  std::fclose(file);
  return result;
}

void LICE_SetPngResourceModule(LICE_ModuleHandle module)
{
  defaultResourceModule.store(module);
}

LICE_ModuleHandle LICE_GetPngResourceModule()
{
  return defaultResourceModule.load();
}

bool LICE_IsPngFileName(const char* path)
{
  if (!path) {
    return false;
  }
  const char* extension = nullptr;
  for (const char* p = path; *p; ++p) {
    if (*p == '.' || *p == '/' || *p == '\\') {
      extension = p;
    }
  }
  if (!extension || std::strlen(extension) != 4 || extension[0] != '.') {
    return false;
  }
  const char* png = "png";
  for (int i = 0; i < 3; ++i) {
    char c = extension[1 + i];
    if (c >= 'A' && c <= 'Z') {
      c = char(c - 'A' + 'a');
    }
    if (c != png[i]) {
      return false;
    }
  }
  return true;
}

void lice_png::SilentError(png_structp png, png_const_charp)
{
  png_longjmp(png, 1);
}

void lice_png::SilentWarning(png_structp, png_const_charp) {}

LICE_ImageFileReader* LICE_ImageFileReaders()
{
  return &pngFileReader;
}
