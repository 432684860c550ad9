// Fuzzes the session file reader and the --at and --ramp option readers:
// any bytes must give either events or one message naming a line and column
// inside the text, and the events must be what the renderer can schedule:
// finite times, ramps that end after they start, sorted by start; and the
// beds what the renderer can play: a level and a gain in their ranges.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/session/SessionScript.h"

using namespace ThrumwellSession;

namespace {

void Require(bool condition)
{
  if (!condition)
    std::abort();
}

void CheckEvents(const std::vector<SessionEvent>& events)
{
  for (std::size_t i = 0; i < events.size(); ++i)
  {
    const SessionEvent& e = events[i];
    Require(std::isfinite(e.start) && e.start >= 0.0);
    Require(e.kind != SessionEvent::kRamp || e.end > e.start);
    Require(!e.name.empty() && (e.kind == SessionEvent::kProgram || !e.to.empty()));
    Require(i == 0 || events[i - 1].start <= e.start);
  }
}

void CheckBeds(const SessionBeds& beds)
{
  Require(!beds.noise || (beds.noiseDb >= NoiseBed::kLowestDb && beds.noiseDb <= 0.0 && beds.noiseAt.line > 0));
  Require(beds.input.empty()
          || (beds.inputGain >= kLowestInputGainDb && beds.inputGain <= kHighestInputGainDb && beds.inputAt.line > 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<SessionEvent> events;
  SessionBeds beds;
  std::string error;
  if (ParseSessionText(text, "fuzz.txt", events, beds, error))
  {
    Require(error.empty());
    CheckBeds(beds);
    if (OrderSessionEvents(events, error))
      CheckEvents(events);
    else
      Require(error.rfind("fuzz.txt:", 0) == 0);
  }
  else
  {
    Require(error.rfind("fuzz.txt:", 0) == 0 && error.find('\n') == std::string::npos);
  }

  // The same bytes as an option's value.
  SessionEvent event;
  if (ParseAtOption(text, event, error))
    CheckEvents({event});
  if (ParseRampOption(text, event, error))
    CheckEvents({event});
  return 0;
}
