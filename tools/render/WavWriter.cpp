#include "tools/render/WavWriter.h"

#include <cstring>
#include <initializer_list>

namespace {

constexpr std::uint32_t kChannels = 2;
constexpr std::uint32_t kFormatIeeeFloat = 3;
// RIFF header, "fmt " chunk with the extension size field, "fact" chunk and
// the "data" chunk header.
constexpr std::uint32_t kHeaderBytes = 12 + 26 + 12 + 8;

}  // namespace

std::uint64_t WavWriter::MaxFrames(int bitsPerSample)
{
  return (0xFFFFFFFFu - kHeaderBytes) / (kChannels * static_cast<std::uint32_t>(bitsPerSample / 8));
}

WavWriter::~WavWriter()
{
  if (file)
    std::fclose(file);
}

bool WavWriter::Put(const void* bytes, std::size_t count)
{
  if (!failed && std::fwrite(bytes, 1, count, file) != count)
    failed = true;
  return !failed;
}

bool WavWriter::PutU16(std::uint16_t v)
{
  const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
  return Put(b, 2);
}

bool WavWriter::PutU32(std::uint32_t v)
{
  const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  return Put(b, 4);
}

bool WavWriter::Open(const char* path, std::uint32_t rate, std::uint64_t frames, int bitsPerSample)
{
  if (file || (bitsPerSample != 32 && bitsPerSample != 64) || frames > MaxFrames(bitsPerSample))
    return false;
  bytesPerSample = static_cast<std::uint32_t>(bitsPerSample / 8);
  file = std::fopen(path, "wb");
  if (!file)
    return false;
  announced = frames;
  written = 0;
  failed = false;
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames * kChannels * bytesPerSample);
  Put("RIFF", 4);
  PutU32(kHeaderBytes - 8 + dataBytes);
  Put("WAVE", 4);
  Put("fmt ", 4);
  PutU32(18);
  PutU16(kFormatIeeeFloat);
  PutU16(kChannels);
  PutU32(rate);
  PutU32(rate * kChannels * bytesPerSample);
  PutU16(kChannels * bytesPerSample);
  PutU16(bytesPerSample * 8);
  PutU16(0);
  Put("fact", 4);
  PutU32(4);
  PutU32(static_cast<std::uint32_t>(frames));
  Put("data", 4);
  return PutU32(dataBytes);
}

template <class Sample>
bool WavWriter::WriteFrames(const Sample* left, const Sample* right, int n)
{
  if (!file)
    return false;
  // Interleaved little-endian frames, a few hundred at a time, each sample
  // stored at the width the header announced.
  unsigned char chunk[512 * kChannels * 8];
  std::size_t used = 0;
  for (int i = 0; i < n && !failed; ++i)
  {
    for (const Sample* channel : {left, right})
    {
      std::uint64_t bits = 0;
      if (bytesPerSample == 8)
      {
        const double wide = static_cast<double>(channel[i]);
        std::memcpy(&bits, &wide, 8);
      }
      else
      {
        const float narrow = static_cast<float>(channel[i]);
        std::uint32_t narrowBits;
        std::memcpy(&narrowBits, &narrow, 4);
        bits = narrowBits;
      }
      for (std::uint32_t b = 0; b < bytesPerSample; ++b)
        chunk[used++] = static_cast<unsigned char>(bits >> (8 * b));
    }
    if (used + kChannels * bytesPerSample > sizeof chunk || i == n - 1)
    {
      Put(chunk, used);
      used = 0;
    }
  }
  written += static_cast<std::uint64_t>(n > 0 ? n : 0);
  return !failed;
}

bool WavWriter::Write(const float* left, const float* right, int n) { return WriteFrames(left, right, n); }

bool WavWriter::Write(const double* left, const double* right, int n) { return WriteFrames(left, right, n); }

bool WavWriter::Close()
{
  if (!file)
    return false;
  const bool closed = std::fclose(file) == 0;
  file = nullptr;
  return closed && !failed && written == announced;
}
