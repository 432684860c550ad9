// Fuzzes the process call of the real instrument: the input bytes become a
// block length, a sample size, parameter queues (any ID, any value bits,
// NaN and out-of-range included) and note events (any pitch, velocity,
// channel and offset). The output must stay finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "synth/CLS_THRUMWELL.h"
#include "tests/vst3/TestHostObjects.h"
#include "vst3/sdk/ProcessContext.h"

namespace
{
constexpr int kMaxBlock = 512;

class Reader
{
public:
  Reader(const uint8_t* bytes, size_t count) : data(bytes), size(count) {}
  bool More() const { return at < size; }
  template <class T>
  T Take()
  {
    T value{};
    const size_t n = std::min(sizeof(T), size - at);
    std::memcpy(&value, data + at, n);
    at += n;
    return value;
  }

private:
  const uint8_t* data;
  size_t size;
  size_t at = 0;
};

struct Instance
{
  Instance()
  {
    plug = new CLS_THRUMWELL;
    plug->initialize(nullptr);
    Steinberg::Vst::IComponent* component = plug;
    component->activateBus(Steinberg::Vst::kAudio, Steinberg::Vst::kOutput, 0, 1);
    component->setActive(1);
  }
  CLS_THRUMWELL* plug;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace Steinberg::Vst;
  static Instance instance;
  IAudioProcessor* processor = instance.plug;

  Reader in(data, size);
  const int32_t sampleSize = in.Take<uint8_t>() & 1 ? kSample64 : kSample32;
  // Up to twice the announced maximum: longer blocks must be handled too.
  const int numSamples = in.Take<uint16_t>() % (2 * kMaxBlock + 1);
  ProcessSetup setup{kRealtime, sampleSize, kMaxBlock, 44100.0};
  processor->setupProcessing(setup);

  TestHost::ParameterChanges changes;
  TestHost::EventList events;
  const int queues = in.Take<uint8_t>() % 8;
  for (int q = 0; q < queues && in.More(); ++q)
  {
    const uint8_t pick = in.Take<uint8_t>();
    const ParamID ids[] = {IPlugVST3::kPresetParamId, IPlugVST3::kBypassParamId, 0xFFFFFFFF};
    const ParamID id = pick < 13 ? pick : (pick < 16 ? ids[pick - 13] : in.Take<uint32_t>());
    std::vector<std::pair<int32_t, double>> points;
    const int count = in.Take<uint8_t>() % 4;
    for (int p = 0; p < count; ++p)
      points.emplace_back(in.Take<int32_t>(), in.Take<double>());
    changes.Add(id, points);
  }
  while (in.More())
  {
    const uint8_t kind = in.Take<uint8_t>();
    const int32_t offset = in.Take<int32_t>();
    const int16_t pitch = in.Take<int16_t>();
    const int16_t channel = in.Take<int16_t>();
    const float velocity = in.Take<float>();
    if (kind & 1)
      events.NoteOn(offset, pitch, velocity, channel);
    else
      events.NoteOff(offset, pitch, channel);
  }

  std::vector<float> out32[2] = {std::vector<float>(numSamples + 1), std::vector<float>(numSamples + 1)};
  std::vector<double> out64[2] = {std::vector<double>(numSamples + 1), std::vector<double>(numSamples + 1)};
  float* channels32[2] = {out32[0].data(), out32[1].data()};
  double* channels64[2] = {out64[0].data(), out64[1].data()};
  AudioBusBuffers outputs{};
  outputs.numChannels = 2;
  if (sampleSize == kSample64)
    outputs.channelBuffers64 = channels64;
  else
    outputs.channelBuffers32 = channels32;
  ProcessContext context{};
  context.state = ProcessContext::kPlaying;
  context.sampleRate = 44100.0;
  context.tempo = 120.0;
  ProcessData block{};
  block.symbolicSampleSize = sampleSize;
  block.numSamples = numSamples;
  block.numOutputs = 1;
  block.outputs = &outputs;
  block.inputParameterChanges = &changes;
  block.inputEvents = &events;
  block.processContext = &context;
  processor->process(block);

  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < numSamples; ++i)
    {
      const double value = sampleSize == kSample64 ? out64[c][i] : out32[c][i];
      if (!std::isfinite(value))
        std::abort();
    }
  return 0;
}
