#pragma once
// Writes the renderer's stereo output through libsndfile, streaming: frames
// go out a few thousand at a time as they come, so memory stays the same
// however long the file. A WAV file that may outgrow WAV's 32-bit sizes
// (4 GiB: an hour of 32-bit floats at 192 kHz is 5.5 GB) is written as RF64,
// the WAV variant with 64-bit sizes, which libsndfile turns back into plain
// WAV on closing if it stayed within them.
//
// Encoding runs on a thread of its own, so that a render synthesises the
// next blocks while the codec (FLAC, Opus, MP3 ...) works on the last ones.
// Write interleaves the caller's frames into the file's sample type on the
// caller's thread and hands them over in chunks through a ring of a few
// chunks (under a megabyte, allocated by Open): when the ring is full, Write
// waits for the encoder. A failure of the encoder (a full disk) shows in the
// next Write's result and in Close's.
//
// 16-bit PCM is rounded here with PcmDither's triangular dither, so a render
// is repeatable bit for bit. 24-bit PCM (s24 and FLAC) is rounded to the
// nearest step without dither: its step is 144 dB below full scale, far
// under the noise of any converter that plays it, and dither there would
// only cost time and, in FLAC, 13 to 18% of the file. libsndfile gets
// PCM as integers; the float and lossy formats get floats.
//
// Threads: every member on one thread (the caller's); the encoder thread is
// this class's own.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/render/OutputFormat.h"
#include "tools/render/PcmDither.h"

struct sf_private_tag;

class SoundFileWriter
{
public:
  SoundFileWriter() = default;
  // Abandons a file not closed: the encoder stops, the file is left as it is
  // (the renderer's StagedFile removes it).
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
  // Appends n frames from the two channels; false once writing has failed.
  bool Write(const float* left, const float* right, int n);
  bool Write(const double* left, const double* right, int n);
  // Finishes the file (the last frames are encoded, the codecs flush, WAV
  // sizes are written); false with one line in error when anything failed
  // since Open.
  bool Close(std::string& error);

private:
  // Frames per chunk handed to the encoder, and chunks in the ring.
  static constexpr int kChunkFrames = 4096;
  static constexpr int kChunks = 8;

  // One chunk of interleaved frames in the file's sample type: 32-bit
  // integers for PCM, doubles for f64, floats for the rest.
  struct Chunk
  {
    std::vector<unsigned char> bytes;
    int frames = 0;
  };

  template <class Sample>
  bool WriteFrames(const Sample* left, const Sample* right, int n);
  // Hands the chunk being filled to the encoder, waiting while the ring is
  // full; false once writing has failed.
  bool Hand();
  // The encoder thread: writes chunks in turn until told to finish.
  void Encode();
  // Ends the encoder thread (after the chunks handed over, unless abandon).
  void Finish(bool abandon);

  sf_private_tag* file = nullptr;
  OutputFormat format = OutputFormat::kFloat32;
  PcmDither dither;
  std::vector<Chunk> chunks;
  int filling = 0;  // the chunk the caller fills (caller's thread only)

  std::thread encoder;
  std::mutex lock;
  std::condition_variable handed, freed;
  // Under the lock: chunks handed over and written so far, counted from
  // Open; whether the encoder should stop once the ring is empty (or at
  // once); and the first failure, with its message.
  std::uint64_t handedCount = 0, writtenCount = 0;
  bool finishing = false, abandoning = false;
  std::string failure;
  // Set (after failure) by the encoder, read by Write without the lock.
  std::atomic<bool> failed{false};
};
