// The Windows player under Wine with sound: DirectSound through Wine's ALSA
// driver into ALSA's file plug-in (the .asoundrc in the HOME this test runs
// with, writing into this test's folder), so the Windows audio path runs with
// no sound card. Wine's own mixing drops and repeats buffers on a busy
// machine, so the sound is checked only for being there, and a file or noise
// played under the tone for its energy standing well above the floor where
// nothing else sounds; the pitch is checked on Linux. The settings go to
// %APPDATA%\Thrumwell and come back on the next start.

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

std::string Read(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The largest magnitude of the 32-bit integer samples after the WAV header.
double PeakOfWav(const std::string& bytes)
{
  const std::size_t data = bytes.find("data");
  if (data == std::string::npos)
    return -1.0;
  double peak = 0.0;
  for (std::size_t at = data + 8; at + 4 <= bytes.size(); at += 4)
  {
    std::int32_t sample;
    std::memcpy(&sample, bytes.data() + at, 4);
    peak = std::max(peak, std::abs(static_cast<double>(sample)) / 2147483648.0);
  }
  return peak;
}

std::uint32_t U32(const std::string& bytes, std::size_t at)
{
  std::uint32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

std::uint16_t U16(const std::string& bytes, std::size_t at)
{
  std::uint16_t value;
  std::memcpy(&value, bytes.data() + at, 2);
  return value;
}

// The first channel of what ALSA's file plug-in wrote (32-bit integers, by
// the .asoundrc), in units of full scale, and its rate.
struct Capture
{
  double rate = 0.0;
  std::vector<double> left;
};

Capture ReadCapture(const std::string& bytes)
{
  Capture capture;
  const std::size_t fmt = bytes.find("fmt ");
  const std::size_t data = bytes.find("data");
  if (fmt == std::string::npos || data == std::string::npos || fmt + 24 > bytes.size() || U16(bytes, fmt + 22) != 32)
    return capture;
  capture.rate = U32(bytes, fmt + 12);
  const std::size_t frameBytes = 4u * U16(bytes, fmt + 10);
  for (std::size_t at = data + 8; frameBytes > 0 && at + frameBytes <= bytes.size(); at += frameBytes)
    capture.left.push_back(static_cast<std::int32_t>(U32(bytes, at)) / 2147483648.0);
  return capture;
}

// A mono WAV file of 16-bit PCM: a sine of `hz` at `level` of full scale.
void WriteToneWav(const char* path, double hz, double level, int rate, int frames)
{
  std::string bytes = "RIFF....WAVEfmt ";
  auto put = [&](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
      bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(static_cast<std::uint32_t>(rate), 4);
  put(static_cast<std::uint32_t>(rate) * 2, 4);
  put(2, 2);
  put(16, 2);
  bytes += "data";
  put(static_cast<std::uint32_t>(frames) * 2, 4);
  const double pi = std::acos(-1.0);
  for (int i = 0; i < frames; ++i)
    put(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(level * 32767.0 * std::sin(2.0 * pi * hz * i / rate)))),
        2);
  const std::uint32_t riffSize = static_cast<std::uint32_t>(bytes.size() - 8);
  std::memcpy(&bytes[4], &riffSize, 4);
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The median over the 4096-sample windows of the capture that sound of
// measure(window start, size).
template <class Measure>
double MedianOverWindows(const Capture& capture, Measure measure)
{
  constexpr std::size_t kWindow = 4096;
  std::vector<double> values;
  for (std::size_t begin = 0; begin + kWindow <= capture.left.size(); begin += kWindow)
  {
    double energy = 0.0;
    for (std::size_t i = begin; i < begin + kWindow; ++i)
      energy += capture.left[i] * capture.left[i];
    if (energy / kWindow > 1e-6)
      values.push_back(measure(begin, kWindow));
  }
  if (values.empty())
    return -1.0;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
  return values[values.size() / 2];
}

// The power at hz of the windows (Goertzel, Hann window), their median.
double PowerAt(const Capture& capture, double hz)
{
  const double pi = std::acos(-1.0);
  const double coefficient = 2.0 * std::cos(2.0 * pi * hz / capture.rate);
  return MedianOverWindows(capture, [&](std::size_t begin, std::size_t size) {
    double s1 = 0.0, s2 = 0.0;
    for (std::size_t i = 0; i < size; ++i)
    {
      const double hann = 0.5 - 0.5 * std::cos(2.0 * pi * static_cast<double>(i) / static_cast<double>(size));
      const double s0 = capture.left[begin + i] * hann + coefficient * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  });
}

// The median size of the second difference x[n] - 2 x[n-1] + x[n-2], the
// windows' median: a sine of frequency f and peak a keeps it below
// a (2 pi f / rate)^2, noise raises it in every sample. A drop-out or a
// repeated buffer makes a step in a few samples only, which the medians pass
// over.
double Roughness(const Capture& capture)
{
  return MedianOverWindows(capture, [&](std::size_t begin, std::size_t size) {
    std::vector<double> steps;
    for (std::size_t i = begin + 2; i < begin + size; ++i)
      steps.push_back(std::fabs(capture.left[i] - 2.0 * capture.left[i - 1] + capture.left[i - 2]));
    std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2), steps.end());
    return steps[steps.size() / 2];
  });
}

// The player, where Wine offers a DirectSound device; the test skips otherwise.
class PlayerUnderWine : public ::testing::Test
{
protected:
  void SetUp() override
  {
    // Copied: setting the environment later may move what getenv points into.
    const char* playerVariable = std::getenv("THRUMWELL_PLAYER");
    ASSERT_TRUE(playerVariable) << "THRUMWELL_PLAYER names the player";
    player = playerVariable;
    ASSERT_EQ(RunProgram(player, {"--list-devices", "--api", "ds"}, "wine-devices.out", "wine-devices.err"), 0);
    if (Read("wine-devices.out").find("\t") == std::string::npos)
      GTEST_SKIP() << "Wine offers no DirectSound device here (no ALSA in Wine?)\n" << Read("wine-devices.out");
  }

  std::string player;
};

}  // namespace

TEST_F(PlayerUnderWine, PlaysThroughDirectSoundAndRemembersTheDevice)
{
  const char* wav = "alsa-out.wav";
  _putenv_s("APPDATA", "player-wine-audio-test-config");
  std::remove("player-wine-audio-test-config/Thrumwell/device.txt");
  std::remove("player-wine-audio-test-config/Thrumwell/state.bin");
  std::remove(wav);

  ASSERT_EQ(RunProgram(player,
                       {"--no-window", "--api", "ds", "--rate", "48000", "--buffer", "1024", "--program",
                        "Higher frequencies", "--seconds", "1"},
                       "wine-audio.out", "wine-audio.err"),
            0)
    << Read("wine-audio.err");
  const double peak = PeakOfWav(Read(wav));
  EXPECT_GT(peak, 0.2) << "nothing reached the sound card";
  EXPECT_LT(peak, 1.0);
  const std::string device = Read("player-wine-audio-test-config/Thrumwell/device.txt");
  EXPECT_NE(device.find("api=ds"), std::string::npos) << device;
  EXPECT_NE(device.find("rate=48000"), std::string::npos) << device;

  // The next start plays the remembered device: DirectSound, not the first
  // system of the build.
  ASSERT_EQ(RunProgram(player, {"--no-window", "--seconds", "0.2"}, "wine-audio.out", "wine-audio.err"), 0)
    << Read("wine-audio.err");
  EXPECT_NE(Read("wine-audio.err").find("(ds, 48000 Hz"), std::string::npos) << Read("wine-audio.err");
  std::remove("wine-audio.out");
  std::remove("wine-audio.err");
}

#ifdef THRUMWELL_HAVE_INPUT_FILE
// An input file and a noise bed reach the sound card under the tone
// ("Higher frequencies": sines of 400 and 404 Hz). The file is a steady
// 3 kHz at a quarter of full scale; the noise white at -12 dB. Each is judged
// by medians over the captured windows, so that the buffers Wine drops or
// repeats on a busy machine do not decide.
TEST_F(PlayerUnderWine, PlaysAnInputFileAndNoiseUnderTheTone)
{
  const char* wav = "alsa-out.wav";
  _putenv_s("APPDATA", "player-wine-input-test-config");
  WriteToneWav("tone-3k.wav", 3000.0, 0.25, 48000, 48000);
  const std::vector<std::string> common = {"--no-window", "--api", "ds", "--rate", "48000", "--buffer", "1024",
                                           "--program", "Higher frequencies", "--seconds", "2"};
  auto play = [&](std::vector<std::string> extra) {
    std::remove(wav);
    extra.insert(extra.begin(), common.begin(), common.end());
    EXPECT_EQ(RunProgram(player, extra, "wine-input.out", "wine-input.err"), 0) << Read("wine-input.err");
    return ReadCapture(Read(wav));
  };

  // The file's frequency stands far above those where nothing plays; and no
  // noise was asked for: the sound is as smooth as its 3 kHz makes it
  // (0.25 (2 pi 3000 / 48000)^2 = 0.038 at the most).
  const Capture withFile = play({"--input", "tone-3k.wav"});
  ASSERT_GT(withFile.rate, 0.0) << "nothing reached the sound card\n" << Read("wine-input.err");
  const double file = PowerAt(withFile, 3000.0);
  for (double hz : {1700.0, 5100.0, 9300.0})
    EXPECT_GT(file, 300.0 * PowerAt(withFile, hz)) << "the file's 3 kHz does not stand out at " << hz << " Hz";
  EXPECT_LT(Roughness(withFile), 0.05);

  // White noise at -12 dB (a quarter of full scale RMS) makes the median
  // second difference about 0.4.
  const Capture withNoise = play({"--noise", "white@-12"});
  ASSERT_GT(withNoise.rate, 0.0) << "nothing reached the sound card\n" << Read("wine-input.err");
  EXPECT_GT(Roughness(withNoise), 0.15) << "no noise under the tone";
  std::remove("tone-3k.wav");
  std::remove("wine-input.out");
  std::remove("wine-input.err");
}
#endif
