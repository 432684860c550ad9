// Feeds arbitrary bytes to the PNG decoder, once into a new bitmap and once
// into an existing one of another size. Any result is fine; crashes, leaks
// and stray writes are not.

#include <cstddef>
#include <cstdint>

#include "raster/LICE_Bitmap.h"
#include "raster/LICE_Png.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  // A header may claim up to the decoder's 2 GiB bitmap limit, which is
  // allocated before the missing data is noticed: the fuzzer would call that
  // running out of memory, and large images only slow it down without
  // reaching new code. Inputs whose header claims more than 64 K pixels are
  // skipped.
  if (size >= 24) {
    const std::uint64_t width = std::uint64_t(data[16]) << 24 | data[17] << 16 | data[18] << 8 | data[19];
    const std::uint64_t height = std::uint64_t(data[20]) << 24 | data[21] << 16 | data[22] << 8 | data[23];
    if (width * height > (std::uint64_t(1) << 16)) {
      return 0;
    }
  }
  delete LICE_DecodePngMemory(data, size);
  LICE_MemBitmap target(5, 3, 4);
  LICE_DecodePngMemory(data, size, &target);
  return 0;
}
