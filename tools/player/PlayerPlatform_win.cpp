#include <windows.h>

#include <atomic>

#include "tools/player/PlayerPlatform.h"

#include "host/HostModule.h"
#include "host/HostRunLoop.h"

namespace {

std::atomic<bool> stopConsole{false};

// Runs on a thread of its own that the console starts.
BOOL WINAPI OnConsoleControl(DWORD event)
{
  stopConsole.store(true);
  // Closing the console ends the process when this returns: give the player
  // the few seconds Windows allows to fade out and save its settings.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    Sleep(4000);
  return TRUE;
}

}  // namespace

std::filesystem::path PlayerConfigFolder()
{
  const wchar_t* appData = _wgetenv(L"APPDATA");
  if (appData && appData[0])
    return std::filesystem::path(appData) / L"Thrumwell";
  return {};
}

std::filesystem::path PlayerExecutableFolder()
{
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(sizeof(path) / sizeof(path[0])));
  if (length == 0 || length >= sizeof(path) / sizeof(path[0]))
    return {};
  return std::filesystem::path(path).parent_path();
}

void InstallStopHandler() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

bool StopRequested() { return stopConsole.load(); }

// Windows plug-ins time themselves with window messages, which RunOnce
// dispatches; no host offers them a run loop.
void OfferRunLoop(ThrumwellHost::HostModule&, ThrumwellHost::HostRunLoop&) {}
