#include "synth/ToneSamples.h"

#include <cmath>

#include "synth/ThrumwellParameters.h"
#include "synth/ToneMath.h"

namespace {

// The waveform table, resolved at compile time so the loop carries no switch.
// Sine and square never leave -1..1 and skip the clamp.
template <int kWave>
inline double Wave(double phase)
{
  if constexpr (kWave == kWaveSine)
    return std::sin(phase);
  else if constexpr (kWave == kWaveSquare)
    return phase < tone::kPi ? 1.0 : -1.0;
  else
  {
    double value;
    if constexpr (kWave == kWaveTriangle)
      value = phase < tone::kPi ? (2 * phase) * tone::kInvPi - 1 : 3 - (2 * phase) * tone::kInvPi;
    else
      value = 1 - phase * tone::kInvPi;
    return value < -1.0 ? -1.0 : (value > 1.0 ? 1.0 : value);
  }
}

inline double Wrap(double phase)
{
  return phase >= tone::kTwoPi ? phase - tone::kTwoPi : phase;
}

// kMayIdle: the target gain is silent, so the block may reach silence and
// pass the rest of its input through.
template <int kWave, bool kBinaural, bool kMayIdle>
void Render(ToneState& s, const double* in0, const double* in1, double* out0, double* out1, int32_t n,
            double stepLeft, double stepRight, double gainStep)
{
  double phaseLeft = s.phaseLeft;
  double phaseRight = s.phaseRight;
  double incrementLeft = s.incrementLeft;
  double incrementRight = s.incrementRight;
  double gain = s.currentGain;
  int32_t i = 0;
  for (; i < n; ++i)
  {
    if (kMayIdle && gain <= tone::kSilence)
      break;
    incrementLeft += stepLeft;
    incrementRight += stepRight;
    gain += gainStep;
    const double a = Wave<kWave>(phaseLeft);
    const double b = Wave<kWave>(phaseRight);
    if constexpr (kBinaural)
    {
      out0[i] = in0[i] + a * gain;
      out1[i] = in1[i] + b * gain;
    }
    else
    {
      const double sum = a + b;
      out0[i] = in0[i] + sum * gain;
      out1[i] = in1[i] + sum * gain;
    }
    phaseLeft = Wrap(phaseLeft + incrementLeft);
    phaseRight = Wrap(phaseRight + incrementRight);
  }
  // Silent from here on: neither gain moves again within this block. The
  // input still goes through an addition, so that with subnormals flushed (as
  // the audio path runs) a subnormal input leaves as zero here too.
  for (; i < n; ++i)
  {
    out0[i] = in0[i] + 0.0;
    out1[i] = in1[i] + 0.0;
  }
  s.phaseLeft = phaseLeft;
  s.phaseRight = phaseRight;
  s.incrementLeft = incrementLeft;
  s.incrementRight = incrementRight;
  s.currentGain = gain;
}

using RenderFn = void (*)(ToneState&, const double*, const double*, double*, double*, int32_t, double, double,
                          double);

template <int kWave>
RenderFn Pick(bool binaural, bool mayIdle)
{
  if (binaural)
    return mayIdle ? Render<kWave, true, true> : Render<kWave, true, false>;
  return mayIdle ? Render<kWave, false, true> : Render<kWave, false, false>;
}

}  // namespace

void RenderToneSamples(ToneState& state, const double* in0, const double* in1, double* out0, double* out1,
                       int32_t n, double stepLeft, double stepRight, double gainStep)
{
  const bool mayIdle = state.targetGain <= tone::kSilence;
  RenderFn render;
  switch (state.waveform)
  {
    case kWaveTriangle: render = Pick<kWaveTriangle>(state.binauralBeats, mayIdle); break;
    case kWaveSaw: render = Pick<kWaveSaw>(state.binauralBeats, mayIdle); break;
    case kWaveSquare: render = Pick<kWaveSquare>(state.binauralBeats, mayIdle); break;
    default: render = Pick<kWaveSine>(state.binauralBeats, mayIdle); break;
  }
  render(state, in0, in1, out0, out1, n, stepLeft, stepRight, gainStep);
}
