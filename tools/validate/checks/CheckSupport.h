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
    ASSERT_TRUE(plugin->Create()) << Lines(plugin->Violations());
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

  std::unique_ptr<HostPlugin> plugin;
};

}  // namespace HostTest
