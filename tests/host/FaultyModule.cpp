// The faulty instrument as a module: one class, its fault chosen by the
// THRUMWELL_FAULT environment variable ("nan", "subnormal", "loud", "crash",
// "hang", "allocate", ...; none when unset), so the validator can be shown to
// catch each.

#include <cstdlib>

#include "tests/host/FaultyPlugin.h"
#include "vst3/sdk/CPluginFactory.h"

#ifdef _WIN32
#define FAULTY_EXPORT extern "C" __declspec(dllexport)
#else
#define FAULTY_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace
{

Steinberg::FUnknown* CreateFaulty(void*)
{
  const char* name = std::getenv("THRUMWELL_FAULT");
  auto* plugin = new FaultyTest::FaultyPlugin(FaultyTest::FaultNamed(name ? name : ""));
  return static_cast<Steinberg::Vst::IAudioProcessor*>(plugin);
}

Steinberg::CPluginFactory* factory = nullptr;

}  // namespace

FAULTY_EXPORT Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory()
{
  using namespace Steinberg;
  if (!factory)
  {
    factory = new CPluginFactory(PFactoryInfo("Thrumwell tests", "", "", PFactoryInfo::kUnicode));
    const PClassInfo2 info(FUID(0x6661756C, 0x74790000, 0x00000000, 0x00000001), PClassInfo::kManyInstances,
                           Vst::kVstAudioEffectClass, "Faulty", 0, Vst::PlugType::kInstrument, "", "1.0.0",
                           "VST 3.6.5");
    factory->registerClass(&info, CreateFaulty);
  }
  factory->addRef();
  return factory;
}

// The entry and exit of both platforms; the exits release the factory.
FAULTY_EXPORT bool ModuleEntry(void*) { return true; }
FAULTY_EXPORT bool ModuleExit()
{
  if (factory)
    factory->release();
  factory = nullptr;
  return true;
}
FAULTY_EXPORT bool InitDll() { return true; }
FAULTY_EXPORT bool ExitDll() { return ModuleExit(); }
