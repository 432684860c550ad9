#include "vst3/sdk/IBStream.h"
#include "vst3/sdk/IUnits.h"
#include "vst3/sdk/SingleComponentEffect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// An instrument as the binding builds one: buses and parameters are created
// in initialize.
class Instrument : public SingleComponentEffect {
public:
  explicit Instrument(bool* destroyed = nullptr) : destroyed_(destroyed) {}
  ~Instrument() override {
    if (destroyed_)
      *destroyed_ = true;
  }

  tresult PLUGIN_API initialize(FUnknown* context) override {
    const tresult result = SingleComponentEffect::initialize(context);
    if (result != kResultOk)
      return result;
    addAudioInput(u"Main Input", SpeakerArr::kStereo);
    addAudioOutput(u"Output 1", SpeakerArr::kStereo);
    addEventInput(u"MIDI Input", 1);
    parameters.addParameter(u"Frequency", u"Hz", 0, 0.5);
    parameters.addParameter(u"Volume", u"%", 0, 0.9);
    return kResultOk;
  }

  tresult setProcessorState(IBStream*) override {
    last = "processor set";
    return kResultOk;
  }
  tresult getProcessorState(IBStream*) override {
    last = "processor get";
    return kResultOk;
  }
  tresult setEditorState(IBStream*) override {
    last = "editor set";
    return kResultOk;
  }
  tresult getEditorState(IBStream*) override {
    last = "editor get";
    return kResultOk;
  }

  using SingleComponentEffect::processSetup;
  std::string last;

private:
  bool* destroyed_;
};

template <class I>
IPtr<I> query(FUnknown* object) {
  return FUnknownPtr<I>(object);
}

class SingleComponentEffectTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(instrument->initialize(nullptr), kResultOk);
    component = query<IComponent>(unknown());
    controller = query<IEditController>(unknown());
    processor = query<IAudioProcessor>(unknown());
    ASSERT_TRUE(component && controller && processor);
  }
  void TearDown() override {
    if (component)
      component->terminate();
  }
  FUnknown* unknown() { return static_cast<IComponent*>(instrument.get()); }

  IPtr<Instrument> instrument = IPtr<Instrument>::adopt(new Instrument);
  IPtr<IComponent> component;
  IPtr<IEditController> controller;
  IPtr<IAudioProcessor> processor;
};

TEST_F(SingleComponentEffectTest, AnswersItsInterfacesWithOneCount) {
  const FUID* answered[] = {&IComponent::iid,      &IAudioProcessor::iid, &IEditController::iid,
                            &IEditController2::iid, &IProcessContextRequirements::iid,
                            &IPluginBase::iid,      &FUnknown::iid,        &IDependent::iid};
  const uint32 before = instrument->getRefCount();
  for (const FUID* iid : answered) {
    void* answer = nullptr;
    ASSERT_EQ(unknown()->queryInterface(*iid, &answer), kResultOk);
    EXPECT_EQ(instrument->getRefCount(), before + 1);
    static_cast<FUnknown*>(answer)->release();
  }
  void* answer = this;
  EXPECT_EQ(unknown()->queryInterface(IConnectionPoint::iid, &answer), kNoInterface);
  EXPECT_EQ(answer, nullptr);
  EXPECT_EQ(unknown()->queryInterface(IUnitInfo::iid, &answer), kNoInterface);
  EXPECT_EQ(instrument->getRefCount(), before);
}

TEST_F(SingleComponentEffectTest, TheTwoStateSlotPairsReachDistinctCode) {
  component->setState(nullptr);
  EXPECT_EQ(instrument->last, "processor set");
  component->getState(nullptr);
  EXPECT_EQ(instrument->last, "processor get");
  controller->setState(nullptr);
  EXPECT_EQ(instrument->last, "editor set");
  controller->getState(nullptr);
  EXPECT_EQ(instrument->last, "editor get");

  // The same through the raw vtables, as a host built elsewhere calls them:
  // IComponent slots 12/13, IEditController slots 6/7.
  using StateCall = tresult(PLUGIN_API*)(void*, IBStream*);
  auto callSlot = [](void* object, int slot) {
    void** vtable = *static_cast<void***>(object);
    return reinterpret_cast<StateCall>(vtable[slot])(object, nullptr);
  };
  EXPECT_EQ(callSlot(component.get(), 12), kResultOk);
  EXPECT_EQ(instrument->last, "processor set");
  EXPECT_EQ(callSlot(controller.get(), 7), kResultOk);
  EXPECT_EQ(instrument->last, "editor get");
  EXPECT_EQ(callSlot(component.get(), 13), kResultOk);
  EXPECT_EQ(instrument->last, "processor get");
  EXPECT_EQ(callSlot(controller.get(), 6), kResultOk);
  EXPECT_EQ(instrument->last, "editor set");
}

TEST_F(SingleComponentEffectTest, TerminateThenInitializeRebuildsWithoutDuplicates) {
  for (int cycle = 0; cycle < 3; ++cycle) {
    SCOPED_TRACE(cycle);
    EXPECT_EQ(component->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(component->getBusCount(kEvent, kInput), 1);
    EXPECT_EQ(component->getBusCount(kEvent, kOutput), 0);
    EXPECT_EQ(controller->getParameterCount(), 2);
    EXPECT_EQ(component->terminate(), kResultOk);
    EXPECT_EQ(controller->getParameterCount(), 0);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 0);
    // Both initialize slots reach the same code.
    EXPECT_EQ((cycle % 2 ? static_cast<IPluginBase*>(controller.get()) : component.get())->initialize(nullptr),
              kResultOk);
  }
  EXPECT_EQ(controller->initialize(nullptr), kResultFalse);
  EXPECT_EQ(controller->getParameterCount(), 2);
}

TEST_F(SingleComponentEffectTest, BusQueriesCheckTypeDirectionAndIndex) {
  BusInfo info;
  std::memset(&info, 0, sizeof(info));
  ASSERT_EQ(component->getBusInfo(kEvent, kInput, 0, info), kResultTrue);
  EXPECT_EQ(info.mediaType, kEvent);
  EXPECT_EQ(info.direction, kInput);
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_EQ(std::u16string(info.name), u"MIDI Input");

  struct Bad {
    MediaType type;
    BusDirection dir;
    int32 index;
  };
  const Bad bad[] = {{kAudio, kOutput, 1}, {kAudio, kOutput, -1}, {kEvent, kOutput, 0}, {7, kInput, 0},
                     {kAudio, 5, 0}};
  for (const Bad& call : bad) {
    EXPECT_EQ(component->getBusInfo(call.type, call.dir, call.index, info), kInvalidArgument);
    EXPECT_EQ(component->activateBus(call.type, call.dir, call.index, 1), kInvalidArgument);
  }
  EXPECT_EQ(component->getBusCount(7, kInput), 0);

  EXPECT_EQ(component->activateBus(kAudio, kOutput, 0, 1), kResultTrue);
  EXPECT_TRUE(instrument->getBusList(kAudio, kOutput)->at(0)->isActive());
  EXPECT_EQ(component->activateBus(kAudio, kOutput, 0, 0), kResultTrue);
  EXPECT_FALSE(instrument->getBusList(kAudio, kOutput)->at(0)->isActive());
}

TEST_F(SingleComponentEffectTest, DefaultArrangementHandling) {
  SpeakerArrangement mono = SpeakerArr::kMono;
  SpeakerArrangement two[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
  EXPECT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
  SpeakerArrangement arrangement = 0;
  EXPECT_EQ(processor->getBusArrangement(kOutput, 0, arrangement), kResultTrue);
  EXPECT_EQ(arrangement, SpeakerArr::kMono);
  BusInfo info{};
  component->getBusInfo(kAudio, kOutput, 0, info);
  EXPECT_EQ(info.channelCount, 1);

  EXPECT_EQ(processor->setBusArrangements(two, 2, two, 1), kResultFalse);
  EXPECT_EQ(processor->setBusArrangements(two, -1, two, 1), kInvalidArgument);
  EXPECT_EQ(processor->setBusArrangements(nullptr, 1, two, 1), kInvalidArgument);
  EXPECT_EQ(processor->getBusArrangement(kOutput, 1, arrangement), kInvalidArgument);
  EXPECT_EQ(processor->getBusArrangement(kInput, -1, arrangement), kInvalidArgument);
}

TEST_F(SingleComponentEffectTest, ProcessingDefaults) {
  ProcessSetup setup{kOffline, kSample64, 512, 48000.};
  EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultFalse);
  EXPECT_EQ(processor->setupProcessing(setup), kResultFalse);
  EXPECT_EQ(instrument->processSetup.sampleRate, 44100.);
  setup.symbolicSampleSize = kSample32;
  EXPECT_EQ(processor->setupProcessing(setup), kResultOk);
  EXPECT_EQ(instrument->processSetup.maxSamplesPerBlock, 512);

  TUID cid;
  EXPECT_EQ(component->getControllerClassId(cid), kNotImplemented);
  EXPECT_EQ(component->setIoMode(kAdvanced), kNotImplemented);
  EXPECT_EQ(component->setActive(1), kResultOk);
  EXPECT_EQ(processor->setProcessing(1), kNotImplemented);
  EXPECT_EQ(processor->getTailSamples(), kNoTail);
  EXPECT_EQ(processor->getLatencySamples(), 0u);
  EXPECT_EQ(query<IProcessContextRequirements>(unknown())->getProcessContextRequirements(), 0u);
}

TEST_F(SingleComponentEffectTest, ControllerAnswersOverItsParameters) {
  ParameterInfo info;
  ASSERT_EQ(controller->getParameterInfo(1, info), kResultTrue);
  EXPECT_EQ(std::u16string(info.title), u"Volume");
  EXPECT_EQ(controller->getParameterInfo(2, info), kResultFalse);
  EXPECT_EQ(controller->getParameterInfo(-1, info), kResultFalse);

  EXPECT_EQ(controller->getParamNormalized(1), 0.9);
  EXPECT_EQ(controller->setParamNormalized(1, 2.0), kResultTrue);
  EXPECT_EQ(controller->getParamNormalized(1), 1.0);
  EXPECT_EQ(controller->setParamNormalized(99, 0.5), kResultFalse);
  EXPECT_EQ(controller->getParamNormalized(99), 0.0);
  EXPECT_EQ(controller->normalizedParamToPlain(99, 0.3), 0.3);
  EXPECT_EQ(controller->plainParamToNormalized(99, 42.), 42.);

  String128 text;
  EXPECT_EQ(controller->getParamStringByValue(0, 0.5, text), kResultTrue);
  EXPECT_EQ(std::u16string(text), u"0.5000");
  EXPECT_EQ(controller->getParamStringByValue(99, 0.5, text), kResultFalse);
  ParamValue value;
  TChar input[] = u"0.25";
  EXPECT_EQ(controller->getParamValueByString(0, input, value), kResultTrue);
  EXPECT_EQ(value, 0.25);
  EXPECT_EQ(controller->getParamValueByString(99, input, value), kResultFalse);

  EXPECT_EQ(controller->setComponentState(nullptr), kNotImplemented);
  EXPECT_EQ(controller->createView(ViewType::kEditor), nullptr);
  auto controller2 = query<IEditController2>(unknown());
  EXPECT_EQ(controller2->setKnobMode(kLinearMode), kResultTrue);
  EXPECT_EQ(EditController::getHostKnobMode(), kLinearMode);
  EXPECT_EQ(controller2->openHelp(0), kResultFalse);
}

// A host component handler that records the edits it receives.
class Handler : public IComponentHandler, public IComponentHandler2 {
public:
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (queryInterfaceAs<IComponentHandler>(this, iid, obj) || queryInterfaceAs<IComponentHandler2>(this, iid, obj))
      return kResultOk;
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++count; }
  uint32 PLUGIN_API release() override { return --count; }
  tresult PLUGIN_API beginEdit(ParamID id) override { return record("begin", id); }
  tresult PLUGIN_API performEdit(ParamID id, ParamValue) override { return record("perform", id); }
  tresult PLUGIN_API endEdit(ParamID id) override { return record("end", id); }
  tresult PLUGIN_API restartComponent(int32 flags) override { return record("restart", ParamID(flags)); }
  tresult PLUGIN_API setDirty(TBool) override { return record("dirty", 0); }
  tresult PLUGIN_API requestOpenEditor(FIDString) override { return record("open", 0); }
  tresult PLUGIN_API startGroupEdit() override { return record("group", 0); }
  tresult PLUGIN_API finishGroupEdit() override { return record("ungroup", 0); }

  tresult record(const char* what, ParamID id) {
    log += what + std::to_string(id) + " ";
    return kResultOk;
  }
  uint32 count = 1;
  std::string log;
};

TEST_F(SingleComponentEffectTest, EditsGoToTheComponentHandlerWhenOneIsSet) {
  EXPECT_EQ(instrument->beginEdit(1), kResultFalse);
  EXPECT_EQ(instrument->startGroupEdit(), kNotImplemented);

  Handler handler;
  EXPECT_EQ(controller->setComponentHandler(&handler), kResultTrue);
  EXPECT_EQ(handler.count, 3u);
  EXPECT_EQ(controller->setComponentHandler(&handler), kResultTrue);
  EXPECT_EQ(handler.count, 3u);
  instrument->beginEdit(1);
  instrument->performEdit(1, 0.5);
  instrument->endEdit(1);
  instrument->startGroupEdit();
  instrument->setDirty(1);
  EXPECT_EQ(handler.log, "begin1 perform1 end1 group0 dirty0 ");

  EXPECT_EQ(controller->setComponentHandler(nullptr), kResultTrue);
  EXPECT_EQ(handler.count, 1u);

  controller->setComponentHandler(&handler);
  EXPECT_EQ(component->terminate(), kResultOk);
  EXPECT_EQ(handler.count, 1u);
  EXPECT_EQ(instrument->performEdit(1, 0.5), kResultFalse);
}

} // namespace
