#pragma once
// IdleTimer: a timer on the host's user-interface thread that lives as long as
// the plug-in is initialized, whether or not its editor is open. Each tick
// calls the plug-in's OnIdle, which tells the host what the audio thread
// changed behind its back (a program chosen through the program-change
// parameter changes every parameter value) — calls a host accepts only on its
// user-interface thread.
//
// Windows: a message-only window with a timer, made on the thread that calls
// Start (the thread that initialises the plug-in, which hosts pump).
// Linux: a timer registered with the host's run loop, the one the host context
// offers (IRunLoop through the context given to initialize, else the one given
// to the factory's setHostContext). Without a run loop Start answers false and
// nothing ticks; the open editor's own timer ticks OnIdle then.

#include <cstdint>

namespace Steinberg
{
class FUnknown;
}
class IPlugBase;

class IdleTimer
{
public:
  static constexpr unsigned kIntervalMs = 50;

  explicit IdleTimer(IPlugBase* plug) : plug(plug) {}
  ~IdleTimer() { Stop(); }
  IdleTimer(const IdleTimer&) = delete;
  IdleTimer& operator=(const IdleTimer&) = delete;

  // Starts ticking; false when this platform or host offers no way to.
  // hostContext: what the host gave to initialize. Starting twice restarts.
  bool Start(Steinberg::FUnknown* hostContext);
  // Stops ticking; nothing when not started. On the thread that started it.
  void Stop();
  bool Running() const { return native != nullptr; }

private:
  IPlugBase* plug;
  // The message-only window, or the handler registered with the run loop.
  void* native = nullptr;
  // Linux: the run loop the handler is registered with (referenced).
  void* runLoop = nullptr;
};
