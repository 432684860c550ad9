#include "tools/render/OutputFormat.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

namespace {

struct FormatName
{
  const char* name;
  OutputFormat format;
  int bits;
};
constexpr FormatName kFormats[] = {
  {"f32", OutputFormat::kFloat32, 32}, {"f64", OutputFormat::kFloat64, 64}, {"s24", OutputFormat::kPcm24, 24},
  {"s16", OutputFormat::kPcm16, 16},   {"flac", OutputFormat::kFlac, 24},   {"ogg", OutputFormat::kOgg, 0},
  {"opus", OutputFormat::kOpus, 0},    {"mp3", OutputFormat::kMp3, 0},
};

struct Extension
{
  const char* suffix;
  OutputFormat format;
};
constexpr Extension kExtensions[] = {
  {".flac", OutputFormat::kFlac}, {".ogg", OutputFormat::kOgg}, {".oga", OutputFormat::kOgg},
  {".opus", OutputFormat::kOpus}, {".mp3", OutputFormat::kMp3},
};

}  // namespace

bool OutputFormatFromName(const std::string& name, OutputFormat& format)
{
  for (const FormatName& f : kFormats)
    if (name == f.name)
    {
      format = f.format;
      return true;
    }
  return false;
}

bool OutputFormatFromExtension(const std::string& path, OutputFormat& format)
{
  std::string lower = path;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const Extension& e : kExtensions)
  {
    const std::string suffix = e.suffix;
    if (lower.size() > suffix.size() && lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0)
    {
      format = e.format;
      return true;
    }
  }
  return false;
}

const char* OutputFormatName(OutputFormat format)
{
  for (const FormatName& f : kFormats)
    if (f.format == format)
      return f.name;
  return "f32";
}

bool IsWavFormat(OutputFormat format)
{
  return format == OutputFormat::kFloat32 || format == OutputFormat::kFloat64 || format == OutputFormat::kPcm24
         || format == OutputFormat::kPcm16;
}

bool IsLossyFormat(OutputFormat format)
{
  return format == OutputFormat::kOgg || format == OutputFormat::kOpus || format == OutputFormat::kMp3;
}

int OutputFormatBits(OutputFormat format)
{
  for (const FormatName& f : kFormats)
    if (f.format == format)
      return f.bits;
  return 32;
}

bool OutputFormatTakesRate(OutputFormat format, int rate, std::string& why)
{
  // Opus codes 8, 12, 16, 24 or 48 kHz; MP3 (MPEG 1, 2 and 2.5 layer III)
  // the rates below; FLAC up to 655350 Hz, which is beyond --rate anyway.
  auto oneOf = [rate](std::initializer_list<int> rates) {
    return std::find(rates.begin(), rates.end(), rate) != rates.end();
  };
  if (format == OutputFormat::kOpus && !oneOf({8000, 12000, 16000, 24000, 48000}))
  {
    why = "Opus holds 8000, 12000, 16000, 24000 or 48000 Hz, not " + std::to_string(rate) + " (use --rate 48000)";
    return false;
  }
  if (format == OutputFormat::kMp3 && !oneOf({8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}))
  {
    why = "MP3 holds 8000 to 48000 Hz in the MPEG steps (44100, 48000 ...), not " + std::to_string(rate)
          + " (use --rate 48000)";
    return false;
  }
  if (format == OutputFormat::kOgg && rate > 192000)
  {
    why = "Ogg Vorbis holds at most 192000 Hz, not " + std::to_string(rate);
    return false;
  }
  return true;
}

std::uint64_t OutputFormatMaxFrames(OutputFormat format)
{
  const int bits = OutputFormatBits(format);
  return (std::uint64_t(1) << 48) / static_cast<std::uint64_t>(2 * (bits > 0 ? bits / 8 : 4));
}
