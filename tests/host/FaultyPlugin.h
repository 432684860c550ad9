#pragma once
// A small instrument with one deliberate fault at a time, to prove that our
// host and the validator built on it catch each kind of misbehaviour. Used
// in-process by the host's own tests and as a bundle (FaultyModule.cpp) the
// validator is run on.

#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "vst3/sdk/SingleComponentEffect.h"

namespace FaultyTest
{

using namespace Steinberg;
using namespace Steinberg::Vst;

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
  // Faults that only show under load, from the 40th block on.
  kWritesSubnormals,
  kWritesLoud,
  kCrashes,
  kHangs,
  kAllocates,
};

// The faults by the names the bundle reads from THRUMWELL_FAULT.
inline Fault FaultNamed(const std::string& name)
{
  const struct
  {
    const char* name;
    Fault fault;
  } names[] = {{"nan", Fault::kWritesNaN},         {"subnormal", Fault::kWritesSubnormals},
               {"loud", Fault::kWritesLoud},        {"crash", Fault::kCrashes},
               {"hang", Fault::kHangs},             {"allocate", Fault::kAllocates},
               {"refuse", Fault::kRefusesProcess},  {"skip-channel", Fault::kSkipsAChannel}};
  for (const auto& entry : names)
    if (name == entry.name)
      return entry.fault;
  return Fault::kNone;
}

// Writes 0.25 to every output channel of every bus, active or not only as the
// fault says.
class FaultyPlugin : public SingleComponentEffect
{
public:
  explicit FaultyPlugin(Fault f) : fault(f) {}

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
    const bool late = ++blocks >= 40;
    if (late && fault == Fault::kCrashes)
      *static_cast<volatile int*>(nullptr) = 1;
    while (late && fault == Fault::kHangs)
      std::this_thread::sleep_for(std::chrono::seconds(1));
    if (late && fault == Fault::kAllocates)
      scratch.push_back(std::vector<float>(64));
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
          Write(data, b, c, i, Value(i, late));
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
  double Value(int32 i, bool late) const
  {
    if (i == 7 && fault == Fault::kWritesNaN)
      return std::nan("");
    if (i == 7 && late && fault == Fault::kWritesSubnormals)
      return 1e-41;  // subnormal in both sample sizes
    if (i == 7 && late && fault == Fault::kWritesLoud)
      return 5.0;
    return 0.25;
  }
  static void Write(ProcessData& data, int32 b, int32 c, int32 i, double value)
  {
    if (data.symbolicSampleSize == kSample64)
      data.outputs[b].channelBuffers64[c][i] = value;
    else
      data.outputs[b].channelBuffers32[c][i] = static_cast<float>(value);
  }

  Fault fault;
  int blocks = 0;
  std::vector<std::vector<float>> scratch;
};

}  // namespace FaultyTest
