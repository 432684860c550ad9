#include "tools/player/PlayerInput.h"

#include <algorithm>
#include <chrono>

bool PlayerInput::Open(const std::string& path, double rate, bool loop, double gainDb, std::string& error)
{
  return file.Open(path, rate, loop, gainDb, error);
}

bool PlayerInput::Fill()
{
  bool filled = false;
  for (Chunk* chunk = ring.Back(); chunk && !failed.load(std::memory_order_relaxed); chunk = ring.Back())
  {
    chunk->left.fill(0.0f);
    chunk->right.fill(0.0f);
    if (!file.Add(chunk->left.data(), chunk->right.data(), kChunkFrames))
      failed.store(true, std::memory_order_release);
    ring.Push();
    filled = true;
  }
  return filled;
}

void PlayerInput::Read()
{
  // A chunk is 10 ms at 48 kHz; looking every 5 ms keeps the ring nearly full.
  while (!stopping.load(std::memory_order_acquire))
    if (!Fill())
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void PlayerInput::Start()
{
  if (reader.joinable())
    return;
  Fill();
  stopping.store(false, std::memory_order_release);
  reader = std::thread([this] { Read(); });
}

void PlayerInput::Stop()
{
  stopping.store(true, std::memory_order_release);
  if (reader.joinable())
    reader.join();
}

void PlayerInput::Add(float* left, float* right, int n)
{
  for (int done = 0; done < n;)
  {
    const Chunk* chunk = ring.Front();
    if (!chunk)
    {
      starved.fetch_add(n - done, std::memory_order_relaxed);
      return;
    }
    const int count = std::min(n - done, kChunkFrames - used);
    for (int i = 0; i < count; ++i)
    {
      left[done + i] += chunk->left[static_cast<std::size_t>(used + i)];
      right[done + i] += chunk->right[static_cast<std::size_t>(used + i)];
    }
    used += count;
    done += count;
    if (used == kChunkFrames)
    {
      ring.Pop();
      used = 0;
    }
  }
}
