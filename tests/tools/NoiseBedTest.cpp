// The noise bed: its slope over octave bands from 20 Hz to 20 kHz at common
// rates, its level, no DC, no clipping at the default level, channels of
// their own, and the same samples every time.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "tools/bed/NoiseBed.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void Fft(std::vector<std::complex<double>>& a)
{
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i)
  {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1)
      j ^= bit;
    j ^= bit;
    if (i < j)
      std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1)
  {
    const std::complex<double> w = std::polar(1.0, -2 * kPi / static_cast<double>(len));
    for (std::size_t i = 0; i < n; i += len)
    {
      std::complex<double> wk = 1;
      for (std::size_t k = 0; k < len / 2; ++k, wk *= w)
      {
        const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * wk;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

// Averaged power spectrum (Hann-windowed segments of 2^15 samples).
std::vector<double> Spectrum(const std::vector<double>& x)
{
  const std::size_t n = 1 << 15;
  std::vector<double> power(n / 2, 0.0);
  for (std::size_t start = 0; start + n <= x.size(); start += n / 2)
  {
    std::vector<std::complex<double>> a(n);
    for (std::size_t i = 0; i < n; ++i)
      a[i] = x[start + i] * (0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(i) / n));
    Fft(a);
    for (std::size_t k = 0; k < n / 2; ++k)
      power[k] += std::norm(a[k]);
  }
  return power;
}

std::vector<double> Generate(NoiseBed::Colour colour, double db, double rate, int frames, std::vector<double>* right)
{
  NoiseBed bed;
  bed.Configure(colour, db, rate);
  std::vector<double> left(static_cast<std::size_t>(frames), 0.0), other(static_cast<std::size_t>(frames), 0.0);
  for (int done = 0; done < frames; done += 512)
    bed.Add(left.data() + done, other.data() + done, std::min(512, frames - done));
  if (right)
    *right = other;
  return left;
}

}  // namespace

TEST(NoiseBed, SlopesHoldWithinADecibelOverOctaveBands)
{
  const struct
  {
    NoiseBed::Colour colour;
    double dbPerOctave;
  } colours[] = {{NoiseBed::Colour::kWhite, 0}, {NoiseBed::Colour::kPink, -3}, {NoiseBed::Colour::kBrown, -6}};
  for (double rate : {44100.0, 48000.0, 96000.0})
    for (const auto& c : colours)
    {
      SCOPED_TRACE(std::string(NoiseBed::Name(c.colour)) + " at " + std::to_string(static_cast<int>(rate)));
      const std::vector<double> x = Generate(c.colour, NoiseBed::kDefaultDb, rate, static_cast<int>(rate * 20), nullptr);
      const std::vector<double> power = Spectrum(x);
      const double binHz = rate / (1 << 15);
      // Mean power per bin in each octave band (centres 31.5 Hz to 16 kHz),
      // against the slope: what is left must be one level within +-1 dB.
      std::vector<double> residual;
      for (double centre = 31.25; centre < 17000; centre *= 2)
      {
        const double low = std::max(centre / std::sqrt(2.0), 20.0), high = std::min(centre * std::sqrt(2.0), 20000.0);
        double sum = 0;
        int bins = 0;
        for (std::size_t k = static_cast<std::size_t>(std::ceil(low / binHz)); k * binHz < high; ++k, ++bins)
          sum += power[k];
        residual.push_back(10 * std::log10(sum / bins) - c.dbPerOctave * std::log2(centre / 1000));
      }
      const auto [lo, hi] = std::minmax_element(residual.begin(), residual.end());
      double mean = 0;
      for (double r : residual)
        mean += r / static_cast<double>(residual.size());
      std::string shape;
      for (double r : residual)
        shape += std::to_string(r - mean).substr(0, 5) + " ";
      EXPECT_LT(*hi - mean, 1.0) << shape;
      EXPECT_GT(*lo - mean, -1.0) << shape;
    }
}

TEST(NoiseBed, HoldsItsLevelWithoutClippingAndRepeatsItself)
{
  for (NoiseBed::Colour colour : {NoiseBed::Colour::kWhite, NoiseBed::Colour::kPink, NoiseBed::Colour::kBrown})
  {
    SCOPED_TRACE(NoiseBed::Name(colour));
    std::vector<double> right;
    const std::vector<double> left = Generate(colour, NoiseBed::kDefaultDb, 48000, 48000 * 30, &right);
    double energy = 0, peak = 0, cross = 0, mean = 0;
    for (std::size_t i = 0; i < left.size(); ++i)
    {
      energy += left[i] * left[i];
      cross += left[i] * right[i];
      mean += left[i];
      peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    }
    const double rms = std::sqrt(energy / static_cast<double>(left.size()));
    EXPECT_NEAR(20 * std::log10(rms), NoiseBed::kDefaultDb, 0.5);
    // Peaks stay far from full scale (a clipped sample would sit at 1).
    EXPECT_LT(peak, 0.6);
    // Two channels of their own.
    EXPECT_LT(std::fabs(cross / energy), 0.05);
    EXPECT_LT(std::fabs(mean / static_cast<double>(left.size())), rms * 0.02);
    // The same bed twice is the same samples.
    EXPECT_EQ(Generate(colour, NoiseBed::kDefaultDb, 48000, 4800, nullptr),
              std::vector<double>(left.begin(), left.begin() + 4800));
  }
  // A louder bed is louder by as much.
  const std::vector<double> loud = Generate(NoiseBed::Colour::kPink, -6, 48000, 48000, nullptr);
  const std::vector<double> soft = Generate(NoiseBed::Colour::kPink, -26, 48000, 48000, nullptr);
  EXPECT_NEAR(loud[1000] / soft[1000], 10.0, 1e-9);
}

TEST(NoiseBed, ParsesColourAndLevel)
{
  NoiseBed::Colour colour;
  double db = 0;
  std::string error;
  ASSERT_TRUE(NoiseBed::Parse("pink", colour, db, error));
  EXPECT_EQ(colour, NoiseBed::Colour::kPink);
  EXPECT_EQ(db, NoiseBed::kDefaultDb);
  ASSERT_TRUE(NoiseBed::Parse("brown@-32.5", colour, db, error));
  EXPECT_EQ(colour, NoiseBed::Colour::kBrown);
  EXPECT_EQ(db, -32.5);
  for (const char* bad : {"grey", "pink@", "pink@3", "pink@-121", "white@x", "@-10", "pink@nan"})
  {
    EXPECT_FALSE(NoiseBed::Parse(bad, colour, db, error)) << bad;
    EXPECT_NE(error.find(bad), std::string::npos) << error;
  }
}
