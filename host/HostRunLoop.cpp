#include "host/HostRunLoop.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Linux;

namespace ThrumwellHost
{

HostRunLoop::HostRunLoop() = default;

HostRunLoop::~HostRunLoop() = default;

tresult PLUGIN_API HostRunLoop::registerEventHandler(IEventHandler* handler, FileDescriptor fd)
{
  if (!handler || fd < 0)
  {
    complaints.push_back("registerEventHandler with a null handler or a negative descriptor");
    return kInvalidArgument;
  }
  for (const FdEntry& e : fds)
    if (e.handler == handler && e.fd == fd)
    {
      complaints.push_back("registerEventHandler twice for one handler and descriptor");
      return kInvalidArgument;
    }
  fds.push_back({handler, fd});
  return kResultTrue;
}

tresult PLUGIN_API HostRunLoop::unregisterEventHandler(IEventHandler* handler)
{
  const auto before = fds.size();
  fds.erase(std::remove_if(fds.begin(), fds.end(), [&](const FdEntry& e) { return e.handler == handler; }), fds.end());
  if (fds.size() == before)
  {
    complaints.push_back("unregisterEventHandler for a handler that is not registered");
    return kInvalidArgument;
  }
  return kResultTrue;
}

tresult PLUGIN_API HostRunLoop::registerTimer(ITimerHandler* handler, TimerInterval milliseconds)
{
  if (!handler || milliseconds == 0)
  {
    complaints.push_back("registerTimer with a null handler or a zero interval");
    return kInvalidArgument;
  }
  for (const TimerEntry& t : timers)
    if (t.handler == handler)
    {
      complaints.push_back("registerTimer twice for one handler");
      return kInvalidArgument;
    }
  const std::int64_t interval = static_cast<std::int64_t>(std::min<TimerInterval>(milliseconds, 1u << 30));
  timers.push_back({handler, interval, NowMs() + interval});
  return kResultTrue;
}

tresult PLUGIN_API HostRunLoop::unregisterTimer(ITimerHandler* handler)
{
  const auto before = timers.size();
  timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const TimerEntry& t) { return t.handler == handler; }),
               timers.end());
  if (timers.size() == before)
  {
    complaints.push_back("unregisterTimer for a handler that is not registered");
    return kInvalidArgument;
  }
  return kResultTrue;
}

int HostRunLoop::RunOnce(int timeoutMs, bool withTimers)
{
  std::int64_t now = NowMs();
  int wait = std::max(timeoutMs, 0);
  if (withTimers)
    for (const TimerEntry& t : timers)
      wait = static_cast<int>(std::min<std::int64_t>(wait, std::max<std::int64_t>(t.due + lateness - now, 0)));

  // Descriptors (or window messages) first: the handlers whose descriptor is
  // ready are copied, then each one still registered when its turn comes is
  // called.
  int calls = 0;
  for (const FdEntry& e : WaitForInput(wait, calls))
  {
    const bool still = std::any_of(fds.begin(), fds.end(),
                                   [&](const FdEntry& f) { return f.handler == e.handler && f.fd == e.fd; });
    if (!still)
      continue;
    e.handler->onFDIsSet(e.fd);
    ++calls;
  }

  if (!withTimers)
    return calls;
  now = NowMs();
  std::vector<ITimerHandler*> dueTimers;
  for (TimerEntry& t : timers)
  {
    if (now < t.due + lateness)
      continue;
    // A late run loop delivers the calls it missed back to back.
    const std::int64_t missed = lateness > 0 ? 1 + (now - t.due) / t.interval : 1;
    for (std::int64_t k = 0; k < missed && k < 1000; ++k)
      dueTimers.push_back(t.handler);
    t.due = lateness > 0 ? t.due + missed * t.interval : now + t.interval;
  }
  for (ITimerHandler* h : dueTimers)
  {
    const bool still =
        std::any_of(timers.begin(), timers.end(), [&](const TimerEntry& t) { return t.handler == h; });
    if (!still)
      continue;
    h->onTimer();
    ++calls;
    ++timerCalls;
  }
  return calls;
}

void HostRunLoop::RunFor(int milliseconds)
{
  const std::int64_t end = NowMs() + std::max(milliseconds, 0);
  for (;;)
  {
    const std::int64_t left = end - NowMs();
    if (left <= 0)
      break;
    RunOnce(static_cast<int>(left));
  }
}

}  // namespace ThrumwellHost
