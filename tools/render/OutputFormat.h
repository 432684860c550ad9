#pragma once
// The renderer's output formats: WAV with 32-bit or 64-bit floats or 24-bit or
// 16-bit PCM (16-bit dithered), FLAC (24-bit), Ogg Vorbis, Ogg Opus and MP3.
// A format is named on the command line ("f32" ... "mp3") or chosen by the
// output file's extension.

#include <cstdint>
#include <string>

enum class OutputFormat
{
  kFloat32,
  kFloat64,
  kPcm24,
  kPcm16,
  kFlac,
  kOgg,
  kOpus,
  kMp3,
};

// "f32", "f64", "s24", "s16", "flac", "ogg", "opus", "mp3"; false for another name.
bool OutputFormatFromName(const std::string& name, OutputFormat& format);
// The format a file name's extension stands for (".flac", ".ogg"/".oga",
// ".opus", ".mp3"; ".wav" and any other: wav, which the caller resolves to
// a sample width); false when the extension names no compressed format.
bool OutputFormatFromExtension(const std::string& path, OutputFormat& format);
const char* OutputFormatName(OutputFormat format);
// The formats written into a WAV (or RF64) file.
bool IsWavFormat(OutputFormat format);
// Ogg Vorbis, Opus and MP3: the ones a quality setting applies to.
bool IsLossyFormat(OutputFormat format);
// Bits per sample in the file (the lossy formats: 0).
int OutputFormatBits(OutputFormat format);
// Whether the format can hold sound at rate Hz; when not, a one-line reason.
bool OutputFormatTakesRate(OutputFormat format, int rate, std::string& why);
// Largest frame count a file may hold: far beyond any render.
std::uint64_t OutputFormatMaxFrames(OutputFormat format);
