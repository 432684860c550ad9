// Where a host's threads meet the instrument: an audio thread inside process,
// with automation, program changes and notes, while the user-interface thread
// uses the editor, sets parameters, changes programs, saves and restores the
// state, reads the readout and opens and closes the editor view. Written for
// the ThreadSanitizer build, which fails on any data race; in other builds it
// still checks that nothing breaks.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <random>
#include <thread>

#include "controls/IControl.h"
#include "graphics/IGraphicsPlatform.h"
#include "host/HostEditorView.h"
#include "host/HostMemoryStream.h"
#include "host/HostWindow.h"
#include "synth/CLS_THRUMWELL.h"
#include "synth/GRAPH.h"
#include "synth/ThrumwellParameters.h"
#include "tools/snapshot/EditorSession.h"
#include "vst3/sdk/IPlugView.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

constexpr ParamID kPresets = 0x70727374;  // 'prst'
constexpr int kReadoutControl = 1;

// Processes blocks on its own thread until stopped: random points for every
// parameter, programs through the program-change parameter, and notes.
class AudioThread
{
public:
  explicit AudioThread(EditorSession& session) : session(session)
  {
    thread = std::thread([this] { Run(); });
  }
  ~AudioThread() { Stop(); }
  void Stop()
  {
    stop = true;
    if (thread.joinable())
      thread.join();
  }
  int Blocks() const { return blocks.load(); }
  bool Failed() const { return failed.load(); }

private:
  void Run()
  {
    std::mt19937 random(5);
    ThrumwellHost::HostParameterChanges changes;
    ThrumwellHost::HostEventList events;
    while (!stop.load())
    {
      changes.Clear();
      events.Clear();
      for (int offset = 0; offset < EditorSession::kBlock; offset += 64)
        if (random() % 3 == 0)
          changes.Add(static_cast<ParamID>(random() % kThrumwellParamCount), offset, (random() % 101) / 100.0);
      if (random() % 20 == 0)
        changes.Add(kPresets, 0, (random() % 130) / 129.0);
      if (random() % 4 == 0)
        events.NoteOn(static_cast<int>(random() % EditorSession::kBlock), static_cast<int16>(40 + random() % 40), 0.9f);
      if (!session.Host().Process(EditorSession::kBlock, &changes, &events))
        failed = true;
      blocks.fetch_add(1);
    }
  }

  EditorSession& session;
  std::thread thread;
  std::atomic<bool> stop{false};
  std::atomic<bool> failed{false};
  std::atomic<int> blocks{0};
};

// The middle of a control's bounds.
void Centre(IGraphicsPlatform& editor, int control, int& x, int& y)
{
  const IBounds& b = editor.GetControl(control)->Bounds();
  x = (b.left + b.right) / 2;
  y = (b.top + b.bottom) / 2;
}

using Action = std::function<void(EditorSession&, std::mt19937&)>;

TEST(ThreadsMeet, UserInterfaceWorkWhileTheAudioThreadProcesses)
{
  const IPointerMods left{true};
  const struct
  {
    const char* what;
    Action action;
    int rounds = 150;  // enough for the threads to overlap many times
  } table[] = {
    {"editor gestures: drag, wheel and double-click on every control",
     [&](EditorSession& s, std::mt19937& random) {
       IGraphicsPlatform& editor = s.Editor();
       const int control = 1 + static_cast<int>(random() % (editor.NControls() - 1));
       int x, y;
       Centre(editor, control, x, y);
       editor.PointerDown(x, y, left);
       editor.PointerDrag(x, y - 10, left);
       editor.PointerDrag(x, y + 15, left);
       editor.PointerUp(x, y + 15, left);
       editor.PointerWheel(x, y, IPointerMods{}, random() % 2 ? 1 : -1);
       if (random() % 8 == 0)
         editor.PointerDoubleClick(x, y, left);
       s.Tick();
     }},
    {"host parameter sets and their texts",
     [](EditorSession& s, std::mt19937& random) {
       IEditController* controller = s.Host().Controller();
       const ParamID id = static_cast<ParamID>(random() % kThrumwellParamCount);
       controller->setParamNormalized(id, (random() % 101) / 100.0);
       String128 text = {};
       controller->getParamStringByValue(id, controller->getParamNormalized(id), text);
       s.Tick();
     }},
    {"program changes from the host's thread",
     [](EditorSession& s, std::mt19937& random) {
       s.Host().Controller()->setParamNormalized(kPresets, (random() % 130) / 129.0);
       s.Host().Controller()->getParamNormalized(kPresets);
       s.Tick();
     }},
    {"state saved and restored",
     [](EditorSession& s, std::mt19937&) {
       ThrumwellHost::HostMemoryStream out;
       ASSERT_EQ(s.Host().Component()->getState(&out), kResultOk);
       ThrumwellHost::HostMemoryStream in(out.Bytes());
       ASSERT_EQ(s.Host().Component()->setState(&in), kResultOk);
       s.Tick();
     }},
    {"readout painted and read",
     [](EditorSession& s, std::mt19937&) {
       auto* readout = static_cast<GRAPH*>(s.Editor().GetControl(kReadoutControl));
       char text[GRAPH::kNoteTextSize];
       readout->NoteText(text);
       s.Editor().RefreshAll();
       s.Tick();
     }},
    {"editor view created, sized and released",
     [](EditorSession& s, std::mt19937&) {
       IPlugView* view = s.Host().Controller()->createView(ViewType::kEditor);
       ASSERT_NE(view, nullptr);
       ViewRect size;
       view->getSize(&size);
       view->release();
       s.Tick();
     }},
    // In a real window where there is a display: its timer paints and the
    // pointer drags a knob while the audio thread runs.
    {"editor opened in a window, used and closed",
     [](EditorSession& s, std::mt19937& random) {
       std::unique_ptr<ThrumwellHost::HostWindow> window = ThrumwellHost::HostWindow::Create(400, 400, "threads");
       if (!window)
         return;
       ThrumwellHost::HostEditorView view(s.Host(), *window);
       ASSERT_TRUE(view.Open());
       int x, y;
       Centre(s.Editor(), 1 + static_cast<int>(random() % (s.Editor().NControls() - 1)), x, y);
       window->Press(x, y);
       window->MoveTo(x, y - 20);
       window->Release(x, y - 20);
       window->Pump(30);
       ASSERT_TRUE(view.Close());
     },
     10},
  };
  for (const auto& row : table)
  {
    SCOPED_TRACE(row.what);
    EditorSession session;
    ASSERT_TRUE(session.Connected());
    std::mt19937 random(11);
    AudioThread audio(session);
    for (int round = 0; round < row.rounds || audio.Blocks() < 50; ++round)
      row.action(session, random);
    audio.Stop();
    std::string violations;
    for (const std::string& line : session.Host().Violations())
      violations += line + "\n";
    EXPECT_FALSE(audio.Failed()) << violations;
    EXPECT_GT(audio.Blocks(), 0);
  }
}

}  // namespace
