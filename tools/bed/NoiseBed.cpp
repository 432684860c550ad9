#include "tools/bed/NoiseBed.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The high-pass that keeps the bed free of DC.
constexpr double kDcHz = 3.0;
// Brown noise integrates above this corner; below it the slope flattens.
constexpr double kBrownCornerHz = 8.0;
// Each channel's generator starts from its own fixed seed.
constexpr std::uint64_t kSeeds[2] = {0x4E6F697365426564ull, 0x426564526967687Full};
// The white source's RMS: uniform in [-1, 1).
const double kUniformRms = 1.0 / std::sqrt(3.0);

struct ColourName
{
  const char* name;
  NoiseBed::Colour colour;
};
constexpr ColourName kColours[] = {
  {"white", NoiseBed::Colour::kWhite}, {"pink", NoiseBed::Colour::kPink}, {"brown", NoiseBed::Colour::kBrown}};

// The pole or zero of an analog first-order section at hz, placed by the
// matched z-transform: exp(-2 pi hz / rate).
double MatchedZ(double hz, double rate) { return std::exp(-2.0 * kPi * hz / rate); }

}  // namespace

bool NoiseBed::Parse(const std::string& text, Colour& colour, double& db, std::string& error)
{
  const std::size_t at = text.find('@');
  const std::string name = text.substr(0, at);
  bool known = false;
  for (const ColourName& c : kColours)
    if (name == c.name)
    {
      colour = c.colour;
      known = true;
    }
  db = kDefaultDb;
  if (known && at != std::string::npos)
  {
    const std::string level = text.substr(at + 1);
    char* end = nullptr;
    db = std::strtod(level.c_str(), &end);
    known = !level.empty() && end && *end == '\0' && std::isfinite(db) && db >= kLowestDb && db <= 0.0;
  }
  if (!known)
    error = "--noise \"" + text + "\" is not white, pink or brown, with @DB from -120 to 0 (RMS level, default -20)";
  return known;
}

const char* NoiseBed::Name(Colour colour)
{
  for (const ColourName& c : kColours)
    if (c.colour == colour)
      return c.name;
  return "white";
}

void NoiseBed::AddSection(double poleHz, double zeroHz, double rate)
{
  if (count >= kMaxSections)
    return;
  // H(z) = k (1 - q z^-1) / (1 - p z^-1), k making the gain 1 at DC.
  const double p = MatchedZ(poleHz, rate);
  const double q = zeroHz > 0.0 ? MatchedZ(zeroHz, rate) : 0.0;
  Section& s = sections[static_cast<std::size_t>(count++)];
  const double k = zeroHz > 0.0 ? (1.0 - p) / (1.0 - q) : 1.0;
  s.b0 = k;
  s.b1 = -k * q;
  s.a1 = -p;
}

void NoiseBed::Configure(Colour colour, double db, double rate)
{
  count = 0;
  // The DC blocker: a zero at DC, a pole just above it.
  Section& dc = sections[static_cast<std::size_t>(count++)];
  const double r = MatchedZ(kDcHz, rate);
  dc.b0 = (1.0 + r) / 2.0;
  dc.b1 = -(1.0 + r) / 2.0;
  dc.a1 = -r;
  // The digital sections fall off less than their analog models near
  // Nyquist (a one-pole integrator is 2 sin(w/2) where the analog one is w):
  // a two-tap filter of gain 1 at DC takes the top octave down to the line,
  // as far for brown as the integrator needs and two thirds of that for
  // pink, whose sections lean away from the line by less.
  auto compensate = [this](double atNyquist) {
    Section& s = sections[static_cast<std::size_t>(count++)];
    s.b0 = (1.0 + atNyquist) / 2.0;
    s.b1 = (1.0 - atNyquist) / 2.0;
    s.a1 = 0.0;
  };
  if (colour == Colour::kPink)
  {
    compensate(0.74);
    // Poles every half octave from 4 Hz, each with its zero a quarter
    // octave above, up to where the zero would pass Nyquist.
    for (double pole = 4.0; pole * std::pow(2.0, 0.25) < rate * 0.5 && count < kMaxSections; pole *= std::sqrt(2.0))
      AddSection(pole, pole * std::pow(2.0, 0.25), rate);
  }
  else if (colour == Colour::kBrown)
  {
    compensate(2.0 / kPi);
    AddSection(kBrownCornerHz, 0.0, rate);
    // A plain leaky integrator: its gain 1 at DC would be huge below the
    // corner; scale it to about 1 at the corner instead (the level is set
    // from the measured RMS below).
    sections[static_cast<std::size_t>(count - 1)].b0 = 1.0 - MatchedZ(kBrownCornerHz, rate);
  }

  // The chain's RMS for a unit white input: the energy of its impulse
  // response, run until it has died away (a few seconds of the lowest pole).
  double energy = 0.0;
  {
    std::array<double, kMaxSections> x{}, y{};
    const long limit = static_cast<long>(rate * 8.0);
    for (long i = 0; i < limit; ++i)
    {
      double v = i == 0 ? 1.0 : 0.0;
      for (int s = 0; s < count; ++s)
      {
        const Section& c = sections[static_cast<std::size_t>(s)];
        const double out = c.b0 * v + c.b1 * x[static_cast<std::size_t>(s)] - c.a1 * y[static_cast<std::size_t>(s)];
        x[static_cast<std::size_t>(s)] = v;
        y[static_cast<std::size_t>(s)] = out;
        v = out;
      }
      energy += v * v;
    }
  }
  const double rms = kUniformRms * std::sqrt(std::max(energy, 1e-30));
  gain = std::pow(10.0, db / 20.0) / rms;
  for (std::size_t c = 0; c < channels.size(); ++c)
    channels[c] = Channel{kSeeds[c], {}, {}};
}

double NoiseBed::Channel::next()
{
  // xorshift64*: uniform in [-1, 1).
  random ^= random >> 12;
  random ^= random << 25;
  random ^= random >> 27;
  return static_cast<double>((random * 0x2545F4914F6CDD1Dull) >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

double NoiseBed::Channel::run(const NoiseBed& bed)
{
  double v = next();
  for (int s = 0; s < bed.count; ++s)
  {
    const Section& c = bed.sections[static_cast<std::size_t>(s)];
    const double out = c.b0 * v + c.b1 * x[static_cast<std::size_t>(s)] - c.a1 * y[static_cast<std::size_t>(s)];
    x[static_cast<std::size_t>(s)] = v;
    y[static_cast<std::size_t>(s)] = out;
    v = out;
  }
  return std::clamp(v * bed.gain, -1.0, 1.0);
}

template <class Sample>
void NoiseBed::AddTo(Sample* left, Sample* right, int n)
{
  for (int i = 0; i < n; ++i)
  {
    left[i] = static_cast<Sample>(left[i] + channels[0].run(*this));
    right[i] = static_cast<Sample>(right[i] + channels[1].run(*this));
  }
}

void NoiseBed::Add(float* left, float* right, int n) { AddTo(left, right, n); }

void NoiseBed::Add(double* left, double* right, int n) { AddTo(left, right, n); }
