#pragma once
// Plays a session into a plug-in as a host's automation does: settings and
// program changes at their sample frames, ramps as parameter-change points
// inside the blocks. Ramps move linearly in the parameter's own units (Hz, ms,
// %); each point's value is converted with the controller's own
// plainParamToNormalized, and points are added inside a block wherever the
// host's linear interpolation between normalized points would stray from the
// line in real units (the normalized curve of a parameter may be a power).
//
// The caller drives it block by block:
//   Resolve (once) → ReadValuesInForce (after any state and program the
//   session starts from) → for each block starting at frame F:
//     if AddProgramChange(F, changes): process a flush with changes, then
//       ReadValuesInForce;
//     AddBlockChanges(F, n, changes) and process the block,
//   where every block begins at or ends before NextBoundary(F) (block sizes
//   are cut there), so that each setting and program change lands on the
//   first sample of a block.
//
// Host side only: allocates freely, never runs inside process.

#include <cstdint>
#include <string>
#include <vector>

#include "host/HostParameterList.h"
#include "tools/session/SessionScript.h"
#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/IParameterChanges.h"

namespace ThrumwellSession
{

class SessionPlayer
{
public:
  static constexpr std::uint64_t kNever = UINT64_MAX;

  // Checks every event's name and value against the plug-in's parameter and
  // program lists and places it at rate frames per second. On the first
  // error returns false with a message naming where the event was written
  // and what was expected there.
  bool Resolve(const std::vector<SessionEvent>& events, const ThrumwellHost::HostParameterList& params,
               Steinberg::Vst::IEditController* controller, double rate, std::string& error);

  bool Empty() const { return events.empty(); }
  // Frame at which the last event (a ramp's end, or a setting) takes place.
  std::uint64_t LastFrame() const;

  // Takes the values now in force from the controller: where ramps that
  // name no start value start from.
  void ReadValuesInForce();

  // The first frame after frame at which a block must begin; kNever when no
  // event starts later.
  std::uint64_t NextBoundary(std::uint64_t frame) const;

  // Adds the program change due at frame (the last one, when several are);
  // true when there is one.
  bool AddProgramChange(std::uint64_t frame, Steinberg::Vst::IParameterChanges& changes);

  // Adds the settings and ramp points that fall into the frames [frame, frame + n).
  void AddBlockChanges(std::uint64_t frame, int n, Steinberg::Vst::IParameterChanges& changes);

private:
  struct Event
  {
    SessionEvent::Kind kind;
    std::uint64_t start;  // frames
    std::uint64_t end;
    Steinberg::Vst::ParamID id;
    std::size_t slot;     // index into inForce
    double normalized;    // settings and program changes
    bool hasFrom;         // ramps: start value given
    double from;          // ramps: plain values
    double to;
    double range;         // ramps: max - min of the parameter, for the tolerance
  };
  struct Point
  {
    Steinberg::int32 offset;
    std::size_t order;  // event order: a later event wins at the same offset
    double normalized;
  };

  double PlainAt(const Event& ramp, std::uint64_t frame) const;
  // Points of a ramp over the frames [lo, hi] (absolute), relative to base.
  void AddRampPoints(std::size_t index, std::uint64_t lo, std::uint64_t hi, std::uint64_t base,
                     std::vector<Point>& points) const;
  void Subdivide(const Event& ramp, std::size_t index, std::uint64_t lo, std::uint64_t hi, std::uint64_t base,
                 int depth, std::vector<Point>& points) const;

  Steinberg::Vst::IEditController* controller = nullptr;
  std::vector<Event> events;                   // by start frame, in the order written
  std::vector<Steinberg::Vst::ParamID> slots;  // parameters the session touches
  std::vector<double> inForce;                 // their plain values in force, by slot
  std::vector<std::size_t> active;             // ramps under way
  std::size_t next = 0;                        // first event not yet started
};

}  // namespace ThrumwellSession
