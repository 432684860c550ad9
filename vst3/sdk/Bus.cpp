#include "vst3/sdk/Bus.h"

#include "vst3/sdk/UString.h"

namespace Steinberg {
namespace Vst {

Bus::Bus(const TChar* busName, BusType type, int32 busFlags)
    : name(busName ? busName : u""), busType(type), flags(busFlags) {}

bool Bus::getInfo(BusInfo& info) const {
  strncpy16(info.name, name.c_str(), 128);
  info.busType = busType;
  info.flags = static_cast<uint32>(flags);
  return true;
}

AudioBus::AudioBus(const TChar* busName, BusType type, int32 busFlags, SpeakerArrangement arrangement)
    : Bus(busName, type, busFlags), speakerArr(arrangement) {}

bool AudioBus::getInfo(BusInfo& info) const {
  info.channelCount = SpeakerArr::getChannelCount(speakerArr);
  return Bus::getInfo(info);
}

EventBus::EventBus(const TChar* busName, BusType type, int32 busFlags, int32 channels)
    : Bus(busName, type, busFlags), channelCount(channels) {}

bool EventBus::getInfo(BusInfo& info) const {
  info.channelCount = channelCount;
  return Bus::getInfo(info);
}

Bus* BusList::at(int32 index) const {
  if (index < 0 || index >= size())
    return nullptr;
  return buses_[static_cast<size_t>(index)].get();
}

Bus* BusList::append(Bus* bus) {
  if (bus)
    buses_.push_back(IPtr<Bus>::adopt(bus));
  return bus;
}

bool BusList::replace(int32 index, Bus* bus) {
  auto owned = IPtr<Bus>::adopt(bus);
  if (!bus || index < 0 || index >= size())
    return false;
  buses_[static_cast<size_t>(index)] = owned;
  return true;
}

} // namespace Vst
} // namespace Steinberg
