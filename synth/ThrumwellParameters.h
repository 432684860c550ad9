#pragma once
// The instrument's twelve parameters: their indices (the identity of a
// parameter for host, state and editor), the values of the list parameters,
// and one definition table from which the constructor defines them.

#include "plug/IParamDef.h"

enum ThrumwellParam
{
  kParamFrequency = 0,
  kParamBinaural,
  kParamTuningFreq,
  kParamWave,
  kParamBeats,
  kParamPanReverse,
  kParamAttack,
  kParamRelease,
  kParamFade,
  kParamVolume,
  kParamMode,
  kParamCenterFreq,
  kThrumwellParamCount
};

enum WaveChoice { kWaveSine = 0, kWaveTriangle, kWaveSaw, kWaveSquare };
enum BeatsChoice { kBeatsBinaural = 0, kBeatsMonaural };
enum PanReverseChoice { kPanReverseNo = 0, kPanReverseYes };
enum ModeChoice { kModeGenerator = 0, kModeSynthesizer };
enum CenterFreqChoice { kCenterFreqNo = 0, kCenterFreqYes };

struct ThrumwellParameterDef
{
  const char* name;
  IParamKind kind;
  double defaultValue;  // "Mode" takes its default from the host instead (ModeDefault)
  double minValue;
  double maxValue;
  double step;
  const char* label;
  double shape;
  const char* texts[4];  // list parameters: display texts for 0, 1, ...; null-terminated
};

extern const ThrumwellParameterDef kThrumwellParameters[kThrumwellParamCount];

// "Mode" starts in Generator for the one host that expects it, in
// Synthesizer everywhere else (including while no host is known yet).
int ModeDefault(int hostId);
