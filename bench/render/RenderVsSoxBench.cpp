// thrumwell-render beside sox: ten minutes of two-channel audio at 48 kHz in
// 32-bit floats, the left channel at 200 Hz and the right at 204 Hz (the
// renderer's default carrier and beat in Generator mode), for each
// waveform. Both run as child processes writing a WAV file, so each pays for
// its start, its synthesis and its writing. Each iteration times sox and then
// the renderer on the same waveform; the reported time is the renderer's and
// "x_sox" is how many times faster than sox it was.

#include <benchmark/benchmark.h>

#include "bench/render/TimedCommand.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kSeconds = "600";

struct Wave
{
  const char* thrumwell;
  const char* sox;
};
constexpr Wave kWaves[] = {{"Sine", "sine"}, {"Triangle", "triangle"}, {"Saw", "sawtooth"}, {"Square", "square"}};



void RenderBesideSox(benchmark::State& state, int waveIndex)
{
  const Wave& wave = kWaves[waveIndex];
  if (std::system("command -v sox >/dev/null 2>&1") != 0)
  {
    state.SkipWithError("sox is not installed: nothing to compare with");
    return;
  }
  const std::string soxOut = ScratchFile("thrumwell-bench-sox.wav");
  const std::string ourOut = ScratchFile("thrumwell-bench-render.wav");
  const std::string sox = std::string("sox -q -n -r 48000 -c 2 -b 32 -e floating-point '") + soxOut + "' synth "
                          + kSeconds + " " + wave.sox + " 200 " + wave.sox + " 204";
  const std::string render = std::string("'") + THRUMWELL_RENDER + "' -o '" + ourOut
                             + "' --param Mode=Generator --param Wave=" + wave.thrumwell + " --seconds " + kSeconds
                             + " --rate 48000";
  double soxTotal = 0, ourTotal = 0;
  for (auto _ : state)
  {
    const double soxTime = TimedCommand(sox);
    const double ourTime = TimedCommand(render);
    std::remove(soxOut.c_str());
    std::remove(ourOut.c_str());
    if (soxTime < 0 || ourTime < 0)
    {
      state.SkipWithError(soxTime < 0 ? "sox failed" : "thrumwell-render failed");
      return;
    }
    state.SetIterationTime(ourTime);
    soxTotal += soxTime;
    ourTotal += ourTime;
  }
  state.counters["sox_s"] = benchmark::Counter(soxTotal, benchmark::Counter::kAvgIterations);
  state.counters["x_sox"] = ourTotal > 0 ? soxTotal / ourTotal : 0.0;
}

}  // namespace

BENCHMARK_CAPTURE(RenderBesideSox, sine, 0)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderBesideSox, triangle, 1)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderBesideSox, saw, 2)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderBesideSox, square, 3)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
