// IComponent: the processing side of a plug-in as the host manages it
// (buses, activation, processor state).
#pragma once

#include "vst3/sdk/IPluginBase.h"
#include "vst3/sdk/VstTypes.h"

#include <cstddef>

namespace Steinberg {

class IBStream;

namespace Vst {

enum MediaTypes { kAudio = 0, kEvent = 1, kNumMediaTypes = 2 };
enum BusDirections { kInput = 0, kOutput = 1 };
enum BusTypes { kMain = 0, kAux = 1 };
enum IoModes { kSimple = 0, kAdvanced = 1, kOfflineProcessing = 2 };

// PClassInfo2::classFlags of an audio module class.
enum ComponentFlags : uint32 { kDistributable = 1 << 0, kSimpleModeSupported = 1 << 1 };

struct BusInfo {
  enum BusFlags : uint32 { kDefaultActive = 1 << 0, kIsControlVoltage = 1 << 1 };

  MediaType mediaType;
  BusDirection direction;
  int32 channelCount;
  String128 name;
  BusType busType;
  uint32 flags;
};

struct RoutingInfo {
  MediaType mediaType;
  int32 busIndex;
  int32 channel;
};

static_assert(sizeof(BusInfo) == 276 && alignof(BusInfo) == 4, "BusInfo layout");
static_assert(offsetof(BusInfo, direction) == 4 && offsetof(BusInfo, channelCount) == 8 &&
                  offsetof(BusInfo, name) == 12 && offsetof(BusInfo, busType) == 268 &&
                  offsetof(BusInfo, flags) == 272,
              "BusInfo offsets");
static_assert(sizeof(RoutingInfo) == 12 && offsetof(RoutingInfo, busIndex) == 4 &&
                  offsetof(RoutingInfo, channel) == 8,
              "RoutingInfo layout");

class IComponent : public IPluginBase {
public:
  virtual tresult PLUGIN_API getControllerClassId(TUID classId) = 0;
  virtual tresult PLUGIN_API setIoMode(IoMode mode) = 0;
  virtual int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) = 0;
  virtual tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0;
  virtual tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
  virtual tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
  virtual tresult PLUGIN_API setActive(TBool state) = 0;
  // Processor state. An object that is also the edit controller has a second,
  // separate pair of state slots in its IEditController vtable.
  virtual tresult PLUGIN_API setState(IBStream* state) = 0;
  virtual tresult PLUGIN_API getState(IBStream* state) = 0;

  static constexpr FUID iid{0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802};
};

} // namespace Vst
} // namespace Steinberg
