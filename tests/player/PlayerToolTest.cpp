// thrumwell as a user runs it, on any platform and without a sound card: the
// help and version texts, and refusals of a bad command line or a device the
// build cannot play, with their exit statuses and messages.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/tools/RunProgram.h"

namespace {

const char* kOut = "player-tool-test.out";
const char* kErr = "player-tool-test.err";

std::string Text(const char* path)
{
  std::ifstream in(path, std::ios::binary);
  std::string text;
  for (char c : std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()))
    if (c != '\r')
      text += c;
  return text;
}

class PlayerTool : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const char* path = std::getenv("THRUMWELL_PLAYER");
    ASSERT_NE(path, nullptr) << "THRUMWELL_PLAYER names the player";
    player = path;
    // Settings of the person running the tests stay out of it.
#ifdef _WIN32
    _putenv_s("APPDATA", "player-tool-test-config");
#else
    setenv("XDG_CONFIG_HOME", "/nonexistent/player-tool-test", 1);
#endif
  }
  void TearDown() override
  {
    std::remove(kOut);
    std::remove(kErr);
  }
  int Run(const std::vector<std::string>& args) { return RunProgram(player, args, kOut, kErr); }

  std::string player;
};

}  // namespace

TEST_F(PlayerTool, PrintsHelpAndVersion)
{
  ASSERT_EQ(Run({"--help"}), 0);
  for (const char* option : {"--no-window", "--seconds", "--program", "--param", "--state-in", "--state-out",
                             "--plugin", "--class", "--api", "--device", "--rate", "--buffer", "--midi", "--list-devices",
                             "--noise"})
    EXPECT_NE(Text(kOut).find(option), std::string::npos) << option;
  ASSERT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(Text(kOut).rfind("thrumwell 2.", 0), 0u) << Text(kOut);
}

TEST_F(PlayerTool, ListsDevices)
{
  ASSERT_EQ(Run({"--list-devices"}), 0) << Text(kErr);
  EXPECT_NE(Text(kOut).find("MIDI inputs"), std::string::npos) << Text(kOut);
}

// Exit 2 and a line naming the fault, before any sound is made.
TEST_F(PlayerTool, RefusesABadCommandLine)
{
  struct Case
  {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
    {{"--no-such-option"}, "--no-such-option"},
    {{"--api", "beos"}, "--api"},
    {{"--rate", "100"}, "--rate"},
    {{"--rate", "fast"}, "--rate"},
    {{"--buffer", "0"}, "--buffer"},
    {{"--seconds", "-1"}, "--seconds"},
    {{"--param", "Volume"}, "is not NAME=VALUE"},
    {{"--state-in", "no-such-state-file.bin"}, "no-such-state-file.bin"},
    {{"--device"}, "--device"},
    {{"--noise", "grey"}, "--noise \"grey\" is not white, pink or brown"},
    {{"--input-gain", "-6"}, "--input-loop and --input-gain go with --input"},
    {{"--no-window", "--session", "player-tool-test-late.session"},
     "player-tool-test-late.session:1:1: expected 00:00 for the noise line"},
#ifdef THRUMWELL_HAVE_INPUT_FILE
    {{"--no-window", "--input", "no-such-song.flac"}, "cannot open \"no-such-song.flac\""},
    {{"--no-window", "--session", "player-tool-test-song.session"},
     "player-tool-test-song.session:1:13: cannot open \"no-such-song.flac\""},
#endif
  };
  std::ofstream("player-tool-test-late.session") << "00:05 noise pink\n";
  std::ofstream("player-tool-test-song.session") << "00:00 input no-such-song.flac\n";
  for (const Case& c : cases)
  {
    EXPECT_EQ(Run(c.args), 2) << c.args.back();
    EXPECT_NE((Text(kErr) + Text(kOut)).find(c.message), std::string::npos) << c.args.back() << ": " << Text(kErr);
  }
  std::remove("player-tool-test-late.session");
  std::remove("player-tool-test-song.session");
}

// An audio system this build lacks is a bad choice; a device that is not
// there is one too, unless the system has no device at all (then it fails).
TEST_F(PlayerTool, RefusesDevicesItCannotPlay)
{
#ifdef _WIN32
  const char* missing = "jack";
#else
  const char* missing = "wasapi";
#endif
  EXPECT_EQ(Run({"--no-window", "--api", missing}), 2);
  EXPECT_NE(Text(kErr).find(std::string("the audio system \"") + missing + "\" is not available in this build"),
            std::string::npos)
    << Text(kErr);

  ASSERT_EQ(Run({"--list-devices"}), 0);
  const bool anyDevice = Text(kOut).find("\t") != std::string::npos &&
                         Text(kOut).find("\t") < Text(kOut).find("MIDI inputs");
  const int status = Run({"--no-window", "--device", "no such card", "--seconds", "0"});
  if (anyDevice)
  {
    EXPECT_EQ(status, 2) << Text(kErr);
    EXPECT_NE(Text(kErr).find("no output device \"no such card\""), std::string::npos) << Text(kErr);
  }
  else
  {
    EXPECT_EQ(status, 1) << Text(kErr);
    EXPECT_NE(Text(kErr).find("has an output device"), std::string::npos) << Text(kErr);
  }
}
