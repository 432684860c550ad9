// Buses as a host sees them: what exists, which arrangements are accepted,
// activation, and consistent answers.

#include <cmath>
#include <cstring>

#include "tools/validate/checks/CheckSupport.h"
#include "vst3/sdk/UString.h"

namespace HostTest
{
namespace {

[[maybe_unused]] const bool kRegistered = RegisterGroup("Buses", 1, false);

class Buses : public PluginTest
{
};

TEST_F(Buses, StereoInAndOutAndOneMidiInput)
{
  THRUMWELL_DESIGN_CHECK();
  IComponent* c = plugin->Component();
  const struct
  {
    MediaType type;
    BusDirection dir;
    int count;
    const char* name;
    int32 channels;
  } table[] = {
    {kAudio, kInput, 1, "Main Input", 2},
    {kAudio, kOutput, 1, "Output 1", 2},
    {kEvent, kInput, 1, "MIDI Input", 1},
    {kEvent, kOutput, 0, "", 0},
  };
  for (const auto& row : table)
  {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(c->getBusCount(row.type, row.dir), row.count);
    if (row.count == 0)
      continue;
    BusInfo info{};
    ASSERT_EQ(c->getBusInfo(row.type, row.dir, 0, info), kResultOk);
    EXPECT_EQ(info.mediaType, row.type);
    EXPECT_EQ(info.direction, row.dir);
    EXPECT_EQ(info.channelCount, row.channels);
    EXPECT_EQ(utf16ToUtf8(info.name), row.name);
    EXPECT_EQ(info.busType, kMain);
    EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
    EXPECT_NE(c->getBusInfo(row.type, row.dir, 1, info), kResultOk);
    EXPECT_NE(c->getBusInfo(row.type, row.dir, -1, info), kResultOk);
  }
  SpeakerArrangement arrangement = 0;
  ASSERT_EQ(plugin->Processor()->getBusArrangement(kOutput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kStereo);
}

TEST_F(Buses, ArrangementsAcceptedAndRefused)
{
  THRUMWELL_DESIGN_CHECK();
  const struct
  {
    std::vector<SpeakerArrangement> in, out;
    bool accepted;
    int32 channels;  // of both main buses afterwards
  } table[] = {
    {{SpeakerArr::kStereo}, {SpeakerArr::kStereo}, true, 2},
    {{SpeakerArr::kMono}, {SpeakerArr::kMono}, true, 1},
    {{SpeakerArr::kStereo}, {SpeakerArr::kStereo}, true, 2},
    {{SpeakerArr::kStereo}, {SpeakerArr::kMono}, false, 2},
    {{SpeakerArr::k51}, {SpeakerArr::k51}, false, 2},
    {{SpeakerArr::kMono}, {SpeakerArr::kStereo}, false, 2},
  };
  for (const auto& row : table)
  {
    EXPECT_EQ(plugin->SetBusArrangements(row.in, row.out), row.accepted) << row.in[0] << " / " << row.out[0];
    // The host's own check compares every bus's info with its arrangement.
    EXPECT_EQ(plugin->NChannels(kOutput, 0), row.channels);
    if (row.accepted)
    {
      EXPECT_EQ(plugin->NChannels(kInput, 0), row.channels);
    }
  }
}

TEST_F(Buses, MonoProcessesOneChannel)
{
  THRUMWELL_DESIGN_CHECK();
  ASSERT_TRUE(plugin->SetBusArrangements({SpeakerArr::kMono}, {SpeakerArr::kMono}));
  Start(kSample32, 256);
  Apply({{kMode, 0.0}});
  ProcessContext context{};
  context.state = ProcessContext::kPlaying;
  context.sampleRate = 44100;
  ASSERT_TRUE(plugin->Process(256, nullptr, nullptr, &context));
  EXPECT_EQ(plugin->NChannels(kOutput, 0), 1);
}

TEST_F(Buses, EveryBusActivatesAndDeactivates)
{
  for (MediaType type : {kAudio, kEvent})
    for (BusDirection dir : {kInput, kOutput})
      for (int i = 0; i < plugin->Component()->getBusCount(type, dir); ++i)
      {
        EXPECT_TRUE(plugin->ActivateBus(type, dir, i, false));
        EXPECT_TRUE(plugin->ActivateBus(type, dir, i, true));
      }
  // Buses that do not exist are refused.
  for (MediaType type : {kAudio, kEvent})
    for (BusDirection dir : {kInput, kOutput})
    {
      EXPECT_NE(plugin->Component()->activateBus(type, dir, plugin->Component()->getBusCount(type, dir), 1), kResultOk);
      EXPECT_NE(plugin->Component()->activateBus(type, dir, -1, 1), kResultOk);
    }
}

TEST_F(Buses, BusInfoIsByteIdenticalOnEveryRead)
{
  for (MediaType type : {kAudio, kEvent})
    for (BusDirection dir : {kInput, kOutput})
      for (int i = 0; i < plugin->Component()->getBusCount(type, dir); ++i)
      {
        BusInfo first{};
        ASSERT_EQ(plugin->Component()->getBusInfo(type, dir, i, first), kResultOk);
        for (int round = 0; round < 20; ++round)
        {
          BusInfo again{};
          ASSERT_EQ(plugin->Component()->getBusInfo(type, dir, i, again), kResultOk);
          EXPECT_EQ(std::memcmp(&first, &again, sizeof first), 0);
        }
      }
}

TEST_F(Buses, DeactivatedOutputLeavesTheHostsArraysAlone)
{
  const int channels = OutputChannels();
  if (channels == 0)
    GTEST_SKIP() << "the plug-in has no audio output";
  for (int size : {kSample32, kSample64})
  {
    SCOPED_TRACE(size);
    Start(size, 128);
    if (BundleIsThrumwell())
      Apply({{kMode, 0.0}});
    ASSERT_TRUE(plugin->ActivateBus(kAudio, kOutput, 0, false));
    ProcessContext context{};
    context.state = ProcessContext::kPlaying;
    context.sampleRate = 44100;
    // The host checks that every sample of the inactive bus keeps its marker.
    for (int block = 0; block < 4; ++block)
      ASSERT_TRUE(plugin->Process(128, nullptr, nullptr, &context));
    EXPECT_TRUE(std::isnan(Sample(0, 0)));
    EXPECT_TRUE(std::isnan(Sample(channels - 1, 127)));
    ASSERT_TRUE(plugin->ActivateBus(kAudio, kOutput, 0, true));
    ASSERT_TRUE(plugin->Process(128, nullptr, nullptr, &context));
    EXPECT_TRUE(std::isfinite(Sample(0, 0)));
    ASSERT_TRUE(plugin->SetProcessing(false));
    ASSERT_TRUE(plugin->SetActive(false));
  }
}

}  // namespace
}  // namespace HostTest
