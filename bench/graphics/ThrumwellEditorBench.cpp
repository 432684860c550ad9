// Repainting the instrument's own editor, as its constructor builds it, each
// against memcpy of the canvas bytes timed in the same run:
// - a full repaint, every visible control rendered (goal: within 30x memcpy);
// - the timer tick after the host moves the "Binaural" knob (goal: within 5x).
// "allocs" counts heap allocations per repaint after the first full repaint
// has filled the image and glyph caches; it must be 0.

#include <cstddef>

#include "bench/AgainstMemcpy.h"
#include "controls/IControl.h"
#include "graphics/IGraphicsPlatform.h"
#include "synth/CLS_THRUMWELL.h"
#include "synth/ThrumwellParameters.h"

namespace
{
constexpr std::size_t kCanvasBytes = std::size_t(CLS_THRUMWELL::kEditorWidth) * CLS_THRUMWELL::kEditorHeight * 4;

struct Instrument
{
  CLS_THRUMWELL synth;
  IGraphicsPlatform& editor = *static_cast<IGraphicsPlatform*>(synth.GetEditor());
  IControl* binauralKnob = nullptr;

  Instrument()
  {
    // Connected as a host connects it: every parameter applied once, so
    // "Mode" shows the Synthesizer controls.
    for (int i = 0; i < synth.NParams(); ++i)
      synth.HandleParameterChange(i);
    for (int i = 1; i < editor.NControls(); ++i)
      if (editor.GetControl(i)->ParamIdx() == kParamBinaural)
        binauralKnob = editor.GetControl(i);
    FullRepaint();
    FullRepaint();
  }

  void FullRepaint()
  {
    editor.RefreshAll();
    IBounds region;
    editor.CollectChanges(region);
    editor.PaintPass(region);
  }
};

void BM_ThrumwellFullRepaint(benchmark::State& state)
{
  Instrument instrument;
  AgainstMemcpy(state, kCanvasBytes, [&] { instrument.FullRepaint(); });
}

// The host moves "Binaural" before every timer tick; the tick repaints the
// knob (its second pass alternates with the next change).
void BM_ThrumwellKnobRepaint(benchmark::State& state)
{
  Instrument instrument;
  double v = 0.25;
  AgainstMemcpy(state, kCanvasBytes, [&] {
    v = v > 0.5 ? 0.25 : 0.75;
    instrument.binauralKnob->ValueFromHost(v);
    instrument.editor.Tick();
  });
}
}  // namespace

BENCHMARK(BM_ThrumwellFullRepaint);
BENCHMARK(BM_ThrumwellKnobRepaint);
