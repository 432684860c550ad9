#include "tools/render/SoundFileWriter.h"

#include <sndfile.h>

#include "tools/bed/SoundFileOpen.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

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

}  // namespace

SoundFileWriter::~SoundFileWriter()
{
  if (file)
    sf_close(file);
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
  // Floats beyond full scale are clipped into PCM rather than wrapped.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  dither.Reset();
  failed = false;
  failure.clear();
  return true;
}

template <class Sample>
bool SoundFileWriter::WriteFrames(const Sample* left, const Sample* right, int n)
{
  if (!file)
    return false;
  for (int done = 0; done < n && !failed;)
  {
    const int count = std::min(n - done, kChunkFrames);
    sf_count_t put = 0;
    if (IsPcm(format))
    {
      // Integers are left-justified in 32 bits: a 16-bit step is 65536.
      const bool wide = format != OutputFormat::kPcm16;
      const double scale = wide ? 8388608.0 : 32768.0;
      const int shift = wide ? 8 : 16;
      for (int i = 0; i < count; ++i)
      {
        chunk.i[2 * i] = static_cast<int>(static_cast<std::uint32_t>(
                                            dither.Quantize(static_cast<double>(left[done + i]), scale))
                                          << shift);
        chunk.i[2 * i + 1] = static_cast<int>(static_cast<std::uint32_t>(
                                                dither.Quantize(static_cast<double>(right[done + i]), scale))
                                              << shift);
      }
      put = sf_writef_int(file, chunk.i, count);
    }
    else if (std::is_same<Sample, double>::value && format == OutputFormat::kFloat64)
    {
      for (int i = 0; i < count; ++i)
      {
        chunk.d[2 * i] = static_cast<double>(left[done + i]);
        chunk.d[2 * i + 1] = static_cast<double>(right[done + i]);
      }
      put = sf_writef_double(file, chunk.d, count);
    }
    else
    {
      for (int i = 0; i < count; ++i)
      {
        chunk.f[2 * i] = static_cast<float>(left[done + i]);
        chunk.f[2 * i + 1] = static_cast<float>(right[done + i]);
      }
      put = sf_writef_float(file, chunk.f, count);
    }
    if (put != count)
    {
      failed = true;
      failure = sf_strerror(file);
    }
    done += count;
  }
  return !failed;
}

bool SoundFileWriter::Write(const float* left, const float* right, int n) { return WriteFrames(left, right, n); }

bool SoundFileWriter::Write(const double* left, const double* right, int n) { return WriteFrames(left, right, n); }

bool SoundFileWriter::Close(std::string& error)
{
  if (!file)
  {
    error = "the file was not open";
    return false;
  }
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
