#include "synth/ToneMath.h"

#include "plug/RoundToInt.h"

#include <cmath>
#include <math.h>

namespace tone {

int32_t ParameterImage(int index, double value) {
  if (index == 0 || index == 2) return RoundToInt(value * 10.0);
  if (index == 1) return RoundToInt(value * 100.0);
  return RoundToInt(value);
}

double VolumeGain(int32_t volume) {
  return std::pow(2.0, (static_cast<double>(volume) * 64 * 0.01 - 64) * 0.16666666666666666) * 0.999;
}

float FoldTuningReference(int32_t image) {
  constexpr float kLow = 261.63f;
  constexpr float kHigh = 523.25f;
  float reference = static_cast<float>(image) * 0.1f;
  const float hundredths = static_cast<float>(image) * 10.0f;
  if (reference < kLow) {
    for (int i = 1; i <= 10; ++i) {
      const float c = static_cast<float>(RoundToInt(std::ldexp(hundredths, i))) * 0.01f;
      if (c > kHigh) break;
      reference = c;
      if (c >= kLow) break;
    }
  }
  if (reference > kHigh) {
    for (int i = 1; i <= 10; ++i) {
      const float c = static_cast<float>(RoundToInt(std::ldexp(hundredths, -i))) * 0.01f;
      if (c < kLow) break;
      reference = c;
      if (c <= kHigh) break;
    }
  }
  return reference;
}

float NoteFrequency(int note, float tuningReference) {
  return ::powf(2.0f, static_cast<float>(note - 69) * 0.083333336f) * tuningReference;
}

double PhaseIncrement(float frequency, double sampleRate) {
  if (!(sampleRate > 0.0)) return 0.0;
  return static_cast<double>(frequency) * kTwoPi * (1.0 / sampleRate);
}

double ResyncPhase(double position, double increment) {
  return std::fmod(position * increment * kInvTwoPi, 1.0) * 2 * kPi;
}

double UsableSampleRate(double rate) {
  // Below 1 Hz the increments approach infinity; above 10 MHz the derived
  // sample counts no longer fit their fields.
  return rate >= 1.0 && rate <= 1e7 ? rate : 0.0;
}

}  // namespace tone
