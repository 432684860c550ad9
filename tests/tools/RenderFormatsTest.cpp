// thrumwell-render's output formats read back through libsndfile and through
// an independent decoder (ffmpeg, from Debian): the two tones at their
// frequencies, at their level within what the format keeps, for the length
// rendered; and what a render that cannot finish leaves behind. The Windows
// build runs under Wine, where the Linux ffmpeg cannot be started and a full
// disk cannot be staged with a file size limit: there the files are read
// back through libsndfile only.

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/tools/ReadAudio.h"
#include "tests/tools/RunProgram.h"
#include "tools/bed/SoundFileOpen.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 48000;
constexpr double kSeconds = 4.0;

#ifndef _WIN32
bool HaveFfmpeg() { return std::system("command -v ffmpeg >/dev/null 2>&1") == 0; }

// Decoded by ffmpeg into two channels of 64-bit floats.
Audio ReadWithFfmpeg(const std::string& path)
{
  Audio audio;
  const std::string raw = path + ".f64";
  const std::string command =
    "ffmpeg -nostdin -v error -y -i '" + path + "' -ac 2 -f f64le -acodec pcm_f64le '" + raw + "'";
  if (std::system(command.c_str()) != 0)
    return audio;
  std::ifstream in(raw, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(raw.c_str());
  audio.channels = 2;
  audio.rate = kRate;
  audio.samples.resize(bytes.size() / 8);
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(audio.samples.size() * 8),
            reinterpret_cast<char*>(audio.samples.data()));
  return audio;
}
#endif

// One channel's frequency from its rising zero crossings between two times,
// each placed between its samples; and its RMS level over the same span.
struct Tone
{
  double hertz = 0;
  double rms = 0;
};

Tone Measure(const Audio& audio, int channel, double from, double to)
{
  Tone tone;
  const std::size_t first = static_cast<std::size_t>(from * audio.rate);
  const std::size_t last = std::min(static_cast<std::size_t>(to * audio.rate), audio.Frames() - 1);
  const auto at = [&](std::size_t frame) {
    return audio.samples[frame * static_cast<std::size_t>(audio.channels) + static_cast<std::size_t>(channel)];
  };
  double start = -1, end = -1, energy = 0;
  int periods = -1;
  for (std::size_t i = first; i < last; ++i)
  {
    energy += at(i) * at(i);
    if (at(i) < 0 && at(i + 1) >= 0)
    {
      const double crossing = static_cast<double>(i) + at(i) / (at(i) - at(i + 1));
      if (start < 0)
        start = crossing;
      end = crossing;
      ++periods;
    }
  }
  if (periods > 0)
    tone.hertz = periods * audio.rate / (end - start);
  tone.rms = last > first ? std::sqrt(energy / static_cast<double>(last - first)) : 0.0;
  return tone;
}

class RenderFormats : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const char* path = std::getenv("THRUMWELL_RENDER");
    ASSERT_NE(path, nullptr) << "THRUMWELL_RENDER names the renderer";
    renderer = path;
  }
  int Render(const std::string& output, std::vector<std::string> extra)
  {
    std::vector<std::string> args = {"-o", output, "--param", "Mode=Generator", "--param", "Volume=90",
                                     "--seconds", "4", "--rate", std::to_string(kRate)};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProgram(renderer, args, "render-formats.out", "render-formats.err");
  }
  static std::string Errors()
  {
    std::ifstream in("render-formats.err");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  std::string renderer;
};

}  // namespace

TEST_F(RenderFormats, EveryFormatReadsBackWithItsTonesLevelAndLength)
{
  // The default Generator setting: 200 Hz on the left, 204 Hz on the right.
  ASSERT_EQ(Render("reference.wav", {"--no-tail"}), 0) << Errors();
  const Audio reference = ReadAudio("reference.wav");
  ASSERT_EQ(reference.Frames(), static_cast<std::size_t>(kSeconds * kRate));
  const double level = Measure(reference, 0, 1.0, 3.5).rms;
  ASSERT_GT(level, 0.3);
  const struct
  {
    const char* name;
    const char* format;  // null: the extension chooses
    double levelTolerance;  // relative
    std::size_t lengthTolerance;  // frames: the codec's padding
  } rows[] = {
    {"f32.wav", nullptr, 1e-7, 0},   {"f64.wav", "f64", 1e-7, 0},     {"s24.wav", "s24", 1e-5, 0},
    {"s16.wav", "s16", 1e-3, 0},     {"tone.flac", nullptr, 1e-5, 0}, {"tone.ogg", nullptr, 0.06, 0},
    {"tone.opus", nullptr, 0.06, 960}, {"tone.mp3", nullptr, 0.06, 1152},
  };
#ifndef _WIN32
  const bool ffmpeg = HaveFfmpeg();
#endif
  for (const auto& row : rows)
  {
    SCOPED_TRACE(row.name);
    std::vector<std::string> extra = {"--no-tail"};
    if (row.format)
      extra.insert(extra.end(), {"--format", row.format});
    ASSERT_EQ(Render(row.name, extra), 0) << Errors();
    std::vector<std::pair<const char*, Audio>> readings = {{"libsndfile", ReadAudio(row.name)}};
#ifndef _WIN32
    if (ffmpeg)
      readings.push_back({"ffmpeg", ReadWithFfmpeg(row.name)});
#endif
    for (const auto& [reader, audio] : readings)
    {
      SCOPED_TRACE(reader);
      ASSERT_EQ(audio.channels, 2);
      ASSERT_EQ(audio.rate, kRate);
      const double frames = kSeconds * kRate;
      EXPECT_NEAR(static_cast<double>(audio.Frames()), frames, static_cast<double>(row.lengthTolerance));
      for (int channel = 0; channel < 2; ++channel)
      {
        const Tone tone = Measure(audio, channel, 1.0, 3.5);
        EXPECT_NEAR(tone.hertz, channel == 0 ? 200.0 : 204.0, 0.1) << channel;
        EXPECT_NEAR(tone.rms / level, 1.0, row.levelTolerance) << channel;
      }
    }
  }
#ifndef _WIN32
  if (!ffmpeg)
    GTEST_SKIP() << "ffmpeg is not installed: read back through libsndfile only";
#endif
}

#ifndef _WIN32
TEST_F(RenderFormats, ARenderThatCannotFinishLeavesNoFileBehind)
{
  // A file size limit stands for a disk that fills up: writes past it fail
  // (with the signal ignored, as a full disk fails them).
  const fs::path folder = fs::absolute("no-room");
  fs::create_directories(folder);
  const std::string output = (folder / "long.flac").string();
  std::ofstream(output) << "a file from before";
  const std::string command = "trap '' XFSZ; ulimit -f 64; exec '" + renderer + "' -o '" + output
                              + "' --param Mode=Generator --seconds 60 2>render-formats.err";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string errors = Errors();
  EXPECT_EQ(errors.rfind("thrumwell-render: writing \"" + output + "\" failed", 0), 0u) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  // The file of that name is the one from before; nothing else is there.
  std::ifstream kept(output);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()),
            "a file from before");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  fs::remove_all(folder);
}
#endif

TEST_F(RenderFormats, RefusesFormatsAndRatesThatDoNotGoTogether)
{
  // Before anything is written: the file from before stays alone.
  const fs::path folder = fs::absolute("mismatch");
  fs::create_directories(folder);
  std::ofstream((folder / "tone.opus").string()) << "a file from before";
  const struct
  {
    std::vector<std::string> args;
    const char* message;
  } rows[] = {
    {{"--rate", "44100"}, "Opus holds 8000, 12000, 16000, 24000 or 48000 Hz, not 44100 (use --rate 48000)"},
    {{"--quality", "11"}, "--quality \"11\" is not a number from 0 to 10"},
    {{"--format", "flac", "--quality", "5"}, "--quality applies to ogg, opus and mp3, not to flac"},
  };
  for (const auto& row : rows)
  {
    std::vector<std::string> args = {"-o", (folder / "tone.opus").string(), "--seconds", "1"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    EXPECT_EQ(RunProgram(renderer, args, "render-formats.out", "render-formats.err"), 2);
    EXPECT_EQ(Errors(), std::string("thrumwell-render: ") + row.message + "\n");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  fs::remove_all(folder);
}

namespace {

// Writes a file of the given frames (interleaved) through libsndfile.
bool WriteAudio(const std::string& path, int format, int rate, int channels, const std::vector<float>& samples)
{
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = OpenSoundFile(path, SFM_WRITE, &info);
  if (!file)
    return false;
  const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
  const bool ok = sf_writef_float(file, samples.data(), frames) == frames;
  return sf_close(file) == 0 && ok;
}

std::vector<float> Sine(double hertz, int rate, double seconds, int channels)
{
  std::vector<float> samples;
  for (long i = 0; i < std::lround(seconds * rate); ++i)
    for (int c = 0; c < channels; ++c)
      samples.push_back(static_cast<float>(0.5 * std::sin(2 * 3.14159265358979 * hertz * i / rate)));
  return samples;
}

}  // namespace

TEST_F(RenderFormats, AnInputFileArrivesUnderTheTone)
{
  // A float file at the session's rate: the output less the bare tone is
  // the file, sample for sample (played once, then silence). In 64-bit
  // samples the sum and the difference are exact for these values.
  std::vector<float> content;
  for (int i = 0; i < kRate; ++i)
    content.insert(content.end(), {static_cast<float>(std::sin(i * 0.001) * 0.3), static_cast<float>((i % 97) / 400.0)});
  ASSERT_TRUE(WriteAudio("input.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRate, 2, content));
  ASSERT_EQ(Render("bare.wav", {"--no-tail", "--sample-size", "64"}), 0) << Errors();
  ASSERT_EQ(Render("mixed.wav", {"--no-tail", "--sample-size", "64", "--input", "input.wav", "--input-loop", "no"}), 0)
    << Errors();
  const Audio bare = ReadAudio("bare.wav");
  const Audio mixed = ReadAudio("mixed.wav");
  ASSERT_EQ(mixed.samples.size(), bare.samples.size());
  std::size_t differing = 0;
  for (std::size_t i = 0; i < mixed.samples.size(); ++i)
  {
    const float expected = i < content.size() ? content[i] : 0.0f;
    differing += static_cast<float>(mixed.samples[i] - bare.samples[i]) != expected;
  }
  EXPECT_EQ(differing, 0u);

  // A 44.1 kHz file in a 48 kHz render keeps its pitch; a mono file plays in
  // both ears; -6 dB halves it. (Synthesizer mode without notes: only the input sounds.)
  ASSERT_TRUE(WriteAudio("a441.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 44100, 1, Sine(441, 44100, 2.0, 1)));
  ASSERT_EQ(RunProgram(renderer, {"-o", "pitch.wav", "--input", "a441.flac", "--input-gain", "-6.0206", "--seconds",
                                  "4", "--no-tail"},
                       "render-formats.out", "render-formats.err"),
            0)
    << Errors();
  const Audio pitched = ReadAudio("pitch.wav");
  for (int channel = 0; channel < 2; ++channel)
  {
    const Tone tone = Measure(pitched, channel, 0.5, 3.5);
    EXPECT_NEAR(tone.hertz, 441.0, 0.1) << channel;
    EXPECT_NEAR(tone.rms, 0.25 / std::sqrt(2.0), 0.002) << channel;
  }

  // Looped, a file cut at a zero crossing joins without a click: no step
  // between samples larger than the sine's own.
  ASSERT_TRUE(WriteAudio("loop.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, Sine(490, 44100, 0.3, 2)));
  ASSERT_EQ(RunProgram(renderer, {"-o", "looped.wav", "--input", "loop.wav", "--seconds", "2", "--no-tail"},
                       "render-formats.out", "render-formats.err"),
            0)
    << Errors();
  const Audio looped = ReadAudio("looped.wav");
  double step = 0;
  for (std::size_t i = 2 * 4800; i + 2 < looped.samples.size(); ++i)
    step = std::max(step, std::fabs(looped.samples[i + 2] - looped.samples[i]));
  EXPECT_LT(step, 2 * 3.14159265358979 * 490 / kRate * 0.5 * 1.02);
  EXPECT_GT(Measure(looped, 0, 1.0, 1.9).rms, 0.3);  // still sounding after the file's end
}

TEST_F(RenderFormats, ASessionNamesItsInputFromItsOwnFolder)
{
  fs::create_directories("beds");
  ASSERT_TRUE(WriteAudio("beds/input.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRate, 2, Sine(300, kRate, 1.0, 2)));
  std::ofstream("beds/input.session") << "00:00 input \"input.wav\" gain=-12 loop=no\n";
  ASSERT_EQ(Render("session.wav", {"--session", "beds/input.session"}), 0) << Errors();
  ASSERT_EQ(Render("option.wav", {"--input", "beds/input.wav", "--input-gain", "-12", "--input-loop", "no"}), 0)
    << Errors();
  const Audio session = ReadAudio("session.wav");
  EXPECT_GT(session.Frames(), static_cast<std::size_t>(kSeconds * kRate));
  EXPECT_EQ(session.samples, ReadAudio("option.wav").samples);

  // A file it cannot find is refused with the session's line, and nothing is written.
  std::ofstream("beds/missing.session") << "# rain\n00:00 input missing.flac\n";
  EXPECT_EQ(Render("out.wav", {"--session", "beds/missing.session"}), 2);
  // The file's name is the session's folder joined with the platform's separator.
  const std::string missing = (fs::path("beds") / "missing.flac").string();
  EXPECT_EQ(Errors(), "thrumwell-render: beds/missing.session:2:13: cannot open \"" + missing + "\"\n");
  EXPECT_FALSE(fs::exists("out.wav"));
}

TEST_F(RenderFormats, RefusesInputFilesItCannotPlay)
{
  std::ofstream("text.mp3") << "this is not a song\n";
  std::ofstream("empty.wav");
  ASSERT_TRUE(WriteAudio("six.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 6, Sine(300, kRate, 0.1, 6)));
  ASSERT_TRUE(WriteAudio("none.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2, {}));
  // A FLAC file whose frames turn to noise after its start.
  ASSERT_TRUE(WriteAudio("good.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, kRate, 2, Sine(300, kRate, 3.0, 2)));
  {
    std::ifstream in("good.flac", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t i = bytes.size() / 3; i < bytes.size(); ++i)
      bytes[i] = static_cast<char>(i * 7919 % 251);
    std::ofstream("corrupt.flac", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const struct
  {
    const char* file;
    int status;
    const char* message;
  } rows[] = {
    {"missing.flac", 2, "cannot open \"missing.flac\""},
    {"text.mp3", 2, "\"text.mp3\" is not an MP3 file (it starts with neither an ID3 tag nor an MPEG frame)"},
    {"six.wav", 2, "\"six.wav\" has 6 channels; only mono and stereo files are played"},
    {"empty.wav", 2, "\"empty.wav\" is empty"},
    {"none.wav", 2, "\"none.wav\" holds no audio"},
    {"corrupt.flac", 1, "reading \"corrupt.flac\" failed"},
  };
  for (const auto& row : rows)
  {
    SCOPED_TRACE(row.file);
    EXPECT_EQ(Render("out.wav", {"--input", row.file}), row.status);
    const std::string errors = Errors();
    EXPECT_EQ(errors.rfind(std::string("thrumwell-render: ") + row.message, 0), 0u) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_FALSE(fs::exists("out.wav"));
  }
}

TEST_F(RenderFormats, FileNamesMayUseAnyCharacters)
{
  // Names in any script, and an emoji beyond the Basic Multilingual Plane,
  // for every file the renderer opens: its output, its --input, a session
  // file and the input that names, the state it saves and loads, and the
  // bundle it plays (and the validator checks), each in a folder of the same
  // name. Windows hands a program's main its arguments in the ANSI code page,
  // where these characters are lost.
  const char* bundle = std::getenv("THRUMWELL_BUNDLE");
  ASSERT_NE(bundle, nullptr) << "THRUMWELL_BUNDLE names the built bundle";
  const std::vector<float> bed = Sine(300, kRate, 1.0, 2);
  ASSERT_TRUE(WriteAudio("bed.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRate, 2, bed));
  const std::vector<std::string> input = {"--input-gain", "-12", "--input-loop", "no"};
  auto with = [&input](std::vector<std::string> args) {
    args.insert(args.end(), input.begin(), input.end());
    return args;
  };
  ASSERT_EQ(Render("reference.flac", with({"--input", "bed.wav"})), 0) << Errors();
  const Audio reference = ReadAudio("reference.flac");
  ASSERT_GT(reference.Frames(), static_cast<std::size_t>(kSeconds * kRate));

  const char* names[] = {u8"Ärger ☂ ñandú", u8"Regen — 雨の音", u8"🌧 ночь"};
  for (const std::string name : names)
  {
    SCOPED_TRACE(name);
    const std::string base = name + "/" + name;
    ASSERT_TRUE(fs::create_directories(fs::u8path(name)));
    ASSERT_TRUE(WriteAudio(base + ".wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRate, 2, bed));
    std::ofstream(fs::u8path(base + ".session"), std::ios::binary)
      << "00:00 input \"" << name << ".wav\" gain=-12 loop=no\n";

    ASSERT_EQ(Render(base + " option.flac", with({"--input", base + ".wav", "--state-out", base + ".state"})), 0)
      << Errors();
    ASSERT_EQ(Render(base + " session.flac", {"--session", base + ".session", "--state-in", base + ".state"}), 0)
      << Errors();
    EXPECT_EQ(ReadAudio(base + " option.flac").samples, reference.samples);
    EXPECT_EQ(ReadAudio(base + " session.flac").samples, reference.samples);
    EXPECT_GT(fs::file_size(fs::u8path(base + ".state")), 0u);
    // Nothing under another name: the files written, the input and the session.
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::u8path(name)), fs::directory_iterator()), 5);
  }

  // A session saved in another encoding names its input in bytes that are
  // not UTF-8: refused as a file that is not there, never a crash.
  std::ofstream("latin1.session", std::ios::binary) << "00:00 input \"\xC4rger.wav\"\n";
  EXPECT_EQ(Render("latin1.wav", {"--session", "latin1.session"}), 2);
  EXPECT_NE(Errors().find("cannot open"), std::string::npos) << Errors();
  EXPECT_FALSE(fs::exists("latin1.wav"));

  // The bundle in such a folder, played and validated.
  const std::string copied = std::string(names[2]) + "/Thrumwell.vst3";
  fs::copy(fs::u8path(bundle), fs::u8path(copied), fs::copy_options::recursive);
  ASSERT_EQ(Render("bundle.flac", with({"--input", "bed.wav", "--plugin", copied})), 0) << Errors();
  EXPECT_EQ(ReadAudio("bundle.flac").samples, reference.samples);
  if (const char* validator = std::getenv("THRUMWELL_VALIDATE"))
  {
    EXPECT_EQ(RunProgram(validator, {copied, "--only", "Bundle", "--seed", "1"}, "validate.out", "render-formats.err"),
              0)
      << Errors();
    std::ifstream out("validate.out", std::ios::binary);
    const std::string report((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
    EXPECT_NE(report.find("PASS  Bundle"), std::string::npos) << report;
  }
}
