#pragma once

#include <cmath>
#include <cstdint>

// Nearest integer with halves going away from zero (add or subtract 0.5,
// then truncate). A value that is not a number gives 0 and values beyond
// the 32-bit range give its ends, so no input reaches an undefined
// floating-to-integer conversion.
inline std::int32_t RoundToInt(double x)
{
  if (std::isnan(x))
    return 0;
  const double r = x >= 0.0 ? x + 0.5 : x - 0.5;
  if (r >= 2147483647.0)
    return INT32_MAX;
  if (r <= -2147483648.0)
    return INT32_MIN;
  return static_cast<std::int32_t>(r);
}
