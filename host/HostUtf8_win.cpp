#include "host/HostUtf8.h"

#include <windows.h>

#include <cstdlib>

namespace ThrumwellHost
{

std::wstring WideText(const std::string& utf8)
{
  if (utf8.empty())
    return {};
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (n <= 0)
    return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
  return wide;
}

std::string Utf8Text(const std::wstring& wide)
{
  if (wide.empty())
    return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0)
    return {};
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::filesystem::path PathFromUtf8(const std::string& path) { return std::filesystem::path(WideText(path)); }

std::FILE* OpenFile(const std::string& path, const char* mode)
{
  return _wfopen(WideText(path).c_str(), WideText(mode).c_str());
}

std::string EnvironmentText(const char* name)
{
  const wchar_t* value = _wgetenv(WideText(name).c_str());
  return value ? Utf8Text(value) : std::string();
}

void SetEnvironmentText(const std::string& name, const std::string& value)
{
  // The C runtime's wide environment: its narrow copy, Win32's block and so
  // the children all follow.
  _wputenv_s(WideText(name).c_str(), WideText(value).c_str());
}

}  // namespace ThrumwellHost
