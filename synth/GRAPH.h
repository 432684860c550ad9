#pragma once
// The instrument's readout: the brain-wave band of the beat frequency and the
// frequency of the note being played. It holds both values itself (it is the
// ToneReadout the tone generator writes to once the editor exists) and draws
// them only when a paint pass reaches it; a new value alone marks nothing.

#include "controls/IControl.h"
#include "synth/ToneReadout.h"

class GRAPH : public IControl, public ToneReadout
{
public:
  // The texts of one note line: "off" or "%.2f Hz".
  static constexpr int kNoteTextSize = 32;

  GRAPH(IPlugBase* plug, const IBounds& bounds, const ITextStyle& style);

  // The band line, "freq by note" and the note line, each in its own strip.
  bool Render(IGraphics& g) override;

  // Band of a positive beat frequency, "" from 200 Hz up; the single-precision
  // "below" tests run from the lowest band upwards.
  static const char* BandName(float beat);
  // The note frequency in Synthesizer mode ("Mode" above one half), else "off".
  void NoteText(char* out) const;

private:
  ITextStyle style;
};
