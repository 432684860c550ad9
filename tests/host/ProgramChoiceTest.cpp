// A program chosen in the host's preset list, the way Ardour chooses it: on
// its user-interface thread it queues the program-change value for the next
// process call and calls setParamNormalized on the controller; it refreshes
// its controls (and the values it saves) from getParamNormalized, right away
// or when the plug-in calls restartComponent(kParamValuesChanged). A headless
// Ardour has no run loop, so the plug-in must tell it from within that call.

#include <cmath>
#include <thread>
#include <vector>

#include "host/HostRunLoop.h"
#include "tools/validate/checks/CheckSupport.h"

namespace HostTest
{
namespace {

// Program 1, "Higher frequencies", in real values by parameter index.
const std::vector<double> kProgram1 = {400, 4, 440, 0, 0, 0, 800, 500, 1000, 90, 0, 1};
const double kProgram1Value = 1.0 / (kPrograms - 1);

// Rising zero crossings per second: the frequency of a clean tone.
double Frequency(const std::vector<double>& samples, double rate)
{
  int rising = 0;
  for (std::size_t i = 1; i < samples.size(); ++i)
    rising += samples[i - 1] <= 0.0 && samples[i] > 0.0;
  return rising * rate / static_cast<double>(samples.size());
}

class ProgramChoice : public PluginTest
{
protected:
  // Every parameter reads back as program 1's value.
  void ExpectProgram1(const char* when)
  {
    SCOPED_TRACE(when);
    EXPECT_DOUBLE_EQ(Normalized(kPresets), kProgram1Value);
    for (std::size_t i = 0; i < kProgram1.size(); ++i)
    {
      const ParamID id = static_cast<ParamID>(i);
      EXPECT_NEAR(Normalized(id), plugin->Controller()->plainParamToNormalized(id, kProgram1[i]), 1e-9)
        << "parameter " << i;
    }
  }
};

TEST_F(ProgramChoice, ArdoursOrderWithoutARunLoop)
{
  THRUMWELL_DESIGN_CHECK();
  for (int size : {kSample32, kSample64})
  {
    SCOPED_TRACE(size == kSample64 ? "64-bit" : "32-bit");
    constexpr double kRate = 48000;
    constexpr int kBlock = 480;
    Start(size, kBlock, kRate);
    ProcessContext context{};
    context.state = ProcessContext::kPlaying;
    context.sampleRate = kRate;
    // Values unlike the program's (the default program's, for the first
    // round): Synthesizer mode, "Frequency" 200, "Center Freq" No.
    Apply({{kMode, 1.0}, {kFrequency, plugin->Controller()->plainParamToNormalized(kFrequency, 200)},
           {kCenterFreq, 0.0}});
    ASSERT_TRUE(plugin->Process(kBlock, nullptr, nullptr, &context));
    ASSERT_EQ(Normalized(kMode), 1.0);
    plugin->Handler().Clear();

    // The user-interface thread (this one): queue, set, read back.
    HostParameterChanges queued;
    queued.Add(kPresets, 0, kProgram1Value);
    ASSERT_EQ(plugin->Controller()->setParamNormalized(kPresets, kProgram1Value), kResultOk);
    ExpectProgram1("right after setParamNormalized");
    EXPECT_EQ(plugin->Handler().Restarts(), std::vector<int32>{kParamValuesChanged});

    // The audio thread's next block carries the change, then five seconds of
    // tone; the last second is measured, when the glide towards the new
    // frequencies (a quarter of "Fade" per e-fold) has long ended.
    std::vector<double> left, right;
    std::thread audio([&] {
      for (int block = 0; block < 500; ++block)
      {
        ASSERT_TRUE(plugin->Process(kBlock, block == 0 ? &queued : nullptr, nullptr, &context));
        context.projectTimeSamples += kBlock;
        if (block < 400)
          continue;
        for (int i = 0; i < kBlock; ++i)
        {
          left.push_back(Sample(0, i));
          right.push_back(Sample(1, i));
        }
      }
    });
    audio.join();
    ExpectProgram1("after process applied it");
    // The host's checks after each block take what the handler recorded (a
    // restart from the audio thread is a violation the fixture reports).
    EXPECT_TRUE(plugin->Handler().Restarts().empty()) << "told more than once";
    // Carrier 400 Hz as the centre of a 4 Hz beat, the left ear lower.
    EXPECT_NEAR(Frequency(left, kRate), 398, 1.0);
    EXPECT_NEAR(Frequency(right, kRate), 402, 1.0);

    ASSERT_TRUE(plugin->SetProcessing(false));
    ASSERT_TRUE(plugin->SetActive(false));
    ASSERT_TRUE(plugin->Process(0, nullptr));
  }
}

// With a run loop (whose ticks would tell the host of a program chosen by
// automation) the host still hears of its own choice exactly once, whichever
// reaches the plug-in first: the queued change in process or the
// controller call. A later automation of the same program is news again.
TEST(ProgramChoiceWithRunLoop, TheHostHearsOfEachChoiceOnce)
{
  THRUMWELL_CHECK_GATE();
  THRUMWELL_DESIGN_CHECK();
  HostRunLoop loop;
  SharedModule().SetHostContext(&loop);
  // The module keeps the context until its exit: cleared however the test ends.
  struct ContextReset
  {
    ~ContextReset() { SharedModule().SetHostContext(nullptr); }
  } reset;
  {
    HostPlugin plugin(SharedModule());
    ASSERT_TRUE(plugin.Create() && plugin.ActivateDefaultBuses() && plugin.SetupProcessing(44100, 256) &&
                plugin.SetActive(true) && plugin.SetProcessing(true))
      << Lines(plugin.Violations());
    // The host's checks after each block take what the handler recorded so
    // far: count it before every block.
    std::size_t heard = 0;
    const auto hear = [&] {
      heard += plugin.Handler().Restarts().size();
      plugin.Handler().Clear();
      return heard;
    };
    const auto processOnAudioThread = [&](double program) {
      hear();
      std::thread audio([&] {
        HostParameterChanges changes;
        changes.Add(kPresets, 0, program / (kPrograms - 1));
        EXPECT_TRUE(plugin.Process(256, &changes));
      });
      audio.join();
    };

    // Controller first, then process.
    ASSERT_EQ(plugin.Controller()->setParamNormalized(kPresets, 4.0 / (kPrograms - 1)), kResultOk);
    EXPECT_EQ(hear(), 1u);
    processOnAudioThread(4);
    loop.RunFor(200);
    EXPECT_EQ(hear(), 1u) << "controller first";

    // Process first, then the controller before the loop ticks.
    processOnAudioThread(5);
    ASSERT_EQ(plugin.Controller()->setParamNormalized(kPresets, 5.0 / (kPrograms - 1)), kResultOk);
    EXPECT_EQ(hear(), 2u);
    loop.RunFor(200);
    EXPECT_EQ(hear(), 2u) << "process first";

    // Automation alone: the loop's tick tells the host.
    processOnAudioThread(5);
    loop.RunFor(200);
    EXPECT_EQ(hear(), 3u) << "automation";
    EXPECT_EQ(plugin.Controller()->getParamNormalized(kPanReverse), 0.0);  // "Monaural beats"
    EXPECT_EQ(plugin.Controller()->getParamNormalized(kBeats), 1.0);

    plugin.Destroy();
    EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
  }
  SharedModule().SetHostContext(nullptr);
  EXPECT_EQ(loop.TimerCount(), 0u);
}

}  // namespace
}  // namespace HostTest
