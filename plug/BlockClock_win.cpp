#include "plug/BlockClock.h"

#include <ctime>

static_assert(CLOCKS_PER_SEC == 1000, "the block clock counts milliseconds");

std::uint32_t BlockClockMs()
{
  return static_cast<std::uint32_t>(std::clock());
}
