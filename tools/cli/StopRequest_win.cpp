#include "tools/cli/StopRequest.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<bool> stopRequested{false};
// Set by StopHandled; made with the handler, so before any event can come.
HANDLE cleanedUp = nullptr;
// Windows ends a process whose console closes 5 s after the event at the
// latest; the handler lets it go a little before.
constexpr DWORD kCloseGraceMs = 4500;

// Runs on a thread of its own that the console starts for each event.
BOOL WINAPI OnConsoleControl(DWORD event)
{
  stopRequested.store(true);
  // Ctrl+C and Ctrl+Break are handled by returning: the main thread goes on
  // and stops. Closing the console (or logging off, shutting down) ends the
  // process when this returns, so it waits for the main thread's clean-up.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    WaitForSingleObject(cleanedUp, kCloseGraceMs);
  return TRUE;
}

}  // namespace

namespace ThrumwellCli
{

void InstallStopHandler()
{
  if (!cleanedUp)
    cleanedUp = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool StopRequested() { return stopRequested.load(); }

void StopHandled()
{
  if (cleanedUp)
    SetEvent(cleanedUp);
}

int StoppedExitStatus()
{
  // STATUS_CONTROL_C_EXIT, as an int for main's return.
  return static_cast<int>(0xC000013Au);
}

}  // namespace ThrumwellCli
