#pragma once
// Rounds samples to PCM steps with triangular (TPDF) dither of one step peak,
// from a generator seeded the same way for every file, so a render is
// repeatable bit for bit; or, where the step is too fine for dither to
// matter, to the nearest step.

#include <cstdint>

class PcmDither
{
public:
  PcmDither() { Reset(); }
  // Starts the sequence again from its fixed seed.
  void Reset();
  // A sample as a dithered PCM value of scale steps to full scale (2^(bits-1)),
  // held within the format's range; a NaN becomes the lowest value.
  std::int32_t Quantize(double sample, double scale);
  // The same without dither: the nearest step (halves upwards), held within
  // the format's range; a NaN becomes the lowest value.
  static std::int32_t Round(double sample, double scale);

private:
  // Triangular dither in steps of the PCM format: -1 < d < 1.
  double Next();
  // steps (a sample times scale, offset) rounded down and held in range.
  static std::int32_t Hold(double steps, double scale);

  std::uint64_t random = 0;
};
