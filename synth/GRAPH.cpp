#include "synth/GRAPH.h"

#include <cstdio>

#include "graphics/IGraphics.h"
#include "plug/IPlugBase.h"
#include "synth/ThrumwellParameters.h"

namespace
{
const IBounds kBandStrip(246, 125, 348, 143);
const IBounds kCaptionStrip(246, 168, 331, 186);
const IBounds kNoteStrip(246, 182, 331, 200);

struct Band
{
  float below;
  const char* name;
};

constexpr Band kBands[] = {
  {0.5f, "EPSILON"}, {4.0f, "DELTA"}, {8.0f, "THETA"}, {14.0f, "ALPHA"},
  {30.0f, "BETA"},   {60.0f, "GAMMA"}, {200.0f, "LAMBDA"},
};
}  // namespace

GRAPH::GRAPH(IPlugBase* plugIn, const IBounds& b, const ITextStyle& s) : IControl(plugIn, b), style(s) {}

const char* GRAPH::BandName(float beat)
{
  for (const Band& band : kBands)
    if (beat < band.below)
      return band.name;
  return "";
}

void GRAPH::NoteText(char* out) const
{
  const IParamDef* mode = plug ? plug->GetParam(kParamMode) : nullptr;
  if (mode && mode->GetNormalized() > 0.5)
    std::snprintf(out, kNoteTextSize, "%.2f Hz", static_cast<double>(noteFrequency.load(std::memory_order_relaxed)));
  else
    std::snprintf(out, kNoteTextSize, "off");
}

bool GRAPH::Render(IGraphics& g)
{
  const float beat = beatReadout.load(std::memory_order_relaxed);
  if (beat > 0.0f)
    g.PaintText(style, BandName(beat), kBandStrip);
  g.PaintText(style, "freq by note", kCaptionStrip);
  char note[kNoteTextSize];
  NoteText(note);
  g.PaintText(style, note, kNoteStrip);
  return true;
}
