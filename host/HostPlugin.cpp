#include "host/HostPlugin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include "host/HostMemoryStream.h"

namespace ThrumwellHost
{

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Written into every output sample before process: a NaN no arithmetic
// produces, so an unwritten sample and an untouched inactive bus are both
// recognisable afterwards.
constexpr std::uint32_t kSentinel32 = 0x7FC0DEADu;
constexpr std::uint64_t kSentinel64 = 0x7FF8DEADDEADDEADull;

float Sentinel32()
{
  float value;
  std::memcpy(&value, &kSentinel32, 4);
  return value;
}

double Sentinel64()
{
  double value;
  std::memcpy(&value, &kSentinel64, 8);
  return value;
}

// No instrument output is meant to come near this; beyond it a sample is a
// fault (a runaway filter, a wrong gain) that would hurt ears and speakers.
constexpr double kLoudest = 4.0;

bool IsSentinel(float value)
{
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bits == kSentinel32;
}

bool IsSentinel(double value)
{
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  return bits == kSentinel64;
}

std::string ResultText(tresult result)
{
  switch (result)
  {
    case kResultOk: return "kResultOk";
    case kResultFalse: return "kResultFalse";
    case kNotImplemented: return "kNotImplemented";
    case kInvalidArgument: return "kInvalidArgument";
    case kNoInterface: return "kNoInterface";
    default: return std::to_string(result);
  }
}

const char* DirectionText(BusDirection dir) { return dir == kInput ? "input" : "output"; }

}  // namespace

HostPlugin::HostPlugin(HostModule& hostModule) : module(&hostModule) {}

HostPlugin::HostPlugin(HostModule& hostModule, std::u16string hostName)
  : module(&hostModule), application(std::move(hostName))
{
}

HostPlugin::HostPlugin() = default;

HostPlugin::~HostPlugin() { Destroy(); }

void HostPlugin::Violation(const std::string& what)
{
  std::lock_guard<std::mutex> guard(violationLock);
  violations.push_back(what);
}

std::vector<std::string> HostPlugin::Violations() const
{
  std::lock_guard<std::mutex> guard(violationLock);
  return violations;
}

void HostPlugin::ClearViolations()
{
  std::lock_guard<std::mutex> guard(violationLock);
  violations.clear();
}

bool HostPlugin::ReportViolations(const char* tool) const
{
  std::lock_guard<std::mutex> guard(violationLock);
  for (const std::string& violation : violations)
    std::fprintf(stderr, "%s: plug-in error: %s\n", tool, violation.c_str());
  return violations.empty();
}

bool HostPlugin::Expect(tresult result, tresult expected, const std::string& call)
{
  if (result == expected)
    return true;
  Violation(call + " returned " + ResultText(result) + ", expected " + ResultText(expected));
  return false;
}

template <class Interface>
Interface* HostPlugin::Query(FUnknown* object)
{
  void* answer = nullptr;
  if (!object || object->queryInterface(Interface::iid, &answer) != kResultOk)
    return nullptr;
  return static_cast<Interface*>(answer);
}

bool HostPlugin::Create(int classIndex, bool withHandler)
{
  Destroy();
  ClearViolations();
  IPluginFactory* factory = module ? module->Factory() : nullptr;
  if (!factory)
  {
    Violation("no module loaded");
    return false;
  }
  if (classIndex < 0)
    classIndex = module->FindClass(kVstAudioEffectClass);
  HostClassInfo info;
  if (classIndex < 0 || !module->GetClass(classIndex, info))
  {
    Violation("the factory has no \"Audio Module Class\" class");
    return false;
  }
  void* answer = nullptr;
  const tresult created = factory->createInstance(reinterpret_cast<const char8*>(info.cid.data()),
                                                  IComponent::iid.toTUIDPointer(), &answer);
  if (!Expect(created, kResultOk, "createInstance(IComponent)") || !answer)
    return false;
  component = static_cast<IComponent*>(answer);
  return Connect(withHandler);
}

bool HostPlugin::Adopt(FUnknown* instance, bool withHandler)
{
  Destroy();
  ClearViolations();
  component = Query<IComponent>(instance);
  if (instance)
    instance->release();
  if (!component)
  {
    Violation("the object does not answer IComponent");
    return false;
  }
  return Connect(withHandler);
}

bool HostPlugin::Connect(bool withHandler)
{
  if (!Initialize())
  {
    // A host releases an object whose initialize failed without terminate.
    ReleaseAll();
    return false;
  }
  // A single-object plug-in answers the controller interface itself; any
  // other names its controller class.
  controller = Query<IEditController>(component);
  if (!controller && !CreateController())
  {
    Destroy();
    return false;
  }
  processor = Query<IAudioProcessor>(component);
  units = Query<IUnitInfo>(controller);
  if (!processor)
    Violation("the component does not answer IAudioProcessor");
  if (withHandler)
    handlerSet = Expect(controller->setComponentHandler(&handler), kResultOk, "setComponentHandler");
  if (separateController)
  {
    // The controller learns the component's values from its state.
    HostMemoryStream state;
    if (Expect(component->getState(&state), kResultOk, "getState"))
    {
      state.Rewind();
      SyncController(state);
    }
  }
  if (processor)
    CheckBusAnswers();
  CheckHostObjects("connecting");
  return processor != nullptr;
}

bool HostPlugin::CreateController()
{
  IPluginFactory* factory = module ? module->Factory() : nullptr;
  TUID cid = {};
  const tresult named = component->getControllerClassId(cid);
  const char8 none[16] = {};
  if (named != kResultOk || std::memcmp(cid, none, 16) == 0)
  {
    Violation("the component does not answer IEditController and names no controller class");
    return false;
  }
  if (!factory)
  {
    Violation("the component names a controller class but there is no factory to create it");
    return false;
  }
  void* answer = nullptr;
  if (!Expect(factory->createInstance(cid, IEditController::iid.toTUIDPointer(), &answer), kResultOk,
              "createInstance(IEditController)") ||
      !answer)
    return false;
  controller = static_cast<IEditController*>(answer);
  separateController = true;
  controllerInitialized =
    Expect(controller->initialize(static_cast<IHostApplication*>(&application)), kResultOk, "initialize (controller)");
  if (!controllerInitialized)
    return false;
  componentPoint = Query<IConnectionPoint>(component);
  controllerPoint = Query<IConnectionPoint>(controller);
  // Without connection points the two halves cannot talk, which a plug-in
  // may not need.
  ConnectPeers();
  return true;
}

void HostPlugin::ConnectPeers()
{
  if (!componentPoint || !controllerPoint || componentProxy.IsConnected())
    return;
  componentProxy.SetSource(componentPoint);
  controllerProxy.SetSource(controllerPoint);
  // Each side's connect receives the proxy that carries its messages to the
  // other side.
  Expect(componentProxy.connect(controllerPoint), kResultOk, "connect (component)");
  Expect(controllerProxy.connect(componentPoint), kResultOk, "connect (controller)");
}

void HostPlugin::DisconnectPeers()
{
  if (componentProxy.IsConnected())
    componentProxy.disconnect(controllerPoint);
  if (controllerProxy.IsConnected())
    controllerProxy.disconnect(componentPoint);
}

void HostPlugin::SyncController(IBStream& state)
{
  const tresult result = controller->setComponentState(&state);
  if (result != kNotImplemented)
    Expect(result, kResultOk, "setComponentState");
}

bool HostPlugin::Initialize()
{
  const tresult result = component->initialize(static_cast<IHostApplication*>(&application));
  initialized = result == kResultOk;
  CheckHostObjects("initialize");
  if (initialized)
  {
    ReadBuses(true);
    ConnectPeers();
  }
  return Expect(result, kResultOk, "initialize");
}

bool HostPlugin::Terminate()
{
  DisconnectPeers();
  const tresult result = component->terminate();
  initialized = false;
  active = false;
  processing = false;
  return Expect(result, kResultOk, "terminate");
}

void HostPlugin::Destroy()
{
  if (!component)
    return;
  if (processing)
    SetProcessing(false);
  if (active)
    SetActive(false);
  DisconnectPeers();
  if (handlerSet && controller)
    Expect(controller->setComponentHandler(nullptr), kResultOk, "setComponentHandler(null)");
  handlerSet = false;
  if (controllerInitialized)
    Expect(controller->terminate(), kResultOk, "terminate (controller)");
  controllerInitialized = false;
  if (initialized)
    Terminate();
  ReleaseAll();
}

void HostPlugin::ReleaseAll()
{
  FUnknown* held[] = {units, processor, componentPoint, controllerPoint, separateController ? nullptr : controller};
  for (FUnknown* object : held)
    if (object)
      object->release();
  units = nullptr;
  processor = nullptr;
  componentPoint = nullptr;
  controllerPoint = nullptr;
  if (separateController && controller)
  {
    const uint32 left = controller->release();
    if (left != 0)
      Violation("the controller keeps " + std::to_string(left) + " references after the host released it");
  }
  controller = nullptr;
  separateController = false;
  controllerInitialized = false;
  const uint32 left = component->release();
  component = nullptr;
  if (left != 0)
    Violation("the plug-in object keeps " + std::to_string(left) + " references after the host released it");
  CheckHostObjects("the plug-in was released");
  if (application.References() != 0 || handler.References() != 0 || componentProxy.References() != 0 ||
      controllerProxy.References() != 0)
    Violation("host objects still referenced after the plug-in was released");
  initialized = active = processing = false;
  for (auto& direction : buses)
    direction.clear();
}

void HostPlugin::CheckHostObjects(const char* after)
{
  if (application.OverReleases() + handler.OverReleases() + componentProxy.OverReleases() +
        controllerProxy.OverReleases() >
      0)
    Violation(std::string("host objects released more often than referenced, seen after ") + after);
  for (const std::string& complaint : handler.Complaints())
    Violation("component handler: " + complaint);
  handler.Clear();
  for (HostConnectionProxy* proxy : {&componentProxy, &controllerProxy})
  {
    for (const std::string& complaint : proxy->Complaints())
      Violation("connection: " + complaint);
    proxy->Clear();
  }
}

bool HostPlugin::ActivateBus(MediaType type, BusDirection dir, int index, bool state)
{
  const tresult result = component->activateBus(type, dir, index, state ? 1 : 0);
  const bool exists = index >= 0 && index < component->getBusCount(type, dir);
  if (!exists)
    return result == kResultOk;
  if (!Expect(result, kResultOk, "activateBus"))
    return false;
  if (type == kAudio && index < static_cast<int>(buses[dir].size()))
    buses[dir][static_cast<std::size_t>(index)].active = state;
  return true;
}

bool HostPlugin::ActivateDefaultBuses()
{
  bool ok = true;
  for (MediaType type : {kAudio, kEvent})
    for (BusDirection dir : {kInput, kOutput})
      for (int i = 0; i < component->getBusCount(type, dir); ++i)
      {
        BusInfo info{};
        if (!Expect(component->getBusInfo(type, dir, i, info), kResultOk, "getBusInfo"))
          ok = false;
        else if (info.flags & BusInfo::kDefaultActive)
          ok = ActivateBus(type, dir, i, true) && ok;
      }
  return ok;
}

void HostPlugin::ReadBuses(bool fresh)
{
  for (BusDirection dir : {kInput, kOutput})
  {
    std::vector<Bus>& list = buses[dir];
    const int count = component->getBusCount(kAudio, dir);
    const std::vector<Bus> before = std::move(list);
    list.assign(static_cast<std::size_t>(count > 0 ? count : 0), Bus());
    for (std::size_t i = 0; i < list.size(); ++i)
    {
      BusInfo info{};
      if (Expect(component->getBusInfo(kAudio, dir, static_cast<int32>(i), info), kResultOk, "getBusInfo"))
        list[i].channels = info.channelCount;
      // Buses start inactive: all of them after initialize, and a bus the
      // plug-in replaced for a new arrangement (its channel count changed).
      list[i].active = !fresh && i < before.size() && before[i].channels == list[i].channels && before[i].active;
    }
  }
  SizeBuffers();
}

void HostPlugin::SizeBuffers()
{
  capacity = std::max(capacity, setup.maxSamplesPerBlock);
  const std::size_t frames = static_cast<std::size_t>(capacity);
  for (BusDirection dir : {kInput, kOutput})
  {
    busBuffers[dir].clear();
    for (Bus& bus : buses[dir])
    {
      const std::size_t channels = static_cast<std::size_t>(bus.channels > 0 ? bus.channels : 0);
      bus.samples32.assign(channels, std::vector<float>(frames, 0.0f));
      bus.samples64.assign(channels, std::vector<double>(frames, 0.0));
      bus.pointers32.clear();
      bus.pointers64.clear();
      for (std::size_t c = 0; c < channels; ++c)
      {
        bus.pointers32.push_back(bus.samples32[c].data());
        bus.pointers64.push_back(bus.samples64[c].data());
      }
      AudioBusBuffers buffers{};
      buffers.numChannels = bus.channels;
      busBuffers[dir].push_back(buffers);
    }
  }
}

bool HostPlugin::SetBusArrangements(std::vector<SpeakerArrangement> inputs, std::vector<SpeakerArrangement> outputs)
{
  const tresult result = processor->setBusArrangements(inputs.data(), static_cast<int32>(inputs.size()),
                                                       outputs.data(), static_cast<int32>(outputs.size()));
  if (result != kResultTrue && result != kResultFalse)
    Violation("setBusArrangements returned " + ResultText(result));
  ReadBuses(false);
  CheckBusAnswers();
  if (result == kResultTrue)
  {
    const std::vector<SpeakerArrangement>* requested[2] = {&inputs, &outputs};
    for (BusDirection dir : {kInput, kOutput})
      for (std::size_t i = 0; i < requested[dir]->size() && i < buses[dir].size(); ++i)
      {
        SpeakerArrangement kept = 0;
        processor->getBusArrangement(dir, static_cast<int32>(i), kept);
        if (kept != (*requested[dir])[i])
          Violation(std::string("setBusArrangements accepted but the ") + DirectionText(dir) + " bus " +
                    std::to_string(i) + " kept another arrangement");
      }
  }
  return result == kResultTrue;
}

void HostPlugin::CheckBusAnswers()
{
  for (BusDirection dir : {kInput, kOutput})
    for (int i = 0; i < component->getBusCount(kAudio, dir); ++i)
    {
      BusInfo info{};
      SpeakerArrangement arrangement = 0;
      if (!Expect(component->getBusInfo(kAudio, dir, i, info), kResultOk, "getBusInfo") ||
          !Expect(processor->getBusArrangement(dir, i, arrangement), kResultOk, "getBusArrangement"))
        continue;
      if (SpeakerArr::getChannelCount(arrangement) != info.channelCount)
        Violation(std::string("the ") + DirectionText(dir) + " bus " + std::to_string(i) + " has " +
                  std::to_string(info.channelCount) + " channels but an arrangement of " +
                  std::to_string(SpeakerArr::getChannelCount(arrangement)));
    }
}

bool HostPlugin::SetupProcessing(double sampleRate, int maxBlock, int sampleSize, int processMode, bool expectOk)
{
  ProcessSetup wanted{processMode, sampleSize, maxBlock, sampleRate};
  const tresult result = processor->setupProcessing(wanted);
  if (expectOk)
    Expect(result, kResultOk, "setupProcessing");
  else if (result != kResultOk && result != kResultFalse)
    Violation("setupProcessing refused with " + ResultText(result));
  if (result == kResultOk)
  {
    setup = ProcessSetup{processMode, sampleSize, maxBlock, sampleRate};
    SizeBuffers();
  }
  return result == kResultOk;
}

bool HostPlugin::SetActive(bool state)
{
  const bool ok = Expect(component->setActive(state ? 1 : 0), kResultOk, state ? "setActive(true)" : "setActive(false)");
  active = state;
  if (!state)
    processing = false;
  return ok;
}

bool HostPlugin::SetProcessing(bool state)
{
  const tresult result = processor->setProcessing(state ? 1 : 0);
  processing = state;
  if (result == kResultOk || result == kNotImplemented)
    return true;
  return Expect(result, kResultOk, state ? "setProcessing(true)" : "setProcessing(false)");
}

int HostPlugin::NBuses(BusDirection dir) const { return static_cast<int>(buses[dir].size()); }

int HostPlugin::NChannels(BusDirection dir, int bus) const
{
  return bus >= 0 && bus < NBuses(dir) ? buses[dir][static_cast<std::size_t>(bus)].channels : 0;
}

float* HostPlugin::Channel32(BusDirection dir, int bus, int channel)
{
  if (channel < 0 || channel >= NChannels(dir, bus))
    return nullptr;
  return buses[dir][static_cast<std::size_t>(bus)].samples32[static_cast<std::size_t>(channel)].data();
}

double* HostPlugin::Channel64(BusDirection dir, int bus, int channel)
{
  if (channel < 0 || channel >= NChannels(dir, bus))
    return nullptr;
  return buses[dir][static_cast<std::size_t>(bus)].samples64[static_cast<std::size_t>(channel)].data();
}

bool HostPlugin::IsBusActive(BusDirection dir, int bus) const
{
  return bus >= 0 && bus < NBuses(dir) && buses[dir][static_cast<std::size_t>(bus)].active;
}

ProcessData& HostPlugin::PrepareData(int numSamples, IParameterChanges* changes, IEventList* events,
                                     ProcessContext* context)
{
  data = ProcessData{};
  data.processMode = setup.processMode;
  data.symbolicSampleSize = setup.symbolicSampleSize;
  data.numSamples = numSamples;
  data.inputParameterChanges = changes;
  data.inputEvents = events;
  data.processContext = context;
  // A flush carries no buffers at all.
  if (numSamples == 0)
    return data;
  for (BusDirection dir : {kInput, kOutput})
  {
    std::vector<AudioBusBuffers>& list = busBuffers[dir];
    for (std::size_t i = 0; i < list.size(); ++i)
    {
      Bus& bus = buses[dir][i];
      list[i].numChannels = bus.channels;
      list[i].silenceFlags = 0;
      if (setup.symbolicSampleSize == kSample64)
        list[i].channelBuffers64 = bus.pointers64.data();
      else
        list[i].channelBuffers32 = bus.pointers32.data();
    }
    (dir == kInput ? data.numInputs : data.numOutputs) = static_cast<int32>(list.size());
    (dir == kInput ? data.inputs : data.outputs) = list.empty() ? nullptr : list.data();
  }
  return data;
}

void HostPlugin::FillOutputs(int numSamples)
{
  for (Bus& bus : buses[kOutput])
    for (int c = 0; c < bus.channels; ++c)
    {
      std::fill_n(bus.samples32[static_cast<std::size_t>(c)].begin(), numSamples, Sentinel32());
      std::fill_n(bus.samples64[static_cast<std::size_t>(c)].begin(), numSamples, Sentinel64());
    }
}

void HostPlugin::CheckOutputs(int numSamples)
{
  const bool wide = setup.symbolicSampleSize == kSample64;
  for (std::size_t b = 0; b < buses[kOutput].size(); ++b)
  {
    const Bus& bus = buses[kOutput][b];
    for (int c = 0; c < bus.channels; ++c)
    {
      int unwritten = 0, nonFinite = 0, touched = 0, loud = 0, subnormal = 0;
      auto check = [&](const auto* samples) {
        using Sample = std::remove_const_t<std::remove_pointer_t<decltype(samples)>>;
        for (int i = 0; i < numSamples; ++i)
        {
          const Sample value = samples[i];
          const Sample magnitude = std::abs(value);
          // Most samples are zero or normal and within range, which no
          // sentinel (a NaN) is: one test passes them.
          if (bus.active && magnitude <= Sample(kLoudest)
              && (magnitude >= std::numeric_limits<Sample>::min() || value == 0))
            continue;
          const bool sentinel = IsSentinel(value);
          if (!bus.active)
            touched += !sentinel;
          else if (sentinel)
            ++unwritten;
          else if (!std::isfinite(value))
            ++nonFinite;
          else if (magnitude > Sample(kLoudest))
            ++loud;
          else
            ++subnormal;
        }
      };
      if (wide)
        check(bus.samples64[static_cast<std::size_t>(c)].data());
      else
        check(bus.samples32[static_cast<std::size_t>(c)].data());
      if (!(unwritten || nonFinite || loud || subnormal || touched))
        continue;
      const std::string where = "output bus " + std::to_string(b) + " channel " + std::to_string(c);
      if (unwritten)
        Violation("process left " + std::to_string(unwritten) + " samples of " + where + " unwritten");
      if (nonFinite)
        Violation("process wrote " + std::to_string(nonFinite) + " NaN or infinite samples to " + where);
      if (loud)
        Violation("process wrote " + std::to_string(loud) + " samples beyond +-4 to " + where);
      if (subnormal)
        Violation("process wrote " + std::to_string(subnormal) + " subnormal samples to " + where);
      if (touched)
        Violation("process changed " + std::to_string(touched) + " samples of inactive " + where);
    }
  }
}

bool HostPlugin::Process(int numSamples, IParameterChanges* changes, IEventList* events, ProcessContext* context)
{
  if (numSamples > capacity)
  {
    // Tests exceed the announced block on purpose; the buffers follow.
    capacity = numSamples;
    SizeBuffers();
  }
  PrepareData(numSamples, changes, events, context);
  return ProcessPrepared();
}

bool HostPlugin::ProcessPrepared()
{
  const int numSamples = std::clamp(static_cast<int>(data.numSamples), 0, capacity);
  FillOutputs(numSamples);
  if (processHook)
    processHook(true);
  const tresult result = processor->process(data);
  if (processHook)
    processHook(false);
  // The call's name is only spelt out for a violation: a long render makes
  // millions of calls.
  const bool ok =
    result == kResultOk || Expect(result, kResultOk, "process(" + std::to_string(data.numSamples) + " samples)");
  CheckOutputs(numSamples);
  CheckHostObjects("process");
  return ok;
}

bool HostPlugin::GetState(std::vector<std::uint8_t>& bytes)
{
  HostMemoryStream stream;
  const bool ok = Expect(component->getState(&stream), kResultOk, "getState");
  if (stream.References() != 0 || stream.OverReleases() != 0)
    Violation("getState kept or over-released the stream");
  bytes = stream.Bytes();
  return ok;
}

tresult HostPlugin::SetState(const std::vector<std::uint8_t>& bytes, bool failPastEnd)
{
  HostMemoryStream stream(bytes);
  stream.SetFailPastEnd(failPastEnd);
  const tresult result = component->setState(&stream);
  // The controller follows what the component accepted.
  if (separateController && result == kResultOk)
  {
    stream.Rewind();
    SyncController(stream);
  }
  if (stream.References() != 0 || stream.OverReleases() != 0)
    Violation("setState kept or over-released the stream");
  return result;
}

}  // namespace ThrumwellHost
