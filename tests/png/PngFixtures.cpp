#include "tests/png/PngFixtures.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>

namespace {

void AppendToBytes(png_structp png, png_bytep data, png_size_t length)
{
  auto* out = static_cast<PngBytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

int Channels(int colourType)
{
  switch (colourType) {
  case PNG_COLOR_TYPE_RGB: return 3;
  case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
  case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
  default: return 1;
  }
}

// Packs the samples of each row, most significant bits first, 16-bit samples
// big-endian as the file format wants them.
std::vector<PngBytes> PackRows(const PngFixture& f)
{
  const int perRow = f.width * Channels(f.colourType);
  const std::size_t rowBytes = (std::size_t(perRow) * f.bitDepth + 7) / 8;
  std::vector<PngBytes> rows(std::size_t(f.height), PngBytes(rowBytes, 0));
  for (int y = 0; y < f.height; ++y) {
    for (int i = 0; i < perRow; ++i) {
      const std::size_t index = std::size_t(y) * perRow + i;
      const unsigned v = index < f.samples.size() ? f.samples[index] : 0;
      PngBytes& row = rows[std::size_t(y)];
      if (f.bitDepth == 16) {
        row[2 * i] = (unsigned char)(v >> 8);
        row[2 * i + 1] = (unsigned char)v;
      } else if (f.bitDepth == 8) {
        row[i] = (unsigned char)v;
      } else {
        const int bit = i * f.bitDepth;
        row[bit / 8] |= (unsigned char)(v << (8 - f.bitDepth - bit % 8));
      }
    }
  }
  return rows;
}

struct Encoding
{
  png_structp png;
  png_infop info;
  const PngFixture* fixture;
  png_bytepp rows;
  png_colorp palette;
  png_bytep paletteAlpha;
  PngBytes* out;
};

bool Encode(Encoding* e)
{
  if (setjmp(png_jmpbuf(e->png))) {
    return false;
  }
  const PngFixture& f = *e->fixture;
  png_set_write_fn(e->png, e->out, AppendToBytes, NoFlush);
  png_set_IHDR(e->png, e->info, png_uint_32(f.width), png_uint_32(f.height), f.bitDepth, f.colourType,
               f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!f.palette.empty()) {
    png_set_PLTE(e->png, e->info, e->palette, int(f.palette.size()));
  }
  if (!f.transparency.empty()) {
    if (f.colourType == PNG_COLOR_TYPE_PALETTE) {
      png_set_tRNS(e->png, e->info, e->paletteAlpha, int(f.transparency.size()), nullptr);
    } else {
      png_color_16 value{};
      value.gray = png_uint_16(f.transparency[0]);
      if (f.transparency.size() >= 3) {
        value.red = png_uint_16(f.transparency[0]);
        value.green = png_uint_16(f.transparency[1]);
        value.blue = png_uint_16(f.transparency[2]);
      }
      png_set_tRNS(e->png, e->info, nullptr, 0, &value);
    }
  }
  png_text text{};
  if (!f.text.empty()) {
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<char*>("Comment");
    text.text = const_cast<char*>(f.text.c_str());
    png_set_text(e->png, e->info, &text, 1);
  }
  png_write_info(e->png, e->info);
  if (f.interlaced) {
    png_set_interlace_handling(e->png);
  }
  png_write_image(e->png, e->rows);
  png_write_end(e->png, nullptr);
  return true;
}

}  // namespace

PngBytes EncodePng(const PngFixture& fixture)
{
  std::vector<PngBytes> rows = PackRows(fixture);
  std::vector<png_bytep> rowPointers;
  for (PngBytes& row : rows) {
    rowPointers.push_back(row.data());
  }
  std::vector<png_color> palette;
  for (std::uint32_t rgb : fixture.palette) {
    palette.push_back(png_color{png_byte(rgb >> 16), png_byte(rgb >> 8), png_byte(rgb)});
  }
  std::vector<png_byte> paletteAlpha(fixture.transparency.begin(), fixture.transparency.end());
  PngBytes out;
  Encoding e{png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr), nullptr, &fixture,
             rowPointers.data(), palette.data(), paletteAlpha.data(), &out};
  if (!e.png) {
    return {};
  }
  e.info = png_create_info_struct(e.png);
  const bool ok = e.info && Encode(&e);
  png_destroy_write_struct(&e.png, &e.info);
  return ok ? out : PngBytes();
}

std::size_t FindChunk(const PngBytes& png, const char* type)
{
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::size_t length = std::size_t(png[at]) << 24 | std::size_t(png[at + 1]) << 16 |
                               std::size_t(png[at + 2]) << 8 | png[at + 3];
    if (std::memcmp(&png[at + 4], type, 4) == 0) {
      return at;
    }
    at += 12 + length;
  }
  return std::string::npos;
}

void FixChunkCrc(PngBytes& png, std::size_t offset)
{
  const std::size_t length = std::size_t(png[offset]) << 24 | std::size_t(png[offset + 1]) << 16 |
                             std::size_t(png[offset + 2]) << 8 | png[offset + 3];
  const uLong crc = crc32(0, &png[offset + 4], uInt(length + 4));
  unsigned char* at = &png[offset + 8 + length];
  at[0] = (unsigned char)(crc >> 24);
  at[1] = (unsigned char)(crc >> 16);
  at[2] = (unsigned char)(crc >> 8);
  at[3] = (unsigned char)crc;
}
