#pragma once
// Module-wide state of the plug-in module and the class factory the host
// obtains through GetPluginFactory. The platform entry points
// (ModuleEntry_win.cpp, ModuleEntry_linux.cpp) record the module's handle and
// directory; everything else is shared.

#include <string>

#include "vst3/sdk/FUID.h"
#include "vst3/sdk/IPluginBase.h"

namespace PluginModule
{
// The class ID from the four words: 0xF2AEE70D, 0x00DE4F4E, the manufacturer
// code and the plug-in code, in this platform's byte order.
Steinberg::FUID ClassId();

// The module's own handle (HMODULE on Windows, the dlopen handle on Linux),
// the handle the editor loads its images from, and the module's directory with
// its trailing separator.
void* ModuleHandle();
void* ResourceHandle();
const std::string& ModuleDirectory();
void SetModuleHandle(void* handle);
void SetResourceHandle(void* handle);
void SetModulePath(const std::string& path, char separator);

// The directory part of path: everything up to and including the last
// separator; the whole path when it holds none.
std::string DirectoryOf(const std::string& path, char separator);

// The module's single factory: created and filled on the first call, with a
// reference kept by the module while it is loaded; each call hands one more
// reference to the caller.
Steinberg::IPluginFactory* AcquireFactory();
// Counts one module entry (InitDll, ModuleEntry).
void EnterModule();
// Called by the module exit: drops the module's own reference once every
// entry has had its exit (or when the host exits without having entered), so
// a second load of the module in the same process keeps the first load's
// factory alive; a later AcquireFactory builds a new factory.
void ReleaseFactory();
}  // namespace PluginModule
