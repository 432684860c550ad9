// Where a host's threads meet, at strictness 10: an audio thread processing
// while a second thread sets parameters, reads their texts and state, and
// opens and closes the editor, as a host's user-interface thread does; and no
// memory allocation inside process after the first block.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <thread>

#include "host/HostEditorView.h"
#include "host/HostEventList.h"
#include "host/HostParameterList.h"
#include "host/HostWindow.h"
#include "tools/validate/checks/AudioAllocations.h"
#include "tools/validate/checks/CheckSupport.h"
#include "vst3/sdk/IPlugView.h"

namespace HostTest
{
namespace {

[[maybe_unused]] const bool kRegistered = RegisterGroup("AudioThread", 10, false);

void CountInsideProcess(bool entering) { AudioAllocations::Watch(entering); }

// Processes blocks of random automation, programs and notes on its own
// thread until stopped, counting the plug-in's allocations inside process
// after the first block.
class AudioLoop
{
public:
  AudioLoop(HostPlugin& plugin, std::uint32_t seed) : plugin(plugin), random(seed)
  {
    HostParameterList params(plugin.Controller(), plugin.Units());
    for (int i = 0; i < params.Count(); ++i)
      if ((params.At(i).info.flags & ParameterInfo::kCanAutomate) &&
          !(params.At(i).info.flags & ParameterInfo::kIsReadOnly))
        ids.push_back(params.At(i).info.id);
    const int program = params.FindProgramChange();
    if (program >= 0)
    {
      programId = params.At(program).info.id;
      programSteps = std::max(1, static_cast<int>(params.At(program).info.stepCount));
    }
    changes.Clear();
    events.Clear();
  }

  void Run(int minimumBlocks)
  {
    AudioAllocations::Reset();
    plugin.SetProcessHook(CountInsideProcess);
    thread = std::thread([this, minimumBlocks] {
      for (int block = 0; block < minimumBlocks || !stop.load(); ++block)
      {
        changes.Clear();
        events.Clear();
        for (int offset = 0; offset < 256; offset += 32)
          if (!ids.empty() && random() % 2)
            changes.Add(ids[random() % ids.size()], offset + static_cast<int>(random() % 32), (random() % 1001) / 1000.0);
        if (programId != kNoParamId && random() % 16 == 0)
          changes.Add(programId, 0, static_cast<double>(random() % (programSteps + 1)) / programSteps);
        if (random() % 4 == 0)
          events.NoteOn(static_cast<int>(random() % 256), static_cast<int16>(40 + random() % 40), 0.8f);
        if (!plugin.Process(256, &changes, &events))
          ++failures;
        if (block == 0)
          AudioAllocations::Reset();
        blocks.store(block + 1);
      }
    });
  }
  void Stop()
  {
    stop = true;
    if (thread.joinable())
      thread.join();
    plugin.SetProcessHook(nullptr);
  }
  int Blocks() const { return blocks.load(); }
  int Failures() const { return failures; }

private:
  HostPlugin& plugin;
  std::mt19937 random;
  std::vector<ParamID> ids;
  ParamID programId = kNoParamId;
  int programSteps = 1;
  HostParameterChanges changes;
  HostEventList events;
  std::thread thread;
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  int failures = 0;
};

class AudioThread : public PluginTest
{
protected:
  void ExpectNoAllocation()
  {
    if (!AudioAllocations::SeesModuleAllocations())
      std::printf("allocation count not available: the module has its own allocator on this platform\n");
    else
      EXPECT_EQ(AudioAllocations::Count(), 0) << "allocations inside process after the first block";
  }
};

TEST_F(AudioThread, ProcessAllocatesNothingAfterTheFirstBlock)
{
  Start(kSample32, 256);
  AudioLoop audio(*plugin, Seed());
  audio.Run(2000);
  audio.Stop();
  EXPECT_EQ(audio.Failures(), 0);
  ExpectNoAllocation();
}

TEST_F(AudioThread, SecondThreadSetsParametersAndReadsTextsAndState)
{
  Start(kSample32, 256);
  const HostParameterList params(plugin->Controller(), plugin->Units());
  std::mt19937 random(Seed() + 1);
  AudioLoop audio(*plugin, Seed());
  audio.Run(1000);
  IEditController* controller = plugin->Controller();
  for (int round = 0; round < 4000 || audio.Blocks() < 1000; ++round)
  {
    if (params.Count() == 0)
      break;
    const ParameterInfo& info = params.At(static_cast<int>(random() % params.Count())).info;
    const double value = (random() % 1001) / 1000.0;
    if (!(info.flags & ParameterInfo::kIsReadOnly))
      controller->setParamNormalized(info.id, value);
    String128 text = {};
    controller->getParamStringByValue(info.id, controller->getParamNormalized(info.id), text);
    if (round % 64 == 0)
    {
      std::vector<std::uint8_t> state;
      plugin->GetState(state);
    }
  }
  audio.Stop();
  EXPECT_EQ(audio.Failures(), 0);
  ExpectNoAllocation();
}

// Where a window can be made (a display on Linux, always on Windows) the view
// is attached to it and removed, as a host opens and closes the editor;
// elsewhere it is created, sized and released.
TEST_F(AudioThread, EditorOpenedAndClosedWhileAudioRuns)
{
  // An editor is optional.
  if (IPlugView* probe = plugin->Controller()->createView(ViewType::kEditor))
    probe->release();
  else
    GTEST_SKIP() << "the plug-in has no editor";
  Start(kSample32, 256);
  std::unique_ptr<HostWindow> window = HostWindow::Create(400, 400, "thrumwell-validate");
  AudioLoop audio(*plugin, Seed());
  audio.Run(200);
  for (int round = 0; round < (window ? 6 : 20); ++round)
  {
    if (window)
    {
      HostEditorView editor(*plugin, *window);
      if (!editor.Open())
        break;
      window->Pump(60);  // the editor's timer paints while audio runs
      EXPECT_TRUE(editor.Close());
      continue;
    }
    IPlugView* view = plugin->Controller()->createView(ViewType::kEditor);
    ASSERT_NE(view, nullptr);
    HostPlugFrame frame(nullptr);
    EXPECT_EQ(view->setFrame(&frame), kResultOk);
    ViewRect size;
    EXPECT_EQ(view->getSize(&size), kResultOk);
    EXPECT_GT(size.getWidth(), 0);
    EXPECT_GT(size.getHeight(), 0);
    EXPECT_EQ(view->setFrame(nullptr), kResultOk);
    EXPECT_EQ(view->release(), 0u) << "the view keeps references after the host released it";
    EXPECT_EQ(frame.References(), 0) << "the view keeps the frame";
    std::this_thread::yield();
  }
  audio.Stop();
  EXPECT_EQ(audio.Failures(), 0);
  ExpectNoAllocation();
  if (window)
    for (const std::string& complaint : window->Complaints())
      ADD_FAILURE() << "window: " << complaint;
}

}  // namespace
}  // namespace HostTest
