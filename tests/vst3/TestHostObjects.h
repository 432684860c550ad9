#pragma once
// Host-side objects for driving the binding in tests where host/'s objects
// would hide the fault under test: parameter changes that may repeat an ID or
// refuse to be read, an event list with any channel and raw events, and a
// component handler that also records context menus. They live on the stack
// of a test; reference counts are tracked but never delete.

#include <string>
#include <vector>

#include "vst3/sdk/IContextMenu.h"
#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/IEvents.h"
#include "vst3/sdk/IParameterChanges.h"

namespace TestHost
{
using namespace Steinberg;
using namespace Steinberg::Vst;

// Counts references without owning the object.
template <class... Interfaces>
class Unowned : public Interfaces...
{
public:
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    if ((... || queryInterfaceAs<Interfaces>(this, iid, obj)))
      return kResultOk;
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++refs; }
  uint32 PLUGIN_API release() override { return --refs; }
  uint32 refs = 1;
};

// Unlike HostParamValueQueue, its points are open to the test and it can
// refuse every read.
class ValueQueue final : public Unowned<IParamValueQueue>
{
public:
  explicit ValueQueue(ParamID paramId) : id(paramId) {}
  ParamID PLUGIN_API getParameterId() override { return id; }
  int32 PLUGIN_API getPointCount() override { return static_cast<int32>(points.size()); }
  tresult PLUGIN_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) override
  {
    if (index < 0 || index >= getPointCount() || unreadable)
      return kResultFalse;
    sampleOffset = points[static_cast<size_t>(index)].first;
    value = points[static_cast<size_t>(index)].second;
    return kResultTrue;
  }
  tresult PLUGIN_API addPoint(int32 sampleOffset, ParamValue value, int32& index) override
  {
    index = getPointCount();
    points.emplace_back(sampleOffset, value);
    return kResultTrue;
  }

  ParamID id;
  std::vector<std::pair<int32, ParamValue>> points;
  bool unreadable = false;
};

// Unlike HostParameterChanges, every Add opens a new queue, even for an ID
// that has one.
class ParameterChanges final : public Unowned<IParameterChanges>
{
public:
  int32 PLUGIN_API getParameterCount() override { return static_cast<int32>(queues.size()); }
  IParamValueQueue* PLUGIN_API getParameterData(int32 index) override
  {
    return index >= 0 && index < getParameterCount() ? &queues[static_cast<size_t>(index)] : nullptr;
  }
  IParamValueQueue* PLUGIN_API addParameterData(const ParamID& id, int32& index) override
  {
    index = getParameterCount();
    queues.emplace_back(id);
    return &queues.back();
  }
  // Adds a queue with the given points.
  ValueQueue& Add(ParamID id, std::vector<std::pair<int32, ParamValue>> points)
  {
    queues.emplace_back(id);
    queues.back().points = std::move(points);
    return queues.back();
  }

  std::vector<ValueQueue> queues;
};

// Unlike HostEventList, notes take any channel and events are open to the test.
class EventList final : public Unowned<IEventList>
{
public:
  int32 PLUGIN_API getEventCount() override { return static_cast<int32>(events.size()); }
  tresult PLUGIN_API getEvent(int32 index, Event& e) override
  {
    if (index < 0 || index >= getEventCount())
      return kResultFalse;
    e = events[static_cast<size_t>(index)];
    return kResultTrue;
  }
  tresult PLUGIN_API addEvent(Event& e) override
  {
    events.push_back(e);
    return kResultTrue;
  }
  void NoteOn(int32 offset, int16 pitch, float velocity, int16 channel = 0)
  {
    Event e{};
    e.type = Event::kNoteOnEvent;
    e.sampleOffset = offset;
    e.noteOn.pitch = pitch;
    e.noteOn.velocity = velocity;
    e.noteOn.channel = channel;
    e.noteOn.noteId = -1;
    events.push_back(e);
  }
  void NoteOff(int32 offset, int16 pitch, int16 channel = 0)
  {
    Event e{};
    e.type = Event::kNoteOffEvent;
    e.sampleOffset = offset;
    e.noteOff.pitch = pitch;
    e.noteOff.channel = channel;
    e.noteOff.noteId = -1;
    events.push_back(e);
  }

  std::vector<Event> events;
};

// Records every call as text, context menus of IComponentHandler3 included,
// which HostComponentHandler does not answer.
class ComponentHandler final : public Unowned<IComponentHandler, IComponentHandler3>
{
public:
  tresult PLUGIN_API beginEdit(ParamID id) override { return Log("begin " + std::to_string(id)); }
  tresult PLUGIN_API performEdit(ParamID id, ParamValue v) override
  {
    return Log("perform " + std::to_string(id) + " " + std::to_string(v));
  }
  tresult PLUGIN_API endEdit(ParamID id) override { return Log("end " + std::to_string(id)); }
  tresult PLUGIN_API restartComponent(int32 flags) override { return Log("restart " + std::to_string(flags)); }
  IContextMenu* PLUGIN_API createContextMenu(IPlugView*, const ParamID* id) override
  {
    Log("menu " + std::to_string(id ? *id : kNoParamId));
    return nullptr;
  }
  tresult Log(const std::string& entry)
  {
    log += entry + ";";
    return kResultOk;
  }
  std::string log;
};
}  // namespace TestHost
