// Our host must catch a plug-in misbehaving, or the other host-level tests
// prove nothing: a small plug-in with one deliberate fault at a time, and the
// violation the host has to report for it.

#include <cmath>
#include <limits>

#include "tests/host/HostTestSupport.h"
#include "vst3/sdk/SingleComponentEffect.h"

namespace HostTest
{
namespace {

enum class Fault
{
  kNone,
  kRefusesProcess,
  kWritesNaN,
  kSkipsAChannel,
  kWritesInactiveBuses,
  kKeepsAReference,
  kRefusesActivation,
  kMisreportsChannels,
};

// Writes 0.25 to every output channel of every bus, active or not only as the
// fault says.
class FaultyPlugin : public SingleComponentEffect
{
public:
  explicit FaultyPlugin(Fault f) : fault(f) {}

  tresult PLUGIN_API initialize(FUnknown* context) override
  {
    const tresult result = SingleComponentEffect::initialize(context);
    addAudioOutput(u"Out", fault == Fault::kMisreportsChannels ? SpeakerArr::k30Cine : SpeakerArr::kStereo);
    addEventInput(u"Events", 1);
    if (fault == Fault::kKeepsAReference)
      addRef();
    return result;
  }
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) override
  {
    const tresult result = SingleComponentEffect::getBusInfo(type, dir, index, bus);
    if (fault == Fault::kMisreportsChannels && type == kAudio)
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
    for (int32 b = 0; b < data.numOutputs; ++b)
    {
      Bus* bus = audioOutputs.at(b);
      if (!bus->isActive() && fault != Fault::kWritesInactiveBuses)
        continue;
      for (int32 c = 0; c < data.outputs[b].numChannels; ++c)
      {
        if (c == 1 && fault == Fault::kSkipsAChannel)
          continue;
        for (int32 i = 0; i < data.numSamples; ++i)
        {
          const double value = i == 7 && fault == Fault::kWritesNaN ? std::nan("") : 0.25;
          if (data.symbolicSampleSize == kSample64)
            data.outputs[b].channelBuffers64[c][i] = value;
          else
            data.outputs[b].channelBuffers32[c][i] = static_cast<float>(value);
        }
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
  Fault fault;
};

TEST(HostStrictness, ReportsEachFault)
{
  const struct
  {
    Fault fault;
    const char* report;  // part of the violation the host must record; empty: none
  } table[] = {
    {Fault::kNone, ""},
    {Fault::kRefusesProcess, "process(64 samples) returned kResultFalse"},
    {Fault::kWritesNaN, "NaN or infinite samples to output bus 0 channel 0"},
    {Fault::kSkipsAChannel, "64 samples of output bus 0 channel 1 unwritten"},
    {Fault::kWritesInactiveBuses, "changed 64 samples of inactive output bus 0"},
    {Fault::kKeepsAReference, "keeps 1 references"},
    {Fault::kRefusesActivation, "setActive(true) returned kResultFalse"},
    {Fault::kMisreportsChannels, "has 2 channels but an arrangement of 3"},
  };
  for (const auto& row : table)
    for (int size : {kSample32, kSample64})
    {
      SCOPED_TRACE(std::string(row.report) + (size == kSample64 ? " (64)" : " (32)"));
      auto* faulty = new FaultyPlugin(row.fault);
      HostPlugin host;
      ASSERT_TRUE(host.Adopt(static_cast<IAudioProcessor*>(faulty)));
      host.ActivateDefaultBuses();
      host.SetBusArrangements({}, {SpeakerArr::kStereo});
      host.SetupProcessing(44100, 64, size);
      host.SetActive(true);
      host.Process(64);
      host.ActivateBus(kAudio, kOutput, 0, false);
      host.Process(64);
      host.Destroy();
      std::string all = Lines(host.Violations());
      if (*row.report)
        EXPECT_NE(all.find(row.report), std::string::npos) << all;
      else
        EXPECT_EQ(all, "");
      // Frees the plug-in that kept a reference to itself.
      if (row.fault == Fault::kKeepsAReference)
        faulty->release();
    }
}

}  // namespace
}  // namespace HostTest
