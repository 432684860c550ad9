#pragma once

#include <vector>

#include "plug/IPlugBase.h"

// A small instrument on the plug-in base that records what the base calls.
// Twelve parameters, like the real instrument's state:
//   0 "Frequency"  real 1..20000, step 0.1, shape 2
//   1 "Count"      int 0..100
//   2 "Wave"       list of four with display texts
//   3 "Volume"     real 0..100
//   4 "Attack"     real 0..8000 ms
//   5..11          real 0..1, step 0.01
class TestPlug : public IPlugBase
{
public:
  static constexpr int kNumParams = 12;
  static constexpr int kNumPrograms = 8;

  struct Edit
  {
    char what; // 'b' begin, 'p' perform, 'e' end
    int paramIdx;
    double normalized;
  };

  explicit TestPlug(const char* channels = "1-1 2-2")
    : IPlugBase(kNumParams, channels, kNumPrograms, "Thrumwell", "", "Quorvik", 0x00021E00, 0x337A626F,
                0x5176726B, 0, true, false, true, kApiVst3)
  {
    GetParam(0)->DefineReal("Frequency", 200.0, 1.0, 20000.0, 0.1, "Hz");
    GetParam(0)->SetShapeExponent(2.0);
    GetParam(1)->DefineInt("Count", 10, 0, 100);
    GetParam(2)->DefineList("Wave", 0, 4);
    GetParam(2)->AddDisplayText(0, "Sine");
    GetParam(2)->AddDisplayText(1, "Triangle");
    GetParam(2)->AddDisplayText(2, "Saw");
    GetParam(2)->AddDisplayText(3, "Square");
    GetParam(3)->DefineReal("Volume", 50.0, 0.0, 100.0, 1.0, "%");
    GetParam(4)->DefineReal("Attack", 10.0, 0.0, 8000.0, 1.0, "ms");
    for (int i = 5; i < kNumParams; ++i)
      GetParam(i)->DefineReal("Extra", 0.5, 0.0, 1.0, 0.01);
  }

  void HandleParameterChange(int paramIdx) override { changes.push_back(paramIdx); }
  void HostBeginEdit(int paramIdx) override { edits.push_back({'b', paramIdx, 0.0}); }
  void HostPerformEdit(int paramIdx, double normalized) override { edits.push_back({'p', paramIdx, normalized}); }
  void HostEndEdit(int paramIdx) override { edits.push_back({'e', paramIdx, 0.0}); }
  void RenderBlock(double** inputs, double** outputs, int nFrames) override
  {
    ++renders;
    lastFrames = nFrames;
    for (int c = 0; c < 2 && c < NInChannels() && nFrames > 0; ++c)
      firstInput[c] = inputs[c][0];
    for (int c = 0; c < NOutChannels(); ++c)
      for (int i = 0; i < nFrames; ++i)
        outputs[c][i] = inputs[c][i] + 0.25 * (c + 1);
  }

  void SetRenderReady(bool ready) { renderReady = ready; }
  std::vector<double> Values() const
  {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i)
      v.push_back(GetParam(i)->GetValue());
    return v;
  }

  std::vector<int> changes;
  std::vector<Edit> edits;
  int renders = 0;
  int lastFrames = -1;
  // Each input channel's first sample of the last rendered block.
  double firstInput[2] = {};
};

// An editor that records what the base asks of it.
class FakeEditor : public IEditor
{
public:
  struct Mirror
  {
    int paramIdx;
    double value;
    bool normalized;
  };

  explicit FakeEditor(int* destroyed = nullptr) : destroyedCount(destroyed) {}
  ~FakeEditor() override
  {
    if (destroyedCount)
      ++*destroyedCount;
  }

  void MirrorParameter(int paramIdx, double value, bool normalized) override
  {
    mirrors.push_back({paramIdx, value, normalized});
  }
  void CreateCanvas() override { ++canvases; }
  void StartEditEndTimer(int ticks) override
  {
    timerTicks = ticks;
    ++timerStarts;
  }
  void StopEditEndTimer() override { timerTicks = 0; }
  int GetFrameRate() const override { return frameRate; }

  std::vector<Mirror> mirrors;
  int canvases = 0;
  int timerTicks = 0;
  int timerStarts = 0;
  int frameRate = 24;
  int* destroyedCount;
};
