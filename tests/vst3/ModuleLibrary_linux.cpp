#include <dlfcn.h>

#include "tests/vst3/ModuleLibrary.h"

namespace
{
using EntryFunction = bool (*)(void*);
using ExitFunction = bool (*)();
using FactoryFunction = Steinberg::IPluginFactory* (*)();
}  // namespace

ModuleLibrary::ModuleLibrary(const std::string& bundlePath)
  : binaryPath(bundlePath + "/Contents/x86_64-linux/Thrumwell.so")
{
  handle = dlopen(binaryPath.c_str(), RTLD_LAZY | RTLD_LOCAL);
}

ModuleLibrary::~ModuleLibrary()
{
  if (entered)
    if (auto exitModule = reinterpret_cast<ExitFunction>(Symbol("ModuleExit")))
      exitModule();
  if (handle)
    dlclose(handle);
}

void* ModuleLibrary::Symbol(const char* name) const
{
  return handle ? dlsym(handle, name) : nullptr;
}

bool ModuleLibrary::Enter()
{
  auto entry = reinterpret_cast<EntryFunction>(Symbol("ModuleEntry"));
  entered = entry && Symbol("ModuleExit") && entry(handle);
  return entered;
}

Steinberg::IPluginFactory* ModuleLibrary::GetFactory() const
{
  auto factory = reinterpret_cast<FactoryFunction>(Symbol("GetPluginFactory"));
  return factory ? factory() : nullptr;
}

std::vector<std::string> ModuleLibrary::ExportedNames(const std::vector<std::string>& candidates) const
{
  std::vector<std::string> found;
  for (const std::string& name : candidates)
    if (Symbol(name.c_str()))
      found.push_back(name);
  return found;
}
