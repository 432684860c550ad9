// RenderBlock for each waveform, 512-frame blocks at 48 kHz, beside the
// baselines it is judged against in the same run: two sin calls per frame
// for the sine, a plain input-to-output copy for the other waveforms.
// Each reports "per_frame": time per stereo frame.
//
//   build/<preset>/bench/synth/thrumwell_synth_bench

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "synth/CLS_THRUMWELL.h"
#include "synth/ThrumwellParameters.h"

namespace {

constexpr int kFrames = 512;
constexpr double kRate = 48000.0;

class BenchThrumwell : public CLS_THRUMWELL
{
public:
  int GetTransportState() override { return 1; }
};

void PerFrame(benchmark::State& state)
{
  state.counters["per_frame"] =
    benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The default Generator tone (200/204 Hz, "Volume" 90) with the given
// waveform, playing steadily: the first blocks are rendered before timing.
void RenderBlock(benchmark::State& state)
{
  BenchThrumwell synth;
  for (int i = 0; i < synth.NParams(); ++i)
    synth.HandleParameterChange(i);
  synth.SetSampleRate(kRate);
  synth.SetBlockSize(kFrames);
  synth.HandleReset();
  IPlugLockGuard guard(synth.GetLock());
  synth.GetParam(kParamMode)->SetValue(kModeGenerator);
  synth.HandleParameterChange(kParamMode);
  synth.GetParam(kParamWave)->SetValue(static_cast<double>(state.range(0)));
  synth.HandleParameterChange(kParamWave);

  std::vector<double> in0(kFrames), in1(kFrames), out0(kFrames), out1(kFrames);
  double* inputs[2] = {in0.data(), in1.data()};
  double* outputs[2] = {out0.data(), out1.data()};
  for (int warm = 0; warm < 4; ++warm)
    synth.RenderBlock(inputs, outputs, kFrames);
  for (auto _ : state)
  {
    synth.RenderBlock(inputs, outputs, kFrames);
    benchmark::DoNotOptimize(out0.data());
    benchmark::DoNotOptimize(out1.data());
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(RenderBlock)->DenseRange(kWaveSine, kWaveSquare)->ArgName("wave");

// Two sin calls per frame on phases spread over a period, results stored.
void BaselineTwoSines(benchmark::State& state)
{
  std::vector<double> phase0(kFrames), phase1(kFrames), out0(kFrames), out1(kFrames);
  for (int i = 0; i < kFrames; ++i)
  {
    phase0[i] = i * (6.283185307179586 * 200 / kRate);
    phase1[i] = i * (6.283185307179586 * 204 / kRate);
  }
  for (auto _ : state)
  {
    benchmark::DoNotOptimize(phase0.data());
    benchmark::DoNotOptimize(phase1.data());
    for (int i = 0; i < kFrames; ++i)
    {
      out0[i] = std::sin(phase0[i]);
      out1[i] = std::sin(phase1[i]);
    }
    benchmark::DoNotOptimize(out0.data());
    benchmark::DoNotOptimize(out1.data());
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BaselineTwoSines);

// Input copied to output, both channels.
void BaselineCopy(benchmark::State& state)
{
  std::vector<double> in0(kFrames, 0.25), in1(kFrames, -0.25), out0(kFrames), out1(kFrames);
  for (auto _ : state)
  {
    benchmark::DoNotOptimize(in0.data());
    benchmark::DoNotOptimize(in1.data());
    for (int i = 0; i < kFrames; ++i)
    {
      out0[i] = in0[i];
      out1[i] = in1[i];
    }
    benchmark::DoNotOptimize(out0.data());
    benchmark::DoNotOptimize(out1.data());
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BaselineCopy);

}  // namespace
