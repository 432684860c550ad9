#pragma once
// SpscRing: a fixed ring of Capacity slots (a power of two) between one
// producer thread and one consumer thread. Slots are filled and read in
// place; neither side allocates, locks or waits. Each index is written by one
// side only and read by the other; they sit on separate cache lines so the
// two threads do not share one.

#include <array>
#include <atomic>
#include <cstdint>

template <class T, std::uint32_t Capacity>
class SpscRing
{
  static_assert(Capacity > 0 && (Capacity & (Capacity - 1)) == 0, "the capacity is a power of two");

public:
  // ---- Producer ----------------------------------------------------------------------
  // The slot to fill next, or null while the ring is full.
  T* Back()
  {
    const std::uint32_t tail = writeIndex.load(std::memory_order_relaxed);
    if (tail - readIndex.load(std::memory_order_acquire) >= Capacity)
      return nullptr;
    return &slots[tail & (Capacity - 1)];
  }
  // Hands the slot Back gave to the consumer.
  void Push() { writeIndex.store(writeIndex.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

  // ---- Consumer ----------------------------------------------------------------------
  // The oldest slot, or null when none waits.
  const T* Front() const
  {
    const std::uint32_t head = readIndex.load(std::memory_order_relaxed);
    if (head == writeIndex.load(std::memory_order_acquire))
      return nullptr;
    return &slots[head & (Capacity - 1)];
  }
  // Gives the slot Front gave back to the producer.
  void Pop() { readIndex.store(readIndex.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

private:
  std::array<T, Capacity> slots{};
  alignas(64) std::atomic<std::uint32_t> writeIndex{0};
  alignas(64) std::atomic<std::uint32_t> readIndex{0};
};
