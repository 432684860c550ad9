// The editor's readout and a knob label drawn through the glyph cache, cold
// (the font's first use: every glyph rendered) and warm (masks cached), each
// against LICE_FillArea of the same rectangles measured in the same run.
// Goal: warm text costs under three times filling its rectangles.
#include "raster/LICE_CachedFont.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace
{
struct Label
{
  const char* text;
  LICE_Rect rect;
};

// The readout's three lines in their places, and a knob's value label.
constexpr Label kLabels[] = {
    {"THETA", {246, 125, 348, 143}},
    {"freq by note", {246, 168, 331, 186}},
    {"440.00 Hz", {246, 182, 331, 200}},
    {"20000.0", {20, 300, 90, 318}},
};
// The readout style's colour, alpha 200: the editor passes TextUseInkAlpha.
constexpr LICE_PixelWord kInk = 0xC8FFFFFF;
constexpr int kFlags = LICE_DT_CENTER | LICE_DT_NOCLIP | TextUseInkAlpha;

void FillLabels(LICE_IBitmap& canvas)
{
  for (const Label& label : kLabels)
    LICE_FillArea(&canvas, label.rect.left, label.rect.top, label.rect.right - label.rect.left,
                  label.rect.bottom - label.rect.top, kInk, 1.0f, ComposeCopy | ComposeSourceAlpha);
}

void DrawLabels(LICE_CachedFont& font, LICE_IBitmap& canvas)
{
  for (const Label& label : kLabels)
  {
    LICE_Rect rect = label.rect;
    font.RenderText(&canvas, label.text, -1, &rect, kFlags);
  }
}

// Processor time in microseconds: the machine is shared, and wall time would
// count other processes' work.
double CpuMicroseconds()
{
  return double(std::clock()) * 1e6 / CLOCKS_PER_SEC;
}

// Microseconds per fill of all four rectangles, timed here so that every
// ratio compares against a baseline from the same run.
double FillMicroseconds(LICE_IBitmap& canvas)
{
  constexpr int kRounds = 50000;
  const double start = CpuMicroseconds();
  for (int i = 0; i < kRounds; ++i)
  {
    FillLabels(canvas);
    benchmark::ClobberMemory();
  }
  return (CpuMicroseconds() - start) / kRounds;
}

template <typename Body>
void RunAgainstFill(benchmark::State& state, LICE_IBitmap& canvas, Body body)
{
  const double fill = FillMicroseconds(canvas);
  const double start = CpuMicroseconds();
  for (auto _ : state)
  {
    body();
    benchmark::ClobberMemory();
  }
  const double text = (CpuMicroseconds() - start) / double(state.iterations());
  state.counters["text_us"] = text;
  state.counters["fill_us"] = fill;
  state.counters["x_fill"] = text / fill;
}

struct Editor
{
  Editor()
  {
    handle = LICE_GlyphSource::MakeSystemFont("Arial", 15, 0, false, false, 0);
    font.AdoptSystemFont(handle, FontPreferSystem);
    font.SetInk(kInk);
  }
  ~Editor() { LICE_GlyphSource::DeleteSystemFont(handle); }

  LICE_FontHandle handle = nullptr;
  LICE_CachedFont font;
  LICE_SysBitmap canvas{368, 370};
};

void BM_FillLabelRects(benchmark::State& state)
{
  LICE_SysBitmap canvas(368, 370);
  for (auto _ : state)
  {
    FillLabels(canvas);
    benchmark::ClobberMemory();
  }
}

void BM_TextWarm(benchmark::State& state)
{
  Editor editor;
  DrawLabels(editor.font, editor.canvas);
  RunAgainstFill(state, editor.canvas, [&] { DrawLabels(editor.font, editor.canvas); });
}

void BM_TextCold(benchmark::State& state)
{
  Editor editor;
  RunAgainstFill(state, editor.canvas, [&] {
    // Adopting the font again empties its cache: every glyph is rendered anew.
    editor.font.AdoptSystemFont(editor.handle, FontPreferSystem);
    DrawLabels(editor.font, editor.canvas);
  });
}
}  // namespace

BENCHMARK(BM_FillLabelRects)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextWarm)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextCold)->Unit(benchmark::kMicrosecond);
