#pragma once
// SessionQueue: a session's parameter changes, computed ahead on the main
// thread, handed to the audio thread. The session runs in transport frames
// (the time played), cut into chunks as a renderer cuts its blocks: each
// setting and program change falls on a chunk's first frame. A chunk carries
// its program change (played in a flush of its own before the chunk) and its
// points at offsets from the chunk's start. The main thread produces, the
// audio callback consumes, through an SpscRing.

#include <array>
#include <atomic>
#include <cstdint>

#include "tools/player/SpscRing.h"
#include "vst3/sdk/IParameterChanges.h"

struct SessionChunk
{
  static constexpr int kMaxPoints = 64;
  struct Point
  {
    Steinberg::Vst::ParamID id;
    Steinberg::int32 offset;  // from the chunk's start
    double normalized;
  };

  std::uint64_t start = 0;  // transport frame
  int length = 0;
  bool program = false;  // a program change comes first
  Steinberg::Vst::ParamID programId = 0;
  double programValue = 0.0;
  int count = 0;
  std::array<Point, kMaxPoints> points{};

  std::uint64_t End() const { return start + static_cast<std::uint64_t>(length); }
};

class SessionQueue
{
public:
  static constexpr std::uint32_t kCapacity = 256;

  // ---- Producer (main thread) ------------------------------------------------------
  // The slot to fill next, or null while the ring is full.
  SessionChunk* Back() { return ring.Back(); }
  // Hands the filled slot to the consumer.
  void Push() { ring.Push(); }
  // Program changes the consumer has delivered so far.
  std::uint32_t ProgramsDelivered() const { return programsDelivered.load(std::memory_order_acquire); }

  // ---- Consumer (audio thread) -----------------------------------------------------
  // The oldest chunk, or null when none waits.
  const SessionChunk* Front() const { return ring.Front(); }
  void Pop() { ring.Pop(); }
  void ProgramDelivered() { programsDelivered.fetch_add(1, std::memory_order_release); }

private:
  SpscRing<SessionChunk, kCapacity> ring;
  std::atomic<std::uint32_t> programsDelivered{0};
};
