// thrumwell-wavdiff A.wav B.wav TOLERANCE: compares two WAV files of IEEE
// float samples (32-bit or 64-bit, any channel count) sample by sample.
// Exit status 0 when both have the same layout and every pair of samples
// differs by at most TOLERANCE, 1 when they differ, 2 when a file cannot be
// read. The largest difference and where it is are printed.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/HostUtf8.h"
#include "tools/cli/ToolArguments.h"

namespace {

struct Wav
{
  int channels = 0;
  int bits = 0;
  std::uint32_t rate = 0;
  std::vector<double> samples;  // interleaved
};

std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at)
{
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Walks the RIFF chunks for "fmt " and "data"; false for anything else than
// float samples.
bool Read(const char* path, Wav& wav)
{
  std::ifstream in(ThrumwellHost::PathFromUtf8(path), std::ios::binary);
  const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
    return false;
  bool haveFormat = false;
  for (std::size_t at = 12; at + 8 <= b.size();)
  {
    const std::uint32_t size = U32(b, at + 4);
    const std::size_t body = at + 8;
    if (size > b.size() - body)
      return false;
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && size >= 16)
    {
      const int format = b[body] | (b[body + 1] << 8);
      wav.channels = b[body + 2] | (b[body + 3] << 8);
      wav.rate = U32(b, body + 4);
      wav.bits = b[body + 14] | (b[body + 15] << 8);
      haveFormat = format == 3 && wav.channels > 0 && (wav.bits == 32 || wav.bits == 64);
      if (!haveFormat)
        return false;
    }
    else if (std::memcmp(b.data() + at, "data", 4) == 0 && haveFormat)
    {
      const std::size_t width = static_cast<std::size_t>(wav.bits / 8);
      for (std::size_t i = 0; i + width <= size; i += width)
      {
        if (width == 8)
        {
          double value;
          std::memcpy(&value, b.data() + body + i, 8);
          wav.samples.push_back(value);
        }
        else
        {
          float value;
          std::memcpy(&value, b.data() + body + i, 4);
          wav.samples.push_back(value);
        }
      }
      return true;
    }
    at = body + size + (size & 1);
  }
  return false;
}

}  // namespace

int main(int argc, char** argv)
{
  ThrumwellCli::ToolArguments arguments(argc, argv);
  argc = arguments.Count();
  argv = arguments.Values();
  if (argc != 4)
  {
    std::fprintf(stderr, "usage: thrumwell-wavdiff A.wav B.wav TOLERANCE\n");
    return 2;
  }
  Wav a, b;
  if (!Read(argv[1], a) || !Read(argv[2], b))
  {
    std::fprintf(stderr, "thrumwell-wavdiff: cannot read \"%s\" or \"%s\" as a float WAV file\n", argv[1], argv[2]);
    return 2;
  }
  const double tolerance = std::strtod(argv[3], nullptr);
  if (a.channels != b.channels || a.rate != b.rate || a.samples.size() != b.samples.size())
  {
    std::printf("layouts differ: %d channels at %u Hz, %zu samples against %d channels at %u Hz, %zu samples\n",
                a.channels, a.rate, a.samples.size(), b.channels, b.rate, b.samples.size());
    return 1;
  }
  double worst = 0.0;
  std::size_t worstAt = 0;
  for (std::size_t i = 0; i < a.samples.size(); ++i)
  {
    const double difference = std::fabs(a.samples[i] - b.samples[i]);
    // A NaN on either side is the worst difference there is.
    if (!(difference <= worst))
    {
      worst = std::isnan(difference) ? INFINITY : difference;
      worstAt = i;
    }
  }
  std::printf("%zu samples, largest difference %.3g at frame %zu channel %zu\n", a.samples.size(), worst,
              worstAt / static_cast<std::size_t>(a.channels), worstAt % static_cast<std::size_t>(a.channels));
  return worst <= tolerance ? 0 : 1;
}
