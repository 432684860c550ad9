#pragma once
// A small single-object instrument with one deliberate fault at a time
// (Faults.h). Used in-process by the host's own tests and as a bundle
// (FaultyModule.cpp) the validator is run on.

#include "tests/host/Faults.h"
#include "vst3/sdk/SingleComponentEffect.h"

namespace FaultyTest
{

using namespace Steinberg;
using namespace Steinberg::Vst;

// Writes 0.25 to every output channel of every bus, active or not only as the
// fault says.
class FaultyPlugin : public SingleComponentEffect
{
public:
  explicit FaultyPlugin(Fault f) : fault(f), faulty(f) {}

  tresult PLUGIN_API initialize(FUnknown* context) override
  {
    const tresult result = SingleComponentEffect::initialize(context);
    addAudioInput(u"In", SpeakerArr::kStereo);
    addAudioOutput(u"Out", fault == Fault::kMisreportsChannels ? SpeakerArr::k30Cine : SpeakerArr::kStereo);
    addEventInput(u"Events", 1);
    if (fault == Fault::kKeepsAReference)
      addRef();
    return result;
  }
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) override
  {
    const tresult result = SingleComponentEffect::getBusInfo(type, dir, index, bus);
    if (fault == Fault::kMisreportsChannels && type == kAudio && dir == kOutput)
      bus.channelCount = 2;
    return result;
  }
  tresult PLUGIN_API setActive(TBool state) override
  {
    return fault == Fault::kRefusesActivation ? kResultFalse : SingleComponentEffect::setActive(state);
  }
  tresult PLUGIN_API process(ProcessData& data) override
  {
    if (fault == Fault::kRefusesProcess)
      return kResultFalse;
    const bool late = faulty.Begin();
    // Buses the host left out, or gave no buffers, are passed over.
    for (int32 b = 0; data.outputs && b < data.numOutputs && b < audioOutputs.size(); ++b)
    {
      Bus* bus = audioOutputs.at(b);
      if (!bus->isActive() && fault != Fault::kWritesInactiveBuses)
        continue;
      const AudioBusBuffers& buffers = data.outputs[b];
      const bool wide = data.symbolicSampleSize == kSample64;
      if (wide ? !buffers.channelBuffers64 : !buffers.channelBuffers32)
        continue;
      for (int32 c = 0; c < buffers.numChannels; ++c)
      {
        if ((c == 1 && fault == Fault::kSkipsAChannel) ||
            (wide ? !buffers.channelBuffers64[c] : !buffers.channelBuffers32[c]))
          continue;
        for (int32 i = 0; i < data.numSamples; ++i)
          Write(data, b, c, i, faulty.Sample(i, late, 0.25));
      }
    }
    return kResultOk;
  }
  tresult PLUGIN_API canProcessSampleSize(int32 size) override
  {
    return size == kSample32 || size == kSample64 ? kResultTrue : kResultFalse;
  }
  tresult setProcessorState(IBStream*) override { return kResultOk; }
  tresult getProcessorState(IBStream*) override { return kResultOk; }

private:
  static void Write(ProcessData& data, int32 b, int32 c, int32 i, double value)
  {
    if (data.symbolicSampleSize == kSample64)
      data.outputs[b].channelBuffers64[c][i] = value;
    else
      data.outputs[b].channelBuffers32[c][i] = static_cast<float>(value);
  }

  Fault fault;
  FaultyBlocks faulty;
};

}  // namespace FaultyTest
