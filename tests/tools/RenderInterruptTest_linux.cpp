// thrumwell-render started with SIGHUP ignored, as under nohup: a hang-up
// does not stop it; Ctrl+C after it does, by its own signal.

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/tools/RunProgram.h"
#include "tests/tools/StagedFolder.h"

namespace fs = std::filesystem;

TEST(RenderInterrupt, SignalIgnoredByTheStarterStaysIgnored)
{
  const char* render = std::getenv("THRUMWELL_RENDER");
  ASSERT_TRUE(render) << "THRUMWELL_RENDER names the renderer";
  const fs::path errors = fs::absolute("render-nohup.err");
  const fs::path folder = fs::absolute("hang-up-ignored");
  fs::remove_all(folder);
  fs::create_directories(folder);
  struct sigaction ignore{};
  struct sigaction previous{};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGHUP, &ignore, &previous);
  StartedProgram program(render, {"--seconds", "3600", "--output", "long.wav"}, folder.string(), errors.string());
  sigaction(SIGHUP, &previous, nullptr);
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(WaitUntilWriting(folder, 0)) << ReadText(errors);
  program.Interrupt(SIGHUP);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  program.Interrupt(SIGINT);
  std::string how;
  EXPECT_TRUE(program.EndedByInterrupt(SIGINT, 30.0, how)) << how << "\n" << ReadText(errors);
  EXPECT_TRUE(Listing(folder).empty());
  fs::remove_all(folder);
}
