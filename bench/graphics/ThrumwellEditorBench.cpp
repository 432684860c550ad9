// Repainting the instrument's own editor, as its constructor builds it, each
// against memcpy of the canvas bytes timed in the same run:
// - a full repaint, every visible control rendered (goal: within 30x memcpy);
// - the timer tick after the host moves the "Binaural" knob (goal: within 5x).
// "allocs" counts heap allocations per repaint after the first full repaint
// has filled the image and glyph caches; it must be 0.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <vector>

#include "controls/IControl.h"
#include "graphics/IGraphicsPlatform.h"
#include "synth/CLS_THRUMWELL.h"
#include "synth/ThrumwellParameters.h"

// Every heap allocation, operator new's included, goes through malloc; this
// one counts them and lets glibc do the work.
extern "C" void* __libc_malloc(size_t);
namespace
{
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
}  // namespace
extern "C" void* malloc(size_t n)
{
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(n);
}

namespace
{
constexpr std::size_t kCanvasBytes = std::size_t(CLS_THRUMWELL::kEditorWidth) * CLS_THRUMWELL::kEditorHeight * 4;

struct Instrument
{
  CLS_THRUMWELL synth;
  IGraphicsPlatform& editor = *static_cast<IGraphicsPlatform*>(synth.GetEditor());
  IControl* binauralKnob = nullptr;

  Instrument()
  {
    // Connected as a host connects it: every parameter applied once, so
    // "Mode" shows the Synthesizer controls.
    for (int i = 0; i < synth.NParams(); ++i)
      synth.HandleParameterChange(i);
    for (int i = 1; i < editor.NControls(); ++i)
      if (editor.GetControl(i)->ParamIdx() == kParamBinaural)
        binauralKnob = editor.GetControl(i);
    FullRepaint();
    FullRepaint();
  }

  void FullRepaint()
  {
    editor.RefreshAll();
    IBounds region;
    editor.CollectChanges(region);
    editor.PaintPass(region);
  }
};

// Processor time of this thread: the machine is shared.
double ThreadMicroseconds()
{
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

double MemcpyMicroseconds()
{
  std::vector<unsigned char> from(kCanvasBytes, 1), to(kCanvasBytes, 2);
  const int rounds = 400;
  const double start = ThreadMicroseconds();
  for (int i = 0; i < rounds; ++i)
  {
    std::memcpy(to.data(), from.data(), kCanvasBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  return (ThreadMicroseconds() - start) / rounds;
}

template <typename Body> void AgainstMemcpy(benchmark::State& state, Body body)
{
  const double baseline = MemcpyMicroseconds();
  gAllocations = 0;
  gCounting = true;
  const double start = ThreadMicroseconds();
  for (auto _ : state)
  {
    body();
    benchmark::ClobberMemory();
  }
  const double us = (ThreadMicroseconds() - start) / double(state.iterations());
  gCounting = false;
  state.counters["op_us"] = us;
  state.counters["memcpy_us"] = baseline;
  state.counters["x_memcpy"] = us / baseline;
  state.counters["allocs"] = double(gAllocations.load()) / double(state.iterations());
}

void BM_ThrumwellFullRepaint(benchmark::State& state)
{
  Instrument instrument;
  AgainstMemcpy(state, [&] { instrument.FullRepaint(); });
}

// The host moves "Binaural" before every timer tick; the tick repaints the
// knob (its second pass alternates with the next change).
void BM_ThrumwellKnobRepaint(benchmark::State& state)
{
  Instrument instrument;
  double v = 0.25;
  AgainstMemcpy(state, [&] {
    v = v > 0.5 ? 0.25 : 0.75;
    instrument.binauralKnob->ValueFromHost(v);
    instrument.editor.Tick();
  });
}
}  // namespace

BENCHMARK(BM_ThrumwellFullRepaint);
BENCHMARK(BM_ThrumwellKnobRepaint);
