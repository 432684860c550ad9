#include "vst3/IPlugVST3.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plug/FlushDenormals.h"
#include "vst3/IPlugParameter.h"
#include "vst3/IPlugVST3View.h"
#include "vst3/sdk/IBStream.h"
#include "vst3/sdk/IContextMenu.h"
#include "vst3/sdk/IEvents.h"
#include "vst3/sdk/IHostApplication.h"
#include "vst3/sdk/IParameterChanges.h"
#include "vst3/sdk/ProcessContext.h"
#include "vst3/sdk/StringListParameter.h"
#include "vst3/sdk/UString.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
constexpr int32 kStateReadPiece = 128;
// A state is twelve doubles; anything near this size is not ours.
constexpr int32 kMaxStateBytes = 1 << 20;
constexpr const char* kRootUnitName = "Root Unit";
constexpr const char* kProgramListName = "Factory Presets";

SpeakerArrangement ArrangementFor(int channels)
{
  switch (channels)
  {
    case 1: return SpeakerArr::kMono;
    case 2: return SpeakerArr::kStereo;
    case 3: return SpeakerArr::k30Music;
    case 4: return SpeakerArr::kAmbi1stOrderACN;
    case 5: return SpeakerArr::k50;
    case 6: return SpeakerArr::k51;
    default: return SpeakerArr::kEmpty;
  }
}

// Held to 0..1, a NaN counting as 0.
double ClampUnit(double value)
{
  return value > 0.0 ? std::min(value, 1.0) : 0.0;
}

// Channels of audio bus `index` as declared (its arrangement's speaker
// count, at most the channels the process call attaches); 0 when there is no
// such bus.
int DeclaredChannels(const BusList& list, int32 index)
{
  const auto* bus = static_cast<const AudioBus*>(list.at(index));
  return bus ? std::min(static_cast<int>(SpeakerArr::getChannelCount(bus->getArrangement())), IPlugVST3::kMaxBusChannels)
             : 0;
}

// The bus's channel pointers from frame `offset` on, into `out`; null arrays
// and null channels stay null (the base then uses its scratch arrays).
template <class Sample>
Sample** OffsetChannels(Sample** channels, int count, int offset, Sample** out)
{
  if (!channels)
    return nullptr;
  for (int i = 0; i < count; ++i)
    out[i] = channels[i] ? channels[i] + offset : nullptr;
  return out;
}
}  // namespace

IPlugVST3::IPlugVST3(int nParams, const char* channels, int nPrograms, const char* effectName,
                     const char* productName, const char* mfrName, int version, int uniqueId, int mfrId,
                     int latency, bool doesMidi, bool doesStateChunks, bool isInstrument, int,
                     int sideChains)
  : IPlugBase(nParams, channels, nPrograms, effectName, productName, mfrName, version, uniqueId, mfrId, latency,
              doesMidi, doesStateChunks, isInstrument, kApiVst3),
    sideChainChannels(sideChains)
{
  views.reserve(10);
  SetInputConnections(0, NInChannels(), true);
  SetOutputConnections(0, NOutChannels(), true);

  inputBusNames.assign(1, "Main Input");
  if (sideChainChannels)
    inputBusNames.push_back("Aux Input");
  outputBusNames.clear();
  if (IsInstrument())
  {
    for (int pair = 1; pair <= NOutChannels() / 2; ++pair)
    {
      char name[32];
      std::snprintf(name, sizeof name, "Output %i", pair);
      outputBusNames.push_back(name);
    }
  }
  else
    outputBusNames.push_back("Output");
}

IPlugVST3::~IPlugVST3() = default;

tresult PLUGIN_API IPlugVST3::queryInterface(const TUID iid, void** obj)
{
  if (queryInterfaceAs<IUnitInfo>(this, iid, obj))
    return kResultOk;
  return SingleComponentEffect::queryInterface(iid, obj);
}

// ---- IPluginBase -------------------------------------------------------------

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context)
{
  const tresult result = SingleComponentEffect::initialize(context);

  if (FUnknownPtr<IHostApplication> host(context); host)
  {
    String128 wide = {};
    if (host->getName(wide) == kResultOk)
    {
      wide[127] = 0;
      char name[128];
      narrow(name, wide, 128);
      SetHost(name, 0);
    }
  }

  if (result == kResultOk)
  {
    CreateBuses();
    if (NPrograms() > 0)
    {
      auto* presets = new StringListParameter(u"Presets", kPresetParamId, nullptr,
                                              ParameterInfo::kIsList | ParameterInfo::kIsProgramChange);
      // The host learns program names from the unit's program list.
      for (int i = 0; i < NPrograms(); ++i)
        presets->appendString(u"");
      parameters.addParameter(presets);
    }
    for (int i = 0; i < NParams(); ++i)
    {
      parameters.addParameter(new IPlugParameter(GetParam(i), static_cast<ParamID>(i)));
      HandleParameterChange(i);
    }
  }
  HandleHostIdentified();
  if (result == kResultOk)
    idleTimer.Start(context);
  return result;
}

tresult PLUGIN_API IPlugVST3::terminate()
{
  idleTimer.Stop();
  programNews.store(kNoProgramNews, std::memory_order_relaxed);
  views.clear();
  return SingleComponentEffect::terminate();
}

void IPlugVST3::CreateBuses()
{
  const int mainInputs = NInChannels() - sideChainChannels;
  if (mainInputs >= 1 && mainInputs <= 6)
    addAudioInput(widen(inputBusNames[0].c_str()).c_str(), ArrangementFor(mainInputs), kMain,
                  BusInfo::kDefaultActive);
  if (sideChainChannels)
    addAudioInput(widen(inputBusNames[1].c_str()).c_str(), ArrangementFor(std::min(sideChainChannels, 2)), kAux, 0);

  if (IsInstrument())
  {
    for (size_t pair = 0; pair < outputBusNames.size(); ++pair)
      addAudioOutput(widen(outputBusNames[pair].c_str()).c_str(), SpeakerArr::kStereo, kMain,
                     BusInfo::kDefaultActive);
  }
  else
    addAudioOutput(widen(outputBusNames[0].c_str()).c_str(), ArrangementFor(NOutChannels()), kMain,
                   BusInfo::kDefaultActive);

  if (DoesMidi())
    addEventInput(u"MIDI Input", 1, kMain, BusInfo::kDefaultActive);
}

// ---- IComponent ----------------------------------------------------------------

tresult PLUGIN_API IPlugVST3::setActive(TBool state)
{
  HandleActivate(state != 0);
  return kResultOk;
}

tresult IPlugVST3::getProcessorState(IBStream* state)
{
  if (!state)
    return kInvalidArgument;
  IPlugLockGuard guard(GetLock());
  IDataBlob blob;
  if (WriteState(blob))
  {
    int32 written = 0;
    state->write(const_cast<unsigned char*>(blob.Data()), blob.Size(), &written);
    return kResultOk;
  }
  int32 bypassFlag = IsBypassed() ? 1 : 0;
  state->write(&bypassFlag, sizeof bypassFlag, nullptr);
  return kResultFalse;
}

tresult IPlugVST3::setProcessorState(IBStream* state)
{
  if (!state)
    return kInvalidArgument;
  IPlugLockGuard guard(GetLock());
  // Our data starts where the stream stands: a preset file has its own header
  // before it.
  int64 start = 0;
  if (state->tell(&start) != kResultOk || start < 0)
    start = 0;

  IDataBlob blob;
  unsigned char piece[kStateReadPiece];
  while (blob.Size() < kMaxStateBytes)
  {
    int32 count = 0;
    const tresult result = state->read(piece, kStateReadPiece, &count);
    count = std::clamp(count, 0, kStateReadPiece);
    // Bytes delivered together with an error still count: hosts report a
    // short final read as one.
    if (count == 0 || !blob.AppendBytes(piece, count))
      break;
    if (result != kResultOk && GetHostId() != kHostWavelab)
      break;
  }

  const int position = ReadState(blob, 0);
  RedrawEditorParameters();
  // Leave the stream just past our data, and skip the 4 bytes the layout
  // reserves there; a stream that ends first is no failure.
  state->seek(start + std::max(position, 0), IBStream::kIBSeekSet, nullptr);
  int32 reserved = 0;
  state->read(&reserved, sizeof reserved, nullptr);
  return position >= 0 ? kResultOk : kResultFalse;
}

// ---- IAudioProcessor ------------------------------------------------------------

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts)
{
  if (numIns < 0 || numOuts < 0)
    return kInvalidArgument;
  SetInputConnections(0, NInChannels(), false);
  SetOutputConnections(0, NOutChannels(), false);

  const int inCount = numIns > 0 && inputs ? SpeakerArr::getChannelCount(inputs[0]) : 0;
  const int outCount = numOuts > 0 && outputs ? SpeakerArr::getChannelCount(outputs[0]) : 0;
  if (!LegalIO(inCount, outCount))
    return kResultFalse;

  auto* mainIn = static_cast<AudioBus*>(audioInputs.at(0));
  if (mainIn && mainIn->getBusType() == kMain
      && SpeakerArr::getChannelCount(mainIn->getArrangement()) != inCount)
    audioInputs.replace(0, new AudioBus(u"Input", kMain, BusInfo::kDefaultActive, ArrangementFor(inCount)));
  auto* mainOut = static_cast<AudioBus*>(audioOutputs.at(0));
  if (mainOut && SpeakerArr::getChannelCount(mainOut->getArrangement()) != outCount)
    audioOutputs.replace(0, new AudioBus(u"Output", kMain, BusInfo::kDefaultActive, ArrangementFor(outCount)));

  if (!sideChainChannels)
    return numIns == 1 ? kResultOk : kResultFalse;

  if (numIns != 2 || !inputs)
    return kResultFalse;
  const int sideCount = SpeakerArr::getChannelCount(inputs[1]);
  auto* aux = static_cast<AudioBus*>(audioInputs.at(1));
  if (aux && SpeakerArr::getChannelCount(aux->getArrangement()) != sideCount)
    audioInputs.replace(1, new AudioBus(u"Sidechain Input", kAux, 0, ArrangementFor(sideCount)));
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize)
{
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples()
{
  return static_cast<uint32>(std::max(GetLatency(), 0));
}

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup)
{
  if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64)
    return kResultFalse;
  if (!std::isfinite(setup.sampleRate) || setup.sampleRate <= 0.0 || setup.maxSamplesPerBlock < 1
      || setup.maxSamplesPerBlock > kMaxBlockSize)
    return kResultFalse;
  {
    // A host may set up again while active; no block may run on the scratch
    // arrays while they are replaced.
    IPlugLockGuard guard(GetLock());
    SetBypassed(false);
    SetSampleRate(setup.sampleRate);
    SetBlockSize(setup.maxSamplesPerBlock);
    processSetup = setup;
  }
  HandleReset();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setProcessing(TBool)
{
  return kNotImplemented;
}

uint32 PLUGIN_API IPlugVST3::getTailSamples()
{
  return kNoTail;
}

tresult PLUGIN_API IPlugVST3::process(ProcessData& data)
{
  IPlugLockGuard guard(GetLock());
  const FlushDenormals flush;
  if (data.processContext)
    processContext = *data.processContext;
  if (data.inputParameterChanges)
    ApplyParameterChanges(data.inputParameterChanges);
  if (DoesMidi() && data.inputEvents)
    ApplyEvents(data.inputEvents, data.numSamples);
  if (data.numSamples > 0)
    ProcessAudio(data);
  return kResultOk;
}

void IPlugVST3::ApplyParameterChanges(IParameterChanges* changes)
{
  const int32 queues = changes->getParameterCount();
  for (int32 i = 0; i < queues; ++i)
  {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue)
      continue;
    const int32 points = queue->getPointCount();
    int32 offset = 0;
    ParamValue value = 0.0;
    // Only the block's final value counts: every change takes effect at the
    // start of the block.
    if (points <= 0 || queue->getPoint(points - 1, offset, value) != kResultOk)
      continue;
    const ParamID id = queue->getParameterId();
    if (id == kBypassParamId)
      SetBypassed(value > 0.5);
    else if (id == kPresetParamId)
    {
      const int program = ProgramFromNormalized(value);
      SelectProgram(program);
      ProgramAppliedInProcess(program);
    }
    else if (id < static_cast<ParamID>(NParams()))
    {
      const int index = static_cast<int>(id);
      GetParam(index)->SetFromNormalized(value);
      if (IEditor* shown = GetEditor())
        shown->MirrorParameter(index, ClampUnit(value), true);
      HandleParameterChange(index);
    }
  }
}

void IPlugVST3::ApplyEvents(IEventList* events, int nFrames)
{
  const int32 count = events->getEventCount();
  const int lastFrame = std::max(nFrames - 1, 0);
  for (int32 i = 0; i < count; ++i)
  {
    Event event{};
    if (events->getEvent(i, event) != kResultOk)
      continue;
    const int offset = std::clamp(static_cast<int>(event.sampleOffset), 0, lastFrame);
    IMidiEvent midi;
    if (event.type == Event::kNoteOnEvent)
    {
      const NoteOnEvent& on = event.noteOn;
      if (on.pitch < 0 || on.pitch > 127 || on.channel < 0 || on.channel > 15)
        continue;
      const float scaled = on.velocity * 127.0f;
      const int velocity = scaled > 0.0f ? static_cast<int>(std::min(scaled, 127.0f)) : 0;
      midi.MakeNoteOnMsg(on.pitch, velocity, offset, on.channel);
    }
    else if (event.type == Event::kNoteOffEvent)
    {
      const NoteOffEvent& off = event.noteOff;
      if (off.pitch < 0 || off.pitch > 127 || off.channel < 0 || off.channel > 15)
        continue;
      midi.MakeNoteOffMsg(off.pitch, offset, off.channel);
    }
    else
      continue;
    HandleMidiEvent(midi);
  }
}

void IPlugVST3::ProcessAudio(const ProcessData& data)
{
  // Blocks longer than the announced maximum are rendered in pieces, so no
  // piece outgrows the scratch arrays.
  const int piece = GetBlockSize() > 0 ? GetBlockSize() : data.numSamples;
  for (int offset = 0; offset < data.numSamples; offset += piece)
    ProcessPiece(data, offset, std::min(piece, data.numSamples - offset));
}

void IPlugVST3::ProcessPiece(const ProcessData& data, int offset, int nFrames)
{
  const bool samples64 = processSetup.symbolicSampleSize == kSample64;
  float* pointers32[kMaxBusChannels];
  double* pointers64[kMaxBusChannels];

  // A host's bus arrays are read only as far as the buses this plug-in
  // declared go: a host may pass more buses than it set up, with counts and
  // pointers that are garbage (Carla 2.5 adds a second output bus of that
  // kind), so nothing beyond our own buses and channels is read or written.
  // A bus without a channel array counts as passing no channels: its inputs
  // read silence, its outputs render into scratch.
  // Inputs the host does not pass read silence, not an older block.
  const AudioBusBuffers* input = data.numInputs > 0 ? data.inputs : nullptr;
  const bool inputArray =
    input && (samples64 ? input->channelBuffers64 != nullptr : input->channelBuffers32 != nullptr);
  const int inputs =
    inputArray ? std::clamp(static_cast<int>(input->numChannels), 0, DeclaredChannels(audioInputs, 0)) : 0;
  SetInputConnections(0, inputs, true);
  SetInputConnections(inputs, NInChannels() - inputs, false);
  if (inputs > 0 && samples64)
    AttachInputBuffers(0, inputs, OffsetChannels(input->channelBuffers64, inputs, offset, pointers64));
  else if (inputs > 0)
    AttachInputBuffers(0, inputs, OffsetChannels(input->channelBuffers32, inputs, offset, pointers32), nFrames);

  SetOutputConnections(0, NOutChannels(), false);
  const int32 buses = data.outputs ? std::min(data.numOutputs, audioOutputs.size()) : 0;
  int channel = 0;
  for (int32 j = 0; j < buses; ++j)
  {
    const AudioBusBuffers& bus = data.outputs[j];
    const int declared = DeclaredChannels(audioOutputs, j);
    const bool hasArray = samples64 ? bus.channelBuffers64 != nullptr : bus.channelBuffers32 != nullptr;
    const int n = hasArray ? std::clamp(static_cast<int>(bus.numChannels), 0, declared) : 0;
    SetOutputConnections(channel, n, audioOutputs.at(j)->isActive());
    if (samples64)
      AttachOutputBuffers(channel, n, OffsetChannels(bus.channelBuffers64, n, offset, pointers64));
    else
      AttachOutputBuffers(channel, n, OffsetChannels(bus.channelBuffers32, n, offset, pointers32));
    // The next bus's channels follow this bus's declared ones, whatever count
    // the host claimed for it.
    channel += declared;
  }

  if (IsBypassed())
    samples64 ? PassThroughBuffers64(nFrames) : PassThroughBuffers32(nFrames);
  else
    samples64 ? ProcessBuffers64(nFrames) : ProcessBuffers32(nFrames);
}

// ---- IEditController ------------------------------------------------------------

tresult IPlugVST3::setEditorState(IBStream*)
{
  IPlugLockGuard guard(GetLock());
  return kResultOk;
}

tresult IPlugVST3::getEditorState(IBStream*)
{
  IPlugLockGuard guard(GetLock());
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string)
{
  if (!string || id >= static_cast<ParamID>(NParams()))
    return kResultFalse;
  char text[IParamDef::kFormatSize];
  GetParam(static_cast<int>(id))->FormatForHost(valueNormalized, true, text);
  widen(string, text, 128);
  return kResultOk;
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID id, ParamValue plainValue)
{
  if (id == kPresetParamId)
    return NPrograms() > 1 ? plainValue / (NPrograms() - 1) : 0.0;
  if (id < static_cast<ParamID>(NParams()))
    return GetParam(static_cast<int>(id))->ToNormalized(plainValue);
  return plainValue;
}

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id)
{
  if (id == kBypassParamId)
    return IsBypassed() ? 1.0 : 0.0;
  if (id == kPresetParamId)
    return NormalizedFromProgram(GetCurrentProgram());
  if (id < static_cast<ParamID>(NParams()))
    return GetParam(static_cast<int>(id))->GetNormalized();
  return 0.0;
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value)
{
  // No lock: each value is one relaxed atomic, which the audio thread may
  // write at the same time.
  if (id == kBypassParamId)
    SetBypassed(value != 0.0);
  else if (id == kPresetParamId)
  {
    // A host choosing a program reads every value back right after this call,
    // or when told through restartComponent: both must see the program's
    // values now, not when process applies it (a host without a run loop
    // would never hear of it otherwise).
    const int program = ProgramFromNormalized(value);
    currentProgram = program;
    ShowProgramValues(program);
    RedrawEditorParameters();
    ProgramChosenByController(program);
    if (IComponentHandler* handler = getComponentHandler())
      handler->restartComponent(kParamValuesChanged);
  }
  else if (id < static_cast<ParamID>(NParams()))
    GetParam(static_cast<int>(id))->SetFromNormalized(value);
  else
    return kResultFalse;
  return kResultOk;
}

void IPlugVST3::ProgramChosenByController(int program)
{
  // Process may have applied this very choice already (the host queued it
  // before calling the controller): then the restart about to be sent covers
  // it. Otherwise process is told to keep quiet when it arrives.
  std::int32_t news = programNews.load(std::memory_order_relaxed);
  std::int32_t next;
  do
    next = news == kAppliedInProcess + program ? kNoProgramNews : program;
  while (!programNews.compare_exchange_weak(news, next, std::memory_order_acq_rel, std::memory_order_relaxed));
  announcementAge = 0;
}

void IPlugVST3::ProgramAppliedInProcess(int program)
{
  // Lock-free: a few compare-and-swap attempts at most, never a wait.
  std::int32_t news = programNews.load(std::memory_order_relaxed);
  std::int32_t next;
  do
    next = news == program ? kNoProgramNews : kAppliedInProcess + program;
  while (!programNews.compare_exchange_weak(news, next, std::memory_order_acq_rel, std::memory_order_relaxed));
}

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name)
{
  if (!name || std::strcmp(name, ViewType::kEditor) != 0)
    return nullptr;
  auto* view = new IPlugVST3View(this);
  return view;
}

tresult PLUGIN_API IPlugVST3::setKnobMode(KnobMode)
{
  return kResultOk;
}

int IPlugVST3::ProgramFromNormalized(double value) const
{
  const int programs = NPrograms();
  if (programs <= 0)
    return 0;
  return std::clamp(static_cast<int>((programs - 1) * ClampUnit(value) + 0.5), 0, programs - 1);
}

double IPlugVST3::NormalizedFromProgram(int program) const
{
  return NPrograms() > 1 ? static_cast<double>(program) / (NPrograms() - 1) : 0.0;
}

// ---- IUnitInfo ---------------------------------------------------------------------

int32 PLUGIN_API IPlugVST3::getUnitCount()
{
  return 1;
}

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
  if (unitIndex != 0)
    return kResultFalse;
  info.id = kRootUnitId;
  info.parentUnitId = kNoParentUnitId;
  widen(info.name, kRootUnitName, 128);
  info.programListId = NPrograms() > 0 ? static_cast<ProgramListID>(kPresetParamId) : kNoProgramListId;
  return kResultOk;
}

int32 PLUGIN_API IPlugVST3::getProgramListCount()
{
  return NPrograms() > 0 ? 1 : 0;
}

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
  if (listIndex != 0 || NPrograms() <= 0)
    return kResultFalse;
  info.id = static_cast<ProgramListID>(kPresetParamId);
  widen(info.name, kProgramListName, 128);
  info.programCount = NPrograms();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
  if (listId != static_cast<ProgramListID>(kPresetParamId) || !name)
    return kResultFalse;
  widen(name, GetProgramName(programIndex), 128);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, CString, String128)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128)
{
  return kNotImplemented;
}

UnitID PLUGIN_API IPlugVST3::getSelectedUnit()
{
  return kRootUnitId;
}

tresult PLUGIN_API IPlugVST3::selectUnit(UnitID)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*)
{
  return kNotImplemented;
}

// ---- Host services -------------------------------------------------------------------

void IPlugVST3::HostBeginEdit(int paramIdx)
{
  beginEdit(static_cast<ParamID>(paramIdx));
}

void IPlugVST3::HostPerformEdit(int paramIdx, double normalizedValue)
{
  performEdit(static_cast<ParamID>(paramIdx), normalizedValue);
}

void IPlugVST3::HostEndEdit(int paramIdx)
{
  endEdit(static_cast<ParamID>(paramIdx));
}

void IPlugVST3::OnIdle()
{
  // A plain load first: an idle tick costs no locked instruction. A program
  // the controller announced stays until process applies it.
  std::int32_t news = programNews.load(std::memory_order_relaxed);
  if (news == kNoProgramNews)
    return;
  if (news < kAppliedInProcess)
  {
    if (++announcementAge >= kAnnouncementTicks)
      programNews.compare_exchange_strong(news, kNoProgramNews, std::memory_order_acq_rel, std::memory_order_relaxed);
    return;
  }
  if (!programNews.compare_exchange_strong(news, kNoProgramNews, std::memory_order_acq_rel, std::memory_order_relaxed))
    return;
  if (IComponentHandler* handler = getComponentHandler())
    handler->restartComponent(kParamValuesChanged);
}

void IPlugVST3::SetLatency(int samples)
{
  IPlugBase::SetLatency(samples);
  if (IComponentHandler* handler = getComponentHandler())
    handler->restartComponent(kLatencyChanged);
}

bool IPlugVST3::SendMidiEvent(const IMidiEvent&)
{
  return false;
}

int IPlugVST3::GetSamplePosition()
{
  return static_cast<int>(static_cast<uint32>(static_cast<uint64>(processContext.projectTimeSamples)));
}

double IPlugVST3::GetTempo()
{
  return processContext.tempo;
}

void IPlugVST3::GetTimeSignature(int* numerator, int* denominator)
{
  if (numerator)
    *numerator = processContext.timeSigNumerator;
  if (denominator)
    *denominator = processContext.timeSigDenominator;
}

int IPlugVST3::GetTransportState()
{
  if (processContext.state & ProcessContext::kPlaying)
    return 1;
  if (processContext.state & ProcessContext::kRecording)
    return 2;
  return 0;
}

bool IPlugVST3::IsRenderingOffline()
{
  return processSetup.processMode == kOffline;
}

void IPlugVST3::GetTimeInfo(ITimeInfo* info)
{
  if (!info)
    return;
  info->tempo = processContext.tempo;
  info->samplePos = static_cast<double>(processContext.projectTimeSamples);
  info->ppqPos = processContext.projectTimeMusic;
  info->lastBar = processContext.barPositionMusic;
  info->cycleStart = processContext.cycleStartMusic;
  info->cycleEnd = processContext.cycleEndMusic;
  info->numerator = processContext.timeSigNumerator;
  info->denominator = processContext.timeSigDenominator;
  info->playing = (processContext.state & ProcessContext::kPlaying) != 0;
  info->cycleActive = (processContext.state & ProcessContext::kCycleActive) != 0;
}

void IPlugVST3::PopupHostContextMenu(int paramIdx, int x, int y)
{
  IComponentHandler* handler = getComponentHandler();
  if (!handler || views.empty())
    return;
  FUnknownPtr<IComponentHandler3> menus(handler);
  if (!menus)
    return;
  const ParamID id = static_cast<ParamID>(paramIdx);
  auto menu = IPtr<IContextMenu>::adopt(menus->createContextMenu(views.front(), &id));
  if (menu)
    menu->popup(x, y);
}

void IPlugVST3::SetEditorSize(int width, int height)
{
  if (!GetEditor() || views.empty())
    return;
  IPlugVST3View* view = views.front();
  view->SetResizePending(true);
  if (IPlugFrame* frame = view->getFrame())
  {
    ViewRect rect(0, 0, width, height);
    frame->resizeView(view, &rect);
  }
}

// ---- Views ------------------------------------------------------------------------------

void IPlugVST3::AddView(IPlugVST3View* view)
{
  views.push_back(view);
}

void IPlugVST3::RemoveView(IPlugVST3View* view)
{
  const auto found = std::find(views.begin(), views.end(), view);
  if (found != views.end())
    views.erase(found);
}

IPlugVST3View* IPlugVST3::GetView(int index) const
{
  return index >= 0 && index < NViews() ? views[static_cast<size_t>(index)] : nullptr;
}
