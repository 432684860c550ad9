// The strip's window on Windows has its own timer; the thread's message loop
// (the host's run loop) delivers its messages. Nothing to hook up.
#include "tools/player/PlayerStrip.h"

struct PlayerStrip::LoopLink
{
};

bool PlayerStrip::Attach(ThrumwellHost::HostRunLoop&)
{
  return true;
}

void PlayerStrip::Detach() {}
