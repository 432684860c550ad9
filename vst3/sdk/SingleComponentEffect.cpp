#include "vst3/sdk/SingleComponentEffect.h"

namespace Steinberg {
namespace Vst {

SingleComponentEffect::SingleComponentEffect() : processSetup{kRealtime, kSample32, 1024, 44100.0} {}

tresult PLUGIN_API SingleComponentEffect::queryInterface(const TUID iid, void** obj) {
  if (iidEqual(iid, IConnectionPoint::iid)) {
    *obj = nullptr;
    return kNoInterface;
  }
  if (queryInterfaceAs<IComponent>(this, iid, obj) || queryInterfaceAs<IAudioProcessor>(this, iid, obj) ||
      queryInterfaceAs<IProcessContextRequirements>(this, iid, obj))
    return kResultOk;
  return EditController::queryInterface(iid, obj);
}

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context) {
  return EditController::initialize(context);
}

tresult PLUGIN_API SingleComponentEffect::terminate() {
  // The parameters are removed by EditController::terminate.
  removeAllBusses();
  return EditController::terminate();
}

tresult PLUGIN_API SingleComponentEffect::getControllerClassId(TUID) {
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::setIoMode(IoMode) {
  return kNotImplemented;
}

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir) {
  const bool input = dir == kInput;
  if (dir != kInput && dir != kOutput)
    return nullptr;
  if (type == kAudio)
    return input ? &audioInputs : &audioOutputs;
  if (type == kEvent)
    return input ? &eventInputs : &eventOutputs;
  return nullptr;
}

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir) {
  BusList* list = getBusList(type, dir);
  return list ? list->size() : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) {
  BusList* list = getBusList(type, dir);
  Bus* bus = list ? list->at(index) : nullptr;
  if (!bus)
    return kInvalidArgument;
  info.mediaType = type;
  info.direction = dir;
  bus->getInfo(info);
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
  BusList* list = getBusList(type, dir);
  Bus* bus = list ? list->at(index) : nullptr;
  if (!bus)
    return kInvalidArgument;
  bus->setActive(state);
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::setActive(TBool) {
  return kResultOk;
}

tresult SingleComponentEffect::setProcessorState(IBStream*) {
  return kNotImplemented;
}

tresult SingleComponentEffect::getProcessorState(IBStream*) {
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                             SpeakerArrangement* outputs, int32 numOuts) {
  if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
    return kInvalidArgument;
  if (numIns > audioInputs.size() || numOuts > audioOutputs.size())
    return kResultFalse;
  for (int32 i = 0; i < numIns; ++i)
    static_cast<AudioBus*>(audioInputs.at(i))->setArrangement(inputs[i]);
  for (int32 i = 0; i < numOuts; ++i)
    static_cast<AudioBus*>(audioOutputs.at(i))->setArrangement(outputs[i]);
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) {
  BusList* list = getBusList(kAudio, dir);
  Bus* bus = list ? list->at(index) : nullptr;
  if (!bus)
    return kInvalidArgument;
  arr = static_cast<AudioBus*>(bus)->getArrangement();
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API SingleComponentEffect::getLatencySamples() {
  return 0;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup) {
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue)
    return kResultFalse;
  processSetup = setup;
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setProcessing(TBool) {
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::process(ProcessData&) {
  return kNotImplemented;
}

uint32 PLUGIN_API SingleComponentEffect::getTailSamples() {
  return kNoTail;
}

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                               int32 flags) {
  auto* bus = new AudioBus(name, busType, flags, arr);
  audioInputs.append(bus);
  return bus;
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                                int32 flags) {
  auto* bus = new AudioBus(name, busType, flags, arr);
  audioOutputs.append(bus);
  return bus;
}

EventBus* SingleComponentEffect::addEventInput(const TChar* name, int32 channels, BusType busType, int32 flags) {
  auto* bus = new EventBus(name, busType, flags, channels);
  eventInputs.append(bus);
  return bus;
}

EventBus* SingleComponentEffect::addEventOutput(const TChar* name, int32 channels, BusType busType, int32 flags) {
  auto* bus = new EventBus(name, busType, flags, channels);
  eventOutputs.append(bus);
  return bus;
}

tresult SingleComponentEffect::removeAudioBusses() {
  audioInputs.clear();
  audioOutputs.clear();
  return kResultOk;
}

tresult SingleComponentEffect::removeEventBusses() {
  eventInputs.clear();
  eventOutputs.clear();
  return kResultOk;
}

tresult SingleComponentEffect::removeAllBusses() {
  removeAudioBusses();
  removeEventBusses();
  return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
