// Cost of the binding around the instrument: a full process call through
// IAudioProcessor (parameter queues, note events, process context, buffer
// attachment and, for 32-bit hosts, the sample conversions) against
// RenderBlock alone on the same object. Each benchmark reports vs_render,
// its time per block divided by RenderBlock's time for a block of the same
// length, both measured in this run in this thread's processor time.
//
//   build/<preset>/bench/vst3/vst3_process_bench

#include <ctime>
#include <vector>

#include <benchmark/benchmark.h>

#include "synth/CLS_THRUMWELL.h"
#include "synth/ThrumwellParameters.h"
#include "tests/vst3/TestHostObjects.h"
#include "vst3/sdk/ProcessContext.h"

namespace
{
using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr double kRate = 48000.0;

double ThreadSeconds()
{
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

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
    data.inputParameterChanges = &changes;
    data.inputEvents = &events;
    static_cast<IAudioProcessor*>(plug)->process(data);
    context.projectTimeSamples += frames;
  }

  // Seconds per RenderBlock of this session's length, on the same object.
  double RenderSeconds()
  {
    Process(0);
    std::vector<double> in0(static_cast<size_t>(frames)), in1(in0), o0(in0), o1(in0);
    double* ins[2] = {in0.data(), in1.data()};
    double* outs[2] = {o0.data(), o1.data()};
    IPlugLockGuard guard(plug->GetLock());
    const int reps = 4000000 / frames;
    const double start = ThreadSeconds();
    for (int r = 0; r < reps; ++r)
    {
      plug->RenderBlock(ins, outs, frames);
      benchmark::DoNotOptimize(o0.data());
      benchmark::ClobberMemory();
    }
    return (ThreadSeconds() - start) / reps;
  }

  int frames;
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
};

void RenderBlockAlone(benchmark::State& state)
{
  Session session(static_cast<int>(state.range(0)), kSample64);
  session.Process(0);
  std::vector<double> in0(static_cast<size_t>(session.frames)), in1(in0), o0(in0), o1(in0);
  double* ins[2] = {in0.data(), in1.data()};
  double* outs[2] = {o0.data(), o1.data()};
  IPlugLockGuard guard(session.plug->GetLock());
  for (auto _ : state)
  {
    session.plug->RenderBlock(ins, outs, session.frames);
    benchmark::DoNotOptimize(o0.data());
    benchmark::ClobberMemory();
  }
}

void ProcessCall(benchmark::State& state, int32 sampleSize)
{
  Session session(static_cast<int>(state.range(0)), sampleSize);
  const double render = session.RenderSeconds();
  int block = 0;
  const double start = ThreadSeconds();
  for (auto _ : state)
  {
    session.Process(++block);
    benchmark::ClobberMemory();
  }
  const double perBlock = (ThreadSeconds() - start) / static_cast<double>(state.iterations());
  state.counters["vs_render"] = perBlock / render;
}

void Process32(benchmark::State& state)
{
  ProcessCall(state, kSample32);
}

void Process64(benchmark::State& state)
{
  ProcessCall(state, kSample64);
}
}  // namespace

BENCHMARK(RenderBlockAlone)->Arg(32)->Arg(512);
BENCHMARK(Process32)->Arg(32)->Arg(512);
BENCHMARK(Process64)->Arg(32)->Arg(512);
