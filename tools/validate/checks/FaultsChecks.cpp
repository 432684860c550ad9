// Faults a strict host met in ordinary sessions, each replayed through the
// built bundle: subnormal output from decaying gains, the pitch after a
// sample-rate change, and host controls left stale after a program change.

#include <cfloat>
#include <cmath>
#include <random>
#include <thread>
#include <xmmintrin.h>

#include "host/HostEventList.h"
#include "host/HostRunLoop.h"
#include "tools/validate/checks/CheckSupport.h"

namespace HostTest
{
namespace
{

// Groups about our instrument's own design; they skip other bundles.
[[maybe_unused]] const bool kRegistered = RegisterGroup("Subnormals", 1, true) && RegisterGroup("SampleRateChange", 1, true) &&
                                          RegisterGroup("ProgramChange", 1, true);

// Every sample is zero or a normal number of its sample size.
::testing::AssertionResult NoSubnormals(HostPlugin& plugin, int n, const char* step)
{
  const double smallest = plugin.SampleSize() == kSample64 ? DBL_MIN : FLT_MIN;
  for (int channel = 0; channel < 2; ++channel)
    for (int i = 0; i < n; ++i)
    {
      const double x = plugin.SampleSize() == kSample64 ? plugin.Channel64(kOutput, 0, channel)[i]
                                                         : plugin.Channel32(kOutput, 0, channel)[i];
      if (x != 0.0 && !(std::abs(x) >= smallest))
        return ::testing::AssertionFailure()
               << step << ": channel " << channel << " sample " << i << " is " << x;
    }
  return ::testing::AssertionSuccess();
}

// Created, connected and processing, as a host starts audio.
::testing::AssertionResult Started(HostPlugin& plugin, double rate, int maxBlock, int sampleSize = kSample32)
{
  if (plugin.Create(ChosenClass()) && plugin.ActivateDefaultBuses() && plugin.SetupProcessing(rate, maxBlock, sampleSize) &&
      plugin.SetActive(true) && plugin.SetProcessing(true))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << Lines(plugin.Violations());
}

class Subnormals : public ::testing::TestWithParam<int>
{
};

// The host's reproduction: 22050 Hz, default state, no process context; a
// quiet note, "Frequency" to its minimum and "Mode" switched off and on left
// two samples near -4.9e-39 in 32-bit output.
TEST_P(Subnormals, TheReportedSessionEndsInZerosNotSubnormals)
{
  THRUMWELL_CHECK_GATE();
  HostPlugin plugin(SharedModule());
  ASSERT_TRUE(Started(plugin, 22050, 512, GetParam()));

  // The control bits of MXCSR (the low six bits are sticky status flags).
  const unsigned modeBefore = _mm_getcsr() & ~0x3Fu;
  HostParameterChanges changes;
  HostEventList events;
  ASSERT_TRUE(plugin.Process(512));
  EXPECT_TRUE(NoSubnormals(plugin, 512, "step 1"));
  events.NoteOn(104, 8, 0.0639f);
  ASSERT_TRUE(plugin.Process(107, nullptr, &events));
  EXPECT_TRUE(NoSubnormals(plugin, 107, "step 2"));
  events.Clear();
  changes.Add(kFrequency, 107, 0.0);
  ASSERT_TRUE(plugin.Process(283, &changes));
  EXPECT_TRUE(NoSubnormals(plugin, 283, "step 3"));
  changes.Clear();
  changes.Add(kMode, 401, 0.0);
  ASSERT_TRUE(plugin.Process(512, &changes));
  EXPECT_TRUE(NoSubnormals(plugin, 512, "step 4"));
  changes.Clear();
  ASSERT_TRUE(plugin.Process(353));
  EXPECT_TRUE(NoSubnormals(plugin, 353, "step 5"));
  changes.Add(kMode, 460, 1.0);
  ASSERT_TRUE(plugin.Process(512, &changes));
  EXPECT_TRUE(NoSubnormals(plugin, 512, "step 6"));
  // The caller's floating-point mode comes back after every call.
  EXPECT_EQ(_mm_getcsr() & ~0x3Fu, modeBefore);

  plugin.Destroy();
  EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
}

// Random automation with notes and mode switches at rates from 22.05 to
// 192 kHz: no output sample is ever subnormal.
TEST_P(Subnormals, RandomAutomationNeverProducesThem)
{
  THRUMWELL_CHECK_GATE();
  std::mt19937 random(20261210u + static_cast<unsigned>(GetParam()));
  for (double rate : {22050.0, 44100.0, 96000.0, 192000.0})
  {
    HostPlugin plugin(SharedModule());
    ASSERT_TRUE(Started(plugin, rate, 512, GetParam()));
    std::uniform_int_distribution<int> length(1, 512), offset(0, 511), param(0, 11), pitch(0, 127);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int block = 0; block < 200; ++block)
    {
      const int n = length(random);
      HostParameterChanges changes;
      HostEventList events;
      for (int k = unit(random) < 0.5 ? 1 : 0; k > 0; --k)
      {
        // Mostly short envelopes, so notes end and gains decay within the run.
        const ParamID id = static_cast<ParamID>(param(random));
        const double value = (id == kAttack || id == kRelease || id == kFade) ? unit(random) * 0.05 : unit(random);
        changes.Add(id, offset(random) % n, value);
      }
      if (unit(random) < 0.3)
        events.NoteOn(offset(random) % n, static_cast<int16>(pitch(random)), static_cast<float>(unit(random)));
      if (unit(random) < 0.3)
        events.NoteOff(offset(random) % n, static_cast<int16>(pitch(random)));
      ProcessContext context{};
      context.state = unit(random) < 0.7 ? static_cast<uint32>(ProcessContext::kPlaying) : 0u;
      context.sampleRate = rate;
      context.projectTimeSamples = block * 512;
      ASSERT_TRUE(plugin.Process(n, &changes, &events, unit(random) < 0.8 ? &context : nullptr));
      ASSERT_TRUE(NoSubnormals(plugin, n, "random block")) << "rate " << rate << " block " << block;
    }
    plugin.Destroy();
    EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
  }
}

// Subnormal input, whether the tone sounds over it or is silent (the
// transport stopped in Generator mode), leaves as zero.
TEST_P(Subnormals, SubnormalInputLeavesAsZero)
{
  THRUMWELL_CHECK_GATE();
  HostPlugin plugin(SharedModule());
  ASSERT_TRUE(Started(plugin, 48000, 256, GetParam()));
  HostParameterChanges generator;
  generator.Add(kMode, 0, 0.0);
  ASSERT_TRUE(plugin.Process(0, &generator));
  for (bool playing : {true, false, false})
  {
    for (int channel = 0; channel < 2; ++channel)
      for (int i = 0; i < 256; ++i)
      {
        const double tiny = (i % 2 ? -1.0 : 1.0) * (i + 1) * 1e-3;
        if (GetParam() == kSample64)
          plugin.Channel64(kInput, 0, channel)[i] = tiny * DBL_MIN;
        else
          plugin.Channel32(kInput, 0, channel)[i] = static_cast<float>(tiny) * FLT_MIN;
      }
    ProcessContext context{};
    context.state = playing ? static_cast<uint32>(ProcessContext::kPlaying) : 0u;
    context.sampleRate = 48000;
    ASSERT_TRUE(plugin.Process(256, nullptr, nullptr, &context));
    EXPECT_TRUE(NoSubnormals(plugin, 256, playing ? "playing" : "stopped"));
  }
  plugin.Destroy();
  EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
}

INSTANTIATE_TEST_SUITE_P(BothSampleSizes, Subnormals, ::testing::Values(kSample32, kSample64),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == kSample64 ? "Samples64" : "Samples32";
                         });

// Left-channel samples of Generator-mode playback; the transport runs on.
std::vector<double> Play(HostPlugin& plugin, double rate, int frames, std::int64_t& position)
{
  std::vector<double> left;
  const int block = 256;
  while (static_cast<int>(left.size()) < frames)
  {
    ProcessContext context{};
    context.state = ProcessContext::kPlaying;
    context.sampleRate = rate;
    context.projectTimeSamples = position;
    EXPECT_TRUE(plugin.Process(block, nullptr, nullptr, &context));
    for (int i = 0; i < block; ++i)
      left.push_back(plugin.SampleSize() == kSample64 ? plugin.Channel64(kOutput, 0, 0)[i]
                                                      : plugin.Channel32(kOutput, 0, 0)[i]);
    position += block;
  }
  left.resize(static_cast<std::size_t>(frames));
  return left;
}

// Frequency from the first and last rising zero crossings (interpolated).
double CrossingFrequency(const std::vector<double>& x, double rate)
{
  double first = -1, last = -1;
  int count = 0;
  for (std::size_t i = 1; i < x.size(); ++i)
    if (x[i - 1] < 0.0 && x[i] >= 0.0)
    {
      const double t = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
      if (first < 0)
        first = t;
      last = t;
      ++count;
    }
  return count > 1 ? (count - 1) * rate / (last - first) : 0.0;
}

// Amplitude of the component at frequency f (a single-bin Fourier sum).
double Amplitude(const std::vector<double>& x, double f, double rate)
{
  double re = 0, im = 0;
  for (std::size_t i = 0; i < x.size(); ++i)
  {
    const double w = 2 * 3.14159265358979323846 * f * static_cast<double>(i) / rate;
    re += x[i] * std::cos(w);
    im -= x[i] * std::sin(w);
  }
  return 2.0 * std::hypot(re, im) / static_cast<double>(x.size());
}

struct RateChange
{
  double from, to;
};

class SampleRateChange : public ::testing::TestWithParam<RateChange>
{
};

// Program 1 plays 398 Hz on the left. After the host stops, sets up another
// rate and starts again, with no parameter change, the tone goes on at 398 Hz
// from the first block (it used to restart at 398 × new/old and glide back).
TEST_P(SampleRateChange, TheToneKeepsItsPitch)
{
  THRUMWELL_CHECK_GATE();
  const RateChange change = GetParam();
  for (int size : {kSample32, kSample64})
  {
    HostPlugin plugin(SharedModule());
    ASSERT_TRUE(Started(plugin, change.from, 256, size));
    HostParameterChanges program;
    program.Add(kPresets, 0, 1.0 / (kPrograms - 1));
    ASSERT_TRUE(plugin.Process(0, &program));
    std::int64_t position = 0;
    const std::vector<double> before = Play(plugin, change.from, static_cast<int>(change.from), position);
    const std::vector<double> settled(before.end() - static_cast<long>(change.from / 4), before.end());
    EXPECT_NEAR(CrossingFrequency(settled, change.from), 398.0, 0.5);

    ASSERT_TRUE(plugin.SetProcessing(false));
    ASSERT_TRUE(plugin.SetActive(false));
    ASSERT_TRUE(plugin.SetupProcessing(change.to, 256, size));
    ASSERT_TRUE(plugin.SetActive(true));
    ASSERT_TRUE(plugin.SetProcessing(true));
    position = 0;
    const std::vector<double> after = Play(plugin, change.to, static_cast<int>(change.to / 4), position);
    const std::vector<double> first20ms(after.begin(), after.begin() + static_cast<long>(change.to / 50));
    EXPECT_NEAR(CrossingFrequency(first20ms, change.to), 398.0, 2.0) << "size " << size;
    EXPECT_NEAR(Amplitude(after, 398.0, change.to), Amplitude(settled, 398.0, change.from), 0.05)
        << "size " << size;

    plugin.Destroy();
    EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
  }
}

INSTANTIATE_TEST_SUITE_P(UpAndDown, SampleRateChange,
                         ::testing::Values(RateChange{44100, 96000}, RateChange{96000, 22050}),
                         [](const ::testing::TestParamInfo<RateChange>& info) {
                           return "From" + std::to_string(static_cast<int>(info.param.from)) + "To" +
                                  std::to_string(static_cast<int>(info.param.to));
                         });

// A host that offers its run loop (Linux: through the factory's host context;
// Windows: the plug-in's own timer window, run by pumping the thread's
// messages) learns after a program change that every value changed: one
// restartComponent(kParamValuesChanged) per change, on its user-interface
// thread, none while nothing changes.
TEST(ProgramChange, TellsTheHostOnItsUserInterfaceThread)
{
  THRUMWELL_CHECK_GATE();
  HostRunLoop loop;
  SharedModule().SetHostContext(&loop);
  {
    HostPlugin plugin(SharedModule());
    ASSERT_TRUE(Started(plugin, 44100, 256));

    loop.RunFor(150);
    EXPECT_TRUE(plugin.Handler().Restarts().empty());

    for (int change = 1; change <= 2; ++change)
    {
      // The program arrives in process on the audio thread; the host's
      // user-interface thread (this one) runs its loop afterwards.
      std::thread audio([&] {
        HostParameterChanges program;
        program.Add(kPresets, 0, change / static_cast<double>(kPrograms - 1));
        EXPECT_TRUE(plugin.Process(256, &program));
      });
      audio.join();
      // (Each host call's checks take what the handler recorded so far.)
      EXPECT_TRUE(plugin.Handler().Restarts().empty()) << "reported before the user-interface thread ran";
      loop.RunFor(200);
      ASSERT_EQ(plugin.Handler().Restarts().size(), 1u) << "change " << change;
      EXPECT_EQ(plugin.Handler().Restarts().back(), kParamValuesChanged);
      loop.RunFor(120);
      EXPECT_EQ(plugin.Handler().Restarts().size(), 1u) << "told more than once";
    }
    // The values the host reads back are the last program's ("101Hz Tunning",
    // a Synthesizer program).
    EXPECT_EQ(plugin.Controller()->getParamNormalized(kMode), 1.0);
    EXPECT_TRUE(plugin.Handler().Complaints().empty()) << Lines(plugin.Handler().Complaints());

    plugin.Destroy();
    EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
  }
  SharedModule().SetHostContext(nullptr);
  // Everything the plug-in registered with the loop is gone after terminate.
  EXPECT_EQ(loop.TimerCount(), 0u);
  EXPECT_TRUE(loop.Complaints().empty()) << Lines(loop.Complaints());
  EXPECT_EQ(loop.References(), 0);
}

}  // namespace
}  // namespace HostTest
