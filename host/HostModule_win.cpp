// Windows: the bundle's DLL is loaded with LoadLibraryW from its UTF-16 path;
// hosts call InitDll (when exported) after loading and ExitDll before
// FreeLibrary.
#include "host/HostModule.h"
#include "host/HostUtf8.h"

#include <windows.h>

namespace ThrumwellHost
{

std::string HostModule::BinaryPath(const std::string& bundlePath)
{
  return bundlePath + "\\Contents\\x86_64-win\\" + BundleName(bundlePath) + ".vst3";
}

bool HostModule::OpenBinary(const std::string& path)
{
  binary = LoadLibraryW(WideText(path).c_str());
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
