#pragma once
// MidiNoteQueue: note messages from one MIDI input's thread to the audio
// thread, each stamped with the moment it arrived. A fixed ring with one
// producer (the input's callback) and one consumer (the audio callback):
// neither side allocates, locks or waits. A full ring drops the newest
// message and counts it.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>

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
  static constexpr std::uint32_t kCapacity = 512;  // a power of two

  // Producer only.
  bool Push(const MidiNote& note)
  {
    const std::uint32_t tail = writeIndex.load(std::memory_order_relaxed);
    if (tail - readIndex.load(std::memory_order_acquire) >= kCapacity)
    {
      dropped.fetch_add(1, std::memory_order_relaxed);
      return false;
    }
    slots[tail & (kCapacity - 1)] = note;
    writeIndex.store(tail + 1, std::memory_order_release);
    return true;
  }

  // Consumer only: the oldest note without taking it.
  bool Peek(MidiNote& note) const
  {
    const std::uint32_t head = readIndex.load(std::memory_order_relaxed);
    if (head == writeIndex.load(std::memory_order_acquire))
      return false;
    note = slots[head & (kCapacity - 1)];
    return true;
  }

  // Consumer only: takes the note Peek gave.
  void Pop() { readIndex.store(readIndex.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

  std::uint32_t Dropped() const { return dropped.load(std::memory_order_relaxed); }

private:
  std::array<MidiNote, kCapacity> slots{};
  // Each index is written by one side only; the other side reads it. They
  // sit on separate cache lines so the two threads do not share one.
  alignas(64) std::atomic<std::uint32_t> writeIndex{0};
  alignas(64) std::atomic<std::uint32_t> readIndex{0};
  std::atomic<std::uint32_t> dropped{0};
};
