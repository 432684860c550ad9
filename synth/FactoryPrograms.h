#pragma once
// The 125 factory programs, stored after the default program in slots 1..125.

#include "synth/ThrumwellParameters.h"

struct FactoryProgram
{
  const char* name;
  double frequency;   // "Frequency", Hz (0 in the Synthesizer programs: clamped to 1 on selection)
  double binaural;    // "Binaural", Hz
  double tuningFreq;  // "Tuning Freq", Hz
  int wave;
  int beats;
  int panReverse;
  int mode;
};

// Values every factory program shares.
constexpr int kFactoryAttack = 800;
constexpr int kFactoryRelease = 500;
constexpr int kFactoryFade = 1000;
constexpr int kFactoryVolume = 90;
constexpr int kFactoryCenterFreq = kCenterFreqYes;

constexpr int kFactoryProgramCount = 125;
extern const FactoryProgram kFactoryPrograms[kFactoryProgramCount];
