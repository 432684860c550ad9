// Cost of the processing frame around RenderBlock for one stereo block:
// attaching the host's arrays, converting 32-bit samples both ways and the
// default copy. Each benchmark reports vs_memcpy, its time per block divided
// by the time of memcpy of the same input and output bytes, measured in the
// same run. Both are timed in this thread's processor time, so other work
// on a busy machine does not skew the ratio.

#include <vector>

#include <benchmark/benchmark.h>

#include "bench/AgainstMemcpy.h"
#include "plug/IPlugBase.h"

namespace
{
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
  const double start = ThreadMicroseconds();
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
  const double perBlock = (ThreadMicroseconds() - start) / static_cast<double>(state.iterations());
  // The cheapest possible way to move a block through: memcpy of its input
  // and output samples of both channels.
  state.counters["vs_memcpy"] = perBlock / MemcpyMicroseconds(2 * static_cast<std::size_t>(n) * sizeof(Sample));
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
