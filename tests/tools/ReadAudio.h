#pragma once
// An audio file read whole through libsndfile, as 64-bit samples in full-scale
// units, for tests that compare what a writer or the renderer produced.

#include <sndfile.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tools/bed/SoundFileOpen.h"

struct Audio
{
  int channels = 0;
  int rate = 0;
  std::vector<double> samples;  // interleaved
  std::size_t Frames() const { return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

// The file at path (UTF-8); no channels and no samples when it cannot be read.
inline Audio ReadAudio(const std::string& path)
{
  Audio audio;
  SF_INFO info{};
  SNDFILE* file = OpenSoundFile(path, SFM_READ, &info);
  if (!file)
    return audio;
  audio.channels = info.channels;
  audio.rate = info.samplerate;
  std::vector<double> block(4096 * static_cast<std::size_t>(info.channels));
  for (sf_count_t got; (got = sf_readf_double(file, block.data(), 4096)) > 0;)
    audio.samples.insert(audio.samples.end(), block.begin(), block.begin() + got * info.channels);
  sf_close(file);
  return audio;
}
