#include <windows.h>

#include <conio.h>

#include "tools/player/PlayerPlatform.h"

#include "host/HostModule.h"
#include "host/HostRunLoop.h"

namespace {

// Standard input: a console, a pipe, or neither (a file, nothing).
enum class Input { kNone, kConsole, kPipe };
Input input = Input::kNone;

}  // namespace

std::filesystem::path PlayerConfigFolder()
{
  const wchar_t* appData = _wgetenv(L"APPDATA");
  if (appData && appData[0])
    return std::filesystem::path(appData) / L"Thrumwell";
  return {};
}

// Windows plug-ins time themselves with window messages, which RunOnce
// dispatches; no host offers them a run loop.
void OfferRunLoop(ThrumwellHost::HostModule&, ThrumwellHost::HostRunLoop&) {}

void DrawAtMonitorScale()
{
  // SetProcessDpiAwarenessContext exists from Windows 10 (1703) on; before
  // it the window is drawn at 96 dpi as ever.
  using SetContext = BOOL(WINAPI*)(HANDLE);
  const auto set = reinterpret_cast<SetContext>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (set) set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));
}

void KeyboardOpen()
{
  HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
    input = Input::kNone;
  else if (GetConsoleMode(handle, &mode))
    input = Input::kConsole;
  else if (GetFileType(handle) == FILE_TYPE_PIPE)
    input = Input::kPipe;
}

int ReadKey()
{
  if (input == Input::kConsole)
    return _kbhit() ? _getch() : -1;
  if (input != Input::kPipe)
    return -1;
  HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
  DWORD waiting = 0;
  if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &waiting, nullptr))
  {
    input = Input::kNone;  // the writer has gone
    return -1;
  }
  unsigned char key = 0;
  DWORD got = 0;
  if (waiting == 0 || !ReadFile(handle, &key, 1, &got, nullptr) || got != 1)
    return -1;
  return key;
}

// _getch reads the console without echo; nothing to restore.
void KeyboardClose() {}
