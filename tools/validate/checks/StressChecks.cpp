// What a demanding host does to any instrument, from strictness 5: dense
// random automation, program changes and notes at every offset, every sample
// rate and block size a host may choose, processing and activation toggled
// mid-stream, many instances at once, garbage state and exact state round
// trips. Every random choice follows the seed, so a failure replays. The host
// checks every output block for NaN, infinity, values beyond +-4 and
// subnormal numbers.

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

#include "host/HostEventList.h"
#include "host/HostParameterList.h"
#include "tools/validate/checks/CheckSupport.h"

namespace HostTest
{
namespace {

[[maybe_unused]] const bool kRegistered = RegisterGroup("Automation", 5, false) && RegisterGroup("Formats", 5, false) &&
                                          RegisterGroup("Toggles", 5, false) && RegisterGroup("Instances", 5, false) &&
                                          RegisterGroup("StateBytes", 5, false);

// Random parameter points in sub-blocks of 32 samples, program changes
// through the program-change parameter, and notes, for any plug-in.
class RandomHost
{
public:
  RandomHost(HostPlugin& plugin, std::uint32_t seed)
    : random(seed), params(plugin.Controller(), plugin.Units()), programChange(params.FindProgramChange())
  {
    for (int i = 0; i < params.Count(); ++i)
    {
      const ParameterInfo& info = params.At(i).info;
      if ((info.flags & ParameterInfo::kCanAutomate) && !(info.flags & ParameterInfo::kIsReadOnly))
        automatable.push_back(info.id);
    }
  }

  // Fills changes and events for a block of n samples.
  void Block(int n, HostParameterChanges& changes, HostEventList& events)
  {
    changes.Clear();
    events.Clear();
    for (int start = 0; start < n; start += 32)
    {
      const int length = std::min(32, n - start);
      // A point for one parameter at a random offset of this sub-block
      // (queue points stay in order: each queue gets at most one per
      // sub-block, and sub-blocks come in order).
      if (!automatable.empty() && Chance(2))
        changes.Add(automatable[Pick(automatable.size())], start + Pick(length), Unit());
      if (Chance(8))
      {
        const int offset = start + Pick(length);
        const int16 pitch = static_cast<int16>(24 + Pick(80));
        if (Chance(2))
          events.NoteOn(offset, pitch, static_cast<float>(Unit()));
        else
          events.NoteOff(offset, pitch);
      }
    }
    if (programChange >= 0 && Chance(20))
    {
      const ParameterInfo& info = params.At(programChange).info;
      const int steps = std::max(1, static_cast<int>(info.stepCount));
      changes.Add(info.id, Pick(std::max(1, n)), static_cast<double>(Pick(steps + 1)) / steps);
    }
  }

  int Pick(std::size_t n) { return static_cast<int>(random() % std::max<std::size_t>(n, 1)); }
  bool Chance(int oneIn) { return random() % static_cast<unsigned>(oneIn) == 0; }
  double Unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(random); }

  std::mt19937 random;
  HostParameterList params;
  int programChange;
  std::vector<ParamID> automatable;
};

class Stress : public PluginTest
{
protected:
  bool HasOutput() { return plugin->NBuses(kOutput) > 0; }
};

class Automation : public Stress
{
};
class Formats : public Stress
{
};
class Toggles : public Stress
{
};
class Instances : public Stress
{
};
class StateBytes : public Stress
{
};

TEST_F(Automation, RandomPointsProgramsAndNotesInEveryBlockSize)
{
  for (int size : {kSample32, kSample64})
  {
    SCOPED_TRACE(size == kSample64 ? "64-bit" : "32-bit");
    Start(size, 4096);
    RandomHost host(*plugin, Seed() + static_cast<std::uint32_t>(size));
    HostParameterChanges changes;
    HostEventList events;
    for (int block = 0; block < 300; ++block)
    {
      const int n = 1 + host.Pick(4096);
      host.Block(n, changes, events);
      ASSERT_TRUE(plugin->Process(n, &changes, &events)) << "block " << block << ", " << n << " samples";
    }
    ASSERT_TRUE(plugin->SetProcessing(false));
    ASSERT_TRUE(plugin->SetActive(false));
  }
}

TEST_F(Automation, NotesAtEveryOffset)
{
  Start(kSample32, 64);
  HostEventList events;
  for (int offset = 0; offset < 64; ++offset)
  {
    events.Clear();
    events.NoteOn(offset, static_cast<int16>(36 + offset), 1.0f);
    events.NoteOff(63 - offset / 2, static_cast<int16>(36 + (offset + 63) % 64));
    ASSERT_TRUE(plugin->Process(64, nullptr, &events)) << "offset " << offset;
  }
}

TEST_F(Formats, EveryRateAndBlockSizeWithEmptyAndOversizedBlocks)
{
  const double rates[] = {8000, 11025, 16000, 22050, 44100, 48000, 88200, 96000, 176400, 192000, 352800, 384000};
  const int blocks[] = {1, 2, 31, 32, 33, 64, 100, 512, 1024, 4096, 8192};
  RandomHost host(*plugin, Seed());
  HostParameterChanges changes;
  HostEventList events;
  int round = 0;
  for (double rate : rates)
    for (int block : blocks)
    {
      SCOPED_TRACE(testing::Message() << rate << " Hz, blocks of " << block);
      const int size = ++round % 2 ? kSample32 : kSample64;
      ASSERT_TRUE(plugin->SetActive(false));
      ASSERT_TRUE(plugin->ActivateDefaultBuses());
      ASSERT_TRUE(plugin->SetupProcessing(rate, block, size));
      ASSERT_TRUE(plugin->SetActive(true));
      ASSERT_TRUE(plugin->SetProcessing(true));
      ASSERT_TRUE(plugin->Process(0));
      for (int n : {block, 0, block / 2 + 1, block})
      {
        host.Block(n, changes, events);
        ASSERT_TRUE(plugin->Process(n, &changes, &events));
      }
      // Hosts are known to send more than they announced.
      host.Block(block * 2, changes, events);
      ASSERT_TRUE(plugin->Process(block * 2, &changes, &events));
      ASSERT_TRUE(plugin->SetProcessing(false));
    }
}

TEST_F(Toggles, ProcessingAndActivationToggledMidStream)
{
  Start(kSample32, 1024);
  RandomHost host(*plugin, Seed());
  HostParameterChanges changes;
  HostEventList events;
  bool processing = true;
  for (int block = 0; block < 400; ++block)
  {
    if (host.Chance(10))
    {
      processing = !processing;
      ASSERT_TRUE(plugin->SetProcessing(processing));
    }
    if (host.Chance(25))
    {
      ASSERT_TRUE(plugin->SetActive(false));
      ASSERT_TRUE(plugin->SetActive(true));
      ASSERT_TRUE(plugin->SetProcessing(processing = true));
    }
    const int n = host.Pick(1025);
    host.Block(n, changes, events);
    // Some hosts keep calling process while processing is off.
    ASSERT_TRUE(plugin->Process(n, &changes, &events)) << "block " << block;
  }
}

TEST_F(Instances, ThirtyTwoAtOnceOnFourAudioThreads)
{
  std::vector<std::unique_ptr<HostPlugin>> all;
  for (int i = 0; i < 32; ++i)
  {
    all.push_back(std::make_unique<HostPlugin>(SharedModule()));
    ASSERT_TRUE(all.back()->Create(ChosenClass())) << Lines(all.back()->Violations());
    ASSERT_TRUE(all.back()->ActivateDefaultBuses());
    ASSERT_TRUE(all.back()->SetupProcessing(44100.0 * (1 + i % 4), 256, i % 2 ? kSample64 : kSample32));
    ASSERT_TRUE(all.back()->SetActive(true));
    ASSERT_TRUE(all.back()->SetProcessing(true));
  }
  std::vector<RandomHost> hosts;
  for (int i = 0; i < 32; ++i)
    hosts.emplace_back(*all[static_cast<std::size_t>(i)], Seed() + static_cast<std::uint32_t>(i));
  // Hosts spread instances over several audio threads: four here, each
  // processing eight instances in turn, so state the instances share meets.
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      HostParameterChanges changes;
      HostEventList events;
      for (int block = 0; block < 20; ++block)
        for (int i = t; i < 32; i += 4)
        {
          hosts[static_cast<std::size_t>(i)].Block(256, changes, events);
          failures += !all[static_cast<std::size_t>(i)]->Process(256, &changes, &events);
        }
    });
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(failures.load(), 0);
  for (auto& one : all)
  {
    one->Destroy();
    EXPECT_TRUE(one->Violations().empty()) << Lines(one->Violations());
  }
}

TEST_F(StateBytes, RandomBytesAreSurvived)
{
  Start(kSample32, 512);
  std::vector<std::uint8_t> saved;
  ASSERT_TRUE(plugin->GetState(saved));
  std::mt19937 random(Seed());
  for (int round = 0; round < 300; ++round)
  {
    // Mostly short streams, some the size of a real state, some damaged real ones.
    std::vector<std::uint8_t> bytes;
    if (round % 3 == 0)
    {
      bytes = saved;
      for (std::uint8_t& b : bytes)
        if (random() % 8 == 0)
          b = static_cast<std::uint8_t>(random());
      bytes.resize(random() % (saved.size() + 16));
    }
    else
    {
      bytes.resize(random() % (round % 3 == 1 ? 64 : 4096));
      for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>(random());
    }
    plugin->SetState(bytes, round % 2 == 0);
    ASSERT_TRUE(plugin->Process(512)) << "after state " << round;
    std::vector<std::uint8_t> after;
    ASSERT_TRUE(plugin->GetState(after));
  }
}

TEST_F(StateBytes, RoundTripsByteExactAcrossInstancesAndRates)
{
  RandomHost host(*plugin, Seed());
  Start(kSample32, 512, 44100);
  HostParameterChanges changes;
  HostEventList events;
  for (int block = 0; block < 20; ++block)
  {
    host.Block(512, changes, events);
    ASSERT_TRUE(plugin->Process(512, &changes, &events));
  }
  std::vector<std::uint8_t> saved;
  ASSERT_TRUE(plugin->GetState(saved));
  // The state does not depend on the rate the instance runs at.
  ASSERT_TRUE(plugin->SetProcessing(false));
  ASSERT_TRUE(plugin->SetActive(false));
  ASSERT_TRUE(plugin->SetupProcessing(96000, 256, kSample64));
  ASSERT_TRUE(plugin->SetActive(true));
  std::vector<std::uint8_t> again;
  ASSERT_TRUE(plugin->GetState(again));
  EXPECT_EQ(again, saved);
  for (double rate : {8000.0, 48000.0, 384000.0})
  {
    SCOPED_TRACE(rate);
    HostPlugin other(SharedModule());
    ASSERT_TRUE(other.Create(ChosenClass()));
    ASSERT_TRUE(other.ActivateDefaultBuses());
    ASSERT_TRUE(other.SetupProcessing(rate, 1024, kSample32));
    ASSERT_TRUE(other.SetActive(true));
    EXPECT_EQ(other.SetState(saved), kResultOk);
    ASSERT_TRUE(other.Process(1024));
    std::vector<std::uint8_t> copy;
    ASSERT_TRUE(other.GetState(copy));
    EXPECT_EQ(copy, saved);
    other.Destroy();
    EXPECT_TRUE(other.Violations().empty()) << Lines(other.Violations());
  }
}

}  // namespace
}  // namespace HostTest
