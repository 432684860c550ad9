// The audio path never allocates: 1,000 blocks with notes, parameter
// changes and program changes run with the global allocation functions
// replaced by counting ones.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "synth/ThrumwellParameters.h"
#include "tests/synth/ThrumwellTestRig.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* CountedAllocate(std::size_t size)
{
  if (counting.load(std::memory_order_relaxed))
    allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  try
  {
    return CountedAllocate(size);
  }
  catch (...)
  {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(ThrumwellAllocation, ThousandBlocksAllocateNothing)
{
  // The counting functions are the ones in use.
  counting = true;
  delete new int(1);
  counting = false;
  ASSERT_EQ(allocations.exchange(0), 1);

  ThrumwellRig rig(48000, 512);
  rig.Render(512);
  counting = true;
  for (int block = 0; block < 1000; ++block)
  {
    if (block % 7 == 0)
      rig.NoteOn(40 + block % 50, 1 + block % 127);
    if (block % 11 == 0)
      rig.NoteOff(40 + block % 50);
    if (block % 5 == 0)
      rig.SetNormalized(block % 12, (block % 17) / 16.0);
    if (block % 97 == 0)
    {
      IPlugLockGuard guard(rig.synth.GetLock());
      rig.synth.SelectProgram(block % 130);
    }
    if (block % 50 == 0)
      rig.synth.clockMs += 600;
    rig.Render(1 + block % 512);
  }
  counting = false;
  EXPECT_EQ(allocations.load(), 0);
}
