#include "host/HostMemoryStream.h"

#include <algorithm>
#include <cstring>

namespace ThrumwellHost
{

using namespace Steinberg;

HostMemoryStream::HostMemoryStream(std::vector<std::uint8_t> content) : bytes(std::move(content)) {}

tresult PLUGIN_API HostMemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
  if (numBytesRead)
    *numBytesRead = 0;
  if (!buffer || numBytes < 0)
    return kInvalidArgument;
  const int64 available = std::max<int64>(0, static_cast<int64>(bytes.size()) - cursor);
  const int32 n = static_cast<int32>(std::min<int64>(numBytes, available));
  if (n > 0)
    std::memcpy(buffer, bytes.data() + cursor, static_cast<std::size_t>(n));
  cursor += n;
  if (numBytesRead)
    *numBytesRead = n;
  return failPastEnd && n < numBytes ? kResultFalse : kResultOk;
}

tresult PLUGIN_API HostMemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten)
{
  if (numBytesWritten)
    *numBytesWritten = 0;
  if (!buffer || numBytes < 0 || cursor < 0)
    return kInvalidArgument;
  const std::size_t end = static_cast<std::size_t>(cursor) + static_cast<std::size_t>(numBytes);
  if (end > bytes.size())
    bytes.resize(end);
  std::memcpy(bytes.data() + cursor, buffer, static_cast<std::size_t>(numBytes));
  cursor += numBytes;
  if (numBytesWritten)
    *numBytesWritten = numBytes;
  return kResultOk;
}

tresult PLUGIN_API HostMemoryStream::seek(int64 pos, int32 mode, int64* result)
{
  int64 target = 0;
  if (mode == kIBSeekSet)
    target = pos;
  else if (mode == kIBSeekCur)
    target = cursor + pos;
  else if (mode == kIBSeekEnd)
    target = static_cast<int64>(bytes.size()) + pos;
  else
    return kInvalidArgument;
  if (target < 0)
    return kResultFalse;
  cursor = target;
  if (result)
    *result = cursor;
  return kResultOk;
}

tresult PLUGIN_API HostMemoryStream::tell(int64* pos)
{
  if (!pos)
    return kInvalidArgument;
  *pos = cursor;
  return kResultOk;
}

}  // namespace ThrumwellHost
