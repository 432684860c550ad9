// IAudioProcessor: processing setup and the per-block process call, with the
// structs the host fills for it.
#pragma once

#include "vst3/sdk/FUnknown.h"
#include "vst3/sdk/IComponent.h"
#include "vst3/sdk/VstTypes.h"

#include <cstddef>

namespace Steinberg {
namespace Vst {

class IParameterChanges;
class IEventList;
struct ProcessContext;

enum SymbolicSampleSizes { kSample32 = 0, kSample64 = 1 };
enum ProcessModes { kRealtime = 0, kPrefetch = 1, kOffline = 2 };

constexpr uint32 kNoTail = 0;
constexpr uint32 kInfiniteTail = kMaxInt32u;

struct ProcessSetup {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 maxSamplesPerBlock;
  SampleRate sampleRate;
};

// One bus's channels. Which union member is valid depends on
// ProcessData::symbolicSampleSize; sample pointers of inactive buses may be
// null.
struct AudioBusBuffers {
  int32 numChannels;
  uint64 silenceFlags; // bit n: channel n is all zero
  union {
    Sample32** channelBuffers32;
    Sample64** channelBuffers64;
  };
};

// Every pointer member may be null; numSamples 0 is a parameter flush.
struct ProcessData {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 numSamples;
  int32 numInputs;
  int32 numOutputs;
  AudioBusBuffers* inputs;
  AudioBusBuffers* outputs;
  IParameterChanges* inputParameterChanges;
  IParameterChanges* outputParameterChanges;
  IEventList* inputEvents;
  IEventList* outputEvents;
  ProcessContext* processContext;
};

static_assert(sizeof(ProcessSetup) == 24 && alignof(ProcessSetup) == 8, "ProcessSetup layout");
static_assert(offsetof(ProcessSetup, symbolicSampleSize) == 4 && offsetof(ProcessSetup, maxSamplesPerBlock) == 8 &&
                  offsetof(ProcessSetup, sampleRate) == 16,
              "ProcessSetup offsets");
static_assert(sizeof(AudioBusBuffers) == 24 && alignof(AudioBusBuffers) == 8, "AudioBusBuffers layout");
static_assert(offsetof(AudioBusBuffers, silenceFlags) == 8 && offsetof(AudioBusBuffers, channelBuffers32) == 16 &&
                  offsetof(AudioBusBuffers, channelBuffers64) == 16,
              "AudioBusBuffers offsets");
static_assert(sizeof(ProcessData) == 80 && alignof(ProcessData) == 8, "ProcessData layout");
static_assert(offsetof(ProcessData, symbolicSampleSize) == 4 && offsetof(ProcessData, numSamples) == 8 &&
                  offsetof(ProcessData, numInputs) == 12 && offsetof(ProcessData, numOutputs) == 16 &&
                  offsetof(ProcessData, inputs) == 24 && offsetof(ProcessData, outputs) == 32 &&
                  offsetof(ProcessData, inputParameterChanges) == 40 &&
                  offsetof(ProcessData, outputParameterChanges) == 48 && offsetof(ProcessData, inputEvents) == 56 &&
                  offsetof(ProcessData, outputEvents) == 64 && offsetof(ProcessData, processContext) == 72,
              "ProcessData offsets");

class IAudioProcessor : public FUnknown {
public:
  virtual tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                SpeakerArrangement* outputs, int32 numOuts) = 0;
  virtual tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
  virtual tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) = 0;
  virtual uint32 PLUGIN_API getLatencySamples() = 0;
  virtual tresult PLUGIN_API setupProcessing(ProcessSetup& setup) = 0;
  virtual tresult PLUGIN_API setProcessing(TBool state) = 0;
  // Audio thread.
  virtual tresult PLUGIN_API process(ProcessData& data) = 0;
  virtual uint32 PLUGIN_API getTailSamples() = 0;

  static constexpr FUID iid{0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D};
};

class IProcessContextRequirements : public FUnknown {
public:
  enum Flags : uint32 {
    kNeedSystemTime = 1 << 0,
    kNeedContinousTimeSamples = 1 << 1,
    kNeedProjectTimeMusic = 1 << 2,
    kNeedBarPositionMusic = 1 << 3,
    kNeedCycleMusic = 1 << 4,
    kNeedSamplesToNextClock = 1 << 5,
    kNeedTempo = 1 << 6,
    kNeedTimeSignature = 1 << 7,
    kNeedChord = 1 << 8,
    kNeedFrameRate = 1 << 9,
    kNeedTransportState = 1 << 10
  };

  virtual uint32 PLUGIN_API getProcessContextRequirements() = 0;

  static constexpr FUID iid{0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0};
};

} // namespace Vst
} // namespace Steinberg
