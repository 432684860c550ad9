// thrumwell-render beside ffmpeg (Debian's) encoding the same two sine tones
// (200 Hz left, 204 Hz right: the renderer's default Generator setting) for
// ten minutes at 48 kHz into FLAC, Opus and MP3. Both run as child processes
// writing a file, so each pays for its start, its synthesis and its encoding.
// The reported time is the renderer's; "x_ffmpeg" is how many times faster
// than ffmpeg it was, and "kbps"/"ffmpeg_kbps" the bit rates the two files
// came to.
//
// The two sides are matched as follows, so that neither encoder gets an
// easier job, and ffmpeg's side is kept as cheap as it can be:
// - Level: ffmpeg's `sine` source plays at 1/8 of full scale (16-bit
//   samples); the renderer plays at Volume 72 (0.126 of full scale, 0.07 dB
//   above it) rather than ffmpeg's paying for a `volume` filter. Raising
//   ffmpeg's 16-bit sine to the renderer's default level instead would also
//   raise its rounding noise, which the lossy encoders then spend bits on
//   (MP3 75 kb/s against our 45 at the same setting).
// - FLAC: 24-bit samples on both sides, each encoder at the setting that
//   chooses a frame's stereo coding by estimate and predicts with LPC up to
//   order 8: ffmpeg's default level 5, libFLAC's level 4 (the renderer's
//   setting; libFLAC's level 5 encodes all four stereo codings instead).
//   ffmpeg's sine has 16 significant bits, ours 24, so its encoder finds 8
//   bits to drop in every frame and its file is smaller; a sine of 24 bits
//   from ffmpeg (`aevalsrc`) would cost it more than the encoding saves.
// - Opus: 120 kb/s with constrained VBR and complexity 10 on both sides:
//   libsndfile leaves libopus its default rate for 48 kHz stereo (120 kb/s)
//   and its default constrained VBR, ffmpeg is told both.
// - MP3: LAME's VBR (vbr_mtrh) at quality 4 (-V4) on both sides: libsndfile
//   chooses VBR and leaves LAME's default quality 4 (`--quality Q` makes it
//   10 - Q, so --quality 6 is the same), ffmpeg's `-q:a 4` asks for the same.

#include <benchmark/benchmark.h>

#include "bench/render/TimedCommand.h"

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
constexpr Codec kCodecs[] = {
  {"flac", "flac -sample_fmt s32 -compression_level 5"},
  {"opus", "libopus -b:a 120k -vbr constrained -compression_level 10"},
  {"mp3", "libmp3lame -q:a 4"},
};

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
  const std::string ffmpeg = "ffmpeg -nostdin -v error -y -filter_complex 'sine=frequency=200:sample_rate=48000:duration="
                             + seconds + "[a];sine=frequency=204:sample_rate=48000:duration=" + seconds
                             + "[b];[a][b]join=inputs=2:channel_layout=stereo' -c:a " + codec.ffmpegCodec + " '"
                             + theirs + "'";
  const std::string render = std::string("'") + THRUMWELL_RENDER + "' -o '" + ours
                             + "' --param Mode=Generator --param Volume=72 --seconds " + seconds + " --rate 48000";
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

BENCHMARK_CAPTURE(RenderBesideFfmpeg, flac, 0)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderBesideFfmpeg, opus, 1)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderBesideFfmpeg, mp3, 2)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
