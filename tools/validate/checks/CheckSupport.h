#pragma once
// What every check shares: the bundle under test loaded once per process, and
// a fixture with one fresh instance per test, created and torn down as a host
// does. A check fails whenever the host saw the plug-in misbehave, even where
// the check itself looks at something else.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/HostModule.h"
#include "host/HostParameterChanges.h"
#include "host/HostPlugin.h"
#include "tools/validate/checks/CheckGroups.h"

namespace HostTest
{

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;

constexpr ParamID kPresets = 0x70727374;  // 'prst'
constexpr ParamID kBypass = 0x62706173;   // 'bpas'
enum ParamIds : ParamID
{
  kFrequency,
  kBinaural,
  kTuningFreq,
  kWave,
  kBeats,
  kPanReverse,
  kAttack,
  kRelease,
  kFade,
  kVolume,
  kMode,
  kCenterFreq
};
constexpr int kPrograms = 130;

inline HostModule& SharedModule()
{
  static HostModule module;
  if (!module.IsLoaded())
    module.Load(BundlePath());
  return module;
}

// The class under test (THRUMWELL_CLASS); a choice the bundle lacks gives
// an index no class has, so that creating it fails.
inline int ChosenClass()
{
  std::string error;
  const int index = SharedModule().ChooseClass(ClassChoice(), error);
  return index >= 0 ? index : SharedModule().NClasses();
}

// The parameters a host may set: listed, neither read-only nor the program
// change (whose value selects rather than holds).
inline std::vector<ParameterInfo> SettableParameters(IEditController* controller)
{
  std::vector<ParameterInfo> settable;
  for (int32 i = 0; controller && i < controller->getParameterCount(); ++i)
  {
    ParameterInfo info{};
    if (controller->getParameterInfo(i, info) == kResultOk &&
        !(info.flags & (ParameterInfo::kIsReadOnly | ParameterInfo::kIsProgramChange)))
      settable.push_back(info);
  }
  return settable;
}

// How far a stored normalized value may lie from the one set: a stepped
// parameter may round to its nearest step.
inline double StepTolerance(const ParameterInfo& info)
{
  return info.stepCount > 0 ? 0.5 / info.stepCount + 1e-9 : 1e-6;
}

inline std::string Lines(const std::vector<std::string>& lines)
{
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  return text;
}

class PluginTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    THRUMWELL_CHECK_GATE();
    ASSERT_TRUE(SharedModule().IsLoaded()) << SharedModule().Error();
    plugin = std::make_unique<HostPlugin>(SharedModule());
    ASSERT_TRUE(plugin->Create(ChosenClass())) << Lines(plugin->Violations());
  }
  void TearDown() override
  {
    if (!plugin)
      return;
    plugin->Destroy();
    EXPECT_TRUE(plugin->Violations().empty()) << Lines(plugin->Violations());
  }

  // Buses, setup, activation and processing, as a host starts audio.
  void Start(int sampleSize = kSample32, int maxBlock = 512, double rate = 44100.0)
  {
    ASSERT_TRUE(plugin->ActivateDefaultBuses());
    ASSERT_TRUE(plugin->SetupProcessing(rate, maxBlock, sampleSize));
    ASSERT_TRUE(plugin->SetActive(true));
    ASSERT_TRUE(plugin->SetProcessing(true));
  }

  // Sets parameters through one flush, as automation reaches the plug-in.
  void Apply(const std::vector<std::pair<ParamID, double>>& values)
  {
    HostParameterChanges changes;
    for (const auto& value : values)
      changes.Add(value.first, 0, value.second);
    ASSERT_TRUE(plugin->Process(0, &changes));
  }

  double Normalized(ParamID id) { return plugin->Controller()->getParamNormalized(id); }
  double Sample(int channel, int i)
  {
    return plugin->SampleSize() == kSample64 ? plugin->Channel64(kOutput, 0, channel)[i]
                                             : plugin->Channel32(kOutput, 0, channel)[i];
  }
  // Largest magnitude of an output channel over n samples.
  double Peak(int channel, int n)
  {
    double peak = 0;
    for (int i = 0; i < n; ++i)
      peak = std::max(peak, std::abs(Sample(channel, i)));
    return peak;
  }

  // Channels of the first output bus, or 0.
  int OutputChannels() { return plugin->NBuses(kOutput) > 0 ? plugin->NChannels(kOutput, 0) : 0; }

  std::unique_ptr<HostPlugin> plugin;
};

}  // namespace HostTest

// Skips the running test unless the bundle under test is our instrument:
// the test checks its own design (its parameters, programs, buses, texts).
#define THRUMWELL_DESIGN_CHECK()                                                              \
  do                                                                                          \
  {                                                                                           \
    if (::HostTest::SharedModule().IsLoaded() && !::HostTest::BundleIsThrumwell())            \
      GTEST_SKIP() << "checks Thrumwell's own design";                                       \
  } while (false)
