// The built bundle loaded from disk as a host loads it: exports, factory and
// class information, the class ID bytes, instances, state and a few blocks.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/HostApplication.h"
#include "host/HostMemoryStream.h"
#include "tests/vst3/ModuleLibrary.h"
#include "vst3/sdk/IAudioProcessor.h"
#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/IPtr.h"
#include "vst3/sdk/IPlugView.h"
#include "vst3/sdk/IUnits.h"
#include "vst3/sdk/ProcessContext.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
std::string BundlePath()
{
  const char* path = std::getenv("THRUMWELL_VST3_BUNDLE");
  return path ? path : "";
}

class Module : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(library.IsLoaded()) << library.BinaryPath();
    ASSERT_TRUE(library.Enter());
    factory = IPtr<IPluginFactory>::adopt(library.GetFactory());
    ASSERT_TRUE(factory);
  }

  IPtr<IComponent> CreateComponent()
  {
    void* answer = nullptr;
    EXPECT_EQ(factory->createInstance(classId.data(), IComponent::iid, &answer), kResultOk);
    return IPtr<IComponent>::adopt(static_cast<IComponent*>(answer));
  }

  ModuleLibrary library{BundlePath()};
  IPtr<IPluginFactory> factory;
  const std::array<char, 16> classId = [] {
    const unsigned char windows[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                       0x51, 0x76, 0x72, 0x6B, 0x33, 0x7A, 0x62, 0x6F};
    const unsigned char others[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                      0x51, 0x76, 0x72, 0x6B, 0x33, 0x7A, 0x62, 0x6F};
    std::array<char, 16> bytes;
    std::memcpy(bytes.data(), kComCompatible ? windows : others, 16);
    return bytes;
  }();
};

TEST_F(Module, ExportsOnlyTheEntryPoints)
{
  const std::vector<std::string> expected =
      kComCompatible ? std::vector<std::string>{"ExitDll", "GetPluginFactory", "InitDll"}
                     : std::vector<std::string>{"GetPluginFactory", "ModuleEntry", "ModuleExit"};
  // Internal names a leaky build would show.
  const std::vector<std::string> candidates = {"GetPluginFactory", "ModuleEntry", "ModuleExit", "InitDll",
                                               "ExitDll", "DllMain", "_ZTV9IPlugVST3", "_ZTV13CLS_THRUMWELL"};
  std::vector<std::string> names = library.ExportedNames(candidates);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
}

TEST_F(Module, FactoryAndClassInformation)
{
  PFactoryInfo info;
  ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Quorvik");
  EXPECT_STREQ(info.email, "");
  EXPECT_EQ(info.flags, 0x10);
  ASSERT_EQ(factory->countClasses(), 1);

  FUnknownPtr<IPluginFactory2> factory2(factory.get());
  ASSERT_TRUE(factory2);
  PClassInfo2 cls;
  ASSERT_EQ(factory2->getClassInfo2(0, &cls), kResultOk);
  EXPECT_EQ(std::memcmp(cls.cid, classId.data(), 16), 0);
  EXPECT_EQ(cls.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(cls.category, "Audio Module Class");
  EXPECT_STREQ(cls.name, "Thrumwell");
  EXPECT_EQ(cls.classFlags, 2u);
  EXPECT_STREQ(cls.subCategories, "Instrument");
  EXPECT_STREQ(cls.vendor, "");
  EXPECT_STREQ(cls.version, "2.30.0");
  EXPECT_STREQ(cls.sdkVersion, "VST 3.6.5");

  FUnknownPtr<IPluginFactory3> factory3(factory.get());
  ASSERT_TRUE(factory3);
  PClassInfoW wide;
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &wide), kResultOk);
  EXPECT_EQ(std::u16string(wide.name), u"Thrumwell");
  char8 text[33];
  FUID::fromTUID(wide.cid).toString(text);
  EXPECT_STREQ(text, "F2AEE70D00DE4F4E5176726B337A626F");
}

TEST_F(Module, EveryFactoryCallHandsOutTheSameObjectWithAReference)
{
  IPluginFactory* again = library.GetFactory();
  EXPECT_EQ(again, factory.get());
  const uint32 before = factory->addRef();
  factory->release();
  IPluginFactory* third = library.GetFactory();
  EXPECT_EQ(factory->addRef(), before + 1);
  factory->release();
  third->release();
  again->release();
}

TEST_F(Module, CreatesInstancesAndRefusesUnknownClasses)
{
  void* answer = &answer;
  const char unknown[16] = {1};
  EXPECT_EQ(factory->createInstance(unknown, IComponent::iid, &answer), kNoInterface);
  EXPECT_EQ(answer, nullptr);

  IPtr<IComponent> first = CreateComponent();
  IPtr<IComponent> second = CreateComponent();
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(factory->createInstance(classId.data(), IPlugFrame::iid, &answer), kNoInterface);
}

TEST_F(Module, PlaysAndKeepsItsStateLikeAHostSeesIt)
{
  IPtr<IComponent> component = CreateComponent();
  ASSERT_TRUE(component);
  ThrumwellHost::HostApplication host(u"Thrumwell Render");
  ASSERT_EQ(component->initialize(static_cast<IHostApplication*>(&host)), kResultOk);
  FUnknownPtr<IEditController> controller(component.get());
  FUnknownPtr<IAudioProcessor> processor(component.get());
  FUnknownPtr<IUnitInfo> units(component.get());
  ASSERT_TRUE(controller && processor && units);

  ASSERT_EQ(controller->getParameterCount(), 13);
  ParameterInfo presets{};
  ASSERT_EQ(controller->getParameterInfo(0, presets), kResultTrue);
  EXPECT_EQ(std::u16string(presets.title), u"Presets");
  EXPECT_EQ(presets.stepCount, 129);
  ProgramListInfo list{};
  ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.programCount, 130);

  ThrumwellHost::HostMemoryStream state;
  ASSERT_EQ(component->getState(&state), kResultOk);
  ASSERT_EQ(state.Bytes().size(), 96u);
  state.Rewind();
  state.SetFailPastEnd(true);
  EXPECT_EQ(component->setState(&state), kResultOk);
  ThrumwellHost::HostMemoryStream again;
  component->getState(&again);
  EXPECT_EQ(again.Bytes(), state.Bytes());

  for (int32 size : {int32(kSample32), int32(kSample64)})
  {
    ProcessSetup setup{kRealtime, size, 256, 44100.0};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
    component->activateBus(kAudio, kOutput, 0, 1);
    ASSERT_EQ(component->setActive(1), kResultOk);
    std::vector<double> left64(256), right64(256);
    std::vector<float> left32(256), right32(256);
    double* outs64[2] = {left64.data(), right64.data()};
    float* outs32[2] = {left32.data(), right32.data()};
    AudioBusBuffers out{};
    out.numChannels = 2;
    if (size == kSample64)
      out.channelBuffers64 = outs64;
    else
      out.channelBuffers32 = outs32;
    ProcessContext transport{};
    transport.state = ProcessContext::kPlaying | ProcessContext::kTempoValid;
    transport.sampleRate = 44100.0;
    transport.tempo = 120.0;
    ProcessData data{};
    data.symbolicSampleSize = size;
    data.numSamples = 256;
    data.numOutputs = 1;
    data.outputs = &out;
    data.processContext = &transport;
    for (int block = 0; block < 8; ++block)
    {
      ASSERT_EQ(processor->process(data), kResultOk);
      transport.projectTimeSamples += 256;
    }
    for (int i = 0; i < 256; ++i)
    {
      const double l = size == kSample64 ? left64[i] : left32[i];
      const double r = size == kSample64 ? right64[i] : right32[i];
      ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << i;
    }
    component->setActive(0);
  }
  EXPECT_EQ(component->terminate(), kResultOk);
}

TEST_F(Module, EditorViewReportsTheEditorSize)
{
  IPtr<IComponent> component = CreateComponent();
  ASSERT_TRUE(component);
  ASSERT_EQ(component->initialize(nullptr), kResultOk);
  FUnknownPtr<IEditController> controller(component.get());
  ASSERT_TRUE(controller);
  auto view = IPtr<IPlugView>::adopt(controller->createView("editor"));
  ASSERT_TRUE(view);
  ViewRect rect;
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.getWidth(), 368);
  EXPECT_EQ(rect.getHeight(), 370);
#if defined(_WIN32)
  const FIDString own = kPlatformTypeHWND, other = kPlatformTypeX11EmbedWindowID;
#else
  const FIDString own = kPlatformTypeX11EmbedWindowID, other = kPlatformTypeHWND;
#endif
  EXPECT_EQ(view->isPlatformTypeSupported(own), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND2"), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(other), kResultFalse);
  EXPECT_EQ(view->canResize(), kResultFalse);
  view.reset();
  EXPECT_EQ(component->terminate(), kResultOk);
}

TEST_F(Module, BundleCarriesModuleInfo)
{
  std::ifstream file(BundlePath() + "/Contents/Resources/moduleinfo.json");
  ASSERT_TRUE(file.good());
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("\"CID\": \"F2AEE70D00DE4F4E5176726B337A626F\""), std::string::npos);
  EXPECT_NE(text.str().find("\"Sub Categories\": [\"Instrument\"]"), std::string::npos);
  // The bundle, the factory and the packages name one version.
  EXPECT_NE(text.str().find("\"Version\": \"2.30.0\""), std::string::npos);
}
}  // namespace

// A second load of the module in the same process, entered and exited on its
// own, must leave the first load's factory working.
TEST_F(Module, SecondLoadAndUnloadKeepsTheFirstFactory)
{
  {
    ModuleLibrary second{BundlePath()};
    ASSERT_TRUE(second.IsLoaded());
    ASSERT_TRUE(second.Enter());
    auto secondFactory = IPtr<IPluginFactory>::adopt(second.GetFactory());
    ASSERT_TRUE(secondFactory);
  }
  PFactoryInfo info{};
  EXPECT_EQ(factory->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Quorvik");
  EXPECT_EQ(factory->countClasses(), 1);
  auto component = CreateComponent();
  EXPECT_TRUE(component);
  // Still the one factory of this module, not a new one.
  auto again = IPtr<IPluginFactory>::adopt(library.GetFactory());
  EXPECT_EQ(again.get(), factory.get());
}
