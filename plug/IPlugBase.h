#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plug/IChannelPair.h"
#include "plug/IDataBlob.h"
#include "plug/IEditor.h"
#include "plug/IHostId.h"
#include "plug/IMidiEvent.h"
#include "plug/IParamDef.h"
#include "plug/IPlugLock.h"
#include "plug/IProgram.h"

// The host-independent frame of the plug-in: identity, parameter table,
// programs, channel configuration and per-channel buffers, the plug-in lock,
// the host identity, and the virtual operations through which an instrument
// receives parameter changes, MIDI events and audio blocks.
//
// Threads: the host's main thread constructs, connects, sets up processing and
// reads and writes state; the host's audio thread processes blocks; the editor
// runs on the host's user-interface thread. Everything that changes parameter
// values or the program selection does so under the plug-in lock.
class IPlugBase
{
public:
  static constexpr int kNameSize = 128;
  static constexpr int kApiVst3 = 1;

  // nParams parameters (undefined until the instrument defines them),
  // nPrograms free programs named "- %d -", the channel string parsed into
  // channel pairs and slots. uniqueId and mfrId are four-character codes;
  // version is 0xMMMMmmpp.
  IPlugBase(int nParams, const char* channels, int nPrograms, const char* effectName,
            const char* productName, const char* mfrName, int version, int uniqueId, int mfrId,
            int latency, bool doesMidi, bool doesStateChunks, bool isInstrument, int apiKind);
  // Deletes the editor, parameters, programs and channel slots.
  virtual ~IPlugBase();

  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ---- Operations an instrument or binding overrides ------------------------

  // Sample rate or block size changed, or the host reset the plug-in. Host main
  // thread, without the lock held by the caller. Default: takes and releases
  // the lock.
  virtual void HandleReset();
  // Parameter paramIdx has a new value. Called with the lock held (the
  // audio thread's process call, state restore, editor gestures), except once
  // per parameter while the host connects, before processing starts. Must not
  // allocate or block beyond the plug-in lock. Default: nothing.
  virtual void HandleParameterChange(int paramIdx);
  // Takes the lock around HandleParameterChange.
  virtual void HandleParameterChangeLocked(int paramIdx);
  // Renders nFrames samples. Audio thread, lock held. inputs and outputs hold
  // one valid pointer per channel (host buffers or scratch arrays) with room
  // for nFrames samples; every output sample must be written. Must not
  // allocate, block or produce NaN/inf. Default: copies min(inputs, outputs)
  // channels and zero-fills the remaining outputs.
  virtual void RenderBlock(double** inputs, double** outputs, int nFrames);
  // The editor window has opened / is about to close. UI thread. Default: nothing.
  virtual void EditorOpened();
  virtual void EditorClosing();
  // Host activation. Host main thread, without the lock. Default: takes and
  // releases the lock.
  virtual void HandleActivate(bool active);
  // One MIDI message of the current block, before the block renders. Audio
  // thread, lock held; same limits as RenderBlock. Default: nothing.
  virtual void HandleMidiEvent(const IMidiEvent& event);
  // Entry points of the host's state calls; default WriteParameters /
  // ReadParameters.
  virtual bool WriteState(IDataBlob& blob);
  virtual int ReadState(const IDataBlob& blob, int position);
  // Whether a state read may set parameter paramIdx while program programIdx
  // is current. Default: takes and releases the lock, true.
  virtual bool AcceptParameterRestore(int paramIdx, int programIdx);
  // The host resized the editor view at the plug-in's request. UI thread.
  // Default: nothing.
  virtual void EditorResized(int left, int top, int right, int bottom);
  virtual int GetApiKind() const;

  // Host-facing hooks: the binding implements them. The defaults let the
  // frame run without a host: edits go nowhere, the transport stands at
  // sample 0 and is stopped, 120 beats per minute in 4/4.
  // A user gesture on parameter paramIdx begins / changes it / ends. UI thread,
  // lock held for HostPerformEdit.
  virtual void HostBeginEdit(int paramIdx);
  virtual void HostPerformEdit(int paramIdx, double normalizedValue);
  virtual void HostEndEdit(int paramIdx);
  virtual void HandleHostIdentified();
  virtual void PopupHostContextMenu(int paramIdx, int x, int y);
  // Host transport position of the current block in samples. Audio thread.
  virtual int GetSamplePosition();
  virtual double GetTempo();
  virtual void GetTimeSignature(int* numerator, int* denominator);
  virtual IHostId GetHostId() const;
  // Asks the host to resize the editor view. UI thread.
  virtual void SetEditorSize(int width, int height);
  // A tick of a user-interface-thread timer (the editor's, or the binding's
  // own while no editor is open): the binding tells the host here what the
  // audio thread changed. Never on the audio thread; default: nothing.
  virtual void OnIdle() {}
  // Takes ownership of the editor. Under the lock: every parameter's
  // normalized value is mirrored to it, its canvas is created, and it replaces
  // (and deletes) any previous editor, whose pending end of edit is sent at
  // once. Null detaches and deletes the editor.
  virtual void AttachEditor(IEditor* newEditor);
  // Resizes every scratch array to nFrames zeros; nothing when unchanged.
  // Host main thread, never while a block is processed.
  virtual void SetBlockSize(int nFrames);
  virtual void SetLatency(int samples);
  // Sends a MIDI message to the host. Default: false (not sent).
  virtual bool SendMidiEvent(const IMidiEvent& event);
  // SendMidiEvent for each; true only when every one was sent.
  virtual bool SendMidiEvents(const IMidiEvent* events, int count);
  // Appends every parameter's real value in index order (8 bytes each,
  // little-endian). Takes the lock. True when every append succeeded.
  virtual bool WriteParameters(IDataBlob& blob);
  // Reads parameter values from position on, in index order, clamped to each
  // parameter's range (NaN becomes min), calling HandleParameterChange for each
  // one set. Takes the lock. Returns the position after the last value read,
  // or -1 when the data ran out (the parameters read so far keep their new
  // values) or position was beyond the data.
  virtual int ReadParameters(const IDataBlob& blob, int position);

  // Host transport: 1 playing, 2 recording, 0 stopped. Audio thread. Default 0.
  virtual int GetTransportState();
  // Whether the host renders faster than real time. Default false.
  virtual bool IsRenderingOffline();

  // ---- Editor-facing operations ---------------------------------------------

  // A user gesture set parameter paramIdx (which must be a valid index; others
  // are ignored). Under the lock: sets the value from normalizedValue (held to
  // 0..1, NaN as 0), reports that normalized value with HostPerformEdit, then
  // HandleParameterChange. UI thread.
  void SetParameterFromEditor(int paramIdx, double normalizedValue);
  // Ends a wheel gesture half a second later: with an editor, remembers
  // paramIdx and (re)starts the editor's countdown of max(1, frame rate / 2)
  // ticks. A different parameter still pending gets its HostEndEdit at once.
  // Without an editor, HostEndEdit now.
  void DeferHostEndEdit(int paramIdx);
  // The countdown expired: stops it and sends the pending HostEndEdit, if any.
  void FlushHostEndEdit();
  // Pushes every parameter's real value to the editor, if there is one.
  void RedrawEditorParameters();
  IEditor* GetEditor() const { return editor.get(); }
  int GetPendingEndEdit() const { return pendingEndEdit; }

  // ---- Programs -------------------------------------------------------------

  // Makes program index current. A used program's state is read into the
  // parameters (false and no editor refresh when it is empty or short); a
  // free program becomes used under the next user preset name and leaves the
  // parameters alone. False for an index out of range.
  bool SelectProgram(int index);
  // Sets every parameter to the value program index stores, held to its range
  // as ReadParameters holds it, but calls no handler and leaves the current
  // program alone: what a controller shows at once while the processor takes
  // the program with SelectProgram in a later block. No lock beyond what
  // AcceptParameterRestore takes (each value is one relaxed atomic). Returns
  // how many values were set: 0 for a program without stored values or an
  // index out of range.
  int ShowProgramValues(int index);
  // Names the first count free programs (name, or "Default" when null).
  void NameDefaultPrograms(const char* name, int count);
  // Takes the first free program, names it and stores values (one per
  // parameter, in index order) as its state; integer and list parameters'
  // values are rounded to whole numbers. False, and no program taken, when
  // none is free or count differs from the number of parameters.
  bool StoreProgram(const char* name, const double* values, int count);
  // "user preset N", N one more than the number of programs whose name
  // contains "user preset". out holds IProgram::kNameSize bytes.
  void NextUserProgramName(char* out) const;
  // The program's name; "" for an index out of range.
  const char* GetProgramName(int index) const;
  int NPrograms() const { return static_cast<int>(programs.size()); }
  int GetCurrentProgram() const { return currentProgram; }
  const IProgram* GetProgram(int index) const;

  // ---- Parameters -----------------------------------------------------------

  // The parameter at index; null when out of range.
  IParamDef* GetParam(int index);
  const IParamDef* GetParam(int index) const;
  int NParams() const { return static_cast<int>(params.size()); }

  // ---- Host identity ----------------------------------------------------------

  // Records the host's name and version: hostId = IdentifyHost(name).
  void SetHost(const char* name, int version);
  int GetHostVersion() const { return hostVersion; }

  // ---- Channels and processing (driven by the binding's process call) ---------

  // Whether some channel pair matches; a negative count matches any.
  bool LegalIO(int nInputs, int nOutputs) const;
  int NInChannels() const { return static_cast<int>(inputSlots.size()); }
  int NOutChannels() const { return static_cast<int>(outputSlots.size()); }
  const std::vector<IChannelPair>& GetChannelPairs() const { return channelPairs; }
  bool IsInChannelConnected(int channel) const;
  bool IsOutChannelConnected(int channel) const;

  // Each acts on channels [start, start + count) clipped to the channel count.
  // An unconnected channel reads and writes its own scratch array (an
  // unconnected input reads silence).
  void SetInputConnections(int start, int count, bool connected);
  void SetOutputConnections(int start, int count, bool connected);
  // Connected channels take the next host array; a null array leaves the
  // channel on its scratch array for this block.
  void AttachInputBuffers(int start, int count, double** hostInputs);
  void AttachOutputBuffers(int start, int count, double** hostOutputs);
  // 32-bit hosts: inputs are converted into the scratch arrays (at most
  // blockSize samples); outputs render into the scratch arrays and are
  // converted back to the remembered host arrays after the block.
  void AttachInputBuffers(int start, int count, float** hostInputs, int nFrames);
  void AttachOutputBuffers(int start, int count, float** hostOutputs);
  // RenderBlock when renderReady is set, silence otherwise; the 32-bit form
  // then converts every connected output to the host's arrays. Frames beyond
  // blockSize on a channel that uses its scratch array are not rendered: the
  // host arrays get silence there. Host arrays are forgotten after each block,
  // so the binding attaches them again for the next one. Audio thread, lock
  // held.
  void ProcessBuffers64(int nFrames);
  void ProcessBuffers32(int nFrames);
  // Bypass: the default RenderBlock (copy and zero-fill) whatever renderReady.
  void PassThroughBuffers64(int nFrames);
  void PassThroughBuffers32(int nFrames);

  // ---- Identity and settings ----------------------------------------------------

  const char* GetEffectName() const { return effectName; }
  const char* GetProductName() const { return productName; }
  const char* GetMfrName() const { return manufacturerName; }
  int GetUniqueId() const { return uniqueId; }
  int GetMfrId() const { return manufacturerId; }
  int GetVersion() const { return version; }
  // "v%d.%02d" with the major and minor number; out holds at least 32 bytes.
  static void GetVersionText(int version, char* out);
  int GetLatency() const { return latency; }
  bool IsInstrument() const { return isInstrument; }
  bool DoesMidi() const { return doesMidi != 0; }
  bool DoesStateChunks() const { return doesStateChunks; }
  double GetSampleRate() const { return sampleRate; }
  void SetSampleRate(double hz) { sampleRate = hz; }
  int GetBlockSize() const { return blockSize; }
  bool IsRenderReady() const { return renderReady; }
  bool IsBypassed() const { return bypassed; }
  void SetBypassed(bool bypass) { bypassed = bypass; }
  const std::vector<std::string>& GetInputBusNames() const { return inputBusNames; }
  const std::vector<std::string>& GetOutputBusNames() const { return outputBusNames; }

  // The plug-in lock (re-entrant).
  IPlugLock& GetLock() { return lock; }

protected:
  std::vector<IChannelPair> channelPairs;
  std::vector<IParamDef> params;
  std::vector<IProgram> programs;
  // Read by the host's threads without the lock.
  RelaxedAtomic<std::int32_t> currentProgram = 0;
  // Parameter whose end-of-gesture report is deferred, or -1. Lock held.
  std::int32_t pendingEndEdit = -1;
  IPlugLock lock;
  // RenderBlock runs only while set; the instrument sets it under the lock.
  bool renderReady = false;
  bool isInstrument = false;
  RelaxedAtomic<bool> bypassed = false;
  double sampleRate = 44100.0;
  std::int32_t latency = 0;
  char effectName[kNameSize] = {};
  char productName[kNameSize] = {};
  char manufacturerName[kNameSize] = {};
  std::int32_t uniqueId = 0;
  std::int32_t manufacturerId = 0;
  std::int32_t version = 0;
  IHostId hostId = kHostUnidentified;
  std::int32_t apiKind = 0;
  std::int32_t hostVersion = 0;
  bool doesStateChunks = false;
  std::int32_t doesMidi = 0;
  std::int32_t blockSize = 0;
  std::unique_ptr<IEditor> editor;
  std::vector<double*> inputPointers;
  std::vector<double*> outputPointers;
  std::vector<IChannelSlot> inputSlots;
  std::vector<IChannelSlot> outputSlots;
  std::vector<std::string> inputBusNames;
  std::vector<std::string> outputBusNames;

private:
  // Frames that may be rendered: nFrames, limited to blockSize when some
  // channel renders into its scratch array.
  int RenderableFrames(int nFrames) const;
  // One block: render (or pass through, or silence while not ready) the
  // renderable frames, silence the rest, convert outputs for 32-bit hosts,
  // then let go of the host's arrays.
  void RunBlock(int nFrames, bool passThrough, bool floatHost);
  void DefaultRender(double** inputs, double** outputs, int nFrames);
};
