#include "tools/validate/checks/AudioAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{

thread_local bool watched = false;
std::atomic<long> counted{0};

}  // namespace

namespace AudioAllocations
{

void Watch(bool on) { watched = on; }
long Count() { return counted.load(); }
void Reset() { counted.store(0); }

bool SeesModuleAllocations()
{
#if defined(_WIN32) || !THRUMWELL_REPLACE_OPERATOR_NEW
  return false;
#else
  return true;
#endif
}

}  // namespace AudioAllocations

#if THRUMWELL_REPLACE_OPERATOR_NEW

namespace
{

void* Allocate(std::size_t size)
{
  if (watched)
    counted.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size ? size : 1);
}

}  // namespace

// The replaced allocation functions; the aligned forms stay the library's,
// which pair with their own deletes.
void* operator new(std::size_t size)
{
  if (void* p = Allocate(size))
    return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
  if (void* p = Allocate(size))
    return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#endif
