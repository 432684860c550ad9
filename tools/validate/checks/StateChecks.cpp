// Component state as hosts save and restore it: round-tripped bit for bit
// into another instance (and its controller), saved and restored while
// processing, and short or garbage streams answered without harm; for our
// instrument, its 96 bytes.

#include <cmath>
#include <cstring>

#include "host/HostMemoryStream.h"
#include "tools/validate/checks/CheckSupport.h"

namespace HostTest
{
namespace {

[[maybe_unused]] const bool kRegistered = RegisterGroup("State", 1, false);

class State : public PluginTest
{
protected:
  std::vector<std::uint8_t> Save()
  {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(plugin->GetState(bytes));
    return bytes;
  }
  static std::vector<std::uint8_t> Doubles(const std::vector<double>& values)
  {
    std::vector<std::uint8_t> bytes(values.size() * 8);
    std::memcpy(bytes.data(), values.data(), bytes.size());  // little-endian on both platforms
    return bytes;
  }
  // Every parameter within 0..1, and a state to save.
  void ExpectSane()
  {
    for (int32 i = 0; i < plugin->Controller()->getParameterCount(); ++i)
    {
      ParameterInfo info{};
      ASSERT_EQ(plugin->Controller()->getParameterInfo(i, info), kResultOk);
      const double value = Normalized(info.id);
      EXPECT_TRUE(value >= 0.0 && value <= 1.0) << info.id << ": " << value;
    }
    const std::vector<std::uint8_t> saved = Save();
    if (BundleIsThrumwell())
    {
      EXPECT_EQ(saved.size(), 96u);
    }
  }
};

TEST_F(State, TwelveDoublesOfTheRealValues)
{
  THRUMWELL_DESIGN_CHECK();
  const std::vector<std::uint8_t> bytes = Save();
  ASSERT_EQ(bytes.size(), 96u);
  double values[12];
  std::memcpy(values, bytes.data(), 96);
  EXPECT_EQ(values[kFrequency], 200.0);
  EXPECT_EQ(values[kBinaural], 4.0);
  EXPECT_EQ(values[kVolume], 90.0);
  EXPECT_EQ(values[kMode], 1.0);
}

// Values set through automation travel with the state into a fresh instance,
// whose controller shows them as this one's does.
TEST_F(State, RoundTripsBitForBitIntoAnotherInstance)
{
  Start();
  if (BundleIsThrumwell())
  {
    Apply({{kPresets, 83.0 / 129}, {kVolume, 0.37}, {kWave, 2.0 / 3}, {kFrequency, 0.123456789}});
  }
  else
  {
    std::vector<std::pair<ParamID, double>> values;
    for (const ParameterInfo& info : SettableParameters(plugin->Controller()))
      if (info.flags & ParameterInfo::kCanAutomate)
        values.push_back({info.id, info.defaultNormalizedValue < 0.5 ? 0.8125 : 0.1875});
    Apply(values);
  }
  const std::vector<std::uint8_t> saved = Save();
  if (BundleIsThrumwell())
  {
    ASSERT_EQ(saved.size(), 96u);
  }

  HostPlugin other(SharedModule());
  ASSERT_TRUE(other.Create(ChosenClass()));
  EXPECT_EQ(other.SetState(saved), kResultOk);
  std::vector<std::uint8_t> again;
  ASSERT_TRUE(other.GetState(again));
  EXPECT_EQ(again, saved);
  // A separate controller knows only what the state told it.
  if (plugin->HasSeparateController())
  {
    HostMemoryStream stream(saved);
    plugin->Controller()->setComponentState(&stream);
  }
  for (const ParameterInfo& info : SettableParameters(plugin->Controller()))
    EXPECT_EQ(other.Controller()->getParamNormalized(info.id), Normalized(info.id)) << info.id;
  other.Destroy();
  EXPECT_TRUE(other.Violations().empty()) << Lines(other.Violations());
}

TEST_F(State, NinetySixBytesRestoreAlsoWhenReadingPastTheEndIsAnError)
{
  THRUMWELL_DESIGN_CHECK();
  std::vector<double> values = {1234.5, 7.5, 432, 3, 1, 1, 100, 200, 300, 55, 0, 1};
  EXPECT_EQ(plugin->SetState(Doubles(values), true), kResultOk);
  EXPECT_EQ(plugin->Controller()->normalizedParamToPlain(kFrequency, Normalized(kFrequency)), 1234.5);
  EXPECT_DOUBLE_EQ(Normalized(kVolume), 0.55);
  EXPECT_EQ(Normalized(kWave), 1.0);
  EXPECT_EQ(Normalized(kMode), 0.0);
  EXPECT_EQ(plugin->SetState(Doubles(values), false), kResultOk);
}

TEST_F(State, ShortAndGarbageStreamsAreAnsweredWithoutHarm)
{
  const double nan = std::nan("");
  const std::vector<std::vector<std::uint8_t>> streams = {
    {},
    {1, 2, 3},
    std::vector<std::uint8_t>(40, 0x55),
    std::vector<std::uint8_t>(95, 0xFF),
    Doubles({nan, nan, nan, nan, nan, nan, nan, nan, nan, nan, nan, nan}),
    Doubles({1e300, -1e300, INFINITY, -INFINITY, 1e9, -5, 77, -1, 1e12, 1e6, 9, -9}),
    std::vector<std::uint8_t>(100000, 0x9B),
  };
  for (std::size_t i = 0; i < streams.size(); ++i)
  {
    SCOPED_TRACE(i);
    const tresult result = plugin->SetState(streams[i], i % 2 == 0);
    EXPECT_TRUE(result == kResultOk || result == kResultFalse) << result;
    ExpectSane();
  }
  // A short stream is no complete state of ours.
  if (BundleIsThrumwell())
  {
    EXPECT_EQ(plugin->SetState({1, 2, 3}), kResultFalse);
  }
  // And the plug-in still plays.
  Start();
  if (BundleIsThrumwell())
    Apply({{kMode, 0.0}});
  ProcessContext context{};
  context.state = ProcessContext::kPlaying;
  context.sampleRate = 44100;
  EXPECT_TRUE(plugin->Process(512, nullptr, nullptr, &context));
}

TEST_F(State, NullStreamsAreRefused)
{
  THRUMWELL_DESIGN_CHECK();
  EXPECT_NE(plugin->Component()->setState(nullptr), kResultOk);
  EXPECT_NE(plugin->Component()->getState(nullptr), kResultOk);
}

TEST_F(State, StateCallsWhileProcessing)
{
  Start();
  const std::vector<std::uint8_t> saved = Save();
  ProcessContext context{};
  context.state = ProcessContext::kPlaying;
  context.sampleRate = 44100;
  for (int i = 0; i < 3; ++i)
  {
    ASSERT_TRUE(plugin->Process(512, nullptr, nullptr, &context));
    EXPECT_EQ(plugin->SetState(saved), kResultOk);
  }
  EXPECT_EQ(Save(), saved);
}

}  // namespace
}  // namespace HostTest
