#include "vst3/IdleTimer.h"

#include <windows.h>

#include <mutex>

#include "plug/IPlugBase.h"

namespace
{

const wchar_t kClassName[] = L"ThrumwellIdleTimer";
constexpr UINT_PTR kTimerId = 1;

// One window class for every instance in the process, registered with the
// first running timer and unregistered with the last.
std::mutex classLock;
int classUsers = 0;

HINSTANCE ThisModule()
{
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

LRESULT CALLBACK IdleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == WM_TIMER && wParam == kTimerId)
  {
    if (auto* plug = reinterpret_cast<IPlugBase*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
      plug->OnIdle();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool AddClassUser()
{
  std::lock_guard<std::mutex> guard(classLock);
  if (classUsers == 0)
  {
    WNDCLASSW wc{};
    wc.lpfnWndProc = IdleWindowProc;
    wc.hInstance = ThisModule();
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      return false;
  }
  ++classUsers;
  return true;
}

void RemoveClassUser()
{
  std::lock_guard<std::mutex> guard(classLock);
  if (classUsers > 0 && --classUsers == 0)
    UnregisterClassW(kClassName, ThisModule());
}

}  // namespace

bool IdleTimer::Start(Steinberg::FUnknown*)
{
  Stop();
  if (!plug || !AddClassUser())
    return false;
  HWND window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
  if (!window)
  {
    RemoveClassUser();
    return false;
  }
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(plug));
  if (!SetTimer(window, kTimerId, kIntervalMs, nullptr))
  {
    DestroyWindow(window);
    RemoveClassUser();
    return false;
  }
  native = window;
  return true;
}

void IdleTimer::Stop()
{
  if (!native)
    return;
  HWND window = static_cast<HWND>(native);
  KillTimer(window, kTimerId);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  RemoveClassUser();
  native = nullptr;
}
