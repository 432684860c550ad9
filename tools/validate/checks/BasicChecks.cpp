// The module as a host first meets it: the bundle on disk, the factory, the
// class information, the class ID, and creating instances.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "cmake/ThrumwellVersion.h"
#include "tools/validate/checks/CheckSupport.h"
#include "vst3/sdk/IMessage.h"
#include "vst3/sdk/IPtr.h"
#include "vst3/sdk/UString.h"

namespace HostTest
{
namespace {

// Groups about our instrument's own design; they skip other bundles.
[[maybe_unused]] const bool kRegistered = RegisterGroup("Bundle", 1, true) && RegisterGroup("Factory", 1, true) && RegisterGroup("Connection", 1, true);

std::string ReadText(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Bundle, HoldsTheBinaryAndItsModuleInfo)
{
  THRUMWELL_CHECK_GATE();
  ASSERT_FALSE(BundlePath().empty()) << "THRUMWELL_BUNDLE names the bundle";
  EXPECT_FALSE(ReadText(HostModule::BinaryPath(BundlePath())).empty()) << HostModule::BinaryPath(BundlePath());
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
  module.Unload();
  for (int round = 0; round < 3; ++round)
  {
    ASSERT_TRUE(module.Load(BundlePath())) << module.Error();
    EXPECT_EQ(module.NClasses(), 1);
    HostPlugin plugin(module);
    EXPECT_TRUE(plugin.Create()) << Lines(plugin.Violations());
    plugin.Destroy();
    EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
    module.Unload();
  }
  EXPECT_TRUE(SharedModule().IsLoaded());
}

TEST(Factory, DescribesTheVendorAndOneClass)
{
  THRUMWELL_CHECK_GATE();
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
  PClassInfo plain;
  ASSERT_EQ(factory->getClassInfo(0, &plain), kResultOk);
  IPtr<IPluginFactory2> factory2 = FUnknownPtr<IPluginFactory2>(factory);
  IPtr<IPluginFactory3> factory3 = FUnknownPtr<IPluginFactory3>(factory);
  ASSERT_TRUE(factory2);
  ASSERT_TRUE(factory3);
  PClassInfo2 info2;
  PClassInfoW infoW;
  ASSERT_EQ(factory2->getClassInfo2(0, &info2), kResultOk);
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &infoW), kResultOk);
  EXPECT_EQ(std::memcmp(plain.cid, info2.cid, 16), 0);
  EXPECT_EQ(std::memcmp(plain.cid, infoW.cid, 16), 0);
  EXPECT_STREQ(plain.name, info2.name);
  EXPECT_EQ(utf16ToUtf8(infoW.name), std::string(info2.name));
  EXPECT_EQ(utf16ToUtf8(infoW.version), std::string(info2.version));
  EXPECT_NE(factory->getClassInfo(1, &plain), kResultOk);
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
  ASSERT_TRUE(SharedModule().GetClass(0, c));
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
  ASSERT_TRUE(a.Create());
  ASSERT_TRUE(b.Create());
  EXPECT_NE(a.Component(), b.Component());
  ASSERT_EQ(a.Controller()->setParamNormalized(kVolume, 0.25), kResultOk);
  EXPECT_DOUBLE_EQ(b.Controller()->getParamNormalized(kVolume), 0.9);
  a.Destroy();
  b.Destroy();
  EXPECT_TRUE(a.Violations().empty()) << Lines(a.Violations());
  EXPECT_TRUE(b.Violations().empty()) << Lines(b.Violations());
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
