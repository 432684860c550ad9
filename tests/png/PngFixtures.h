#pragma once
// Builds PNG files of any colour type and bit depth in memory with libpng's
// writer, and edits their chunks, so that each decoder case has its fixture
// beside the expectation.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using PngBytes = std::vector<unsigned char>;

struct PngFixture
{
  int width = 1;
  int height = 1;
  int colourType = 2;  // PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
  int bitDepth = 8;
  bool interlaced = false;
  //! One value per sample, rows top to bottom, channels in file order; packed
  //! to the bit depth when written.
  std::vector<unsigned> samples;
  //! Palette entries as 0xRRGGBB.
  std::vector<std::uint32_t> palette;
  //! tRNS: alpha per palette index, or (for grey and RGB) the one transparent
  //! sample value(s).
  std::vector<unsigned> transparency;
  //! An uncompressed text chunk, written before the image data.
  std::string text;
};

//! The encoded file; empty when libpng refused the fixture.
PngBytes EncodePng(const PngFixture& fixture);

//! Offset of the first chunk of the given type (its length field), or npos.
std::size_t FindChunk(const PngBytes& png, const char* type);
//! Recomputes the CRC of the chunk at `offset` after its data was edited.
void FixChunkCrc(PngBytes& png, std::size_t offset);
