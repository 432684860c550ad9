// The strip's window on Linux runs on the host's run loop: its X
// connection's descriptor and a timer at its frame rate, as the VST3 view
// registers the instrument's editor.
#include "tools/player/PlayerStrip.h"

#include "graphics/IGraphicsLinux.h"
#include "host/HostObject.h"
#include "host/HostRunLoop.h"

using namespace Steinberg;
using namespace Steinberg::Linux;

struct PlayerStrip::LoopLink final : public ThrumwellHost::HostObject<IEventHandler, ITimerHandler>
{
  LoopLink(IGraphicsLinux& editor, ThrumwellHost::HostRunLoop& loop) : editor(editor), loop(loop) {}

  void PLUGIN_API onFDIsSet(FileDescriptor) override
  {
    editor.HandleEvents();
    StopIfLost();
  }
  void PLUGIN_API onTimer() override
  {
    editor.OnTimer();
    StopIfLost();
  }

  bool Start()
  {
    fdRegistered = loop.registerEventHandler(this, editor.ConnectionFd()) == kResultTrue;
    timerRegistered =
      fdRegistered && loop.registerTimer(this, static_cast<TimerInterval>(editor.TimerIntervalMs())) == kResultTrue;
    return timerRegistered;
  }
  void Stop()
  {
    if (fdRegistered) loop.unregisterEventHandler(this);
    if (timerRegistered) loop.unregisterTimer(this);
    fdRegistered = timerRegistered = false;
  }
  // The display went away: a descriptor that stays readable must not keep
  // the loop busy.
  void StopIfLost()
  {
    if (!editor.ConnectionLost()) return;
    Stop();
    editor.CloseNative();
  }

  IGraphicsLinux& editor;
  ThrumwellHost::HostRunLoop& loop;
  bool fdRegistered = false;
  bool timerRegistered = false;
};

bool PlayerStrip::Attach(ThrumwellHost::HostRunLoop& loop)
{
  link = new LoopLink(*static_cast<IGraphicsLinux*>(graphics), loop);
  if (link->Start()) return true;
  Detach();
  return false;
}

void PlayerStrip::Detach()
{
  if (!link) return;
  link->Stop();
  delete link;
  link = nullptr;
}
