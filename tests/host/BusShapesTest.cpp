// Output and input buses a host gets wrong, as real hosts have passed them:
// more buses than it set up (Carla 2.5 adds a second output bus whose channel
// count is garbage and whose arrays are null), a bus whose channel-pointer
// array is null, and fewer channels than the bus has. The plug-in must not
// crash, must not read or write through anything beyond the buses it
// declared, and must fill the channels of its own buses that the host did
// pass with finite samples. Every array below is a heap block of exactly the
// size the host claims (or smaller, where the host lies), so that an
// AddressSanitizer build catches a single element read too many.

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "tools/validate/checks/CheckSupport.h"

namespace HostTest
{
namespace {

constexpr int kFrames = 256;
constexpr float kMarker32 = 12345.0f;
constexpr double kMarker64 = 12345.0;

// One bus as the test host hands it over: `channels` sample arrays filled
// with a marker and a pointer array of `pointerSlots` entries (the host may
// claim a different count in numChannels).
template <class Sample>
struct FakeBus
{
  FakeBus(int channels, int pointerSlots)
  {
    for (int c = 0; c < channels; ++c)
      samples.push_back(std::vector<Sample>(kFrames, static_cast<Sample>(kMarker64)));
    if (pointerSlots > 0)
    {
      pointers = std::make_unique<Sample*[]>(static_cast<std::size_t>(pointerSlots));
      for (int c = 0; c < pointerSlots; ++c)
        pointers[static_cast<std::size_t>(c)] = c < channels ? samples[static_cast<std::size_t>(c)].data() : nullptr;
    }
  }
  // Samples of channel c still holding the marker.
  int Untouched(int c) const
  {
    int n = 0;
    for (Sample v : samples[static_cast<std::size_t>(c)])
      n += v == static_cast<Sample>(kMarker64);
    return n;
  }
  // Samples of channel c that are not finite or beyond +-4.
  int Bad(int c) const
  {
    int n = 0;
    for (Sample v : samples[static_cast<std::size_t>(c)])
      n += !std::isfinite(v) || std::abs(v) > 4;
    return n;
  }
  AudioBusBuffers Buffers(int32 numChannels) const
  {
    AudioBusBuffers bus{};
    bus.numChannels = numChannels;
    if constexpr (sizeof(Sample) == 8)
      bus.channelBuffers64 = pointers.get();
    else
      bus.channelBuffers32 = pointers.get();
    return bus;
  }

  std::vector<std::vector<Sample>> samples;
  std::unique_ptr<Sample*[]> pointers;
};

class BusShapes : public PluginTest
{
public:
  // Generator mode with the transport running: the tone sounds in every
  // block, so a channel that is rendered to is plainly not the marker.
  void Sounding(int sampleSize)
  {
    Start(sampleSize, kFrames);
    Apply({{kMode, 0.0}});
    context.state = ProcessContext::kPlaying;
    context.sampleRate = 44100;
  }

  // One block of the given buses through the plug-in's process, in the
  // sample size set up; the call's result must be kResultOk.
  using PluginTest::Apply;
  void Run(std::vector<AudioBusBuffers> inputs, int32 numInputs, std::vector<AudioBusBuffers> outputs,
           int32 numOutputs)
  {
    ProcessData data = plugin->PrepareData(kFrames, nullptr, nullptr, &context);
    data.numInputs = numInputs;
    data.inputs = inputs.empty() ? nullptr : inputs.data();
    data.numOutputs = numOutputs;
    data.outputs = outputs.empty() ? nullptr : outputs.data();
    EXPECT_EQ(plugin->Processor()->process(data), kResultOk);
  }

  ProcessContext context{};
};

template <class Sample>
void EveryShape(BusShapes& test)
{
  FakeBus<Sample> input(2, 2);
  for (auto& channel : input.samples)
    std::fill(channel.begin(), channel.end(), Sample(0));
  const std::vector<AudioBusBuffers> in{input.Buffers(2)};

  {
    SCOPED_TRACE("Carla: a second output bus with a garbage count and null arrays");
    FakeBus<Sample> out(2, 2);
    AudioBusBuffers garbage{};
    garbage.numChannels = 0x5EED1E55;
    garbage.silenceFlags = 0xDEADBEEFull;
    test.Run(in, 1, {out.Buffers(2), garbage}, 2);
    for (int c = 0; c < 2; ++c)
    {
      EXPECT_EQ(out.Untouched(c), 0) << "channel " << c << " of the declared bus";
      EXPECT_EQ(out.Bad(c), 0);
    }
  }
  {
    SCOPED_TRACE("a second output bus whose count and pointer array are both garbage");
    FakeBus<Sample> out(2, 2);
    AudioBusBuffers garbage{};
    garbage.numChannels = 7;
    garbage.channelBuffers32 = reinterpret_cast<float**>(static_cast<std::uintptr_t>(0xDEADBEE0));
    test.Run(in, 1, {out.Buffers(2), garbage}, 2);
    EXPECT_EQ(out.Untouched(0), 0);
  }
  {
    SCOPED_TRACE("a second output bus with real arrays the plug-in never declared");
    FakeBus<Sample> out(2, 2), extra(2, 2);
    test.Run(in, 1, {out.Buffers(2), extra.Buffers(2)}, 2);
    EXPECT_EQ(out.Untouched(0), 0);
    for (int c = 0; c < 2; ++c)
      EXPECT_EQ(extra.Untouched(c), kFrames) << "written through a pointer it does not own, channel " << c;
  }
  {
    SCOPED_TRACE("an extra bus claiming a thousand channels over a one-entry array");
    FakeBus<Sample> out(2, 2), extra(1, 1);
    test.Run(in, 1, {out.Buffers(2), extra.Buffers(1000)}, 2);
    EXPECT_EQ(out.Untouched(1), 0);
    EXPECT_EQ(extra.Untouched(0), kFrames);
  }
  {
    SCOPED_TRACE("extra input buses, the second a garbage count with null arrays");
    FakeBus<Sample> out(2, 2);
    AudioBusBuffers garbage{};
    garbage.numChannels = -77;
    test.Run({in[0], garbage, garbage}, 3, {out.Buffers(2)}, 1);
    EXPECT_EQ(out.Untouched(0), 0);
    EXPECT_EQ(out.Bad(0), 0);
  }
  {
    SCOPED_TRACE("the declared output bus with a null channel array");
    test.Run(in, 1, {AudioBusBuffers{2, 0, {nullptr}}}, 1);
  }
  {
    SCOPED_TRACE("a null channel inside the declared bus");
    FakeBus<Sample> out(1, 2);  // channel 1's pointer is null
    test.Run(in, 1, {out.Buffers(2)}, 1);
    EXPECT_EQ(out.Untouched(0), 0);
    EXPECT_EQ(out.Bad(0), 0);
  }
  {
    SCOPED_TRACE("the declared output bus with fewer channels than it has");
    FakeBus<Sample> out(1, 1);
    test.Run(in, 1, {out.Buffers(1)}, 1);
    EXPECT_EQ(out.Untouched(0), 0);
    EXPECT_EQ(out.Bad(0), 0);
  }
  {
    SCOPED_TRACE("the input bus with fewer channels, then with a null array");
    FakeBus<Sample> out(2, 2), mono(1, 1);
    std::fill(mono.samples[0].begin(), mono.samples[0].end(), Sample(0));
    test.Run({mono.Buffers(1)}, 1, {out.Buffers(2)}, 1);
    EXPECT_EQ(out.Bad(0), 0);
    test.Run({AudioBusBuffers{2, 0, {nullptr}}}, 1, {out.Buffers(2)}, 1);
    EXPECT_EQ(out.Bad(1), 0);
  }
  {
    SCOPED_TRACE("bypassed: an input the host stops passing reads as silence, not as its last block");
    test.Apply({{kBypass, 1.0}});
    FakeBus<Sample> half(2, 2), out(2, 2);
    for (auto& channel : half.samples)
      std::fill(channel.begin(), channel.end(), Sample(0.5));
    test.Run({half.Buffers(2)}, 1, {out.Buffers(2)}, 1);
    EXPECT_EQ(out.samples[0][kFrames - 1], Sample(0.5));
    for (const AudioBusBuffers& gone : {AudioBusBuffers{2, 0, {nullptr}}, AudioBusBuffers{}})
    {
      test.Run({gone}, 1, {out.Buffers(2)}, 1);
      for (int c = 0; c < 2; ++c)
        EXPECT_EQ(out.samples[static_cast<std::size_t>(c)][0], Sample(0)) << "channel " << c;
    }
    test.Run({}, 0, {out.Buffers(2)}, 0);
    test.Apply({{kBypass, 0.0}});
  }
}

TEST_F(BusShapes, WrongBusesNeitherCrashNorReachBeyondTheDeclaredOnes32)
{
  Sounding(kSample32);
  EveryShape<float>(*this);
}

TEST_F(BusShapes, WrongBusesNeitherCrashNorReachBeyondTheDeclaredOnes64)
{
  Sounding(kSample64);
  EveryShape<double>(*this);
}

}  // namespace
}  // namespace HostTest
