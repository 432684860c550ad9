// The Windows player under Wine with sound: DirectSound through Wine's ALSA
// driver into ALSA's file plug-in (the .asoundrc in the HOME this test runs
// with, writing into this test's folder), so the Windows audio path runs with
// no sound card. Wine's own mixing drops and repeats buffers on a busy
// machine, so the sound is checked only for being there; the pitch is checked
// on Linux. The settings go to %APPDATA%\Thrumwell and come back on the next
// start.

#include <gtest/gtest.h>

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

}  // namespace

TEST(PlayerUnderWine, PlaysThroughDirectSoundAndRemembersTheDevice)
{
  // Copied: setting the environment below may move what getenv points into.
  const char* playerVariable = std::getenv("THRUMWELL_PLAYER");
  ASSERT_TRUE(playerVariable) << "THRUMWELL_PLAYER names the player";
  const std::string player = playerVariable;
  const char* wav = "alsa-out.wav";
  _putenv_s("APPDATA", "player-wine-audio-test-config");
  std::remove("player-wine-audio-test-config/Thrumwell/device.txt");
  std::remove("player-wine-audio-test-config/Thrumwell/state.bin");
  std::remove(wav);

  ASSERT_EQ(RunProgram(player, {"--list-devices", "--api", "ds"}, "wine-audio.out", "wine-audio.err"), 0);
  if (Read("wine-audio.out").find("\t") == std::string::npos)
    GTEST_SKIP() << "Wine offers no DirectSound device here (no ALSA in Wine?)\n" << Read("wine-audio.out");

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
