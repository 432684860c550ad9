#include "tools/render/SoundFileWriter.h"

#include <sndfile.h>

#include "tools/bed/SoundFileOpen.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <system_error>

namespace {

int SndfileFormat(OutputFormat format, int wav)
{
  switch (format)
  {
    case OutputFormat::kFloat32: return wav | SF_FORMAT_FLOAT;
    case OutputFormat::kFloat64: return wav | SF_FORMAT_DOUBLE;
    case OutputFormat::kPcm24: return wav | SF_FORMAT_PCM_24;
    case OutputFormat::kPcm16: return wav | SF_FORMAT_PCM_16;
    case OutputFormat::kFlac: return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    case OutputFormat::kOgg: return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case OutputFormat::kOpus: return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case OutputFormat::kMp3: return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
  }
  return wav | SF_FORMAT_FLOAT;
}

bool IsPcm(OutputFormat format)
{
  return format == OutputFormat::kPcm24 || format == OutputFormat::kPcm16 || format == OutputFormat::kFlac;
}

// Bytes of one sample in a chunk: 32-bit integers for PCM, doubles for f64,
// floats for the rest.
std::size_t ChunkSampleBytes(OutputFormat format) { return format == OutputFormat::kFloat64 ? 8 : 4; }

}  // namespace

SoundFileWriter::~SoundFileWriter()
{
  if (file)
  {
    Finish(true);
    sf_close(file);
  }
}

bool SoundFileWriter::Open(const std::string& path, int rate, std::uint64_t maxFrames, OutputFormat outputFormat,
                           double quality, std::string& error)
{
  if (file)
  {
    error = "the writer is already open";
    return false;
  }
  format = outputFormat;
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  // Headers take less than a kilobyte.
  const std::uint64_t dataBytes = maxFrames * 2 * static_cast<std::uint64_t>(OutputFormatBits(format) / 8);
  const bool rf64 = dataBytes + 1024 > kWavLimit;
  info.format = SndfileFormat(format, rf64 ? SF_FORMAT_RF64 : SF_FORMAT_WAV);
  if (!sf_format_check(&info))
  {
    error = std::string("this build's libsndfile cannot write ") + OutputFormatName(format) + " at "
            + std::to_string(rate) + " Hz";
    return false;
  }
  file = OpenSoundFile(path, SFM_WRITE, &info);
  if (!file)
  {
    error = "cannot write \"" + path + "\": " + sf_strerror(nullptr);
    return false;
  }
  if (IsWavFormat(format))
  {
    // An RF64 file that stayed within 4 GiB becomes plain WAV; no PEAK
    // chunk, a header of fixed size as readers expect.
    if (rf64)
      sf_command(file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  }
  if (IsLossyFormat(format) && quality >= 0.0)
  {
    // libsndfile's compression level runs from 0 (best) to 1 (smallest).
    // Its Opus bit rate is linear in it, from 6 to 510 kb/s, where quality
    // is felt by ratios: the scale doubles the rate every 2.5 steps, from
    // 32 kb/s at 0 through 128 at 5 (about the encoder's default) to 510.
    const double q = std::clamp(quality, 0.0, 10.0);
    double level = 1.0 - q / 10.0;
    if (format == OutputFormat::kOpus)
      level = 1.0 - (std::min(32.0 * std::pow(4.0, q / 5.0), 510.0) - 6.0) / 504.0;
    sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
  }
  if (format == OutputFormat::kFlac)
  {
    // libFLAC's level 4 (of 0-8, here 0.5 of libsndfile's 0-1) picks the
    // stereo coding of each frame by estimate, where its default level 5
    // encodes all four codings to keep the smallest: a quarter less time for
    // the same size within 0.7 % (tone, tone over pink noise, 10 minutes).
    double level = 4.0 / 8.0;
    sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
  }
  // Floats beyond full scale are clipped into PCM rather than wrapped.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  dither.Reset();

  chunks.resize(kChunks);
  for (Chunk& chunk : chunks)
  {
    chunk.bytes.assign(static_cast<std::size_t>(kChunkFrames) * 2 * ChunkSampleBytes(format), 0);
    chunk.frames = 0;
  }
  filling = 0;
  handedCount = writtenCount = 0;
  finishing = abandoning = false;
  failed = false;
  failure.clear();
  try
  {
    encoder = std::thread([this] { Encode(); });
  }
  catch (const std::system_error& e)
  {
    sf_close(file);
    file = nullptr;
    error = std::string("cannot start the encoder thread: ") + e.what();
    return false;
  }
  return true;
}

template <class Sample>
bool SoundFileWriter::WriteFrames(const Sample* left, const Sample* right, int n)
{
  if (!file || failed.load(std::memory_order_acquire))
    return false;
  for (int done = 0; done < n;)
  {
    Chunk& chunk = chunks[static_cast<std::size_t>(filling)];
    const int count = std::min(n - done, kChunkFrames - chunk.frames);
    const std::size_t at = 2 * static_cast<std::size_t>(chunk.frames);
    if (IsPcm(format))
    {
      // Integers are left-justified in 32 bits: a 16-bit step is 65536.
      // 16 bits are dithered, 24 bits rounded (see the header).
      auto* out = reinterpret_cast<std::int32_t*>(chunk.bytes.data()) + at;
      auto put = [&](auto quantize, double scale, int shift) {
        for (int i = 0; i < count; ++i)
        {
          out[2 * i] = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(quantize(static_cast<double>(left[done + i]), scale)) << shift);
          out[2 * i + 1] = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(quantize(static_cast<double>(right[done + i]), scale)) << shift);
        }
      };
      if (format == OutputFormat::kPcm16)
        put([this](double x, double scale) { return dither.Quantize(x, scale); }, 32768.0, 16);
      else
        put(&PcmDither::Round, 8388608.0, 8);
    }
    else if (format == OutputFormat::kFloat64)
    {
      auto* out = reinterpret_cast<double*>(chunk.bytes.data()) + at;
      for (int i = 0; i < count; ++i)
      {
        out[2 * i] = static_cast<double>(left[done + i]);
        out[2 * i + 1] = static_cast<double>(right[done + i]);
      }
    }
    else
    {
      auto* out = reinterpret_cast<float*>(chunk.bytes.data()) + at;
      for (int i = 0; i < count; ++i)
      {
        out[2 * i] = static_cast<float>(left[done + i]);
        out[2 * i + 1] = static_cast<float>(right[done + i]);
      }
    }
    chunk.frames += count;
    done += count;
    if (chunk.frames == kChunkFrames && !Hand())
      return false;
  }
  return true;
}

bool SoundFileWriter::Write(const float* left, const float* right, int n) { return WriteFrames(left, right, n); }

bool SoundFileWriter::Write(const double* left, const double* right, int n) { return WriteFrames(left, right, n); }

bool SoundFileWriter::Hand()
{
  std::unique_lock<std::mutex> hold(lock);
  ++handedCount;
  handed.notify_one();
  freed.wait(hold, [this] { return failed.load(std::memory_order_relaxed) || handedCount - writtenCount < kChunks; });
  filling = static_cast<int>(handedCount % kChunks);
  chunks[static_cast<std::size_t>(filling)].frames = 0;
  return !failed.load(std::memory_order_relaxed);
}

void SoundFileWriter::Encode()
{
  std::unique_lock<std::mutex> hold(lock);
  for (;;)
  {
    handed.wait(hold, [this] { return abandoning || finishing || writtenCount < handedCount; });
    if (abandoning || writtenCount == handedCount)
      return;
    Chunk& chunk = chunks[static_cast<std::size_t>(writtenCount % kChunks)];
    // After a failure the chunks are passed over, so the caller never waits.
    const bool write = !failed.load(std::memory_order_relaxed);
    hold.unlock();
    bool ok = true;
    std::string why;
    if (write)
    {
      const sf_count_t frames = chunk.frames;
      sf_count_t put = 0;
      if (IsPcm(format))
        put = sf_writef_int(file, reinterpret_cast<const int*>(chunk.bytes.data()), frames);
      else if (format == OutputFormat::kFloat64)
        put = sf_writef_double(file, reinterpret_cast<const double*>(chunk.bytes.data()), frames);
      else
        put = sf_writef_float(file, reinterpret_cast<const float*>(chunk.bytes.data()), frames);
      ok = put == frames;
      if (!ok)
        why = sf_strerror(file);
    }
    hold.lock();
    if (!ok)
    {
      failure = why;
      failed.store(true, std::memory_order_release);
    }
    ++writtenCount;
    freed.notify_one();
  }
}

void SoundFileWriter::Finish(bool abandon)
{
  {
    std::lock_guard<std::mutex> hold(lock);
    finishing = true;
    abandoning = abandon;
  }
  handed.notify_one();
  if (encoder.joinable())
    encoder.join();
}

bool SoundFileWriter::Close(std::string& error)
{
  if (!file)
  {
    error = "the file was not open";
    return false;
  }
  if (chunks[static_cast<std::size_t>(filling)].frames > 0)
    Hand();
  Finish(false);
  // The codecs write their last pages on closing; a full disk shows there too.
  const int closed = sf_close(file);
  file = nullptr;
  if (failed)
  {
    error = failure;
    return false;
  }
  if (closed != 0)
  {
    error = sf_error_number(closed);
    return false;
  }
  return true;
}
