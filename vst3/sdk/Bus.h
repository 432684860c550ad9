// Buses of a component: the audio and event buses, and the ordered lists in
// which a component keeps them (list index = bus index).
#pragma once

#include "vst3/sdk/FObject.h"
#include "vst3/sdk/IComponent.h"
#include "vst3/sdk/IPtr.h"

#include <string>
#include <vector>

namespace Steinberg {
namespace Vst {

class Bus : public FObject {
public:
  Bus(const TChar* name, BusType busType, int32 flags);

  const char* isA() const override { return "Bus"; }

  // Buses start inactive until the host activates them.
  bool isActive() const { return active; }
  void setActive(TBool state) { active = state != 0; }
  const std::u16string& getName() const { return name; }
  void setName(const TChar* newName) { name = newName ? newName : u""; }
  BusType getBusType() const { return busType; }
  void setBusType(BusType type) { busType = type; }
  int32 getFlags() const { return flags; }
  void setFlags(int32 newFlags) { flags = newFlags; }

  // Fills name (at most 127 characters, zero-filled), busType and flags; the
  // component fills mediaType and direction.
  virtual bool getInfo(BusInfo& info) const;

protected:
  std::u16string name;
  BusType busType;
  int32 flags;
  bool active = false;
};

class AudioBus : public Bus {
public:
  AudioBus(const TChar* name, BusType busType, int32 flags, SpeakerArrangement arrangement);

  const char* isA() const override { return "AudioBus"; }

  SpeakerArrangement getArrangement() const { return speakerArr; }
  void setArrangement(SpeakerArrangement arrangement) { speakerArr = arrangement; }

  // channelCount = the arrangement's speaker count.
  bool getInfo(BusInfo& info) const override;

protected:
  SpeakerArrangement speakerArr;
};

class EventBus : public Bus {
public:
  EventBus(const TChar* name, BusType busType, int32 flags, int32 channelCount);

  const char* isA() const override { return "EventBus"; }

  // channelCount = the number of MIDI channels given at construction.
  bool getInfo(BusInfo& info) const override;

protected:
  int32 channelCount;
};

class BusList {
public:
  BusList(MediaType type, BusDirection direction) : type_(type), direction_(direction) {}

  MediaType getType() const { return type_; }
  BusDirection getDirection() const { return direction_; }
  int32 size() const { return static_cast<int32>(buses_.size()); }
  // Null for an index out of range.
  Bus* at(int32 index) const;
  // Takes over the caller's reference.
  Bus* append(Bus* bus);
  // Replaces bus `index`, taking over the caller's reference; false (and the
  // bus released) for an index out of range.
  bool replace(int32 index, Bus* bus);
  void clear() { buses_.clear(); }

private:
  MediaType type_;
  BusDirection direction_;
  std::vector<IPtr<Bus>> buses_;
};

} // namespace Vst
} // namespace Steinberg
