// Fuzzes the preset file reader: any bytes must be refused with a reason or
// give a chunk list whose every chunk lies inside the file.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/HostPresetFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::vector<std::uint8_t> bytes(data, data + size);
  ThrumwellHost::HostPresetFile preset;
  std::string error;
  if (!preset.Parse(bytes, error))
  {
    if (error.empty())
      std::abort();
    return 0;
  }
  if (preset.ClassId().size() != 32 || preset.Chunks().size() > 128)
    std::abort();
  for (const ThrumwellHost::HostPresetFile::Chunk& chunk : preset.Chunks())
    if (chunk.id.size() != 4 || chunk.offset > size || chunk.size > size - chunk.offset)
      std::abort();
  return 0;
}
