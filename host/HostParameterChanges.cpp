#include "host/HostParameterChanges.h"

namespace ThrumwellHost
{

using namespace Steinberg;

HostParamValueQueue::HostParamValueQueue() { points.reserve(kMaxPoints); }

tresult PLUGIN_API HostParamValueQueue::getPoint(int32 index, int32& sampleOffset, Vst::ParamValue& value)
{
  if (index < 0 || index >= getPointCount())
    return kInvalidArgument;
  const Point& point = points[static_cast<std::size_t>(index)];
  sampleOffset = point.offset;
  value = point.value;
  ++pointsRead;
  return kResultOk;
}

tresult PLUGIN_API HostParamValueQueue::addPoint(int32 sampleOffset, Vst::ParamValue value, int32& index)
{
  if (points.size() >= static_cast<std::size_t>(kMaxPoints))
    return kResultFalse;
  index = getPointCount();
  points.push_back({sampleOffset, value});
  return kResultOk;
}

void HostParamValueQueue::Reset(Vst::ParamID paramId)
{
  id = paramId;
  points.clear();
  pointsRead = 0;
}

HostParameterChanges::HostParameterChanges() : queues(kMaxQueues) {}

Vst::IParamValueQueue* PLUGIN_API HostParameterChanges::getParameterData(int32 index)
{
  return index >= 0 && index < count ? &queues[static_cast<std::size_t>(index)] : nullptr;
}

Vst::IParamValueQueue* PLUGIN_API HostParameterChanges::addParameterData(const Vst::ParamID& id, int32& index)
{
  for (int32 i = 0; i < count; ++i)
    if (queues[static_cast<std::size_t>(i)].getParameterId() == id)
    {
      index = i;
      return &queues[static_cast<std::size_t>(i)];
    }
  if (count >= kMaxQueues)
    return nullptr;
  index = count;
  queues[static_cast<std::size_t>(count)].Reset(id);
  return &queues[static_cast<std::size_t>(count++)];
}

bool HostParameterChanges::Add(Vst::ParamID id, int32 offset, Vst::ParamValue value)
{
  int32 index = 0;
  Vst::IParamValueQueue* queue = addParameterData(id, index);
  int32 pointIndex = 0;
  return queue && queue->addPoint(offset, value, pointIndex) == kResultOk;
}

bool HostParameterChanges::AddEmptyQueue(Vst::ParamID id)
{
  int32 index = 0;
  return addParameterData(id, index) != nullptr;
}

int HostParameterChanges::QueueReferences() const
{
  int total = 0;
  for (const HostParamValueQueue& queue : queues)
    total += queue.References();
  return total;
}

}  // namespace ThrumwellHost
