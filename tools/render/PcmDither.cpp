#include "tools/render/PcmDither.h"

namespace {

// Every file's dither starts from this seed.
constexpr std::uint64_t kDitherSeed = 0x5468756D7765ull;

}  // namespace

void PcmDither::Reset() { random = kDitherSeed; }

double PcmDither::Next()
{
  // xorshift64*: two uniform values in [0, 1) per sample, their difference
  // is triangular in (-1, 1).
  auto next = [this] {
    random ^= random >> 12;
    random ^= random << 25;
    random ^= random >> 27;
    return static_cast<double>((random * 0x2545F4914F6CDD1Dull) >> 11) * (1.0 / 9007199254740992.0);
  };
  const double a = next();
  return a - next();
}

std::int32_t PcmDither::Quantize(double sample, double scale)
{
  // Full scale 1.0 is 2^(bits-1) steps; the dithered value is rounded and
  // held within the format's range.
  return Hold(sample * scale + Next() + 0.5, scale);
}

std::int32_t PcmDither::Round(double sample, double scale) { return Hold(sample * scale + 0.5, scale); }

std::int32_t PcmDither::Hold(double steps, double scale)
{
  // Rounded down, held within [-scale, scale - 1]. Within that range the
  // conversion truncates towards zero, one step short of floor for the
  // negative values that are not whole (cheaper than a call to floor).
  if (!(steps >= -scale))
    return static_cast<std::int32_t>(-scale);  // also a NaN, which the plug-in should never give
  if (steps >= scale)
    return static_cast<std::int32_t>(scale - 1.0);
  const auto whole = static_cast<std::int32_t>(steps);
  return static_cast<double>(whole) > steps ? whole - 1 : whole;
}
