// Repainting an editor of the instrument's size and make-up (its images, six
// picture knobs, buttons, switches, a slider and texts), each against memcpy
// of the canvas bytes timed in the same run:
// - a full repaint, every control rendered (goal: within 30x memcpy);
// - the repaint after one knob's value changes (goal: within 5x memcpy).
// "allocs" counts heap allocations per repaint once the first full repaint
// has filled the image and glyph caches; it must be 0.
// Each runs at content scales 100, 150, 200 and 300 % (the argument), against
// memcpy of the scaled canvas: goal, each ratio within 1.5x of the ratio at
// 100 % (scaling must not make the editor slower than the pixels it writes).

#include <cstddef>
#include <cstring>
#include <vector>

#include "bench/AgainstMemcpy.h"
#include "controls/IBitmapControl.h"
#include "controls/IButton.h"
#include "controls/IKnobArcImg.h"
#include "controls/ISlider.h"
#include "controls/ISwitchControl.h"
#include "controls/ISwitchLbl.h"
#include "controls/ITextControl.h"
#include "plug/RoundToInt.h"
#include "tests/graphics/GuiTestSupport.h"

namespace
{
using namespace guitest;

constexpr int kWidth = 368;
constexpr int kHeight = 370;
size_t CanvasBytes(const benchmark::State& state)
{
  const double f = state.range(0) / 100.0;
  return size_t(RoundToInt(kWidth * f)) * size_t(RoundToInt(kHeight * f)) * 4;
}

// The instrument's editor as far as painting goes: the same images at the
// same places, in the same order.
struct Editor
{
  FakePlug plugIn;
  IGraphicsPlatform* editor = MakePlatformGraphics(&plugIn, kWidth, kHeight, 0, nullptr);
  IKnobArcImg* knob = nullptr;

  explicit Editor(const benchmark::State& state)
  {
    plugIn.AttachEditor(editor);
    editor->SetScale(state.range(0) / 100.0f);
    IGraphicsPlatform& g = *editor;
    IPlugBase* plug = &plugIn;
    const ITextStyle value("Arial", 15, IArgb(200, 255, 255, 255));
    const ITextStyle version("Verdana", 13, IArgb(100, 255, 255, 255));
    const ITextStyle none("Arial", 0, IArgb(0, 0, 0, 0));
    g.AddBackdrop(100, "img/bg.png");
    auto* readout = new ITextControl(plug, {246, 125, 348, 197}, value, "THETA");
    g.AddControl(readout);
    g.AddControl(new ITextControl(plug, {30, 42, 80, 60}, version, "v2.3"));
    IImage large = g.FetchImage(101, "img/knob.png");
    g.SplitImage(large, 0.5f);
    IImage small = g.FetchImage(102, "img/knob2.png");
    g.SplitImage(small, 0.5f);
    auto addKnob = [&](int param, int cx, int cy, const IImage& face, const IArgb& colour, bool big) {
      auto* k = new IKnobArcImg(plug, param, cx, cy, value, colour, big ? 33.0f : 25.0f, big ? 6.3f : 5.0f, -4, 4, 2,
                                300, 4.0, 0, 0.2f, face);
      g.AddControl(k);
      return k;
    };
    addKnob(kReal, 77, 133, large, IArgb(255, 100, 200, 255), true)->SetHidden(true);
    knob = addKnob(kReal, 77, 133, large, IArgb(255, 100, 200, 255), true);
    g.AddControl(new IBitmapControl(plug, 20, 178, -1, g.FetchImage(107, "img/label.png")));
    g.GetControl(g.NControls() - 1)->SetHidden(true);
    addKnob(kVolume, 181, 133, large, IArgb(255, 100, 250, 255), true);
    g.AddControl(new IButton(plug, kToggle, 42, 206, g.FetchImage(104, "img/btn.png"), 0.0f));
    g.AddControl(new IButton(plug, kToggle, 30, 234, g.FetchImage(105, "img/btn2.png"), 0.0f));
    g.AddControl(new ISlider(plug, kVolume, {134, 218, 224, 251}, g.FetchImage(109, "img/slider.png"), value,
                             IArgb(255, 120, 120, 120), 83, 6, 1, 1, false, 0.1f));
    g.AddControl(new IButton(plug, kToggle, 246, 232, g.FetchImage(106, "img/btn3.png"), 0.0f));
    g.AddControl(new ISwitchControl(plug, 49, 285, kWave, g.FetchImage(103, "img/wave.png", 4), IBlend(), false));
    for (int cx : {145, 225, 305}) addKnob(kVolume, cx, 299, small, IArgb(255, 200, 200, 200), false);
    g.AddControl(new ISwitchLbl(plug, kToggle, 264, 201, g.FetchImage(110, "img/center.png", 2), none, false, 78,
                                0.2f));
    for (int x : {104, 184})
    {
      g.AddControl(new IBitmapControl(plug, x, 261, -1, g.FetchImage(108, "img/disable.png")));
      g.GetControl(g.NControls() - 1)->SetHidden(true);
    }
    g.EnableHover(true);
    for (int i = 0; i < kNumParams; ++i) g.MirrorParameter(i, plug->GetParam(i)->GetNormalized(), true);
    // The first full repaint loads every glyph the labels show.
    FullRepaint();
    FullRepaint();
  }

  void FullRepaint()
  {
    editor->RefreshAll();
    IBounds region;
    editor->CollectChanges(region);
    editor->PaintPass(region);
  }
};

void BM_Memcpy(benchmark::State& state)
{
  const size_t bytes = CanvasBytes(state);
  std::vector<unsigned char> from(bytes, 1), to(bytes, 2);
  AgainstMemcpy(state, bytes, [&] {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
  });
}

void BM_FullRepaint(benchmark::State& state)
{
  Editor editor(state);
  AgainstMemcpy(state, CanvasBytes(state), [&] { editor.FullRepaint(); });
}

// One timer tick after a host change of one knob: its two passes alternate
// with the next change, as a value automated at every tick would.
void BM_KnobRepaint(benchmark::State& state)
{
  Editor editor(state);
  double v = 0.25;
  AgainstMemcpy(state, CanvasBytes(state), [&] {
    v = v > 0.5 ? 0.25 : 0.75;
    editor.knob->ValueFromHost(v);
    editor.editor->Tick();
  });
}
}  // namespace

BENCHMARK(BM_Memcpy)->Arg(100);
BENCHMARK(BM_FullRepaint)->Arg(100)->Arg(150)->Arg(200)->Arg(300);
BENCHMARK(BM_KnobRepaint)->Arg(100)->Arg(150)->Arg(200)->Arg(300);
