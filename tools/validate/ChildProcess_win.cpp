#include "tools/validate/ChildProcess.h"

#include "host/HostUtf8.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace
{

// One argument quoted the way the C runtime splits a command line.
std::wstring Quoted(const std::wstring& arg)
{
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg)
  {
    if (c == L'\\')
    {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception)
{
  TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void PrepareChildProcess()
{
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(EndOnCrash);
}

ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& args, const std::string& logPath,
                      int timeoutSeconds)
{
  ChildOutcome outcome;
  std::wstring commandLine = Quoted(ThrumwellHost::WideText(program));
  for (const std::string& arg : args)
    commandLine += L" " + Quoted(ThrumwellHost::WideText(arg));

  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE log = CreateFileW(ThrumwellHost::WideText(logPath).c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE)
  {
    outcome.what = "cannot write " + logPath;
    return outcome;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = log;
  startup.hStdError = log;
  PROCESS_INFORMATION process{};
  // A crashing child must end, not show a dialog; children inherit the mode.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(log);
  if (!started)
  {
    outcome.what = "cannot start the child process (error " + std::to_string(GetLastError()) + ")";
    return outcome;
  }
  CloseHandle(process.hThread);
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutSeconds) * 1000) == WAIT_TIMEOUT)
  {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    outcome.kind = ChildOutcome::kTimedOut;
    outcome.what = "hung: killed after " + std::to_string(timeoutSeconds) + " s";
    return outcome;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  outcome.code = static_cast<long>(code);
  // Exception codes (access violation 0xC0000005 and the like) end a
  // process that crashed.
  if (code >= 0xC0000000u)
  {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
    outcome.kind = ChildOutcome::kCrashed;
    outcome.what = std::string("crashed: exception ") + hex;
  }
  else
  {
    outcome.kind = ChildOutcome::kExited;
    outcome.what = "exited with status " + std::to_string(code);
  }
  return outcome;
}

std::string SelfPath()
{
  wchar_t path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return ThrumwellHost::Utf8Text(std::wstring(path, n));
}
