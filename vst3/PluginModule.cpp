#include "vst3/PluginModule.h"

#include <mutex>
#include <new>

#include "cmake/ThrumwellVersion.h"
#include "synth/CLS_THRUMWELL.h"
#include "vst3/sdk/CPluginFactory.h"
#include "vst3/sdk/IAudioProcessor.h"

using namespace Steinberg;

namespace
{
constexpr const char* kVendor = "Quorvik";
constexpr const char* kVendorUrl = "https://www.quorvik.com";
constexpr const char* kClassName = "Thrumwell";
constexpr const char* kClassVersion = THRUMWELL_CLASS_VERSION;
constexpr const char* kClassSdkVersion = "VST 3.6.5";

void* moduleHandle = nullptr;
void* resourceHandle = nullptr;
std::string moduleDirectory;
CPluginFactory* factory = nullptr;
// Module entries not yet matched by an exit. A process may load the module
// more than once (each load calls the entry, each unload the exit, but the
// system maps it once), so the factory stays until the last exit.
int openEntries = 0;
std::mutex factoryLock;

// Instances are constructed one at a time, whichever thread asks.
std::mutex& CreationLock()
{
  static std::mutex lock;
  return lock;
}

FUnknown* CreateThrumwell(void*)
{
  std::lock_guard<std::mutex> guard(CreationLock());
  try
  {
    auto* plug = new CLS_THRUMWELL;
    return static_cast<Vst::IAudioProcessor*>(plug);
  }
  catch (const std::bad_alloc&)
  {
    return nullptr;
  }
}
}  // namespace

namespace PluginModule
{
FUID ClassId()
{
  return FUID(0xF2AEE70D, 0x00DE4F4E, static_cast<uint32>(CLS_THRUMWELL::kManufacturerId),
              static_cast<uint32>(CLS_THRUMWELL::kUniqueId));
}

void* ModuleHandle()
{
  return moduleHandle;
}

void* ResourceHandle()
{
  return resourceHandle;
}

const std::string& ModuleDirectory()
{
  return moduleDirectory;
}

void SetModuleHandle(void* handle)
{
  moduleHandle = handle;
}

void SetResourceHandle(void* handle)
{
  resourceHandle = handle;
}

void SetModulePath(const std::string& path, char separator)
{
  moduleDirectory = DirectoryOf(path, separator);
}

std::string DirectoryOf(const std::string& path, char separator)
{
  const size_t last = path.rfind(separator);
  return last == std::string::npos ? path : path.substr(0, last + 1);
}

IPluginFactory* AcquireFactory()
{
  std::lock_guard<std::mutex> guard(factoryLock);
  if (!factory)
  {
    factory = new (std::nothrow) CPluginFactory(PFactoryInfo(kVendor, kVendorUrl, "", PFactoryInfo::kUnicode));
    if (!factory)
      return nullptr;
    const PClassInfo2 info(ClassId(), PClassInfo::kManyInstances, Vst::kVstAudioEffectClass, kClassName,
                           Vst::kSimpleModeSupported, Vst::PlugType::kInstrument, "", kClassVersion,
                           kClassSdkVersion);
    factory->registerClass(&info, CreateThrumwell);
  }
  factory->addRef();
  return factory;
}

void EnterModule()
{
  std::lock_guard<std::mutex> guard(factoryLock);
  ++openEntries;
}

void ReleaseFactory()
{
  std::lock_guard<std::mutex> guard(factoryLock);
  if (openEntries > 0 && --openEntries > 0)
    return;
  if (factory)
    factory->release();
  factory = nullptr;
}
}  // namespace PluginModule
