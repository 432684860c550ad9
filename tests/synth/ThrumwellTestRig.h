#pragma once
// A host stand-in for the instrument tests: a transport, a block clock and
// buffers the test controls, and the host's connection sequence.

#include <cstdint>
#include <vector>

#include "synth/CLS_THRUMWELL.h"

class TestThrumwell : public CLS_THRUMWELL
{
public:
  int transportState = 1;
  int samplePosition = 0;
  std::uint32_t clockMs = 100000;

  int GetTransportState() override { return transportState; }
  int GetSamplePosition() override { return samplePosition; }

protected:
  std::uint32_t ReadBlockClock() override { return clockMs; }
};

struct ThrumwellRig
{
  TestThrumwell synth;
  double rate;
  std::vector<double> in0, in1, out0, out1;

  // Connects like a host: every parameter applied once, then the rate, the
  // block size and a reset.
  explicit ThrumwellRig(double sampleRate = 44100.0, int maxBlock = 8192)
    : rate(sampleRate), in0(maxBlock), in1(maxBlock), out0(maxBlock), out1(maxBlock)
  {
    for (int i = 0; i < synth.NParams(); ++i)
      synth.HandleParameterChange(i);
    synth.SetSampleRate(sampleRate);
    synth.SetBlockSize(maxBlock);
    synth.HandleReset();
  }

  // Sets a real value as the state reader does and applies it.
  void Set(int index, double value)
  {
    IPlugLockGuard guard(synth.GetLock());
    synth.GetParam(index)->SetValue(value);
    synth.HandleParameterChange(index);
  }

  // A host edit: through the normalized value.
  void SetNormalized(int index, double normalized)
  {
    IPlugLockGuard guard(synth.GetLock());
    synth.GetParam(index)->SetFromNormalized(normalized);
    synth.HandleParameterChange(index);
  }

  // Renders n frames of the current input; the transport advances by n and
  // the clock by a millisecond, far from the half-second pause.
  void Render(int n)
  {
    IPlugLockGuard guard(synth.GetLock());
    double* inputs[2] = {in0.data(), in1.data()};
    double* outputs[2] = {out0.data(), out1.data()};
    synth.RenderBlock(inputs, outputs, n);
    synth.samplePosition += n;
    synth.clockMs += 1;
  }

  void Midi(const IMidiEvent& event)
  {
    IPlugLockGuard guard(synth.GetLock());
    synth.HandleMidiEvent(event);
  }
  void NoteOn(int note, int velocity = 127)
  {
    IMidiEvent event;
    event.MakeNoteOnMsg(note, velocity, 0);
    Midi(event);
  }
  void NoteOff(int note)
  {
    IMidiEvent event;
    event.MakeNoteOffMsg(note, 0);
    Midi(event);
  }

  const ToneState& Tone() const { return synth.GetToneState(); }
  // Frequencies the oscillators head for and use, in hertz.
  double TargetHz(bool left) const
  {
    return (left ? Tone().targetIncrementLeft : Tone().targetIncrementRight) * rate / 6.283185307179586;
  }
  double CurrentHz(bool left) const
  {
    return (left ? Tone().incrementLeft : Tone().incrementRight) * rate / 6.283185307179586;
  }
};
