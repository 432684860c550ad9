// Cost of the processing frame around RenderBlock for one stereo block:
// attaching the host's arrays, converting 32-bit samples both ways and the
// default copy. Each benchmark reports vs_memcpy, its time per block divided
// by the time of memcpy of the same input and output bytes, measured in the
// same run. Both are timed in this thread's processor time, so other work
// on a busy machine does not skew the ratio.

#include <cstring>
#include <ctime>
#include <vector>

#include <benchmark/benchmark.h>

#include "plug/IPlugBase.h"

namespace
{
double ThreadSeconds()
{
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds per memcpy of nFrames input and output samples of two channels of
// sampleBytes each: the cheapest possible way to move a block through.
double MemcpySeconds(int nFrames, std::size_t sampleBytes)
{
  const std::size_t bytes = static_cast<std::size_t>(nFrames) * sampleBytes;
  std::vector<unsigned char> src(bytes * 2, 1), dest(bytes * 2);
  constexpr int kReps = 20000;
  const double start = ThreadSeconds();
  for (int r = 0; r < kReps; ++r)
  {
    std::memcpy(dest.data(), src.data(), bytes * 2);
    benchmark::DoNotOptimize(dest.data());
    benchmark::ClobberMemory();
  }
  return (ThreadSeconds() - start) / kReps;
}

class BenchPlug : public IPlugBase
{
public:
  BenchPlug() : IPlugBase(12, "1-1 2-2", 1, "Bench", "", "", 0, 0, 0, 0, true, false, true, kApiVst3) {}
};

template <typename Sample>
void RunBlocks(benchmark::State& state, bool passThrough)
{
  const int n = static_cast<int>(state.range(0));
  BenchPlug plug;
  plug.SetBlockSize(n);
  std::vector<Sample> in[2], out[2];
  Sample* ins[2];
  Sample* outs[2];
  for (int c = 0; c < 2; ++c)
  {
    in[c].assign(static_cast<std::size_t>(n), Sample(0.25));
    out[c].assign(static_cast<std::size_t>(n), Sample(0));
    ins[c] = in[c].data();
    outs[c] = out[c].data();
  }
  const double start = ThreadSeconds();
  for (auto _ : state)
  {
    plug.SetInputConnections(0, 2, true);
    plug.SetOutputConnections(0, 2, true);
    if constexpr (sizeof(Sample) == sizeof(float))
    {
      plug.AttachInputBuffers(0, 2, ins, n);
      plug.AttachOutputBuffers(0, 2, outs);
      passThrough ? plug.PassThroughBuffers32(n) : plug.ProcessBuffers32(n);
    }
    else
    {
      plug.AttachInputBuffers(0, 2, ins);
      plug.AttachOutputBuffers(0, 2, outs);
      passThrough ? plug.PassThroughBuffers64(n) : plug.ProcessBuffers64(n);
    }
    benchmark::DoNotOptimize(out[1].data());
    benchmark::ClobberMemory();
  }
  const double perBlock = (ThreadSeconds() - start) / static_cast<double>(state.iterations());
  state.counters["vs_memcpy"] = perBlock / MemcpySeconds(n, sizeof(Sample));
  state.SetItemsProcessed(state.iterations() * n);
}

void PassThrough32(benchmark::State& state) { RunBlocks<float>(state, true); }
void PassThrough64(benchmark::State& state) { RunBlocks<double>(state, true); }
// Not render-ready: the frame silences the outputs without calling RenderBlock.
void SilentBlock32(benchmark::State& state) { RunBlocks<float>(state, false); }
}

BENCHMARK(PassThrough32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(PassThrough64)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(SilentBlock32)->Arg(512);
