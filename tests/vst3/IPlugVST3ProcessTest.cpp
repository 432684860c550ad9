// The process call as hosts make it: parameter queues, note events, audio in
// both sample sizes, bus activation and the malformed calls a plug-in must
// survive.
#include <cmath>
#include <limits>
#include <vector>

#include "tests/vst3/BindingFixture.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
// Stereo in and out of n frames for one sample size; inputs hold 1.0.
template <class Sample>
struct Buffers
{
  explicit Buffers(int n) : in(2, std::vector<Sample>(n, Sample(1))), out(2, std::vector<Sample>(n, Sample(-7)))
  {
    for (int c = 0; c < 2; ++c)
    {
      inPtr[c] = in[c].data();
      outPtr[c] = out[c].data();
    }
  }
  std::vector<std::vector<Sample>> in, out;
  Sample* inPtr[2];
  Sample* outPtr[2];
};

class Process : public BindingFixture
{
protected:
  void SetUp() override
  {
    BindingFixture::SetUp();
    component->activateBus(kAudio, kInput, 0, 1);
    component->activateBus(kAudio, kOutput, 0, 1);
    ASSERT_EQ(component->setActive(1), kResultOk);
    synth->changes.clear();
  }

  template <class Sample>
  tresult Run(Buffers<Sample>& buffers, int n, IParameterChanges* changes = nullptr, IEventList* events = nullptr)
  {
    AudioBusBuffers in{}, out{};
    in.numChannels = out.numChannels = 2;
    if constexpr (sizeof(Sample) == 8)
    {
      in.channelBuffers64 = buffers.inPtr;
      out.channelBuffers64 = buffers.outPtr;
    }
    else
    {
      in.channelBuffers32 = buffers.inPtr;
      out.channelBuffers32 = buffers.outPtr;
    }
    ProcessData data{};
    data.symbolicSampleSize = sizeof(Sample) == 8 ? kSample64 : kSample32;
    data.numSamples = n;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &in;
    data.outputs = &out;
    data.inputParameterChanges = changes;
    data.inputEvents = events;
    data.processContext = context;
    return processor->process(data);
  }

  void UseSampleSize(int32 size)
  {
    ProcessSetup setup{kRealtime, size, 64, 48000.0};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
  }

  ProcessContext* context = nullptr;
};

TEST_F(Process, TheLastPointOfEachQueueTakesEffectAtTheBlockStart)
{
  TestHost::ParameterChanges changes;
  changes.Add(0, {{0, 0.2}, {200, 0.9}});
  changes.Add(2, {});                 // no points
  changes.Add(0xFFFFFFFF, {{0, 1.0}});  // unknown ID
  changes.Add(1, {{3, 1.0}}).unreadable = true;
  changes.Add(1, {{0, std::numeric_limits<double>::quiet_NaN()}});
  Buffers<float> buffers(16);
  ASSERT_EQ(Run(buffers, 16, &changes), kResultOk);
  EXPECT_EQ(synth->GetParam(0)->GetValue(), 90.0);
  EXPECT_EQ(synth->GetParam(1)->GetValue(), 0.0);
  EXPECT_EQ(synth->changes, (std::vector<int>{0, 1}));
}

TEST_F(Process, ProgramChangeAndBypassThroughQueues)
{
  TestHost::ParameterChanges changes;
  changes.Add(IPlugVST3::kPresetParamId, {{0, 1.0 / 3.0}});
  Buffers<float> buffers(16);
  ASSERT_EQ(Run(buffers, 16, &changes), kResultOk);
  EXPECT_EQ(synth->GetCurrentProgram(), 1);
  EXPECT_EQ(synth->GetParam(0)->GetValue(), 100.0);
  EXPECT_EQ(buffers.out[0][5], 1.25f);

  TestHost::ParameterChanges bypass;
  bypass.Add(IPlugVST3::kBypassParamId, {{0, 0.6}});
  ASSERT_EQ(Run(buffers, 16, &bypass), kResultOk);
  EXPECT_TRUE(synth->IsBypassed());
  EXPECT_EQ(buffers.out[1][15], 1.0f);  // input copied, nothing rendered
}

TEST_F(Process, NotesBecomeMidiEventsBeforeTheBlockRenders)
{
  TestHost::EventList events;
  events.NoteOn(3, 69, 1.0f);
  events.NoteOn(4, 70, 0.5f, 2);
  events.NoteOff(9, 69);
  events.NoteOn(5, 200, 1.0f);   // no such pitch: dropped
  events.NoteOn(50, 60, std::numeric_limits<float>::quiet_NaN());  // offset beyond the block, bad velocity
  Event other{};
  other.type = Event::kPolyPressureEvent;
  events.events.push_back(other);
  Buffers<float> buffers(16);
  ASSERT_EQ(Run(buffers, 16, nullptr, &events), kResultOk);
  ASSERT_EQ(synth->midi.size(), 4u);
  EXPECT_EQ(synth->midi[0].status, 0x90);
  EXPECT_EQ(synth->midi[0].data1, 69);
  EXPECT_EQ(synth->midi[0].data2, 127);
  EXPECT_EQ(synth->midi[0].offset, 3);
  EXPECT_EQ(synth->midi[1].status, 0x92);
  EXPECT_EQ(synth->midi[1].data2, 63);
  EXPECT_EQ(synth->midi[2].status, 0x80);
  EXPECT_EQ(synth->midi[2].offset, 9);
  EXPECT_EQ(synth->midi[3].data2, 0);
  EXPECT_EQ(synth->midi[3].offset, 15);
}

TEST_F(Process, BothSampleSizesRenderIntoTheHostArrays)
{
  Buffers<float> floats(64);
  ASSERT_EQ(Run(floats, 64), kResultOk);
  for (int c = 0; c < 2; ++c)
    for (float v : floats.out[c])
      ASSERT_EQ(v, 1.25f);

  UseSampleSize(kSample64);
  Buffers<double> doubles(64);
  ASSERT_EQ(Run(doubles, 64), kResultOk);
  for (int c = 0; c < 2; ++c)
    for (double v : doubles.out[c])
      ASSERT_EQ(v, 1.25);
}

TEST_F(Process, DeactivatedOutputBusLeavesTheHostArraysAlone)
{
  component->activateBus(kAudio, kOutput, 0, 0);
  Buffers<float> floats(32);
  ASSERT_EQ(Run(floats, 32), kResultOk);
  EXPECT_EQ(floats.out[0][0], -7.0f);
  EXPECT_EQ(floats.out[1][31], -7.0f);
  EXPECT_EQ(synth->rendered.back(), 32);

  UseSampleSize(kSample64);
  Buffers<double> doubles(32);
  ASSERT_EQ(Run(doubles, 32), kResultOk);
  EXPECT_EQ(doubles.out[0][0], -7.0);
  EXPECT_EQ(doubles.out[1][31], -7.0);
}

TEST_F(Process, BlocksLongerThanAnnouncedAreRenderedInPieces)
{
  Buffers<float> buffers(150);
  synth->rendered.clear();
  ASSERT_EQ(Run(buffers, 150), kResultOk);
  EXPECT_EQ(synth->rendered, (std::vector<int>{64, 64, 22}));
  for (int c = 0; c < 2; ++c)
    for (float v : buffers.out[c])
      ASSERT_EQ(v, 1.25f);
}

TEST_F(Process, FlushesAndMissingBuffersAreHarmless)
{
  TestHost::ParameterChanges changes;
  changes.Add(0, {});
  ProcessData flush{};
  flush.inputParameterChanges = &changes;
  EXPECT_EQ(processor->process(flush), kResultOk);

  AudioBusBuffers empty[1] = {};
  flush.numInputs = flush.numOutputs = 1;
  flush.inputs = flush.outputs = empty;
  EXPECT_EQ(processor->process(flush), kResultOk);

  // Samples announced, but no arrays or null channels.
  ProcessData data{};
  data.numSamples = 32;
  data.numInputs = data.numOutputs = 1;
  data.inputs = data.outputs = empty;
  empty[0].numChannels = 2;
  EXPECT_EQ(processor->process(data), kResultOk);
  float* nullChannels[2] = {nullptr, nullptr};
  empty[0].channelBuffers32 = nullChannels;
  EXPECT_EQ(processor->process(data), kResultOk);
  data.numOutputs = 3;  // more buses than the plug-in has
  AudioBusBuffers many[3] = {};
  data.outputs = many;
  EXPECT_EQ(processor->process(data), kResultOk);
  empty[0].numChannels = -5;
  data.numOutputs = 1;
  data.outputs = empty;
  EXPECT_EQ(processor->process(data), kResultOk);
}

TEST_F(Process, TransportComesFromTheProcessContext)
{
  ProcessContext transport{};
  transport.state = ProcessContext::kPlaying | ProcessContext::kCycleActive;
  transport.tempo = 97.0;
  transport.projectTimeSamples = (int64(1) << 32) + 480;
  transport.projectTimeMusic = 8.5;
  transport.timeSigNumerator = 6;
  transport.timeSigDenominator = 8;
  context = &transport;
  Buffers<float> buffers(8);
  ASSERT_EQ(Run(buffers, 8), kResultOk);
  EXPECT_EQ(synth->GetSamplePosition(), 480);
  EXPECT_EQ(synth->GetTempo(), 97.0);
  EXPECT_EQ(synth->GetTransportState(), 1);
  int num = 0, den = 0;
  synth->GetTimeSignature(&num, &den);
  EXPECT_EQ(num, 6);
  EXPECT_EQ(den, 8);
  ITimeInfo info;
  synth->GetTimeInfo(&info);
  EXPECT_TRUE(info.playing);
  EXPECT_TRUE(info.cycleActive);
  EXPECT_EQ(info.ppqPos, 8.5);

  transport.state = ProcessContext::kRecording;
  ASSERT_EQ(Run(buffers, 8), kResultOk);
  EXPECT_EQ(synth->GetTransportState(), 2);
}

TEST_F(Process, SetupRefusesWhatItCannotProcess)
{
  struct Row
  {
    int32 sampleSize;
    int32 maxBlock;
    double rate;
    tresult expected;
  };
  const Row rows[] = {{kSample32, 8192, 1234.5678, kResultOk},
                      {kSample64, 512, 1234567.8, kResultOk},
                      {2, 512, 48000.0, kResultFalse},
                      {kSample32, 512, 0.0, kResultFalse},
                      {kSample32, 512, -44100.0, kResultFalse},
                      {kSample32, 512, std::numeric_limits<double>::infinity(), kResultFalse},
                      {kSample32, 512, std::numeric_limits<double>::quiet_NaN(), kResultFalse},
                      {kSample32, 0, 48000.0, kResultFalse},
                      {kSample32, IPlugVST3::kMaxBlockSize + 1, 48000.0, kResultFalse}};
  for (const Row& row : rows)
  {
    ProcessSetup setup{kRealtime, row.sampleSize, row.maxBlock, row.rate};
    EXPECT_EQ(processor->setupProcessing(setup), row.expected) << row.sampleSize << " " << row.maxBlock << " "
                                                               << row.rate;
  }
  EXPECT_EQ(synth->GetSampleRate(), 1234567.8);
  EXPECT_EQ(synth->GetBlockSize(), 512);
  EXPECT_EQ(processor->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(processor->canProcessSampleSize(2), kResultFalse);
  EXPECT_EQ(processor->setProcessing(1), kNotImplemented);
  EXPECT_EQ(synth->activations, (std::vector<bool>{true}));
}

TEST_F(Process, BusArrangements)
{
  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
  SpeakerArrangement arrangement = 0;
  ASSERT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  ASSERT_EQ(processor->getBusArrangement(kOutput, 0, arrangement), kResultTrue);
  EXPECT_EQ(arrangement, SpeakerArr::kMono);
  BusInfo info{};
  component->getBusInfo(kAudio, kInput, 0, info);
  EXPECT_EQ(std::u16string(info.name), u"Input");
  EXPECT_EQ(info.channelCount, 1);

  ASSERT_EQ(processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  component->getBusInfo(kAudio, kOutput, 0, info);
  EXPECT_EQ(std::u16string(info.name), u"Output");
  EXPECT_EQ(info.channelCount, 2);

  EXPECT_EQ(processor->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  SpeakerArrangement two[2] = {stereo, stereo};
  EXPECT_EQ(processor->setBusArrangements(two, 2, two, 1), kResultFalse);
  EXPECT_EQ(processor->setBusArrangements(nullptr, 0, &stereo, 1), kResultFalse);
  EXPECT_EQ(processor->setBusArrangements(&stereo, -1, &stereo, 1), kInvalidArgument);
}
}  // namespace
