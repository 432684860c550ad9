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

  std::string renderer;
};

}  // namespace

TEST_F(RenderTool, WritesAStereoFloatWav)
{
  ASSERT_EQ(Run({"-o", kOutput, "--program", "Binaural - 7.83 (Schumann Resonance)", "--seconds", "0.5", "--rate",
                 "44100", "--block", "100"}),
            0)
    << Errors();
  const std::vector<unsigned char> wav = ReadFile(kOutput);
  const std::uint32_t frames = 22050;
  ASSERT_GE(wav.size(), 58u);
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(U32(wav, 4), wav.size() - 8);
  EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(U16(wav, 20), 3);  // IEEE float
  EXPECT_EQ(U16(wav, 22), 2);  // stereo
  EXPECT_EQ(U32(wav, 24), 44100u);
  EXPECT_EQ(U32(wav, 28), 44100u * 8);
  EXPECT_EQ(U16(wav, 32), 8);
  EXPECT_EQ(U16(wav, 34), 32);
  EXPECT_EQ(std::string(wav.begin() + 50, wav.begin() + 54), "data");
  EXPECT_EQ(U32(wav, 54), frames * 8);
  ASSERT_EQ(wav.size(), 58u + frames * 8);
  // The Generator program plays with the transport: a tone near the program's volume.
  float peak = 0;
  for (std::uint32_t i = 0; i < frames * 2; ++i)
    peak = std::max(peak, std::fabs(F32(wav, 58 + 4 * i)));
  EXPECT_GT(peak, 0.47f);
  EXPECT_LT(peak, 0.48f);
}

TEST_F(RenderTool, PlaysNotesInSynthesizerMode)
{
  ASSERT_EQ(Run({"-o", kOutput, "--param", "Attack=0", "--param", "Wave=Square", "--param", "Volume=100",
                 "--note", "69:127@0.25+0.25", "--seconds", "1", "--rate", "8000"}),
            0)
    << Errors();
  const std::vector<unsigned char> wav = ReadFile(kOutput);
  ASSERT_EQ(wav.size(), 58u + 8000 * 8);
  EXPECT_EQ(F32(wav, 58 + 8 * 1000), 0.0f);  // before the note
  // During the note the square wave sits at plus or minus the full gain.
  EXPECT_NEAR(std::fabs(F32(wav, 58 + 8 * 3000)), 0.999f, 1e-6);
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
  const std::string programs = Text(kListing);
  // All 130 entries of the unit's program list, free slots included: a host
  // cannot tell which slots are free.
  EXPECT_EQ(std::count(programs.begin(), programs.end(), '\n'), 130);
  EXPECT_EQ(programs.rfind("0\t---- default ----\n", 0), 0u);
  EXPECT_NE(programs.find("\n83\tBinaural - 7.83 (Schumann Resonance)\n"), std::string::npos);
  EXPECT_NE(programs.find("\n116\tHealing - 586 Hz (Circulation  & sex)\n"), std::string::npos);

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

// The samples of a float WAV file written by the renderer, as doubles.
std::vector<double> Samples(const std::vector<unsigned char>& wav)
{
  std::vector<double> samples;
  const int width = U16(wav, 34) / 8;
  for (std::size_t at = 58; at + width <= wav.size(); at += width)
  {
    if (width == 8)
    {
      double value;
      std::memcpy(&value, wav.data() + at, 8);
      samples.push_back(value);
    }
    else
      samples.push_back(F32(wav, at));
  }
  return samples;
}

}  // namespace

TEST_F(RenderTool, SixtyFourBitSamplesMatchTheSingleOnesToFloatPrecision)
{
  const std::vector<std::string> common = {"--program", "Monaural beats", "--seconds", "0.25", "--rate", "48000"};
  std::vector<std::string> args = {"-o", kOutput, "--sample-size", "32"};
  args.insert(args.end(), common.begin(), common.end());
  ASSERT_EQ(Run(args), 0) << Errors();
  const std::vector<double> narrow = Samples(ReadFile(kOutput));
  args = {"-o", kOutput, "--sample-size", "64"};
  args.insert(args.end(), common.begin(), common.end());
  ASSERT_EQ(Run(args), 0) << Errors();
  const std::vector<unsigned char> wav = ReadFile(kOutput);
  EXPECT_EQ(U16(wav, 34), 64);
  EXPECT_EQ(U16(wav, 32), 16);
  const std::vector<double> wide = Samples(wav);
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
  EXPECT_EQ(Samples(ReadFile(kOutput)), Samples(ReadFile(kSecond)));
  std::remove(kState);
  std::remove(kSecond);
}

TEST_F(RenderTool, MissingBundleFailsWithStatus1)
{
  EXPECT_EQ(Run({"-o", kOutput, "--plugin", "no-such-folder/Nothing.vst3", "--seconds", "0.1"}), 1);
  EXPECT_NE(Errors().find("Nothing"), std::string::npos);
  EXPECT_TRUE(ReadFile(kOutput).empty());
}
