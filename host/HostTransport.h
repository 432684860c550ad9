#pragma once
// The process context a host reports with every block: a transport at a fixed
// tempo of 120 beats per minute in 4/4, positioned at the block's first frame,
// playing or stopped. Both the renderer and the player report this one.

#include <cstdint>

#include "vst3/sdk/ProcessContext.h"

namespace ThrumwellHost
{

constexpr double kHostTempo = 120.0;

// Builds the context without allocating: callable on the audio thread.
Steinberg::Vst::ProcessContext HostTransport(double sampleRate, std::int64_t position, bool playing);

}  // namespace ThrumwellHost
