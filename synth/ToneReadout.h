#pragma once
// The two values the editor's readout shows and the tone generator shares
// with it. The object outlives every block: the instrument owns one until the
// editor's readout control (which derives from this) takes its place.
//
// The audio thread writes both under the plug-in lock; the editor thread reads
// them without it. They are relaxed atomics, so a reader sees either the old
// or the new value, and a stale value only lasts one redraw.

#include <atomic>

struct ToneReadout {
  std::atomic<float> noteFrequency{0.0f};  // pitch of the most recent note-on, 0 when silent
  std::atomic<float> beatReadout{0.0f};    // copy of the beat frequency for display
};
