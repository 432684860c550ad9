#pragma once
// PlayerInput: an audio file played into the instrument's input by the
// player. A reader thread of its own decodes (and resamples) the file ahead
// into a lock-free ring of chunks, so the audio thread only copies samples:
// it never reads the file, allocates or waits. Frames the reader has not
// supplied in time play as silence and are counted.
//
// Threads: Open, Start and Stop on the main thread; Add on the audio thread;
// the counters on any.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "tools/bed/InputFile.h"
#include "tools/player/SpscRing.h"

class PlayerInput
{
public:
  static constexpr int kChunkFrames = 512;
  static constexpr std::uint32_t kChunks = 128;  // 1.4 s ahead at 48 kHz

  PlayerInput() = default;
  ~PlayerInput() { Stop(); }
  PlayerInput(const PlayerInput&) = delete;
  PlayerInput& operator=(const PlayerInput&) = delete;

  // Opens the file for the session's rate (see InputFile); false with one
  // line in error.
  bool Open(const std::string& path, double rate, bool loop, double gainDb, std::string& error);
  // Starts the reader and waits until it has filled the ring (or failed).
  void Start();
  // Ends the reader; the audio must no longer call Add.
  void Stop();

  // Audio thread: adds the next n frames to left and right.
  void Add(float* left, float* right, int n);

  // Frames the audio thread wanted before the reader had them.
  std::int64_t StarvedFrames() const { return starved.load(std::memory_order_relaxed); }
  // True once the file failed to read part way; Error() says why (read it
  // after Stop).
  bool Failed() const { return failed.load(std::memory_order_acquire); }
  const std::string& Error() const { return file.Error(); }

private:
  struct Chunk
  {
    std::array<float, kChunkFrames> left{}, right{};
  };
  // Fills every free chunk; true when it filled at least one.
  bool Fill();
  void Read();

  InputFile file;
  SpscRing<Chunk, kChunks> ring;
  std::thread reader;
  std::atomic<bool> stopping{false};
  std::atomic<bool> failed{false};
  std::atomic<std::int64_t> starved{0};
  int used = 0;  // frames of the front chunk already played (audio thread)
};
