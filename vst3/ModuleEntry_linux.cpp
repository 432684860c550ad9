// Entry points of the Linux module. Hosts dlopen the bundle's .so, call
// ModuleEntry with the dlopen handle, then GetPluginFactory; ModuleExit comes
// after the factory is released, before dlclose. Every other symbol of the
// module is hidden (ModuleExports_linux.map).

#include <dlfcn.h>

#include "vst3/PluginModule.h"

extern "C" {

__attribute__((visibility("default"))) bool ModuleEntry(void* sharedLibraryHandle)
{
  PluginModule::SetModuleHandle(sharedLibraryHandle);
  PluginModule::SetResourceHandle(sharedLibraryHandle);
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModuleEntry), &info) && info.dli_fname)
    PluginModule::SetModulePath(info.dli_fname, '/');
  PluginModule::EnterModule();
  return true;
}

__attribute__((visibility("default"))) bool ModuleExit()
{
  PluginModule::ReleaseFactory();
  return true;
}

__attribute__((visibility("default"))) Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory()
{
  return PluginModule::AcquireFactory();
}
}
