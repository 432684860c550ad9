// Entry points of the Windows module: the DLL exports exactly
// GetPluginFactory, InitDll and ExitDll, besides its entry point.

#include <windows.h>

#include <string>

#include "vst3/PluginModule.h"

extern "C" {

// Process attach records the module's handle and directory; it always
// succeeds.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
  if (reason != DLL_PROCESS_ATTACH)
    return TRUE;
  PluginModule::SetModuleHandle(instance);
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
  // The path is kept as the host's UTF-16 narrowed to bytes, one per
  // character, like every other text the plug-in holds.
  std::string narrowPath;
  for (DWORD i = 0; i < length; ++i)
    narrowPath += static_cast<char>(path[i] & 0xFF);
  PluginModule::SetModulePath(narrowPath, '\\');
  return TRUE;
}

__declspec(dllexport) bool InitDll()
{
  PluginModule::SetResourceHandle(PluginModule::ModuleHandle());
  PluginModule::EnterModule();
  return true;
}

__declspec(dllexport) bool ExitDll()
{
  PluginModule::ReleaseFactory();
  return true;
}

__declspec(dllexport) Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory()
{
  return PluginModule::AcquireFactory();
}
}
