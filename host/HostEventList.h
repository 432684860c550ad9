#pragma once
// The note events of one block: IEventList over storage reserved up front.

#include <vector>

#include "host/HostObject.h"
#include "vst3/sdk/IEvents.h"

namespace ThrumwellHost
{

class HostEventList final : public HostObject<Steinberg::Vst::IEventList>
{
public:
  static constexpr int kMaxEvents = 1024;

  HostEventList();

  Steinberg::int32 PLUGIN_API getEventCount() override { return static_cast<Steinberg::int32>(events.size()); }
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index, Steinberg::Vst::Event& e) override;
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) override;

  // A note-on or note-off on channel 0 of bus 0, with no note ID.
  bool NoteOn(Steinberg::int32 offset, Steinberg::int16 pitch, float velocity);
  bool NoteOff(Steinberg::int32 offset, Steinberg::int16 pitch);
  void Clear() { events.clear(); }

  // The event velocity (0..1) that a plug-in scaling by 127 in single
  // precision and truncating turns back into this MIDI velocity (0..127).
  static float VelocityFromMidi(int midiVelocity);

private:
  std::vector<Steinberg::Vst::Event> events;
};

}  // namespace ThrumwellHost
