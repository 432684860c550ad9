// Linux: the bundle's shared object is loaded with dlopen; hosts call
// ModuleEntry with the dlopen handle before anything else and ModuleExit
// before dlclose.
#include "host/HostModule.h"

#include <dlfcn.h>

namespace ThrumwellHost
{

std::string HostModule::BinaryPath(const std::string& bundlePath)
{
  return bundlePath + "/Contents/x86_64-linux/" + BundleName(bundlePath) + ".so";
}

bool HostModule::OpenBinary(const std::string& path)
{
  binary = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!binary)
  {
    const char* reason = dlerror();
    error = reason ? reason : "";
  }
  return binary != nullptr;
}

void* HostModule::Symbol(const char* name) const { return binary ? dlsym(binary, name) : nullptr; }

bool HostModule::CallEntry()
{
  using EntryProc = bool (*)(void*);
  const auto entry = reinterpret_cast<EntryProc>(Symbol("ModuleEntry"));
  if (!entry || !Symbol("ModuleExit"))
  {
    error = "the module does not export ModuleEntry and ModuleExit";
    return false;
  }
  return entry(binary);
}

void HostModule::CallExit()
{
  using ExitProc = bool (*)();
  if (const auto exitProc = reinterpret_cast<ExitProc>(Symbol("ModuleExit")))
    exitProc();
}

void HostModule::CloseBinary() { dlclose(binary); }

}  // namespace ThrumwellHost
