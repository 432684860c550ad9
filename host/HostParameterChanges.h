#pragma once
// The parameter changes of one block: IParameterChanges with one
// IParamValueQueue per parameter. Storage is reserved up front, so filling the
// changes between blocks and reading them in process allocates nothing.
// Points may be added in any order and with any value: tests use this to
// hand the plug-in the same odd queues a careless host would.

#include <vector>

#include "host/HostObject.h"
#include "vst3/sdk/IParameterChanges.h"

namespace ThrumwellHost
{

class HostParamValueQueue final : public HostObject<Steinberg::Vst::IParamValueQueue>
{
public:
  struct Point
  {
    Steinberg::int32 offset;
    Steinberg::Vst::ParamValue value;
  };
  static constexpr int kMaxPoints = 1024;

  HostParamValueQueue();

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return id; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return static_cast<Steinberg::int32>(points.size()); }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;

  void Reset(Steinberg::Vst::ParamID paramId);
  // Points read by the plug-in since the last Reset, by index.
  int PointsRead() const { return pointsRead; }

private:
  Steinberg::Vst::ParamID id = 0;
  std::vector<Point> points;
  int pointsRead = 0;
};

class HostParameterChanges final : public HostObject<Steinberg::Vst::IParameterChanges>
{
public:
  static constexpr int kMaxQueues = 64;

  HostParameterChanges();

  Steinberg::int32 PLUGIN_API getParameterCount() override { return count; }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  // Finds the queue of id or opens a new one; null when all are in use.
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;

  // Appends a point to the queue of id (opening it when needed).
  bool Add(Steinberg::Vst::ParamID id, Steinberg::int32 offset, Steinberg::Vst::ParamValue value);
  // Opens a queue of id that holds no point.
  bool AddEmptyQueue(Steinberg::Vst::ParamID id);
  void Clear() { count = 0; }
  HostParamValueQueue& Queue(int index) { return queues[static_cast<std::size_t>(index)]; }
  // References on the queues that the plug-in still holds.
  int QueueReferences() const;

private:
  std::vector<HostParamValueQueue> queues;
  Steinberg::int32 count = 0;
};

}  // namespace ThrumwellHost
