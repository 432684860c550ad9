// The renderer's WAV output through libsndfile (SoundFileWriter: interleaving
// and rounding on the caller's thread, libsndfile on the encoder thread)
// beside the floor any writer stands on: plain fwrite of the same number of
// bytes, prepared once, in the same blocks. Both write ten minutes of two
// channels at 48 kHz, block by block, to a file in the temporary folder.
// "x_fwrite" is the writer's speed as a fraction of fwrite's in the same run
// (1: as fast as writing ready bytes).

#include <benchmark/benchmark.h>

#include "bench/render/TimedCommand.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/render/SoundFileWriter.h"

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

double FwriteOnce(OutputFormat format)
{
  const std::string path = ScratchFile("thrumwell-bench-fwrite.wav");
  const std::vector<unsigned char> block(static_cast<std::size_t>(kBlock) * 2 * (OutputFormatBits(format) / 8), 0x55);
  const auto start = std::chrono::steady_clock::now();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool ok = file != nullptr;
  for (int b = 0; b < kBlocks && ok; ++b)
    ok = std::fwrite(block.data(), 1, block.size(), file) == block.size();
  ok = file && std::fclose(file) == 0 && ok;
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
  double floor = 0, ours = 0;
  for (auto _ : state)
  {
    const double a = FwriteOnce(format);
    const double b = LibsndfileOnce(format, tone);
    if (a < 0 || b < 0)
    {
      state.SkipWithError("writing the file failed");
      return;
    }
    state.SetIterationTime(b);
    floor += a;
    ours += b;
  }
  state.counters["fwrite_s"] = benchmark::Counter(floor, benchmark::Counter::kAvgIterations);
  state.counters["x_fwrite"] = ours > 0 ? floor / ours : 0.0;
}

}  // namespace

BENCHMARK_CAPTURE(WavThroughLibsndfile, f32, OutputFormat::kFloat32)
  ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WavThroughLibsndfile, s24, OutputFormat::kPcm24)
  ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WavThroughLibsndfile, s16, OutputFormat::kPcm16)
  ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
