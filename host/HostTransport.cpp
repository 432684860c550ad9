#include "host/HostTransport.h"

namespace ThrumwellHost
{

using namespace Steinberg::Vst;

ProcessContext HostTransport(double sampleRate, std::int64_t position, bool playing)
{
  ProcessContext context{};
  context.state = ProcessContext::kTempoValid | ProcessContext::kTimeSigValid | ProcessContext::kProjectTimeMusicValid;
  if (playing)
    context.state |= ProcessContext::kPlaying;
  context.sampleRate = sampleRate;
  context.projectTimeSamples = position;
  context.continousTimeSamples = position;
  context.projectTimeMusic = static_cast<double>(position) / sampleRate * (kHostTempo / 60.0);
  context.tempo = kHostTempo;
  context.timeSigNumerator = 4;
  context.timeSigDenominator = 4;
  return context;
}

}  // namespace ThrumwellHost
