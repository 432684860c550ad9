#pragma once
// HostModule: one loaded VST3 bundle. Finds the binary inside the bundle,
// loads it, calls the module entry, takes the class factory and reads its
// class list; unloading releases the factory, calls the module exit and
// unloads the binary, in that order.
//
// Bundle layout: NAME.vst3/Contents/x86_64-linux/NAME.so on Linux,
// NAME.vst3/Contents/x86_64-win/NAME.vst3 on Windows. Loading refuses a
// bundle without that binary, a binary without GetPluginFactory or the
// platform's entry and exit functions, and a failed entry.
//
// Every module still loaded when the process exits is unloaded by an exit
// handler registered right after its binary was loaded, so that it runs
// before the binary's own static objects are destroyed: a module object that
// outlives main (a static one) would otherwise release the factory and call
// the module exit into a plug-in whose statics are already gone.
//
// Main thread only.

#include <array>
#include <cstdint>
#include <string>

#include "vst3/sdk/IPluginBase.h"

namespace ThrumwellHost
{

struct HostClassInfo
{
  std::array<std::uint8_t, 16> cid{};
  std::int32_t cardinality = 0;
  std::string category;
  std::string name;
  std::uint32_t classFlags = 0;
  std::string subCategories;
  std::string vendor;
  std::string version;
  std::string sdkVersion;
};

class HostModule
{
public:
  HostModule() = default;
  ~HostModule();
  HostModule(const HostModule&) = delete;
  HostModule& operator=(const HostModule&) = delete;

  // Path of the binary inside a bundle, by this platform's layout.
  static std::string BinaryPath(const std::string& bundlePath);

  bool Load(const std::string& bundlePath);
  void Unload();
  bool IsLoaded() const { return factory != nullptr; }
  // Why the last Load failed.
  const std::string& Error() const { return error; }

  // The factory, one reference held by the module; null before Load.
  Steinberg::IPluginFactory* Factory() const { return factory; }
  // Calls the binary's GetPluginFactory again; the caller owns the reference.
  Steinberg::IPluginFactory* CallGetPluginFactory() const;

  // IPluginFactory3::setHostContext, as Linux hosts do to offer their run
  // loop (an object answering IRunLoop); the factory's answer, or
  // kNoInterface when it has no IPluginFactory3.
  Steinberg::tresult SetHostContext(Steinberg::FUnknown* context);

  // Class info through the richest factory interface answered: the unicode
  // info of IPluginFactory3, else IPluginFactory2, else the plain info.
  int NClasses() const;
  bool GetClass(int index, HostClassInfo& info) const;
  // Index of the first class of the category, or -1.
  int FindClass(const char* category) const;
  // The audio module class a user names with --class: its name, or its index
  // in the factory's class list; empty: the first audio module class. -1 with
  // the reason (which names the classes there are) when there is no such
  // audio module class.
  int ChooseClass(const std::string& wanted, std::string& reason) const;

private:
  // NAME of a path ending in NAME.vst3, with either kind of separator.
  static std::string BundleName(const std::string& bundlePath);

  // Platform parts, in HostModule_linux.cpp / HostModule_win.cpp.
  bool OpenBinary(const std::string& path);
  void* Symbol(const char* name) const;
  bool CallEntry();
  void CallExit();
  void CloseBinary();

  using GetFactoryProc = Steinberg::IPluginFactory* (PLUGIN_API*)();

  void* binary = nullptr;
  GetFactoryProc getFactory = nullptr;
  bool entered = false;
  Steinberg::IPluginFactory* factory = nullptr;
  std::string error;
};

}  // namespace ThrumwellHost
