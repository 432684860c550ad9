#pragma once
// The Thrumwell instrument: two oscillators a beat frequency apart, one per
// output channel, played either along the host transport (Generator mode) or
// from MIDI notes (Synthesizer mode), with 125 factory programs.
//
// Threads: parameter changes and resets take the plug-in lock themselves;
// RenderBlock and HandleMidiEvent run inside the processing frame, which
// holds it. So the tone state is only ever touched under the lock. The
// readout values are the one exception: see ToneReadout.

#include <atomic>
#include <cstdint>

#include "cmake/ThrumwellVersion.h"
#include "synth/ThrumwellBase.h"
#include "synth/ToneReadout.h"
#include "synth/ToneState.h"

class GRAPH;
class IControl;

class CLS_THRUMWELL : public ThrumwellBase
{
public:
  static constexpr int kProgramSlots = 130;
  static constexpr int kVersion = THRUMWELL_VERSION_WORD;
  static constexpr int kUniqueId = 0x337A626F;        // '3zbo'
  static constexpr int kManufacturerId = 0x5176726B;  // 'Qvrk'
  static constexpr const char* kDefaultProgramName = "---- default ----";
  static constexpr int kEditorWidth = 368;
  static constexpr int kEditorHeight = 370;

  CLS_THRUMWELL();
  ~CLS_THRUMWELL() override;

  // Applies the current value of parameter paramIdx to the tone. Takes the
  // lock. A value whose integer image (tenths of a hertz for the frequencies,
  // hundredths for "Binaural", whole units otherwise) has not changed since it
  // was last applied has no effect.
  void HandleParameterChange(int paramIdx) override;
  // Re-derives the rate-dependent values when the sample rate changed since
  // the first block, forgets held notes and resynchronises the phases at the
  // next block. Takes the lock.
  void HandleReset() override;
  // Adds the tone to inputs 0 and 1 into outputs 0 and 1. Lock held by the
  // caller; no allocation, no blocking, never NaN or infinity.
  void RenderBlock(double** inputs, double** outputs, int nFrames) override;
  // Note-ons and note-offs in Synthesizer mode; everything else is ignored.
  // Lock held by the caller; takes effect at the start of the next block.
  void HandleMidiEvent(const IMidiEvent& event) override;

  // A replaced or removed editor takes the readout and the mode's controls
  // with it: the readout values go back to the instrument first.
  void AttachEditor(IEditor* newEditor) override;
  // The user-interface thread's tick: also shows the controls of a mode that
  // another thread switched to.
  void OnIdle() override;

  // Where the readout values live. Null returns them to the instrument's own
  // object; the editor's readout control takes over with its own.
  void SetToneReadout(ToneReadout* newReadout);
  const ToneReadout& GetToneReadout() const { return *readout; }
  // The tone state, for inspection (tests, benchmarks). Lock held by the caller.
  const ToneState& GetToneState() const { return tone; }

protected:
  // Milliseconds of the block clock; read once per block. Tests substitute
  // their own clock here to simulate pauses.
  virtual std::uint32_t ReadBlockClock();

private:
  void DefineParameters();
  void StoreFactoryPrograms();
  void UpdateIncrements();
  void ApplyMode(bool synthMode);
  // Builds the editor with all its controls and attaches it; the readout
  // control takes over the readout values (ThrumwellEditor.cpp).
  void BuildEditor();
  // The editor shows the controls of the active mode and hides the others:
  // at once on the editor's thread, else on its next tick (modeToShow).
  void ShowControlsForMode(bool synthMode);
  void AdvanceEnvelope(std::int32_t nFrames);
  void NoteOn(int note, int velocity);
  void NoteOff();

  ToneState tone;
  ToneReadout ownReadout;
  ToneReadout* readout = &ownReadout;
  // Controls of the editor that the mode switch and the tone reach; the
  // editor owns them.
  GRAPH* readoutControl = nullptr;
  IControl* labelControl = nullptr;
  IControl* overlayControls[2] = {nullptr, nullptr};
  // A mode switched on another thread whose controls the editor has yet to
  // show: 1 Synthesizer, 0 Generator, -1 none.
  std::atomic<int> modeToShow{-1};
};
