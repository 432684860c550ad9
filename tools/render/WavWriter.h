#pragma once
// Writes a stereo WAV file, streaming the samples: the header, sized from the
// frame count given up front, then the frames as they come, a few hundred at
// a time, so memory stays the same however long the file. A file whose sizes
// do not fit the format's 32-bit fields (4 GiB: an hour of 32-bit floats at
// 192 kHz is 5.5 GB) is written as RF64, the WAV variant with a "ds64" chunk
// of 64-bit sizes, which common readers accept.
//
// Formats: 32-bit or 64-bit IEEE floats, or 24-bit or 16-bit PCM. The PCM
// formats add triangular (TPDF) dither of one step peak before rounding, from
// a generator seeded the same way for every file, so a render is repeatable
// bit for bit.

#include <cstdint>
#include <cstdio>
#include <string>

enum class WavFormat
{
  kFloat32,
  kFloat64,
  kPcm24,
  kPcm16,
};

// "f32", "f64", "s24", "s16" and back; false for another name.
bool WavFormatFromName(const std::string& name, WavFormat& format);
int WavFormatBits(WavFormat format);

class WavWriter
{
public:
  // Largest frame count a file may hold.
  static std::uint64_t MaxFrames(WavFormat format);

  // riffLimit: the largest RIFF size written as plain WAV; larger files
  // become RF64. Tests lower it to see RF64 files of a few bytes.
  explicit WavWriter(std::uint64_t limit = 0xFFFFFFFFu) : riffLimit(limit) {}
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates path and writes the header for frames frames at rate Hz.
  bool Open(const char* path, std::uint32_t rate, std::uint64_t frames, WavFormat format);
  // Appends n frames from the two channels, stored in the format given to Open.
  bool Write(const float* left, const float* right, int n);
  bool Write(const double* left, const double* right, int n);
  // Flushes and closes; false when anything failed since Open, or fewer
  // frames were written than announced.
  bool Close();

private:
  bool Put(const void* bytes, std::size_t count);
  bool PutU16(std::uint16_t v);
  bool PutU32(std::uint32_t v);
  bool PutU64(std::uint64_t v);
  template <class Sample>
  bool WriteFrames(const Sample* left, const Sample* right, int n);
  // A sample as a dithered PCM value of scale steps to full scale.
  std::int32_t Quantize(double sample, double scale);
  // Triangular dither in steps of the PCM format: -1 < d < 1.
  double Dither();

  std::uint64_t riffLimit;
  std::FILE* file = nullptr;
  WavFormat format = WavFormat::kFloat32;
  std::uint64_t announced = 0;
  std::uint64_t written = 0;
  std::uint32_t bytesPerSample = 4;
  std::uint64_t random = 0;
  bool failed = false;
};
