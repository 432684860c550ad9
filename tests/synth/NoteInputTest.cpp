// Note input in Synthesizer mode: pitch, velocity, envelope and held notes.

#include <gtest/gtest.h>

#include <cstring>

#include "synth/ThrumwellParameters.h"
#include "tests/synth/ThrumwellTestRig.h"

namespace {

// A rig in Synthesizer mode (the default) at 44100 Hz, one block rendered.
struct SynthRig : ThrumwellRig
{
  SynthRig() { Render(512); }

  float NoteHz() const { return synth.GetToneReadout().noteFrequency.load(); }
  double Level() const { return Tone().envelopeLevel; }
};

float AttackLevel(int remaining, int total)
{
  return 1.0f - static_cast<float>(remaining) / static_cast<float>(total);
}

}  // namespace

TEST(NoteInput, NotesFollowTheTuningReference)
{
  const struct
  {
    double tuning;
    int note;
    float hz;
  } cases[] = {
    {440, 69, 440.0f}, {440, 57, 220.0f}, {440, 81, 880.0f}, {440, 60, 261.62554931640625f},
    {101, 69, 404.0f}, {101, 57, 202.0f}, {261.6, 69, 523.2f},
  };
  for (const auto& c : cases)
  {
    SynthRig rig;
    rig.Set(kParamTuningFreq, c.tuning);
    rig.NoteOn(c.note);
    EXPECT_EQ(rig.NoteHz(), c.hz) << c.tuning << " " << c.note;
    EXPECT_NEAR(rig.TargetHz(true), c.hz, 1e-3);
    EXPECT_NEAR(rig.TargetHz(false), c.hz + 4, 1e-3);
  }
}

TEST(NoteInput, TuningChangeWaitsForTheNextNote)
{
  SynthRig rig;
  rig.NoteOn(69);
  rig.Set(kParamTuningFreq, 432);
  EXPECT_EQ(rig.NoteHz(), 440.0f);
  EXPECT_NEAR(rig.TargetHz(true), 440, 1e-3);
  rig.NoteOn(69);
  EXPECT_EQ(rig.NoteHz(), 432.0f);
}

TEST(NoteInput, VelocityScalesTheLevel)
{
  SynthRig rig;
  rig.Set(kParamAttack, 0);
  rig.NoteOn(69, 64);
  EXPECT_EQ(rig.Tone().velocityGain, 0.5039370059967041);
  rig.Render(512);
  EXPECT_NEAR(rig.Tone().currentGain, 0.5039370059967041 * 0.47694338115325313, 1e-13);
  rig.NoteOn(70, 127);
  EXPECT_EQ(rig.Tone().velocityGain, 1.0);
}

TEST(NoteInput, AttackRampsOncePerBlock)
{
  SynthRig rig;
  EXPECT_EQ(rig.Tone().attackSamples, 35280);
  rig.NoteOn(69);
  EXPECT_EQ(rig.Level(), 0.0);
  for (int block = 0; block < 5; ++block)
  {
    rig.Render(512);
    // The level is taken from the count before the block.
    const float expected = AttackLevel(35280 - block * 512, 35280);
    EXPECT_EQ(rig.Level(), expected) << block;
    EXPECT_NEAR(rig.Tone().currentGain, expected * 0.47694338115325313, 1e-13) << block;
  }
}

TEST(NoteInput, ReleaseRampsFromThePresentLevel)
{
  SynthRig rig;
  rig.Set(kParamAttack, 0);
  rig.NoteOn(69);
  EXPECT_EQ(rig.Level(), 1.0);
  rig.Render(512);
  rig.NoteOff(69);
  EXPECT_EQ(rig.Tone().releaseRemaining, 22050);
  EXPECT_EQ(rig.Tone().releaseTotal, 22050);
  rig.Render(512);
  // The level is taken from the count after the block.
  EXPECT_EQ(rig.Level(), static_cast<float>(22050 - 512) / 22050.0f);
  for (int block = 0; block < 44; ++block)
    rig.Render(512);
  EXPECT_EQ(rig.Level(), 0.0);
  EXPECT_EQ(rig.Tone().releaseRemaining, 0);
  // Once silent, the readout forgets the note.
  EXPECT_EQ(rig.NoteHz(), 0.0f);
}

TEST(NoteInput, NoteOnDuringReleaseContinuesFromTheReachedLevel)
{
  SynthRig rig;
  rig.Set(kParamAttack, 0);
  rig.NoteOn(69);
  rig.Render(512);
  rig.Set(kParamAttack, 800);
  rig.NoteOff(69);
  for (int block = 0; block < 10; ++block)
    rig.Render(512);
  const double reached = rig.Level();
  ASSERT_GT(reached, 0.5);
  ASSERT_LT(reached, 0.9);
  rig.NoteOn(72);
  EXPECT_EQ(rig.Tone().releaseRemaining, 0);
  EXPECT_EQ(rig.Tone().attackRemaining, 35280);
  rig.Render(512);
  EXPECT_NEAR(rig.Level(), reached, 1e-4);
  rig.Render(512);
  EXPECT_GT(rig.Level(), reached);
}

TEST(NoteInput, ZeroAttackAndReleaseJumpAndReachTheGainInOneBlock)
{
  SynthRig rig;
  rig.Set(kParamAttack, 0);
  rig.Set(kParamRelease, 0);
  rig.NoteOn(69);
  EXPECT_EQ(rig.Level(), 1.0);
  rig.Render(512);
  EXPECT_NEAR(rig.Tone().currentGain, 0.47694338115325313, 1e-13);
  rig.NoteOff(69);
  EXPECT_EQ(rig.Level(), 0.0);
  rig.Render(512);
  EXPECT_NEAR(rig.Tone().currentGain, 0.0, 1e-13);
}

TEST(NoteInput, LastNotePriorityAndHeldNoteCount)
{
  SynthRig rig;
  rig.Set(kParamAttack, 0);
  rig.NoteOn(60);
  rig.NoteOn(64);
  EXPECT_EQ(rig.Tone().heldNotes, 2);
  const float second = rig.NoteHz();
  rig.NoteOff(64);
  EXPECT_EQ(rig.Tone().heldNotes, 1);
  rig.NoteOff(64);  // the first note's off, matched by count, not by pitch
  EXPECT_EQ(rig.Tone().heldNotes, 0);
  EXPECT_GT(rig.Tone().releaseRemaining, 0);
  EXPECT_EQ(rig.NoteHz(), second);

  SynthRig other;
  other.Set(kParamAttack, 0);
  other.NoteOn(60);
  other.NoteOn(64);
  other.NoteOff(60);  // releasing the older note keeps the newer pitch sounding
  EXPECT_EQ(other.Tone().releaseRemaining, 0);
  EXPECT_NEAR(other.TargetHz(true), second, 1e-3);
}

TEST(NoteInput, VelocityZeroIsANoteOff)
{
  SynthRig rig;
  rig.Set(kParamAttack, 0);
  rig.NoteOn(69);
  rig.NoteOn(69, 0);
  EXPECT_EQ(rig.Tone().heldNotes, 0);
  EXPECT_EQ(rig.Tone().releaseRemaining, 22050);
}

TEST(NoteInput, UnmatchedNoteOffCountsDownAndStopsAtZero)
{
  SynthRig rig;
  rig.NoteOff(69);
  rig.NoteOff(70);
  EXPECT_EQ(rig.Tone().heldNotes, 0);
  EXPECT_EQ(rig.Tone().releaseRemaining, 0);  // nothing sounding: no release
  rig.NoteOn(69);
  EXPECT_EQ(rig.Tone().heldNotes, 1);
}

TEST(NoteInput, IgnoredEvents)
{
  auto snapshot = [](const ThrumwellRig& rig, unsigned char* out) {
    std::memcpy(out, &rig.Tone(), sizeof(ToneState));
  };
  unsigned char before[sizeof(ToneState)], after[sizeof(ToneState)];

  // Generator mode ignores every event.
  ThrumwellRig generator;
  generator.Set(kParamMode, kModeGenerator);
  generator.Render(512);
  snapshot(generator, before);
  generator.NoteOn(69);
  generator.NoteOff(69);
  snapshot(generator, after);
  EXPECT_EQ(0, std::memcmp(before, after, sizeof before));

  // Controllers, pitch bend and aftertouch change nothing in Synthesizer mode.
  SynthRig rig;
  rig.NoteOn(69);
  snapshot(rig, before);
  const unsigned char messages[][3] = {{0xB0, 7, 100}, {0xE0, 0, 127}, {0xA0, 69, 50}, {0xD0, 10, 0}, {0xF8, 0, 0}};
  for (const auto& m : messages)
  {
    IMidiEvent event;
    event.status = m[0];
    event.data1 = m[1];
    event.data2 = m[2];
    rig.Midi(event);
  }
  snapshot(rig, after);
  EXPECT_EQ(0, std::memcmp(before, after, sizeof before));
}

TEST(NoteInput, SwitchingModes)
{
  SynthRig rig;
  rig.NoteOn(69);
  rig.Render(512);
  rig.Set(kParamMode, kModeGenerator);
  EXPECT_EQ(rig.Level(), 1.0);
  EXPECT_EQ(rig.Tone().velocityGain, 1.0);
  EXPECT_NEAR(rig.TargetHz(true), 200, 1e-9);
  rig.Set(kParamMode, kModeSynthesizer);
  EXPECT_EQ(rig.Level(), 0.0);
  EXPECT_EQ(rig.NoteHz(), 0.0f);
  EXPECT_EQ(rig.Tone().attackRemaining, 0);
  EXPECT_EQ(rig.Tone().heldNotes, 1);  // the count survives the switch
  EXPECT_TRUE(rig.Tone().resyncPhases);
}
