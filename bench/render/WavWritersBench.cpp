// The renderer's WAV output before and after it went through libsndfile:
// our own WavWriter (the baseline, still the writer of builds without
// libsndfile) beside SoundFileWriter, writing the same ten minutes of two
// channels at 48 kHz, block by block, to a file in the temporary folder.
// "x_ours" is how many times faster libsndfile was than our writer in the
// same run (above 1: faster).

#include <benchmark/benchmark.h>

#include "bench/render/TimedCommand.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/render/SoundFileWriter.h"
#include "tools/render/WavWriter.h"

namespace {

constexpr int kRate = 48000;
constexpr int kBlock = 512;
constexpr int kBlocks = 600 * kRate / kBlock;


struct Tone
{
  std::vector<float> left, right;
  Tone() : left(kBlock), right(kBlock)
  {
    for (int i = 0; i < kBlock; ++i)
    {
      left[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.026));
      right[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::sin(i * 0.027));
    }
  }
};

double OursOnce(OutputFormat format, const Tone& tone)
{
  const std::string path = ScratchFile("thrumwell-bench-writer.wav");
  const auto start = std::chrono::steady_clock::now();
  WavWriter wav;
  bool ok = wav.Open(path.c_str(), kRate, static_cast<std::uint64_t>(kBlocks) * kBlock, format);
  for (int b = 0; b < kBlocks && ok; ++b)
    ok = wav.Write(tone.left.data(), tone.right.data(), kBlock);
  ok = wav.Close() && ok;
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::remove(path.c_str());
  return ok ? took.count() : -1.0;
}

double LibsndfileOnce(OutputFormat format, const Tone& tone)
{
  const std::string path = ScratchFile("thrumwell-bench-writer.wav");
  const auto start = std::chrono::steady_clock::now();
  SoundFileWriter file;
  std::string error;
  bool ok = file.Open(path, kRate, static_cast<std::uint64_t>(kBlocks) * kBlock, format, -1.0, error);
  for (int b = 0; b < kBlocks && ok; ++b)
    ok = file.Write(tone.left.data(), tone.right.data(), kBlock);
  ok = file.Close(error) && ok;
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::remove(path.c_str());
  return ok ? took.count() : -1.0;
}

void WavThroughLibsndfile(benchmark::State& state, OutputFormat format)
{
  const Tone tone;
  double ours = 0, theirs = 0;
  for (auto _ : state)
  {
    const double a = OursOnce(format, tone);
    const double b = LibsndfileOnce(format, tone);
    if (a < 0 || b < 0)
    {
      state.SkipWithError("writing the file failed");
      return;
    }
    state.SetIterationTime(b);
    ours += a;
    theirs += b;
  }
  state.counters["ours_s"] = benchmark::Counter(ours, benchmark::Counter::kAvgIterations);
  state.counters["x_ours"] = theirs > 0 ? ours / theirs : 0.0;
}

}  // namespace

BENCHMARK_CAPTURE(WavThroughLibsndfile, f32, OutputFormat::kFloat32)
  ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WavThroughLibsndfile, s24, OutputFormat::kPcm24)
  ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WavThroughLibsndfile, s16, OutputFormat::kPcm16)
  ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
