#pragma once
// Writes a stereo WAV file, streaming the samples: the header, then the
// frames as they come, a few hundred at a time, so memory stays the same
// however long the file; closing writes the sizes of what was written. A file
// that may grow beyond the format's 32-bit fields (4 GiB: an hour of 32-bit
// floats at 192 kHz is 5.5 GB) is written as RF64, the WAV variant with a
// "ds64" chunk of 64-bit sizes, which common readers accept.
//
// This is the renderer's writer where libsndfile is not built in (the
// Windows build until its cross-built libsndfile is in place); elsewhere
// SoundFileWriter writes all formats.
//
// Formats: 32-bit or 64-bit IEEE floats, or 24-bit or 16-bit PCM rounded with
// PcmDither, so a render is repeatable bit for bit.

#include <cstdint>
#include <cstdio>

#include "tools/render/OutputFormat.h"
#include "tools/render/PcmDither.h"

class WavWriter
{
public:
  // riffLimit: the largest RIFF size written as plain WAV; larger files
  // become RF64. Tests lower it to see RF64 files of a few bytes.
  explicit WavWriter(std::uint64_t limit = 0xFFFFFFFFu) : riffLimit(limit) {}
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates path and writes the header for at most maxFrames frames at rate
  // Hz (RF64 when that many would not fit WAV); false for a format that is
  // not WAV.
  bool Open(const char* path, std::uint32_t rate, std::uint64_t maxFrames, OutputFormat format);
  // Appends n frames from the two channels, stored in the format given to Open.
  bool Write(const float* left, const float* right, int n);
  bool Write(const double* left, const double* right, int n);
  // Writes the sizes of the frames written, flushes and closes; false when
  // anything failed since Open, or more frames were written than announced.
  bool Close();

private:
  bool Put(const void* bytes, std::size_t count);
  bool PutU16(std::uint16_t v);
  bool PutU32(std::uint32_t v);
  bool PutU64(std::uint64_t v);
  template <class Sample>
  bool WriteFrames(const Sample* left, const Sample* right, int n);
  // Writes the header for frames frames at the start of the file.
  bool PutHeader(std::uint64_t frames);

  std::uint64_t riffLimit;
  std::FILE* file = nullptr;
  OutputFormat format = OutputFormat::kFloat32;
  std::uint32_t rate = 0;
  bool rf64 = false;
  std::uint64_t announced = 0;
  std::uint64_t written = 0;
  std::uint32_t bytesPerSample = 4;
  PcmDither dither;
  bool failed = false;
};
