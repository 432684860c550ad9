#include "vst3/sdk/CPluginFactory.h"
#include "vst3/sdk/FObject.h"
#include "vst3/sdk/IComponent.h"
#include "vst3/sdk/IPlugView.h"
#include "vst3/sdk/IPtr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;

namespace {

const FUID kClassId(0xF2AEE70D, 0x00DE4F4E, 0x5176726B, 0x337A626F);
const FUID kOtherClassId(1, 2, 3, 4);

int liveObjects = 0;

class Created : public FObject {
public:
  Created() { ++liveObjects; }
  ~Created() override { --liveObjects; }
};

FUnknown* createObject(void*) {
  return static_cast<IDependent*>(new Created);
}

FUnknown* createNothing(void*) {
  return nullptr;
}

IPtr<CPluginFactory> makeFactory() {
  auto factory =
      IPtr<CPluginFactory>::adopt(new CPluginFactory(PFactoryInfo("Quorvik", "https://example.org", "", 0x10)));
  const PClassInfo2 info(kClassId, PClassInfo::kManyInstances, "Audio Module Class", "Thrumwell",
                         Vst::kSimpleModeSupported, "Instrument", "", "2.3.0", "VST 3.6.5");
  EXPECT_TRUE(factory->registerClass(&info, createObject));
  return factory;
}

TEST(CPluginFactory, ReportsFactoryAndClassInformation) {
  auto factory = makeFactory();
  PFactoryInfo factoryInfo;
  EXPECT_EQ(factory->getFactoryInfo(&factoryInfo), kResultOk);
  EXPECT_STREQ(factoryInfo.vendor, "Quorvik");
  EXPECT_EQ(factoryInfo.flags, PFactoryInfo::kUnicode);
  EXPECT_EQ(factory->getFactoryInfo(nullptr), kResultOk);
  ASSERT_EQ(factory->countClasses(), 1);

  PClassInfo info;
  ASSERT_EQ(factory->getClassInfo(0, &info), kResultOk);
  EXPECT_EQ(FUID::fromTUID(info.cid), kClassId);
  EXPECT_EQ(info.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "Thrumwell");

  PClassInfo2 info2;
  ASSERT_EQ(factory->getClassInfo2(0, &info2), kResultOk);
  EXPECT_EQ(info2.classFlags, 2u);
  EXPECT_STREQ(info2.subCategories, "Instrument");
  EXPECT_STREQ(info2.vendor, "");
  EXPECT_STREQ(info2.version, "2.3.0");
  EXPECT_STREQ(info2.sdkVersion, "VST 3.6.5");

  PClassInfoW wide;
  ASSERT_EQ(factory->getClassInfoUnicode(0, &wide), kResultOk);
  EXPECT_EQ(std::u16string(wide.name), u"Thrumwell");
  EXPECT_EQ(std::u16string(wide.version), u"2.3.0");
  EXPECT_STREQ(wide.subCategories, "Instrument");
  EXPECT_EQ(FUID::fromTUID(wide.cid), kClassId);

  EXPECT_EQ(factory->getClassInfo(1, &info), kInvalidArgument);
  EXPECT_EQ(factory->getClassInfo2(-1, &info2), kInvalidArgument);
  EXPECT_EQ(factory->getClassInfoUnicode(0, nullptr), kInvalidArgument);
}

TEST(CPluginFactory, AnswersTheFactoryInterfacesWithOnePointer) {
  auto factory = makeFactory();
  for (const FUID* iid : {&FUnknown::iid, &IPluginFactory::iid, &IPluginFactory2::iid, &IPluginFactory3::iid}) {
    void* answer = nullptr;
    ASSERT_EQ(factory->queryInterface(*iid, &answer), kResultOk);
    EXPECT_EQ(answer, static_cast<IPluginFactory3*>(factory.get()));
    factory->release();
  }
  void* answer = &answer;
  EXPECT_EQ(factory->queryInterface(Vst::IComponent::iid, &answer), kNoInterface);
  EXPECT_EQ(answer, nullptr);
}

TEST(CPluginFactory, CreatesInstancesOwnedByTheCaller) {
  auto factory = makeFactory();
  void* answer = nullptr;
  ASSERT_EQ(factory->createInstance(kClassId, IDependent::iid, &answer), kResultOk);
  auto* object = static_cast<IDependent*>(answer);
  EXPECT_EQ(liveObjects, 1);
  EXPECT_EQ(object->release(), 0u);
  EXPECT_EQ(liveObjects, 0);

  struct Failure {
    const char* what;
    const char8* cid;
    const char8* iid;
  };
  const Failure failures[] = {{"unknown class", kOtherClassId, IDependent::iid},
                              {"unanswered interface", kClassId, IPlugView::iid},
                              {"null class", nullptr, IDependent::iid}};
  for (const Failure& failure : failures) {
    answer = &answer;
    EXPECT_EQ(factory->createInstance(failure.cid, failure.iid, &answer), kNoInterface) << failure.what;
    EXPECT_EQ(answer, nullptr) << failure.what;
    EXPECT_EQ(liveObjects, 0) << failure.what;
  }

  const PClassInfo empty(kOtherClassId, 1, "Audio Module Class", "Empty");
  ASSERT_TRUE(factory->registerClass(&empty, createNothing));
  answer = &answer;
  EXPECT_EQ(factory->createInstance(kOtherClassId, FUnknown::iid, &answer), kNoInterface);
  EXPECT_EQ(answer, nullptr);
}

TEST(CPluginFactory, RegistrationForms) {
  auto factory = makeFactory();
  EXPECT_FALSE(factory->registerClass(static_cast<const PClassInfo2*>(nullptr), createObject));
  const PClassInfo plain(kOtherClassId, 1, "Audio Module Class", "Plain");
  EXPECT_FALSE(factory->registerClass(&plain, nullptr));
  ASSERT_TRUE(factory->registerClass(&plain, createObject));
  PClassInfo2 info2;
  ASSERT_EQ(factory->getClassInfo2(1, &info2), kResultOk);
  EXPECT_EQ(info2.classFlags, 0u);
  EXPECT_STREQ(info2.sdkVersion, "");

  PClassInfoW wide;
  wide.cardinality = 1;
  FUID(5, 6, 7, 8).toTUID(wide.cid);
  strncpy16(wide.name, u"Wide \u00E9", PClassInfoW::kNameSize);
  ASSERT_TRUE(factory->registerClass(&wide, createObject));
  EXPECT_TRUE(factory->isClassRegistered(FUID(5, 6, 7, 8)));
  PClassInfo info;
  EXPECT_EQ(factory->getClassInfo(2, &info), kResultFalse);
  EXPECT_EQ(factory->getClassInfo2(2, &info2), kResultFalse);
  PClassInfoW back;
  ASSERT_EQ(factory->getClassInfoUnicode(2, &back), kResultOk);
  EXPECT_EQ(std::u16string(back.name), u"Wide \u00E9");
}

class RunLoop : public Linux::IRunLoop {
public:
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (queryInterfaceAs<Linux::IRunLoop>(this, iid, obj))
      return kResultOk;
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++count; }
  uint32 PLUGIN_API release() override { return --count; }
  tresult PLUGIN_API registerEventHandler(Linux::IEventHandler*, Linux::FileDescriptor) override {
    return kNotImplemented;
  }
  tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler*) override { return kNotImplemented; }
  tresult PLUGIN_API registerTimer(Linux::ITimerHandler*, Linux::TimerInterval) override { return kNotImplemented; }
  tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler*) override { return kNotImplemented; }
  uint32 count = 1;
};

TEST(CPluginFactory, HostContextKeepsTheLinuxRunLoop) {
  RunLoop runLoop;
  {
    auto factory = makeFactory();
    if (kComCompatible) {
      EXPECT_EQ(factory->setHostContext(&runLoop), kNotImplemented);
      EXPECT_EQ(factory->getHostRunLoop(), nullptr);
    } else {
      EXPECT_EQ(factory->setHostContext(&runLoop), kResultTrue);
      EXPECT_NE(factory->getHostRunLoop(), nullptr);
      EXPECT_EQ(runLoop.count, 2u);
      EXPECT_EQ(factory->setHostContext(nullptr), kResultTrue);
      EXPECT_EQ(factory->getHostRunLoop(), nullptr);
      EXPECT_EQ(factory->setHostContext(&runLoop), kResultTrue);
    }
  }
  EXPECT_EQ(runLoop.count, 1u);
}

} // namespace
