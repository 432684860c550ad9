#pragma once

#include <cstdint>

// The host application, found by searching its name. -1 until the host has
// introduced itself, 0 for a host that matches no key.
using IHostId = std::int32_t;

constexpr IHostId kHostUnidentified = -1;
constexpr IHostId kHostUnknown = 0;
constexpr IHostId kHostWavelab = 28;

// Case-insensitive substring search of the first 255 characters of name for
// each known key in a fixed order; the first key found names the host.
// A null or empty name gives kHostUnknown.
IHostId IdentifyHost(const char* name);
