// SingleComponentEffect: one object that is the audio component and its edit
// controller at once, with a single reference count.
//
// IComponent and IEditController each have a setState/getState pair with the
// same C++ signature in different vtable slots. ComponentStateSlots fills
// IComponent's pair with thunks to setProcessorState/getProcessorState, and
// EditController fills IEditController's with setEditorState/getEditorState,
// so a subclass overrides the processor and the controller state separately.
//
// terminate removes all buses and parameters: hosts call terminate and then
// initialize again on the same object, and initialize creates them anew.
#pragma once

#include "vst3/sdk/Bus.h"
#include "vst3/sdk/EditController.h"
#include "vst3/sdk/IAudioProcessor.h"
#include "vst3/sdk/IComponent.h"

namespace Steinberg {
namespace Vst {

class ComponentStateSlots : public IComponent {
public:
  tresult PLUGIN_API setState(IBStream* state) final { return setProcessorState(state); }
  tresult PLUGIN_API getState(IBStream* state) final { return getProcessorState(state); }

  // The processor state (IComponent::setState/getState).
  virtual tresult setProcessorState(IBStream* state) = 0;
  virtual tresult getProcessorState(IBStream* state) = 0;
};

class SingleComponentEffect : public EditController,
                              public ComponentStateSlots,
                              public IAudioProcessor,
                              public IProcessContextRequirements {
public:
  SingleComponentEffect();

  uint32 PLUGIN_API addRef() override { return EditController::addRef(); }
  uint32 PLUGIN_API release() override { return EditController::release(); }
  // Refuses IConnectionPoint (a single object has no peer); answers
  // IComponent, IAudioProcessor and IProcessContextRequirements, then the
  // EditController chain.
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  const char* isA() const override { return "SingleComponentEffect"; }

  // One implementation behind both initialize slots and both terminate slots.
  tresult PLUGIN_API initialize(FUnknown* context) override;
  tresult PLUGIN_API terminate() override;

  // IComponent. Bus calls with an unknown media type or a bus index out of
  // range (negative included) answer kInvalidArgument.
  tresult PLUGIN_API getControllerClassId(TUID classId) override;
  tresult PLUGIN_API setIoMode(IoMode mode) override;
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) override;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) override;
  tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override;
  tresult PLUGIN_API setActive(TBool state) override;
  tresult setProcessorState(IBStream* state) override;
  tresult getProcessorState(IBStream* state) override;

  // IAudioProcessor. The default setBusArrangements adopts any arrangement
  // for the existing buses; plug-ins with fixed layouts override it.
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) override;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) override;
  tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) override;
  uint32 PLUGIN_API getLatencySamples() override;
  // Stores the setup when its sample size passes canProcessSampleSize.
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) override;
  tresult PLUGIN_API setProcessing(TBool state) override;
  tresult PLUGIN_API process(ProcessData& data) override;
  uint32 PLUGIN_API getTailSamples() override;

  uint32 PLUGIN_API getProcessContextRequirements() override { return processContextRequirements; }

  // Bus creation; the lists own the buses. Call order = bus index.
  AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventOutput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  tresult removeAudioBusses();
  tresult removeEventBusses();
  tresult removeAllBusses();

  // Null for an unknown media type or direction.
  BusList* getBusList(MediaType type, BusDirection dir);

protected:
  ProcessSetup processSetup;
  uint32 processContextRequirements = 0;
  BusList audioInputs{kAudio, kInput};
  BusList audioOutputs{kAudio, kOutput};
  BusList eventInputs{kEvent, kInput};
  BusList eventOutputs{kEvent, kOutput};
};

} // namespace Vst
} // namespace Steinberg
