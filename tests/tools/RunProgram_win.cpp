#include "tests/tools/RunProgram.h"

#include "host/HostUtf8.h"

#include <algorithm>
#include <csignal>
#include <cstdio>

#include <windows.h>
#include <psapi.h>

namespace {

// The build runs on the Linux side of Wine: its absolute paths live on drive Z:.
std::string WindowsPath(std::string path)
{
  if (!path.empty() && path[0] == '/')
    path = "Z:" + path;
  for (char& c : path)
    if (c == '/')
      c = '\\';
  return path;
}

std::string Quoted(const std::string& text)
{
  std::string quoted = "\"";
  for (char c : text)
    quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
  return quoted + "\"";
}

// Both of the program's outputs are opened for any sharing: a file that
// another process still holds then never fails the open with a sharing
// violation.
HANDLE Inheritable(const std::string& path)
{
  SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
  return CreateFileW(ThrumwellHost::WideText(path).c_str(), GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &security, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL WINAPI SwallowConsoleControl(DWORD) { return TRUE; }

}  // namespace

// Runs the program itself, without a shell, its outputs on handles of ours;
// its peak memory is read while it runs as well, since Wine knows nothing of
// an ended process's memory.
int RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& stdoutPath,
               const std::string& stderrPath, long long* peakKiB)
{
  if (peakKiB)
    *peakKiB = -1;
  std::string command = Quoted(WindowsPath(program));
  for (const std::string& arg : args)
    command += " " + Quoted(arg);
  std::wstring line = ThrumwellHost::WideText(command);
  HANDLE out = Inheritable(stdoutPath);
  HANDLE err = Inheritable(stderrPath);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process = {};
  const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE
                       && CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                         &process);
  if (out != INVALID_HANDLE_VALUE)
    CloseHandle(out);
  if (err != INVALID_HANDLE_VALUE)
    CloseHandle(err);
  if (!started)
    return -1;
  auto measure = [&] {
    if (!peakKiB)
      return;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) && counters.PeakWorkingSetSize > 0)
      *peakKiB = std::max(*peakKiB, static_cast<long long>(counters.PeakWorkingSetSize / 1024));
  };
  while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT)
    measure();
  measure();
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

// The program gets a console of its own, which is where Ctrl+C is typed: the
// test attaches to it for the moment it sends the event.
StartedProgram::StartedProgram(const std::string& program, const std::vector<std::string>& args,
                               const std::string& folder, const std::string& stderrPath)
{
  std::string command = Quoted(WindowsPath(program));
  for (const std::string& arg : args)
    command += " " + Quoted(arg);
  std::wstring line = ThrumwellHost::WideText(command);
  HANDLE err = Inheritable(stderrPath);
  if (err == INVALID_HANDLE_VALUE)
    return;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = err;
  startup.hStdError = err;
  PROCESS_INFORMATION started = {};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr,
                     ThrumwellHost::WideText(WindowsPath(folder)).c_str(), &startup, &started))
  {
    CloseHandle(started.hThread);
    process = started.hProcess;
    id = started.dwProcessId;
  }
  CloseHandle(err);
}

StartedProgram::~StartedProgram()
{
  if (!process)
    return;
  if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
  {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
  }
  CloseHandle(process);
}

bool StartedProgram::Started() const { return process != nullptr; }

std::vector<int> StartedProgram::Interrupts() { return {SIGINT}; }

void StartedProgram::Interrupt(int)
{
  if (!process)
    return;
  // Ctrl+C goes to every process of the console, this one included while
  // it is attached. The event arrives on a thread of its own at some later
  // moment, so this process takes it from here on with a handler that does
  // nothing. (Ignoring Ctrl+C instead would pass to the programs it starts
  // later: Windows makes them ignore it too.)
  SetConsoleCtrlHandler(SwallowConsoleControl, TRUE);
  FreeConsole();
  if (AttachConsole(static_cast<DWORD>(id)))
  {
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    FreeConsole();
  }
}

bool StartedProgram::EndedByInterrupt(int, double seconds, std::string& how)
{
  how = "never started";
  if (!process)
    return false;
  if (WaitForSingleObject(process, static_cast<DWORD>(seconds * 1000)) != WAIT_OBJECT_0)
  {
    how = "still running";
    return false;
  }
  DWORD status = 0;
  GetExitCodeProcess(process, &status);
  char text[32];
  std::snprintf(text, sizeof text, "exited with status 0x%lX", static_cast<unsigned long>(status));
  how = text;
  CloseHandle(process);
  process = nullptr;
  return status == 0xC000013Au;
}
