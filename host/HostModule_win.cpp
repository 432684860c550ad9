// Windows: the bundle's DLL is loaded with LoadLibraryW from its UTF-16 path;
// hosts call InitDll (when exported) after loading and ExitDll before
// FreeLibrary.
#include "host/HostModule.h"

#include <windows.h>

namespace ThrumwellHost
{

namespace {

std::wstring Wide(const std::string& utf8)
{
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
  if (n > 0)
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], n);
  return wide;
}

}  // namespace

std::string HostModule::BinaryPath(const std::string& bundlePath)
{
  return bundlePath + "\\Contents\\x86_64-win\\" + BundleName(bundlePath) + ".vst3";
}

bool HostModule::OpenBinary(const std::string& path)
{
  binary = LoadLibraryW(Wide(path).c_str());
  if (!binary)
    error = "error " + std::to_string(GetLastError());
  return binary != nullptr;
}

void* HostModule::Symbol(const char* name) const
{
  return binary ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(binary), name)) : nullptr;
}

bool HostModule::CallEntry()
{
  using EntryProc = bool (*)();
  const auto entry = reinterpret_cast<EntryProc>(Symbol("InitDll"));
  return !entry || entry();
}

void HostModule::CallExit()
{
  using ExitProc = bool (*)();
  if (const auto exitProc = reinterpret_cast<ExitProc>(Symbol("ExitDll")))
    exitProc();
}

void HostModule::CloseBinary() { FreeLibrary(static_cast<HMODULE>(binary)); }

}  // namespace ThrumwellHost
