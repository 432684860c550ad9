#pragma once
// The player's tests on a JACK server of their own: one dummy server for the
// suite, a recorder per test, the player started with its configuration in
// the test's own folders.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/player/JackTestSupport.h"

namespace PlayerTest
{

// Volume 100 as the instrument's volume law gives it.
constexpr double kGain100 = 0.999;

class PlayerOnJack : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    if (HaveJackd())
      server = new JackServer;
  }
  static void TearDownTestSuite()
  {
    delete server;
    server = nullptr;
  }

  void SetUp() override
  {
    if (!HaveJackd())
      GTEST_SKIP() << "jackd is not installed (Debian package jackd2)";
    ASSERT_TRUE(server && server->Running()) << "the JACK dummy server did not start";
    const char* path = std::getenv("THRUMWELL_PLAYER");
    ASSERT_NE(path, nullptr) << "THRUMWELL_PLAYER names the player";
    player = path;
    home = std::filesystem::temp_directory_path() /
           ("thrumwell-player-test-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    errors = (home / "stderr.txt").string();
    recorder = std::make_unique<JackRecorder>(server->Name());
    ASSERT_TRUE(recorder->Ready()) << "the recording client could not join the server";
  }

  void TearDown() override
  {
    recorder.reset();
    std::filesystem::remove_all(home);
  }

  // The player, with its configuration in the test's own folders and its
  // sound going to the recorder unless the arguments name a device.
  std::unique_ptr<ChildProcess> Start(std::vector<std::string> args, bool toRecorder = true,
                                      const std::string& serverName = "", bool withInput = false)
  {
    if (!windowed)
      args.insert(args.begin(), "--no-window");
    if (toRecorder)
      args.insert(args.end(), {"--api", "jack", "--device", "recorder"});
    return std::make_unique<ChildProcess>(
      player, args,
      std::vector<std::string>{"JACK_DEFAULT_SERVER=" + (serverName.empty() ? server->Name() : serverName),
                               "HOME=" + home.string(), "XDG_CONFIG_HOME=" + (home / "config").string()},
      errors, withInput);
  }
  int Run(std::vector<std::string> args, bool toRecorder = true, const std::string& serverName = "")
  {
    return Start(std::move(args), toRecorder, serverName)->Wait(30.0);
  }
  std::string Errors() const { return ReadText(errors); }

  static inline JackServer* server = nullptr;
  std::string player;
  std::filesystem::path home;
  std::string errors;
  std::unique_ptr<JackRecorder> recorder;
  // Whether Start opens the player's window (else --no-window).
  bool windowed = false;
};


}  // namespace PlayerTest
