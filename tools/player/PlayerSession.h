#pragma once
// PlayerSession: a session (settings, ramps and program changes in time)
// played by the player in the time the transport has played. The main
// thread resolves it against the plug-in and computes its changes ahead, a
// chunk at a time, into the SessionQueue the audio callback reads; the
// callback never waits for it.
//
// A program change goes out alone, and the chunks after it wait until the
// callback has delivered it: ramps that start from the values in force need
// the program's values, which the plug-in only has once it has played the
// change. Meanwhile the transport keeps going, so the settings that follow a
// program change arrive up to one main-loop turn (about 20 ms) late; every
// other change lands on its frame.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/HostParameterChanges.h"
#include "tools/player/SessionQueue.h"
#include "tools/session/SessionPlayer.h"

namespace ThrumwellHost
{
class HostPlugin;
}

class PlayerSession
{
public:
  PlayerSession();

  // Checks the events against the plug-in; chunks are at most chunkFrames
  // long. False with the message in error.
  bool Resolve(const std::vector<ThrumwellSession::SessionEvent>& events,
               const ThrumwellHost::HostParameterList& params, Steinberg::Vst::IEditController* controller,
               double rate, int chunkFrames, std::string& error);
  bool Empty() const { return player.Empty(); }
  SessionQueue& Queue() { return *queue; }

  // Before the audio starts, after the plug-in's first flush: a program
  // change at the session's start is played here, on the main thread, as a
  // renderer plays it; then the values in force are read and the first
  // chunks computed.
  bool Start(ThrumwellHost::HostPlugin& plugin, double rate);
  // Main thread, every turn of its loop: computes chunks until the queue is
  // full, the session is over, or a program change waits for the callback.
  void Fill();

private:
  ThrumwellSession::SessionPlayer player;
  std::unique_ptr<SessionQueue> queue;
  ThrumwellHost::HostParameterChanges scratch;
  int chunkFrames = 256;
  std::uint64_t next = 0;          // first frame not yet in a chunk
  std::uint64_t last = 0;          // the session's last event
  std::uint64_t programDone = ThrumwellSession::SessionPlayer::kNever;  // frame whose program change went out
  std::uint32_t programsQueued = 0;
  bool readValues = false;         // the values in force are to be read again
  bool finished = false;
};
