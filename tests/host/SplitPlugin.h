#pragma once
// A small effect of our own in the layout most VST3 plug-ins have: the audio
// component and the edit controller are objects of separate classes, and the
// two talk through IConnectionPoint messages the host carries. One stereo (or
// mono) audio input and output, no event bus; "Gain" scales the input,
// "Bypass" passes it through. The component tells the controller its sample
// rate whenever it is activated, and answers the controller's request for it
// on connection; the controller shows it in the read-only "Sample Rate".
// It carries the faults of Faults.h like the faulty instrument.

#include <atomic>

#include "tests/host/Faults.h"
#include "vst3/sdk/ComponentBase.h"
#include "vst3/sdk/EditController.h"
#include "vst3/sdk/IAudioProcessor.h"
#include "vst3/sdk/SingleComponentEffect.h"

namespace SplitTest
{

using namespace Steinberg;
using namespace Steinberg::Vst;

enum SplitParams : ParamID
{
  kGain,
  kBypass,
  kSampleRate,
};

// Sample rates travel as rate / kRateScale in the read-only parameter.
constexpr double kRateScale = 1e6;

// The messages between the two halves.
constexpr const char* kRateMessage = "Rate";               // component → controller
constexpr const char* kRateAttribute = "SampleRate";       // float, Hz
constexpr const char* kRequestRateMessage = "RequestRate";  // controller → component

extern const FUID kStereoClass;
extern const FUID kMonoClass;
extern const FUID kControllerClass;

// The audio component: the processor and the state "SPG1" followed by the
// gain and bypass as two little-endian doubles.
class SplitComponent : public ComponentBase,
                       public ComponentStateSlots,
                       public IAudioProcessor,
                       public IProcessContextRequirements
{
public:
  SplitComponent(int32 channels, FaultyTest::Fault fault);

  uint32 PLUGIN_API addRef() override { return ComponentBase::addRef(); }
  uint32 PLUGIN_API release() override { return ComponentBase::release(); }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;

  tresult PLUGIN_API initialize(FUnknown* context) override;
  tresult PLUGIN_API terminate() override;
  tresult PLUGIN_API notify(IMessage* message) override;

  // IComponent (UI thread).
  tresult PLUGIN_API getControllerClassId(TUID classId) override;
  tresult PLUGIN_API setIoMode(IoMode) override { return kNotImplemented; }
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) override;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) override;
  tresult PLUGIN_API getRoutingInfo(RoutingInfo&, RoutingInfo&) override { return kNotImplemented; }
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override;
  // Activation sends the sample rate to the controller.
  tresult PLUGIN_API setActive(TBool state) override;
  tresult setProcessorState(IBStream* state) override;
  tresult getProcessorState(IBStream* state) override;

  // IAudioProcessor. Only the class's own layout is accepted.
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) override;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) override;
  tresult PLUGIN_API canProcessSampleSize(int32 size) override;
  uint32 PLUGIN_API getLatencySamples() override { return 0; }
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) override;
  tresult PLUGIN_API setProcessing(TBool) override { return kResultOk; }
  // Audio thread: applies the last point of each queue, then writes
  // input × gain (or the input, bypassed) to every channel the host gave.
  tresult PLUGIN_API process(ProcessData& data) override;
  uint32 PLUGIN_API getTailSamples() override { return 0; }
  uint32 PLUGIN_API getProcessContextRequirements() override { return 0; }

private:
  SpeakerArrangement Arrangement() const;
  void SendRate() const;
  template <class Sample>
  void Render(ProcessData& data, Sample** out, Sample** in, int32 inChannels, bool late);

  const int32 channels;
  FaultyTest::FaultyBlocks faulty;
  // Written by process and setState, read by getState: atomics, so neither
  // thread waits on the other.
  std::atomic<double> gain{0.5};
  std::atomic<double> bypass{0.0};
  std::atomic<bool> busActive[2] = {{false}, {false}};
  double sampleRate = 44100.0;  // UI thread only
};

// The edit controller: "Gain", "Bypass" and the read-only "Sample Rate".
class SplitController : public EditController
{
public:
  tresult PLUGIN_API initialize(FUnknown* context) override;
  // Asks the component for its sample rate once connected.
  tresult PLUGIN_API connect(IConnectionPoint* other) override;
  tresult PLUGIN_API notify(IMessage* message) override;
  // Takes gain and bypass from the component's state.
  tresult PLUGIN_API setComponentState(IBStream* state) override;
};

// Reads the component state; false when it is not one.
bool ReadSplitState(IBStream* stream, double& gain, double& bypass);

}  // namespace SplitTest
