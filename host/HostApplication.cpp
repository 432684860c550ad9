#include "host/HostApplication.h"

#include "host/HostMessage.h"

#include "vst3/sdk/IAudioProcessor.h"
#include "vst3/sdk/IComponent.h"
#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/IMessage.h"
#include "vst3/sdk/IUnits.h"
#include "vst3/sdk/UString.h"

namespace ThrumwellHost
{

using namespace Steinberg;

HostApplication::HostApplication(std::u16string hostName) : name(std::move(hostName)) {}

tresult PLUGIN_API HostApplication::getName(Vst::String128 out)
{
  ++nameRequests;
  if (!out)
    return kInvalidArgument;
  strncpy16(out, name.c_str(), 128);
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID cid, TUID iid, void** obj)
{
  const tresult result = CreateHostInstance(cid, iid, obj);
  instancesMade += result == kResultTrue;
  return result;
}

tresult PLUGIN_API HostApplication::isPlugInterfaceSupported(const TUID iid)
{
  const FUID* called[] = {&Vst::IComponent::iid, &Vst::IAudioProcessor::iid,  &Vst::IEditController::iid,
                          &Vst::IUnitInfo::iid,  &Vst::IEditController2::iid, &Vst::IConnectionPoint::iid};
  for (const FUID* known : called)
    if (iidEqual(iid, *known))
      return kResultTrue;
  return kResultFalse;
}

}  // namespace ThrumwellHost
