#pragma once
// Writes a stereo WAV file of 32-bit or 64-bit IEEE floats, streaming the
// samples: the header, sized from the frame count given up front, then the
// frames.

#include <cstdint>
#include <cstdio>

class WavWriter
{
public:
  // Largest frame count whose data still fits the format's 32-bit sizes.
  static std::uint64_t MaxFrames(int bitsPerSample = 32);

  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates path and writes the header for frames frames at rate Hz, of
  // 32-bit or 64-bit samples.
  bool Open(const char* path, std::uint32_t rate, std::uint64_t frames, int bitsPerSample = 32);
  // Appends n frames from the two channels; the samples are stored at the
  // width given to Open.
  bool Write(const float* left, const float* right, int n);
  bool Write(const double* left, const double* right, int n);
  // Flushes and closes; false when anything failed since Open, or fewer
  // frames were written than announced.
  bool Close();

private:
  bool Put(const void* bytes, std::size_t count);
  bool PutU16(std::uint16_t v);
  bool PutU32(std::uint32_t v);
  template <class Sample>
  bool WriteFrames(const Sample* left, const Sample* right, int n);

  std::FILE* file = nullptr;
  std::uint64_t announced = 0;
  std::uint64_t written = 0;
  std::uint32_t bytesPerSample = 4;
  bool failed = false;
};
