#pragma once
// HostRunLoop: the event loop of a host's user-interface thread, and the
// Linux run loop a host offers its plug-ins (through the editor's frame and
// the factory's host context). One thread drives it: RunFor/RunOnce wait for
// input and call the handlers whose descriptor became readable and the timers
// that are due, all on the calling thread.
//
// Linux waits on the registered descriptors with poll(). Windows has no
// descriptors to register (plug-ins there use window messages and their own
// timers): it waits for and dispatches the thread's window messages, so a
// plug-in's windows and timers run while the loop runs.
//
// Strict as the rest of the host: registering a handler twice, unregistering
// one that is not registered, or a null handler is answered kInvalidArgument
// and counted as a complaint. Handlers may unregister themselves (or others)
// from inside their callback.

#include <cstdint>
#include <string>
#include <vector>

#include "host/HostObject.h"
#include "vst3/sdk/IPlugView.h"

namespace ThrumwellHost
{

class HostRunLoop final : public HostObject<Steinberg::Linux::IRunLoop>
{
public:
  HostRunLoop();
  ~HostRunLoop();
  HostRunLoop(const HostRunLoop&) = delete;
  HostRunLoop& operator=(const HostRunLoop&) = delete;

  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval milliseconds) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

  // Waits at most timeoutMs (0: only what is ready now) for a readable
  // descriptor or a due timer and makes the calls that are due. Returns the
  // number of callbacks made.
  int RunOnce(int timeoutMs) { return RunOnce(timeoutMs, true); }
  // The same, calling timers only when withTimers is true: false waits for
  // input alone and delivers it (a host window delivering events between
  // frames it counts itself).
  int RunOnce(int timeoutMs, bool withTimers);
  // Keeps running for the given wall-clock time.
  void RunFor(int milliseconds);

  // Delivery faults a real host may show, for tests: timers fire only every
  // `lateMs` beyond their due time, and all calls that fell due meanwhile come
  // in one burst (a timer that is due several times fires once per interval
  // missed, back to back).
  void SetLateness(int lateMs) { lateness = lateMs; }

  std::size_t EventHandlerCount() const { return fds.size(); }
  std::size_t TimerCount() const { return timers.size(); }
  // Timer calls made so far, all handlers together.
  std::uint64_t TimerCalls() const { return timerCalls; }
  const std::vector<std::string>& Complaints() const { return complaints; }

private:
  struct FdEntry
  {
    Steinberg::Linux::IEventHandler* handler;
    int fd;
  };
  struct TimerEntry
  {
    Steinberg::Linux::ITimerHandler* handler;
    std::int64_t interval;
    std::int64_t due;  // monotonic ms
  };

  // Platform parts (HostRunLoop_linux.cpp, HostRunLoop_win.cpp): a
  // monotonic clock in milliseconds, and a wait of at most timeoutMs for
  // input, giving the registered handlers whose descriptor is ready (and on
  // Windows dispatching window messages, counted in calls).
  static std::int64_t NowMs();
  std::vector<FdEntry> WaitForInput(int timeoutMs, int& calls);

  std::vector<FdEntry> fds;
  std::vector<TimerEntry> timers;
  std::vector<std::string> complaints;
  int lateness = 0;
  std::uint64_t timerCalls = 0;
};

}  // namespace ThrumwellHost
