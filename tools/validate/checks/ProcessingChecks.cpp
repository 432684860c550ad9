// Processing as a host drives it: unknown parameter IDs, the bypass
// parameter, longer blocks than announced and missing buffers for any
// plug-in; for our instrument also parameter changes by their last point, the
// program and bypass IDs, note events, the transport and both sample sizes.

#include <cmath>

#include "host/HostEventList.h"
#include "host/HostParameterList.h"
#include "tools/validate/checks/CheckSupport.h"

namespace HostTest
{
namespace {

// SampleSizes, SongPosition and NoteVelocity are about our instrument's own
// design; Processing applies to any plug-in.
[[maybe_unused]] const bool kRegistered = RegisterGroup("Processing", 1, false) && RegisterGroup("SampleSizes", 1, true) &&
                                          RegisterGroup("SongPosition", 1, true) && RegisterGroup("NoteVelocity", 1, true);

ProcessContext Playing(double rate = 44100.0, std::int64_t position = 0)
{
  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid;
  context.sampleRate = rate;
  context.projectTimeSamples = position;
  context.tempo = 120;
  return context;
}

class Processing : public PluginTest
{
protected:
  // A distinct ramp on each of the first channels of the main input.
  void FillInput(int channels, int n)
  {
    for (int c = 0; c < channels; ++c)
      for (int i = 0; i < n; ++i)
      {
        const double value = (c + 1) * 0.001 * i - 0.1;
        if (plugin->SampleSize() == kSample64)
          plugin->Channel64(kInput, 0, c)[i] = value;
        else
          plugin->Channel32(kInput, 0, c)[i] = static_cast<float>(value);
      }
  }
  // The first channels of the main output hold the input exactly.
  ::testing::AssertionResult OutputIsInput(int channels, int n)
  {
    for (int c = 0; c < channels; ++c)
      for (int i = 0; i < n; ++i)
      {
        const double in = plugin->SampleSize() == kSample64 ? plugin->Channel64(kInput, 0, c)[i]
                                                            : plugin->Channel32(kInput, 0, c)[i];
        if (Sample(c, i) != in)
          return ::testing::AssertionFailure() << "channel " << c << " sample " << i << ": " << Sample(c, i)
                                               << " for " << in;
      }
    return ::testing::AssertionSuccess();
  }
};

// Two seconds of a Generator program from a fresh instance.
std::vector<double> Tone(int size)
{
  HostPlugin plugin(SharedModule());
  if (!plugin.Create(ChosenClass()))
  {
    ADD_FAILURE() << Lines(plugin.Violations());
    return {};
  }
  plugin.ActivateDefaultBuses();
  plugin.SetupProcessing(44100, 256, size);
  plugin.SetActive(true);
  HostParameterChanges changes;
  changes.Add(kPresets, 0, 83.0 / 129);
  plugin.Process(0, &changes);
  std::vector<double> tone;
  for (int block = 0; block < 8; ++block)
  {
    ProcessContext context = Playing(44100, block * 256);
    plugin.Process(256, nullptr, nullptr, &context);
    for (int i = 0; i < 256; ++i)
      tone.push_back(size == kSample64 ? plugin.Channel64(kOutput, 0, 0)[i] : plugin.Channel32(kOutput, 0, 0)[i]);
  }
  plugin.Destroy();
  EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
  return tone;
}

TEST(SampleSizes, BothPlayTheSameTone)
{
  THRUMWELL_CHECK_GATE();
  const std::vector<double> tone[2] = {Tone(kSample32), Tone(kSample64)};
  double worst = 0, peak = 0;
  ASSERT_EQ(tone[0].size(), tone[1].size());
  for (std::size_t i = 0; i < tone[0].size(); ++i)
  {
    worst = std::max(worst, std::abs(tone[0][i] - tone[1][i]));
    peak = std::max(peak, std::abs(tone[1][i]));
  }
  EXPECT_LT(worst, 1e-6);
  EXPECT_GT(peak, 0.4);
}

TEST_F(Processing, GeneratorSoundsOnlyWhileTheTransportRuns)
{
  THRUMWELL_DESIGN_CHECK();
  Start(kSample32, 512);
  Apply({{kMode, 0.0}});
  ProcessContext stopped = Playing();
  stopped.state = 0;
  for (int block = 0; block < 4; ++block)
    ASSERT_TRUE(plugin->Process(512, nullptr, nullptr, &stopped));
  EXPECT_EQ(Peak(0, 512), 0.0);
  ProcessContext playing = Playing();
  for (int block = 0; block < 4; ++block)
    ASSERT_TRUE(plugin->Process(512, nullptr, nullptr, &playing));
  EXPECT_GT(Peak(0, 512), 0.1);
}

// The first block of a Generator program started with the transport at a
// song position, from a fresh instance.
std::vector<float> StartAt(std::int64_t position)
{
  HostPlugin plugin(SharedModule());
  if (!plugin.Create(ChosenClass()))
  {
    ADD_FAILURE() << Lines(plugin.Violations());
    return {};
  }
  plugin.ActivateDefaultBuses();
  plugin.SetupProcessing(44100, 512);
  plugin.SetActive(true);
  HostParameterChanges changes;
  changes.Add(kPresets, 0, 1.0 / 129);
  changes.Add(kFade, 0, 0.0);
  plugin.Process(0, &changes);
  ProcessContext context = Playing(44100, position);
  plugin.Process(512, nullptr, nullptr, &context);
  const float* left = plugin.Channel32(kOutput, 0, 0);
  std::vector<float> block(left, left + 512);
  plugin.Destroy();
  EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
  return block;
}

TEST(SongPosition, TheSamePositionGivesTheSameWaveform)
{
  THRUMWELL_CHECK_GATE();
  const std::vector<float> first = StartAt(123456);
  EXPECT_EQ(StartAt(123456), first);
  EXPECT_NE(StartAt(123456 + 37), first);
}

TEST_F(Processing, OnlyTheLastPointOfAQueueCounts)
{
  THRUMWELL_DESIGN_CHECK();
  Start();
  HostParameterChanges changes;
  changes.Add(kVolume, 0, 0.2);
  changes.Add(kVolume, 200, 0.9);
  changes.Add(kWave, 0, 1.0);
  changes.Add(kWave, 10, 0.0);
  changes.Add(kWave, 100, 2.0 / 3);
  ASSERT_TRUE(plugin->Process(512, &changes));
  EXPECT_DOUBLE_EQ(Normalized(kVolume), 0.9);
  EXPECT_DOUBLE_EQ(Normalized(kWave), 2.0 / 3);
}

TEST_F(Processing, PresetsQueueSelectsAndLoadsThePrograms)
{
  THRUMWELL_DESIGN_CHECK();
  Start();
  const struct
  {
    double value;
    double selected;  // normalized 'prst' afterwards
  } table[] = {{1.0, 1.0}, {0.5, 65.0 / 129}, {83.0 / 129, 83.0 / 129}, {0.0, 0.0}};
  for (const auto& row : table)
  {
    Apply({{kPresets, row.value}});
    EXPECT_DOUBLE_EQ(Normalized(kPresets), row.selected) << row.value;
  }
  Apply({{kPresets, 83.0 / 129}});
  EXPECT_NEAR(plugin->Controller()->normalizedParamToPlain(kBinaural, Normalized(kBinaural)), 7.83, 1e-12);
  EXPECT_EQ(Normalized(kMode), 0.0);  // a Generator program
}

TEST_F(Processing, UnknownIdsAreIgnored)
{
  Start();
  const HostParameterList params(plugin->Controller(), plugin->Units());
  std::vector<double> before;
  for (int i = 0; i < params.Count(); ++i)
    before.push_back(Normalized(params.At(i).info.id));
  // IDs the plug-in does not list (our instrument's bypass is understood
  // though not listed).
  auto listed = [&](ParamID id) {
    for (int i = 0; i < params.Count(); ++i)
      if (params.At(i).info.id == id)
        return true;
    return false;
  };
  std::vector<std::pair<ParamID, double>> unknown;
  for (ParamID id : {ParamID(12), ParamID(999), 0x80000000u, 0xFFFFFFFFu, 0x7FFFFFFEu})
    if (!listed(id))
      unknown.push_back({id, 0.5});
  Apply(unknown);
  for (int i = 0; i < params.Count(); ++i)
    EXPECT_EQ(Normalized(params.At(i).info.id), before[static_cast<std::size_t>(i)]) << params.At(i).info.id;
}

// Any plug-in with a bypass parameter and an input: bypassed, the output is
// the input, channel by channel, in both sample sizes.
TEST_F(Processing, BypassParameterPassesTheInputThrough)
{
  const HostParameterList params(plugin->Controller(), plugin->Units());
  ParamID bypass = kNoParamId;
  for (int i = 0; i < params.Count(); ++i)
    if (params.At(i).info.flags & ParameterInfo::kIsBypass)
      bypass = params.At(i).info.id;
  if (bypass == kNoParamId || plugin->NBuses(kInput) == 0 || OutputChannels() == 0)
    GTEST_SKIP() << "the plug-in has no bypass parameter or no audio input";
  for (int size : {kSample32, kSample64})
  {
    SCOPED_TRACE(size);
    Start(size, 256);
    Apply({{bypass, 1.0}});
    const int channels = std::min(OutputChannels(), plugin->NChannels(kInput, 0));
    FillInput(channels, 256);
    ASSERT_TRUE(plugin->Process(256));
    EXPECT_TRUE(OutputIsInput(channels, 256));
    Apply({{bypass, 0.0}});
    ASSERT_TRUE(plugin->SetProcessing(false));
    ASSERT_TRUE(plugin->SetActive(false));
  }
}

TEST_F(Processing, BypassCopiesTheInputInBothSampleSizes)
{
  THRUMWELL_DESIGN_CHECK();
  for (int size : {kSample32, kSample64})
  {
    SCOPED_TRACE(size);
    Start(size, 256);
    Apply({{kMode, 0.0}, {kBypass, 1.0}});
    EXPECT_EQ(Normalized(kBypass), 1.0);
    FillInput(2, 256);
    ProcessContext context = Playing();
    ASSERT_TRUE(plugin->Process(256, nullptr, nullptr, &context));
    EXPECT_TRUE(OutputIsInput(2, 256));
    Apply({{kBypass, 0.0}});
    EXPECT_EQ(Normalized(kBypass), 0.0);
    ASSERT_TRUE(plugin->SetProcessing(false));
    ASSERT_TRUE(plugin->SetActive(false));
  }
}

// The settled level of a square note played at an event velocity.
double SquareLevel(float velocity)
{
  HostPlugin plugin(SharedModule());
  if (!plugin.Create(ChosenClass()))
  {
    ADD_FAILURE() << Lines(plugin.Violations());
    return {};
  }
  plugin.ActivateDefaultBuses();
  plugin.SetupProcessing(44100, 512);
  plugin.SetActive(true);
  HostParameterChanges changes;
  changes.Add(kAttack, 0, 0.0);
  changes.Add(kWave, 0, 1.0);
  changes.Add(kVolume, 0, 1.0);
  HostEventList events;
  events.NoteOn(0, 69, velocity);
  ProcessContext context = Playing();
  plugin.Process(512, &changes, &events, &context);
  for (int block = 0; block < 8; ++block)
    plugin.Process(512, nullptr, nullptr, &context);
  double level = 0;
  for (int i = 0; i < 512; ++i)
    level = std::max(level, std::abs(static_cast<double>(plugin.Channel32(kOutput, 0, 0)[i])));
  plugin.Destroy();
  EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
  return level;
}

TEST(NoteVelocity, IsScaledBy127AndTruncated)
{
  THRUMWELL_CHECK_GATE();
  const double full = SquareLevel(1.0f);
  ASSERT_GT(full, 0.5);
  // 0.5 × 127 = 63.5 becomes 63, not 64.
  EXPECT_NEAR(SquareLevel(0.5f) / full, 63.0 / 127, 1e-6);
  EXPECT_NEAR(SquareLevel(0.1f) / full, 12.0 / 127, 1e-6);
}

TEST_F(Processing, NoteOffEndsTheNote)
{
  THRUMWELL_DESIGN_CHECK();
  Start(kSample32, 512);
  Apply({{kAttack, 0.0}, {kRelease, 0.0}, {kWave, 1.0}});
  HostEventList events;
  events.NoteOn(0, 60, 1.0f);
  ProcessContext context = Playing();
  ASSERT_TRUE(plugin->Process(512, nullptr, &events, &context));
  ASSERT_TRUE(plugin->Process(512, nullptr, nullptr, &context));
  EXPECT_GT(Peak(0, 512), 0.3);
  events.Clear();
  events.NoteOff(0, 60);
  ASSERT_TRUE(plugin->Process(512, nullptr, &events, &context));
  for (int block = 0; block < 4; ++block)
    ASSERT_TRUE(plugin->Process(512, nullptr, nullptr, &context));
  EXPECT_LT(Peak(0, 512), 1e-3);
}

TEST_F(Processing, BlocksLongerThanAnnouncedAreFullyWritten)
{
  Start(kSample32, 64);
  if (BundleIsThrumwell())
    Apply({{kMode, 0.0}});
  ProcessContext context = Playing();
  // The host checks that all 5000 samples were written, finite.
  ASSERT_TRUE(plugin->Process(5000, nullptr, nullptr, &context));
  if (BundleIsThrumwell())
  {
    EXPECT_GT(Peak(0, 5000), 0.0);
  }
}

TEST_F(Processing, MissingBuffersAndNullPointersAreSurvived)
{
  Start(kSample32, 256);
  ProcessContext context = Playing();
  {
    ProcessData& data = plugin->PrepareData(256, nullptr, nullptr, &context);
    if (data.numOutputs > 0)
      data.outputs[0].channelBuffers32 = nullptr;
    if (data.numInputs > 0)
      data.inputs[0].channelBuffers32 = nullptr;
    EXPECT_EQ(plugin->Processor()->process(data), kResultOk);
  }
  {
    ProcessData& data = plugin->PrepareData(256, nullptr, nullptr, &context);
    data.numInputs = 0;
    data.inputs = nullptr;
    data.numOutputs = 0;
    data.outputs = nullptr;
    EXPECT_EQ(plugin->Processor()->process(data), kResultOk);
  }
  if (OutputChannels() > 0)
  {
    ProcessData& data = plugin->PrepareData(256, nullptr, nullptr, &context);
    std::vector<float*> channels(static_cast<std::size_t>(OutputChannels()), nullptr);
    for (int c = 1; c < OutputChannels(); ++c)
      channels[static_cast<std::size_t>(c)] = plugin->Channel32(kOutput, 0, c);
    data.outputs[0].channelBuffers32 = channels.data();
    EXPECT_EQ(plugin->Processor()->process(data), kResultOk);
  }
  {
    ProcessData& data = plugin->PrepareData(256, nullptr, nullptr, &context);
    data.numSamples = -5;
    const tresult result = plugin->Processor()->process(data);
    EXPECT_TRUE(result == kResultOk || result == kResultFalse || result == kInvalidArgument) << result;
  }
  // Afterwards an ordinary block is as good as ever.
  EXPECT_TRUE(plugin->Process(256, nullptr, nullptr, &context));
}

}  // namespace
}  // namespace HostTest
