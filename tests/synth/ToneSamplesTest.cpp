// The per-sample loop against a literal, unoptimised transcription of the
// rendering step: every output sample and every state field must match bit
// for bit, whatever the waveform, beat kind, glide, gain ramp or block size.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "synth/ToneSamples.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kInvPi = 0.3183098861837907;

double ReferenceWave(int waveform, double p)
{
  double v;
  switch (waveform)
  {
    case 1: v = p < kPi ? (2 * p) * kInvPi - 1 : 3 - (2 * p) * kInvPi; break;
    case 2: v = 1 - p * kInvPi; break;
    case 3: v = p < kPi ? 1 : -1; break;
    default: v = std::sin(p); break;
  }
  return v < -1 ? -1 : (v > 1 ? 1 : v);
}

void ReferenceRender(ToneState& s, const double* in0, const double* in1, double* out0, double* out1, int n,
                     double stepLeft, double stepRight, double gainStep)
{
  for (int i = 0; i < n; ++i)
  {
    if (s.targetGain <= 1e-24 && s.currentGain <= 1e-24)
    {
      out0[i] = in0[i];
      out1[i] = in1[i];
      continue;
    }
    s.incrementLeft += stepLeft;
    s.incrementRight += stepRight;
    s.currentGain += gainStep;
    const double a = ReferenceWave(s.waveform, s.phaseLeft);
    const double b = ReferenceWave(s.waveform, s.phaseRight);
    if (s.binauralBeats)
    {
      out0[i] = in0[i] + a * s.currentGain;
      out1[i] = in1[i] + b * s.currentGain;
    }
    else
    {
      const double sum = a + b;
      out0[i] = in0[i] + sum * s.currentGain;
      out1[i] = in1[i] + sum * s.currentGain;
    }
    s.phaseLeft += s.incrementLeft;
    if (s.phaseLeft >= kTwoPi)
      s.phaseLeft -= kTwoPi;
    s.phaseRight += s.incrementRight;
    if (s.phaseRight >= kTwoPi)
      s.phaseRight -= kTwoPi;
  }
}

bool SameBits(double a, double b)
{
  return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

TEST(ToneSamples, MatchesTheLiteralLoopBitForBit)
{
  std::mt19937_64 random(20261210);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const int sizes[] = {1, 2, 3, 7, 64, 65, 511, 512, 513, 1000};
  std::vector<double> in0(1000), in1(1000), out0(1000), out1(1000), ref0(1000), ref1(1000);
  for (int trial = 0; trial < 4000; ++trial)
  {
    ToneState s;
    std::memset(&s, 0, sizeof s);
    s.waveform = trial % 4;
    s.binauralBeats = (trial / 4) % 2 == 0;
    const int kind = (trial / 8) % 5;
    // Rates from 8 kHz to 384 kHz and carriers from 1 Hz to beyond 20 kHz.
    const double perSample = kTwoPi / (8000 + unit(random) * 376000);
    s.incrementLeft = perSample * (kind == 4 ? 20000 + unit(random) * 512 : 1 + unit(random) * 2000);
    s.incrementRight = s.incrementLeft + perSample * unit(random) * 512;
    s.phaseLeft = kind == 3 ? -unit(random) * 1e4 : unit(random) * kTwoPi;
    s.phaseRight = kind == 3 ? -unit(random) * 1e4 : unit(random) * kTwoPi;
    s.targetGain = kind == 1 ? 0.0 : 0.47694338115325313;
    s.currentGain = kind == 1 ? unit(random) * 1e-3 : unit(random);
    const int n = sizes[trial % 10];
    const double gainStep = kind == 2 ? 0.0 : (s.targetGain - s.currentGain) / n;
    const double stepLeft = kind == 0 ? perSample * (unit(random) - 0.5) * 10 / n : 0.0;
    const double stepRight = kind == 0 ? perSample * (unit(random) - 0.5) * 10 / n : 0.0;
    for (int i = 0; i < n; ++i)
    {
      in0[i] = trial % 3 == 0 ? 0.0 : unit(random) - 0.5;
      in1[i] = trial % 3 == 0 ? 0.0 : unit(random) - 0.5;
    }
    ToneState reference = s;
    RenderToneSamples(s, in0.data(), in1.data(), out0.data(), out1.data(), n, stepLeft, stepRight, gainStep);
    ReferenceRender(reference, in0.data(), in1.data(), ref0.data(), ref1.data(), n, stepLeft, stepRight, gainStep);
    for (int i = 0; i < n; ++i)
    {
      ASSERT_TRUE(SameBits(out0[i], ref0[i])) << "trial " << trial << " sample " << i;
      ASSERT_TRUE(SameBits(out1[i], ref1[i])) << "trial " << trial << " sample " << i;
    }
    ASSERT_TRUE(SameBits(s.phaseLeft, reference.phaseLeft)) << trial;
    ASSERT_TRUE(SameBits(s.phaseRight, reference.phaseRight)) << trial;
    ASSERT_TRUE(SameBits(s.incrementLeft, reference.incrementLeft)) << trial;
    ASSERT_TRUE(SameBits(s.incrementRight, reference.incrementRight)) << trial;
    ASSERT_TRUE(SameBits(s.currentGain, reference.currentGain)) << trial;
  }
}

TEST(ToneSamples, RendersInPlace)
{
  ToneState s;
  std::memset(&s, 0, sizeof s);
  s.waveform = 1;
  s.binauralBeats = true;
  s.incrementLeft = 0.03;
  s.incrementRight = 0.031;
  s.targetGain = s.currentGain = 0.5;
  ToneState reference = s;
  std::vector<double> left(300, 0.125), right(300, -0.125), ref0(300), ref1(300);
  const std::vector<double> in0 = left, in1 = right;
  RenderToneSamples(s, left.data(), right.data(), left.data(), right.data(), 300, 0, 0, 0);
  ReferenceRender(reference, in0.data(), in1.data(), ref0.data(), ref1.data(), 300, 0, 0, 0);
  for (int i = 0; i < 300; ++i)
  {
    ASSERT_TRUE(SameBits(left[i], ref0[i])) << i;
    ASSERT_TRUE(SameBits(right[i], ref1[i])) << i;
  }
}
