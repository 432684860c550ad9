#pragma once
// The tone generator's own state: everything CLS_THRUMWELL derives from its
// parameters, notes and the host transport. Every field is read and written
// under the plug-in lock (parameter changes, resets, notes and rendering all
// take it or run inside the processing frame that holds it).

#include <cstdint>

constexpr int kToneParameterCount = 12;

struct ToneState {
  double sampleRate;           // rate the derived values were computed for; 0 until the first block
  int32_t attackSamples;       // "Attack" in samples
  int32_t releaseSamples;      // "Release" in samples
  int32_t attackTotal;         // length of the running attack ramp; divided as unsigned
  int32_t releaseTotal;        // length of the running release ramp; divided as unsigned
  int32_t glideSamples;        // "Fade" in samples (a quarter of the time)
  int32_t waveform;            // 0 sine, 1 triangle, 2 saw, 3 square
  uint32_t lastBlockClock;     // block clock (ms) when the previous block ended
  float baseFrequency;         // "Frequency", Hz
  float beatFrequency;         // "Binaural", Hz
  float tuningReference;       // folded "Tuning Freq": the pitch of note 69
  int32_t appliedValues[kToneParameterCount];  // integer image of each parameter as last applied
  int32_t attackRemaining;
  int32_t releaseRemaining;
  int32_t heldNotes;           // note-ons not yet matched by note-offs
  double targetIncrementLeft;  // radians per sample the oscillators glide towards
  double targetIncrementRight;
  double incrementLeft;        // radians per sample in use
  double incrementRight;
  double phaseLeft;            // radians, 0 <= phase < 2 pi while running forward
  double phaseRight;
  double targetGain;           // volumeGain while sounding, 0 while the transport stops
  double volumeGain;
  double currentGain;
  double envelopeLevel;        // attack/release level; 1 in Generator mode
  double velocityGain;         // last note-on velocity / 127; 1 in Generator mode
  bool started;                // the first block has been rendered
  bool binauralBeats;
  bool synthMode;
  bool panReversed;
  bool resyncPhases;           // derive the phases from the host position at the next block
  bool centerFreq;
  bool appliedOnce[kToneParameterCount];  // render-ready bookkeeping
  int16_t parametersPending;
};
