#pragma once
// The arithmetic of the tone generator, free of any plug-in frame: integer
// images of parameter values, the volume law, the tuning fold, note pitches,
// phase increments, phase resynchronisation and the four waveforms. Each
// function reproduces the instrument's numbers bit for bit, so the order of
// operations and the precision of every step are part of the contract.

#include <cstdint>

namespace tone {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kInvPi = 0.3183098861837907;
constexpr double kInvTwoPi = 0.15915494309189535;

// Levels at or below this count as silence.
constexpr double kSilence = 1e-24;

// Integer image of a parameter's real value: tenths of a hertz for
// "Frequency" and "Tuning Freq", hundredths for "Binaural", the value itself
// for everything else.
int32_t ParameterImage(int index, double value);

// Linear gain for "Volume" in percent: 0.999 at 100, about -6 dB per 9.4 %.
double VolumeGain(int32_t volume);

// Moves a "Tuning Freq" image (tenths of a hertz) by whole octaves into
// 261.63..523.25 Hz at a resolution of 0.01 Hz.
float FoldTuningReference(int32_t image);

// Equal-tempered pitch of a MIDI note about the reference of note 69.
float NoteFrequency(int note, float tuningReference);

// Phase increment in radians per sample; 0 when the rate is not usable.
double PhaseIncrement(float frequency, double sampleRate);

// Phase an oscillator would have at host position `position` had it run at
// `increment` from position 0. Keeps the sign of the position.
double ResyncPhase(double position, double increment);

// Sample rates the generator accepts; any other rate leaves it at 0, where
// the oscillators stand still instead of running at an infinite increment.
double UsableSampleRate(double rate);

}  // namespace tone
