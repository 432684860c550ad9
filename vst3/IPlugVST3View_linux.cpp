// The editor window of a view on Linux. The window has no loop of its own:
// the host's run loop (IRunLoop, asked of the frame, or the one the host gave
// the factory) calls us when the window's X connection has input and at the
// editor's frame rate, on the host's user-interface thread. Both are
// registered when the window opens and unregistered when it closes; a run
// loop that refuses either leaves the window closed.
#include <atomic>

#include "graphics/IGraphicsLinux.h"
#include "vst3/IPlugVST3View.h"
#include "vst3/sdk/CPluginFactory.h"
#include "vst3/sdk/IPlugView.h"
#include "vst3/sdk/IPtr.h"

using namespace Steinberg;
using namespace Steinberg::Linux;

// The run loop's handler: one object answering both callbacks. The run loop
// may keep references to it; once stopped it no longer reaches the editor.
struct IPlugVST3View::RunLoopLink final : public IEventHandler, public ITimerHandler
{
  RunLoopLink(IGraphicsLinux& editor, IRunLoop* loop) : editor(&editor), loop(loop) {}

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    if (!obj)
      return kInvalidArgument;
    if (iidEqual(iid, FUnknown::iid) || iidEqual(iid, IEventHandler::iid))
      *obj = static_cast<IEventHandler*>(this);
    else if (iidEqual(iid, ITimerHandler::iid))
      *obj = static_cast<ITimerHandler*>(this);
    else
    {
      *obj = nullptr;
      return kNoInterface;
    }
    addRef();
    return kResultOk;
  }
  uint32 PLUGIN_API addRef() override { return ++references; }
  uint32 PLUGIN_API release() override
  {
    const uint32 left = --references;
    if (left == 0)
      delete this;
    return left;
  }

  void PLUGIN_API onFDIsSet(FileDescriptor) override
  {
    if (!editor)
      return;
    editor->HandleEvents();
    StopIfLost();
  }
  void PLUGIN_API onTimer() override
  {
    if (!editor)
      return;
    editor->OnTimer();
    StopIfLost();
  }

  // Registers the connection and the timer; false (nothing left registered)
  // when the run loop refuses either.
  bool Start()
  {
    fdRegistered = loop->registerEventHandler(this, editor->ConnectionFd()) == kResultTrue;
    timerRegistered = fdRegistered &&
                      loop->registerTimer(this, static_cast<TimerInterval>(editor->TimerIntervalMs())) == kResultTrue;
    if (timerRegistered)
      return true;
    Stop();
    return false;
  }
  void Stop()
  {
    if (fdRegistered)
      loop->unregisterEventHandler(this);
    if (timerRegistered)
      loop->unregisterTimer(this);
    fdRegistered = timerRegistered = false;
    editor = nullptr;
  }
  // The display went away: nothing more will come from the connection, and
  // a descriptor that stays readable must not keep the run loop busy.
  void StopIfLost()
  {
    if (editor && editor->ConnectionLost())
    {
      IGraphicsLinux* lostEditor = editor;
      Stop();
      lostEditor->CloseNative();
    }
  }

  IGraphicsLinux* editor;
  IPtr<IRunLoop> loop;
  std::atomic<uint32> references{1};
  bool fdRegistered = false;
  bool timerRegistered = false;

private:
  ~RunLoopLink() = default;
};

bool IPlugVST3View::OpenWindow(IGraphicsPlatform& platformEditor, void* parent)
{
  // The instrument's editor is the X11 one; any other (a stand-in) has no
  // connection or timer to hand to the host.
  auto* x11 = dynamic_cast<IGraphicsLinux*>(&platformEditor);
  if (!x11)
    return platformEditor.OpenIn(parent) != nullptr;
  IGraphicsLinux& editor = *x11;
  IPtr<IRunLoop> loop;
  if (IPlugFrame* frame = getFrame())
    loop = FUnknownPtr<IRunLoop>(frame);
  if (!loop)
    loop = FUnknownPtr<IRunLoop>(CPluginFactory::moduleHostRunLoop());
  if (!loop)
    return false;
  if (!editor.OpenIn(parent))
    return false;
  auto* link = new RunLoopLink(editor, loop.get());
  if (!link->Start())
  {
    link->release();
    editor.CloseNative();
    return false;
  }
  runLoopLink = link;
  return true;
}

void IPlugVST3View::LetGoOfWindow()
{
  if (runLoopLink)
  {
    runLoopLink->Stop();
    runLoopLink->release();
    runLoopLink = nullptr;
  }
  ownsWindow = false;
}

void IPlugVST3View::CloseWindow(IGraphicsPlatform& editor)
{
  LetGoOfWindow();
  editor.CloseNative();
}
