#include "plug/IPlugBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "plug/CopyText.h"
#include "plug/RoundToInt.h"

namespace
{
// Clips [start, start + count) to [0, n); returns the half-open range.
void ClipRange(int start, int count, int n, int* first, int* last)
{
  const long long lo = std::max<long long>(start, 0);
  const long long hi = std::min<long long>(static_cast<long long>(start) + std::max(count, 0), n);
  *first = static_cast<int>(lo);
  *last = static_cast<int>(std::max(lo, hi));
}

void ToDoubles(const float* src, double* dest, int n)
{
  int i = 0;
  for (; i + 4 <= n; i += 4)
  {
    dest[i] = src[i];
    dest[i + 1] = src[i + 1];
    dest[i + 2] = src[i + 2];
    dest[i + 3] = src[i + 3];
  }
  for (; i < n; ++i)
    dest[i] = src[i];
}

void ToFloats(const double* src, float* dest, int n)
{
  int i = 0;
  for (; i + 4 <= n; i += 4)
  {
    dest[i] = static_cast<float>(src[i]);
    dest[i + 1] = static_cast<float>(src[i + 1]);
    dest[i + 2] = static_cast<float>(src[i + 2]);
    dest[i + 3] = static_cast<float>(src[i + 3]);
  }
  for (; i < n; ++i)
    dest[i] = static_cast<float>(src[i]);
}

// A stored value as a state read sets it: held to the parameter's range, NaN
// as the minimum.
double RestoredValue(const IParamDef& param, double v)
{
  if (std::isnan(v) || v < param.GetMin())
    return param.GetMin();
  return v > param.GetMax() ? param.GetMax() : v;
}

bool UsesScratch(const IChannelSlot& slot)
{
  return *slot.pointerEntry == slot.scratch.data();
}

void InitSlots(std::vector<IChannelSlot>& slots, std::vector<double*>& pointers, int n)
{
  pointers.assign(static_cast<std::size_t>(n), nullptr);
  slots.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    slots[static_cast<std::size_t>(i)].pointerEntry = &pointers[static_cast<std::size_t>(i)];
}

void SetConnections(std::vector<IChannelSlot>& slots, int start, int count, bool connected, bool silenceOnDisconnect)
{
  int first, last;
  ClipRange(start, count, static_cast<int>(slots.size()), &first, &last);
  for (int i = first; i < last; ++i)
  {
    IChannelSlot& slot = slots[static_cast<std::size_t>(i)];
    if (!connected)
    {
      // An input that goes away must not keep feeding its last converted block.
      if (slot.connected && silenceOnDisconnect)
        std::fill(slot.scratch.begin(), slot.scratch.end(), 0.0);
      *slot.pointerEntry = slot.scratch.data();
      slot.hostOutput = nullptr;
    }
    slot.connected = connected;
  }
}

void Attach64(std::vector<IChannelSlot>& slots, int start, int count, double** hostArrays)
{
  if (!hostArrays)
    return;
  int first, last;
  ClipRange(start, count, static_cast<int>(slots.size()), &first, &last);
  int next = 0;
  for (int i = first; i < last; ++i)
  {
    IChannelSlot& slot = slots[static_cast<std::size_t>(i)];
    if (!slot.connected)
      continue;
    double* host = hostArrays[next++];
    *slot.pointerEntry = host ? host : slot.scratch.data();
  }
}

// Points every channel back at its scratch array once a block is done, so no
// host array of a finished block is ever used again.
void ReleaseHostArrays(std::vector<IChannelSlot>& slots)
{
  for (IChannelSlot& slot : slots)
  {
    *slot.pointerEntry = slot.scratch.data();
    slot.hostOutput = nullptr;
  }
}
}

IPlugBase::IPlugBase(int nParams, const char* channels, int nPrograms, const char* effect, const char* product,
                     const char* mfr, int versionNumber, int uniqueCode, int mfrCode, int latencySamples,
                     bool takesMidi, bool stateChunks, bool instrument, int api)
  : isInstrument(instrument),
    latency(latencySamples),
    uniqueId(uniqueCode),
    manufacturerId(mfrCode),
    version(versionNumber),
    apiKind(api),
    doesStateChunks(stateChunks),
    doesMidi(takesMidi ? 1 : 0)
{
  params.resize(static_cast<std::size_t>(std::max(nParams, 0)));
  programs.resize(static_cast<std::size_t>(std::max(nPrograms, 0)));
  for (std::size_t i = 0; i < programs.size(); ++i)
    std::snprintf(programs[i].name, IProgram::kNameSize, "- %d -", static_cast<int>(i + 1));
  CopyText(effectName, effect, kNameSize);
  CopyText(productName, product, kNameSize);
  CopyText(manufacturerName, mfr, kNameSize);

  channelPairs = ParseChannelString(channels);
  int nIn = 0, nOut = 0;
  for (const IChannelPair& pair : channelPairs)
  {
    nIn = std::max(nIn, pair.inputs);
    nOut = std::max(nOut, pair.outputs);
  }
  InitSlots(inputSlots, inputPointers, nIn);
  InitSlots(outputSlots, outputPointers, nOut);
}

IPlugBase::~IPlugBase() = default;

// ---- Overridable operations -----------------------------------------------

void IPlugBase::HandleReset()
{
  IPlugLockGuard guard(lock);
}

void IPlugBase::HandleParameterChange(int) {}

void IPlugBase::HandleParameterChangeLocked(int paramIdx)
{
  IPlugLockGuard guard(lock);
  HandleParameterChange(paramIdx);
}

void IPlugBase::RenderBlock(double** inputs, double** outputs, int nFrames)
{
  DefaultRender(inputs, outputs, nFrames);
}

void IPlugBase::DefaultRender(double** inputs, double** outputs, int nFrames)
{
  if (nFrames <= 0)
    return;
  const std::size_t n = static_cast<std::size_t>(nFrames);
  const int nIn = NInChannels(), nOut = NOutChannels();
  const int nCopy = std::min(nIn, nOut);
  for (int c = 0; c < nCopy; ++c)
  {
    if (inputs[c] != outputs[c])
      std::memmove(outputs[c], inputs[c], n * sizeof(double));
  }
  for (int c = nCopy; c < nOut; ++c)
    std::fill(outputs[c], outputs[c] + n, 0.0);
}

void IPlugBase::EditorOpened() {}

void IPlugBase::EditorClosing() {}

void IPlugBase::HandleActivate(bool)
{
  IPlugLockGuard guard(lock);
}

void IPlugBase::HandleMidiEvent(const IMidiEvent&) {}

bool IPlugBase::WriteState(IDataBlob& blob)
{
  return WriteParameters(blob);
}

int IPlugBase::ReadState(const IDataBlob& blob, int position)
{
  return ReadParameters(blob, position);
}

bool IPlugBase::AcceptParameterRestore(int, int)
{
  IPlugLockGuard guard(lock);
  return true;
}

void IPlugBase::EditorResized(int, int, int, int) {}

int IPlugBase::GetApiKind() const
{
  return apiKind;
}

void IPlugBase::HostBeginEdit(int) {}

void IPlugBase::HostPerformEdit(int, double) {}

void IPlugBase::HostEndEdit(int) {}

void IPlugBase::HandleHostIdentified() {}

void IPlugBase::PopupHostContextMenu(int, int, int) {}

int IPlugBase::GetSamplePosition()
{
  return 0;
}

double IPlugBase::GetTempo()
{
  return 120.0;
}

void IPlugBase::GetTimeSignature(int* numerator, int* denominator)
{
  if (numerator)
    *numerator = 4;
  if (denominator)
    *denominator = 4;
}

IHostId IPlugBase::GetHostId() const
{
  return hostId;
}

void IPlugBase::SetEditorSize(int, int) {}

void IPlugBase::AttachEditor(IEditor* newEditor)
{
  IPlugLockGuard guard(lock);
  if (newEditor == editor.get())
    return;
  // The old editor's countdown dies with it: its pending end goes out now.
  if (pendingEndEdit >= 0)
  {
    const int paramIdx = pendingEndEdit;
    pendingEndEdit = -1;
    HostEndEdit(paramIdx);
  }
  editor.reset(newEditor);
  if (!editor)
    return;
  for (int i = 0; i < NParams(); ++i)
    editor->MirrorParameter(i, params[static_cast<std::size_t>(i)].GetNormalized(), true);
  editor->CreateCanvas();
}

void IPlugBase::SetBlockSize(int nFrames)
{
  nFrames = std::max(nFrames, 0);
  if (nFrames == blockSize)
    return;
  try
  {
    for (IChannelSlot& slot : inputSlots)
      slot.scratch.assign(static_cast<std::size_t>(nFrames), 0.0);
    for (IChannelSlot& slot : outputSlots)
      slot.scratch.assign(static_cast<std::size_t>(nFrames), 0.0);
    blockSize = nFrames;
  }
  catch (const std::bad_alloc&)
  {
    // Without room for the scratch arrays no frame can be rendered into them.
    for (IChannelSlot& slot : inputSlots)
      std::vector<double>().swap(slot.scratch);
    for (IChannelSlot& slot : outputSlots)
      std::vector<double>().swap(slot.scratch);
    blockSize = 0;
  }
  // The arrays moved: channels must not keep pointing at the old ones.
  ReleaseHostArrays(inputSlots);
  ReleaseHostArrays(outputSlots);
}

void IPlugBase::SetLatency(int samples)
{
  latency = samples;
}

bool IPlugBase::SendMidiEvent(const IMidiEvent&)
{
  return false;
}

bool IPlugBase::SendMidiEvents(const IMidiEvent* events, int count)
{
  bool allSent = true;
  for (int i = 0; events && i < count; ++i)
    allSent = SendMidiEvent(events[i]) && allSent;
  return allSent;
}

bool IPlugBase::WriteParameters(IDataBlob& blob)
{
  IPlugLockGuard guard(lock);
  bool ok = true;
  for (const IParamDef& param : params)
    ok = blob.AppendDouble(param.GetValue()) && ok;
  return ok;
}

int IPlugBase::ReadParameters(const IDataBlob& blob, int position)
{
  IPlugLockGuard guard(lock);
  for (int i = 0; i < NParams() && position >= 0; ++i)
  {
    double v = 0.0;
    position = blob.ReadDouble(&v, position);
    if (position < 0)
      break;
    if (AcceptParameterRestore(i, currentProgram))
    {
      IParamDef& param = params[static_cast<std::size_t>(i)];
      param.SetValue(RestoredValue(param, v));
      HandleParameterChange(i);
    }
  }
  return position;
}

int IPlugBase::ShowProgramValues(int index)
{
  const IProgram* program = GetProgram(index);
  if (!program)
    return 0;
  int position = 0;
  int shown = 0;
  for (int i = 0; i < NParams(); ++i)
  {
    double v = 0.0;
    position = program->state.ReadDouble(&v, position);
    if (position < 0)
      break;
    if (AcceptParameterRestore(i, index))
    {
      IParamDef& param = params[static_cast<std::size_t>(i)];
      param.SetValue(RestoredValue(param, v));
      ++shown;
    }
  }
  return shown;
}

int IPlugBase::GetTransportState()
{
  return 0;
}

bool IPlugBase::IsRenderingOffline()
{
  return false;
}

// ---- Editor-facing operations ---------------------------------------------

void IPlugBase::SetParameterFromEditor(int paramIdx, double normalizedValue)
{
  IPlugLockGuard guard(lock);
  IParamDef* param = GetParam(paramIdx);
  if (!param)
    return;
  normalizedValue = IParamDef::ClampNormalized(normalizedValue);
  param->SetFromNormalized(normalizedValue);
  HostPerformEdit(paramIdx, normalizedValue);
  HandleParameterChange(paramIdx);
}

void IPlugBase::DeferHostEndEdit(int paramIdx)
{
  IPlugLockGuard guard(lock);
  if (!editor)
  {
    HostEndEdit(paramIdx);
    return;
  }
  // One pending slot: a gesture on another parameter ends the waiting one now
  // rather than dropping its end report.
  if (pendingEndEdit >= 0 && pendingEndEdit != paramIdx)
    HostEndEdit(pendingEndEdit);
  pendingEndEdit = paramIdx;
  editor->StartEditEndTimer(std::max(1, editor->GetFrameRate() / 2));
}

void IPlugBase::FlushHostEndEdit()
{
  IPlugLockGuard guard(lock);
  if (editor)
    editor->StopEditEndTimer();
  if (pendingEndEdit >= 0)
  {
    const int paramIdx = pendingEndEdit;
    pendingEndEdit = -1;
    HostEndEdit(paramIdx);
  }
}

void IPlugBase::RedrawEditorParameters()
{
  IPlugLockGuard guard(lock);
  if (!editor)
    return;
  for (int i = 0; i < NParams(); ++i)
    editor->MirrorParameter(i, params[static_cast<std::size_t>(i)].GetValue(), false);
}

// ---- Programs -------------------------------------------------------------

bool IPlugBase::SelectProgram(int index)
{
  IPlugLockGuard guard(lock);
  if (index < 0 || index >= NPrograms())
    return false;
  IProgram& program = programs[static_cast<std::size_t>(index)];
  if (program.used)
  {
    currentProgram = index;
    if (ReadParameters(program.state, 0) < 1)
      return false;
  }
  else
  {
    char name[IProgram::kNameSize];
    NextUserProgramName(name);
    program.used = true;
    CopyText(program.name, name, IProgram::kNameSize);
  }
  currentProgram = index;
  RedrawEditorParameters();
  return true;
}

void IPlugBase::NameDefaultPrograms(const char* name, int count)
{
  for (int n = 0; n < count; ++n)
  {
    auto it = std::find_if(programs.begin(), programs.end(), [](const IProgram& p) { return !p.used; });
    if (it == programs.end())
      return;
    it->used = true;
    CopyText(it->name, name ? name : "Default", IProgram::kNameSize);
  }
}

bool IPlugBase::StoreProgram(const char* name, const double* values, int count)
{
  if (!values || count != NParams())
    return false;
  auto it = std::find_if(programs.begin(), programs.end(), [](const IProgram& p) { return !p.used; });
  if (it == programs.end())
    return false;
  it->used = true;
  CopyText(it->name, name, IProgram::kNameSize);
  bool ok = true;
  for (int i = 0; i < count; ++i)
  {
    double v = values[i];
    const IParamKind kind = params[static_cast<std::size_t>(i)].GetKind();
    if (kind == KindInt || kind == KindList)
      v = RoundToInt(v);
    ok = it->state.AppendDouble(v) && ok;
  }
  return ok;
}

void IPlugBase::NextUserProgramName(char* out) const
{
  static const char kUserPreset[] = "user preset";
  const auto n = std::count_if(programs.begin(), programs.end(),
                               [](const IProgram& p) { return std::strstr(p.name, kUserPreset) != nullptr; });
  std::snprintf(out, IProgram::kNameSize, "%s %d", kUserPreset, static_cast<int>(n) + 1);
}

const char* IPlugBase::GetProgramName(int index) const
{
  const IProgram* program = GetProgram(index);
  return program ? program->name : "";
}

const IProgram* IPlugBase::GetProgram(int index) const
{
  if (index < 0 || index >= NPrograms())
    return nullptr;
  return &programs[static_cast<std::size_t>(index)];
}

// ---- Parameters -----------------------------------------------------------

IParamDef* IPlugBase::GetParam(int index)
{
  if (index < 0 || index >= NParams())
    return nullptr;
  return &params[static_cast<std::size_t>(index)];
}

const IParamDef* IPlugBase::GetParam(int index) const
{
  if (index < 0 || index >= NParams())
    return nullptr;
  return &params[static_cast<std::size_t>(index)];
}

// ---- Host identity ----------------------------------------------------------

void IPlugBase::SetHost(const char* name, int hostVersionNumber)
{
  hostId = IdentifyHost(name);
  hostVersion = hostVersionNumber;
}

// ---- Channels and processing ------------------------------------------------

bool IPlugBase::LegalIO(int nInputs, int nOutputs) const
{
  return std::any_of(channelPairs.begin(), channelPairs.end(), [=](const IChannelPair& pair) {
    return (nInputs < 0 || nInputs == pair.inputs) && (nOutputs < 0 || nOutputs == pair.outputs);
  });
}

bool IPlugBase::IsInChannelConnected(int channel) const
{
  return channel >= 0 && channel < NInChannels() && inputSlots[static_cast<std::size_t>(channel)].connected;
}

bool IPlugBase::IsOutChannelConnected(int channel) const
{
  return channel >= 0 && channel < NOutChannels() && outputSlots[static_cast<std::size_t>(channel)].connected;
}

void IPlugBase::SetInputConnections(int start, int count, bool connected)
{
  SetConnections(inputSlots, start, count, connected, true);
}

void IPlugBase::SetOutputConnections(int start, int count, bool connected)
{
  SetConnections(outputSlots, start, count, connected, false);
}

void IPlugBase::AttachInputBuffers(int start, int count, double** hostInputs)
{
  Attach64(inputSlots, start, count, hostInputs);
}

void IPlugBase::AttachOutputBuffers(int start, int count, double** hostOutputs)
{
  Attach64(outputSlots, start, count, hostOutputs);
}

void IPlugBase::AttachInputBuffers(int start, int count, float** hostInputs, int nFrames)
{
  if (!hostInputs)
    return;
  const int n = std::clamp(nFrames, 0, blockSize);
  int first, last;
  ClipRange(start, count, NInChannels(), &first, &last);
  int next = 0;
  for (int i = first; i < last; ++i)
  {
    IChannelSlot& slot = inputSlots[static_cast<std::size_t>(i)];
    if (!slot.connected)
      continue;
    const float* host = hostInputs[next++];
    if (host)
      ToDoubles(host, slot.scratch.data(), n);
    else
      std::fill(slot.scratch.begin(), slot.scratch.begin() + n, 0.0);
    *slot.pointerEntry = slot.scratch.data();
  }
}

void IPlugBase::AttachOutputBuffers(int start, int count, float** hostOutputs)
{
  if (!hostOutputs)
    return;
  int first, last;
  ClipRange(start, count, NOutChannels(), &first, &last);
  int next = 0;
  for (int i = first; i < last; ++i)
  {
    IChannelSlot& slot = outputSlots[static_cast<std::size_t>(i)];
    if (!slot.connected)
      continue;
    *slot.pointerEntry = slot.scratch.data();
    slot.hostOutput = hostOutputs[next++];
  }
}

int IPlugBase::RenderableFrames(int nFrames) const
{
  if (nFrames <= blockSize)
    return std::max(nFrames, 0);
  const auto scratch = [](const IChannelSlot& slot) { return UsesScratch(slot); };
  if (std::any_of(inputSlots.begin(), inputSlots.end(), scratch)
      || std::any_of(outputSlots.begin(), outputSlots.end(), scratch))
    return blockSize;
  return nFrames;
}

void IPlugBase::RunBlock(int nFrames, bool passThrough, bool floatHost)
{
  const int n = RenderableFrames(nFrames);
  if (passThrough)
    DefaultRender(inputPointers.data(), outputPointers.data(), n);
  else if (renderReady)
    RenderBlock(inputPointers.data(), outputPointers.data(), n);
  else
    // No tone yet, and the host's buffers must not keep whatever they held.
    for (double* out : outputPointers)
      std::fill(out, out + n, 0.0);

  for (IChannelSlot& slot : outputSlots)
  {
    // Host arrays longer than the scratch arrays get silence past blockSize.
    if (!UsesScratch(slot))
      std::fill(*slot.pointerEntry + n, *slot.pointerEntry + std::max(nFrames, n), 0.0);
    else if (floatHost && slot.connected && slot.hostOutput)
    {
      ToFloats(slot.scratch.data(), slot.hostOutput, n);
      std::fill(slot.hostOutput + n, slot.hostOutput + std::max(nFrames, n), 0.0f);
    }
  }
  ReleaseHostArrays(inputSlots);
  ReleaseHostArrays(outputSlots);
}

void IPlugBase::ProcessBuffers64(int nFrames)
{
  RunBlock(nFrames, false, false);
}

void IPlugBase::ProcessBuffers32(int nFrames)
{
  RunBlock(nFrames, false, true);
}

void IPlugBase::PassThroughBuffers64(int nFrames)
{
  RunBlock(nFrames, true, false);
}

void IPlugBase::PassThroughBuffers32(int nFrames)
{
  RunBlock(nFrames, true, true);
}

void IPlugBase::GetVersionText(int versionNumber, char* out)
{
  std::snprintf(out, 32, "v%d.%02d", versionNumber >> 16, (versionNumber >> 8) & 0xFF);
}
