#include "tests/host/SplitPlugin.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "vst3/sdk/IBStream.h"
#include "vst3/sdk/IHostApplication.h"
#include "vst3/sdk/IParameterChanges.h"
#include "vst3/sdk/UString.h"

namespace SplitTest
{

const FUID kStereoClass(0x73706C74, 0x53746572, 0x656F0000, 0x00000001);
const FUID kMonoClass(0x73706C74, 0x4D6F6E6F, 0x00000000, 0x00000002);
const FUID kControllerClass(0x73706C74, 0x436F6E74, 0x726F6C00, 0x00000003);

namespace {

constexpr char kStateTag[4] = {'S', 'P', 'G', '1'};
constexpr int32 kStateSize = 4 + 2 * 8;

// Zero or a normal number of the sample type: the host's ears and checks
// accept nothing else.
template <class Sample>
Sample Flushed(double value)
{
  const auto sample = static_cast<Sample>(value);
  return std::abs(sample) < std::numeric_limits<Sample>::min() ? Sample(0) : sample;
}

double Clamped(double value, double fallback)
{
  return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : fallback;
}

}  // namespace

bool ReadSplitState(IBStream* stream, double& gain, double& bypass)
{
  if (!stream)
    return false;
  char bytes[kStateSize] = {};
  int32 read = 0;
  if (stream->read(bytes, kStateSize, &read) != kResultOk || read != kStateSize ||
      std::memcmp(bytes, kStateTag, 4) != 0)
    return false;
  double values[2];
  std::memcpy(values, bytes + 4, sizeof values);  // little-endian on both platforms
  if (!std::isfinite(values[0]) || !std::isfinite(values[1]))
    return false;
  gain = std::clamp(values[0], 0.0, 1.0);
  bypass = values[1] >= 0.5 ? 1.0 : 0.0;
  return true;
}

// ---- SplitComponent -------------------------------------------------------------------

SplitComponent::SplitComponent(int32 channelCount, FaultyTest::Fault fault) : channels(channelCount), faulty(fault) {}

tresult PLUGIN_API SplitComponent::queryInterface(const TUID iid, void** obj)
{
  if (queryInterfaceAs<IComponent>(this, iid, obj) || queryInterfaceAs<IAudioProcessor>(this, iid, obj) ||
      queryInterfaceAs<IProcessContextRequirements>(this, iid, obj))
    return kResultOk;
  return ComponentBase::queryInterface(iid, obj);
}

tresult PLUGIN_API SplitComponent::initialize(FUnknown* context)
{
  const tresult result = ComponentBase::initialize(context);
  if (result == kResultOk)
    busActive[kInput] = busActive[kOutput] = false;
  return result;
}

tresult PLUGIN_API SplitComponent::terminate() { return ComponentBase::terminate(); }

tresult PLUGIN_API SplitComponent::notify(IMessage* message)
{
  const FIDString id = message ? message->getMessageID() : nullptr;
  if (id && std::strcmp(id, kRequestRateMessage) == 0)
  {
    SendRate();
    return kResultOk;
  }
  return ComponentBase::notify(message);
}

void SplitComponent::SendRate() const
{
  auto message = IPtr<IMessage>::adopt(allocateMessage());
  if (!message)
    return;
  message->setMessageID(kRateMessage);
  if (IAttributeList* attributes = message->getAttributes())
    attributes->setFloat(kRateAttribute, sampleRate);
  sendMessage(message.get());
}

tresult PLUGIN_API SplitComponent::getControllerClassId(TUID classId)
{
  kControllerClass.toTUID(classId);
  return kResultOk;
}

int32 PLUGIN_API SplitComponent::getBusCount(MediaType type, BusDirection dir)
{
  return type == kAudio && (dir == kInput || dir == kOutput) ? 1 : 0;
}

tresult PLUGIN_API SplitComponent::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus)
{
  if (type != kAudio || (dir != kInput && dir != kOutput) || index != 0)
    return kInvalidArgument;
  bus = BusInfo{};
  bus.mediaType = kAudio;
  bus.direction = dir;
  bus.channelCount = channels;
  strncpy16(bus.name, dir == kInput ? u"Input" : u"Output", 128);
  bus.busType = kMain;
  bus.flags = BusInfo::kDefaultActive;
  return kResultOk;
}

tresult PLUGIN_API SplitComponent::activateBus(MediaType type, BusDirection dir, int32 index, TBool state)
{
  if (type != kAudio || (dir != kInput && dir != kOutput) || index != 0)
    return kInvalidArgument;
  busActive[dir] = state != 0;
  return kResultOk;
}

tresult PLUGIN_API SplitComponent::setActive(TBool state)
{
  if (state)
    SendRate();
  return kResultOk;
}

tresult SplitComponent::setProcessorState(IBStream* state)
{
  double newGain = 0, newBypass = 0;
  if (!ReadSplitState(state, newGain, newBypass))
    return kResultFalse;
  gain = newGain;
  bypass = newBypass;
  return kResultOk;
}

tresult SplitComponent::getProcessorState(IBStream* state)
{
  if (!state)
    return kInvalidArgument;
  char bytes[kStateSize];
  std::memcpy(bytes, kStateTag, 4);
  const double values[2] = {gain.load(), bypass.load()};
  std::memcpy(bytes + 4, values, sizeof values);
  int32 written = 0;
  return state->write(bytes, kStateSize, &written) == kResultOk && written == kStateSize ? kResultOk : kResultFalse;
}

SpeakerArrangement SplitComponent::Arrangement() const
{
  return channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
}

tresult PLUGIN_API SplitComponent::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                      SpeakerArrangement* outputs, int32 numOuts)
{
  const bool own = numIns == 1 && numOuts == 1 && inputs && outputs && inputs[0] == Arrangement() &&
                   outputs[0] == Arrangement();
  return own ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SplitComponent::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr)
{
  if ((dir != kInput && dir != kOutput) || index != 0)
    return kInvalidArgument;
  arr = Arrangement();
  return kResultOk;
}

tresult PLUGIN_API SplitComponent::canProcessSampleSize(int32 size)
{
  return size == kSample32 || size == kSample64 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SplitComponent::setupProcessing(ProcessSetup& setup)
{
  if (!(setup.sampleRate > 0.0) || !std::isfinite(setup.sampleRate) || setup.maxSamplesPerBlock <= 0 ||
      canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue)
    return kResultFalse;
  sampleRate = setup.sampleRate;
  return kResultOk;
}

tresult PLUGIN_API SplitComponent::process(ProcessData& data)
{
  if (faulty.Which() == FaultyTest::Fault::kRefusesProcess)
    return kResultFalse;
  if (IParameterChanges* changes = data.inputParameterChanges)
    for (int32 i = 0; i < changes->getParameterCount(); ++i)
    {
      IParamValueQueue* queue = changes->getParameterData(i);
      int32 offset = 0;
      ParamValue value = 0;
      if (!queue || queue->getPointCount() <= 0 ||
          queue->getPoint(queue->getPointCount() - 1, offset, value) != kResultOk)
        continue;
      if (queue->getParameterId() == kGain)
        gain = Clamped(value, gain.load());
      else if (queue->getParameterId() == kBypass)
        bypass = Clamped(value, bypass.load()) >= 0.5 ? 1.0 : 0.0;
    }
  const bool late = faulty.Begin();
  // A flush, a host without outputs or an inactive output: nothing to write.
  if (data.numSamples <= 0 || data.numOutputs <= 0 || !data.outputs || !busActive[kOutput])
    return kResultOk;
  const bool haveInput = data.numInputs > 0 && data.inputs && busActive[kInput];
  const int32 inChannels = haveInput ? std::min(data.inputs[0].numChannels, channels) : 0;
  if (data.symbolicSampleSize == kSample64)
    Render<double>(data, data.outputs[0].channelBuffers64, haveInput ? data.inputs[0].channelBuffers64 : nullptr,
                   inChannels, late);
  else
    Render<float>(data, data.outputs[0].channelBuffers32, haveInput ? data.inputs[0].channelBuffers32 : nullptr,
                  inChannels, late);
  return kResultOk;
}

template <class Sample>
void SplitComponent::Render(ProcessData& data, Sample** out, Sample** in, int32 inChannels, bool late)
{
  if (!out)
    return;
  const double factor = bypass.load() >= 0.5 ? 1.0 : 2.0 * gain.load();
  const int32 outChannels = std::min(data.outputs[0].numChannels, channels);
  for (int32 c = 0; c < outChannels; ++c)
  {
    if (!out[c] || (c == 1 && faulty.Which() == FaultyTest::Fault::kSkipsAChannel))
      continue;
    const Sample* source = in && c < inChannels ? in[c] : nullptr;
    for (int32 i = 0; i < data.numSamples; ++i)
      out[c][i] = static_cast<Sample>(faulty.Sample(i, late, Flushed<Sample>(source ? factor * source[i] : 0.0)));
  }
}

// ---- SplitController -------------------------------------------------------------------

tresult PLUGIN_API SplitController::initialize(FUnknown* context)
{
  const tresult result = EditController::initialize(context);
  if (result != kResultOk)
    return result;
  parameters.addParameter(u"Gain", u"%", 0, 0.5, ParameterInfo::kCanAutomate, kGain);
  parameters.addParameter(u"Bypass", nullptr, 1, 0.0, ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass,
                          kBypass);
  parameters.addParameter(u"Sample Rate", u"Hz", 0, 0.0, ParameterInfo::kIsReadOnly, kSampleRate);
  return kResultOk;
}

tresult PLUGIN_API SplitController::connect(IConnectionPoint* other)
{
  const tresult result = EditController::connect(other);
  if (result == kResultOk)
    sendMessageID(kRequestRateMessage);
  return result;
}

tresult PLUGIN_API SplitController::notify(IMessage* message)
{
  const FIDString id = message ? message->getMessageID() : nullptr;
  if (id && std::strcmp(id, kRateMessage) == 0)
  {
    double rate = 0;
    IAttributeList* attributes = message->getAttributes();
    if (!attributes || attributes->getFloat(kRateAttribute, rate) != kResultOk)
      return kResultFalse;
    setParamNormalized(kSampleRate, rate / kRateScale);
    return kResultOk;
  }
  return EditController::notify(message);
}

tresult PLUGIN_API SplitController::setComponentState(IBStream* state)
{
  double newGain = 0, newBypass = 0;
  if (!ReadSplitState(state, newGain, newBypass))
    return kResultFalse;
  setParamNormalized(kGain, newGain);
  setParamNormalized(kBypass, newBypass);
  return kResultOk;
}

}  // namespace SplitTest
