#pragma once
// Timing an operation against memcpy of the same number of bytes in the same
// run, in this thread's processor time (the machine is shared, and wall-clock
// time would measure the other processes as much as the operation), with a
// count of heap allocations per operation.
//
// Every heap allocation, operator new's included, goes through malloc, calloc
// or realloc; the ones defined here count them and let glibc do the work.
// They are definitions, so exactly one source file of a benchmark program
// includes this header.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <vector>

#include "bench/ThreadSeconds.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
namespace benchalloc
{
inline std::atomic<bool> counting{false};
inline std::atomic<long> allocations{0};
}  // namespace benchalloc
extern "C" void* malloc(size_t n)
{
  if (benchalloc::counting.load(std::memory_order_relaxed))
    benchalloc::allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t size)
{
  if (benchalloc::counting.load(std::memory_order_relaxed))
    benchalloc::allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, size_t n)
{
  if (benchalloc::counting.load(std::memory_order_relaxed))
    benchalloc::allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(p, n);
}

inline double ThreadMicroseconds()
{
  return ThreadSeconds() * 1e6;
}

// Microseconds per memcpy of `bytes`, the baseline of every ratio; about
// 200 MiB are copied, so small copies are not lost in the clock's resolution.
inline double MemcpyMicroseconds(std::size_t bytes)
{
  std::vector<unsigned char> from(bytes, 1), to(bytes, 2);
  const int rounds = int(std::max<std::size_t>(20, (std::size_t(200) << 20) / std::max<std::size_t>(bytes, 1)));
  const double start = ThreadMicroseconds();
  for (int i = 0; i < rounds; ++i)
  {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  return (ThreadMicroseconds() - start) / rounds;
}

// Runs body once per iteration; counters: op_us, memcpy_us, x_memcpy (the
// ratio) and allocs (heap allocations per iteration).
template <typename Body> void AgainstMemcpy(benchmark::State& state, std::size_t bytes, Body body)
{
  const double baseline = MemcpyMicroseconds(bytes);
  benchalloc::allocations = 0;
  benchalloc::counting = true;
  const double start = ThreadMicroseconds();
  for (auto _ : state)
  {
    body();
    benchmark::ClobberMemory();
  }
  const double us = (ThreadMicroseconds() - start) / double(state.iterations());
  benchalloc::counting = false;
  state.counters["op_us"] = us;
  state.counters["memcpy_us"] = baseline;
  state.counters["x_memcpy"] = us / baseline;
  state.counters["allocs"] = double(benchalloc::allocations.load()) / double(state.iterations());
}
