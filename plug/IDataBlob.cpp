#include "plug/IDataBlob.h"

#include <cstring>
#include <limits>
#include <new>

bool IDataBlob::AppendBytes(const void* data, int count)
{
  if (count < 0 || (count > 0 && !data))
    return false;
  if (count == 0)
    return true;
  const std::size_t oldSize = bytes.size();
  const std::size_t newSize = oldSize + static_cast<std::size_t>(count);
  if (newSize > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    return false;
  try
  {
    if (newSize > bytes.capacity())
    {
      const std::size_t steps = (newSize + kGrowthStep - 1) / kGrowthStep;
      bytes.reserve(steps * kGrowthStep);
    }
    bytes.resize(newSize);
  }
  catch (const std::bad_alloc&)
  {
    return false;
  }
  std::memcpy(bytes.data() + oldSize, data, static_cast<std::size_t>(count));
  return true;
}

bool IDataBlob::AppendDouble(double x)
{
  std::uint64_t word = 0;
  std::memcpy(&word, &x, sizeof word);
  unsigned char le[8];
  for (int i = 0; i < 8; ++i)
    le[i] = static_cast<unsigned char>(word >> (8 * i));
  return AppendBytes(le, 8);
}

int IDataBlob::ReadDouble(double* x, int position) const
{
  if (position < 0 || static_cast<std::size_t>(position) + 8 > bytes.size())
    return -1;
  std::uint64_t word = 0;
  for (int i = 0; i < 8; ++i)
    word |= static_cast<std::uint64_t>(bytes[static_cast<std::size_t>(position) + i]) << (8 * i);
  std::memcpy(x, &word, sizeof word);
  return position + 8;
}
