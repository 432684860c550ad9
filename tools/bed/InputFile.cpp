#include "tools/bed/InputFile.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "host/HostUtf8.h"
#include "tools/bed/SoundFileOpen.h"

bool InputFile::LooksReadable(std::string& why) const
{
  std::ifstream in(ThrumwellHost::PathFromUtf8(path), std::ios::binary);
  if (!in)
  {
    why = "cannot open \"" + path + "\"";
    return false;
  }
  unsigned char head[4] = {};
  in.read(reinterpret_cast<char*>(head), sizeof head);
  if (in.gcount() == 0)
  {
    why = "\"" + path + "\" is empty";
    return false;
  }
  // MP3 has no header of its own that libsndfile checks before handing the
  // bytes to its decoder, which then talks on standard error: a name ending
  // in .mp3 must start with an ID3 tag or an MPEG frame's sync bits.
  std::string lower = path;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const bool mp3Name = lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".mp3") == 0;
  const bool id3 = in.gcount() >= 3 && head[0] == 'I' && head[1] == 'D' && head[2] == '3';
  const bool sync = in.gcount() >= 2 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0;
  if (mp3Name && !id3 && !sync)
  {
    why = "\"" + path + "\" is not an MP3 file (it starts with neither an ID3 tag nor an MPEG frame)";
    return false;
  }
  return true;
}

InputFile::~InputFile()
{
  if (resampler)
    src_delete(resampler);
  if (file)
    sf_close(file);
}

bool InputFile::Open(const std::string& filePath, double rate, bool loopIt, double gainDb, std::string& why)
{
  path = filePath;
  if (!LooksReadable(why))
    return false;
  SF_INFO info{};
  file = OpenSoundFile(path, SFM_READ, &info);
  if (!file)
  {
    why = "\"" + path + "\" is not an audio file this build reads (" + sf_strerror(nullptr) + ")";
    return false;
  }
  if (info.channels < 1 || info.channels > 2)
  {
    why = "\"" + path + "\" has " + std::to_string(info.channels) + " channels; only mono and stereo files are played";
    return false;
  }
  if (info.frames <= 0 || info.samplerate <= 0)
  {
    why = "\"" + path + "\" holds no audio";
    return false;
  }
  channels = info.channels;
  fileRate = info.samplerate;
  loop = loopIt;
  gain = static_cast<float>(std::pow(10.0, gainDb / 20.0));
  raw.assign(static_cast<std::size_t>(kChunk * channels), 0.0f);
  supply.assign(static_cast<std::size_t>(kChunk * 2), 0.0f);
  out.assign(static_cast<std::size_t>(kChunk * 2), 0.0f);
  ratio = rate / fileRate;
  if (fileRate != static_cast<int>(rate))
  {
    int status = 0;
    resampler = src_callback_new(&InputFile::Supply, SRC_SINC_MEDIUM_QUALITY, 2, &status, this);
    if (!resampler)
    {
      why = std::string("cannot resample \"") + path + "\": " + src_strerror(status);
      return false;
    }
  }
  // A file that cannot give its first frames is refused here, before any
  // output is written.
  if (sf_readf_float(file, raw.data(), std::min<sf_count_t>(16, info.frames)) <= 0 || sf_error(file) != SF_ERR_NO_ERROR)
  {
    why = "cannot read \"" + path + "\": " + sf_strerror(file);
    return false;
  }
  sf_seek(file, 0, SEEK_SET);
  return true;
}

long InputFile::ReadFile(float* stereo, long frames)
{
  long done = 0;
  while (done < frames && !ended && !failed)
  {
    const sf_count_t got = sf_readf_float(file, raw.data(), std::min<sf_count_t>(frames - done, kChunk));
    if (got < 0 || sf_error(file) != SF_ERR_NO_ERROR)
    {
      failed = true;
      error = "reading \"" + path + "\" failed: " + sf_strerror(file);
      break;
    }
    for (sf_count_t i = 0; i < got; ++i)
    {
      const float l = raw[static_cast<std::size_t>(i * channels)];
      const float r = channels == 2 ? raw[static_cast<std::size_t>(i * 2 + 1)] : l;
      stereo[2 * (done + i)] = l;
      stereo[2 * (done + i) + 1] = r;
    }
    done += static_cast<long>(got);
    if (got == 0)
    {
      // The end: from the start again, or silence from here on.
      if (loop && sf_seek(file, 0, SEEK_SET) == 0)
        continue;
      ended = true;
    }
  }
  return done;
}

long InputFile::Supply(void* self, float** data)
{
  InputFile& input = *static_cast<InputFile*>(self);
  *data = input.supply.data();
  return input.ReadFile(input.supply.data(), kChunk);
}

template <class Sample>
bool InputFile::AddTo(Sample* left, Sample* right, int n)
{
  for (int done = 0; done < n;)
  {
    const long want = std::min<long>(n - done, kChunk);
    long got = 0;
    if (resampler)
    {
      got = src_callback_read(resampler, ratio, want, out.data());
      if (got < 0 || src_error(resampler) != 0)
      {
        if (!failed)
          error = std::string("resampling \"") + path + "\" failed: " + src_strerror(src_error(resampler));
        failed = true;
        got = 0;
      }
    }
    else if (!failed)
      got = ReadFile(out.data(), want);
    std::fill(out.begin() + 2 * got, out.begin() + 2 * want, 0.0f);
    for (long i = 0; i < want; ++i)
    {
      left[done + i] = static_cast<Sample>(left[done + i] + out[static_cast<std::size_t>(2 * i)] * gain);
      right[done + i] = static_cast<Sample>(right[done + i] + out[static_cast<std::size_t>(2 * i + 1)] * gain);
    }
    done += static_cast<int>(want);
  }
  return !failed;
}

bool InputFile::Add(float* left, float* right, int n) { return AddTo(left, right, n); }

bool InputFile::Add(double* left, double* right, int n) { return AddTo(left, right, n); }
