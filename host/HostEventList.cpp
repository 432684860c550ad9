#include "host/HostEventList.h"

#include <cmath>

namespace ThrumwellHost
{

using namespace Steinberg;

HostEventList::HostEventList() { events.reserve(kMaxEvents); }

tresult PLUGIN_API HostEventList::getEvent(int32 index, Vst::Event& e)
{
  if (index < 0 || index >= getEventCount())
    return kInvalidArgument;
  e = events[static_cast<std::size_t>(index)];
  return kResultOk;
}

tresult PLUGIN_API HostEventList::addEvent(Vst::Event& e)
{
  if (events.size() >= static_cast<std::size_t>(kMaxEvents))
    return kOutOfMemory;
  events.push_back(e);
  return kResultOk;
}

bool HostEventList::NoteOn(int32 offset, int16 pitch, float velocity)
{
  Vst::Event e{};
  e.type = Vst::Event::kNoteOnEvent;
  e.sampleOffset = offset;
  e.noteOn.pitch = pitch;
  e.noteOn.velocity = velocity;
  e.noteOn.noteId = -1;
  return addEvent(e) == kResultOk;
}

bool HostEventList::NoteOff(int32 offset, int16 pitch)
{
  Vst::Event e{};
  e.type = Vst::Event::kNoteOffEvent;
  e.sampleOffset = offset;
  e.noteOff.pitch = pitch;
  e.noteOff.noteId = -1;
  return addEvent(e) == kResultOk;
}

float HostEventList::VelocityFromMidi(int midiVelocity)
{
  float velocity = static_cast<float>(midiVelocity) / 127.0f;
  while (static_cast<int>(velocity * 127.0f) < midiVelocity)
    velocity = std::nextafter(velocity, 2.0f);
  return velocity;
}

}  // namespace ThrumwellHost
