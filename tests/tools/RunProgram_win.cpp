#include "tests/tools/RunProgram.h"

#include "host/HostUtf8.h"

#include <algorithm>

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
