// The tone generator: oscillator frequencies, glide, gain ramps, transport
// gating, phase resynchronisation and robustness against bad input.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "synth/ThrumwellParameters.h"
#include "tests/synth/ThrumwellTestRig.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A rig in Generator mode with the transport playing, one block rendered.
struct GeneratorRig : ThrumwellRig
{
  explicit GeneratorRig(double sampleRate = 44100.0) : ThrumwellRig(sampleRate)
  {
    Set(kParamMode, kModeGenerator);
    Render(512);
  }
};

bool AllFinite(const std::vector<double>& samples, int n)
{
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(samples[i]) || std::fabs(samples[i]) > 2.0)
      return false;
  return true;
}

}  // namespace

TEST(ToneGenerator, RendersNothingUntilEveryParameterWasApplied)
{
  TestThrumwell synth;
  synth.SetBlockSize(16);
  for (int i = 0; i < 11; ++i)
  {
    synth.HandleParameterChange(i);
    EXPECT_FALSE(synth.IsRenderReady());
  }
  synth.HandleParameterChange(11);
  EXPECT_TRUE(synth.IsRenderReady());
}

TEST(ToneGenerator, OscillatorFrequencies)
{
  struct Case
  {
    const char* what;
    double frequency, binaural;
    int centerFreq, panReverse;
    double left, right;
  };
  const Case cases[] = {
    {"defaults", 200, 4, 0, 0, 200, 204},
    {"centre", 200, 4, 1, 0, 198, 202},
    {"centre held at 1 Hz", 1, 4, 1, 0, 1, 5},
    {"pan reverse", 200, 4, 0, 1, 204, 200},
    {"no beat", 528, 0, 1, 0, 528, 528},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    GeneratorRig rig;
    rig.Set(kParamFrequency, c.frequency);
    rig.Set(kParamBinaural, c.binaural);
    rig.Set(kParamCenterFreq, c.centerFreq);
    rig.Set(kParamPanReverse, c.panReverse);
    EXPECT_NEAR(rig.TargetHz(true), c.left, 1e-9);
    EXPECT_NEAR(rig.TargetHz(false), c.right, 1e-9);
  }
}

TEST(ToneGenerator, DefaultToneAt44100)
{
  GeneratorRig rig;
  // The first block starts at its target frequencies and ramps to the volume.
  EXPECT_NEAR(rig.CurrentHz(true), 200, 1e-9);
  EXPECT_NEAR(rig.CurrentHz(false), 204, 1e-9);
  EXPECT_NEAR(rig.Tone().currentGain, 0.47694338115325313, 1e-13);
  rig.Render(512);
  EXPECT_NEAR(rig.Tone().currentGain, 0.47694338115325313, 1e-13);
  // Sine at 200 Hz: the left channel is gain * sin(phase) sample by sample.
  const double phase0 = std::fmod(512.0 * 200 / 44100, 1.0) * kTwoPi;
  EXPECT_NEAR(rig.out0[0], 0.47694338115325313 * std::sin(phase0), 1e-9);
  EXPECT_NEAR(rig.out0[100], 0.47694338115325313 * std::sin(phase0 + 100 * kTwoPi * 200 / 44100), 1e-9);
}

TEST(ToneGenerator, NoBeatGivesIdenticalChannels)
{
  ThrumwellRig rig;
  rig.Set(kParamMode, kModeGenerator);
  rig.Set(kParamBinaural, 0);
  rig.synth.samplePosition = 12345;
  rig.Render(512);
  for (int i = 0; i < 512; ++i)
    ASSERT_EQ(rig.out0[i], rig.out1[i]) << i;
}

TEST(ToneGenerator, WaveformsStartFromTheirPhaseZeroValues)
{
  // Resynchronised at position 0, both phases are 0; the first sample is the
  // waveform's value at phase 0 times the first gain step.
  const struct
  {
    int wave;
    double atZero;
  } cases[] = {{kWaveSine, 0.0}, {kWaveTriangle, -1.0}, {kWaveSaw, 1.0}, {kWaveSquare, 1.0}};
  for (const auto& c : cases)
  {
    ThrumwellRig rig;
    rig.Set(kParamMode, kModeGenerator);
    rig.Set(kParamWave, c.wave);
    rig.Render(100);
    const double firstGain = 0.47694338115325313 / 100;
    EXPECT_NEAR(rig.out0[0], c.atZero * firstGain, 1e-15) << c.wave;
    EXPECT_NEAR(rig.out1[0], c.atZero * firstGain, 1e-15) << c.wave;
    for (int i = 0; i < 100; ++i)
      ASSERT_LE(std::fabs(rig.out0[i]), 0.47694338115325313 * 1.000001);
  }
}

TEST(ToneGenerator, NegativePositionsStayWithinTheWaveform)
{
  for (int wave : {kWaveSine, kWaveTriangle, kWaveSaw, kWaveSquare})
  {
    ThrumwellRig rig;
    rig.Set(kParamMode, kModeGenerator);
    rig.Set(kParamVolume, 100);
    rig.Set(kParamWave, wave);
    rig.synth.samplePosition = -1234567;
    rig.Render(512);
    for (int i = 0; i < 512; ++i)
    {
      ASSERT_LE(std::fabs(rig.out0[i]), 0.999 + 1e-12) << wave;
      ASSERT_LE(std::fabs(rig.out1[i]), 0.999 + 1e-12) << wave;
    }
  }
}

TEST(ToneGenerator, MonauralSumsBothOscillatorsIntoEachChannel)
{
  GeneratorRig rig;
  rig.Set(kParamBeats, kBeatsMonaural);
  rig.Set(kParamVolume, 100);
  double peak = 0;
  for (int block = 0; block < 100; ++block)
  {
    rig.Render(512);
    for (int i = 0; i < 512; ++i)
    {
      ASSERT_EQ(rig.out0[i], rig.out1[i]);
      peak = std::max(peak, std::fabs(rig.out0[i]));
    }
  }
  EXPECT_GT(peak, 1.99);
  EXPECT_LE(peak, 1.998);
}

TEST(ToneGenerator, AddsTheToneToTheInput)
{
  GeneratorRig rig;
  GeneratorRig fed;
  std::fill(fed.in0.begin(), fed.in0.end(), 0.25);
  std::fill(fed.in1.begin(), fed.in1.end(), -0.5);
  rig.Render(256);
  fed.Render(256);
  for (int i = 0; i < 256; ++i)
  {
    ASSERT_EQ(fed.out0[i], 0.25 + rig.out0[i]);
    ASSERT_EQ(fed.out1[i], -0.5 + rig.out1[i]);
  }
}

TEST(ToneGenerator, StoppedTransportFadesOutThenPassesInputThrough)
{
  GeneratorRig rig;
  rig.Render(512);
  std::fill(rig.in0.begin(), rig.in0.end(), 0.25);
  std::fill(rig.in1.begin(), rig.in1.end(), 0.5);
  rig.synth.transportState = 0;
  rig.Render(512);
  EXPECT_NEAR(rig.Tone().currentGain, 0.0, 1e-13);
  // The ramp is linear: the tone's amplitude shrinks towards the end.
  EXPECT_LE(std::fabs(rig.out0[511] - 0.25), 0.47694338115325313 / 512 * 1.01);
  const double phase = rig.Tone().phaseLeft;
  rig.Render(512);
  for (int i = 0; i < 512; ++i)
  {
    ASSERT_EQ(rig.out0[i], 0.25);
    ASSERT_EQ(rig.out1[i], 0.5);
  }
  EXPECT_EQ(rig.Tone().phaseLeft, phase);
  // Recording counts as running.
  rig.synth.transportState = 2;
  rig.Render(512);
  EXPECT_NEAR(rig.Tone().currentGain, 0.47694338115325313, 1e-13);
}

TEST(ToneGenerator, EmptyBlockWritesNothingButRunsTheBlockSteps)
{
  GeneratorRig rig;
  std::fill(rig.out0.begin(), rig.out0.end(), 7.0);
  rig.synth.clockMs += 10;
  rig.Set(kParamMode, kModeSynthesizer);  // asks for a resynchronisation
  rig.synth.samplePosition = 44100;
  rig.Render(0);
  EXPECT_EQ(rig.out0[0], 7.0);
  EXPECT_EQ(rig.Tone().lastBlockClock, rig.synth.clockMs - 1);
  EXPECT_FALSE(rig.Tone().resyncPhases);
  EXPECT_EQ(rig.Tone().targetGain, rig.Tone().volumeGain);
  // A negative count behaves the same.
  rig.Render(-5);
  EXPECT_EQ(rig.out0[0], 7.0);
}

TEST(ToneGenerator, GlideCoversTheFadeTime)
{
  {
    GeneratorRig rig;
    rig.Set(kParamFade, 1);
    EXPECT_EQ(rig.Tone().glideSamples, 11);
    rig.Set(kParamFrequency, 400);
    rig.Render(5);
    EXPECT_NEAR(rig.CurrentHz(true), 200 + 200 * 5.0 / 11, 1e-9);
    rig.Render(11);
    EXPECT_NEAR(rig.CurrentHz(true), 400, 1e-9);
    EXPECT_NEAR(rig.CurrentHz(false), 404, 1e-9);
  }
  {
    GeneratorRig rig;
    EXPECT_EQ(rig.Tone().glideSamples, 11025);
    rig.Set(kParamFrequency, 400);
    rig.Render(512);
    EXPECT_NEAR(rig.CurrentHz(true), 200 + 200 * 512.0 / 11025, 1e-9);
    rig.Render(512);
    const double after = 200 + 200 * 512.0 / 11025;
    EXPECT_NEAR(rig.CurrentHz(true), after + (400 - after) * 512.0 / 11025, 1e-9);
  }
}

TEST(ToneGenerator, PanReverseSwapsTheTargetsAndGlidesAcross)
{
  GeneratorRig rig;
  rig.Set(kParamPanReverse, kPanReverseYes);
  EXPECT_NEAR(rig.TargetHz(true), 204, 1e-9);
  EXPECT_NEAR(rig.TargetHz(false), 200, 1e-9);
  EXPECT_NEAR(rig.CurrentHz(true), 200, 1e-9);
  rig.Render(512);
  EXPECT_NEAR(rig.CurrentHz(true), 200 + 4 * 512.0 / 11025, 1e-9);
  EXPECT_NEAR(rig.CurrentHz(false), 204 - 4 * 512.0 / 11025, 1e-9);
}

TEST(ToneGenerator, UnchangedIntegerImageHasNoEffect)
{
  GeneratorRig rig;
  rig.Set(kParamFrequency, 200.01);
  const double target = rig.Tone().targetIncrementLeft;
  rig.Set(kParamFrequency, 200.04);
  EXPECT_EQ(rig.Tone().targetIncrementLeft, target);
  EXPECT_EQ(rig.Tone().baseFrequency, 200.0f);
  rig.Set(kParamFrequency, 200.05);
  EXPECT_NE(rig.Tone().targetIncrementLeft, target);
}

TEST(ToneGenerator, SampleCountsFollowTheRate)
{
  const struct
  {
    double rate;
    int attack, release, glide;
  } cases[] = {{44100, 35280, 22050, 11025}, {48000, 38400, 24000, 12000}};
  for (const auto& c : cases)
  {
    GeneratorRig rig(c.rate);
    EXPECT_EQ(rig.Tone().attackSamples, c.attack);
    EXPECT_EQ(rig.Tone().releaseSamples, c.release);
    EXPECT_EQ(rig.Tone().glideSamples, c.glide);
  }
  // A rate change after the first block re-derives them; held notes are forgotten.
  ThrumwellRig rig(44100);
  rig.Render(64);
  rig.NoteOn(69);
  rig.NoteOn(70);
  rig.synth.SetSampleRate(48000);
  rig.synth.HandleReset();
  EXPECT_EQ(rig.Tone().attackSamples, 38400);
  EXPECT_EQ(rig.Tone().heldNotes, 0);
  EXPECT_TRUE(rig.Tone().resyncPhases);
  EXPECT_NEAR(rig.Tone().targetIncrementRight * 48000 / kTwoPi, rig.synth.GetToneReadout().noteFrequency + 4, 1e-3);
}

TEST(ToneGenerator, PauseResynchronisesPhasesFromTheHostPosition)
{
  GeneratorRig rig;
  for (int i = 0; i < 10; ++i)
    rig.Render(512);
  // 400 ms without a block: the phases run on.
  const double before = rig.Tone().phaseLeft;
  rig.synth.clockMs += 400;
  rig.synth.samplePosition = 1000000;
  rig.Render(0);
  EXPECT_EQ(rig.Tone().phaseLeft, before);
  // More than 500 ms: both phases come from the position.
  rig.synth.clockMs += 501;
  rig.Render(0);
  EXPECT_NEAR(rig.Tone().phaseLeft, std::fmod(1000000.0 * 200 / 44100, 1.0) * kTwoPi, 1e-6);
  EXPECT_NEAR(rig.Tone().phaseRight, std::fmod(1000000.0 * 204 / 44100, 1.0) * kTwoPi, 1e-6);
}

TEST(ToneGenerator, SamePositionGivesTheSameWaveformWhateverCameBefore)
{
  GeneratorRig a;
  GeneratorRig b;
  b.Set(kParamFade, 1);  // blocks longer than the glide reach their targets
  b.Set(kParamFrequency, 300);
  b.Render(4096);
  b.Set(kParamFrequency, 200);
  b.Render(4096);
  for (GeneratorRig* rig : {&a, &b})
  {
    rig->synth.clockMs += 1000;
    rig->synth.samplePosition = 96000;
    rig->Render(512);
  }
  // The glide approaches its target only to the last bits of the increment.
  for (int i = 0; i < 512; ++i)
  {
    ASSERT_NEAR(a.out0[i], b.out0[i], 1e-9) << i;
    ASSERT_NEAR(a.out1[i], b.out1[i], 1e-9) << i;
  }
}

TEST(ToneGenerator, ReadoutLivesWhereTheEditorPutsIt)
{
  ThrumwellRig rig;
  ToneReadout external;
  rig.synth.SetToneReadout(&external);
  EXPECT_EQ(external.beatReadout.load(), 4.0f);
  rig.Set(kParamBinaural, 7.83);
  EXPECT_EQ(external.beatReadout.load(), 7.83f);
  rig.NoteOn(69);
  EXPECT_EQ(external.noteFrequency.load(), 440.0f);
  rig.synth.SetToneReadout(nullptr);
  EXPECT_EQ(rig.synth.GetToneReadout().noteFrequency.load(), 440.0f);
}

TEST(ToneGeneratorBadInput, ParameterValuesNeverReachTheOutputAsNaN)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (int param = 0; param < 12; ++param)
  {
    for (double value : {nan, inf, -inf, 1e300, -1e300, -1.0})
    {
      GeneratorRig rig;
      rig.Set(param, value);
      rig.Render(512);
      rig.NoteOn(60);
      rig.Render(512);
      ASSERT_TRUE(AllFinite(rig.out0, 512) && AllFinite(rig.out1, 512)) << param << " " << value;
    }
    for (double normalized : {nan, inf, -inf, -0.5, 1.5})
    {
      GeneratorRig rig;
      rig.SetNormalized(param, normalized);
      EXPECT_TRUE(std::isfinite(rig.synth.GetParam(param)->GetValue()));
      rig.Render(512);
      ASSERT_TRUE(AllFinite(rig.out0, 512) && AllFinite(rig.out1, 512)) << param << " " << normalized;
    }
  }
}

TEST(ToneGeneratorBadInput, UnusableSampleRatesGiveNoToneAndNoNaN)
{
  for (double rate : {0.0, -48000.0, 1e-310, 0.5, 1e300, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity()})
  {
    for (int wave : {kWaveSine, kWaveTriangle})
    {
      ThrumwellRig rig(rate);
      rig.Set(kParamWave, wave);
      rig.NoteOn(69);
      for (int block = 0; block < 4; ++block)
      {
        rig.Render(512);
        ASSERT_TRUE(AllFinite(rig.out0, 512) && AllFinite(rig.out1, 512)) << rate;
      }
      rig.Set(kParamMode, kModeGenerator);
      rig.Render(512);
      ASSERT_TRUE(AllFinite(rig.out0, 512) && AllFinite(rig.out1, 512)) << rate;
      // No tone at all: the input passes through.
      std::fill(rig.in0.begin(), rig.in0.end(), 0.125);
      rig.Render(512);
      ASSERT_EQ(rig.out0[0], 0.125) << rate;
      ASSERT_EQ(rig.out1[511], 0.0) << rate;
    }
  }
}

TEST(ToneGeneratorBadInput, ParameterIndicesOutOfRangeChangeNothing)
{
  GeneratorRig rig;
  unsigned char before[sizeof(ToneState)];
  std::memcpy(before, &rig.Tone(), sizeof before);
  rig.synth.HandleParameterChange(12);
  rig.synth.HandleParameterChange(-1);
  rig.synth.HandleParameterChange(1 << 30);
  EXPECT_EQ(0, std::memcmp(before, &rig.Tone(), sizeof before));
}
