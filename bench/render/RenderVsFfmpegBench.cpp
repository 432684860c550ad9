// thrumwell-render beside ffmpeg (Debian's) encoding the same two sine tones
// (200 Hz left, 204 Hz right: the renderer's default Generator setting) for
// ten minutes at 48 kHz into FLAC, Opus and MP3, each at its encoder's
// default quality. Both run as child processes writing a file, so each pays
// for its start, its synthesis and its encoding. The reported time is the
// renderer's; "x_ffmpeg" is how many times faster than ffmpeg it was, and
// "kbps"/"ffmpeg_kbps" the bit rates the two files came to.

#include <benchmark/benchmark.h>

#include "bench/render/TimedCommand.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kSeconds = 600;

struct Codec
{
  const char* extension;
  const char* ffmpegCodec;
};
constexpr Codec kCodecs[] = {{"flac", "flac -sample_fmt s32"}, {"opus", "libopus"}, {"mp3", "libmp3lame"}};



double Kbps(const std::string& path)
{
  std::error_code error;
  const auto bytes = std::filesystem::file_size(path, error);
  return error ? 0.0 : static_cast<double>(bytes) * 8 / 1000 / kSeconds;
}

void RenderBesideFfmpeg(benchmark::State& state, int codecIndex)
{
  const Codec& codec = kCodecs[codecIndex];
  if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
  {
    state.SkipWithError("ffmpeg is not installed: nothing to compare with");
    return;
  }
  const std::string theirs = ScratchFile(std::string("thrumwell-bench-ffmpeg.") + codec.extension);
  const std::string ours = ScratchFile(std::string("thrumwell-bench-render.") + codec.extension);
  const std::string seconds = std::to_string(kSeconds);
  const std::string ffmpeg = "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=200:sample_rate=48000:duration="
                             + seconds + " -f lavfi -i sine=frequency=204:sample_rate=48000:duration=" + seconds
                             + " -filter_complex '[0:a][1:a]join=inputs=2:channel_layout=stereo' -c:a "
                             + codec.ffmpegCodec + " '" + theirs + "'";
  const std::string render = std::string("'") + THRUMWELL_RENDER + "' -o '" + ours
                             + "' --param Mode=Generator --seconds " + seconds + " --rate 48000";
  double theirTotal = 0, ourTotal = 0, ourKbps = 0, theirKbps = 0;
  for (auto _ : state)
  {
    const double theirTime = TimedCommand(ffmpeg);
    const double ourTime = TimedCommand(render);
    ourKbps = Kbps(ours);
    theirKbps = Kbps(theirs);
    std::remove(theirs.c_str());
    std::remove(ours.c_str());
    if (theirTime < 0 || ourTime < 0)
    {
      state.SkipWithError(theirTime < 0 ? "ffmpeg failed" : "thrumwell-render failed");
      return;
    }
    state.SetIterationTime(ourTime);
    theirTotal += theirTime;
    ourTotal += ourTime;
  }
  state.counters["ffmpeg_s"] = benchmark::Counter(theirTotal, benchmark::Counter::kAvgIterations);
  state.counters["x_ffmpeg"] = ourTotal > 0 ? theirTotal / ourTotal : 0.0;
  state.counters["kbps"] = ourKbps;
  state.counters["ffmpeg_kbps"] = theirKbps;
}

}  // namespace

BENCHMARK_CAPTURE(RenderBesideFfmpeg, flac, 0)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderBesideFfmpeg, opus, 1)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderBesideFfmpeg, mp3, 2)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
