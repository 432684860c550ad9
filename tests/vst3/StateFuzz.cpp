// Fuzzes the component state: arbitrary bytes go to setState of the real
// instrument, read in whatever pieces the stream gives. Every parameter must
// stay finite and within its range, and the state written back must hold
// twelve finite values.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "synth/CLS_THRUMWELL.h"
#include "host/HostMemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static CLS_THRUMWELL* plug = [] {
    auto* created = new CLS_THRUMWELL;
    created->initialize(nullptr);
    return created;
  }();
  Steinberg::Vst::IComponent* component = plug;

  ThrumwellHost::HostMemoryStream stream(std::vector<unsigned char>(data, data + size));
  // The first byte picks how the host reports a short read.
  stream.SetFailPastEnd(size > 0 && (data[0] & 1));
  component->setState(&stream);

  for (int i = 0; i < plug->NParams(); ++i)
  {
    const IParamDef* param = plug->GetParam(i);
    const double value = param->GetValue();
    if (!std::isfinite(value) || value < param->GetMin() || value > param->GetMax())
      std::abort();
  }
  ThrumwellHost::HostMemoryStream out;
  if (component->getState(&out) != Steinberg::kResultOk || out.Bytes().size() != 96)
    std::abort();
  for (size_t at = 0; at < out.Bytes().size(); at += 8)
  {
    double value;
    std::memcpy(&value, out.Bytes().data() + at, 8);
    if (!std::isfinite(value))
      std::abort();
  }
  return 0;
}
