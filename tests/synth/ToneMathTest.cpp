// The tone generator's numbers: volume law, tuning fold, note pitches.

#include <gtest/gtest.h>

#include <limits>

#include "synth/ToneMath.h"

TEST(ToneMath, VolumeLaw)
{
  const struct
  {
    int volume;
    double gain;
  } cases[] = {
    {100, 0.999},
    {90, 0.47694338115325313},
    {50, 0.024778338295566117},
    {0, 0.0006145806293188373},
  };
  for (const auto& c : cases)
    EXPECT_EQ(tone::VolumeGain(c.volume), c.gain) << c.volume;
}

TEST(ToneMath, TuningFoldsIntoOneOctave)
{
  const struct
  {
    int image;  // tenths of a hertz
    float reference;
  } cases[] = {
    {4400, 440.0f},    // inside the octave: unchanged
    {4320, 432.0f},
    {1010, 404.0f},    // two octaves up
    {10, 512.0f},      // 1 Hz: nine octaves up
    {200000, 312.5f},  // 20000 Hz: six octaves down
    {2616, 523.2f},    // 261.6 is just below 261.63
    {2617, 261.7f},
    {5232, 523.2f},
    {5233, 261.65f},   // 523.3 is just above 523.25
  };
  for (const auto& c : cases)
    EXPECT_EQ(tone::FoldTuningReference(c.image), c.reference) << c.image;
}

TEST(ToneMath, NotesAreEqualTemperedAboutNote69)
{
  const struct
  {
    float reference;
    int note;
    float hz;
  } cases[] = {
    {440.0f, 69, 440.0f},
    {440.0f, 57, 220.0f},
    {440.0f, 81, 880.0f},
    {440.0f, 60, 261.62554931640625f},
    {404.0f, 69, 404.0f},
    {404.0f, 57, 202.0f},
  };
  for (const auto& c : cases)
    EXPECT_EQ(tone::NoteFrequency(c.note, c.reference), c.hz) << c.reference << " " << c.note;
}

TEST(ToneMath, ParameterImagesRoundHalvesAwayFromZero)
{
  EXPECT_EQ(tone::ParameterImage(0, 200.04), 2000);
  EXPECT_EQ(tone::ParameterImage(0, 200.05), 2001);
  EXPECT_EQ(tone::ParameterImage(2, 440.0), 4400);
  EXPECT_EQ(tone::ParameterImage(1, 7.83), 783);
  EXPECT_EQ(tone::ParameterImage(1, 0.005), 1);
  EXPECT_EQ(tone::ParameterImage(6, 799.5), 800);
  EXPECT_EQ(tone::ParameterImage(6, -0.5), -1);
}

TEST(ToneMath, UnusableSampleRatesStopTheOscillators)
{
  for (double rate : {0.0, -44100.0, 0.5, 1e300, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity()})
  {
    EXPECT_EQ(tone::UsableSampleRate(rate), 0.0) << rate;
    EXPECT_EQ(tone::PhaseIncrement(20512.0f, tone::UsableSampleRate(rate)), 0.0) << rate;
  }
  EXPECT_EQ(tone::UsableSampleRate(44100.0), 44100.0);
}
