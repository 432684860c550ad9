#pragma once
// Loads a built plug-in bundle the way hosts do on this platform: the binary
// inside the bundle, its entry function (InitDll / ModuleEntry), the factory,
// and on destruction the exit function and the unload. Unlike HostModule it
// lets the test see the raw exports and call the entry points one by one.

#include <string>
#include <vector>

#include "vst3/sdk/IPluginBase.h"

class ModuleLibrary
{
public:
  explicit ModuleLibrary(const std::string& bundlePath);
  ~ModuleLibrary();
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  bool IsLoaded() const { return handle != nullptr; }
  // Null when the module does not export the name.
  void* Symbol(const char* name) const;
  // The platform's entry function; true when it succeeded (or is optional
  // and absent).
  bool Enter();
  // GetPluginFactory; one reference for the caller.
  Steinberg::IPluginFactory* GetFactory() const;
  // The platform's exported names the test can see: all of them on Windows
  // (from the export table), the looked-up names elsewhere.
  std::vector<std::string> ExportedNames(const std::vector<std::string>& candidates) const;
  const std::string& BinaryPath() const { return binaryPath; }

private:
  std::string binaryPath;
  void* handle = nullptr;
  bool entered = false;
};
