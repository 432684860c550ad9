// Cost of the binding around the instrument: a full process call through
// IAudioProcessor (parameter queues, note events, process context, buffer
// attachment and, for 32-bit hosts, the sample conversions) against
// RenderBlock alone on the same object. Each benchmark reports vs_render,
// its time per block divided by RenderBlock's time for a block of the same
// length, both measured alternately in this run in this thread's processor
// time (process_ns and render_ns are the two per-block times).
// Process64Quiet sends no parameter changes or notes: what remains is the
// binding's own plumbing, without the instrument's handlers.
//
//   build/<preset>/bench/vst3/vst3_process_bench

#include <vector>

#include <benchmark/benchmark.h>

#include "plug/FlushDenormals.h"
#include "bench/ThreadSeconds.h"
#include "synth/CLS_THRUMWELL.h"
#include "synth/ThrumwellParameters.h"
#include "tests/vst3/TestHostObjects.h"
#include "vst3/sdk/ProcessContext.h"

namespace
{
using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr double kRate = 48000.0;

// The instrument initialized by a host, Generator mode, transport playing,
// set up for blocks of n frames of the given sample size.
struct Session
{
  Session(int n, int32 sampleSize) : frames(n)
  {
    plug = new CLS_THRUMWELL;
    plug->initialize(nullptr);
    IComponent* component = plug;
    component->activateBus(kAudio, kOutput, 0, 1);
    ProcessSetup setup{kRealtime, sampleSize, n, kRate};
    static_cast<IAudioProcessor*>(plug)->setupProcessing(setup);
    component->setActive(1);
    context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid;
    context.sampleRate = kRate;
    context.tempo = 120.0;
    for (int c = 0; c < 2; ++c)
    {
      out32[c].assign(static_cast<size_t>(n), 0.0f);
      out64[c].assign(static_cast<size_t>(n), 0.0);
      channels32[c] = out32[c].data();
      channels64[c] = out64[c].data();
    }
    outputs.numChannels = 2;
    if (sampleSize == kSample64)
      outputs.channelBuffers64 = channels64;
    else
      outputs.channelBuffers32 = channels32;
    data.symbolicSampleSize = sampleSize;
    data.numSamples = n;
    data.numOutputs = 1;
    data.outputs = &outputs;
    data.processContext = &context;
    // A few parameter changes and notes per block, as a host sends them.
    changes.Add(kParamVolume, {{0, 0.9}});
    changes.Add(kParamBinaural, {{0, 0.1}});
    volume = &changes.queues[0];
    binaural = &changes.queues[1];
    events.NoteOn(0, 69, 0.8f);
    events.NoteOff(n / 2, 69);
    for (auto& buffer : renderBuffers)
      buffer.assign(static_cast<size_t>(n), 0.0);
    renderIns[0] = renderBuffers[0].data();
    renderIns[1] = renderBuffers[1].data();
    renderOuts[0] = renderBuffers[2].data();
    renderOuts[1] = renderBuffers[3].data();
  }
  ~Session()
  {
    static_cast<IComponent*>(plug)->terminate();
    static_cast<IComponent*>(plug)->release();
  }

  void Process(int block)
  {
    volume->points[0].second = block & 1 ? 0.9 : 0.91;
    binaural->points[0].second = block & 1 ? 0.1 : 0.11;
    data.inputParameterChanges = quiet ? nullptr : &changes;
    data.inputEvents = quiet ? nullptr : &events;
    static_cast<IAudioProcessor*>(plug)->process(data);
    context.projectTimeSamples += frames;
  }

  // One RenderBlock of this session's length on the same object, with the
  // lock held and subnormals flushed as process does.
  void Render()
  {
    IPlugLockGuard guard(plug->GetLock());
    const FlushDenormals flush;
    plug->RenderBlock(renderIns, renderOuts, frames);
    benchmark::DoNotOptimize(renderOuts[0]);
  }

  int frames;
  // Blocks without parameter changes or notes: the plumbing alone.
  bool quiet = false;
  CLS_THRUMWELL* plug;
  ProcessContext context{};
  std::vector<float> out32[2];
  std::vector<double> out64[2];
  float* channels32[2];
  double* channels64[2];
  AudioBusBuffers outputs{};
  ProcessData data{};
  TestHost::ParameterChanges changes;
  TestHost::EventList events;
  TestHost::ValueQueue* volume;
  TestHost::ValueQueue* binaural;
  std::vector<double> renderBuffers[4];
  double* renderIns[2];
  double* renderOuts[2];
};

void RenderBlockAlone(benchmark::State& state)
{
  Session session(static_cast<int>(state.range(0)), kSample64);
  session.Process(0);
  for (auto _ : state)
    session.Render();
}

// Each iteration times kChunk process calls and then kChunk RenderBlock
// calls, so both see the same machine load; the ratio is of the sums.
void ProcessCall(benchmark::State& state, int32 sampleSize, bool quiet = false)
{
  constexpr int kChunk = 64;
  Session session(static_cast<int>(state.range(0)), sampleSize);
  session.quiet = quiet;
  int block = 0;
  TimeAlternately(
      state, kChunk,
      [&](int n) {
        for (int i = 0; i < n; ++i)
          session.Process(++block);
      },
      [&](int n) {
        for (int i = 0; i < n; ++i)
          session.Render();
      },
      "process", "render", "vs_render");
}

void Process32(benchmark::State& state)
{
  ProcessCall(state, kSample32);
}

void Process64(benchmark::State& state)
{
  ProcessCall(state, kSample64);
}
void Process64Quiet(benchmark::State& state)
{
  ProcessCall(state, kSample64, true);
}
}  // namespace

BENCHMARK(RenderBlockAlone)->Arg(32)->Arg(512);
BENCHMARK(Process32)->Arg(32)->Arg(512);
BENCHMARK(Process64)->Arg(32)->Arg(512);
BENCHMARK(Process64Quiet)->Arg(32)->Arg(512);
