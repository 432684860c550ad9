#pragma once
// MidiNoteQueue: note messages from one MIDI input's thread to the audio
// thread, each stamped with the moment it arrived. A fixed ring with one
// producer (the input's callback) and one consumer (the audio callback):
// neither side allocates, locks or waits. A full ring drops the newest
// message and counts it.

#include <atomic>
#include <chrono>
#include <cstdint>

#include "tools/player/SpscRing.h"

// The clock that stamps notes and audio callbacks: monotonic, in nanoseconds;
// reading it neither allocates nor locks.
inline std::int64_t PlayerClockNs()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
    .count();
}

struct MidiNote
{
  std::int64_t timeNs = 0;  // arrival, on the clock PlayerClockNs reads
  bool on = false;          // note-on with a velocity above 0; otherwise note-off
  std::uint8_t pitch = 0;
  std::uint8_t velocity = 0;
};

class MidiNoteQueue
{
public:
  static constexpr std::uint32_t kCapacity = 512;

  // Producer only.
  bool Push(const MidiNote& note)
  {
    MidiNote* slot = ring.Back();
    if (!slot)
    {
      dropped.fetch_add(1, std::memory_order_relaxed);
      return false;
    }
    *slot = note;
    ring.Push();
    return true;
  }

  // Consumer only: the oldest note without taking it.
  bool Peek(MidiNote& note) const
  {
    const MidiNote* slot = ring.Front();
    if (!slot)
      return false;
    note = *slot;
    return true;
  }

  // Consumer only: takes the note Peek gave.
  void Pop() { ring.Pop(); }

  std::uint32_t Dropped() const { return dropped.load(std::memory_order_relaxed); }

private:
  SpscRing<MidiNote, kCapacity> ring;
  std::atomic<std::uint32_t> dropped{0};
};
