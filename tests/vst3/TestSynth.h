#pragma once
// A small instrument on the binding: three parameters (Volume 0..100 %, Wave
// list of four, Frequency 20..1000 Hz), four programs, stereo in and out and
// MIDI, like the real instrument. It records what the binding hands it and
// renders input + 0.25 on both channels.

#include <vector>

#include "vst3/IPlugVST3.h"

class TestSynth : public IPlugVST3
{
public:
  static constexpr int kPrograms = 4;

  TestSynth()
    : IPlugVST3(3, "1-1 2-2", kPrograms, "TestSynth", "", "Quorvik", 0x00021E00, 0x337A626F, 0x5176726B, 0, true,
                false, true)
  {
    GetParam(0)->DefineReal("Volume", 50.0, 0.0, 100.0, 1.0, "%");
    GetParam(1)->DefineList("Wave", 0, 4);
    const char* waves[] = {"Sine", "Triangle", "Saw", "Square"};
    for (int i = 0; i < 4; ++i)
      GetParam(1)->AddDisplayText(i, waves[i]);
    GetParam(2)->DefineReal("Frequency", 440.0, 20.0, 1000.0, 0.1, "Hz");
    NameDefaultPrograms("Default", 1);
    const double loud[] = {100.0, 3.0, 880.0};
    const double quiet[] = {10.0, 1.0, 220.0};
    StoreProgram("Loud", loud, 3);
    StoreProgram("Quiet", quiet, 3);
    renderReady = true;
    rendered.reserve(64);
    midi.reserve(64);
  }

  void HandleParameterChange(int paramIdx) override { changes.push_back(paramIdx); }
  void HandleMidiEvent(const IMidiEvent& event) override { midi.push_back(event); }
  void HandleActivate(bool active) override { activations.push_back(active); }
  void RenderBlock(double** inputs, double** outputs, int nFrames) override
  {
    rendered.push_back(nFrames);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < nFrames; ++i)
        outputs[c][i] = inputs[c][i] + 0.25;
  }

  std::vector<int> changes;
  std::vector<IMidiEvent> midi;
  std::vector<bool> activations;
  std::vector<int> rendered;
};
