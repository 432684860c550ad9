// thrumwell-wavdiff A B TOLERANCE: compares two audio files of any format
// libsndfile reads (WAV of floats or PCM, RF64, FLAC, Ogg, Opus, MP3 ...)
// sample by sample, in units of full scale. Exit status 0 when both have the
// same layout (channels, rate, frames) and every pair of samples differs by
// at most TOLERANCE, 1 when they differ, 2 when a file cannot be read or the
// tolerance is not a number. The largest difference and where it is are
// printed. The files are read a block at a time, so any length fits.

#include <sndfile.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/bed/SoundFileOpen.h"
#include "tools/cli/ToolArguments.h"

namespace {

constexpr sf_count_t kBlockFrames = 4096;

struct Input
{
  SNDFILE* file = nullptr;
  SF_INFO info{};
  explicit Input(const char* path) { file = OpenSoundFile(path, SFM_READ, &info); }
  ~Input()
  {
    if (file)
      sf_close(file);
  }
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;
};

}  // namespace

int main(int argc, char** argv)
{
  ThrumwellCli::ToolArguments arguments(argc, argv);
  argc = arguments.Count();
  argv = arguments.Values();
  if (argc != 4)
  {
    std::fprintf(stderr, "usage: thrumwell-wavdiff A B TOLERANCE\n");
    return 2;
  }
  char* end = nullptr;
  errno = 0;
  const double tolerance = std::strtod(argv[3], &end);
  if (end == argv[3] || *end != '\0' || errno != 0 || !(tolerance >= 0))
  {
    std::fprintf(stderr, "thrumwell-wavdiff: the tolerance \"%s\" is not a number of 0 or more\n", argv[3]);
    return 2;
  }
  const Input a(argv[1]), b(argv[2]);
  for (const auto* input : {&a, &b})
    if (!input->file)
    {
      std::fprintf(stderr, "thrumwell-wavdiff: cannot read \"%s\" as audio: %s\n", input == &a ? argv[1] : argv[2],
                   sf_strerror(nullptr));
      return 2;
    }
  if (a.info.channels != b.info.channels || a.info.samplerate != b.info.samplerate || a.info.frames != b.info.frames)
  {
    std::printf("layouts differ: %d channels at %d Hz, %lld frames against %d channels at %d Hz, %lld frames\n",
                a.info.channels, a.info.samplerate, static_cast<long long>(a.info.frames), b.info.channels,
                b.info.samplerate, static_cast<long long>(b.info.frames));
    return 1;
  }
  const std::size_t channels = static_cast<std::size_t>(a.info.channels);
  std::vector<double> left(static_cast<std::size_t>(kBlockFrames) * channels);
  std::vector<double> right(left.size());
  double worst = 0.0;
  long long worstAt = 0, samples = 0;
  for (;;)
  {
    const sf_count_t got = sf_readf_double(a.file, left.data(), kBlockFrames);
    if (sf_readf_double(b.file, right.data(), kBlockFrames) != got)
    {
      std::fprintf(stderr, "thrumwell-wavdiff: \"%s\" and \"%s\" did not read to their stated length\n", argv[1],
                   argv[2]);
      return 2;
    }
    if (got <= 0)
      break;
    for (std::size_t i = 0; i < static_cast<std::size_t>(got) * channels; ++i, ++samples)
    {
      const double difference = std::fabs(left[i] - right[i]);
      // A NaN on either side is the worst difference there is.
      if (!(difference <= worst))
      {
        worst = std::isnan(difference) ? INFINITY : difference;
        worstAt = samples;
      }
    }
  }
  if (samples != static_cast<long long>(a.info.frames) * a.info.channels)
  {
    std::fprintf(stderr, "thrumwell-wavdiff: \"%s\" and \"%s\" did not read to their stated length\n", argv[1],
                 argv[2]);
    return 2;
  }
  const long long perFrame = a.info.channels;
  std::printf("%lld samples, largest difference %.3g at frame %lld channel %lld\n", samples, worst,
              worstAt / perFrame, worstAt % perFrame);
  return worst <= tolerance ? 0 : 1;
}
