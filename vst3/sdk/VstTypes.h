// Types, speaker arrangements and registration strings shared by the VST
// interfaces.
#pragma once

#include "vst3/sdk/FTypes.h"

namespace Steinberg {
namespace Vst {

using TChar = char16;
using String128 = TChar[128];
using CString = const char8*;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;
using ProgramListID = int32;
using ParamID = uint32;
using ParamValue = double;
using CtrlNumber = int16;
using TQuarterNotes = double;
using TSamples = int64;
using ColorSpec = uint32;
using Sample32 = float;
using Sample64 = double;
using SampleRate = double;
using SpeakerArrangement = uint64;
using Speaker = uint64;
using KnobMode = int32;
using NoteExpressionTypeID = uint32;

constexpr ParamID kNoParamId = 0xFFFFFFFF;
constexpr ParamID kMinParamId = 0;
constexpr ParamID kMaxParamId = 0x7FFFFFFF;

constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;
constexpr ProgramListID kNoProgramListId = -1;
constexpr int32 kAllProgramInvalid = -1;

constexpr const char8* kVstVersionString = "VST 3.7.14";
constexpr const char8* kVstAudioEffectClass = "Audio Module Class";
constexpr const char8* kVstComponentControllerClass = "Component Controller Class";

namespace PlugType {
constexpr const char8* kFx = "Fx";
constexpr const char8* kFxInstrument = "Fx|Instrument";
constexpr const char8* kInstrument = "Instrument";
constexpr const char8* kInstrumentSynth = "Instrument|Synth";
constexpr const char8* kGenerator = "Generator";
constexpr const char8* kStereo = "Stereo";
constexpr const char8* kMono = "Mono";
} // namespace PlugType

// Single speakers are bits of a SpeakerArrangement.
constexpr Speaker kSpeakerL = 1ull << 0;
constexpr Speaker kSpeakerR = 1ull << 1;
constexpr Speaker kSpeakerC = 1ull << 2;
constexpr Speaker kSpeakerLfe = 1ull << 3;
constexpr Speaker kSpeakerLs = 1ull << 4;
constexpr Speaker kSpeakerRs = 1ull << 5;
constexpr Speaker kSpeakerLc = 1ull << 6;
constexpr Speaker kSpeakerRc = 1ull << 7;
constexpr Speaker kSpeakerS = 1ull << 8;
constexpr Speaker kSpeakerCs = kSpeakerS;
constexpr Speaker kSpeakerSl = 1ull << 9;
constexpr Speaker kSpeakerSr = 1ull << 10;
constexpr Speaker kSpeakerTc = 1ull << 11;
constexpr Speaker kSpeakerM = 1ull << 19;
constexpr Speaker kSpeakerACN0 = 1ull << 20;
constexpr Speaker kSpeakerACN1 = 1ull << 21;
constexpr Speaker kSpeakerACN2 = 1ull << 22;
constexpr Speaker kSpeakerACN3 = 1ull << 23;
constexpr Speaker kSpeakerLw = 1ull << 59;
constexpr Speaker kSpeakerRw = 1ull << 60;

namespace SpeakerArr {
constexpr SpeakerArrangement kEmpty = 0;
constexpr SpeakerArrangement kMono = kSpeakerM;
constexpr SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;
constexpr SpeakerArrangement kStereoWide = kSpeakerLw | kSpeakerRw;
constexpr SpeakerArrangement kStereoSurround = kSpeakerLs | kSpeakerRs;
constexpr SpeakerArrangement kStereoCenter = kSpeakerLc | kSpeakerRc;
constexpr SpeakerArrangement kStereoSide = kSpeakerSl | kSpeakerSr;
constexpr SpeakerArrangement kStereoCLfe = kSpeakerC | kSpeakerLfe;
constexpr SpeakerArrangement k30Cine = kSpeakerL | kSpeakerR | kSpeakerC;
constexpr SpeakerArrangement k30Music = kSpeakerL | kSpeakerR | kSpeakerS;
constexpr SpeakerArrangement k31Cine = k30Cine | kSpeakerLfe;
constexpr SpeakerArrangement k31Music = k30Music | kSpeakerLfe;
constexpr SpeakerArrangement k40Cine = k30Cine | kSpeakerS;
constexpr SpeakerArrangement k40Music = kStereo | kStereoSurround;
constexpr SpeakerArrangement k41Cine = k40Cine | kSpeakerLfe;
constexpr SpeakerArrangement k41Music = k40Music | kSpeakerLfe;
constexpr SpeakerArrangement k50 = k30Cine | kStereoSurround;
constexpr SpeakerArrangement k51 = k50 | kSpeakerLfe;
constexpr SpeakerArrangement k70Cine = k50 | kStereoCenter;
constexpr SpeakerArrangement k70Music = k50 | kStereoSide;
constexpr SpeakerArrangement k71Cine = k70Cine | kSpeakerLfe;
constexpr SpeakerArrangement k71Music = k70Music | kSpeakerLfe;
constexpr SpeakerArrangement kAmbi1stOrderACN = kSpeakerACN0 | kSpeakerACN1 | kSpeakerACN2 | kSpeakerACN3;

// Number of speakers (set bits) of an arrangement.
constexpr int32 getChannelCount(SpeakerArrangement arrangement) {
  int32 count = 0;
  for (; arrangement != 0; arrangement &= arrangement - 1)
    ++count;
  return count;
}
} // namespace SpeakerArr

} // namespace Vst
} // namespace Steinberg
