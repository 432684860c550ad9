// Whether subnormal numbers slow the audio path: the same instance processes
// blocks whose input carries subnormal samples and blocks whose input carries
// normal ones, alternately in this run and this thread, through
// IAudioProcessor::process in both sample sizes. vs_normal is the time per
// subnormal block divided by the time per normal block (goal: at most 1.2);
// subnormal_ns and normal_ns are the two per-block times. The second argument
// picks what the instrument plays: 1 a sounding Generator tone, 0 silence
// (Synthesizer mode without a note), where the input alone reaches the output.
//
//   build/<preset>/bench/vst3/vst3_denormal_bench

#include <cfloat>
#include <vector>

#include <benchmark/benchmark.h>

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

// The instrument with its stereo input and output, set up for blocks of n
// frames; sounding or silent; two sets of input, subnormal and normal.
struct Session
{
  Session(int n, int32 sampleSize, bool sounding) : frames(n)
  {
    plug = new CLS_THRUMWELL;
    plug->initialize(nullptr);
    IComponent* component = plug;
    component->activateBus(kAudio, kInput, 0, 1);
    component->activateBus(kAudio, kOutput, 0, 1);
    ProcessSetup setup{kRealtime, sampleSize, n, kRate};
    static_cast<IAudioProcessor*>(plug)->setupProcessing(setup);
    component->setActive(1);
    context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid;
    context.sampleRate = kRate;
    context.tempo = 120.0;

    // Subnormal as a float and as a double.
    const float tiny32 = FLT_MIN / 64;
    const double tiny64 = DBL_MIN / 64;
    for (int c = 0; c < 2; ++c)
    {
      for (int i = 0; i < n; ++i)
      {
        const double sign = (i + c) % 2 ? 1.0 : -1.0;
        subnormal32[c].push_back(static_cast<float>(sign) * tiny32 * static_cast<float>(1 + i % 7));
        subnormal64[c].push_back(sign * tiny64 * (1 + i % 7));
        normal32[c].push_back(static_cast<float>(sign * 1e-3 * (1 + i % 7)));
        normal64[c].push_back(sign * 1e-3 * (1 + i % 7));
      }
      out32[c].assign(static_cast<size_t>(n), 0.0f);
      out64[c].assign(static_cast<size_t>(n), 0.0);
      outChannels32[c] = out32[c].data();
      outChannels64[c] = out64[c].data();
    }
    inputs.numChannels = outputs.numChannels = 2;
    data.symbolicSampleSize = sampleSize;
    data.numSamples = n;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &inputs;
    data.outputs = &outputs;
    data.processContext = &context;
    if (sampleSize == kSample64)
      outputs.channelBuffers64 = outChannels64;
    else
      outputs.channelBuffers32 = outChannels32;

    // Generator mode sounds at once; Synthesizer mode without a note is silent.
    TestHost::ParameterChanges mode;
    mode.Add(kParamMode, {{0, sounding ? 0.0 : 1.0}});
    data.inputParameterChanges = &mode;
    Process(false);
    data.inputParameterChanges = nullptr;
  }
  ~Session()
  {
    static_cast<IComponent*>(plug)->terminate();
    static_cast<IComponent*>(plug)->release();
  }

  void Process(bool subnormalInput)
  {
    for (int c = 0; c < 2; ++c)
    {
      inChannels32[c] = (subnormalInput ? subnormal32 : normal32)[c].data();
      inChannels64[c] = (subnormalInput ? subnormal64 : normal64)[c].data();
    }
    if (data.symbolicSampleSize == kSample64)
      inputs.channelBuffers64 = inChannels64;
    else
      inputs.channelBuffers32 = inChannels32;
    static_cast<IAudioProcessor*>(plug)->process(data);
    benchmark::DoNotOptimize(out32[0].data());
    benchmark::DoNotOptimize(out64[0].data());
    context.projectTimeSamples += frames;
  }

  int frames;
  CLS_THRUMWELL* plug;
  ProcessContext context{};
  std::vector<float> subnormal32[2], normal32[2], out32[2];
  std::vector<double> subnormal64[2], normal64[2], out64[2];
  float* inChannels32[2];
  double* inChannels64[2];
  float* outChannels32[2];
  double* outChannels64[2];
  AudioBusBuffers inputs{};
  AudioBusBuffers outputs{};
  ProcessData data{};
};

// Each iteration times kChunk blocks of subnormal input and then kChunk of
// normal input, so both see the same machine load; the ratio is of the sums.
void SubnormalAgainstNormal(benchmark::State& state, int32 sampleSize)
{
  constexpr int kChunk = 32;
  Session session(static_cast<int>(state.range(0)), sampleSize, state.range(1) != 0);
  TimeAlternately(
      state, kChunk,
      [&](int n) {
        for (int i = 0; i < n; ++i)
          session.Process(true);
      },
      [&](int n) {
        for (int i = 0; i < n; ++i)
          session.Process(false);
      },
      "subnormal", "normal", "vs_normal");
}

void Subnormal32(benchmark::State& state)
{
  SubnormalAgainstNormal(state, kSample32);
}

void Subnormal64(benchmark::State& state)
{
  SubnormalAgainstNormal(state, kSample64);
}

}  // namespace

BENCHMARK(Subnormal32)->Args({512, 1})->Args({512, 0});
BENCHMARK(Subnormal64)->Args({512, 1})->Args({512, 0});
