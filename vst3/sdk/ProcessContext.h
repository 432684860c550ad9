// Transport, tempo and musical position of the block being processed.
#pragma once

#include "vst3/sdk/VstTypes.h"

#include <cstddef>

namespace Steinberg {
namespace Vst {

struct FrameRate {
  enum FrameRateFlags : uint32 { kPullDownRate = 1 << 0, kDropRate = 1 << 1 };

  uint32 framesPerSecond;
  uint32 flags;
};

struct Chord {
  enum Masks { kChordMask = 0x0FFF, kReservedMask = 0xF000 };

  uint8 keyNote;
  uint8 rootNote;
  int16 chordMask;
};

// Each optional field is valid only when its flag is set in `state`;
// sampleRate and projectTimeSamples always are.
struct ProcessContext {
  enum StatesAndFlags : uint32 {
    kPlaying = 1 << 1,
    kCycleActive = 1 << 2,
    kRecording = 1 << 3,
    kSystemTimeValid = 1 << 8,
    kContTimeValid = 1 << 17,
    kProjectTimeMusicValid = 1 << 9,
    kBarPositionValid = 1 << 11,
    kCycleValid = 1 << 12,
    kTempoValid = 1 << 10,
    kTimeSigValid = 1 << 13,
    kChordValid = 1 << 18,
    kSmpteValid = 1 << 14,
    kClockValid = 1 << 15
  };

  uint32 state;
  double sampleRate;
  TSamples projectTimeSamples;
  int64 systemTime;
  TSamples continousTimeSamples;
  TQuarterNotes projectTimeMusic;
  TQuarterNotes barPositionMusic;
  TQuarterNotes cycleStartMusic;
  TQuarterNotes cycleEndMusic;
  double tempo;
  int32 timeSigNumerator;
  int32 timeSigDenominator;
  Chord chord;
  int32 smpteOffsetSubframes;
  FrameRate frameRate;
  int32 samplesToNextClock;
};

static_assert(sizeof(FrameRate) == 8 && alignof(FrameRate) == 4, "FrameRate layout");
static_assert(sizeof(Chord) == 4 && alignof(Chord) == 2 && offsetof(Chord, chordMask) == 2, "Chord layout");
static_assert(sizeof(ProcessContext) == 112 && alignof(ProcessContext) == 8, "ProcessContext layout");
static_assert(offsetof(ProcessContext, sampleRate) == 8 && offsetof(ProcessContext, projectTimeSamples) == 16 &&
                  offsetof(ProcessContext, systemTime) == 24 &&
                  offsetof(ProcessContext, continousTimeSamples) == 32 &&
                  offsetof(ProcessContext, projectTimeMusic) == 40 &&
                  offsetof(ProcessContext, barPositionMusic) == 48 &&
                  offsetof(ProcessContext, cycleStartMusic) == 56 && offsetof(ProcessContext, cycleEndMusic) == 64 &&
                  offsetof(ProcessContext, tempo) == 72 && offsetof(ProcessContext, timeSigNumerator) == 80 &&
                  offsetof(ProcessContext, timeSigDenominator) == 84 && offsetof(ProcessContext, chord) == 88 &&
                  offsetof(ProcessContext, smpteOffsetSubframes) == 92 && offsetof(ProcessContext, frameRate) == 96 &&
                  offsetof(ProcessContext, samplesToNextClock) == 104,
              "ProcessContext offsets");

} // namespace Vst
} // namespace Steinberg
