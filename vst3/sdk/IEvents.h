// Note and other events of one block, and the list that carries them.
#pragma once

#include "vst3/sdk/FUnknown.h"
#include "vst3/sdk/VstTypes.h"

#include <cstddef>

namespace Steinberg {
namespace Vst {

struct NoteOnEvent {
  int16 channel;
  int16 pitch;    // 0..127, 69 = A at 440 Hz
  float tuning;   // cents
  float velocity; // 0..1
  int32 length;   // samples, optional
  int32 noteId;   // -1 when the host has none
};

struct NoteOffEvent {
  int16 channel;
  int16 pitch;
  float velocity;
  int32 noteId;
  float tuning;
};

struct DataEvent {
  enum DataTypes { kMidiSysEx = 0 };

  uint32 size;
  uint32 type;
  const uint8* bytes;
};

struct PolyPressureEvent {
  int16 channel;
  int16 pitch;
  float pressure;
  int32 noteId;
};

struct ChordEvent {
  int16 root;
  int16 bassNote;
  int16 mask;
  uint16 textLen;
  const TChar* text;
};

struct ScaleEvent {
  int16 root;
  int16 mask;
  uint16 textLen;
  const TChar* text;
};

struct LegacyMIDICCOutEvent {
  uint8 controlNumber;
  int8 channel;
  int8 value;
  int8 value2;
};

struct NoteExpressionValueEvent {
  NoteExpressionTypeID typeId;
  int32 noteId;
  double value;
};

struct NoteExpressionTextEvent {
  NoteExpressionTypeID typeId;
  int32 noteId;
  uint32 textLen;
  const TChar* text;
};

struct Event {
  enum EventFlags : uint16 { kIsLive = 1 << 0, kUserReserved1 = 1 << 14, kUserReserved2 = 1 << 15 };
  enum EventTypes : uint16 {
    kNoteOnEvent = 0,
    kNoteOffEvent = 1,
    kDataEvent = 2,
    kPolyPressureEvent = 3,
    kNoteExpressionValueEvent = 4,
    kNoteExpressionTextEvent = 5,
    kChordEvent = 6,
    kScaleEvent = 7,
    kLegacyMIDICCOutEvent = 65535
  };

  int32 busIndex;
  int32 sampleOffset; // within the current block
  TQuarterNotes ppqPosition;
  uint16 flags;
  uint16 type; // selects the payload below
  union {
    NoteOnEvent noteOn;
    NoteOffEvent noteOff;
    DataEvent data;
    PolyPressureEvent polyPressure;
    NoteExpressionValueEvent noteExpressionValue;
    NoteExpressionTextEvent noteExpressionText;
    ChordEvent chord;
    ScaleEvent scale;
    LegacyMIDICCOutEvent midiCCOut;
  };
};

static_assert(sizeof(NoteOnEvent) == 20 && offsetof(NoteOnEvent, tuning) == 4 &&
                  offsetof(NoteOnEvent, velocity) == 8 && offsetof(NoteOnEvent, length) == 12 &&
                  offsetof(NoteOnEvent, noteId) == 16,
              "NoteOnEvent layout");
static_assert(sizeof(NoteOffEvent) == 16 && offsetof(NoteOffEvent, velocity) == 4 &&
                  offsetof(NoteOffEvent, noteId) == 8 && offsetof(NoteOffEvent, tuning) == 12,
              "NoteOffEvent layout");
static_assert(sizeof(DataEvent) == 16 && offsetof(DataEvent, bytes) == 8, "DataEvent layout");
static_assert(sizeof(PolyPressureEvent) == 12 && offsetof(PolyPressureEvent, noteId) == 8,
              "PolyPressureEvent layout");
static_assert(sizeof(ChordEvent) == 16 && offsetof(ChordEvent, textLen) == 6 && offsetof(ChordEvent, text) == 8,
              "ChordEvent layout");
static_assert(sizeof(ScaleEvent) == 16 && offsetof(ScaleEvent, textLen) == 4 && offsetof(ScaleEvent, text) == 8,
              "ScaleEvent layout");
static_assert(sizeof(LegacyMIDICCOutEvent) == 4 && alignof(LegacyMIDICCOutEvent) == 1,
              "LegacyMIDICCOutEvent layout");
static_assert(sizeof(NoteExpressionValueEvent) == 16 && offsetof(NoteExpressionValueEvent, value) == 8,
              "NoteExpressionValueEvent layout");
static_assert(sizeof(NoteExpressionTextEvent) == 24 && offsetof(NoteExpressionTextEvent, textLen) == 8 &&
                  offsetof(NoteExpressionTextEvent, text) == 16,
              "NoteExpressionTextEvent layout");
static_assert(sizeof(Event) == 48 && alignof(Event) == 8, "Event layout");
static_assert(offsetof(Event, sampleOffset) == 4 && offsetof(Event, ppqPosition) == 8 &&
                  offsetof(Event, flags) == 16 && offsetof(Event, type) == 18 && offsetof(Event, noteOn) == 24,
              "Event offsets");

class IEventList : public FUnknown {
public:
  virtual int32 PLUGIN_API getEventCount() = 0;
  // Copies event `index` into `e`.
  virtual tresult PLUGIN_API getEvent(int32 index, Event& e) = 0;
  virtual tresult PLUGIN_API addEvent(Event& e) = 0;

  static constexpr FUID iid{0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44};
};

} // namespace Vst
} // namespace Steinberg
