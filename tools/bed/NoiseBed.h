#pragma once
// A noise bed for the instrument's audio input: white, pink (-3 dB per
// octave) or brown (-6 dB per octave) noise, two independent channels from a
// generator with a fixed seed, so a render is repeatable sample for sample.
//
// Pink is white noise through a chain of first-order pole-zero sections
// spaced half an octave apart (each pair bends the slope down by 6 dB per
// octave over half its span, so the chain averages -3 dB per octave); brown
// is white noise through a leaky integrator. Both are placed from the sample
// rate, so the slope holds from 20 Hz to 20 kHz (or the rate's Nyquist
// frequency) at any rate. A high-pass at 3 Hz keeps every colour free of DC.
// The level is the RMS of each channel in dB below full scale; samples are
// held within full scale.
//
// Threads: Configure allocates nothing and may run on any thread before use;
// Fill runs on the audio thread, allocates nothing, waits on nothing.

#include <array>
#include <cstdint>
#include <string>

class NoiseBed
{
public:
  enum class Colour
  {
    kWhite,
    kPink,
    kBrown,
  };
  static constexpr double kDefaultDb = -20.0;
  static constexpr double kLowestDb = -120.0;

  // "white", "pink" or "brown", optionally "@DB" (an RMS level from -120 to
  // 0 dB, default -20); false with one line in error otherwise.
  static bool Parse(const std::string& text, Colour& colour, double& db, std::string& error);
  static const char* Name(Colour colour);

  // Sets the colour, level and rate and starts the sequence from its seed.
  void Configure(Colour colour, double db, double rate);
  // Adds n samples of each channel to left and right.
  void Add(float* left, float* right, int n);
  void Add(double* left, double* right, int n);

private:
  // One first-order section y = b0 x + b1 x' - a1 y'.
  struct Section
  {
    double b0 = 1, b1 = 0, a1 = 0;
  };
  static constexpr int kMaxSections = 40;
  struct Channel
  {
    std::uint64_t random = 0;
    std::array<double, kMaxSections> x{}, y{};
    double next();
    double run(const NoiseBed& bed);
  };
  template <class Sample>
  void AddTo(Sample* left, Sample* right, int n);
  void AddSection(double poleHz, double zeroHz, double rate);

  std::array<Section, kMaxSections> sections{};
  int count = 0;
  double gain = 0.0;  // from the generator's unit RMS to the level asked for
  std::array<Channel, 2> channels{};
};
