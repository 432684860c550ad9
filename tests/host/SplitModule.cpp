// The two-object effect as a module: a stereo and a mono component class
// sharing one controller class, the fault chosen by THRUMWELL_FAULT as in the
// faulty bundle.
//
// Like many plug-ins, the module keeps objects of static storage that its
// exit still needs. A host that unloads the module only from a static
// destructor of its own calls the exit after those objects are gone; this
// module then stops the process with a message, so that such a host is caught
// on every platform and in every build.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/host/SplitPlugin.h"
#include "vst3/sdk/CPluginFactory.h"

#ifdef _WIN32
#define SPLIT_EXPORT extern "C" __declspec(dllexport)
#else
#define SPLIT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace
{

using namespace Steinberg;
using namespace SplitTest;

FaultyTest::Fault ChosenFault()
{
  const char* name = std::getenv("THRUMWELL_FAULT");
  return FaultyTest::FaultNamed(name ? name : "");
}

FUnknown* CreateStereo(void*) { return static_cast<Vst::IAudioProcessor*>(new SplitComponent(2, ChosenFault())); }
FUnknown* CreateMono(void*) { return static_cast<Vst::IAudioProcessor*>(new SplitComponent(1, ChosenFault())); }
FUnknown* CreateController(void*) { return static_cast<Vst::IEditController*>(new SplitController()); }

// Set once the static objects below are destroyed; a plain flag, readable
// after that.
bool staticsGone = false;

// The names of the classes, kept for the module's lifetime as a plug-in
// keeps its registry.
struct ModuleStatics
{
  std::vector<std::string> classNames{"Split Gain", "Split Gain Controller", "Split Gain Mono"};
  ~ModuleStatics() { staticsGone = true; }
} statics;

CPluginFactory* factory = nullptr;

}  // namespace

SPLIT_EXPORT IPluginFactory* PLUGIN_API GetPluginFactory()
{
  if (!factory)
  {
    factory = new CPluginFactory(PFactoryInfo("Thrumwell tests", "", "", PFactoryInfo::kUnicode));
    const struct
    {
      const FUID& cid;
      const char8* category;
      const char8* subCategories;
      CPluginFactory::CreateFunction create;
    } classes[] = {
      {kStereoClass, Vst::kVstAudioEffectClass, Vst::PlugType::kFx, CreateStereo},
      {kControllerClass, Vst::kVstComponentControllerClass, "", CreateController},
      {kMonoClass, Vst::kVstAudioEffectClass, Vst::PlugType::kFx, CreateMono},
    };
    for (std::size_t i = 0; i < statics.classNames.size(); ++i)
    {
      const PClassInfo2 info(classes[i].cid, PClassInfo::kManyInstances, classes[i].category,
                             statics.classNames[i].c_str(), 0, classes[i].subCategories, "", "1.0.0",
                             Vst::kVstVersionString);
      factory->registerClass(&info, classes[i].create);
    }
  }
  factory->addRef();
  return factory;
}

// The entry and exit of both platforms; the exits release the factory.
SPLIT_EXPORT bool ModuleEntry(void*) { return true; }
SPLIT_EXPORT bool ModuleExit()
{
  if (staticsGone)
  {
    std::fprintf(stderr, "Split: module exit called after the module's static objects were destroyed\n");
    std::abort();
  }
  if (factory)
    factory->release();
  factory = nullptr;
  return true;
}
SPLIT_EXPORT bool InitDll() { return true; }
SPLIT_EXPORT bool ExitDll() { return ModuleExit(); }
