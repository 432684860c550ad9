#include "tools/render/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "host/HostUtf8.h"

namespace {

constexpr std::uint32_t kChannels = 2;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatIeeeFloat = 3;
// Float files: RIFF header, "fmt " chunk with the extension size field,
// "fact" chunk and the "data" chunk header. PCM files: RIFF header, the plain
// 16-byte "fmt " chunk and the "data" chunk header. RF64 files have a "ds64"
// chunk of 28 bytes after the RIFF header.
constexpr std::uint32_t kFloatHeaderBytes = 12 + 26 + 12 + 8;
constexpr std::uint32_t kPcmHeaderBytes = 12 + 24 + 8;
constexpr std::uint32_t kDs64Bytes = 8 + 28;
// A 32-bit size field of an RF64 file: look in "ds64".
constexpr std::uint32_t kSizeInDs64 = 0xFFFFFFFFu;

bool IsPcm(OutputFormat format) { return format == OutputFormat::kPcm24 || format == OutputFormat::kPcm16; }

std::uint32_t HeaderBytes(OutputFormat format) { return IsPcm(format) ? kPcmHeaderBytes : kFloatHeaderBytes; }

}  // namespace

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

bool WavWriter::PutU64(std::uint64_t v)
{
  PutU32(static_cast<std::uint32_t>(v));
  return PutU32(static_cast<std::uint32_t>(v >> 32));
}

bool WavWriter::Open(const char* path, std::uint32_t sampleRate, std::uint64_t maxFrames, OutputFormat wavFormat)
{
  if (file || !IsWavFormat(wavFormat) || maxFrames > OutputFormatMaxFrames(wavFormat))
    return false;
  format = wavFormat;
  rate = sampleRate;
  bytesPerSample = static_cast<std::uint32_t>(OutputFormatBits(format) / 8);
  file = ThrumwellHost::OpenFile(path, "wb");
  if (!file)
    return false;
  announced = maxFrames;
  written = 0;
  failed = false;
  dither.Reset();
  rf64 = HeaderBytes(format) - 8 + maxFrames * kChannels * bytesPerSample > riffLimit;
  return PutHeader(maxFrames);
}

bool WavWriter::PutHeader(std::uint64_t frames)
{
  const std::uint64_t dataBytes = frames * kChannels * bytesPerSample;
  const bool pcm = IsPcm(format);
  const std::uint64_t riffBytes = HeaderBytes(format) - 8 + dataBytes;
  auto size32 = [this](std::uint64_t size) { return rf64 ? kSizeInDs64 : static_cast<std::uint32_t>(size); };
  if (rf64)
  {
    Put("RF64", 4);
    PutU32(kSizeInDs64);
    Put("WAVE", 4);
    Put("ds64", 4);
    PutU32(kDs64Bytes - 8);
    PutU64(riffBytes + kDs64Bytes);
    PutU64(dataBytes);
    PutU64(frames);
    PutU32(0);  // no table of other chunk sizes
  }
  else
  {
    Put("RIFF", 4);
    PutU32(static_cast<std::uint32_t>(riffBytes));
    Put("WAVE", 4);
  }
  Put("fmt ", 4);
  PutU32(pcm ? 16 : 18);
  PutU16(pcm ? kFormatPcm : kFormatIeeeFloat);
  PutU16(kChannels);
  PutU32(rate);
  PutU32(rate * kChannels * bytesPerSample);
  PutU16(static_cast<std::uint16_t>(kChannels * bytesPerSample));
  PutU16(static_cast<std::uint16_t>(bytesPerSample * 8));
  if (!pcm)
  {
    PutU16(0);
    Put("fact", 4);
    PutU32(4);
    PutU32(size32(frames));
  }
  Put("data", 4);
  return PutU32(size32(dataBytes));
}

template <class Sample>
bool WavWriter::WriteFrames(const Sample* left, const Sample* right, int n)
{
  if (!file)
    return false;
  // Interleaved frames, a few hundred at a time. Samples are stored in the
  // machine's byte order, which on both our platforms (x86-64) is the
  // little-endian order the format wants.
  constexpr int kChunkFrames = 512;
  unsigned char chunk[kChunkFrames * kChannels * 8];
  for (int done = 0; done < n && !failed;)
  {
    const int count = std::min(n - done, kChunkFrames);
    unsigned char* out = chunk;
    for (int i = done; i < done + count; ++i)
    {
      for (const Sample* channel : {left, right})
      {
        switch (format)
        {
          case OutputFormat::kFloat32:
          {
            const float value = static_cast<float>(channel[i]);
            std::memcpy(out, &value, 4);
            break;
          }
          case OutputFormat::kFloat64:
          {
            const double value = static_cast<double>(channel[i]);
            std::memcpy(out, &value, 8);
            break;
          }
          case OutputFormat::kPcm24:
          case OutputFormat::kPcm16:
          {
            const bool wide = format == OutputFormat::kPcm24;
            const std::int32_t value = dither.Quantize(static_cast<double>(channel[i]), wide ? 8388608.0 : 32768.0);
            std::memcpy(out, &value, wide ? 3 : 2);
            break;
          }
          default:  // Open takes the WAV formats only
            break;
        }
        out += bytesPerSample;
      }
    }
    Put(chunk, static_cast<std::size_t>(out - chunk));
    done += count;
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
  // The sizes of what was written replace those of the frames announced.
  if (written < announced && !failed)
  {
    if (std::fseek(file, 0, SEEK_SET) != 0)
      failed = true;
    else
      PutHeader(written);
  }
  const bool closed = std::fclose(file) == 0;
  file = nullptr;
  return closed && !failed && written <= announced;
}
