// thrumwell-render interrupted while it writes, as a user interrupts it
// (Linux: SIGINT, SIGTERM, SIGHUP; Windows: Ctrl+C in its console): it ends
// as the interrupt would have ended it, says so in one line, and leaves its
// folder as it found it: no temporary file, and a file of the output's name
// from before untouched.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/tools/RunProgram.h"
#include "tests/tools/StagedFolder.h"

namespace fs = std::filesystem;

TEST(RenderInterrupt, RemovesItsTemporaryFileAndEndsByTheInterrupt)
{
  const char* render = std::getenv("THRUMWELL_RENDER");
  ASSERT_TRUE(render) << "THRUMWELL_RENDER names the renderer";
  // An hour: far longer than any test waits, in a format written as it goes
  // (WAV) and one encoded block by block (FLAC); with a file of the output's
  // name there before and without.
  struct Case
  {
    const char* output;
    bool fileThere;
  };
  const Case cases[] = {{"long.wav", true}, {"long.wav", false}, {"long.flac", true}};
  const fs::path errors = fs::absolute("render-interrupt.err");
  int run = 0;
  for (int interrupt : StartedProgram::Interrupts())
    for (const Case& test : cases)
    {
      SCOPED_TRACE(std::string(test.output) + (test.fileThere ? " over a file" : "") + ", interrupt "
                   + std::to_string(interrupt));
      // A folder for each run: on Windows the console a run had may keep
      // its folder a while after it ended.
      const fs::path folder = fs::absolute("interrupted-" + std::to_string(++run));
      fs::create_directories(folder);
      std::ofstream(folder / "other.txt") << "unrelated";
      const std::string before = "a file of this name from before";
      if (test.fileThere)
        std::ofstream(folder / test.output) << before;
      const std::set<std::string> listed = Listing(folder);

      StartedProgram program(render, {"--seconds", "3600", "--output", test.output}, folder.u8string(),
                             errors.u8string());
      ASSERT_TRUE(program.Started());
      // The interrupt comes once audio is being written, not while the
      // plug-in loads.
      ASSERT_TRUE(WaitUntilWriting(folder, 64 * 1024)) << "the render never began writing\n" << ReadText(errors);
      program.Interrupt(interrupt);
      std::string how;
      EXPECT_TRUE(program.EndedByInterrupt(interrupt, 30.0, how)) << how << "\n" << ReadText(errors);
      EXPECT_EQ(ReadText(errors),
                std::string("thrumwell-render: interrupted; nothing was written to \"") + test.output + "\"\n");
      EXPECT_EQ(Listing(folder), listed);
      if (test.fileThere)
      {
        EXPECT_EQ(ReadText(folder / test.output), before);
      }
    }
}
