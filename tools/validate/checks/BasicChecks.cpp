// The module as a host first meets it: the bundle on disk, the factory, the
// class information, the class ID, creating instances of every class, and
// the connection of the component with its controller.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cmake/ThrumwellVersion.h"
#include "host/HostUtf8.h"
#include "tools/validate/checks/CheckSupport.h"
#include "vst3/sdk/IMessage.h"
#include "vst3/sdk/IPtr.h"
#include "vst3/sdk/UString.h"

namespace HostTest
{
namespace {

// Connection is about our single-object design; the rest apply to any bundle.
[[maybe_unused]] const bool kRegistered = RegisterGroup("Bundle", 1, false) && RegisterGroup("Factory", 1, false) &&
                                          RegisterGroup("Classes", 1, false) && RegisterGroup("Connection", 1, true);

// Text of a class ID as moduleinfo.json writes it.
std::string CidText(const HostClassInfo& info)
{
  char8 text[33] = {};
  FUID::fromTUID(reinterpret_cast<const char8*>(info.cid.data())).toString(text);
  return text;
}

std::string ReadText(const std::string& path)
{
  std::ifstream in(ThrumwellHost::PathFromUtf8(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The module info is optional; where there is one it lists every class.
TEST(Bundle, HoldsTheBinaryAndAModuleInfoOfItsClasses)
{
  THRUMWELL_CHECK_GATE();
  ASSERT_FALSE(BundlePath().empty()) << "THRUMWELL_BUNDLE names the bundle";
  EXPECT_FALSE(ReadText(HostModule::BinaryPath(BundlePath())).empty()) << HostModule::BinaryPath(BundlePath());
  const std::string info = ReadText(BundlePath() + "/Contents/Resources/moduleinfo.json");
  if (info.empty())
    return;
  for (int i = 0; i < SharedModule().NClasses(); ++i)
  {
    HostClassInfo c;
    ASSERT_TRUE(SharedModule().GetClass(i, c));
    EXPECT_NE(info.find(CidText(c)), std::string::npos) << c.name << " is not in moduleinfo.json";
  }
}

TEST(Bundle, ModuleInfoNamesOurInstrument)
{
  THRUMWELL_CHECK_GATE();
  THRUMWELL_DESIGN_CHECK();
  const std::string info = ReadText(BundlePath() + "/Contents/Resources/moduleinfo.json");
  EXPECT_NE(info.find("\"Thrumwell\""), std::string::npos) << info;
  EXPECT_NE(info.find("F2AEE70D00DE4F4E5176726B337A626F"), std::string::npos) << info;
  EXPECT_NE(info.find("Audio Module Class"), std::string::npos) << info;
}

TEST(Bundle, LoadRefusesFoldersWithoutTheBinary)
{
  THRUMWELL_CHECK_GATE();
  HostModule module;
  EXPECT_FALSE(module.Load(BundlePath() + "/Contents/Nothing.vst3"));
  EXPECT_FALSE(module.Error().empty());
  EXPECT_FALSE(module.IsLoaded());
  EXPECT_EQ(module.NClasses(), 0);
}

TEST(Bundle, LoadsUnloadsAndLoadsAgain)
{
  THRUMWELL_CHECK_GATE();
  // The shared module goes first: a host holds a module loaded once, and the
  // module's exit call ends the factory of every load of it in the process.
  HostModule& module = SharedModule();
  const int classes = module.NClasses();
  module.Unload();
  for (int round = 0; round < 3; ++round)
  {
    ASSERT_TRUE(module.Load(BundlePath())) << module.Error();
    EXPECT_EQ(module.NClasses(), classes);
    HostPlugin plugin(module);
    EXPECT_TRUE(plugin.Create(ChosenClass())) << Lines(plugin.Violations());
    plugin.Destroy();
    EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
    module.Unload();
  }
  EXPECT_TRUE(SharedModule().IsLoaded());
}

TEST(Factory, DescribesTheVendorAndOneClass)
{
  THRUMWELL_CHECK_GATE();
  THRUMWELL_DESIGN_CHECK();
  HostModule& module = SharedModule();
  ASSERT_TRUE(module.IsLoaded()) << module.Error();
  PFactoryInfo info;
  ASSERT_EQ(module.Factory()->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Quorvik");
  EXPECT_STREQ(info.email, "");
  EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
  EXPECT_EQ(module.Factory()->countClasses(), 1);

  HostClassInfo c;
  ASSERT_TRUE(module.GetClass(0, c));
  EXPECT_EQ(c.cardinality, 0x7FFFFFFF);
  EXPECT_EQ(c.category, "Audio Module Class");
  EXPECT_EQ(c.name, "Thrumwell");
  EXPECT_EQ(c.classFlags, 2u);
  EXPECT_EQ(c.subCategories, "Instrument");
  EXPECT_EQ(c.vendor, "Quorvik");  // empty in the class: the factory's applies
  EXPECT_EQ(c.version, THRUMWELL_CLASS_VERSION);
  EXPECT_EQ(c.sdkVersion, "VST 3.6.5");
  EXPECT_FALSE(module.GetClass(1, c));
}

TEST(Factory, ClassIdIsTheSixteenBytesOfThisPlatform)
{
  THRUMWELL_CHECK_GATE();
  THRUMWELL_DESIGN_CHECK();
  HostClassInfo c;
  ASSERT_TRUE(SharedModule().GetClass(0, c));
#if defined(_WIN32)
  const std::array<std::uint8_t, 16> expected = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                                 0x51, 0x76, 0x72, 0x6B, 0x33, 0x7A, 0x62, 0x6F};
#else
  const std::array<std::uint8_t, 16> expected = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                                 0x51, 0x76, 0x72, 0x6B, 0x33, 0x7A, 0x62, 0x6F};
#endif
  EXPECT_EQ(c.cid, expected);
  char8 text[33] = {};
  FUID::fromTUID(reinterpret_cast<const char8*>(c.cid.data())).toString(text);
  EXPECT_STREQ(text, "F2AEE70D00DE4F4E5176726B337A626F");
}

TEST(Factory, EveryClassInfoVersionAgrees)
{
  THRUMWELL_CHECK_GATE();
  IPluginFactory* factory = SharedModule().Factory();
  ASSERT_NE(factory, nullptr);
  // The richer interfaces are optional; what they answer agrees.
  IPtr<IPluginFactory2> factory2 = FUnknownPtr<IPluginFactory2>(factory);
  IPtr<IPluginFactory3> factory3 = FUnknownPtr<IPluginFactory3>(factory);
  const int32 count = factory->countClasses();
  ASSERT_GE(count, 1);
  for (int32 i = 0; i < count; ++i)
  {
    PClassInfo plain;
    ASSERT_EQ(factory->getClassInfo(i, &plain), kResultOk);
    SCOPED_TRACE(plain.name);
    EXPECT_NE(plain.name[0], 0);
    EXPECT_NE(plain.category[0], 0);
    PClassInfo2 info2;
    if (factory2)
    {
      ASSERT_EQ(factory2->getClassInfo2(i, &info2), kResultOk);
      EXPECT_EQ(std::memcmp(plain.cid, info2.cid, 16), 0);
      EXPECT_STREQ(plain.name, info2.name);
      EXPECT_STREQ(plain.category, info2.category);
    }
    PClassInfoW infoW;
    if (factory3)
    {
      ASSERT_EQ(factory3->getClassInfoUnicode(i, &infoW), kResultOk);
      EXPECT_EQ(std::memcmp(plain.cid, infoW.cid, 16), 0);
      EXPECT_EQ(utf16ToUtf8(infoW.name), std::string(plain.name));
      if (factory2)
      {
        EXPECT_EQ(utf16ToUtf8(infoW.version), std::string(info2.version));
      }
    }
  }
  PClassInfo plain;
  EXPECT_NE(factory->getClassInfo(count, &plain), kResultOk);
  EXPECT_NE(factory->getClassInfo(-1, &plain), kResultOk);
}

TEST(Factory, EveryCallReturnsTheSameFactoryWithItsCountRaised)
{
  THRUMWELL_CHECK_GATE();
  HostModule& module = SharedModule();
  IPluginFactory* held = module.Factory();
  ASSERT_NE(held, nullptr);
  // addRef reports the count: one more after each GetPluginFactory call.
  const uint32 before = held->addRef();
  held->release();
  IPluginFactory* first = module.CallGetPluginFactory();
  IPluginFactory* second = module.CallGetPluginFactory();
  EXPECT_EQ(first, held);
  EXPECT_EQ(second, held);
  const uint32 after = held->addRef();
  held->release();
  EXPECT_EQ(after, before + 2);
  second->release();
  first->release();
  const uint32 restored = held->addRef();
  held->release();
  EXPECT_EQ(restored, before);
}

TEST(Factory, RefusesUnknownClassesAndInterfaces)
{
  THRUMWELL_CHECK_GATE();
  IPluginFactory* factory = SharedModule().Factory();
  HostClassInfo c;
  ASSERT_TRUE(SharedModule().GetClass(std::max(ChosenClass(), 0), c));
  const char8 unknown[16] = {1, 2, 3};
  void* obj = reinterpret_cast<void*>(1);
  EXPECT_NE(factory->createInstance(unknown, IComponent::iid.toTUIDPointer(), &obj), kResultOk);
  EXPECT_EQ(obj, nullptr);
  obj = reinterpret_cast<void*>(1);
  EXPECT_NE(factory->createInstance(reinterpret_cast<const char8*>(c.cid.data()), unknown, &obj), kResultOk);
  EXPECT_EQ(obj, nullptr);
}

TEST(Factory, InstancesAreIndependent)
{
  THRUMWELL_CHECK_GATE();
  HostPlugin a(SharedModule()), b(SharedModule());
  ASSERT_TRUE(a.Create(ChosenClass()));
  ASSERT_TRUE(b.Create(ChosenClass()));
  EXPECT_NE(a.Component(), b.Component());
  EXPECT_NE(a.Controller(), b.Controller());
  // A value set in one controller stays out of the other.
  for (const ParameterInfo& info : SettableParameters(a.Controller()))
  {
    const double other = info.defaultNormalizedValue < 0.5 ? 1.0 : 0.0;
    const double before = b.Controller()->getParamNormalized(info.id);
    ASSERT_EQ(a.Controller()->setParamNormalized(info.id, other), kResultOk);
    EXPECT_EQ(b.Controller()->getParamNormalized(info.id), before) << info.id;
  }
  a.Destroy();
  b.Destroy();
  EXPECT_TRUE(a.Violations().empty()) << Lines(a.Violations());
  EXPECT_TRUE(b.Violations().empty()) << Lines(b.Violations());
}

// Every audio module class of the bundle comes and goes as the chosen one
// does, and plays a block.
class Classes : public PluginTest
{
};

TEST_F(Classes, EveryAudioModuleClassIsCreatedProcessedAndReleased)
{
  HostModule& module = SharedModule();
  ASSERT_TRUE(module.IsLoaded()) << module.Error();
  int audioClasses = 0;
  for (int i = 0; i < module.NClasses(); ++i)
  {
    HostClassInfo info;
    ASSERT_TRUE(module.GetClass(i, info));
    if (info.category != kVstAudioEffectClass)
      continue;
    SCOPED_TRACE(info.name);
    ++audioClasses;
    HostPlugin plugin(module);
    ASSERT_TRUE(plugin.Create(i)) << Lines(plugin.Violations());
    EXPECT_TRUE(plugin.ActivateDefaultBuses());
    EXPECT_TRUE(plugin.SetupProcessing(44100, 256));
    EXPECT_TRUE(plugin.SetActive(true));
    EXPECT_TRUE(plugin.SetProcessing(true));
    EXPECT_TRUE(plugin.Process(256));
    plugin.Destroy();
    EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
  }
  EXPECT_GE(audioClasses, 1) << "the bundle has no audio module class";
}

// The controller is the component itself, or an instance of a controller
// class of the same factory that the component names; the two halves of a
// two-object plug-in answer IConnectionPoint.
TEST_F(Classes, TheControllerIsTheComponentOrAClassOfTheFactory)
{
  TUID cid = {};
  const tresult named = plugin->Component()->getControllerClassId(cid);
  if (!plugin->HasSeparateController())
  {
    void* obj = nullptr;
    ASSERT_EQ(plugin->Component()->queryInterface(IEditController::iid, &obj), kResultOk);
    EXPECT_EQ(obj, static_cast<void*>(plugin->Controller()));
    static_cast<FUnknown*>(obj)->release();
    return;
  }
  ASSERT_EQ(named, kResultOk);
  bool listed = false;
  for (int i = 0; i < SharedModule().NClasses(); ++i)
  {
    HostClassInfo info;
    if (SharedModule().GetClass(i, info) && std::memcmp(info.cid.data(), cid, 16) == 0)
    {
      listed = true;
      EXPECT_EQ(info.category, kVstComponentControllerClass) << info.name;
    }
  }
  EXPECT_TRUE(listed) << "the controller class is not in the factory's list";
  for (FUnknown* half : {static_cast<FUnknown*>(plugin->Component()), static_cast<FUnknown*>(plugin->Controller())})
  {
    void* point = nullptr;
    EXPECT_EQ(half->queryInterface(IConnectionPoint::iid, &point), kResultOk);
    if (point)
      static_cast<FUnknown*>(point)->release();
  }
}

class Connection : public PluginTest
{
};

TEST_F(Connection, AsksForTheHostNameAndAnswersTheHostsInterfaces)
{
  EXPECT_GE(plugin->Application().NameRequests(), 1);
  void* obj = nullptr;
  for (const FUID* iid : {&IAudioProcessor::iid, &IEditController::iid, &IEditController2::iid, &IUnitInfo::iid,
                          &IPluginBase::iid, &FUnknown::iid})
  {
    ASSERT_EQ(plugin->Component()->queryInterface(*iid, &obj), kResultOk) << FUID(*iid).getLong1();
    static_cast<FUnknown*>(obj)->release();
  }
  obj = nullptr;
  EXPECT_EQ(plugin->Component()->queryInterface(IPluginFactory::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
  // One object has no peer to connect to.
  EXPECT_EQ(plugin->Component()->queryInterface(IConnectionPoint::iid, &obj), kNoInterface);
}

TEST_F(Connection, ComponentDefaultsOfTheSdk)
{
  TUID cid = {};
  EXPECT_EQ(plugin->Component()->getControllerClassId(cid), kNotImplemented);
  EXPECT_EQ(plugin->Component()->setIoMode(kSimple), kNotImplemented);
  RoutingInfo in{}, out{};
  EXPECT_EQ(plugin->Component()->getRoutingInfo(in, out), kNotImplemented);
  EXPECT_EQ(plugin->Processor()->getLatencySamples(), 0u);
  EXPECT_EQ(plugin->Processor()->getTailSamples(), 0u);
  EXPECT_EQ(plugin->Processor()->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(plugin->Processor()->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(plugin->Processor()->canProcessSampleSize(2), kResultFalse);
  EXPECT_EQ(plugin->Controller()->createView("editr"), nullptr);
}

}  // namespace
}  // namespace HostTest
