#pragma once
// Writes the renderer's stereo output through libsndfile, streaming: frames
// go out a few hundred at a time as they come, so memory stays the same
// however long the file. A WAV file that may outgrow WAV's 32-bit sizes
// (4 GiB: an hour of 32-bit floats at 192 kHz is 5.5 GB) is written as RF64,
// the WAV variant with 64-bit sizes, which libsndfile turns back into plain
// WAV on closing if it stayed within them.
//
// The PCM formats (s24, s16 and FLAC's 24 bits) are rounded here with
// PcmDither, so a render is repeatable bit for bit; libsndfile gets them as
// integers. The float and lossy formats get floats.

#include <cstdint>
#include <string>

#include "tools/render/OutputFormat.h"
#include "tools/render/PcmDither.h"

struct sf_private_tag;

class SoundFileWriter
{
public:
  SoundFileWriter() = default;
  ~SoundFileWriter();
  SoundFileWriter(const SoundFileWriter&) = delete;
  SoundFileWriter& operator=(const SoundFileWriter&) = delete;

  // Creates path for at most maxFrames frames at rate Hz in format. quality:
  // 0 (smallest) to 10 (best) for the lossy formats, negative for the
  // library's default. False with one line in error when the file cannot be
  // made.
  bool Open(const std::string& path, int rate, std::uint64_t maxFrames, OutputFormat format, double quality,
            std::string& error);
  // The largest WAV file written as plain WAV (RIFF sizes are 32 bits).
  static constexpr std::uint64_t kWavLimit = 0xFFFFFFFFull;
  // Appends n frames from the two channels.
  bool Write(const float* left, const float* right, int n);
  bool Write(const double* left, const double* right, int n);
  // Finishes the file (the codecs flush, WAV sizes are written); false with
  // one line in error when anything failed since Open.
  bool Close(std::string& error);

private:
  template <class Sample>
  bool WriteFrames(const Sample* left, const Sample* right, int n);

  static constexpr int kChunkFrames = 512;

  sf_private_tag* file = nullptr;
  OutputFormat format = OutputFormat::kFloat32;
  PcmDither dither;
  bool failed = false;
  std::string failure;
  union
  {
    float f[kChunkFrames * 2];
    double d[kChunkFrames * 2];
    int i[kChunkFrames * 2];
  } chunk{};
};
