#include "tools/player/PlayerSession.h"

#include <algorithm>

#include "host/HostPlugin.h"
#include "host/HostTransport.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using ThrumwellSession::SessionPlayer;

PlayerSession::PlayerSession() : queue(std::make_unique<SessionQueue>()) {}

bool PlayerSession::Resolve(const std::vector<ThrumwellSession::SessionEvent>& events,
                            const ThrumwellHost::HostParameterList& params, IEditController* controller, double rate,
                            int frames, std::string& error)
{
  chunkFrames = std::max(frames, 1);
  if (!player.Resolve(events, params, controller, rate, error))
    return false;
  last = player.LastFrame();
  finished = player.Empty();
  return true;
}

bool PlayerSession::Start(ThrumwellHost::HostPlugin& plugin, double rate)
{
  if (finished)
    return true;
  scratch.Clear();
  bool ok = true;
  if (player.AddProgramChange(0, scratch))
  {
    ProcessContext context = ThrumwellHost::HostTransport(rate, 0, false);
    ok = plugin.Process(0, &scratch, nullptr, &context);
    programDone = 0;
  }
  player.ReadValuesInForce();
  Fill();
  return ok;
}

void PlayerSession::Fill()
{
  while (!finished)
  {
    if (queue->ProgramsDelivered() != programsQueued)
      return;
    if (readValues)
    {
      player.ReadValuesInForce();
      readValues = false;
    }
    SessionChunk* chunk = queue->Back();
    if (!chunk)
      return;
    chunk->start = next;
    chunk->count = 0;
    chunk->program = false;
    scratch.Clear();
    if (programDone != next && player.AddProgramChange(next, scratch))
    {
      // A chunk of its own, without frames; the rest waits for its delivery.
      int32 point = 0;
      chunk->program = scratch.Queue(0).getPoint(0, point, chunk->programValue) == kResultOk;
      chunk->programId = scratch.Queue(0).getParameterId();
      chunk->length = 0;
      programDone = next;
      ++programsQueued;
      readValues = true;
      queue->Push();
      continue;
    }
    const std::uint64_t boundary = player.NextBoundary(next);
    const int n = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(chunkFrames), boundary - next));
    scratch.Clear();
    player.AddBlockChanges(next, n, scratch);
    // Each queue's points in order. Should a chunk's points not fit, a
    // parameter keeps only its last point there: the one the plug-in uses.
    const int32 queues = scratch.getParameterCount();
    for (int32 q = 0; q < queues; ++q)
    {
      ThrumwellHost::HostParamValueQueue& source = scratch.Queue(q);
      const int32 points = source.getPointCount();
      // One place stays for each queue after this one.
      const int32 room = SessionChunk::kMaxPoints - chunk->count - (queues - 1 - q);
      if (points <= 0 || room <= 0)
        continue;
      for (int32 i = points <= room ? 0 : points - 1; i < points; ++i)
      {
        SessionChunk::Point& point = chunk->points[static_cast<std::size_t>(chunk->count++)];
        point.id = source.getParameterId();
        source.getPoint(i, point.offset, point.normalized);
      }
    }
    chunk->length = n;
    queue->Push();
    next += static_cast<std::uint64_t>(n);
    finished = next > last;
  }
}
