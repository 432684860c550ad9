#pragma once
// HostPlugin: one instance of a plug-in class, driven the way a conforming
// host drives it, and strict about it: every call whose result a host relies
// on is checked, and anything the plug-in does wrong is recorded as a
// violation (one line of text) that tests assert on.
//
// What counts as a violation:
// - a result other than the one the interfaces prescribe (kResultOk for
//   initialize, terminate, setupProcessing of a supported setup, setActive,
//   process, activateBus of an existing bus, getState);
// - an active output channel holding anything but finite samples within
//   +-4 that are not subnormal after process (every output is filled with NaN
//   before the call, so a channel the plug-in left unwritten shows up as
//   well), or the arrays of an inactive output bus changed;
// - host objects (context, handler, streams, parameter changes, events) still
//   referenced after the call that lent them ends, or released once too often;
// - a plug-in object still referenced after the host released its last
//   reference;
// - inconsistent bus answers (BusInfo channel count against the bus
//   arrangement).
//
// The controller is the component itself when the component answers
// IEditController (a single-object plug-in); otherwise it is an instance of
// the class getControllerClassId names, initialized with the same context,
// connected to the component through a pair of host proxies, and given the
// component's state through setComponentState, as hosts do. Component state
// the host restores goes to that controller the same way.
//
// Order of a life: Create (createInstance with IComponent, initialize with our
// context, the controller — the component's own, or a separate one created,
// initialized and connected — the processor and unit interfaces,
// setComponentHandler, the controller's first state) → ActivateDefaultBuses →
// SetupProcessing → SetActive(true) → SetProcessing(true) → Process... → Destroy (setProcessing(false),
// setActive(false), disconnect, setComponentHandler(null), terminate of the
// controller then of the component, release).
//
// Not thread-safe; Process may be called from another thread than the rest
// while nothing else runs on the object, as an audio thread would.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "host/HostApplication.h"
#include "host/HostComponentHandler.h"
#include "host/HostConnectionProxy.h"
#include "host/HostModule.h"
#include "vst3/sdk/IAudioProcessor.h"
#include "vst3/sdk/IComponent.h"
#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/IUnits.h"
#include "vst3/sdk/ProcessContext.h"

namespace ThrumwellHost
{

class HostPlugin
{
public:
  explicit HostPlugin(HostModule& module);
  // The same, naming this host to the plug-in (IHostApplication::getName).
  HostPlugin(HostModule& module, std::u16string hostName);
  // A host without a module, for Adopt.
  HostPlugin();
  ~HostPlugin();
  HostPlugin(const HostPlugin&) = delete;
  HostPlugin& operator=(const HostPlugin&) = delete;

  // Creates an instance of the class (default: the first "Audio Module
  // Class") and connects it. withHandler false leaves the component handler
  // unset, as the SDK's validator does.
  bool Create(int classIndex = -1, bool withHandler = true);
  // The same for an object made in this process (benchmarks, fuzzing): takes
  // over the caller's reference and connects it as Create does.
  bool Adopt(Steinberg::FUnknown* instance, bool withHandler = true);
  // Tears down from whatever state the instance is in, then checks that every
  // reference is back.
  void Destroy();
  bool IsCreated() const { return component != nullptr; }

  Steinberg::Vst::IComponent* Component() const { return component; }
  Steinberg::Vst::IEditController* Controller() const { return controller; }
  Steinberg::Vst::IAudioProcessor* Processor() const { return processor; }
  Steinberg::Vst::IUnitInfo* Units() const { return units; }
  // Whether the controller is an object of its own.
  bool HasSeparateController() const { return separateController; }
  // The proxies between component and separate controller, by the side
  // whose messages they carry.
  const HostConnectionProxy& ComponentProxy() const { return componentProxy; }
  const HostConnectionProxy& ControllerProxy() const { return controllerProxy; }
  HostApplication& Application() { return application; }
  HostComponentHandler& Handler() { return handler; }

  // ---- Calls with their results checked ----------------------------------------
  // initialize and terminate of the component; a separate controller stays,
  // and its connection is taken down with terminate and made again after
  // initialize.
  bool Initialize();
  bool Terminate();
  bool ActivateBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir, int index, bool state);
  // Activates every bus flagged kDefaultActive, as hosts do after creation.
  bool ActivateDefaultBuses();
  // true when the plug-in adopted the arrangements; a refusal is no
  // violation, but the bus answers must agree with what it kept.
  bool SetBusArrangements(std::vector<Steinberg::Vst::SpeakerArrangement> inputs,
                          std::vector<Steinberg::Vst::SpeakerArrangement> outputs);
  // setupProcessing; the buffers are sized for maxBlock. expectOk false: a
  // refusal is what the caller wants to see, so only acceptance is returned.
  bool SetupProcessing(double sampleRate, int maxBlock, int sampleSize = Steinberg::Vst::kSample32,
                       int processMode = Steinberg::Vst::kRealtime, bool expectOk = true);
  bool SetActive(bool state);
  // kNotImplemented is an accepted answer.
  bool SetProcessing(bool state);

  // One block through the host's own buffers (numSamples 0: a flush with no
  // buffers at all). Checks the result and the outputs.
  bool Process(int numSamples, Steinberg::Vst::IParameterChanges* changes = nullptr,
               Steinberg::Vst::IEventList* events = nullptr, Steinberg::Vst::ProcessContext* context = nullptr);
  // The ProcessData Process would pass, for callers that vary it or time the
  // bare call. Valid until the next setup or arrangement change.
  Steinberg::Vst::ProcessData& PrepareData(int numSamples, Steinberg::Vst::IParameterChanges* changes = nullptr,
                                           Steinberg::Vst::IEventList* events = nullptr,
                                           Steinberg::Vst::ProcessContext* context = nullptr);
  // Processes the ProcessData of PrepareData, as the caller varied it, with
  // the checks of Process (on at most as many samples as the buffers hold).
  bool ProcessPrepared();

  // Called with true right before the plug-in's process and with false right
  // after it, on the processing thread (e.g. to count its allocations); null:
  // none.
  using ProcessHook = void (*)(bool entering);
  void SetProcessHook(ProcessHook hook) { processHook = hook; }

  int NBuses(Steinberg::Vst::BusDirection dir) const;
  int NChannels(Steinberg::Vst::BusDirection dir, int bus) const;
  float* Channel32(Steinberg::Vst::BusDirection dir, int bus, int channel);
  double* Channel64(Steinberg::Vst::BusDirection dir, int bus, int channel);
  bool IsBusActive(Steinberg::Vst::BusDirection dir, int bus) const;
  int SampleSize() const { return setup.symbolicSampleSize; }
  int MaxBlock() const { return setup.maxSamplesPerBlock; }

  // ---- Component state ------------------------------------------------------------
  bool GetState(std::vector<std::uint8_t>& bytes);
  // setState from a memory stream of bytes; the plug-in's result. A separate
  // controller then reads the same bytes through setComponentState.
  Steinberg::tresult SetState(const std::vector<std::uint8_t>& bytes, bool failPastEnd = false);

  // ---- Violations -----------------------------------------------------------------
  // The record may be written from the audio thread and the user-interface
  // thread at once (a check that drives both).
  std::vector<std::string> Violations() const;
  void ClearViolations();
  // Prints each violation as "TOOL: plug-in error: ..." on standard error;
  // true when there is none.
  bool ReportViolations(const char* tool) const;
  void Violation(const std::string& what);
  // Records a violation when result is not expected.
  bool Expect(Steinberg::tresult result, Steinberg::tresult expected, const std::string& call);

private:
  struct Bus
  {
    int channels = 0;
    bool active = false;
    std::vector<std::vector<float>> samples32;
    std::vector<std::vector<double>> samples64;
    std::vector<float*> pointers32;
    std::vector<double*> pointers64;
  };

  template <class Interface>
  Interface* Query(Steinberg::FUnknown* object);
  bool Connect(bool withHandler);
  // The separate controller of the component: created, initialized and
  // connected; false (with a violation) when there is none.
  bool CreateController();
  void ConnectPeers();
  void DisconnectPeers();
  // Hands the component's state to a separate controller, which may answer
  // kNotImplemented.
  void SyncController(Steinberg::IBStream& state);
  void ReleaseAll();
  // fresh: the plug-in has just been initialized.
  void ReadBuses(bool fresh);
  void SizeBuffers();
  void FillOutputs(int numSamples);
  void CheckOutputs(int numSamples);
  void CheckBusAnswers();
  void CheckHostObjects(const char* after);

  HostModule* module = nullptr;
  HostApplication application;
  HostComponentHandler handler;
  Steinberg::Vst::IComponent* component = nullptr;
  Steinberg::Vst::IEditController* controller = nullptr;
  Steinberg::Vst::IAudioProcessor* processor = nullptr;
  Steinberg::Vst::IUnitInfo* units = nullptr;
  bool separateController = false;
  bool controllerInitialized = false;
  Steinberg::Vst::IConnectionPoint* componentPoint = nullptr;
  Steinberg::Vst::IConnectionPoint* controllerPoint = nullptr;
  HostConnectionProxy componentProxy;   // carries the component's messages
  HostConnectionProxy controllerProxy;  // carries the controller's messages
  bool handlerSet = false;
  bool initialized = false;
  bool active = false;
  bool processing = false;

  Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, Steinberg::Vst::kSample32, 0, 44100.0};
  std::vector<Bus> buses[2];  // by direction
  std::vector<Steinberg::Vst::AudioBusBuffers> busBuffers[2];
  Steinberg::Vst::ProcessData data{};
  int capacity = 0;  // frames per buffer, at least the announced block size
  ProcessHook processHook = nullptr;
  mutable std::mutex violationLock;
  std::vector<std::string> violations;
};

}  // namespace ThrumwellHost
