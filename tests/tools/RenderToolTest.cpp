// thrumwell-render as a user runs it: exit statuses, refusals that write
// nothing, the WAV file it writes, and the component state it saves and loads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/tools/RunProgram.h"

namespace {

const char* kOutput = "render-tool-test.wav";
const char* kErrors = "render-tool-test.err";
const char* kListing = "render-tool-test.txt";

std::vector<unsigned char> ReadFile(const char* path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at)
{
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t U16(const std::vector<unsigned char>& b, std::size_t at)
{
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

float F32(const std::vector<unsigned char>& b, std::size_t at)
{
  const std::uint32_t bits = U32(b, at);
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

// The interleaved samples of any WAV file the renderer writes, in units of
// full scale, and the bits per sample.
struct Wav
{
  std::string riff;  // "RIFF" or "RF64"
  int bits = 0;
  int format = 0;  // 1 PCM, 3 float
  int channels = 0;
  std::uint32_t rate = 0;
  std::vector<double> samples;
  std::size_t Frames() const { return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

Wav ReadWav(const char* path)
{
  const std::vector<unsigned char> b = ReadFile(path);
  Wav wav;
  if (b.size() < 12)
    return wav;
  wav.riff.assign(b.begin(), b.begin() + 4);
  std::size_t at = 12;
  while (at + 8 <= b.size())
  {
    const std::string id(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at) + 4);
    const std::uint32_t size = U32(b, at + 4);
    if (id == "fmt ")
    {
      wav.format = U16(b, at + 8);
      wav.channels = U16(b, at + 10);
      wav.rate = U32(b, at + 12);
      wav.bits = U16(b, at + 22);
    }
    else if (id == "data")
    {
      const int width = wav.bits / 8;
      for (std::size_t i = at + 8; width > 0 && i + width <= b.size() && i < at + 8 + size; i += width)
      {
        if (wav.format == 3 && width == 8)
        {
          double value;
          std::memcpy(&value, b.data() + i, 8);
          wav.samples.push_back(value);
        }
        else if (wav.format == 3)
          wav.samples.push_back(F32(b, i));
        else
        {
          std::int32_t value = 0;
          for (int k = 0; k < width; ++k)
            value |= static_cast<std::int32_t>(b[i + static_cast<std::size_t>(k)]) << (8 * k + 32 - wav.bits);
          wav.samples.push_back(static_cast<double>(value >> (32 - wav.bits)) / std::ldexp(1.0, wav.bits - 1));
        }
      }
      break;
    }
    at += 8 + size + (size & 1);
  }
  return wav;
}

class RenderTool : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const char* path = std::getenv("THRUMWELL_RENDER");
    ASSERT_NE(path, nullptr) << "THRUMWELL_RENDER names the renderer";
    renderer = path;
    std::remove(kOutput);
  }
  void TearDown() override
  {
    std::remove(kOutput);
    std::remove(kErrors);
    std::remove(kListing);
  }

  int Run(const std::vector<std::string>& args) { return RunProgram(renderer, args, kListing, kErrors); }
  // A text file's content with Windows line ends made plain.
  static std::string Text(const char* path)
  {
    const std::vector<unsigned char> bytes = ReadFile(path);
    std::string text;
    for (unsigned char c : bytes)
      if (c != '\r')
        text += static_cast<char>(c);
    return text;
  }
  std::string Errors() { return Text(kErrors); }
  std::string Listing() { return Text(kListing); }

  std::string renderer;
};

}  // namespace

TEST_F(RenderTool, WritesAStereoFloatWav)
{
  ASSERT_EQ(Run({"-o", kOutput, "--program", "Binaural - 7.83 (Schumann Resonance)", "--seconds", "0.5", "--rate",
                 "44100", "--block", "100", "--no-tail"}),
            0)
    << Errors();
  const std::vector<unsigned char> bytes = ReadFile(kOutput);
  ASSERT_GE(bytes.size(), 12u);
  EXPECT_EQ(U32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "WAVE");
  const Wav wav = ReadWav(kOutput);
  EXPECT_EQ(wav.riff, "RIFF");
  EXPECT_EQ(wav.format, 3);  // IEEE float
  EXPECT_EQ(wav.channels, 2);
  EXPECT_EQ(wav.rate, 44100u);
  EXPECT_EQ(wav.bits, 32);
  ASSERT_EQ(wav.Frames(), 22050u);
  // The Generator program plays with the transport: a tone near the program's volume.
  double peak = 0;
  for (double sample : wav.samples)
    peak = std::max(peak, std::fabs(sample));
  EXPECT_GT(peak, 0.47);
  EXPECT_LT(peak, 0.48);
}

TEST_F(RenderTool, PlaysNotesInSynthesizerMode)
{
  ASSERT_EQ(Run({"-o", kOutput, "--param", "Attack=0", "--param", "Wave=Square", "--param", "Volume=100",
                 "--note", "69:127@0.25+0.25", "--seconds", "1", "--rate", "8000"}),
            0)
    << Errors();
  const Wav wav = ReadWav(kOutput);
  // Silent at its end, the render needs no tail.
  ASSERT_EQ(wav.Frames(), 8000u);
  EXPECT_EQ(wav.samples[2 * 1000], 0.0);  // before the note
  // During the note the square wave sits at plus or minus the full gain.
  EXPECT_NEAR(std::fabs(wav.samples[2 * 3000]), 0.999, 1e-6);
}

namespace {

// The largest change from one sample to the next of either channel over the
// last frames of a render, and the last sample's magnitude.
struct Ending
{
  double step = 0;
  double last = 0;
};

Ending EndOf(const Wav& wav, std::size_t frames)
{
  Ending ending;
  const std::size_t total = wav.Frames();
  for (std::size_t i = total - std::min(frames, total) + 1; i < total; ++i)
    for (std::size_t c = 0; c < 2; ++c)
      ending.step = std::max(ending.step, std::fabs(wav.samples[2 * i + c] - wav.samples[2 * (i - 1) + c]));
  ending.last = std::max(std::fabs(wav.samples[2 * total - 2]), std::fabs(wav.samples[2 * total - 1]));
  return ending;
}

}  // namespace

TEST_F(RenderTool, RendersEndWithTheInstrumentsFadeUnlessToldNotTo)
{
  // Each render stops with the tone at full level. The tone's own largest
  // step from one sample to the next is 2 pi f / rate times its level; a
  // click is a step of about the level itself.
  const struct
  {
    const char* what;
    std::vector<std::string> args;
    double hertz;       // the higher oscillator
    double fadeSeconds; // the longest the tail may take
  } rows[] = {
    {"a Generator program", {"--program", "Binaural - 7.83 (Schumann Resonance)", "--seconds", "10"}, 207.83, 0.1},
    {"a note held past the end", {"--param", "Release=300", "--param", "Attack=0", "--note", "60@0",
                                  "--seconds", "1"}, 265, 0.4},
    {"a sawtooth at the largest block", {"--param", "Mode=Generator", "--param", "Wave=Saw", "--block", "8192",
                                         "--param", "Volume=100", "--seconds", "1"}, 204, 0.4},
  };
  for (const auto& row : rows)
  {
    SCOPED_TRACE(row.what);
    std::vector<std::string> args = {"-o", kOutput};
    args.insert(args.end(), row.args.begin(), row.args.end());
    ASSERT_EQ(Run(args), 0) << Errors();
    const Wav wav = ReadWav(kOutput);
    const double seconds = std::stod(row.args[row.args.size() - 1]);
    const std::size_t frames = static_cast<std::size_t>(seconds * 48000);
    // --seconds counts the sound before the tail.
    ASSERT_GT(wav.Frames(), frames);
    EXPECT_LT(wav.Frames(), frames + static_cast<std::size_t>(row.fadeSeconds * 48000));
    double level = 0;
    for (std::size_t i = 2 * (frames - 4800); i < 2 * frames; ++i)
      level = std::max(level, std::fabs(wav.samples[i]));
    ASSERT_GT(level, 0.3);
    const double toneStep = 2 * 3.14159265358979 * row.hertz / 48000 * level;
    const Ending ending = EndOf(wav, 2048);
    EXPECT_EQ(ending.last, 0.0);
    // A sawtooth steps once per period by design; the others never do.
    if (std::string(row.what).find("saw") == std::string::npos)
    {
      EXPECT_LT(ending.step, toneStep * 1.05);
    }

    // --no-tail keeps the hard end: exactly --seconds, stopping at full level.
    args.push_back("--no-tail");
    ASSERT_EQ(Run(args), 0) << Errors();
    const Wav hard = ReadWav(kOutput);
    ASSERT_EQ(hard.Frames(), frames);
    EXPECT_GT(EndOf(hard, 2048).last, 0.0);
    // The tail follows the sound unchanged.
    for (std::size_t i = 0; i < 2 * frames; i += 997)
      ASSERT_EQ(hard.samples[i], wav.samples[i]) << i;
  }
}

TEST_F(RenderTool, LaysANoiseBedUnderTheToneAndFadesItAtTheEnd)
{
  const std::vector<std::string> common = {"--param", "Mode=Generator", "--seconds", "2", "--rate", "48000"};
  std::vector<std::string> args = {"-o", kOutput, "--no-tail"};
  args.insert(args.end(), common.begin(), common.end());
  ASSERT_EQ(Run(args), 0) << Errors();
  const Wav tone = ReadWav(kOutput);
  args.insert(args.end(), {"--noise", "pink@-26"});
  ASSERT_EQ(Run(args), 0) << Errors();
  const Wav bed = ReadWav(kOutput);
  ASSERT_EQ(bed.samples.size(), tone.samples.size());
  // The output is the tone plus the bed, at the bed's level.
  double energy = 0;
  for (std::size_t i = 0; i < bed.samples.size(); ++i)
    energy += (bed.samples[i] - tone.samples[i]) * (bed.samples[i] - tone.samples[i]);
  EXPECT_NEAR(10 * std::log10(energy / static_cast<double>(bed.samples.size())), -26, 1.0);
  // Seeded: the same render twice is the same file.
  ASSERT_EQ(Run(args), 0);
  EXPECT_EQ(ReadWav(kOutput).samples, bed.samples);

  // With the tail the bed fades out with the tone and the file ends silent.
  args = {"-o", kOutput, "--noise", "brown"};
  args.insert(args.end(), common.begin(), common.end());
  ASSERT_EQ(Run(args), 0) << Errors();
  const Wav faded = ReadWav(kOutput);
  ASSERT_GT(faded.Frames(), 96000u + 48000u);
  EXPECT_LT(faded.Frames(), 96000u + 48000u + 2048u);
  EXPECT_EQ(EndOf(faded, 512).last, 0.0);
}

TEST_F(RenderTool, ASessionsNoiseLineIsTheNoiseOptionUnlessTheCommandLineNamesOne)
{
  const char* session = "render-tool-test.session";
  const std::vector<std::string> common = {"-o", kOutput, "--param", "Mode=Generator", "--seconds", "1"};
  auto render = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = common;
    args.insert(args.end(), extra.begin(), extra.end());
    EXPECT_EQ(Run(args), 0) << Errors();
    return ReadWav(kOutput).samples;
  };
  const std::vector<double> option = render({"--noise", "pink@-26"});
  ASSERT_FALSE(option.empty());
  std::ofstream(session, std::ios::binary) << "00:00 Volume=80\n00:00 noise pink@-26\n";
  EXPECT_EQ(render({"--param", "Volume=80", "--session", session}),
            render({"--param", "Volume=80", "--noise", "pink@-26"}));
  // The command line's --noise replaces the session's, which alone differs.
  std::ofstream(session, std::ios::binary) << "00:00 noise brown\n";
  EXPECT_EQ(render({"--session", session, "--noise", "pink@-26"}), option);
  EXPECT_NE(render({"--session", session}), option);
  std::remove(session);
}

TEST_F(RenderTool, RefusesNonsenseWithStatus2AndWritesNothing)
{
  const std::vector<std::vector<std::string>> cases = {
    {"--seconds", "1"},
    {"-o", kOutput, "--seconds", "-1"},
    {"-o", kOutput, "--seconds", "nan"},
    {"-o", kOutput, "--rate", "7999"},
    {"-o", kOutput, "--rate", "384001"},
    {"-o", kOutput, "--block", "0"},
    {"-o", kOutput, "--block", "8193"},
    {"-o", kOutput, "--program", "No such program"},
    {"-o", kOutput, "--program", "130"},
    {"-o", kOutput, "--param", "Loudness=3"},
    {"-o", kOutput, "--param", "Wave=Sqare"},
    {"-o", kOutput, "--param", "Volume"},
    {"-o", kOutput, "--note", "128@0"},
    {"-o", kOutput, "--note", "60:0@0"},
    {"-o", kOutput, "--note", "60@-1"},
    {"-o", kOutput, "--note", "60@1+0"},
    {"-o", kOutput, "--frobnicate"},
    {"-o"},
    {"-o", kOutput, "--sample-size", "48"},
    {"-o", kOutput, "--sample-size"},
    {"-o", kOutput, "--state-in", ""},
    {"-o", kOutput, "--state-in", "no-such-state.bin"},
    {"-o", kOutput, "--format", "s32"},
    {"-o", kOutput, "--noise", "grey"},
    {"-o", kOutput, "--noise", "pink@6"},
    {"-o", kOutput, "--at", "Wave=Saw"},
    {"-o", kOutput, "--at", "Wave=Saw@1:75"},
    {"-o", kOutput, "--ramp", "Binaural=4->5@0+0"},
    {"-o", kOutput, "--ramp", "Binaural=4->900@0+1"},
    {"-o", kOutput, "--at", "Loudness=1@0"},
    {"-o", kOutput, "--session", "no-such-session.txt"},
    {"-o", kOutput, "--all"},
    {"-o", kOutput, "stray"},
  };
  for (const auto& args : cases)
  {
    std::string line;
    for (const auto& a : args)
      line += a + " ";
    SCOPED_TRACE(line);
    EXPECT_EQ(Run(args), 2);
    const std::string errors = Errors();
    EXPECT_FALSE(errors.empty());
    EXPECT_EQ(errors.find('\n'), errors.size() - 1);  // one line
    EXPECT_TRUE(ReadFile(kOutput).empty());
  }
}

TEST_F(RenderTool, ListsProgramsAndParameters)
{
  EXPECT_EQ(Run({"--list-programs"}), 0);
  std::string programs = Text(kListing);
  // The 126 programs in use: the default and the factory programs.
  EXPECT_EQ(std::count(programs.begin(), programs.end(), '\n'), 126);
  EXPECT_EQ(programs.rfind("0\t---- default ----\n", 0), 0u);
  EXPECT_NE(programs.find("\n83\tBinaural - 7.83 (Schumann Resonance)\n"), std::string::npos);
  EXPECT_NE(programs.find("\n116\tHealing - 586 Hz (Circulation  & sex)\n"), std::string::npos);
  EXPECT_EQ(programs.find("\n126\t"), std::string::npos);
  // All 130 entries of the unit's program list, the empty slots included.
  EXPECT_EQ(Run({"--list-programs", "--all"}), 0);
  programs = Text(kListing);
  EXPECT_EQ(std::count(programs.begin(), programs.end(), '\n'), 130);
  EXPECT_NE(programs.find("\n129\t- 130 -\n"), std::string::npos);

  EXPECT_EQ(Run({"--list-params"}), 0);
  const std::string params = Text(kListing);
  EXPECT_EQ(std::count(params.begin(), params.end(), '\n'), 12);
  EXPECT_EQ(params.rfind("0\tFrequency\t1.0..20000.0\t200.0\tHz\n", 0), 0u);
  EXPECT_NE(params.find("\n3\tWave\t0..3\t0\t\t0=Sine, 1=Triangle, 2=Saw, 3=Square\n"), std::string::npos);
  EXPECT_TRUE(ReadFile(kOutput).empty());
}

namespace {

const char* kState = "render-tool-test.state";
const char* kSecond = "render-tool-test-2.wav";

}  // namespace

TEST_F(RenderTool, SixtyFourBitSamplesMatchTheSingleOnesToFloatPrecision)
{
  const std::vector<std::string> common = {"--program", "Monaural beats", "--seconds", "0.25", "--rate", "48000",
                                           "--no-tail"};
  std::vector<std::string> args = {"-o", kOutput, "--sample-size", "32"};
  args.insert(args.end(), common.begin(), common.end());
  ASSERT_EQ(Run(args), 0) << Errors();
  const std::vector<double> narrow = ReadWav(kOutput).samples;
  args = {"-o", kOutput, "--sample-size", "64"};
  args.insert(args.end(), common.begin(), common.end());
  ASSERT_EQ(Run(args), 0) << Errors();
  const std::vector<unsigned char> wav = ReadFile(kOutput);
  EXPECT_EQ(U16(wav, 34), 64);
  EXPECT_EQ(U16(wav, 32), 16);
  const std::vector<double> wide = ReadWav(kOutput).samples;
  ASSERT_EQ(wide.size(), 2u * 12000);
  ASSERT_EQ(narrow.size(), wide.size());
  double worst = 0;
  for (std::size_t i = 0; i < wide.size(); ++i)
    worst = std::max(worst, std::fabs(wide[i] - narrow[i]));
  EXPECT_LT(worst, 1e-6);
  EXPECT_GT(*std::max_element(wide.begin(), wide.end()), 0.4);
}

TEST_F(RenderTool, SavedStateRestoresTheSound)
{
  ASSERT_EQ(Run({"-o", kOutput, "--program", "Saw waves - by note", "--param", "Volume=50", "--param",
                 "Attack=0", "--note", "60@0", "--seconds", "0.2", "--rate", "8000", "--state-out", kState}),
            0)
    << Errors();
  EXPECT_EQ(ReadFile(kState).size(), 96u);
  // The default program plus the saved state sounds like the saved setting.
  ASSERT_EQ(Run({"-o", kSecond, "--state-in", kState, "--note", "60@0", "--seconds", "0.2", "--rate", "8000"}), 0)
    << Errors();
  EXPECT_EQ(ReadWav(kOutput).samples, ReadWav(kSecond).samples);
  std::remove(kState);
  std::remove(kSecond);
}

TEST_F(RenderTool, MissingBundleFailsWithStatus1)
{
  EXPECT_EQ(Run({"-o", kOutput, "--plugin", "no-such-folder/Nothing.vst3", "--seconds", "0.1"}), 1);
  EXPECT_NE(Errors().find("Nothing"), std::string::npos);
  EXPECT_TRUE(ReadFile(kOutput).empty());
}

// Another plug-in plays as the instrument does: an effect hears silence, and
// a mono class (chosen with --class) fills both channels of the file.
TEST_F(RenderTool, PlaysAnEffectOfAnotherBundle)
{
  const char* split = std::getenv("THRUMWELL_SPLIT_BUNDLE");
  if (!split)
    GTEST_SKIP() << "THRUMWELL_SPLIT_BUNDLE names the tests' two-object effect";
  for (const char* chosen : {"0", "Split Gain Mono"})
  {
    SCOPED_TRACE(chosen);
    ASSERT_EQ(Run({"-o", kOutput, "--plugin", split, "--class", chosen, "--seconds", "0.1", "--rate", "8000",
                   "--note", "60@0", "--no-tail"}),
              0)
      << Errors();
    const std::vector<double> samples = ReadWav(kOutput).samples;
    EXPECT_EQ(samples.size(), 1600u);
    EXPECT_TRUE(std::all_of(samples.begin(), samples.end(), [](double x) { return x == 0.0; }));
  }
  // The controller class, or a class the bundle lacks, is no choice.
  for (const char* refused : {"1", "Split Gain Controller", "nothing"})
  {
    std::remove(kOutput);
    EXPECT_EQ(Run({"-o", kOutput, "--plugin", split, "--class", refused, "--seconds", "0.1"}), 2) << refused;
    EXPECT_NE(Errors().find("Split Gain Mono"), std::string::npos) << Errors();
    EXPECT_TRUE(ReadFile(kOutput).empty());
  }
}

TEST_F(RenderTool, AnswersHelpAndVersion)
{
  EXPECT_EQ(Run({"--help"}), 0);
  const std::string help = Listing();
  for (const char* option :
       {"--ramp", "--at", "--session", "--format", "--export-presets", "--version", "--all", "--class"})
    EXPECT_NE(help.find(option), std::string::npos) << option;
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(Listing().rfind("thrumwell-render ", 0), 0u);
  EXPECT_TRUE(Errors().empty());
}

namespace {

// Frequency of the left channel around frame center, from the rising zero
// crossings within half a window either side, placed between samples.
double FrequencyAt(const std::vector<double>& samples, int rate, double seconds, double window)
{
  const long center = std::lround(seconds * rate);
  const long half = std::lround(window * rate / 2);
  double first = -1, last = -1;
  int periods = -1;
  for (long i = center - half; i < center + half; ++i)
  {
    const double a = samples[2 * static_cast<std::size_t>(i)];
    const double b = samples[2 * static_cast<std::size_t>(i + 1)];
    if (a < 0 && b >= 0)
    {
      const double crossing = i + a / (a - b);
      if (first < 0)
        first = crossing;
      last = crossing;
      ++periods;
    }
  }
  return periods > 0 ? periods * rate / (last - first) : 0.0;
}

}  // namespace

TEST_F(RenderTool, RampsMoveLinearlyInTheParametersUnits)
{
  // "Frequency" has a square-law normalized curve: a ramp straight in
  // normalized values would sit near 866 Hz halfway, not 1100 Hz.
  ASSERT_EQ(Run({"-o", kOutput, "--param", "Mode=Generator", "--param", "Binaural=0", "--param", "Fade=1",
                 "--ramp", "Frequency=200->2000@0.5+2", "--seconds", "3", "--block", "128", "--no-tail"}),
            0)
    << Errors();
  const Wav wav = ReadWav(kOutput);
  ASSERT_EQ(wav.samples.size(), 2u * 144000);
  const struct
  {
    double seconds, hertz;
  } rows[] = {{0.25, 200}, {0.75, 425}, {1.0, 650}, {1.5, 1100}, {2.0, 1550}, {2.4, 1910}, {2.75, 2000}};
  for (const auto& row : rows)
    EXPECT_NEAR(FrequencyAt(wav.samples, 48000, row.seconds, 0.02), row.hertz, row.hertz * 0.01) << row.seconds;

  // Without a start value the ramp starts from the value in force, here
  // the one an --at set before it.
  ASSERT_EQ(Run({"-o", kOutput, "--param", "Mode=Generator", "--param", "Binaural=0", "--param", "Fade=1", "--at",
                 "Frequency=300@0", "--ramp", "Frequency=->600@1+1", "--seconds", "2.5"}),
            0)
    << Errors();
  const Wav fromInForce = ReadWav(kOutput);
  EXPECT_NEAR(FrequencyAt(fromInForce.samples, 48000, 0.5, 0.02), 300, 3);
  EXPECT_NEAR(FrequencyAt(fromInForce.samples, 48000, 1.5, 0.02), 450, 4.5);
  EXPECT_NEAR(FrequencyAt(fromInForce.samples, 48000, 2.25, 0.02), 600, 6);
}

TEST_F(RenderTool, AtSwitchesTheWaveformOnItsSample)
{
  // 0.5 s at 8000 Hz is frame 4000, inside the eighth block of 512.
  ASSERT_EQ(Run({"-o", kOutput, "--param", "Mode=Generator", "--at", "Wave=Square@0.5", "--seconds", "1", "--rate",
                 "8000", "--no-tail"}),
            0)
    << Errors();
  const Wav wav = ReadWav(kOutput);
  ASSERT_EQ(wav.samples.size(), 2u * 8000);
  auto left = [&](int frame) { return std::fabs(wav.samples[2 * static_cast<std::size_t>(frame)]); };
  // From frame 4000 on the square wave holds one level; before, the sine moves.
  const double level = left(4000);
  EXPECT_GT(level, 0.1);
  for (int frame = 4000; frame < 4100; ++frame)
    EXPECT_NEAR(left(frame), level, 1e-6) << frame;
  int sineFrames = 0;
  for (int frame = 3900; frame < 4000; ++frame)
    sineFrames += std::fabs(left(frame) - level) > 1e-3;
  EXPECT_GT(sineFrames, 90);
}

TEST_F(RenderTool, RefusesSessionsThatNameWhatTheInstrumentLacks)
{
  const char* session = "render-tool-test.session";
  const struct
  {
    const char* text;
    const char* message;
  } rows[] = {
    {"0 Loudness=3\n",
     "render-tool-test.session:1:3: unknown parameter \"Loudness\"; expected one of Frequency, Binaural, Tuning Freq, "
     "Wave, Beats, Pan Reverse, Attack, Release, Fade, Volume, Mode, Center Freq"},
    {"0 Volume=60\n0:10 Volume=101\n",
     "render-tool-test.session:2:13: expected a value of \"Volume\": a number from 0 to 100 %, not \"101\""},
    {"0 -> 10 Wave=Sine->Sqare\n",
     "render-tool-test.session:1:20: expected a value of \"Wave\": one of Sine, Triangle, Saw, Square, or a number "
     "from 0 to 3, not \"Sqare\""},
    {"1:00 program \"No such program\"\n",
     "render-tool-test.session:1:14: unknown program \"No such program\"; expected a program name or number (see "
     "--list-programs)"},
    {"10 Volume=3\n5 Volume=4\n",
     "render-tool-test.session:2:1: expected a time at or after 00:10, the time of render-tool-test.session:1 (times "
     "may not go backwards)"},
    {"00:00 Volume=50\n01:00 noise brown\n",
     "render-tool-test.session:2:1: expected 00:00 for the noise line: a bed plays from the start to the end of the "
     "session"},
  };
  for (const auto& row : rows)
  {
    std::ofstream(session, std::ios::binary) << row.text;
    EXPECT_EQ(Run({"-o", kOutput, "--session", session}), 2) << row.text;
    EXPECT_EQ(Errors(), std::string("thrumwell-render: ") + row.message + "\n");
    EXPECT_TRUE(ReadFile(kOutput).empty());
  }
  std::remove(session);
}

TEST_F(RenderTool, PlaysTheExampleSessions)
{
  const char* source = std::getenv("THRUMWELL_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  // Each plays to its last event; at 8000 Hz the half hour takes a moment.
  const struct
  {
    const char* file;
    double seconds;
  } rows[] = {{"descent.session", 31 * 60}, {"solfeggio-steps.session", 15 * 60}};
  for (const auto& row : rows)
  {
    const std::string path = std::string(source) + "/docs/sessions/" + row.file;
    // The session's own fade, without the instrument's after it.
    ASSERT_EQ(Run({"-o", kOutput, "--session", path, "--rate", "8000", "--block", "4096", "--format", "s16",
                   "--no-tail"}),
              0)
      << Errors();
    const Wav wav = ReadWav(kOutput);
    EXPECT_EQ(wav.samples.size(), static_cast<std::size_t>(2 * 8000 * row.seconds)) << row.file;
    // Both fade out: the last tenth of a second is all but silent (the
    // instrument moves its gain across a block, here half a second).
    double loudest = 0, last = 0;
    for (std::size_t i = 0; i < wav.samples.size(); ++i)
      (i < wav.samples.size() - 1600 ? loudest : last) =
        std::max(i < wav.samples.size() - 1600 ? loudest : last, std::fabs(wav.samples[i]));
    EXPECT_GT(loudest, 0.04) << row.file;
    EXPECT_LT(last, 0.002) << row.file;
  }
}

TEST_F(RenderTool, IntegerFormatsStayWithinTheirStepOfTheFloatRender)
{
  const std::vector<std::string> common = {"--program", "Monaural beats", "--seconds", "0.25", "--note", "60@0",
                                           "--no-tail"};
  std::vector<std::string> args = {"-o", kOutput};
  args.insert(args.end(), common.begin(), common.end());
  ASSERT_EQ(Run(args), 0) << Errors();
  const Wav reference = ReadWav(kOutput);
  ASSERT_EQ(reference.samples.size(), 2u * 12000);
  // 16 bits are dithered (triangular, one step peak: less than 1.5 steps
  // from the float, a third of a step and more on average where plain
  // rounding would average a quarter); 24 bits are rounded to the nearest
  // step. Either way the same render twice is the same file.
  const struct
  {
    int bits;
    double worst;  // largest distance from the float render, in steps
    double meanLow, meanHigh;
  } rows[] = {{16, 1.5, 0.35, 0.6}, {24, 0.5, 0.2, 0.3}};
  for (const auto& row : rows)
  {
    const int bits = row.bits;
    args = {"-o", kOutput, "--format", bits == 16 ? "s16" : "s24"};
    args.insert(args.end(), common.begin(), common.end());
    ASSERT_EQ(Run(args), 0) << Errors();
    const Wav pcm = ReadWav(kOutput);
    EXPECT_EQ(pcm.format, 1);
    EXPECT_EQ(pcm.bits, bits);
    ASSERT_EQ(pcm.samples.size(), reference.samples.size());
    const double step = std::ldexp(1.0, 1 - bits);
    double worst = 0, total = 0;
    for (std::size_t i = 0; i < pcm.samples.size(); ++i)
    {
      const double error = std::fabs(pcm.samples[i] - reference.samples[i]) / step;
      worst = std::max(worst, error);
      total += error;
    }
    EXPECT_LE(worst, row.worst) << bits;
    EXPECT_GT(total / pcm.samples.size(), row.meanLow) << bits;
    EXPECT_LT(total / pcm.samples.size(), row.meanHigh) << bits;
    const std::vector<unsigned char> first = ReadFile(kOutput);
    ASSERT_EQ(Run(args), 0) << Errors();
    EXPECT_EQ(ReadFile(kOutput), first) << bits;
  }
}

TEST_F(RenderTool, AnHourStreamsToDiskInBoundedMemory)
{
  // An hour of 64-bit samples at 8000 Hz is 230 MB: far more than the
  // renderer may hold.
  long long peakKiB = -1;
  ASSERT_EQ(RunProgram(renderer, {"-o", kOutput, "--seconds", "3600", "--rate", "8000", "--block", "8192", "--format",
                                  "f64", "--program", "Monaural beats"},
                       kListing, kErrors, &peakKiB),
            0)
    << Errors();
  std::ifstream file(kOutput, std::ios::binary | std::ios::ate);
  const long long bytes = static_cast<long long>(file.tellg());
  file.close();
  // The frames, the tail's few blocks and a header of a few dozen bytes.
  EXPECT_GE(bytes, 3600LL * 8000 * 16);
  EXPECT_LT(bytes, 3600LL * 8000 * 16 + 4 * 8192 * 16 + 512);
  std::remove(kOutput);
  if (peakKiB < 0)
    GTEST_SKIP() << "this platform's runner cannot read a program's peak memory";
  RecordProperty("peak_resident_kib", std::to_string(peakKiB));
  // About 8 MB natively, 23 MB under Wine, 48 MB with the sanitizers.
  EXPECT_LT(peakKiB, 100 * 1024) << "peak resident KiB";
}
