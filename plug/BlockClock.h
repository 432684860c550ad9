#pragma once

#include <cstdint>

// Milliseconds from a clock that only moves forward, truncated to 32 bits;
// callers compare two readings by unsigned difference, so the wrap after
// about 49 days is harmless. On Windows this is the C library's clock()
// (1000 ticks per second there); elsewhere clock() counts processor time,
// which stands still while the host idles, so a monotonic clock is used.
std::uint32_t BlockClockMs();
