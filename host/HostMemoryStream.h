#pragma once
// A memory IBStream for component state: written by getState, read by
// setState. Reading past the end delivers what is left; with
// SetFailPastEnd(true) such a read also reports kResultFalse, as some hosts'
// streams do.

#include <cstdint>
#include <vector>

#include "host/HostObject.h"
#include "vst3/sdk/IBStream.h"

namespace ThrumwellHost
{

class HostMemoryStream final : public HostObject<Steinberg::IBStream>
{
public:
  HostMemoryStream() = default;
  explicit HostMemoryStream(std::vector<std::uint8_t> content);

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes, Steinberg::int32* numBytesRead) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

  void SetFailPastEnd(bool fail) { failPastEnd = fail; }
  const std::vector<std::uint8_t>& Bytes() const { return bytes; }
  void Rewind() { cursor = 0; }

private:
  std::vector<std::uint8_t> bytes;
  Steinberg::int64 cursor = 0;
  bool failPastEnd = false;
};

}  // namespace ThrumwellHost
