#pragma once
// IPlugVST3: the plug-in base bound to VST3. One object is the audio
// component (IComponent, IAudioProcessor), the edit controller
// (IEditController, IEditController2) and the unit information (IUnitInfo).
// Parameter values live only in the base's IParamDef table; the controller's
// parameter objects read and write that table, so component and controller
// never exchange state.
//
// Threads: the host's main thread calls initialize, the bus and setup calls,
// setActive, the state calls and the controller; the audio thread calls
// process, which holds the plug-in lock for the whole block. The state calls
// hold the lock too. The controller's value calls (getParamNormalized,
// setParamNormalized, string conversions) take no lock: each reads or writes
// one double.

#include <atomic>
#include <cstdint>
#include <vector>

#include "plug/IPlugBase.h"
#include "vst3/IdleTimer.h"
#include "vst3/sdk/IUnits.h"
#include "vst3/sdk/ProcessContext.h"
#include "vst3/sdk/SingleComponentEffect.h"

class IPlugVST3View;

// The host's transport for the current block, as GetTimeInfo reports it.
struct ITimeInfo
{
  double tempo = 0.0;
  double samplePos = 0.0;
  double ppqPos = 0.0;
  double lastBar = 0.0;
  double cycleStart = 0.0;
  double cycleEnd = 0.0;
  int numerator = 0;
  int denominator = 0;
  bool playing = false;
  bool cycleActive = false;
};

class IPlugVST3 : public IPlugBase,
                  public Steinberg::Vst::SingleComponentEffect,
                  public Steinberg::Vst::IUnitInfo
{
public:
  using tresult = Steinberg::tresult;
  using ParamID = Steinberg::Vst::ParamID;
  using ParamValue = Steinberg::Vst::ParamValue;
  using IBStream = Steinberg::IBStream;
  using TChar = Steinberg::Vst::TChar;

  static constexpr ParamID kPresetParamId = 0x70727374;  // 'prst'
  static constexpr ParamID kBypassParamId = 0x62706173;  // 'bpas'
  // Largest maximum block size setupProcessing accepts.
  static constexpr int kMaxBlockSize = 1 << 16;
  // Channels per bus the process call attaches; more are left on scratch.
  static constexpr int kMaxBusChannels = 32;

  // The arguments of IPlugBase, then the channels of an auxiliary input. The
  // api kind is always VST3 whatever is passed; it stays in the list so an
  // instrument written against IPlugBase constructs this class unchanged.
  IPlugVST3(int nParams, const char* channels, int nPrograms, const char* effectName, const char* productName,
            const char* mfrName, int version, int uniqueId, int mfrId, int latency, bool doesMidi,
            bool doesStateChunks, bool isInstrument, int apiKind = kApiVst3, int sideChainChannels = 0);
  ~IPlugVST3() override;

  // ---- FUnknown: one count for every interface --------------------------------
  Steinberg::uint32 PLUGIN_API addRef() override { return SingleComponentEffect::addRef(); }
  Steinberg::uint32 PLUGIN_API release() override { return SingleComponentEffect::release(); }
  // IUnitInfo, then the SingleComponentEffect chain.
  tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  // ---- IPluginBase (component and controller) ---------------------------------
  // Identifies the host from IHostApplication, then (when the SDK part
  // accepted the call) creates the buses, "Presets" and one IPlugParameter per
  // parameter, applying each parameter once. Host main thread.
  tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  // Forgets the open views; buses and parameters go with the SDK part.
  tresult PLUGIN_API terminate() override;

  // ---- IComponent ------------------------------------------------------------
  tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  // Component state: the base's WriteState / ReadState, under the lock.
  tresult setProcessorState(IBStream* state) override;
  tresult getProcessorState(IBStream* state) override;

  // ---- IAudioProcessor -------------------------------------------------------
  tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                        Steinberg::Vst::SpeakerArrangement* outputs,
                                        Steinberg::int32 numOuts) override;
  tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  // Refuses other sample sizes, a sample rate that is not positive and
  // finite, and block sizes outside 1..kMaxBlockSize.
  tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  // Audio thread, whole call under the plug-in lock; allocates nothing.
  tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;

  // ---- IEditController -------------------------------------------------------
  tresult setEditorState(IBStream* state) override;
  tresult getEditorState(IBStream* state) override;
  tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                           Steinberg::Vst::String128 string) override;
  ParamValue PLUGIN_API plainParamToNormalized(ParamID id, ParamValue plainValue) override;
  ParamValue PLUGIN_API getParamNormalized(ParamID id) override;
  tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) override;
  // "editor" gives a new view on this plug-in, listed among the open views.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;
  tresult PLUGIN_API setKnobMode(Steinberg::Vst::KnobMode mode) override;

  // ---- IUnitInfo -------------------------------------------------------------
  Steinberg::int32 PLUGIN_API getUnitCount() override;
  tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex, Steinberg::Vst::UnitInfo& info) override;
  Steinberg::int32 PLUGIN_API getProgramListCount() override;
  tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex, Steinberg::Vst::ProgramListInfo& info) override;
  tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                    Steinberg::Vst::String128 name) override;
  tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                    Steinberg::Vst::CString attributeId,
                                    Steinberg::Vst::String128 attributeValue) override;
  tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                          Steinberg::int32 programIndex) override;
  tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                         Steinberg::int16 midiPitch, Steinberg::Vst::String128 name) override;
  Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() override;
  tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) override;
  tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                  Steinberg::int32 busIndex, Steinberg::int32 channel,
                                  Steinberg::Vst::UnitID& unitId) override;
  tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId, Steinberg::int32 programIndex,
                                        IBStream* data) override;

  // ---- What the binding supplies to the plug-in base --------------------------
  // Edits go to the host's component handler; nothing without one. UI thread.
  void HostBeginEdit(int paramIdx) override;
  void HostPerformEdit(int paramIdx, double normalizedValue) override;
  void HostEndEdit(int paramIdx) override;
  // Stores the latency and asks the host to restart with kLatencyChanged.
  void SetLatency(int samples) override;
  bool SendMidiEvent(const IMidiEvent& event) override;
  // From the process context of the last block. Audio thread.
  int GetSamplePosition() override;
  double GetTempo() override;
  void GetTimeSignature(int* numerator, int* denominator) override;
  int GetTransportState() override;
  bool IsRenderingOffline() override;
  virtual void GetTimeInfo(ITimeInfo* info);
  // The host's context menu for a parameter, at x, y of the first open view.
  void PopupHostContextMenu(int paramIdx, int x, int y) override;
  // Asks the first open view's frame to resize it. UI thread.
  void SetEditorSize(int width, int height) override;
  // Tells the host once that every parameter value changed when a program was
  // chosen in process since the last tick (restartComponent with
  // kParamValuesChanged), unless the controller already told it of that very
  // choice. UI thread.
  void OnIdle() override;

  // ---- Open editor views (UI thread) ---------------------------------------------
  void AddView(IPlugVST3View* view);
  // Removes the first entry equal to view.
  void RemoveView(IPlugVST3View* view);
  int NViews() const { return static_cast<int>(views.size()); }
  IPlugVST3View* GetView(int index) const;

  int GetSideChainChannels() const { return sideChainChannels; }
  const Steinberg::Vst::ProcessSetup& GetProcessSetup() const { return processSetup; }
  // Program index for a normalized value and back, over the whole program list.
  int ProgramFromNormalized(double value) const;
  double NormalizedFromProgram(int program) const;

private:
  void CreateBuses();
  void ApplyParameterChanges(Steinberg::Vst::IParameterChanges* changes);
  void ApplyEvents(Steinberg::Vst::IEventList* events, int nFrames);
  void ProcessAudio(const Steinberg::Vst::ProcessData& data);
  void ProcessPiece(const Steinberg::Vst::ProcessData& data, int offset, int nFrames);
  // A program chosen through the program-change parameter: by the host on the
  // user-interface thread (setParamNormalized, which tells the host at once)
  // and by process on the audio thread. Each tells the other, so that the
  // host hears of one choice once.
  void ProgramChosenByController(int program);
  void ProgramAppliedInProcess(int program);

  Steinberg::int32 sideChainChannels;
  // What the host has still to hear of a program choice, the only value
  // crossing between the audio and the user-interface thread here, hence one
  // atomic: kNoProgramNews; a program number the controller has announced and
  // process has yet to apply (process then keeps quiet about it); or
  // kAppliedInProcess + a program process applied that the host has not heard
  // of (the user-interface thread's next tick tells it, or the controller's
  // call for the same program does).
  static constexpr std::int32_t kNoProgramNews = -1;
  static constexpr std::int32_t kAppliedInProcess = 1 << 20;
  std::atomic<std::int32_t> programNews{kNoProgramNews};
  // An announcement process never confirms (a host that calls the controller
  // but queues nothing) lapses after this many user-interface ticks, so that
  // it cannot silence a later automation of the same program; should the
  // queued change come later still, the host merely hears of it twice.
  static constexpr int kAnnouncementTicks = 40;
  int announcementAge = 0;  // user-interface thread only
  // Ticks OnIdle from initialize to terminate, editor or not.
  IdleTimer idleTimer{this};
  Steinberg::Vst::ProcessContext processContext{};
  std::vector<IPlugVST3View*> views;
};
