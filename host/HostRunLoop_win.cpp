#include "host/HostRunLoop.h"

#include <windows.h>

namespace ThrumwellHost
{

std::int64_t HostRunLoop::NowMs()
{
  return static_cast<std::int64_t>(GetTickCount64());
}

std::vector<HostRunLoop::FdEntry> HostRunLoop::WaitForInput(int timeoutMs, int& calls)
{
  MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(timeoutMs), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
  {
    TranslateMessage(&message);
    DispatchMessageW(&message);
    ++calls;
  }
  return {};
}

}  // namespace ThrumwellHost
