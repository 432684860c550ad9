// Fuzzes whole host sessions through our strict host: the input bytes become a
// sequence of host calls in any order (processing setups with odd rates,
// block sizes and sample sizes, activation, bus activation and arrangements,
// state streams, terminate and initialize, and process calls carrying random
// parameter queues with NaN and out-of-range values, note events and block
// lengths). Whatever the order, the plug-in must answer every call, write
// every active output sample as a finite number, leave inactive buses alone
// and balance its references; the host's violation list must stay empty.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "host/HostEventList.h"
#include "host/HostParameterChanges.h"
#include "host/HostPlugin.h"
#include "synth/CLS_THRUMWELL.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;

class Bytes
{
public:
  Bytes(const uint8_t* bytes, size_t count) : data(bytes), size(count) {}
  bool More() const { return at < size; }
  uint8_t U8() { return at < size ? data[at++] : 0; }
  uint16_t U16() { return static_cast<uint16_t>(U8() | (U8() << 8)); }
  double Value()
  {
    static const double odd[] = {std::nan(""), std::numeric_limits<double>::infinity(), -1.0, 2.0, 1e300, -0.0};
    const uint8_t pick = U8();
    return pick < 6 ? odd[pick] : (pick - 6) / 249.0;
  }

private:
  const uint8_t* data;
  size_t size;
  size_t at = 0;
};

void Fail(const HostPlugin& plugin)
{
  for (const std::string& violation : plugin.Violations())
    std::fprintf(stderr, "host violation: %s\n", violation.c_str());
  std::abort();
}

void Process(HostPlugin& plugin, Bytes& in)
{
  static HostParameterChanges changes;
  static HostEventList events;
  changes.Clear();
  events.Clear();
  const int frames = in.U16() % 1025;
  static const ParamID ids[] = {0x70727374, 0x62706173, 0, 3, 9, 10, 12, 0x7FFFFFFF};
  for (int q = in.U8() % 4; q > 0; --q)
  {
    const ParamID id = ids[in.U8() % 8];
    for (int p = in.U8() % 3; p >= 0; --p)
      changes.Add(id, static_cast<int32>(in.U16()) - 1024, in.Value());
  }
  for (int e = in.U8() % 4; e > 0; --e)
  {
    const int32 offset = static_cast<int32>(in.U16()) - 1024;
    const int16 pitch = static_cast<int16>(static_cast<int>(in.U8()) - 64);
    if (in.U8() & 1)
      events.NoteOn(offset, pitch, static_cast<float>(in.Value()));
    else
      events.NoteOff(offset, pitch);
  }
  ProcessContext context{};
  context.state = in.U8();
  context.sampleRate = 44100;
  context.projectTimeSamples = static_cast<TSamples>(in.U16()) * 997 - 30000;
  context.tempo = in.Value() * 300;
  plugin.Process(frames, &changes, &events, (context.state & 1) ? nullptr : &context);
}

void Step(HostPlugin& plugin, Bytes& in)
{
  static const double rates[] = {44100, 48000, 8000, 1234.5678, 1234567.8, 0, -1, std::nan("")};
  static const SpeakerArrangement arrangements[] = {SpeakerArr::kStereo, SpeakerArr::kMono, SpeakerArr::k51, 0};
  switch (in.U8() % 9)
  {
    case 0:
      plugin.SetupProcessing(rates[in.U8() % 8], static_cast<int>(in.U16() % 9000) - 10, in.U8() % 3, kRealtime,
                             false);
      break;
    case 1:
      plugin.SetActive(in.U8() & 1);
      break;
    case 2:
      plugin.SetProcessing(in.U8() & 1);
      break;
    case 3:
    {
      const uint8_t which = in.U8();
      plugin.ActivateBus(which & 1, (which >> 1) & 1, static_cast<int>((which >> 2) % 3) - 1, (which >> 4) & 1);
      break;
    }
    case 4:
      plugin.SetBusArrangements({arrangements[in.U8() % 4]}, {arrangements[in.U8() % 4]});
      break;
    case 5:
    case 6:
      Process(plugin, in);
      break;
    case 7:
    {
      std::vector<uint8_t> state(in.U8());
      for (uint8_t& b : state)
        b = in.U8();
      plugin.SetState(state, in.U8() & 1);
      break;
    }
    case 8:
      plugin.Terminate();
      plugin.Initialize();
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  HostPlugin plugin;
  if (!plugin.Adopt(static_cast<IAudioProcessor*>(new CLS_THRUMWELL)))
    Fail(plugin);
  plugin.ActivateDefaultBuses();
  Bytes in(data, size);
  for (int steps = 0; in.More() && steps < 32; ++steps)
  {
    Step(plugin, in);
    if (!plugin.Violations().empty())
      Fail(plugin);
  }
  plugin.Destroy();
  if (!plugin.Violations().empty())
    Fail(plugin);
  return 0;
}
